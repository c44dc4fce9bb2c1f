#include "MainWindowFixture.h"
#include "TestMain.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QStatusBar>
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

struct Window : MainWindowFixture {
    QLabel& label(int panel) {
        return *w().findChild<QLabel*>(panel == 1 ? QStringLiteral("Ready")
                                                  : QStringLiteral("Monitor"));
    }
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
    void statusPanel_burst_showsFirstAtOnceAndLastAtFrameEnd_data();
    void statusPanel_burst_showsFirstAtOnceAndLastAtFrameEnd();
    void statusPanel_newText_repaintsOnlyItsLabel();
    void messageWindow_manyLines_keepNoUndoHistory();
};

void UiBurstTest::statusPanel_burst_showsFirstAtOnceAndLastAtFrameEnd_data() {
    QTest::addColumn<int>("panel");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<bool>("eventsBetween");
    QTest::addColumn<int>("shows"); // times the label is set, the frame's end included

    QTest::newRow("one text") << 1 << QStringList{"Check in progress..."} << false << 1;
    QTest::newRow("two texts") << 1 << QStringList{"Check in progress...", "Ready"} << false << 2;
    QTest::newRow("a pass of pings")
        << 1 << numbered("Check in progress.  Pinging...(127.0.0.%1)", 250) << false << 2;
    QTest::newRow("the monitoring panel")
        << 2 << QStringList{"Monitoring is on.", "Monitoring is off.", "Monitoring is on."} << false
        << 2;
    // Frames end during the burst: how many texts show depends on the time it takes.
    QTest::newRow("events between the texts")
        << 1 << numbered("Check in progress... (10.0.0.%1)", 500) << true << -1;
}

// The first text of a burst shows at once, the last when the frame ends, and none in between;
// the window answers the last text set at every moment.
void UiBurstTest::statusPanel_burst_showsFirstAtOnceAndLastAtFrameEnd() {
    QFETCH(int, panel);
    QFETCH(QStringList, texts);
    QFETCH(bool, eventsBetween);
    QFETCH(int, shows);
    Window f;
    f.w().show();
    QLabel& label = f.label(panel);
    const int other = panel == 1 ? 2 : 1;
    const QString otherText = f.label(other).text();
    EventCounter set(&label, QEvent::ToolTipChange);

    for (const QString& text : std::as_const(texts)) {
        f.w().setStatusPanel(panel, text);
        QCOMPARE(f.face().statusPanel(panel), text);
        if (eventsBetween)
            QCoreApplication::processEvents();
    }
    if (!eventsBetween)
        QCOMPARE(label.text(), texts.first());
    if (shows > 0)
        QTRY_COMPARE(set.count, shows);
    QTRY_COMPARE(label.text(), texts.last());
    QCOMPARE(label.toolTip(), texts.last());
    QCOMPARE(f.face().statusPanel(panel), texts.last());
    QCOMPARE(f.label(other).text(), otherText);
    QCOMPARE(f.face().statusPanel(other), otherText);
}

// A new progress text repaints its label alone: not the other panel, not the bar laid out
// again, and not the main window, whose own paint handler reads the settings.
void UiBurstTest::statusPanel_newText_repaintsOnlyItsLabel() {
    Window f;
    f.t->state().StartupComplete = 1;
    f.w().resize(600, 400);
    f.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.w()));
    f.w().repaint(); // whatever was due is painted now
    EventCounter labelPaints(&f.label(1), QEvent::Paint);
    EventCounter otherPaints(&f.label(2), QEvent::Paint);
    EventCounter windowPaints(&f.w(), QEvent::Paint);
    EventCounter barLayouts(f.w().findChild<QStatusBar*>(), QEvent::LayoutRequest);

    f.w().setStatusPanel(1, QStringLiteral("Check in progress.  Pinging...(127.0.0.1)"));
    QTRY_VERIFY(labelPaints.count > 0);
    QCOMPARE(windowPaints.count, 0);
    QCOMPARE(otherPaints.count, 0);
    QCOMPARE(barLayouts.count, 0);
}

// The box is read-only; an undo history would keep every line it ever dropped.
void UiBurstTest::messageWindow_manyLines_keepNoUndoHistory() {
    Window f;
    f.t->settings().SaveSetting("Options", "LogFailures", "0");
    for (int i = 1; i <= 150; ++i)
        f.t->log().WriteLog(QStringLiteral("line %1").arg(i), QStringLiteral("Failure"));
    QVERIFY(!f.client().txtMessageWindow().document()->isUndoAvailable());
}

ORVEX_TEST_MAIN(UiBurstTest)
#include "tst_ui_burst.moc"
