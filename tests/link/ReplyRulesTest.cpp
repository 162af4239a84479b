// Every reply rule: wait, accept or reject, and what each outcome does to counters and timers.
#include "LinkParts.h"
#include "tests/support/FakeSerialPort.h"
#include "tests/support/LinkTestAccess.h"

#include <QTest>
#include <QTimer>

#include <functional>

using Request = std::function<void(Link &)>;
Q_DECLARE_METATYPE(Request)

class ReplyRulesTest : public QObject, LinkParts<FakeSerialPort> {
    Q_OBJECT

    void expectRetryArmed() {
        QVERIFY(StateOf(link).RxIgnore);
        QVERIFY(!LinkTimer(link, 2)->isActive());
        QCOMPARE(StateOf(link).DelayedAction, 6);
        QVERIFY(LinkTimer(link, 4)->isActive());
    }

    // A 32-byte short live frame with `word` at bytes 7-8 and `word2` at bytes 27-28.
    static QByteArray ShortFrame(int word, int word2 = 0) {
        QByteArray body(31, 0);
        body[0] = 'D';
        body[7] = char(word >> 8);
        body[8] = char(word & 0xFF);
        body[27] = char(word2 >> 8);
        body[28] = char(word2 & 0xFF);
        return WithSum(body);
    }

private slots:
    void init() {
        makeLink();
        port->open(QStringLiteral("COM1"));
    }
    void cleanup() { deleteLink(); }

    void everyRule_data() {
        QTest::addColumn<Request>("request");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("firstCall");
        auto row = [](const char *name, Request r, QByteArray reply, QString call) {
            QTest::newRow(name) << r << reply << call;
        };
        row(
            "V", [](Link &l) { l.RequestVersion(); }, WithSum("V3FA1AD1AA"), "version:3FA1AD1AA");
        row(
            "S", [](Link &l) { l.RequestSerialNumber(); }, WithSum("S123456"), "serial:123456");
        row(
            "a", [](Link &l) { l.RequestAccessBits(); }, WithSum(QByteArray("a\x00\x0c", 3)),
            "accessBits:12");
        row(
            "A", [](Link &l) { l.SendAccessBits(4); }, WithSum("AOK"), "accessStored");
        row(
            "p", [](Link &l) { l.SendPassword("AB"); }, WithSum("pOK"), "passwordOk");
        row(
            "P", [](Link &l) { l.SendNewPassword("AB"); }, WithSum("POK"), "newPasswordOk");
        row(
            "d", [](Link &l) { l.RequestLiveData(); }, Reply('d', 56), "live:56");
        row(
            "C", [](Link &l) { l.WriteValue(StateOf(l).RequestPayload); }, "Y", "stepReady");
        row(
            "c", [](Link &l) { l.WriteSingleValue(); }, "Y", "stepReady");
        row(
            "E", [](Link &l) { l.WriteBlock(StateOf(l).RequestPayload); }, "Y", "stepReady");
        row(
            "Z", [](Link &l) { l.ReadImage(0, 3); }, WithSum(QByteArray::fromHex("5a000100028003")), "image");
        row(
            "L", [](Link &l) { l.RequestLock(); }, "L", "locked");
        row(
            "R", [](Link &l) { l.RequestRestart(); }, "R", "restart");
        row(
            "v", [](Link &l) { l.RequestVersionBeforeWrite(); }, WithSum("V1FA1AA1AA"),
            "versionBeforeWrite:1FA1AA1AA");
    }

