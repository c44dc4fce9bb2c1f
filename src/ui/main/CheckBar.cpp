#include "ui/main/CheckBar.h"

#include "core/Clock.h"
#include "ui/dialogs/DialogText.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

CheckBar::CheckBar(int slotCount, QWidget* parent)
    : QWidget(parent)
    , m_slots(qMax(slotCount, 1)) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void CheckBar::setMarks(QVector<CheckMark> marks) {
    if (marks.size() > m_slots)
        marks.remove(0, marks.size() - m_slots);
    m_marks = std::move(marks);
    update();
}

QRectF CheckBar::slotRect(int slot) const {
    const double step = double(width()) / m_slots;
    const double gap = step > 4 ? 2 : 0;
    return {slot * step + gap / 2, 0, step - gap, double(height())};
}

QSize CheckBar::sizeHint() const {
    return {m_slots * 8, 22};
}

QSize CheckBar::minimumSizeHint() const {
    return {m_slots * 2, 22};
}

void CheckBar::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    // The newest check sits at the right end; empty slots lead.
    const int empty = m_slots - int(m_marks.size());
    for (int slot = 0; slot < m_slots; ++slot) {
        const QRectF r = slotRect(slot).adjusted(0.5, 0.5, -0.5, -0.5);
        if (slot < empty) {
            painter.setPen(palette().color(QPalette::Mid));
            painter.setBrush(Qt::NoBrush);
        } else {
            painter.setPen(Qt::NoPen);
            painter.setBrush(m_marks.at(slot - empty).connected ? Good : Bad);
        }
        painter.drawRect(r);
    }
}

bool CheckBar::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const int slot = int(help->pos().x() * m_slots / qMax(width(), 1));
    const int index = slot - (m_slots - int(m_marks.size()));
    if (index < 0 || index >= m_marks.size()) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    const CheckMark& mark = m_marks.at(index);
    QString tip = Clock::generalDate(QDateTime::fromMSecsSinceEpoch(mark.time)) +
                  (mark.connected ? QStringLiteral("  Connected") : QStringLiteral("  Failed"));
    if (!mark.error.isEmpty())
        tip += QStringLiteral(": ") + mark.error;
    QToolTip::showText(help->globalPos(), DialogText::plainTip(tip), this);
    return true;
}
