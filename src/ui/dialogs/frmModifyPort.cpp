#include "ui/dialogs/frmModifyPort.h"

#include "core/AppContext.h"
#include "core/ErrorTrap.h"
#include "engine/ItemKey.h"
#include "engine/ResultRecording.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "ui/dialogs/DialogText.h"

#include <QLineEdit>
#include <QPushButton>

frmModifyPort::frmModifyPort(const DeviceEditing& editing, const QString& key, QWidget* parent)
    : QDialog(parent)
    , m_editing(editing)
    , m_frame(*this, QStringLiteral("Port Properties"),
              {QStringLiteral("Add TCP/IP Port To:"), QStringLiteral("TCP/IP Port Number:"),
               QStringLiteral("Port Description:")})
    , m_key(key) {
    setObjectName(QStringLiteral("frmModifyPort"));
    setWindowTitle(QStringLiteral("IP Orvex Monitor - Port Properties"));
    setModal(true);
    connect(cmdArray(0), &QPushButton::clicked, this, &frmModifyPort::cmdOK_Click);
    connect(cmdArray(1), &QPushButton::clicked, this, &QDialog::reject);
    Form_Load();
}

void frmModifyPort::Form_Load() {
    trapErrors(m_editing.context, "Form_Load", [&] {
        const ItemKey key = ItemKey::split(m_key);
        Recordset item = m_editing.db.openRecordset(Catalogue::item(key.device, key.port));
        if (!item.atEnd()) {
            DialogText::lock(txtArray(0));
            txtArray(0)->setText(item.text(QStringLiteral("Device")));
            txtArray(1)->setText(item.text(QStringLiteral("Port")));
            DialogText::lock(txtArray(1));
            txtArray(2)->setText(item.text(QStringLiteral("Port_Description")));
            for (QLineEdit* box : {txtArray(0), txtArray(1), txtArray(2)})
                box->setCursorPosition(0);
        }
        item.close();
    });
}

void frmModifyPort::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    txtArray(2)->setFocus();
    txtArray(2)->selectAll();
}

void frmModifyPort::cmdOK_Click() {
    ignoreErrors([&] {
        QString status;
        m_editing.recording.Port_Update(QStringLiteral("Modify_Port"), txtArray(0)->text(),
                                        txtArray(1)->text(), QString(), txtArray(2)->text(), status,
                                        QString());
    });
    ignoreErrors([&] { m_editing.window.Update_Port(); });
    accept();
}
