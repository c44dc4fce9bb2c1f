#pragma once

#include <QDialog>

// The control's about box: title, version, description, author and icon, closed with OK.
class frmAbout final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAbout)

public:
    explicit frmAbout(QWidget* parent);
};
