#pragma once

#include <QDialog>

class QLabel;

// The about box: the program's version, the mail control's version and where to report
// problems. It is built afresh for every showing.
class frmAbout final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAbout)

public:
    // mailControl is the main window's mail control instance, asked for its Version by name;
    // without one the line shows no version.
    explicit frmAbout(QObject* mailControl, QWidget* parent = nullptr);

    QString titleText() const;
    QString mailControlText() const;

    static QString programVersionLine();
    static QString mailControlLine(QObject* mailControl);

private:
    QLabel* m_lblTitle;
    QLabel* m_lblArray0;
};
