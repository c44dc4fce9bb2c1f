#pragma once

#include <QPainterPath>
#include <QTimer>
#include <QWidget>

// The speech balloon beside the character. It shows the words of the current utterance,
// revealed as they are spoken when auto pace is on, and keeps the newest lines in view when
// the text is longer than the balloon.
class WordBalloon final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WordBalloon)
public:
    explicit WordBalloon(QWidget* parent = nullptr);

    int style() const { return m_style; }
    void setStyle(int style);

    // Starts an utterance. Returns false (and stays hidden) when the balloon is off.
    bool begin(const QString& text);
    // How much of the text is visible, and how far through the utterance (0..1).
    void progress(qsizetype shown, double fraction);
    // The utterance ended: with auto hide the balloon goes after a short look.
    void end();
    void dismiss();
    // True from begin() to dismiss(), also while the balloon is put aside.
    bool isOpen() const { return m_open; }
    // Aside, the balloon stays off the screen; back, it shows again if it is still open.
    void setAside(bool aside);

    // Places the balloon above the character (or below it near the top of the screen).
    void placeBeside(const QRect& character);

    QString text() const { return m_text; }
    QString visibleText() const;

    static constexpr int MaxWidth = 300;
    static constexpr int FixedWidth = 240;
    static constexpr int MaxLines = 5;
    static constexpr int FixedLines = 3;
    static constexpr int HideDelayMs = 2000;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QRect textRect() const;
    QPainterPath outline() const;
    void reshape();
    void resizeToText();
    QStringList wrappedLines(int width) const;

    int m_style;
    QString m_text;
    qsizetype m_shown = 0;
    double m_fraction = 0;
    bool m_open = false;
    bool m_aside = false;
    bool m_tailDown = true;
    int m_tailX = -1; // from the balloon's left edge; -1 for the middle
    QTimer m_hideTimer;
};
