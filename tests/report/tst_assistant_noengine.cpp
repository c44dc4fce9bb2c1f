#include "core/AppInfo.h"
#include "report/Assistant.h"

#include "TestContext.h"
#include "TestMain.h"

#include <QSignalSpy>

// A program that cannot show windows has no character engine: the first message, then the end.
class TestAssistantNoEngine : public QObject {
    Q_OBJECT
private slots:
    void loadMSAgent_withoutEngine_saysInstallAndEnds() {
        TestContext context;
        Assistant assistant(*context);
        QSignalSpy unavailable(&assistant, &Assistant::agentUnavailable);

        assistant.LoadMSAgent();

        QVERIFY(!assistant.character());
        QCOMPARE(context.dialogs.messages.size(), 1);
        const ShownMessage& message = context.dialogs.messages.first();
        QCOMPARE(message.icon, MessageIcon::Critical);
        QCOMPARE(message.caption, AppInfo::Title);
        QVERIFY(message.text.startsWith(
            "An error has occured during the loading of " + AppInfo::Title +
            ".\r\nYou must install Microsoft Agent 2.0 and a Microsoft Agent 2.0 Character.\r\n"
            "Microsoft Agent information is available at "));
        QVERIFY(message.text.endsWith(
            ".\r\nThis program can not function without the required Microsoft Agent components."));
        QCOMPARE(unavailable.count(), 1);
        QCOMPARE(context.end.codes, QVector<int>{1});
    }
};

ORVEX_TEST_GUILESS_MAIN(TestAssistantNoEngine)
#include "tst_assistant_noengine.moc"
