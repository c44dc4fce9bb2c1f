#include "ui/dialogs/frmOptions.h"

#include "character/AgentCharacter.h"
#include "character/BalloonStyle.h"
#include "core/AppContext.h"
#include "core/AppInfo.h"
#include "core/ErrorTrap.h"
#include "core/RuntimeError.h"
#include "core/SettingReaders.h"
#include "report/Assistant.h"
#include "ui/dialogs/frmSMTPSetUp.h"
#include "ui/dialogs/NumberField.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

struct FileChoice {
    const char* routine;
    bool save;
    QString title;
    QString suggested;
    QString filter;
    QStringList endings;
    QString refusal;
    // Where the path goes back to on a refusal: the catalogue's default.
    QString (Paths::*resetFolder)(const QString&) const;
    QString resetName;
};

namespace {

const QStringList HtmlEndings = {QStringLiteral(".htm"), QStringLiteral(".html")};

const FileChoice LogFileChoice = {"cmdLogFile_Click",
                                  false,
                                  QStringLiteral("IP Orvex Monitor - Log File Location"),
                                  QStringLiteral("Halvikitor.txt"),
                                  QStringLiteral("Text (*.txt)"),
                                  {QStringLiteral(".txt")},
                                  QStringLiteral("The log file must end in a txt extension."),
                                  &Paths::inDataFolder,
                                  FileName::Log};

const FileChoice TemplateChoice = {
    "cmdHTMLTemplate_Click",
    false,
    QStringLiteral("IP Orvex Monitor - HTML Template Location"),
    QStringLiteral("template.html"),
    QStringLiteral("HTML (*.html)"),
    HtmlEndings,
    QStringLiteral("The HTML template file must end in a htm or html extension."),
    &Paths::inShippedFolder,
    FileName::Template};

const FileChoice HtmlChoice = {"cmdHTML_Click",
                               true,
                               QStringLiteral("IP Orvex Monitor - HTML Output Location"),
                               QStringLiteral("OrvexMonitor.html"),
                               QStringLiteral("HTML (*.html)"),
                               HtmlEndings,
                               QStringLiteral("The HTML file must end in a htm or html extension."),
                               &Paths::inDataFolder,
                               FileName::Html};

// The balloon style bit each balloon box stands for.
constexpr std::array<int, 4> BalloonBits = {BalloonStyle::BalloonOn, BalloonStyle::AutoHide,
                                            BalloonStyle::AutoPace, BalloonStyle::SizeToText};

QCheckBox* checkBox(const QString& caption, const QString& name) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(name);
    return box;
}

