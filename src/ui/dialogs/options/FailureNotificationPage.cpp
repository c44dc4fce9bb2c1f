#include "ui/dialogs/options/FailureNotificationPage.h"

#include "core/ErrorTrap.h"
#include "ui/dialogs/frmSMTPSetUp.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const FileChoice LogFileChoice = {"cmdLogFile_Click",
                                  false,
                                  QStringLiteral("IP Orvex Monitor - Log File Location"),
                                  QStringLiteral("Halvikitor.txt"),
                                  QStringLiteral("Text (*.txt)"),
                                  {QStringLiteral(".txt")},
                                  QStringLiteral("The log file must end in a txt extension."),
                                  &Key::LogFile};

} // namespace

FailureNotificationPage::FailureNotificationPage(AppContext& context, QWidget* parent)
    : OptionsPage(context, parent) {
    QCheckBox* showCharacter =
        boundBox(Key::ShowCharacter, QStringLiteral("Show MS Agent Character On Device Failure"),
                 QStringLiteral("chkShowCharacter"));
    auto* agent = new QVBoxLayout;
    agent->addWidget(showCharacter);

    m_sendSmtp = boundBox(Key::SendOnFailure, QStringLiteral("Send Email Using SMTP"),
                          QStringLiteral("chkSendSMTP"));
    m_smtp = button(QStringLiteral("SMTP..."), QStringLiteral("cmdSMTP"));
    QCheckBox* sendExchange =
        checkBox(QStringLiteral("Send Email Using Exchange"), QStringLiteral("chkSendExchange"));
    QPushButton* exchange = button(QStringLiteral("Exchange..."), QStringLiteral("cmdExchange"));
    // There is no Exchange sending: both stay greyed.
    sendExchange->setEnabled(false);
    exchange->setEnabled(false);
    auto* mail = new QVBoxLayout;
    mail->addLayout(buttonRow(m_sendSmtp, m_smtp));
    mail->addLayout(buttonRow(sendExchange, exchange));

    m_logActivity = boundBox(Key::LogFailures, QStringLiteral("Log Activity"),
                             QStringLiteral("chkLogActivity"));
    m_logFileButton = button(QStringLiteral("Log File..."), QStringLiteral("cmdLogFile"));
    m_logFile = boundPath(Key::LogFile, QStringLiteral("txtLogFile"));
    auto* logging = new QVBoxLayout;
    logging->addLayout(buttonRow(m_logActivity, m_logFileButton));
    logging->addWidget(m_logFile);

    setFrames({frame(QStringLiteral("MS Agent Options"), agent),
               frame(QStringLiteral("Email Notification"), mail),
               frame(QStringLiteral("Logging Options"), logging)});

    for (QCheckBox* box : {m_sendSmtp, m_logActivity})
        connect(box, &QCheckBox::toggled, this, [this, box] { chkArray_Click(box); });
    connect(m_logFileButton, &QPushButton::clicked, this,
            [this] { chooseFile(LogFileChoice, m_logFile, m_logActivity); });
    connect(m_smtp, &QPushButton::clicked, this, &FailureNotificationPage::cmdSMTP_Click);
}

void FailureNotificationPage::load() {
    OptionsPage::load();
    for (QCheckBox* box : {m_sendSmtp, m_logActivity})
        chkArray_Click(box);
}

void FailureNotificationPage::chkArray_Click(QCheckBox* box) {
    trapErrors(m_context, "chkArray_Click", [&] {
        const bool on = box->isChecked();
        if (box == m_sendSmtp) {
            m_smtp->setEnabled(on);
        } else {
            m_logFileButton->setEnabled(on);
            m_logFile->setEnabled(on);
        }
    });
}

void FailureNotificationPage::cmdSMTP_Click() {
    // Over the options dialog, not over the tab.
    frmSMTPSetUp setUp(m_context, window());
    setUp.exec();
}