    // All but the last byte waits with the time-out running; the whole reply is accepted and resets the
    // failure count; a wrong checksum or letter is rejected into the quiet period and retry.
    void everyRule() {
        QFETCH(Request, request);
        QFETCH(QByteArray, reply);
        QFETCH(QString, firstCall);
        StateOf(link).RequestPayload = QByteArray::fromHex("00020000000000");

        request(*link);
        hooks->calls.clear();
        StateOf(link).CommErrors = 4;
        if (reply.size() > 1) {
            port->feed(reply.left(reply.size() - 1));
            QCOMPARE(link->LastOutcome, Link::Outcome::Incomplete);
            QVERIFY(LinkTimer(link, 2)->isActive());
            QCOMPARE(StateOf(link).RxCount, reply.size() - 1);
        }
        port->feed(reply.right(1));
        QCOMPARE(link->LastOutcome, Link::Outcome::Accepted);
        QVERIFY(!hooks->calls.isEmpty());
        QCOMPARE(hooks->calls.first(), firstCall);
        QCOMPARE(StateOf(link).CommErrors, 0);
        QCOMPARE(StateOf(link).RxCount, 0);
        QVERIFY(StateOf(link).RxBuffer.isEmpty());
        QVERIFY(dialogs->shown().isEmpty());

        // The same request again, answered wrongly.
        request(*link);
        QByteArray bad = reply;
        if (reply.size() > 1)
            bad[bad.size() - 1] = char(bad.back() + 1);
        else
            bad = reply == "Y" ? "L" : "Y";
        port->feed(bad);
        QCOMPARE(link->LastOutcome, Link::Outcome::Rejected);
        expectRetryArmed();
        QVERIFY(dialogs->shown().isEmpty());
    }

    void versionReplyAsksForTheSerialNumberNext() {
        link->RequestVersion();
        port->feed(WithSum("V3FA1AD1AA"));
        QCOMPARE(port->lastWritten(), QByteArray("S"));
        QCOMPARE(StateOf(link).LastCommand, 'S');
        QVERIFY(LinkTimer(link, 2)->isActive());
    }

    void replyArrivingInPiecesIsJudgedOnceComplete() {
        link->RequestLiveData();
        const QByteArray frame = Reply('d', 56, 0x07);
        for (int i = 0; i < 56; i += 5)
            port->feed(frame.mid(i, 5));
        QCOMPARE(hooks->calls, QStringList{"live:56"});
        QCOMPARE(hooks->liveFrame, frame);
        QVERIFY(LinkTimer(link, 1)->isActive());
        QVERIFY(!LinkTimer(link, 2)->isActive());
    }

    void oneByteTooLongInOneEventFailsItsChecksum() {
        link->RequestVersion();
        QByteArray reply = WithSum("V3FA1AD1AA");
        reply.insert(5, 'X');
        port->feed(reply);
        QCOMPARE(link->LastOutcome, Link::Outcome::Rejected);
        QVERIFY(!hooks->calls.contains("version:3FA1AD1AA"));
    }

    void strayByteAfterAnAcceptedFrameIsDiscarded() {
        hooks->version = QStringLiteral("1FA1AA1AA");
        link->RequestLiveData();
        port->feed(Reply('D', 32));
        QCOMPARE(link->LastOutcome, Link::Outcome::Accepted);
        port->feed(QByteArray(1, '\x0b'));
        QCOMPARE(link->LastOutcome, Link::Outcome::Discarded);
        QVERIFY(StateOf(link).RxBuffer.isEmpty());
        expectRetryArmed();
    }

    void strayReplyLetterAfterAnAcceptedFrameWaits() {
        hooks->version = QStringLiteral("1FA1AA1AA");
        link->RequestLiveData();
        port->feed(Reply('D', 32));
        port->feed("D");
        QCOMPARE(link->LastOutcome, Link::Outcome::Incomplete);
        QCOMPARE(hooks->calls, QStringList{"live:32"});
    }

    void strayByteInTheSameEventSpoilsTheFrame() {
        hooks->version = QStringLiteral("1FA1AA1AA");
        link->RequestLiveData();
        port->feed(Reply('D', 32) + 'x');
        QCOMPARE(link->LastOutcome, Link::Outcome::Rejected);
        QVERIFY(hooks->calls.isEmpty());
    }

    void firstByteThatNoReplyStartsWithIsDiscardedAtOnce() {
        for (const char first : {'\x0b', 'F', '\0', 'y'}) {
            link->RequestVersion();
            StateOf(link).RxIgnore = false;
            port->feed(QByteArray(1, first) + "3FA");
            QCOMPARE(link->LastOutcome, Link::Outcome::Discarded);
            QVERIFY(StateOf(link).RxBuffer.isEmpty());
            QCOMPARE(StateOf(link).RxCount, 0);
            expectRetryArmed();
        }
    }