QPushButton* button(const QString& caption, const QString& name) {
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QLabel* wrappedLabel(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

NumberField* numberField(int minimum, int maximum, int step, const QString& name) {
    auto* field = new NumberField(minimum, maximum, step);
    field->setObjectName(name);
    return field;
}

// A path field: filled by its button, with the button face's colour.
QLineEdit* pathField(const QString& name) {
    auto* field = new QLineEdit;
    field->setObjectName(name);
    field->setReadOnly(true);
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    field->setPalette(palette);
    return field;
}

QGroupBox* frame(const QString& title, QLayout* layout) {
    auto* box = new QGroupBox(title);
    box->setLayout(layout);
    return box;
}

// A number field with its label beside it.
QHBoxLayout* fieldRow(NumberField* field, QLabel* label) {
    auto* row = new QHBoxLayout;
    row->addWidget(field);
    row->addWidget(label, 1);
    label->setBuddy(field);
    return row;
}

QHBoxLayout* buttonRow(QWidget* first, QWidget* second) {
    auto* row = new QHBoxLayout;
    row->addWidget(first, 1);
    row->addWidget(second);
    return row;
}

QWidget* panel(std::initializer_list<QWidget*> frames) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    for (QWidget* f : frames)
        layout->addWidget(f);
    layout->addStretch(1);
    return page;
}

bool endsWithAny(const QString& name, const QStringList& endings) {
    for (const QString& ending : endings)
        if (name.endsWith(ending, Qt::CaseInsensitive))
            return true;
    return false;
}

QString boxState(const QCheckBox* box) {
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

frmOptions::frmOptions(AppContext& context, Assistant& assistant, QWidget* parent)
    : QDialog(parent)
    , m_context(context)
    , m_assistant(assistant) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Monitor Properties"));
    buildControls();
    connectControls();
    Form_Load();
}

// --- controls -----------------------------------------------------------------------------

void frmOptions::buildControls() {
    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("TabStrip1"));
    // Every tab stays in sight: the window grows rather than hiding tabs behind arrows.
    m_tabs->setUsesScrollButtons(false);
    m_tabs->addTab(agentPanel(), QStringLiteral("MS Agent"));
    m_tabs->addTab(failureCriteriaPanel(), QStringLiteral("Failure Criteria"));
    m_tabs->addTab(notificationPanel(), QStringLiteral("Failure Notification"));
    m_tabs->addTab(htmlPanel(), QStringLiteral("HTML Output"));
    m_tabs->addTab(miscPanel(), QStringLiteral("Misc Options"));
    m_tabs->addTab(pingPanel(), QStringLiteral("Ping Options"));

    m_ok = button(QStringLiteral("OK"), QStringLiteral("cmdOK"));
    m_ok->setDefault(true);
    m_cancel = button(QStringLiteral("Cancel"), QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);
}

QWidget* frmOptions::agentPanel() {
    m_character = new QComboBox;
    m_character->setObjectName(QStringLiteral("cboCharacter"));
    m_character->setEditable(false);
    auto* available = new QLabel(QStringLiteral("Available Characters:"));
    available->setBuddy(m_character);
    auto* selection = new QGridLayout;
    selection->addWidget(available, 0, 0);
    selection->addWidget(m_character, 0, 1);
    selection->addWidget(
        wrappedLabel(QStringLiteral("Additional characters are available from the Internet")), 1, 0,
        1, 2);
    selection->setColumnStretch(1, 1);

    m_hideOnIdle = checkBox(QStringLiteral("Hide Character On Idle"),
                            QStringLiteral("chkHideCharacterOnIdle"));
    m_announceDate =
        checkBox(QStringLiteral("Announce Date and Time"), QStringLiteral("chkAnnounceDate"));
    auto* options = new QGridLayout;
    options->addWidget(m_hideOnIdle, 0, 0);
    options->addWidget(m_announceDate, 0, 1);

    const QString captions[] = {QStringLiteral("Display &word balloon"),
                                QStringLiteral("A&uto hide"), QStringLiteral("Auto &pace"),
                                QStringLiteral("Si&ze to text")};
    auto* balloon = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        m_balloon[i] = checkBox(captions[i], QStringLiteral("chkBalloon%1").arg(i));
        balloon->addWidget(m_balloon[i], i / 2, i % 2);
    }

    return panel({frame(QStringLiteral("Character Selection"), selection),
                  frame(QStringLiteral("MS Agent Options"), options),
                  frame(QStringLiteral("MS Agent Balloon Options"), balloon)});
}

QWidget* frmOptions::failureCriteriaPanel() {
    m_consecutiveErrors = numberField(1, 20, 1, QStringLiteral("txtConsecutiveErrors"));
    m_minutes = numberField(1, 60, 1, QStringLiteral("txtMinutesBetweenChecks"));
    m_hostTimeOut = numberField(1, 40, 10, QStringLiteral("txtHostTimeOut"));
    return panel(
        {frame(QStringLiteral("Device Failure Criteria"),
               fieldRow(m_consecutiveErrors,
                        wrappedLabel(
                            QStringLiteral("Consecutive Errors To Consider A Device Failed.")))),
         frame(QStringLiteral("Checking Options"),
               fieldRow(m_minutes, wrappedLabel(QStringLiteral("Minutes Between Checks.")))),
         frame(QStringLiteral("Device Options"),
               fieldRow(m_hostTimeOut,
                        wrappedLabel(QStringLiteral("Device Time-out In Seconds."))))});
}

