#include "core/ErrorReport.h"
#include "ReadOnlyFolder.h"
#include "TestContext.h"
#include "TestMain.h"
#include "ui/desktop/WidgetDialogs.h"

#include <QFile>
#include <QTemporaryDir>

namespace {
const QString CRLF = QStringLiteral("\r\n");

QString readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void createFile(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}
} // namespace

class LogTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void writeLog_trimsBlanksAndJoinsKind();
    void writeLog_keepsLast101Lines();
    void writeLog_logFailuresOffLeavesFileAlone();
    void writeLog_missingLogFileResetsSetting_data();
    void writeLog_missingLogFileResetsSetting();
    void writeLog_defaultLogFileNotYetMade_isMadeQuietly();
    void writeLog_unopenableFileIsReported();
    void checkLog_data();
    void checkLog();
    void reportError_emptyDescription();
    void reportError_haltsFirstAndShowsOneBox();
    void navigate_data();
    void navigate();
    void desktopShell_reportsOpenerFailure();

private:
    std::unique_ptr<TestContext> t;
    std::unique_ptr<FixedClock> clock;
};

void LogTest::init() {
    t = std::make_unique<TestContext>();
    clock = std::make_unique<FixedClock>(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));
    (*t)->setClock(clock.get());
    createFile(t->programFile("OrvexMonitor.txt"));
}

void LogTest::writeLog_trimsBlanksAndJoinsKind() {
    (*t)->log().WriteLog("  Monitoring Started.  ", "Message");
    const QString expected = Clock::generalDate(clock->now()) + " Message...Monitoring Started.";
    QCOMPARE((*t)->messageWindow().text(), expected + CRLF);
    QCOMPARE(readFile(t->programFile("OrvexMonitor.txt")), expected + CRLF);
    QVERIFY(t->assistant.spoken.isEmpty());
}

void LogTest::writeLog_keepsLast101Lines() {
    (*t)->settings().SaveSetting("Options", "LogFailures", "0");
    for (int i = 1; i <= 150; ++i)
        (*t)->log().WriteLog(QString("line %1").arg(i), "Message");
    QStringList lines = (*t)->messageWindow().text().split(CRLF);
    QCOMPARE(lines.takeLast(), QString()); // the text ends with a line break
    QCOMPARE(lines.size(), 101);
    QVERIFY(lines.first().endsWith("Message...line 50"));
    QVERIFY(lines.last().endsWith("Message...line 150"));
    QVERIFY(!lines.contains(QString()));
}

void LogTest::writeLog_logFailuresOffLeavesFileAlone() {
    (*t)->settings().SaveSetting("Options", "LogFailures", "0");
    (*t)->log().WriteLog("quiet", "Message");
    QCOMPARE(readFile(t->programFile("OrvexMonitor.txt")), QString());
    QVERIFY((*t)->messageWindow().text().contains("Message...quiet"));
}

void LogTest::writeLog_missingLogFileResetsSetting_data() {
    QTest::addColumn<QString>("stored"); // in the program folder
    QTest::newRow("no such file") << "gone/missing.txt";
    QTest::newRow("a folder") << "logs";
}

void LogTest::writeLog_missingLogFileResetsSetting() {
    QFETCH(QString, stored);
    QVERIFY(QDir().mkpath(t->programFile("logs")));
    (*t)->settings().SaveSetting("Options", "LogFile", t->programFile(stored));
    QFile::remove(t->programFile("OrvexMonitor.txt"));
    (*t)->log().WriteLog("after reset", "Warning");

    QCOMPARE(t->assistant.spoken.size(), 1);
    QCOMPARE(t->assistant.spoken.first().animation, QString("Explain"));
    QVERIFY(t->assistant.spoken.first().text.startsWith(
        "The log file you specified could not be found and was reset back to the default value." +
        CRLF + "You can change the log file location from the options dialogue."));
    QCOMPARE((*t)->catalogue().logFile(), t->programFile("OrvexMonitor.txt"));
    QVERIFY(readFile(t->programFile("OrvexMonitor.txt")).contains("Warning...after reset"));
}

void LogTest::writeLog_defaultLogFileNotYetMade_isMadeQuietly() {
    QFile::remove(t->programFile("OrvexMonitor.txt"));
    (*t)->log().WriteLog("first", "Message");
    QCOMPARE(t->assistant.spoken.size(), 0);
    QVERIFY(readFile(t->programFile("OrvexMonitor.txt")).contains("Message...first"));
}

void LogTest::writeLog_unopenableFileIsReported() {
    // The log file exists but cannot be appended to.
    const QString folder = t->programFile("logs");
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + "/OrvexMonitor.txt";
    createFile(path);
    (*t)->settings().SaveSetting("Options", "LogFile", path);
    ReadOnlyFolder readOnly(folder);
    if (!readOnly.ready())
        QSKIP("this process can make no folder read-only");
    (*t)->log().WriteLog("text", "Message");
    QCOMPARE(t->end.codes, QVector<int>{1});
    QCOMPARE(t->dialogs.messages.size(), 1);
    QVERIFY(t->dialogs.messages.first().text.contains("An error has occured in the WriteLog"));
}

void LogTest::checkLog_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("maxLines");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << "" << 100 << "";
    QTest::newRow("blank lines dropped") << "a\r\n\r\nb\r\n" << 100 << "a\r\nb\r\n";
    QTest::newRow("at limit keeps first") << "a\r\nb\r\nc" << 2 << "a\r\nb\r\nc\r\n";
    QTest::newRow("over limit drops first") << "a\r\nb\r\nc\r\n" << 2 << "b\r\nc\r\n";
}