    void otherAcknowledgementThanYIsRejected() {
        StateOf(link).RequestPayload = QByteArray::fromHex("00010002");
        link->WriteValue(StateOf(link).RequestPayload);
        port->feed("N");
        expectRetryArmed();
        QVERIFY(!hooks->calls.contains("stepReady"));
    }

    void singleValueAcknowledgementResumesPolling() {
        StateOf(link).RequestPayload = QByteArray::fromHex("00010002");
        link->WriteSingleValue();
        port->feed("Y");
        QCOMPARE(StateOf(link).DelayedAction, 3);
        QVERIFY(LinkTimer(link, 4)->isActive());
    }

    void ignoredReceptionReadsNothing() {
        link->RequestVersion();
        StateOf(link).RxIgnore = true;
        port->feed(WithSum("V3FA1AD1AA"));
        QCOMPARE(link->LastOutcome, Link::Outcome::Ignored);
        QCOMPARE(port->pending.size(), 11);
        QVERIFY(StateOf(link).RxBuffer.isEmpty());
    }

    void readFailureAsksAndRetries() {
        link->RequestVersion();
        port->failRead = true;
        port->feed("V");
        QCOMPARE(link->LastOutcome, Link::Outcome::ReadFailed);
        expectRetryArmed();
        QCOMPARE(dialogs->shown().size(), 1);
        QCOMPARE(dialogs->shown()[0].text, QStringLiteral("Comm Error test"));
        QCOMPARE(dialogs->shown()[0].buttons, (QList<DialogButton>{DialogButton::Yes, DialogButton::No}));
    }

    void bytesWithNoRequestOutstandingAreDropped() {
        port->feed(WithSum("V3FA1AD1AA"));
        QCOMPARE(link->LastOutcome, Link::Outcome::Discarded);
        QVERIFY(!LinkTimer(link, 4)->isActive());
        QVERIFY(hooks->calls.isEmpty());
    }

    void accessAnswers() {
        LinkTimer(link, 1)->start();
        link->SendAccessBits(8);
        StateOf(link).RxIgnore = true; // the settings dialog stopped the link; "OK" re-enables reception
        StateOf(link).RxIgnore = false;
        port->feed(WithSum("ANO"));
        QCOMPARE(hooks->calls, QStringList{"accessRefused"});
        QVERIFY(!LinkTimer(link, 1)->isActive());
        QCOMPARE(dialogs->shown().last().text, QStringLiteral("Changing Settings is not possible !!!"));
        QCOMPARE(dialogs->shown().last().kind, DialogKind::Warning);

        link->SendAccessBits(8);
        port->feed(WithSum("AXX"));
        expectRetryArmed();

        StateOf(link).RxIgnore = false;
        link->SendAccessBits(8);
        port->feed(WithSum("AOK"));
        QVERIFY(!StateOf(link).RxIgnore);
        QCOMPARE(hooks->calls.last(), QStringLiteral("accessStored"));
    }

    void passwordAnswers() {
        LinkTimer(link, 1)->start();
        link->SendPassword("AB");
        port->feed(WithSum("pNO"));
        QVERIFY(!LinkTimer(link, 1)->isActive());
        QCOMPARE(dialogs->shown().last().text,
                 QStringLiteral("Password is not correct !!!\r\r\nPlease try again"));
        QCOMPARE(hooks->calls.last(), QStringLiteral("passwordNo"));

        link->SendNewPassword("AB");
        port->feed(WithSum("PNO"));
        QCOMPARE(dialogs->shown().last().text,
                 QStringLiteral("Password is transmitted not correctly !!!\r\r\nPlease try again"));
        QCOMPARE(hooks->calls.last(), QStringLiteral("newPasswordNo"));

        link->SendPassword("AB");
        port->feed(WithSum("pok"));
        expectRetryArmed();
        QCOMPARE(dialogs->shown().size(), 2);
    }

    void lockReplyShowsLockedAndResumesPolling() {
        link->RequestLock();
        port->feed("L");
        QCOMPARE(hooks->calls, (QStringList{"locked", "onLocked"}));
        QVERIFY(LinkTimer(link, 1)->isActive());
    }