QWidget* frmOptions::notificationPanel() {
    m_showCharacter = checkBox(QStringLiteral("Show MS Agent Character On Device Failure"),
                               QStringLiteral("chkShowCharacter"));
    auto* agent = new QVBoxLayout;
    agent->addWidget(m_showCharacter);

    m_sendSmtp = checkBox(QStringLiteral("Send Email Using SMTP"), QStringLiteral("chkSendSMTP"));
    m_smtp = button(QStringLiteral("SMTP..."), QStringLiteral("cmdSMTP"));
    m_sendExchange =
        checkBox(QStringLiteral("Send Email Using Exchange"), QStringLiteral("chkSendExchange"));
    m_exchange = button(QStringLiteral("Exchange..."), QStringLiteral("cmdExchange"));
    // There is no Exchange sending: both stay greyed.
    m_sendExchange->setEnabled(false);
    m_exchange->setEnabled(false);
    auto* mail = new QVBoxLayout;
    mail->addLayout(buttonRow(m_sendSmtp, m_smtp));
    mail->addLayout(buttonRow(m_sendExchange, m_exchange));

    m_logActivity = checkBox(QStringLiteral("Log Activity"), QStringLiteral("chkLogActivity"));
    m_logFileButton = button(QStringLiteral("Log File..."), QStringLiteral("cmdLogFile"));
    m_logFile = pathField(QStringLiteral("txtLogFile"));
    auto* logging = new QVBoxLayout;
    logging->addLayout(buttonRow(m_logActivity, m_logFileButton));
    logging->addWidget(m_logFile);

    return panel({frame(QStringLiteral("MS Agent Options"), agent),
                  frame(QStringLiteral("Email Notification"), mail),
                  frame(QStringLiteral("Logging Options"), logging)});
}

QWidget* frmOptions::htmlPanel() {
    m_htmlOutput = checkBox(QStringLiteral("Enable HTML Output"), QStringLiteral("chkHTMLOutput"));
    m_htmlButton = button(QStringLiteral("HTML Output..."), QStringLiteral("cmdHTML"));
    m_htmlFile = pathField(QStringLiteral("txtHTMLFile"));
    m_templateButton = button(QStringLiteral("Template..."), QStringLiteral("cmdHTMLTemplate"));
    m_templateFile = pathField(QStringLiteral("txtHTMLTemplateFile"));
    auto* html = new QVBoxLayout;
    html->addWidget(m_htmlOutput);
    html->addLayout(buttonRow(m_htmlFile, m_htmlButton));
    html->addLayout(buttonRow(m_templateFile, m_templateButton));
    return panel({frame(QStringLiteral("HTML Output"), html)});
}

QWidget* frmOptions::miscPanel() {
    m_resetIcon = numberField(1, 100, 1, QStringLiteral("txtResetIcon"));
    m_resetIconLabel = wrappedLabel(QStringLiteral(
        "Number Of Times A Recovered Port Must Be Active Before Resetting The Icon."));
    m_autoStart =
        checkBox(QStringLiteral("Start Check When Program Starts"), QStringLiteral("chkAutoStart"));
    auto* automation = new QVBoxLayout;
    automation->addWidget(m_autoStart);
    // Up to ten years of checks.
    m_historyDays = numberField(1, 3650, 1, QStringLiteral("txtHistoryDays"));
    return panel(
        {frame(QStringLiteral("Device/Port Icon Option"), fieldRow(m_resetIcon, m_resetIconLabel)),
         frame(QStringLiteral("Automation"), automation),
         frame(QStringLiteral("Check History"),
               fieldRow(m_historyDays,
                        wrappedLabel(QStringLiteral("Days Of Check History To Keep."))))});
}

