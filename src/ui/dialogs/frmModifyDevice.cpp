#include "ui/dialogs/frmModifyDevice.h"

#include "core/AppContext.h"
#include "core/ErrorTrap.h"
#include "core/TrimBlanks.h"
#include "engine/ResultRecording.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "ui/dialogs/DialogText.h"

#include <QLineEdit>
#include <QPushButton>

frmModifyDevice::frmModifyDevice(const DeviceEditing& editing, const QString& device,
                                 QWidget* parent)
    : QDialog(parent)
    , m_editing(editing)
    , m_frame(*this, QStringLiteral("Device Properties"),
              {QStringLiteral("Device Name or IP Address:"), QStringLiteral("Device Alias:"),
               QStringLiteral("Device Description:")})
    , m_device(device) {
    setObjectName(QStringLiteral("frmModifyDevice"));
    setWindowTitle(QStringLiteral("IP Orvex Monitor - Device Properties"));
    setModal(true);
    connect(cmdArray(0), &QPushButton::clicked, this, &frmModifyDevice::cmdOK_Click);
    connect(cmdArray(1), &QPushButton::clicked, this, &QDialog::reject);
    Form_Load();
}

void frmModifyDevice::Form_Load() {
    trapErrors(m_editing.context, "Form_Load", [&] {
        Recordset device = m_editing.db.openRecordset(Catalogue::device(m_device));
        if (!device.atEnd()) {
            txtArray(0)->setReadOnly(true);
            txtArray(0)->setEnabled(false);
            txtArray(0)->setText(device.text(QStringLiteral("Device")));
            txtArray(1)->setText(device.text(QStringLiteral("Device_Alias")));
            txtArray(2)->setText(device.text(QStringLiteral("Device_Description")));
            for (QLineEdit* box : {txtArray(0), txtArray(1), txtArray(2)})
                box->setCursorPosition(0);
        }
        device.close();
    });
}

void frmModifyDevice::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    txtArray(1)->setFocus();
    txtArray(1)->selectAll();
}

void frmModifyDevice::cmdOK_Click() {
    const QString device = txtArray(0)->text();
    const QString alias = trimBlanks(txtArray(1)->text());
    const QString description = trimBlanks(txtArray(2)->text());
    ignoreErrors([&] {
        m_editing.recording.Device_Update(QStringLiteral("Modify_Device"), device, description,
                                          QString(), alias);
    });
    ignoreErrors([&] { m_editing.window.Update_Devices(); });
    accept();
}
