#include "ui/dialogs/frmAddDevice.h"

#include "core/AppContext.h"
#include "core/AppInfo.h"
#include "core/ErrorTrap.h"
#include "core/TrimBlanks.h"
#include "engine/ResultRecording.h"
#include "ui/dialogs/DeviceName.h"
#include "ui/dialogs/DialogText.h"
#include "ui/dialogs/frmAddPort.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using DialogText::CRLF;

namespace {

const QString IntroText =
    QStringLiteral("The IP Orvex Monitor add device wizard will assist you in creating a "
                   "monitored device.");

struct PageLook {
    const char* step;
    const char* picture;
};
constexpr PageLook Pages[] = {
    {"Introduction Screen", "device_intro"},
    {"Step1", "device_name"},
    {"Step 2", "device_alias"},
    {"Finished!", "device_finished"},
};

} // namespace

frmAddDevice::frmAddDevice(const DeviceEditing& editing, QWidget* parent)
    : QDialog(parent)
    , m_editing(editing)
    , m_frame(*this) {
    setObjectName(QStringLiteral("frmAddDevice"));
    setWindowTitle(AppInfo::Title + QStringLiteral(" - Add Device Wizard"));
    setModal(true);
    for (int i = 0; i < int(m_txtIPRange.size()); ++i) {
        m_txtIPRange[i] = new QLineEdit(this);
        m_txtIPRange[i]->setObjectName(QStringLiteral("txtIPRange(%1)").arg(i));
        DialogText::selectAllOnFocus(m_txtIPRange[i]);
    }
    buildIntroPage();
    buildNamePage();
    buildAliasPage();
    buildConfirmPage();
    m_frame.chainTabOrder({m_chkShowIntro, m_txtIPRange[0], m_txtIPRange[1], m_txtIPRange[2],
                           m_moreInfo, m_txtIPRange[3], m_txtIPRange[4], m_txtIPRange[5]});
    setMinimumSize(560, 340);
    m_frame.connectButtons([this](int index) { cmdArray_Click(index); });
    connect(m_moreInfo, &QPushButton::clicked, this, [this] { cmdArray_Click(0); });
    connect(m_chkShowIntro, &QCheckBox::clicked, this, [this](bool checked) {
        ignoreErrors([&] { m_editing.context.catalogue().set(Key::ShowIntro, checked); });
    });
    Form_Load();
}

void frmAddDevice::buildIntroPage() {
    QVBoxLayout* intro = m_frame.addPage(QStringLiteral("fraStep(0)"));
    intro->addWidget(
        WizardFrame::heading(QStringLiteral("IP Orvex Monitor 2.0 Add Device Wizard"), this));
    m_introText = WizardFrame::wrappedLabel(QString(), this);
    intro->addWidget(m_introText);
    intro->addStretch(1);
    m_chkShowIntro = new QCheckBox(QStringLiteral("Do not show introduction in the future."), this);
    m_chkShowIntro->setObjectName(QStringLiteral("chkShowIntro"));
    intro->addWidget(m_chkShowIntro);
}

void frmAddDevice::buildNamePage() {
    QVBoxLayout* name = m_frame.addPage(QStringLiteral("fraStep(1)"));
    name->addWidget(
        WizardFrame::heading(QStringLiteral("Enter The Required Device Information Below:"), this));
    auto* nameLabel = new QLabel(QStringLiteral("Device Name Or IP Address:"), this);
    nameLabel->setBuddy(m_txtIPRange[0]);
    name->addWidget(nameLabel);
    name->addWidget(m_txtIPRange[0]);
    QLabel* example = WizardFrame::wrappedLabel(
        QStringLiteral("For example: server.example.com or 192.168.1.10"), this);
    example->setEnabled(false);
    name->addWidget(example);
    name->addSpacing(8);
    name->addWidget(WizardFrame::wrappedLabel(
        QStringLiteral("If you are using Windows 95 with the Winsock 2 upgrade you can not use "
                       "DNS names.  This is a Microsoft Winsock Control bug and has nothing to do "
                       "with IP Orvex Monitor."),
        this));
    name->addStretch(1);
}

