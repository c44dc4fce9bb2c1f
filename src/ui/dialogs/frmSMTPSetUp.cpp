#include "ui/dialogs/frmSMTPSetUp.h"

#include "core/AppContext.h"
#include "core/AppInfo.h"
#include "core/ErrorTrap.h"
#include "ui/dialogs/SmtpTestMail.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

struct FieldRow {
    const char* label;
    const char* toolTip;
    const Setting<QString>* setting;
    bool required;
};

constexpr FieldRow Rows[frmSMTPSetUp::FieldCount] = {
    {"Primary SMTP Server:", "SMTP Server Name or IP Address", &Key::MailServerPrimary, true},
    {"Secondary SMTP Server:", "SMTP Server Name or IP Address", &Key::MailServerSecondary, false},
    {"Send To Email Addresses:", "Send To Email Address", &Key::MailTo, true},
    {"Your Email Address:", "Your Email Address", &Key::MailFrom, true},
};

QPushButton* button(const QString& caption, const QString& name) {
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    return button;
}

} // namespace

frmSMTPSetUp::frmSMTPSetUp(AppContext& context, QWidget* parent)
    : QDialog(parent)
    , m_context(context)
    , m_testSender(new SmtpTestMail(this)) {
    setObjectName(QStringLiteral("frmSMTPSetUp"));
    setWindowTitle(QStringLiteral("IP Orvex Monitor - SMTP Options"));
    buildControls();
    Form_Load();
}

frmSMTPSetUp::~frmSMTPSetUp() = default;

void frmSMTPSetUp::buildControls() {
    auto* page = new QWidget;
    auto* fields = new QVBoxLayout(page);
    for (int i = 0; i < FieldCount; ++i) {
        auto* field = new QLineEdit;
        field->setObjectName(QStringLiteral("txt") + Rows[i].setting->key);
        field->setToolTip(QLatin1String(Rows[i].toolTip));
        // Room for a usual server name or two addresses at any font size.
        field->setMinimumWidth(field->fontMetrics().averageCharWidth() * 50);
        auto* label = new QLabel(QLatin1String(Rows[i].label));
        label->setBuddy(field);
        fields->addWidget(label);
        fields->addWidget(field);
        m_fields[i] = field;
        connect(field, &QLineEdit::textChanged, this, [this, i] { txtArray_Change(i); });
    }
    fields->addStretch(1);
    m_fields[Recipients]->installEventFilter(this);

    auto* tabs = new QTabWidget;
    tabs->addTab(page, QStringLiteral("SMTP Properties"));

    m_testMail = button(QStringLiteral("Send &Test Mail"), QStringLiteral("cmdTestMail"));
    m_testMail->setAutoDefault(false);
    m_ok = button(QStringLiteral("OK"), QStringLiteral("cmdOK"));
    m_ok->setDefault(true);
    m_cancel = button(QStringLiteral("Cancel"), QStringLiteral("cmdCancel"));
    m_cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_testMail);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs, 1);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &frmSMTPSetUp::cmdOK_Click);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_testMail, &QPushButton::clicked, this, &frmSMTPSetUp::cmdTestMail_Click);
    // The box waits until the control's event has returned: the control must not be inside
    // its socket's notification while the box runs its own event loop.
    connect(m_testSender, &SmtpTestMail::finished, this, &frmSMTPSetUp::showTestOutcome,
            Qt::QueuedConnection);
}

void frmSMTPSetUp::Form_Load() {
    for (int i = 0; i < FieldCount; ++i)
        m_fields[i]->setText(m_context.catalogue().get(*Rows[i].setting));
    m_ok->setEnabled(fieldsComplete() && !recipientsHoldComma());
    updateTestButton();
}

void frmSMTPSetUp::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_fields[PrimaryServer]->setFocus();
}

bool frmSMTPSetUp::fieldsComplete() const {
    for (int i = 0; i < FieldCount; ++i)
        if (Rows[i].required && m_fields[i]->text().trimmed().isEmpty())
            return false;
    return true;
}

bool frmSMTPSetUp::recipientsHoldComma() const {
    // The monitor splits the recipients at ";" only.
    return m_fields[Recipients]->text().contains(QLatin1Char(','));
}

void frmSMTPSetUp::txtArray_Change(int) {
    m_ok->setEnabled(fieldsComplete() && !recipientsHoldComma());
    updateTestButton();
}

bool frmSMTPSetUp::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_fields[Recipients] && event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Switching windows or opening the field's menu is not leaving the field; neither is
        // cancelling the dialog.
        const bool leaving = reason != Qt::ActiveWindowFocusReason &&
                             reason != Qt::PopupFocusReason &&
                             QApplication::focusWidget() != m_cancel;
        // Handled once the focus has moved, so the field's own focus handling is done.
        if (leaving)
            QMetaObject::invokeMethod(this, &frmSMTPSetUp::recipients_LostFocus,
                                      Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, event);
}

void frmSMTPSetUp::recipients_LostFocus() {
    QLineEdit* recipients = m_fields[Recipients];
    if (!recipientsHoldComma())
        return;
    m_context.dialogs().message(QStringLiteral("Please change commas to semicolons and try again."),
                                MessageIcon::Information, AppInfo::Title);
    recipients->setFocus();
    recipients->selectAll();
    m_ok->setEnabled(false);
    updateTestButton();
}

void frmSMTPSetUp::cmdOK_Click() {
    for (int i = 0; i < FieldCount; ++i) {
        if (Rows[i].required && m_fields[i]->text().trimmed().isEmpty()) {
            m_context.speak(QLatin1String(Rows[i].label) + QStringLiteral(" must be completed."),
                            QStringLiteral("Surprised"), false);
            m_fields[i]->setFocus();
            return;
        }
    }
    for (int i = 0; i < FieldCount; ++i)
        ignoreErrors([&] { m_context.catalogue().set(*Rows[i].setting, m_fields[i]->text()); });
    accept();
}

void frmSMTPSetUp::updateTestButton() {
    m_testMail->setEnabled(m_ok->isEnabled() && !m_testSender->isSending());
}

void frmSMTPSetUp::cmdTestMail_Click() {
    if (!m_ok->isEnabled())
        return;
    m_testMail->setEnabled(false);
    m_testSender->send({m_fields[PrimaryServer]->text(), m_fields[SecondaryServer]->text(),
                        m_fields[Recipients]->text(), m_fields[Sender]->text()});
    updateTestButton();
}

void frmSMTPSetUp::showTestOutcome(bool sent, const QString& text) {
    updateTestButton();
    const QString to = m_testSender->recipient();
    if (sent)
        m_context.dialogs().message(QStringLiteral("The test message to ") + to +
                                        QStringLiteral(" was sent: ") + text,
                                    MessageIcon::Information, AppInfo::Title);
    else
        m_context.dialogs().message(QStringLiteral("The test message to ") + to +
                                        QStringLiteral(" was not sent: ") + text,
                                    MessageIcon::Exclamation, AppInfo::Title);
}
