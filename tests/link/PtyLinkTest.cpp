// The link with the real QSerialPort adapter on a pseudo-terminal; the test plays the ECU.
#include "LinkParts.h"
#include "PtyPeer.h"
#include "link/QtSerialPortAdapter.h"
#include "tests/support/LinkTestAccess.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using Request = std::function<void(Link &)>;
Q_DECLARE_METATYPE(Request)

class PtyLinkTest : public QObject, LinkParts<QtSerialPortAdapter> {
    Q_OBJECT

    PtyPeer *peer = nullptr;

private slots:
    void init() {
        peer = new PtyPeer;
        QVERIFY(peer->isValid());
        makeLink();
        StateOf(link).PortName = peer->slavePath();
    }
    void cleanup() {
        deleteLink();
        delete peer;
    }

    void adapterOpensThePseudoTerminal() {
        QVERIFY(port->open(peer->slavePath()));
        QVERIFY(port->isOpen());
        QVERIFY(port->write("hello"));
        QCOMPARE(peer->receive(5), QByteArray("hello"));
        port->close();
        QVERIFY(!port->isOpen());
        QVERIFY(!port->open(QStringLiteral("/dev/no-such-port-here")));
    }

    void aReadThatFindsNothingIsNoLostLine() {
        QVERIFY(port->open(peer->slavePath()));
        QSignalSpy lost(port, &SerialPort::lineLost);
        peer->send("d");
        QTest::qSleep(20);
        // Purged after the port was told of the byte and before it reads it: the read finds nothing.
        QMetaObject::invokeMethod(
            this, [this] { peer->flushProgramInput(); }, Qt::QueuedConnection);
        QTest::qWait(50);
        QVERIFY(port->isOpen());
        QCOMPARE(lost.count(), 0);
    }

    void replyInPiecesIsCollected() {
        link->RequestVersion();
        QCOMPARE(peer->receive(1), QByteArray("V"));
        const QByteArray reply = WithSum("V3FA1AD1AA");
        peer->send(reply.left(2));
        QTest::qWait(40);
        peer->send(reply.mid(2, 6));
        QTest::qWait(40);
        QVERIFY(hooks->calls.isEmpty());
        peer->send(reply.mid(8));
        QTRY_COMPARE(hooks->calls, QStringList{"version:3FA1AD1AA"});
        QCOMPARE(peer->receive(1), QByteArray("S"));
        QCOMPARE(StateOf(link).CommErrors, 0);
    }

    void strayByteAfterALiveFrameLeadsToARetry() {
        hooks->version = QStringLiteral("1FA1AA1AA");
        link->OpenPortIfClosed();
        link->RequestLiveData();
        QCOMPARE(peer->receive(1), QByteArray("D"));
        peer->send(Reply('D', 32));
        QTRY_COMPARE(hooks->calls, QStringList{"live:32"});
        peer->send(QByteArray(1, '\x0b'));
        QTRY_COMPARE(link->LastOutcome, Link::Outcome::Discarded);
        QVERIFY(!LinkTimer(link, 1)->isActive());
        peer->forget();
        // After the quiet period the retry step asks again.
        QCOMPARE(peer->receive(1, 500), QByteArray("D"));
        QCOMPARE(StateOf(link).CommErrors, 1);
        QCOMPARE(hooks->commErrorsShown.contains(1), true);
    }

    void replyOneByteTooLongIsRetried() {
        link->RequestVersion();
        QCOMPARE(peer->receive(1), QByteArray("V"));
        peer->send(WithSum("V3FA1AD1AA") + char(0x00));
        QCOMPARE(peer->receive(1, 500), QByteArray("V"));
        QCOMPARE(StateOf(link).CommErrors, 1);
        QVERIFY(hooks->calls.isEmpty());
    }

    void fiveTimeOutsThenAGoodReplyStayOnline() {
        link->RequestVersion();
        for (int i = 0; i < 6; ++i)
            QCOMPARE(peer->receive(1, 600), QByteArray("V"));
        QCOMPARE(StateOf(link).CommErrors, 5);
        peer->send(WithSum("V1FA1AA1AA"));
        QTRY_COMPARE(hooks->calls, QStringList{"version:1FA1AA1AA"});
        QCOMPARE(StateOf(link).CommErrors, 0);
        QCOMPARE(hooks->commErrorsShown, (QList<int>{1, 2, 3, 4, 5}));
        QVERIFY(port->isOpen());
        QVERIFY(hooks->online);
        QCOMPARE(peer->receive(1), QByteArray("S"));
        QVERIFY(dialogs->shown().isEmpty());
    }

    void sixthFailureGoesOfflineAndClosesThePort() {
        link->RequestVersion();
        for (int i = 0; i < 6; ++i)
            QCOMPARE(peer->receive(1, 600), QByteArray("V"));
        QTRY_VERIFY_WITH_TIMEOUT(!hooks->online, 1000);
        QVERIFY(!port->isOpen());
        QCOMPARE(StateOf(link).CommErrors, 0);
        QVERIFY(dialogs->shown().isEmpty());
        QVERIFY(!LinkTimer(link, 2)->isActive());
        QCOMPARE(peer->receiveFor(500), QByteArray());

        // The next conversation opens the line again.
        hooks->online = true;
        StateOf(link).DelayedAction = 0;
        LinkTimer(link, 4)->start();
        QCOMPARE(peer->receive(1, 500), QByteArray("V"));
        QVERIFY(port->isOpen());
    }

