#pragma once

#include <QTemporaryDir>
#include <QtTest>

// Like QTEST_MAIN, but every test executable keeps its settings in a folder of its own, so
// tests never read or write the settings of the person running them.
#define ORVEX_TEST_SETUP()                                                                         \
    QTemporaryDir orvexConfigHome;                                                                 \
    qputenv("XDG_CONFIG_HOME", orvexConfigHome.path().toLocal8Bit());                              \
    qputenv("XDG_DATA_HOME", (orvexConfigHome.path() + QStringLiteral("/data")).toLocal8Bit());    \
    qputenv("XDG_RUNTIME_DIR", orvexConfigHome.path().toLocal8Bit());

#define ORVEX_TEST_MAIN(TestObject)                                                                \
    int main(int argc, char* argv[]) {                                                             \
        ORVEX_TEST_SETUP()                                                                         \
        QApplication app(argc, argv);                                                              \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

#define ORVEX_TEST_GUILESS_MAIN(TestObject)                                                        \
    int main(int argc, char* argv[]) {                                                             \
        ORVEX_TEST_SETUP()                                                                         \
        QCoreApplication app(argc, argv);                                                          \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
