#include "app/Application.h"

#include <QTest>

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void openingDialogSwitchIsCaseSensitiveInFirstOrSecondPlace() {
        QVERIFY(ParseCommandLine({"-O"}).suppressOpeningDialog);
        QVERIFY(ParseCommandLine({"-3", "-O"}).suppressOpeningDialog);
        QVERIFY(!ParseCommandLine({"-o"}).suppressOpeningDialog);
        QVERIFY(!ParseCommandLine({}).suppressOpeningDialog);
        QVERIFY(!ParseCommandLine({"-1", "-2", "-O"}).suppressOpeningDialog);
    }

    void slowTimingSwitchIgnoresCase() {
        QVERIFY(ParseCommandLine({"-S"}).slowTiming);
        QVERIFY(ParseCommandLine({"-s"}).slowTiming);
        QVERIFY(ParseCommandLine({"-O", "-s"}).slowTiming);
        QVERIFY(!ParseCommandLine({"-O", "-1", "-S"}).slowTiming);
        QVERIFY(!ParseCommandLine({"-SS"}).slowTiming);
    }

    void demoAndScreenshotAreFoundAnywhere() {
        const QStringList args{"-O", "-S", "--demo", "--screenshot", "/tmp/x.png"};
        const CommandLine line = ParseCommandLine(args);
        QVERIFY(line.demo);
        QVERIFY(line.suppressOpeningDialog);
        QVERIFY(line.slowTiming);
        QCOMPARE(line.arguments, args);
        QCOMPARE(ScreenshotPath(args), QStringLiteral("/tmp/x.png"));
        QCOMPARE(ScreenshotPath({"--screenshot"}), QString());
        QVERIFY(!ParseCommandLine({"-O"}).demo);
    }

    void pollWaitTakesTenToAHundredMilliseconds_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("pollMs");
        QTest::addColumn<bool>("refused");
        QTest::newRow("not given") << QStringList{"-S"} << 100 << false;
        QTest::newRow("shortest") << QStringList{"-O", "--poll-ms", "10"} << 10 << false;
        QTest::newRow("with -S") << QStringList{"-S", "--poll-ms", "40"} << 40 << false;
        QTest::newRow("below") << QStringList{"--poll-ms", "9"} << 100 << true;
        QTest::newRow("above") << QStringList{"--poll-ms", "101"} << 100 << true;
        QTest::newRow("not a number") << QStringList{"--poll-ms", "fast"} << 100 << true;
        QTest::newRow("no value") << QStringList{"--demo", "--poll-ms"} << 100 << true;
    }
    void pollWaitTakesTenToAHundredMilliseconds() {
        QFETCH(QStringList, arguments);
        QFETCH(int, pollMs);
        QFETCH(bool, refused);
        const CommandLine line = ParseCommandLine(arguments);
        QCOMPARE(line.pollMs, pollMs);
        QCOMPARE(!line.error.isEmpty(), refused);
    }
};

QTEST_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
