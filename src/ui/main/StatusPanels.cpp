#include "ui/main/StatusPanels.h"

#include "ui/dialogs/DialogText.h"

#include <QEvent>
#include <QLabel>
#include <QTimer>

StatusPanels::StatusPanels(QLabel* panel1, QLabel* panel2, QObject* parent)
    : QObject(parent) {
    QLabel* labels[] = {panel1, panel2};
    for (int i = 0; i < 2; ++i) {
        Panel& panel = m_panels[i];
        panel.label = labels[i];
        // The texts name devices, and a name is never markup.
        panel.label->setTextFormat(Qt::PlainText);
        panel.text = labels[i]->text();
        panel.frame = new QTimer(this);
        panel.frame->setSingleShot(true);
        panel.frame->setInterval(FrameMilliseconds);
        connect(panel.frame, &QTimer::timeout, this, [this, &panel] { frameEnded(panel); });
    }
}

StatusPanels::Panel* StatusPanels::find(int panel) {
    return panel == 1 || panel == 2 ? &m_panels[panel - 1] : nullptr;
}

void StatusPanels::setText(int panel, const QString& text) {
    Panel* found = find(panel);
    if (!found)
        return;
    found->text = text;
    if (found->frame->isActive())
        found->waiting = true;
    else
        show(*found);
}

QString StatusPanels::text(int panel) const {
    return panel == 1 || panel == 2 ? m_panels[panel - 1].text : QString();
}

QWidget* StatusPanels::box(int panel) {
    Panel* found = find(panel);
    if (!found)
        return nullptr;
    if (!found->box) {
        found->box = new QWidget(found->label->parentWidget());
        found->label->setParent(found->box);
        found->box->installEventFilter(this);
    }
    return found->box;
}

bool StatusPanels::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        for (Panel& panel : m_panels) {
            if (panel.box == watched)
                panel.label->setGeometry(panel.box->rect());
        }
    }
    return QObject::eventFilter(watched, event);
}

void StatusPanels::show(Panel& panel) {
    panel.waiting = false;
    panel.label->setText(panel.text);
    panel.label->setToolTip(DialogText::plainTip(panel.text));
    panel.frame->start();
}

// A text that waited is shown now, and the next frame begins with it.
void StatusPanels::frameEnded(Panel& panel) {
    if (panel.waiting)
        show(panel);
}
