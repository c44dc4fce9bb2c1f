#include "ui/main/EngineFace.h"

#include "core/AppContext.h"
#include "core/ErrorTrap.h"
#include "engine/MonitorCycle.h"
#include "engine/MonitorEngine.h"
#include "engine/NotificationDispatch.h"
#include "engine/ResultRecording.h"
#include "platform/ComponentLoader.h"
#include "ui/main/DevicePanes.h"
#include "ui/main/DeviceTree.h"
#include "ui/main/MainClientArea.h"
#include "ui/main/MessageLines.h"
#include "ui/main/StatusPanels.h"
#include "ui/main/TextViewer.h"
#include "ui/main/TrayIcon.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace {
const QString CRLF = QStringLiteral("\r\n");
} // namespace

EngineFace::EngineFace(AppContext& context, Database& monitorDB, MainClientArea& client,
                       QWidget* window)
    : QObject(window)
    , m_context(context)
    , m_db(monitorDB)
    , m_client(client)
    , m_window(window)
    , m_recording(std::make_unique<ResultRecording>(context, monitorDB, *this))
    , m_tray(new TrayIcon(this)) {
    m_context.setMessageWindow(this);
    m_context.errors().setFileViewer(this);
    connect(&m_context.errors(), &ErrorReport::halting, this, &EngineFace::showHalted);
}

EngineFace::~EngineFace() {
    // The engine records through m_recording, so it goes first.
    delete m_engine;
    if (m_context.errors().fileViewer() == this)
        m_context.errors().setFileViewer(nullptr);
    m_context.setMessageWindow(nullptr);
}

void EngineFace::Form_Load() {
    trapErrors(m_context, "Main_Form_Load", [&] {
        if (!m_engine) {
            m_engine = new MonitorEngine(m_context, m_db, *m_recording, *this, *this, this);
            createMailControl();
            m_engine->dispatch().setMailControl(m_mailControl);
        }
        m_tray->show(TrayState::Idle, TrayIcon::monitoringOffTip());
        m_tray->setInTray(true);
    });
}

void EngineFace::createMailControl() {
    QString error;
    QObject* control =
        ComponentLoader::create(QStringLiteral("OrvexSMTPControl.OrvexSMTP"), m_window, &error);
    if (!control)
        return; // monitoring goes on without mail; each send says that the control is missing
    control->setObjectName(QStringLiteral("OrvexSMTP1"));
    // A control with a face of its own stays out of the window's layout.
    if (auto* widget = qobject_cast<QWidget*>(control))
        widget->hide();
    m_mailControl = control;
}

// --- monitoring ---------------------------------------------------------------------------

void EngineFace::Monitor_Initialize() {
    // A click flips a checkable item by itself; the commands show the monitoring state until
    // the cycle has decided on the new one.
    emit monitoringStateChanged(m_monitoringState);
    if (m_engine)
        m_engine->cycle().Monitor_Initialize();
}

void EngineFace::Monitor_Stop() {
    emit monitoringStateChanged(m_monitoringState);
    if (m_engine)
        m_engine->cycle().Monitor_Stop();
}

void EngineFace::setMonitoringState(MonitoringState state) {
    m_monitoringState = state;
    emit monitoringStateChanged(state);
}

void EngineFace::setAssistantMonitoringCommands(bool monitoringOn) {
    emit monitoringCommandsChanged(monitoringOn);
}

void EngineFace::setBusyPointer(bool busy) {
    if (busy && !QApplication::overrideCursor())
        QApplication::setOverrideCursor(Qt::BusyCursor);
    while (!busy && QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void EngineFace::setTrayIcon(TrayState state, const QString& tip) {
    m_tray->show(state, tip);
}

void EngineFace::notifyDesktop(const QString& title, const QString& text) {
    m_tray->notify(title, text);
}

int EngineFace::treeNodeCount() const {
    return m_client.tvTreeView().nodeCount();
}

void EngineFace::Check_TVIcons() {
    DevicePanes& panes = m_client.panes();
    if (!panes.Check_TVIcons())
        return;
    const int problems = panes.problemCount();
    m_tray->show(problems > 0 ? TrayState::Problems : TrayState::Idle,
                 TrayIcon::problemsTip(problems));
}

void EngineFace::refreshDetailList() {
    m_client.mnulvRefresh_Click();
}

// --- status bar, tree and message window --------------------------------------------------

void EngineFace::setStatusPanel(int panel, const QString& text) {
    // What a check pass says while it unwinds behind an error report is no longer true.
    if (!m_halted)
        m_client.statusPanels().setText(panel, text);
}

QString EngineFace::statusPanel(int panel) const {
    return m_client.statusPanels().text(panel);
}

void EngineFace::showHalted() {
    m_client.statusPanels().setText(1, QStringLiteral("Stopped by an error."));
    m_client.statusPanels().setText(2, QStringLiteral("Monitoring is off."));
    m_halted = true;
}

void EngineFace::setDeviceNodeText(const QString& key, const QString& text) {
    if (QTreeWidgetItem* node = m_client.tvTreeView().node(key))
        node->setText(0, text);
}

void EngineFace::setTextAtEnd(const QString& text) {
    m_messageText = text;
    QString shown = text;
    shown.replace(CRLF, QStringLiteral("\n"));
    if (shown.endsWith(QLatin1Char('\n')))
        shown.chop(1);
    QPlainTextEdit& box = m_client.txtMessageWindow();
    box.setPlainText(shown);
    box.moveCursor(QTextCursor::End);
    box.verticalScrollBar()->setValue(box.verticalScrollBar()->maximum());
}

void EngineFace::appendAtEnd(qsizetype dropped, const QString& added) {
    const QString removed = m_messageText.left(dropped);
    const QString text = m_messageText.mid(dropped) + added;
    m_messageText = text;
    if (!MessageLines::replaceEnds(m_client.txtMessageWindow(), removed, added))
        setTextAtEnd(text);
}

bool EngineFace::showFile(const QString& path) {
    return TextViewer::showFile(path, m_window);
}
