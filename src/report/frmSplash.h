#pragma once

#include <QWidget>

class QLabel;

// The splash box shown while the program starts: product picture, name, version and a
// progress label. A key press anywhere in it, or a click on its frame, closes it at once.
class frmSplash final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmSplash)

public:
    explicit frmSplash(QWidget* parent = nullptr);

    // Label1: "Loading Program", then the start-up progress texts.
    void setProgress(const QString& text);
    QString progress() const;
    QString versionText() const;

    static QString version();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QLabel* m_label1;
    QLabel* m_version;
};
