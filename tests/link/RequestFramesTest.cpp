// Request frames byte for byte, the port choice and the timer set-up.
#include "LinkParts.h"
#include "tests/support/FakeSerialPort.h"
#include "tests/support/LinkTestAccess.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class RequestFramesTest : public QObject, LinkParts<FakeSerialPort> {
    Q_OBJECT

    static QByteArray Hex(const char *hex) { return QByteArray::fromHex(hex); }

private slots:
    void init() {
        makeLink();
        port->open(QStringLiteral("COM1"));
    }
    void cleanup() { deleteLink(); }

    void accessRequestWithOnlyReadOnlyTicked() {
        link->SendAccessBits(4);
        QCOMPARE(port->lastWritten(), Hex("41000445"));
        QCOMPARE(StateOf(link).LastCommand, 'A');
        QCOMPARE(hooks->commErrorsShown, QList<int>{0});
    }

    void accessRequestWithAllBitsAndTheAccessBitsQuery() {
        link->SendAccessBits(28);
        QCOMPARE(port->lastWritten(), Hex("41001c5d"));
        QVERIFY(link->RequestAccessBits());
        QCOMPARE(port->lastWritten(), Hex("614142434"
                                          "46b"));
        QCOMPARE(StateOf(link).LastCommand, 'a');
    }

    void accessBitsQueryIsSkippedBelow3FA1ACOrOffline() {
        hooks->version = QStringLiteral("3FA1AB1AA");
        QVERIFY(!link->RequestAccessBits());
        hooks->version = QStringLiteral("3FA1AC1AA");
        hooks->online = false;
        QVERIFY(!link->RequestAccessBits());
        QVERIFY(port->written.isEmpty());
    }

    void passwordIsPaddedWithZeroCharactersToTen() {
        link->SendPassword(QStringLiteral("AB"));
        const QByteArray frame = port->lastWritten();
        QCOMPARE(frame.size(), 12);
        QCOMPARE(frame, QByteArray("pAB00000000") + char(0x73));
        link->SendNewPassword(QStringLiteral("ABCDEFGHIJKL"));
        QCOMPARE(port->lastWritten().left(11), QByteArray("PABCDEFGHIJ"));
        QCOMPARE(port->lastWritten().size(), 12);
        QCOMPARE(StateOf(link).LastCommand, 'P');
    }

    void bareLettersGoOutAlone() {
        link->RequestVersion();
        QCOMPARE(port->lastWritten(), QByteArray("V"));
        link->RequestSerialNumber();
        QCOMPARE(port->lastWritten(), QByteArray("S"));
        link->RequestLock();
        QCOMPARE(port->lastWritten(), QByteArray("L"));
        link->RequestRestart();
        QCOMPARE(port->lastWritten(), QByteArray("R"));
        link->RequestVersionBeforeWrite();
        QCOMPARE(port->lastWritten(), QByteArray("V"));
        QCOMPARE(StateOf(link).LastCommand, 'v');
        link->RequestCalibrationReading(2);
        QCOMPARE(port->lastWritten(), QByteArray("D"));
        QCOMPARE(StateOf(link).LastCommand, '2');
    }

    void liveRequestLetterFollowsTheFirmware() {
        link->RequestLiveData();
        QCOMPARE(port->lastWritten(), QByteArray("d"));
        QVERIFY(LinkTimer(link, 1)->isActive());
        QVERIFY(LinkTimer(link, 2)->isActive());
        hooks->version = QStringLiteral("1FA1AA1AA");
        link->RequestLiveData();
        QCOMPARE(port->lastWritten(), QByteArray("D"));
        QCOMPARE(StateOf(link).LastCommand, 'D');
    }

    void offlineRequestsSendNothing() {
        hooks->online = false;
        link->RequestLiveData();
        link->RequestLock();
        link->ReadImage(0, 1089);
        link->RequestCalibrationReading(1);
        QVERIFY(port->written.isEmpty());
        QVERIFY(!LinkTimer(link, 1)->isActive());
    }

    void payloadBytesThatLookLikeLettersOrZeroAreSentUnchanged() {
        StateOf(link).RequestPayload = Hex("00410000");
        link->WriteValue(StateOf(link).RequestPayload);
        QCOMPARE(port->lastWritten(), Hex("430041000084"));
        QCOMPARE(hooks->calls, (QStringList{"lockButtonUp", "notLocked"}));

        StateOf(link).RequestPayload = Hex("000401905900");
        link->WriteBlock(StateOf(link).RequestPayload);
        QCOMPARE(port->lastWritten(), Hex("45000401905900") + char(0x45 + 0x04 + 0x01 + 0x90 + 0x59));
        QCOMPARE(StateOf(link).LastCommand, 'E');

        StateOf(link).RequestPayload = Hex("0000805A");
        link->WriteSingleValue();
        QCOMPARE(port->lastWritten(), Hex("430000805a1d"));
        QCOMPARE(StateOf(link).LastCommand, 'c');
    }

    void imageReadAsksForStartAndCount() {
        link->ReadImage(0, 1089);
        QCOMPARE(port->lastWritten(), Hex("5a000004419f"));
        QCOMPARE(StateOf(link).ReadCount, 1089);
    }

    void writesWhileOfflineLetTheTransferMoveOn() {
        hooks->online = false;
        StateOf(link).RequestPayload = Hex("00010002");
        link->steps().TransferStep = 3;
        link->WriteValue(StateOf(link).RequestPayload);
        QVERIFY(LinkTimer(link, 2)->isActive()); // the retry step takes over
        QVERIFY(!hooks->calls.contains("stepReady"));
        LinkTimer(link, 2)->stop();
        link->steps().TransferStep = 200;
        link->WriteValue(StateOf(link).RequestPayload);
        link->WriteSingleValue();
        link->WriteBlock(StateOf(link).RequestPayload);
        QCOMPARE(hooks->calls, (QStringList{"stepReady", "stepReady", "stepReady"}));
        QVERIFY(port->written.isEmpty());
    }

    void blockWriteOnAClosedPortSkipsTheBlock() {
        port->close();
        StateOf(link).RequestPayload = Hex("0002000000");
        link->WriteBlock(StateOf(link).RequestPayload);
        QCOMPARE(hooks->calls, QStringList{"stepReady"});
    }

    void sendingOnAClosedPortArmsNoTimeOut() {
        port->close();
        link->SendFrame("S");
        QVERIFY(port->written.isEmpty());
        QVERIFY(!LinkTimer(link, 2)->isActive());
    }

    void sendingClearsWhatArrivedBefore() {
        StateOf(link).RxBuffer = "xyz";
        StateOf(link).RxCount = 3;
        link->SendFrame("S");
        QVERIFY(StateOf(link).RxBuffer.isEmpty());
        QCOMPARE(StateOf(link).RxCount, 0);
    }

    void writeFailureStopsEverythingAndSaysSo() {
        port->failWrite = true;
        LinkTimer(link, 3)->start();
        LinkTimer(link, 4)->start();
        link->RequestLock();
        QVERIFY(StateOf(link).RxIgnore);
        QVERIFY(!LinkTimer(link, 2)->isActive());
        QVERIFY(!LinkTimer(link, 3)->isActive());
        QVERIFY(!LinkTimer(link, 4)->isActive());
        QCOMPARE(dialogs->shown().size(), 1);
        QCOMPARE(dialogs->shown()[0].text, QStringLiteral("Communicatie Error"));
        QCOMPARE(dialogs->shown()[0].kind, DialogKind::Error);
        // The dead line is let go: offline, the port closed, once.
        QCOMPARE(hooks->calls.count("offline"), 1);
        QVERIFY(!port->isOpen());

        link->RequestLiveData();
        QVERIFY(!LinkTimer(link, 1)->isActive());
        QVERIFY(!LinkTimer(link, 2)->isActive());
        QCOMPARE(dialogs->shown().size(), 1);
    }

    void versionRequestOnAPortThatWillNotOpenGoesOffline() {
        port->close();
        port->refuseOpen = true;
        StateOf(link).PortName = QStringLiteral("COM7");
        LinkTimer(link, 3)->start();
        link->RequestVersion();
        QCOMPARE(port->opened.last(), QStringLiteral("COM7"));
        QVERIFY(hooks->calls.contains("offline"));
        QVERIFY(!LinkTimer(link, 3)->isActive());
        QCOMPARE(dialogs->shown().size(), 1);
        QCOMPARE(dialogs->shown()[0].text,
                 QStringLiteral("COM port not available or USB kabel not connected !!!"));
    }

    void portOpensOnlyWhenClosed() {
        QVERIFY(link->OpenPortIfClosed());
        QCOMPARE(port->opened.size(), 1);
        port->close();
        StateOf(link).PortName = QStringLiteral("/dev/ttyUSB0");
        link->SendAccessBits(0);
        QCOMPARE(port->opened.last(), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(port->written.size(), 1);
    }

    void timersHaveTheirNamesAndIntervals() {
        const QList<QTimer *> timers{LinkTimer(link, 1), LinkTimer(link, 2), LinkTimer(link, 3),
                                     LinkTimer(link, 4)};
        const QList<int> normal{100, 300, 30, 60};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(timers[i]->objectName(), QStringLiteral("Timer%1").arg(i + 1));
            QCOMPARE(timers[i]->interval(), normal[i]);
            QVERIFY(!timers[i]->isActive());
        }
        QCOMPARE(link->findChild<QTimer *>(QStringLiteral("Timer4")), LinkTimer(link, 4));
        link->SetSlowTiming();
        QCOMPARE(LinkTimer(link, 1)->interval(), 100);
        QCOMPARE(LinkTimer(link, 2)->interval(), 300);
        QCOMPARE(LinkTimer(link, 3)->interval(), 50);
        QCOMPARE(LinkTimer(link, 4)->interval(), 1000);
    }

    void delayedActionsZeroAndSixGoBackToSixtyMilliseconds() {
        link->SetSlowTiming();
        StateOf(link).DelayedAction = 0;
        link->Timer4Timer();
        QCOMPARE(LinkTimer(link, 4)->interval(), 60);
        QCOMPARE(port->lastWritten(), QByteArray("V"));
        link->SetSlowTiming();
        StateOf(link).DelayedAction = 7;
        link->Timer4Timer();
        QCOMPARE(LinkTimer(link, 4)->interval(), 1000);
        StateOf(link).DelayedAction = 6;
        link->Timer4Timer();
        QCOMPARE(LinkTimer(link, 4)->interval(), 60);
    }

    void delayedActionsDispatch() {
        StateOf(link).RxIgnore = true;
        StateOf(link).DelayedAction = 9;
        LinkTimer(link, 4)->start();
        link->Timer4Timer();
        QVERIFY(!StateOf(link).RxIgnore);
        QVERIFY(!LinkTimer(link, 4)->isActive());
        QVERIFY(LinkTimer(link, 3)->isActive());

        StateOf(link).DelayedAction = 3;
        link->Timer4Timer();
        QCOMPARE(port->lastWritten(), QByteArray("d"));
        StateOf(link).DelayedAction = 7;
        link->Timer4Timer();
        QCOMPARE(port->lastWritten(), QByteArray("L"));
        StateOf(link).RequestPayload = QByteArray::fromHex("00050006");
        StateOf(link).DelayedAction = 1;
        link->Timer4Timer();
        QCOMPARE(port->lastWritten(), QByteArray::fromHex("43000500064e"));
        hooks->calls.clear();
        for (int code : {2, 8, 16, 4}) {
            StateOf(link).DelayedAction = code;
            link->Timer4Timer();
        }
        QCOMPARE(hooks->calls, (QStringList{"editJob", "tableWrite", "other:16", "other:4"}));
    }

    void enablingTheTimeOutKeepsItsRunningInterval() {
        link->RequestLock();
        QTest::qWait(150);
        link->RequestLock();
        QVERIFY(LinkTimer(link, 2)->remainingTime() < 200);
        LinkTimer(link, 3)->start();
        QTest::qWait(20);
        LinkTimer(link, 3)->stop();
        StateOf(link).DelayedAction = 9;
        link->Timer4Timer();
        QVERIFY(LinkTimer(link, 3)->isActive());
    }

    void portChoice_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nothing") << QByteArray() << QStringList() << "COM1";
        QTest::newRow("file wins over -4") << (QByteArray("\x04"
                                                          "COM3") +
                                               QByteArray(16, 'x'))
                                           << QStringList{"-4"} << "COM3";
        QTest::newRow("-7 and -3") << QByteArray() << QStringList{"-7", "-3"} << "COM7";
        QTest::newRow("-2 and -5") << QByteArray() << QStringList{"-2", "-5"} << "COM5";
        QTest::newRow("only two positions") << QByteArray() << QStringList{"-O", "-S", "-6"} << "COM1";
        QTest::newRow("second position") << QByteArray() << QStringList{"-O", "-9"} << "COM9";
        QTest::newRow("not exact") << QByteArray() << QStringList{"-10", "- 2"} << "COM1";
        QTest::newRow("short file") << QByteArray("\x04"
                                                  "COM3")
                                    << QStringList{"-2"} << "COM2";
        QTest::newRow("long name") << (QByteArray("\x14") + QByteArray("/dev/serial/by-id/ab"))
                                   << QStringList() << "/dev/serial/by-id/ab";
        QTest::newRow("length past the record")
            << (QByteArray("\xff") + QByteArray("ABCDEFGHIJKLMNOPQRST") + "UVW") << QStringList()
            << "ABCDEFGHIJKLMNOPQRST";
    }

    void portChoice() {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        if (!ini.isEmpty()) {
            QFile file(dir.filePath(QStringLiteral("com.ini")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(ini);
        }
        StateOf(link).PortName = QStringLiteral("stale");
        link->ChoosePort(dir.path(), arguments);
        QCOMPARE(StateOf(link).PortName, expected);
    }
};

QTEST_GUILESS_MAIN(RequestFramesTest)
#include "RequestFramesTest.moc"
