#include "character/WordBalloon.h"

#include "character/BalloonStyle.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTextLayout>

namespace {
constexpr int Padding = 10;
constexpr int Tail = 14;
constexpr int Radius = 10;

QString layoutText(QString text) {
    text.remove(QLatin1Char('\r'));
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return text;
}
} // namespace

WordBalloon::WordBalloon(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus)
    , m_style(BalloonStyle::Default) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    QFont balloonFont = font();
    balloonFont.setPointSizeF(10);
    setFont(balloonFont);
    m_hideTimer.setSingleShot(true);
    m_hideTimer.setInterval(HideDelayMs);
    connect(&m_hideTimer, &QTimer::timeout, this, &WordBalloon::dismiss);
}

void WordBalloon::setStyle(int style) {
    m_style = style;
    if (!(m_style & BalloonStyle::BalloonOn))
        dismiss();
    else if (m_open)
        resizeToText();
}

bool WordBalloon::begin(const QString& text) {
    m_hideTimer.stop();
    m_text = text;
    m_shown = 0;
    m_fraction = 0;
    if (!(m_style & BalloonStyle::BalloonOn) || text.trimmed().isEmpty()) {
        m_open = false;
        hide();
        return false;
    }
    m_open = true;
    resizeToText();
    setVisible(!m_aside);
    update();
    return true;
}

void WordBalloon::setAside(bool aside) {
    m_aside = aside;
    setVisible(m_open && !m_aside);
}

void WordBalloon::progress(qsizetype shown, double fraction) {
    if (shown == m_shown && qFuzzyCompare(1 + fraction, 1 + m_fraction))
        return;
    m_shown = shown;
    m_fraction = fraction;
    if (isVisible())
        update();
}

void WordBalloon::end() {
    progress(m_text.size(), 1.0);
    if (m_open && (m_style & BalloonStyle::AutoHide))
        m_hideTimer.start();
}

void WordBalloon::dismiss() {
    m_hideTimer.stop();
    m_open = false;
    hide();
}

QString WordBalloon::visibleText() const {
    return (m_style & BalloonStyle::AutoPace) ? m_text.left(m_shown) : m_text;
}

QStringList WordBalloon::wrappedLines(int width) const {
    QStringList lines;
    const QString text = layoutText(visibleText());
    QTextLayout layout(text, font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines;
}

void WordBalloon::resizeToText() {
    const QFontMetrics metrics(font());
    int width = FixedWidth;
    int lines = FixedLines;
    if (m_style & BalloonStyle::SizeToText) {
        int natural = 0;
        for (const QString& line : layoutText(m_text).split(QChar::LineSeparator))
            natural = qMax(natural, metrics.horizontalAdvance(line));
        width = qBound(60, natural + 2, MaxWidth);
        // Sized for the whole text, so the balloon does not grow while words appear.
        const qsizetype saved = m_shown;
        m_shown = m_text.size();
        const int style = m_style;
        m_style |= BalloonStyle::AutoPace;
        lines = qBound(1, int(wrappedLines(width).size()), MaxLines);
        m_style = style;
        m_shown = saved;
    }
    resize(width + 2 * Padding, lines * metrics.lineSpacing() + 2 * Padding + Tail);
}

QRect WordBalloon::textRect() const {
    const int top = m_tailDown ? Padding : Padding + Tail;
    return QRect(Padding, top, width() - 2 * Padding, height() - 2 * Padding - Tail);
}

void WordBalloon::placeBeside(const QRect& character) {
    const QScreen* screen = QGuiApplication::screenAt(character.center());
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1 << 14, 1 << 14);
    int x = character.center().x() - width() / 2;
    int y = character.top() - height() + 8;
    m_tailDown = y >= area.top();
    if (!m_tailDown)
        y = character.bottom() - 8;
    x = qBound(area.left(), x, qMax(area.left(), area.right() - width()));
    m_tailX = character.center().x() - x;
    move(x, y);
    reshape();
    update();
}

QPainterPath WordBalloon::outline() const {
    const QRectF body = m_tailDown ? QRectF(0.5, 0.5, width() - 1, height() - Tail - 1)
                                   : QRectF(0.5, Tail + 0.5, width() - 1, height() - Tail - 1);
    QPainterPath path;
    path.addRoundedRect(body, Radius, Radius);
    // The tail points at the character even when the screen edge pushed the balloon aside.
    const double mid = qBound(double(Radius + 10), m_tailX < 0 ? width() / 2.0 : double(m_tailX),
                              double(width() - Radius - 8));
    QPainterPath tail;
    if (m_tailDown) {
        tail.moveTo(mid - 10, body.bottom() - 1);
        tail.lineTo(mid + 2, height() - 0.5);
        tail.lineTo(mid + 8, body.bottom() - 1);
    } else {
        tail.moveTo(mid - 10, body.top() + 1);
        tail.lineTo(mid + 2, 0.5);
        tail.lineTo(mid + 8, body.top() + 1);
    }
    tail.closeSubpath();
    return path.united(tail);
}

// The window takes the balloon's shape, so no corners show where the desktop cannot blend.
void WordBalloon::reshape() {
    // Grown by the outline's pen, so the border stays inside the shape on every side.
    QPainterPathStroker pen;
    pen.setWidth(2.5);
    const QPainterPath grown = outline().united(pen.createStroke(outline()));
    setMask(QRegion(grown.toFillPolygon().toPolygon()));
}

void WordBalloon::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath path = outline();
    painter.setPen(QPen(QColor(60, 60, 60), 1));
    painter.setBrush(QColor(255, 255, 225));
    painter.drawPath(path);

    const QFontMetrics metrics(font());
    const QRect area = textRect();
    const int visibleLines = qMax(1, area.height() / metrics.lineSpacing());
    const QStringList lines = wrappedLines(area.width());
    qsizetype first = 0;
    if (m_style & BalloonStyle::AutoPace)
        first = qMax<qsizetype>(0, lines.size() - visibleLines); // newest words in view
    else
        first = qsizetype(m_fraction * qMax<qsizetype>(0, lines.size() - visibleLines) + 0.5);
    painter.setPen(Qt::black);
    int y = area.top() + metrics.ascent();
    for (qsizetype i = first; i < lines.size() && i < first + visibleLines; ++i) {
        painter.drawText(area.left(), y, lines.at(i));
        y += metrics.lineSpacing();
    }
}

void WordBalloon::mousePressEvent(QMouseEvent* event) {
    dismiss();
    event->accept();
}