    void restartReplyRestartsPolling() {
        link->RequestRestart();
        port->feed("R");
        QCOMPARE(hooks->calls, QStringList{"restart"});
        QCOMPARE(port->lastWritten(), QByteArray("d"));
    }

    void accessBitsAreAnUnsignedWord() {
        link->RequestAccessBits();
        port->feed(WithSum(QByteArray::fromHex("618010")));
        QCOMPARE(hooks->calls, QStringList{"accessBits:32784"});
    }

    void imageReplyNeedsItsExactLength() {
        link->ReadImage(0, 3);
        const QByteArray reply = WithSum(QByteArray::fromHex("5a000100028003"));
        port->feed(reply.left(3));
        QTest::qWait(200);
        port->feed(reply.mid(3, 2));
        // Every piece restarts the time-out: it measures silence.
        QVERIFY(LinkTimer(link, 2)->remainingTime() > 250);
        QCOMPARE(hooks->progress, (QList<int>{3, 5}));
        port->feed(reply.mid(5));
        QCOMPARE(hooks->calls, QStringList{"image"});
        QCOMPARE(hooks->imageWords, (QVector<std::uint16_t>{1, 2, 0x8003}));
        QVERIFY(!LinkTimer(link, 2)->isActive());
        QCOMPARE(hooks->progress.last(), 8);
    }

    void imageReplyWithExtraBytesNeverMatches() {
        link->ReadImage(0, 3);
        port->feed(WithSum(QByteArray::fromHex("5a000100028003")) + 'Z');
        QCOMPARE(link->LastOutcome, Link::Outcome::Incomplete);
        QVERIFY(LinkTimer(link, 2)->isActive());
        QVERIFY(hooks->calls.isEmpty());
    }

    void imageReplyWithBadChecksumIsAskedForAgain() {
        link->ReadImage(7, 2);
        port->feed(QByteArray::fromHex("5a0001000200"));
        expectRetryArmed();
        link->Timer4Timer();
        QCOMPARE(port->lastWritten(), QByteArray::fromHex("5a0007000263"));
    }

    void calibrationReplyMustStartWithD() {
        link->RequestCalibrationReading(1);
        port->feed("d");
        QCOMPARE(link->LastOutcome, Link::Outcome::Rejected);
        expectRetryArmed();
    }

    void calibrationReadsTheChosenSensor() {
        hooks->sensor = 2;
        StateOf(link).RxIgnore = true;
        link->RequestCalibrationReading(1);
        QVERIFY(!StateOf(link).RxIgnore);
        port->feed(ShortFrame(0x1111, 20));
        QCOMPARE(StateOf(link).CalMin, 20);
        QVERIFY(StateOf(link).RxIgnore); // the link stops after each reading
        link->RequestCalibrationReading(2);
        port->feed(ShortFrame(0x1111, 0x00c8));
        QCOMPARE(StateOf(link).CalMax, 200);
        QCOMPARE(hooks->calls, (QStringList{"calibrated:2:20:200", "hidePrompt"}));
    }

    void calibrationRange_data() {
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<QString>("warning");
        const QString reversed = "The wiring from the Engine load 1 sensor is reversed !!\r\r\nCheck the "
                                 "wiring and try Automatic cal. again";
        const QString notConnected =
            "The Engine load 1 sensor is not connected !!\r\r\nCheck the wiring and try Automatic cal. again";
        const QString tooSmall =
            "Range between minimal and maximal value is to small !!\r\r\nCheck the Engine load 1 "
            "sensor and try Automatic cal. again";
        QTest::newRow("20 to 200") << 20 << 200 << QString();
        QTest::newRow("d = 100") << 20 << 120 << reversed;
        QTest::newRow("d = 101") << 20 << 121 << QString();
        QTest::newRow("d = 3") << 100 << 103 << notConnected;
        QTest::newRow("d = -4") << 104 << 100 << notConnected;
        QTest::newRow("d = 5") << 100 << 105 << reversed;
        QTest::newRow("d = 50") << 100 << 150 << tooSmall;
        QTest::newRow("d = -5") << 105 << 100 << reversed;
        QTest::newRow("200 to 20") << 200 << 20 << reversed;
        QTest::newRow("wide word") << 0 << 0xFFFF << QString();
    }

