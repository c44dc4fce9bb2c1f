#include "store/Database.h"
#include "TestContext.h"
#include "TestMain.h"
#include "ui/main/frmMain.h"
#include "ui/main/StatusPanels.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTextDocument>

namespace {
// Counts the events of one type a widget receives.
class EventCounter final : public QObject {
public:
    EventCounter(QObject* watched, QEvent::Type type)
        : m_type(type) {
        watched->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == m_type)
            ++count;
        return false;
    }

private:
    QEvent::Type m_type;
};

struct Window {
    Window() {
        const QString path = t.programFile("OrvexMonitor.mdb");
        Database::create(path);
        db.open(path);
        window = std::make_unique<frmMain>(*t, db);
    }
    frmMain& w() { return *window; }
    QLabel& label(int panel) {
        return *w().findChild<QLabel*>(panel == 1 ? QStringLiteral("Ready")
                                                  : QStringLiteral("Monitor"));
    }

    TestContext t;
    Database db;
    std::unique_ptr<frmMain> window;
};

QStringList numbered(const QString& text, int count) {
    QStringList texts;
    for (int i = 1; i <= count; ++i)
        texts << text.arg(i);
    return texts;
}
} // namespace

// The status panels and the message window while a check pass sets texts faster than the
// screen shows them.
class UiBurstTest : public QObject {
    Q_OBJECT

private slots:
    void panels_burst_showsFirstAtOnceAndLastAtFrameEnd_data();
    void panels_burst_showsFirstAtOnceAndLastAtFrameEnd();
    void window_burst_panelReadsLastAndLabelCatchesUp_data();
    void window_burst_panelReadsLastAndLabelCatchesUp();
    void window_statusText_repaintsNotTheWindowBehind();
    void messageWindow_manyLines_keepNoUndoHistory();
};

void UiBurstTest::panels_burst_showsFirstAtOnceAndLastAtFrameEnd_data() {
    QTest::addColumn<int>("panel");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("shows"); // times the label is set, the frame's end included

    QTest::newRow("one text") << 1 << QStringList{"Check in progress..."} << 1;
    QTest::newRow("two texts") << 1 << QStringList{"Check in progress...", "Ready"} << 2;
    QTest::newRow("a pass of pings")
        << 1 << numbered("Check in progress.  Pinging...(127.0.0.%1)", 250) << 2;
    QTest::newRow("the monitoring panel")
        << 2 << QStringList{"Monitoring is on.", "Monitoring is off.", "Monitoring is on."} << 2;
}

// The first text of a burst shows at once, the last when the frame ends, and none in between;
// text() answers the last text set at every moment.
void UiBurstTest::panels_burst_showsFirstAtOnceAndLastAtFrameEnd() {
    QFETCH(int, panel);
    QFETCH(QStringList, texts);
    QFETCH(int, shows);
    QWidget bar;
    auto* panel1 = new QLabel(QStringLiteral("Ready"), &bar);
    auto* panel2 = new QLabel(QStringLiteral("Monitoring is off."), &bar);
    StatusPanels panels(panel1, panel2, nullptr);
    QLabel* label = panel == 1 ? panel1 : panel2;
    QLabel* other = panel == 1 ? panel2 : panel1;
    const QString otherText = other->text();
    EventCounter set(label, QEvent::ToolTipChange);

    for (const QString& text : std::as_const(texts)) {
        panels.setText(panel, text);
        QCOMPARE(panels.text(panel), text);
    }
    QCOMPARE(label->text(), texts.first());
    QTRY_COMPARE(set.count, shows);
    QCOMPARE(label->text(), texts.last());
    QCOMPARE(label->toolTip(), texts.last());
    QCOMPARE(other->text(), otherText);
    QCOMPARE(panels.text(panel == 1 ? 2 : 1), otherText);
}

void UiBurstTest::window_burst_panelReadsLastAndLabelCatchesUp_data() {
    QTest::addColumn<int>("panel");
    QTest::addColumn<int>("count");
    QTest::newRow("progress") << 1 << 500;
    QTest::newRow("monitoring state") << 2 << 3;
}

// Events run between the texts, as in a pass; the window never answers an older text than the
// last one set, and its label shows that one in the end.
void UiBurstTest::window_burst_panelReadsLastAndLabelCatchesUp() {
    QFETCH(int, panel);
    QFETCH(int, count);
    Window f;
    f.w().show();
    const QStringList texts = numbered(QStringLiteral("text %1"), count);
    for (const QString& text : texts) {
        f.w().setStatusPanel(panel, text);
        QCOMPARE(f.w().statusPanel(panel), text);
        QCoreApplication::processEvents();
    }
    QTRY_COMPARE(f.label(panel).text(), texts.last());
    QCOMPARE(f.label(panel).toolTip(), texts.last());
    QCOMPARE(f.w().statusPanel(panel), texts.last());
}

// The main window's own paint handler reads the settings; a new status text must not run it.
void UiBurstTest::window_statusText_repaintsNotTheWindowBehind() {
    Window f;
    f.t->state().StartupComplete = 1;
    f.w().resize(600, 400);
    f.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.w()));
    f.w().repaint(); // whatever was due is painted now
    EventCounter labelPaints(&f.label(1), QEvent::Paint);
    EventCounter windowPaints(&f.w(), QEvent::Paint);

    f.w().setStatusPanel(1, QStringLiteral("Check in progress.  Pinging...(127.0.0.1)"));
    QTRY_VERIFY(labelPaints.count > 0);
    QCOMPARE(windowPaints.count, 0);
}

// The box is read-only; an undo history would keep every line it ever dropped.
void UiBurstTest::messageWindow_manyLines_keepNoUndoHistory() {
    Window f;
    f.t->settings().SaveSetting("Options", "LogFailures", "0");
    for (int i = 1; i <= 150; ++i)
        f.t->log().WriteLog(QStringLiteral("line %1").arg(i), QStringLiteral("Failure"));
    const QTextDocument& document = *f.w().txtMessageWindow().document();
    QCOMPARE(document.blockCount(), 101);
    QVERIFY(!document.isUndoAvailable());
    QCOMPARE(document.availableUndoSteps(), 0);
}

ORVEX_TEST_MAIN(UiBurstTest)
#include "tst_ui_burst.moc"
