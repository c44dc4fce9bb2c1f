#include "platform/ComponentLoader.h"
#include "platform/ComponentRegistry.h"
#include "TestMain.h"

#include <memory>
#include <QFile>
#include <QLibrary>
#include <QLibraryInfo>
#include <QPointer>
#include <QWidget>

namespace {
const QString ClassId = QStringLiteral("OrvexSMTPControl.OrvexSMTP");

int callEntry(const char* name) {
    QLibrary library(QStringLiteral(ORVEX_SMTP_LIBRARY));
    const auto entry = reinterpret_cast<int (*)()>(library.resolve(name));
    return entry ? entry() : -100;
}
} // namespace

class TestComponentLoader final : public QObject {
    Q_OBJECT

private slots:
    void init();
    void registry_livesInTheUsersDataLocation();
    void register_recordsLibraryAndUnregisterRemovesIt();
    void create_registeredClass_givesControlByAnySpelling_data();
    void create_registeredClass_givesControlByAnySpelling();
    void create_failure_saysWhy_data();
    void create_failure_saysWhy();
    void canUnloadNow_onlyWithoutLiveInstances();

private:
    ComponentRegistry m_registry;
};

void TestComponentLoader::init() {
    QFile::remove(m_registry.fileName());
}

void TestComponentLoader::registry_livesInTheUsersDataLocation() {
    // The tests run with a data location of their own; the real registry is never touched.
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    QVERIFY(!dataHome.isEmpty());
    QVERIFY(ComponentRegistry::defaultFileName().startsWith(dataHome + u'/'));
}

void TestComponentLoader::register_recordsLibraryAndUnregisterRemovesIt() {
    QCOMPARE(callEntry("DllRegisterServer"), 0);
    const QString registered = m_registry.libraryFor(ClassId);
    QCOMPARE(QFileInfo(registered).canonicalFilePath(),
             QFileInfo(QStringLiteral(ORVEX_SMTP_LIBRARY)).canonicalFilePath());
    QVERIFY(QFileInfo(registered).isAbsolute());

    QCOMPARE(callEntry("DllUnregisterServer"), 0);
    QCOMPARE(m_registry.libraryFor(ClassId), QString());
    QString error;
    QVERIFY(!ComponentLoader::create(ClassId, nullptr, &error));
    QVERIFY2(error.contains(QStringLiteral("not registered")), qPrintable(error));
}

void TestComponentLoader::create_registeredClass_givesControlByAnySpelling_data() {
    QTest::addColumn<QString>("classId");
    QTest::newRow("as registered") << ClassId;
    QTest::newRow("other case") << ClassId.toLower();
}

void TestComponentLoader::create_registeredClass_givesControlByAnySpelling() {
    QFETCH(QString, classId);
    QCOMPARE(callEntry("DllRegisterServer"), 0);
    QWidget form;
    QString error = QStringLiteral("stale");
    QObject* control = ComponentLoader::create(classId, &form, &error);
    QVERIFY2(control, qPrintable(error));
    QCOMPARE(error, QString());
    QCOMPARE(control->parent(), &form);
    QCOMPARE(control->property("MailTimeOut"), QVariant(10000));
    QVERIFY(control->metaObject()->indexOfMethod("Send()") >= 0);
    QVERIFY(control->metaObject()->indexOfSignal("SendComplete(QString)") >= 0);
}

void TestComponentLoader::create_failure_saysWhy_data() {
    QTest::addColumn<QString>("registeredId");
    QTest::addColumn<QString>("library");
    QTest::addColumn<QString>("message");

    const QString qtCore =
        QLibraryInfo::path(QLibraryInfo::LibrariesPath) + QStringLiteral("/libQt6Core.so.6");
    QTest::newRow("not registered") << QString() << QString() << "is not registered";
    QTest::newRow("library missing") << ClassId << "/nonexistent/libOrvexSMTP.so"
                                     << "could not be loaded";
    QTest::newRow("not a library")
        << ClassId << QStringLiteral(ORVEX_SOURCE_DIR "/CMakeLists.txt") << "could not be loaded";
    QTest::newRow("library without a class factory")
        << ClassId << qtCore << "is not a component library";
    QTest::newRow("library lacks the class")
        << "Other.Control" << QStringLiteral(ORVEX_SMTP_LIBRARY) << "does not provide";
}

void TestComponentLoader::create_failure_saysWhy() {
    QFETCH(QString, registeredId);
    QFETCH(QString, library);
    QFETCH(QString, message);
    if (!registeredId.isEmpty())
        QVERIFY(m_registry.registerClass(registeredId, library));
    const QString asked = registeredId.isEmpty() ? ClassId : registeredId;

    QString error;
    QVERIFY(!ComponentLoader::create(asked, nullptr, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY2(error.contains(asked), qPrintable(error));
}

void TestComponentLoader::canUnloadNow_onlyWithoutLiveInstances() {
    QCOMPARE(callEntry("DllRegisterServer"), 0);
    QString error;
    std::unique_ptr<QObject> owner = std::make_unique<QObject>();
    QPointer<QObject> control = ComponentLoader::create(ClassId, owner.get(), &error);
    QVERIFY2(control, qPrintable(error));
    QCOMPARE(callEntry("DllCanUnloadNow"), 1);
    // A control handed a parent that is no widget still goes with it.
    owner.reset();
    QVERIFY(control.isNull());
    QCOMPARE(callEntry("DllCanUnloadNow"), 0);
}

ORVEX_TEST_MAIN(TestComponentLoader)
#include "tst_component_loader.moc"