void frmAddDevice::buildAliasPage() {
    QVBoxLayout* alias = m_frame.addPage(QStringLiteral("fraStep(2)"));
    alias->addWidget(
        WizardFrame::heading(QStringLiteral("Enter The Optional Device Information Below:"), this));
    auto* optional = new QFormLayout;
    optional->setRowWrapPolicy(QFormLayout::DontWrapRows);
    optional->addRow(QStringLiteral("Device Alias:"), m_txtIPRange[1]);
    optional->addRow(QStringLiteral("Device Description:"), m_txtIPRange[2]);
    alias->addLayout(optional);
    alias->addWidget(WizardFrame::wrappedLabel(
        QStringLiteral("When the device alias is provided it will be used in place of the IP "
                       "address or fully qualified DNS name."),
        this));
    m_moreInfo = new QPushButton(QStringLiteral("More Info"), this);
    m_moreInfo->setObjectName(QStringLiteral("cmdArray(0)"));
    m_moreInfo->setAutoDefault(false);
    auto* moreInfoRow = new QHBoxLayout;
    moreInfoRow->addStretch(1);
    moreInfoRow->addWidget(m_moreInfo);
    alias->addLayout(moreInfoRow);
    alias->addStretch(1);
}

void frmAddDevice::buildConfirmPage() {
    QVBoxLayout* confirm = m_frame.addPage(QStringLiteral("fraStep(3)"));
    confirm->addWidget(WizardFrame::heading(QStringLiteral("Please Confirm Your Choices:"), this));
    auto* choices = new QFormLayout;
    choices->setRowWrapPolicy(QFormLayout::DontWrapRows);
    choices->addRow(QStringLiteral("Device Name:"), m_txtIPRange[3]);
    choices->addRow(QStringLiteral("Device Alias:"), m_txtIPRange[4]);
    choices->addRow(QStringLiteral("Device Description:"), m_txtIPRange[5]);
    confirm->addLayout(choices);
    confirm->addStretch(1);
}

QPushButton* frmAddDevice::cmdArray(int index) const {
    return index == 0 ? m_moreInfo : m_frame.button(WizardFrame::Button(index));
}

void frmAddDevice::Form_Load() {
    trapErrors(m_editing.context, "Form_Load", [&] {
        m_editing.context.state().SpeechText = IntroText;
        m_introText->setText(IntroText);
        const bool skipIntro = m_editing.context.catalogue().showIntro();
        m_chkShowIntro->setChecked(skipIntro);
        m_page = skipIntro ? 1 : 0;
        // Back leads from the first page shown to the introduction, also when it was skipped.
        m_frame.button(WizardFrame::Back)->setEnabled(m_page == 1);
        m_frame.showPage(m_page, QLatin1String(Pages[m_page].step),
                         QLatin1String(Pages[m_page].picture));
    });
}

void frmAddDevice::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Form_Activate();
}

void frmAddDevice::Form_Activate() {
    trapErrors(m_editing.context, "Form_Activate", [&] {
        if (m_page == 1)
            m_txtIPRange[0]->setFocus();
        else
            m_frame.button(WizardFrame::Next)->setFocus();
    });
}

void frmAddDevice::cmdArray_Click(int index) {
    trapErrors(m_editing.context, "cmdArray_Click", [&] {
        switch (index) {
        case 0:
            m_editing.context.speak(
                QStringLiteral("When a device alias is provided, IP Orvex Monitor 2.0 will use "
                               "the alias in place of the DNS ") +
                    QStringLiteral("name or IP address.<BREAK>  In addition, when activity is "
                                   "detected for the device, I will pronounce the alias ") +
                    QStringLiteral("instead of spelling out the device or saying the IP address."),
                QStringLiteral("Explain"));
            m_editing.context.speak(
                QStringLiteral("The alias can be change later by right-clicking on the device "
                               "and selecting modify device properties."),
                QStringLiteral("Suggest"));
            return;
        case WizardFrame::Cancel:
            m_page = 0;
            QDialog::reject();
            return;
        case WizardFrame::Back:
            showPage(m_page - 1);
            return;
        case WizardFrame::Next:
            showPage(m_page + 1);
            return;
        }
    });
}