    void imageReadMeasuresSilenceNotDuration() {
        link->OpenPortIfClosed();
        link->ReadImage(0, 50);
        QCOMPARE(peer->receive(6), QByteArray::fromHex("5a000000328c"));
        QByteArray reply("Z");
        for (int w = 0; w < 50; ++w)
            reply += QByteArray::fromHex("0102");
        reply = WithSum(reply);
        for (int i = 0; i < reply.size(); i += 20) {
            peer->send(reply.mid(i, 20));
            QTest::qWait(120);
        }
        QTRY_COMPARE(hooks->calls, QStringList{"image"});
        QCOMPARE(hooks->imageWords.size(), 50);
        QCOMPARE(hooks->imageWords[49], std::uint16_t(0x0102));
        QCOMPARE(StateOf(link).CommErrors, 0);
        QCOMPARE(peer->receiveFor(400), QByteArray());
    }

    void resendOverTheLine_data() {
        QTest::addColumn<Request>("request");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("resent");
        auto row = [](const char *name, Request r, const char *first, const char *again) {
            QTest::newRow(name) << r << QByteArray::fromHex(first) << QByteArray::fromHex(again);
        };
        row(
            "V", [](Link &l) { l.RequestVersion(); }, "56", "56");
        row(
            "v", [](Link &l) { l.RequestVersionBeforeWrite(); }, "56", "56");
        row(
            "S", [](Link &l) { l.RequestSerialNumber(); }, "53", "53");
        row(
            "a", [](Link &l) { l.RequestAccessBits(); }, "61414243446b", "61414243446b");
        row(
            "A from the boxes now", [](Link &l) { l.SendAccessBits(4); }, "41000445", "41000849");
        row(
            "p from the field now", [](Link &l) { l.SendPassword("AB"); },
            "7041423030303030303030"
            "73",
            "704b4c3030303030303030"
            "87");
        row(
            "P from the field now", [](Link &l) { l.SendNewPassword("AB"); },
            "5041423030303030303030"
            "53",
            "504b4c3030303030303030"
            "67");
        row(
            "1", [](Link &l) { l.RequestCalibrationReading(1); }, "44", "44");
        row(
            "2", [](Link &l) { l.RequestCalibrationReading(2); }, "44", "44");
        row(
            "C", [](Link &l) { l.WriteValue(StateOf(l).RequestPayload); }, "430001000246", "430001000246");
        row(
            "c", [](Link &l) { l.WriteSingleValue(); }, "430001000246", "430001000246");
        row(
            "E", [](Link &l) { l.WriteBlock(StateOf(l).RequestPayload); }, "450001000248", "450001000248");
        row(
            "Z", [](Link &l) { l.ReadImage(0, 511); }, "5a000001ff5a", "5a000001ff5a");
        row(
            "L", [](Link &l) { l.RequestLock(); }, "4c", "4c");
        row(
            "R", [](Link &l) { l.RequestRestart(); }, "52", "52");
        row(
            "d", [](Link &l) { l.RequestLiveData(); }, "64", "64");
    }

    // No answer: 300 ms later the same request goes out again, rebuilt where the documents say so.
    void resendOverTheLine() {
        QFETCH(Request, request);
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, resent);
        QVERIFY(link->OpenPortIfClosed());
        StateOf(link).RequestPayload = QByteArray::fromHex("00010002");
        request(*link);
        QCOMPARE(peer->receive(frame.size()), frame);
        hooks->bits = 8;
        hooks->password = QStringLiteral("KL");
        // Live polling sends on its own as well; what counts is the failure count and the last frame.
        const QByteArray later = peer->receiveFor(450);
        QVERIFY2(later.endsWith(resent), later.toHex().constData());
        QCOMPARE(StateOf(link).CommErrors, 1);
        QVERIFY(dialogs->shown().isEmpty());
    }

    void portFromComIni() {
        QTemporaryDir dir;
        const QByteArray name = peer->slavePath().toLatin1();
        QVERIFY(name.size() <= 20);
        QFile ini(dir.filePath(QStringLiteral("com.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(char(name.size()) + name + QByteArray(20 - name.size(), '\0'));
        ini.close();
        link->ChoosePort(dir.path(), {QStringLiteral("-3")});
        link->RequestVersion();
        QCOMPARE(peer->receive(1), QByteArray("V"));
        QVERIFY(dialogs->shown().isEmpty());
    }

    void portFromTheCommandLineThatDoesNotExist() {
        QTemporaryDir dir;
        link->ChoosePort(dir.path(), {QStringLiteral("-O"), QStringLiteral("-4")});
        QCOMPARE(StateOf(link).PortName, QStringLiteral("COM4"));
        link->RequestVersion();
        QVERIFY(!port->isOpen());
        QVERIFY(!hooks->online);
        QCOMPARE(dialogs->shown().size(), 1);
        QCOMPARE(dialogs->shown()[0].text,
                 QStringLiteral("COM port not available or USB kabel not connected !!!"));
        QCOMPARE(peer->receiveFor(100), QByteArray());
    }
};

QTEST_GUILESS_MAIN(PtyLinkTest)
#include "PtyLinkTest.moc"