    void calibrationRange() {
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(QString, warning);
        link->RequestCalibrationReading(1);
        port->feed(ShortFrame(minimum));
        link->RequestCalibrationReading(2);
        port->feed(ShortFrame(maximum));
        QCOMPARE(hooks->calls.last(), QStringLiteral("hidePrompt"));
        if (warning.isEmpty()) {
            QVERIFY(dialogs->shown().isEmpty());
            QCOMPARE(hooks->calls.first(), QStringLiteral("calibrated:1:%1:%2").arg(minimum).arg(maximum));
        } else {
            QCOMPARE(dialogs->shown().size(), 1);
            QCOMPARE(dialogs->shown()[0].text, warning);
            QCOMPARE(dialogs->shown()[0].kind, DialogKind::Warning);
            QCOMPARE(hooks->calls.size(), 1);
        }
    }

    void secondSensorMessagesNameIt() {
        hooks->sensor = 2;
        link->RequestCalibrationReading(1);
        port->feed(ShortFrame(0, 100));
        link->RequestCalibrationReading(2);
        port->feed(ShortFrame(0, 150));
        QCOMPARE(dialogs->shown()[0].text,
                 QStringLiteral("Range between minimal and maximal value is to small "
                                "!!\r\r\nCheck the Engine load 2 sensor and try Automatic "
                                "cal. again"));
    }

    void failuresCountUpAndTheSixthGoesOfflineQuietly() {
        link->RequestVersion();
        for (int i = 1; i <= 5; ++i) {
            link->RetryStep();
            QCOMPARE(StateOf(link).CommErrors, i);
            QCOMPARE(port->lastWritten(), QByteArray("V"));
        }
        QCOMPARE(port->written.size(), 6);
        link->RetryStep();
        QCOMPARE(hooks->commErrorsShown, (QList<int>{1, 2, 3, 4, 5, 6}));
        QCOMPARE(StateOf(link).CommErrors, 0);
        QVERIFY(hooks->calls.contains("offline"));
        QVERIFY(!port->isOpen());
        QCOMPARE(port->written.size(), 6);
        QVERIFY(StateOf(link).RxIgnore);
        QVERIFY(!LinkTimer(link, 2)->isActive());
        QVERIFY(dialogs->shown().isEmpty());
        // Nothing happens on a closed port.
        link->RetryStep();
        QCOMPARE(StateOf(link).CommErrors, 0);
    }

    void fiveFailuresThenAGoodReplyStayOnline() {
        link->RequestVersion();
        for (int i = 0; i < 5; ++i)
            link->RetryStep();
        port->feed(WithSum("V3FA1AD1AA"));
        QCOMPARE(StateOf(link).CommErrors, 0);
        QVERIFY(!hooks->calls.contains("offline"));
        QVERIFY(port->isOpen());
    }

    void givingUpOnTheLockShowsNotLocked() {
        link->RequestLock();
        StateOf(link).CommErrors = 5;
        link->RetryStep();
        QCOMPARE(hooks->calls, (QStringList{"offline", "lockButtonUp", "notLocked"}));
    }

    void retryWithNoKnownRequestSaysSo() {
        StateOf(link).LastCommand = 'Q';
        link->RetryStep();
        QCOMPARE(dialogs->shown().size(), 1);
        QCOMPARE(dialogs->shown()[0].text, QStringLiteral("Comm Error test2"));
    }