void LogTest::checkLog() {
    QFETCH(QString, text);
    QFETCH(int, maxLines);
    QFETCH(QString, expected);
    QCOMPARE(Log::Check_Log(text, maxLines), expected);
}

void LogTest::reportError_emptyDescription() {
    (*t)->errors().ReportError(5, QString(), "Monitor_Finish");
    QCOMPARE(t->assistant.texts(), QStringList{"Oh crap!  A very bad thing just happened!"});
    QCOMPARE(t->assistant.spoken.first().animation, QString("GetAttention"));
    QCOMPARE(t->dialogs.messages.size(), 1);
    const ShownMessage& shown = t->dialogs.messages.first();
    QCOMPARE(shown.caption, QString("IP Orvex Monitor 2.0 - Unexpected Error!"));
    QCOMPARE(shown.icon, MessageIcon::Critical);
    const QStringList lines = shown.text.split(CRLF);
    QCOMPARE(lines.at(0),
             QString("IP Orvex Monitor 2.0 will be shut down due to an error in the program."));
    QCOMPARE(lines.at(2), QString("An error has occured in the Monitor_Finish subroutine."));
    QCOMPARE(lines.at(4), QString("Error Number: \t5"));
    QCOMPARE(lines.at(5), QString("Error Description: \tUnknown error"));
    QVERIFY(lines.at(7).startsWith("If you can duplicate this error then report it to "));
    QVERIFY(lines.at(7).endsWith(" "));
    QCOMPARE(t->end.codes, QVector<int>{1});
}

namespace {
// A box during which a second error happens, as a socket or timer event would raise it.
class BoxWithSecondError final : public UserDialogs {
public:
    explicit BoxWithSecondError(AppContext& context)
        : m_context(context) {}
    void message(const QString& text, MessageIcon, const QString&) override {
        shown << text;
        haltedBeforeBox = halted;
        if (shown.size() == 1)
            m_context.errors().ReportError(7, "Out of memory", "Winsock1_Error");
    }
    bool askYesNo(const QString&, const QString&, MessageIcon) override { return false; }
    QString openFileName(const FileDialogRequest&) override { return {}; }
    QString saveFileName(const FileDialogRequest&) override { return {}; }
    QStringList shown;
    int halted = 0;
    int haltedBeforeBox = 0;

private:
    AppContext& m_context;
};
} // namespace

void LogTest::reportError_haltsFirstAndShowsOneBox() {
    BoxWithSecondError box(**t);
    (*t)->setDialogs(&box);
    const auto restore = qScopeGuard([&] { (*t)->setDialogs(&t->dialogs); });
    connect(&(*t)->errors(), &ErrorReport::halting, this, [&] { ++box.halted; });
    (*t)->errors().ReportError(13, "Type mismatch", "Timer1_Timer");
    QCOMPARE(box.haltedBeforeBox, 1);
    QCOMPARE(box.shown.size(), 1);
    QVERIFY(box.shown.first().contains("Error Description: \tType mismatch"));
    QCOMPARE(t->end.codes, QVector<int>{1});
}

// A target nothing could open is said in the log and in a message box, by its path or address.
void LogTest::navigate_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("shown");
    const QString readme = t->programFile("readme.txt");
    QTest::newRow("opened") << "file://" + readme << true << QString();
    QTest::newRow("file nothing opens") << "file://" + readme << false << readme;
    QTest::newRow("address nothing opens")
        << "https://orvex-monitor.example/" << false << "https://orvex-monitor.example/";
}

void LogTest::navigate() {
    QFETCH(QString, target);
    QFETCH(bool, opens);
    QFETCH(QString, shown);
    t->shell.opens = opens;
    (*t)->errors().Navigate(target);
    QCOMPARE(t->shell.opened, QStringList{target});
    if (opens) {
        QCOMPARE(readFile(t->programFile("OrvexMonitor.txt")), QString());
        QVERIFY(t->dialogs.messages.isEmpty());
        return;
    }
    QCOMPARE(readFile(t->programFile("OrvexMonitor.txt")),
             Clock::generalDate(clock->now()) + " Warning...No program could open " + shown + CRLF);
    QCOMPARE(t->dialogs.messages.size(), 1);
    QCOMPARE(t->dialogs.messages.first().text,
             "No program on this desktop could open \"" + shown + "\".");
    QCOMPARE(t->dialogs.messages.first().icon, MessageIcon::Exclamation);
    QVERIFY(t->end.codes.isEmpty());
}

// The desktop's opener starts at once and fails later; only the targets it failed are told.
void LogTest::desktopShell_reportsOpenerFailure() {
    QTemporaryDir bin;
    const QString calls = bin.filePath("calls");
    QFile opener(bin.filePath("xdg-open"));
    QVERIFY(opener.open(QIODevice::WriteOnly));
    opener.write("#!/bin/sh\necho \"$1\" >> '" + calls.toUtf8() +
                 "'\ncase \"$1\" in *good*) exit 0;; *) exit 3;; esac\n");
    opener.close();
    QVERIFY(opener.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toUtf8());

    DesktopShell shell;
    QStringList failed;
    shell.onCannotOpen([&failed](const QString& target) { failed << target; });
    QVERIFY(shell.open("file:///docs/good.txt"));
    QTRY_COMPARE(readFile(calls), QString("/docs/good.txt\n"));
    QVERIFY(shell.open("https://bad.example/"));
    QTRY_COMPARE(failed, QStringList{"https://bad.example/"});
    qputenv("PATH", path);
    QCOMPARE(readFile(calls), QString("/docs/good.txt\nhttps://bad.example/\n"));
}

ORVEX_TEST_GUILESS_MAIN(LogTest)
#include "tst_core_log.moc"
