// Request frames byte for byte, the port choice and the timer set-up.
#include "FakeSerialPort.h"
#include "RecordingHooks.h"
#include "core/Dialogs.h"
#include "link/Link.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class RequestFramesTest : public QObject {
    Q_OBJECT

    FakeSerialPort *port = nullptr;
    Dialogs *dialogs = nullptr;
    RecordingHooks *hooks = nullptr;
    Link *link = nullptr;

    static QByteArray Hex(const char *hex) { return QByteArray::fromHex(hex); }

private slots:
    void init() {
        port = new FakeSerialPort;
        dialogs = new Dialogs;
        hooks = new RecordingHooks;
        link = new Link(port, dialogs, hooks);
        port->open(QStringLiteral("COM1"));
    }
    void cleanup() {
        delete link;
        delete hooks;
        delete dialogs;
        delete port;
    }

    void accessRequestWithOnlyReadOnlyTicked() {
        link->SendAccessBits(4);
        QCOMPARE(port->lastWritten(), Hex("41000445"));
        QCOMPARE(link->LastCommand, 'A');
        QCOMPARE(hooks->commErrorsShown, QList<int>{0});
    }

    void accessRequestWithAllBitsAndTheAccessBitsQuery() {
        link->SendAccessBits(28);
        QCOMPARE(port->lastWritten(), Hex("41001c5d"));
        QVERIFY(link->RequestAccessBits());
        QCOMPARE(port->lastWritten(), Hex("614142434"
                                          "46b"));
        QCOMPARE(link->LastCommand, 'a');
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
        QCOMPARE(link->LastCommand, 'P');
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
        QCOMPARE(link->LastCommand, 'v');
        link->RequestCalibrationReading(2);
        QCOMPARE(port->lastWritten(), QByteArray("D"));
        QCOMPARE(link->LastCommand, '2');
    }

    void liveRequestLetterFollowsTheFirmware() {
        link->RequestLiveData();
        QCOMPARE(port->lastWritten(), QByteArray("d"));
        QVERIFY(link->Timer1->isActive());
        QVERIFY(link->Timer2->isActive());
        hooks->version = QStringLiteral("1FA1AA1AA");
        link->RequestLiveData();
        QCOMPARE(port->lastWritten(), QByteArray("D"));
        QCOMPARE(link->LastCommand, 'D');
    }

    void offlineRequestsSendNothing() {
        hooks->online = false;
        link->RequestLiveData();
        link->RequestLock();
        link->ReadImage(0, 1089);
        link->RequestCalibrationReading(1);
        QVERIFY(port->written.isEmpty());
        QVERIFY(!link->Timer1->isActive());
    }

    void payloadBytesThatLookLikeLettersOrZeroAreSentUnchanged() {
        link->RequestPayload = Hex("00410000");
        link->WriteValue();
        QCOMPARE(port->lastWritten(), Hex("430041000084"));
        QCOMPARE(hooks->calls, (QStringList{"lockButtonUp", "notLocked"}));

        link->RequestPayload = Hex("000401905900");
        link->WriteBlock();
        QCOMPARE(port->lastWritten(), Hex("45000401905900") + char(0x45 + 0x04 + 0x01 + 0x90 + 0x59));
        QCOMPARE(link->LastCommand, 'E');

        link->RequestPayload = Hex("0000805A");
        link->WriteSingleValue();
        QCOMPARE(port->lastWritten(), Hex("430000805a1d"));
        QCOMPARE(link->LastCommand, 'c');
    }

    void imageReadAsksForStartAndCount() {
        link->ReadImage(0, 1089);
        QCOMPARE(port->lastWritten(), Hex("5a000004419f"));
        QCOMPARE(link->ReadCount, 1089);
    }

    void writesWhileOfflineLetTheTransferMoveOn() {
        hooks->online = false;
        link->RequestPayload = Hex("00010002");
        hooks->step = 3;
        link->WriteValue();
        QVERIFY(link->Timer2->isActive()); // the retry step takes over
        QVERIFY(!hooks->calls.contains("stepReady"));
        link->Timer2->stop();
        hooks->step = 200;
        link->WriteValue();
        link->WriteSingleValue();
        link->WriteBlock();
        QCOMPARE(hooks->calls, (QStringList{"stepReady", "stepReady", "stepReady"}));
        QVERIFY(port->written.isEmpty());
    }

    void blockWriteOnAClosedPortSkipsTheBlock() {
        port->close();
        link->RequestPayload = Hex("0002000000");
        link->WriteBlock();
        QCOMPARE(hooks->calls, QStringList{"stepReady"});
    }

    void sendingOnAClosedPortArmsNoTimeOut() {
        port->close();
        link->SendFrame("S");
        QVERIFY(port->written.isEmpty());
        QVERIFY(!link->Timer2->isActive());
    }

    void sendingClearsWhatArrivedBefore() {
        link->RxBuffer = "xyz";
        link->RxCount = 3;
        link->SendFrame("S");
        QVERIFY(link->RxBuffer.isEmpty());
        QCOMPARE(link->RxCount, 0);
    }

    void writeFailureStopsEverythingAndSaysSo() {
        port->failWrite = true;
        link->Timer3->start();
        link->Timer4->start();
        link->RequestLock();
        QVERIFY(link->RxIgnore);
        QVERIFY(!link->Timer2->isActive());
        QVERIFY(!link->Timer3->isActive());
        QVERIFY(!link->Timer4->isActive());
        QCOMPARE(dialogs->shown().size(), 1);
        QCOMPARE(dialogs->shown()[0].text, QStringLiteral("Communicatie Error"));
        QCOMPARE(dialogs->shown()[0].kind, DialogKind::Error);

        link->RequestLiveData();
        QVERIFY(!link->Timer1->isActive());
        QVERIFY(!link->Timer2->isActive());
        QCOMPARE(dialogs->shown().size(), 2);
    }

    void versionRequestOnAPortThatWillNotOpenGoesOffline() {
        port->close();
        port->refuseOpen = true;
        link->PortName = QStringLiteral("COM7");
        link->Timer3->start();
        link->RequestVersion();
        QCOMPARE(port->opened.last(), QStringLiteral("COM7"));
        QVERIFY(hooks->calls.contains("offline"));
        QVERIFY(!link->Timer3->isActive());
        QCOMPARE(dialogs->shown().size(), 1);
        QCOMPARE(dialogs->shown()[0].text,
                 QStringLiteral("COM port not available or USB kabel not connected !!!"));
    }

    void portOpensOnlyWhenClosed() {
        QVERIFY(link->OpenPortIfClosed());
        QCOMPARE(port->opened.size(), 1);
        port->close();
        link->PortName = QStringLiteral("/dev/ttyUSB0");
        link->SendAccessBits(0);
        QCOMPARE(port->opened.last(), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(port->written.size(), 1);
    }

    void timersHaveTheirNamesAndIntervals() {
        const QList<QTimer *> timers{link->Timer1, link->Timer2, link->Timer3, link->Timer4};
        const QList<int> normal{100, 300, 30, 60};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(timers[i]->objectName(), QStringLiteral("Timer%1").arg(i + 1));
            QCOMPARE(timers[i]->interval(), normal[i]);
            QVERIFY(!timers[i]->isActive());
        }
        QCOMPARE(link->findChild<QTimer *>(QStringLiteral("Timer4")), link->Timer4);
        link->SetSlowTiming();
        QCOMPARE(link->Timer1->interval(), 100);
        QCOMPARE(link->Timer2->interval(), 300);
        QCOMPARE(link->Timer3->interval(), 50);
        QCOMPARE(link->Timer4->interval(), 1000);
    }

    void delayedActionsZeroAndSixGoBackToSixtyMilliseconds() {
        link->SetSlowTiming();
        link->DelayedAction = 0;
        link->Timer4Timer();
        QCOMPARE(link->Timer4->interval(), 60);
        QCOMPARE(port->lastWritten(), QByteArray("V"));
        link->SetSlowTiming();
        link->DelayedAction = 7;
        link->Timer4Timer();
        QCOMPARE(link->Timer4->interval(), 1000);
        link->DelayedAction = 6;
        link->Timer4Timer();
        QCOMPARE(link->Timer4->interval(), 60);
    }

    void delayedActionsDispatch() {
        link->RxIgnore = true;
        link->DelayedAction = 9;
        link->Timer4->start();
        link->Timer4Timer();
        QVERIFY(!link->RxIgnore);
        QVERIFY(!link->Timer4->isActive());
        QVERIFY(link->Timer3->isActive());

        link->DelayedAction = 3;
        link->Timer4Timer();
        QCOMPARE(port->lastWritten(), QByteArray("d"));
        link->DelayedAction = 7;
        link->Timer4Timer();
        QCOMPARE(port->lastWritten(), QByteArray("L"));
        link->RequestPayload = QByteArray::fromHex("00050006");
        link->DelayedAction = 1;
        link->Timer4Timer();
        QCOMPARE(port->lastWritten(), QByteArray::fromHex("43000500064e"));
        hooks->calls.clear();
        for (int code : {2, 8, 16, 4}) {
            link->DelayedAction = code;
            link->Timer4Timer();
        }
        QCOMPARE(hooks->calls, (QStringList{"editJob", "tableWrite", "other:16", "other:4"}));
    }

    void enablingTheTimeOutKeepsItsRunningInterval() {
        link->RequestLock();
        QTest::qWait(150);
        link->RequestLock();
        QVERIFY(link->Timer2->remainingTime() < 200);
        link->Timer3->start();
        QTest::qWait(20);
        link->Timer3->stop();
        link->DelayedAction = 9;
        link->Timer4Timer();
        QVERIFY(link->Timer3->isActive());
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
        link->PortName = QStringLiteral("stale");
        link->ChoosePort(dir.path(), arguments);
        QCOMPARE(link->PortName, expected);
    }
};

QTEST_GUILESS_MAIN(RequestFramesTest)
#include "RequestFramesTest.moc"