QWidget* frmOptions::pingPanel() {
    m_pingTimeOut = numberField(500, 9500, 500, QStringLiteral("txtPingTimeOut"));
    m_pingCount = numberField(1, 5, 1, QStringLiteral("txtPingCount"));
    // One echo request per check; the field shows it and cannot change it.
    m_pingCount->setValue(1);
    m_pingCount->setEnabled(false);
    auto* ping = new QVBoxLayout;
    ping->addLayout(fieldRow(m_pingTimeOut,
                             wrappedLabel(QStringLiteral("Ping Time-out value (in miliseconds)"))));
    ping->addLayout(fieldRow(
        m_pingCount, wrappedLabel(QStringLiteral("Number Of Pings To Send To Determine Status"))));
    m_fastChecks =
        checkBox(QStringLiteral("Check all devices at once"), QStringLiteral("chkFastChecks"));
    ping->addWidget(m_fastChecks);
    return panel({frame(QStringLiteral("Ping Options"), ping)});
}

void frmOptions::connectControls() {
    for (QCheckBox* box : {m_sendSmtp, m_logActivity, m_htmlOutput})
        connect(box, &QCheckBox::toggled, this, [this, box] { chkArray_Click(box); });
    for (int i = 0; i < 4; ++i)
        connect(m_balloon[i], &QCheckBox::toggled, this, [this, i] { chkBalloon_Click(i); });
    connect(m_character, &QComboBox::activated, this, &frmOptions::cboCharacter_Click);
    connect(m_logFileButton, &QPushButton::clicked, this,
            [this] { chooseFile(LogFileChoice, m_logFile, m_logActivity); });
    connect(m_templateButton, &QPushButton::clicked, this,
            [this] { chooseFile(TemplateChoice, m_templateFile, m_htmlOutput); });
    connect(m_htmlButton, &QPushButton::clicked, this,
            [this] { chooseFile(HtmlChoice, m_htmlFile, m_htmlOutput); });
    connect(m_smtp, &QPushButton::clicked, this, &frmOptions::cmdSMTP_Click);
    connect(m_ok, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

// --- opening ------------------------------------------------------------------------------

void frmOptions::Form_Load() {
    trapErrors(m_context, "Options_Load", [&] {
        m_tabs->setCurrentIndex(0);
        m_character->addItems(m_assistant.availableCharacters());
        loadControls();
        for (QCheckBox* box : {m_sendSmtp, m_logActivity, m_htmlOutput})
            chkArray_Click(box);
        for (int i = 0; i < 4; ++i)
            chkBalloon_Click(i);
        // The count the cycle is using cannot change under it.
        const bool locked = m_context.state().MonitoringOn;
        m_resetIcon->setEnabled(!locked);
        m_resetIconLabel->setEnabled(!locked);
        SetBalloonStyleOptions();
        setInitialSize();
    });
}

void frmOptions::loadControls() {
    SettingsCatalogue& store = m_context.catalogue();
    const QString character =
        store.text(Section::MSAgent, Key::Character, QStringLiteral("Merlin"));
    m_character->setCurrentIndex(m_character->findText(character, Qt::MatchFixedString));

    loadBox(m_announceDate, Section::MSAgent, Key::AnnounceDate, false);
    loadBox(m_hideOnIdle, Section::MSAgent, Key::HideCharacterOnIdle, true);
    loadBox(m_showCharacter, Section::MSAgent, Key::ShowCharacter, true);
    const QString balloonKeys[] = {Key::BalloonShow, Key::AutoHide, Key::AutoPace, Key::SizeToText};
    for (int i = 0; i < 4; ++i)
        loadBox(m_balloon[i], Section::MSAgentBalloon, balloonKeys[i], true);
    m_minutes->load(store.text(Section::Options, Key::MinBetweenChecks, QStringLiteral("5")), 5);
    m_hostTimeOut->load(store.text(Section::Options, Key::HostTimeOut, QStringLiteral("20")), 20);
    loadBox(m_logActivity, Section::Options, Key::LogFailures, true);
    m_pingTimeOut->load(store.text(Section::Options, Key::PingTimeOut, QStringLiteral("10000")),
                        10000);
    loadBox(m_fastChecks, Section::Options, Key::FastChecks, false);
    m_logFile->setText(store.logFile());
    m_htmlFile->setText(store.htmlFile());
    m_templateFile->setText(store.htmlTemplateFile());
    m_resetIcon->load(store.text(Section::Options, Key::ResetIcon, QStringLiteral("10")), 10);
    // The days the history upkeep keeps, as it reads them.
    m_historyDays->load(QString::number(store.historyDays()), store.historyDays());
    loadBox(m_htmlOutput, Section::Options, Key::HTMLOutput, false);
    loadBox(m_autoStart, Section::Options, Key::AutoStart, false);
    loadBox(m_sendSmtp, Section::MailOptions, Key::SendOnFailure, false);
    m_consecutiveErrors->load(
        store.text(Section::MailOptions, Key::SendOnConsecutiveFailure, QStringLiteral("5")), 5);
}

void frmOptions::loadBox(QCheckBox* box, const QString& section, const QString& key, bool def) {
    const QString stored =
        m_context.catalogue().text(section, key, def ? QStringLiteral("1") : QStringLiteral("0"));
    bool checked = def;
    try {
        checked = SettingReaders::number(stored) != 0.0;
    } catch (const RuntimeError&) {
        // A value edited by hand into something else shows the default.
    }
    box->setChecked(checked);
}

void frmOptions::setInitialSize() {
    const double twipsPerPixel = logicalDpiX() > 0 ? 1440.0 / logicalDpiX() : 15.0;
    const QSize designed(qRound(WidthTwips / twipsPerPixel), qRound(HeightTwips / twipsPerPixel));
    // Larger fonts and long captions may need more room than the designed size.
    QSize size = designed.expandedTo(sizeHint());
    const QRect available = screen() ? screen()->availableGeometry() : QRect();
    if (available.isValid() && size.width() > available.width()) {
        // On a screen too narrow for every tab the tabs scroll, so the buttons stay on it.
        m_tabs->setUsesScrollButtons(true);
        m_tabs->updateGeometry();
        layout()->activate();
        size = designed.expandedTo(sizeHint());
    }
    if (available.isValid())
        size = size.boundedTo(available.size());
    resize(size);
}

// --- handlers -----------------------------------------------------------------------------

void frmOptions::chkArray_Click(QCheckBox* box) {
    trapErrors(m_context, "chkArray_Click", [&] {
        const bool on = box->isChecked();
        if (box == m_sendSmtp) {
            m_smtp->setEnabled(on);
        } else if (box == m_logActivity) {
            m_logFileButton->setEnabled(on);
            m_logFile->setEnabled(on);
        } else if (box == m_htmlOutput) {
            const QList<QWidget*> controls = {m_htmlButton, m_templateButton, m_htmlFile,
                                              m_templateFile};
            for (QWidget* control : controls)
                control->setEnabled(on);
        }
    });
}

void frmOptions::chkBalloon_Click(int index) {
    const bool checked = m_balloon[index]->isChecked();
    if (index == 0)
        for (int i = 1; i < 4; ++i)
            m_balloon[i]->setEnabled(checked);
    ignoreErrors([&] {
        AgentCharacter* character = m_assistant.character();
        if (!character)
            return;
        const int style = character->balloonStyle();
        const int bit = BalloonBits[index];
        character->setBalloonStyle(checked ? (style | bit) : (style & ~bit));
    });
}

void frmOptions::SetBalloonStyleOptions() {
    ignoreErrors([&] {
        AgentCharacter* character = m_assistant.character();
        if (!character)
            return;
        const int style = character->balloonStyle();
        const bool on = (style & BalloonStyle::BalloonOn) != 0;
        m_balloon[0]->setChecked(on);
        for (QCheckBox* box : m_balloon)
            box->setEnabled(on);
        for (int i = 1; i < 4; ++i)
            m_balloon[i]->setChecked((style & BalloonBits[i]) != 0);
        if (!character->balloonEnabled()) {
            for (QCheckBox* box : m_balloon)
                box->setEnabled(false);
        } else {
            m_balloon[0]->setEnabled(true);
        }
    });
}

void frmOptions::cboCharacter_Click() {
    const QString name = m_character->currentText();
    if (name.isEmpty())
        return;
    ignoreErrors([&] { m_assistant.ChangeCharacter(name); });
    // The new character starts with every balloon option on.
    for (int i = 0; i < 4; ++i) {
        m_balloon[i]->setEnabled(true);
        m_balloon[i]->setChecked(true);
        chkBalloon_Click(i);
    }
}

void frmOptions::chooseFile(const FileChoice& choice, QLineEdit* path, QCheckBox* feature) {
    trapErrors(m_context, choice.routine, [&] {
        const FileDialogRequest request{choice.title, m_context.paths().programFolder(),
                                        choice.suggested, choice.filter};
        UserDialogs& dialogs = m_context.dialogs();
        const QString chosen =
            choice.save ? dialogs.saveFileName(request) : dialogs.openFileName(request);
        if (chosen.isEmpty())
            return; // cancelled: nothing changes
        if (endsWithAny(chosen, choice.endings)) {
            path->setText(chosen);
            return;
        }
        dialogs.message(choice.refusal, MessageIcon::Information, AppInfo::Title);
        path->setText((m_context.paths().*choice.resetFolder)(choice.resetName));
        // Unchecking greys the feature's buttons and fields with it.
        feature->setChecked(false);
    });
}

void frmOptions::cmdSMTP_Click() {
    frmSMTPSetUp setUp(m_context, this);
    setUp.exec();
}

// --- closing ------------------------------------------------------------------------------

void frmOptions::cmdOK_Click() {
    SettingsCatalogue& store = m_context.catalogue();
    const QString character = m_character->currentText();
    if (!character.trimmed().isEmpty())
        store.save(Section::MSAgent, Key::Character, character);

    storeBox(Section::MSAgent, Key::AnnounceDate, m_announceDate);
    storeBox(Section::MSAgent, Key::HideCharacterOnIdle, m_hideOnIdle);
    storeBox(Section::MSAgent, Key::ShowCharacter, m_showCharacter);
    storeBox(Section::MSAgentBalloon, Key::BalloonShow, m_balloon[0]);
    storeBox(Section::MSAgentBalloon, Key::AutoHide, m_balloon[1]);
    storeBox(Section::MSAgentBalloon, Key::AutoPace, m_balloon[2]);
    storeBox(Section::MSAgentBalloon, Key::SizeToText, m_balloon[3]);
    store.save(Section::Options, Key::MinBetweenChecks, m_minutes->storedText());
    store.save(Section::Options, Key::HostTimeOut, m_hostTimeOut->storedText());
    storeBox(Section::Options, Key::LogFailures, m_logActivity);
    store.save(Section::Options, Key::PingTimeOut, m_pingTimeOut->storedText());
    storeBox(Section::Options, Key::FastChecks, m_fastChecks);
    store.save(Section::Options, Key::ResetIcon, m_resetIcon->storedText());
    store.save(Section::Options, Key::HistoryDays, m_historyDays->storedText());
    store.save(Section::Options, Key::LogFile, m_logFile->text());
    store.save(Section::Options, Key::HTMLFile, m_htmlFile->text());
    store.save(Section::Options, Key::HTMLTemplateFile, m_templateFile->text());
    storeBox(Section::Options, Key::HTMLOutput, m_htmlOutput);
    storeBox(Section::Options, Key::AutoStart, m_autoStart);
    storeBox(Section::MailOptions, Key::SendOnFailure, m_sendSmtp);
    store.save(Section::MailOptions, Key::SendOnConsecutiveFailure,
               m_consecutiveErrors->storedText());
    accept();
}

void frmOptions::storeBox(const QString& section, const QString& key, const QCheckBox* box) {
    m_context.catalogue().save(section, key, boxState(box));
}
