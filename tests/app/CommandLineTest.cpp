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
};

QTEST_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