void frmAddDevice::reject() {
    // Esc and the window's close button cancel like the Cancel button.
    cmdArray_Click(WizardFrame::Cancel);
}

void frmAddDevice::showPage(int page) {
    QPushButton* back = m_frame.button(WizardFrame::Back);
    QPushButton* next = m_frame.button(WizardFrame::Next);
    m_page = qBound(0, page, 4);
    switch (m_page) {
    case 0:
        back->setEnabled(false);
        next->setText(QStringLiteral("Next >"));
        next->setFocus();
        break;
    case 1:
        back->setEnabled(true);
        next->setText(QStringLiteral("Next >"));
        m_txtIPRange[0]->setFocus();
        break;
    case 2:
        if (!validateDeviceName()) {
            m_page = 1;
            back->setEnabled(true);
            next->setText(QStringLiteral("Next >"));
            break;
        }
        back->setEnabled(true);
        next->setText(QStringLiteral("Next >"));
        m_txtIPRange[1]->setFocus();
        break;
    case 3:
        for (int i = 0; i < 3; ++i) {
            m_txtIPRange[i + 3]->setText(m_txtIPRange[i]->text());
            DialogText::lock(m_txtIPRange[i + 3]);
            m_txtIPRange[i + 3]->setCursorPosition(0);
        }
        back->setEnabled(true);
        next->setText(QStringLiteral("Finished"));
        next->setFocus();
        break;
    case 4:
        AddDevice(m_txtIPRange[0]->text(), m_txtIPRange[1]->text(), m_txtIPRange[2]->text());
        return;
    }
    m_frame.showPage(m_page, QLatin1String(Pages[m_page].step),
                     QLatin1String(Pages[m_page].picture));
    if (m_page == 1 && m_txtIPRange[0]->hasFocus())
        m_txtIPRange[0]->selectAll();
}

bool frmAddDevice::validateDeviceName() {
    QString name = trimBlanks(m_txtIPRange[0]->text());
    if (name.isEmpty())
        name = QStringLiteral("NULL");
    QString refusal;
    if (m_editing.window.hasNode(name))
        refusal = name + QStringLiteral(" already exists as a monitored device.") + CRLF +
                  QStringLiteral("You must specify a different device name.");
    else if (!DeviceName::isValid(name))
        refusal = name + QStringLiteral(" is not a valid device name or IP address.") + CRLF +
                  QStringLiteral("Please make you corrections before pressing the next button.");
    if (refusal.isEmpty())
        return true;
    m_editing.context.dialogs().message(refusal, MessageIcon::Information, AppInfo::Title);
    m_txtIPRange[0]->setFocus();
    m_txtIPRange[0]->selectAll();
    return false;
}

void frmAddDevice::AddDevice(const QString& device, const QString& alias,
                             const QString& description) {
    QString name;
    const bool added = trapErrors(m_editing.context, "AddDevice", [&] {
        name = trimBlanks(device);
        const QString shownAlias = trimBlanks(alias);
        m_editing.window.addDeviceNode(name, shownAlias.isEmpty() ? name : shownAlias);
        m_editing.recording.Device_Update(QStringLiteral("Add"), name, trimBlanks(description),
                                          QString(), shownAlias);
        m_editing.window.Update_Devices();
        accept();
    });
    if (added)
        showPortWizard(name);
}

void frmAddDevice::showPortWizard(const QString& device) {
    frmAddPort ports(m_editing, device, m_editing.window.ownerWindow());
    ports.exec();
}
