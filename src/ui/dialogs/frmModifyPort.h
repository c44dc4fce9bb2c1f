#pragma once

#include "ui/dialogs/DeviceEditing.h"
#include "ui/dialogs/PropertiesFrame.h"

#include <QDialog>

// Changes the description of the monitored item named by its key (device, ":" and port).
// Device and port are shown but cannot be changed here.
class frmModifyPort final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmModifyPort)

public:
    frmModifyPort(const DeviceEditing& editing, const QString& key, QWidget* parent = nullptr);

    QLineEdit* txtArray(int index) const { return m_frame.txtArray.at(index); }
    QPushButton* cmdArray(int index) const { return m_frame.cmdArray.at(index); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void cmdOK_Click();

    DeviceEditing m_editing;
    PropertiesFrame m_frame;
    QString m_key;
};
