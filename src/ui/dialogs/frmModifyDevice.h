#pragma once

#include "ui/dialogs/DeviceEditing.h"
#include "ui/dialogs/PropertiesFrame.h"

#include <QDialog>

// Changes the alias and the description of the device named by its key. The name itself is
// shown but cannot be changed here.
class frmModifyDevice final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmModifyDevice)

public:
    frmModifyDevice(const DeviceEditing& editing, const QString& device, QWidget* parent = nullptr);

    QLineEdit* txtArray(int index) const { return m_frame.txtArray.at(index); }
    QPushButton* cmdArray(int index) const { return m_frame.cmdArray.at(index); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void cmdOK_Click();

    DeviceEditing m_editing;
    PropertiesFrame m_frame;
    QString m_device;
};
