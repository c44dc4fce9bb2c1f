#pragma once

#include "ui/dialogs/DeviceEditing.h"
#include "ui/dialogs/PropertiesFrame.h"

#include <QDialog>

// Changes the description of the monitored item named by the shared selected key (device,
// ":" and port). Device and port are shown but cannot be changed here.
class frmModifyPort final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmModifyPort)

public:
    explicit frmModifyPort(const DeviceEditing& editing, QWidget* parent = nullptr);

    QLineEdit* txtArray(int index) const { return m_frame.txtArray.at(index); }
    QPushButton* cmdArray(int index) const { return m_frame.cmdArray.at(index); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void cmdOK_Click();

    DeviceEditing m_editing;
    PropertiesFrame m_frame;
};