    void resendTable_data() {
        QTest::addColumn<Request>("request");
        QTest::addColumn<QByteArray>("resent");
        auto row = [](const char *name, Request r, const char *hex) {
            QTest::newRow(name) << r << QByteArray::fromHex(hex);
        };
        row(
            "1", [](Link &l) { l.RequestCalibrationReading(1); }, "44");
        row(
            "2", [](Link &l) { l.RequestCalibrationReading(2); }, "44");
        row(
            "a", [](Link &l) { l.RequestAccessBits(); }, "61414243446b");
        row(
            "A", [](Link &l) { l.SendAccessBits(0); }, "41001c5d"); // rebuilt from the boxes: 28
        row(
            "C", [](Link &l) { l.WriteValue(StateOf(l).RequestPayload); }, "430001000246");
        row(
            "D", [](Link &l) { l.RequestLiveData(); }, "64");
        row(
            "E", [](Link &l) { l.WriteBlock(StateOf(l).RequestPayload); }, "430001000246");
        row(
            "L", [](Link &l) { l.RequestLock(); }, "4c");
        row(
            "p", [](Link &l) { l.SendPassword("X"); }, "704b4c303030303030303087");
        row(
            "P", [](Link &l) { l.SendNewPassword("X"); }, "504b4c303030303030303067");
        row(
            "R", [](Link &l) { l.RequestRestart(); }, "52");
        row(
            "S", [](Link &l) { l.RequestSerialNumber(); }, "53");
        row(
            "V", [](Link &l) { l.RequestVersion(); }, "56");
        row(
            "Z", [](Link &l) { l.ReadImage(0x10, 0x20); }, "5a001000208a");
        row(
            "v", [](Link &l) { l.RequestVersionBeforeWrite(); }, "56");
    }

    void resendTable() {
        QFETCH(Request, request);
        QFETCH(QByteArray, resent);
        hooks->bits = 28;
        hooks->password = QStringLiteral("KL");
        StateOf(link).RequestPayload = QByteArray::fromHex("00010002");
        const char tag = QTest::currentDataTag()[0];
        if (tag == 'E')
            StateOf(link).RequestPayload = QByteArray::fromHex("0002000100ff");
        request(*link);
        if (tag == 'E')
            resent = QByteArray::fromHex("450002000100ff47");
        const char command = StateOf(link).LastCommand;
        link->RetryStep();
        QCOMPARE(port->lastWritten(), resent);
        QCOMPARE(StateOf(link).LastCommand, command);
        QCOMPARE(port->purges, 1);
    }

    void resendOfASingleValueWaitsForTheDelayedAction() {
        StateOf(link).RequestPayload = QByteArray::fromHex("00010002");
        link->steps().TransferStep = 1;
        link->WriteSingleValue();
        link->RetryStep();
        QCOMPARE(port->written.size(), 1);
        QCOMPARE(StateOf(link).DelayedAction, 1);
        QVERIFY(LinkTimer(link, 4)->isActive());
        QVERIFY(LinkTimer(link, 3)->isActive());
        link->Timer4Timer();
        QCOMPARE(port->written.size(), 2);
        QCOMPARE(port->lastWritten(), QByteArray::fromHex("430001000246"));
    }

    void resendOfAWriteDuringATransferRearmsTheScheduler() {
        StateOf(link).RequestPayload = QByteArray::fromHex("00010002");
        link->WriteValue(StateOf(link).RequestPayload);
        link->RetryStep();
        QVERIFY(!LinkTimer(link, 3)->isActive());
        link->steps().TransferStep = 2;
        link->RetryStep();
        QVERIFY(LinkTimer(link, 3)->isActive());
    }

    void timeOutHandlerLetsAPendingReplyWinFirst() {
        link->RequestVersion();
        // A reply already queued is handled before the time-out's own work, which then has nothing to do.
        QMetaObject::invokeMethod(
            port, [this] { port->feed(WithSum("V3FA1AD1AA")); }, Qt::QueuedConnection);
        link->Timer2Timer();
        QCOMPARE(StateOf(link).CommErrors, 0);
        QVERIFY(hooks->calls.contains("version:3FA1AD1AA"));
        QCOMPARE(port->written, (QList<QByteArray>{"V", "S"}));
    }

    void pollHandlerSendsNothingOnceStopped() {
        link->RequestLiveData();
        QMetaObject::invokeMethod(
            link, [this] { link->StopLink(); }, Qt::QueuedConnection);
        link->Timer1Timer();
        QCOMPARE(port->written.size(), 1);
        StateOf(link).RxIgnore = false;
        LinkTimer(link, 1)->start();
        link->Timer1Timer();
        QCOMPARE(port->written.size(), 2);
    }
};

QTEST_GUILESS_MAIN(ReplyRulesTest)
#include "ReplyRulesTest.moc"
