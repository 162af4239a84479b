// The simulated ECU answers the program's requests over a real pseudo-terminal.
#include "PtyClient.h"
#include "ecusim/EcuSimRunner.h"
#include "tests/support/Bytes.h"

#include <QSerialPort>
#include <QtTest>

namespace {

// Word w of a "Z" reply: high byte at 1 + 2w.
int ReplyWord(const QByteArray &reply, int w) {
    return (quint8(reply.at(1 + 2 * w)) << 8) | quint8(reply.at(2 + 2 * w));
}

} // namespace

class EcuSimProtocolTest : public QObject {
    Q_OBJECT

private:
    EcuSimRunner runner;
    std::unique_ptr<PtyClient> line;

    void startWith(const EcuSimConfig &config) {
        line.reset();
        const QString path = runner.start(config);
        QVERIFY2(!path.isEmpty(), qPrintable(runner.lastError()));
        line = std::make_unique<PtyClient>(path);
        QVERIFY(line->isOpen());
    }

private slots:
    void cleanup() {
        line.reset();
        runner.stop();
    }

    void versionAndSerialRepliesCarryTextAndChecksum() {
        startWith(EcuSimConfig());
        // 'V' + "3FA1AD1AA" sums to 0x279: checksum 0x79.
        QCOMPARE(line->ask("V"), QByteArray("V3FA1AD1AA") + char(0x79));
        QCOMPARE(line->ask("S"), QByteArray("S123456") + char(0x88));

        runner.setVersion(QStringLiteral("2FA1AB1AA"));
        runner.setSerial("000042");
        const QByteArray v = line->ask("V");
        QCOMPARE(v.left(10), QByteArray("V2FA1AB1AA"));
        QVERIFY(ChecksumOk(v));
        QCOMPARE(line->ask("S"), Framed("S000042"));
    }

    void serialPortClassTalksToTheLine() {
        startWith(EcuSimConfig());
        line.reset();
        QSerialPort port;
        port.setPortName(runner.slavePath());
        QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
        port.setBaudRate(9600);
        port.setDataBits(QSerialPort::Data8);
        port.setParity(QSerialPort::NoParity);
        port.setStopBits(QSerialPort::OneStop);
        port.setFlowControl(QSerialPort::NoFlowControl);
        port.write("S");
        QVERIFY(port.waitForBytesWritten(2000));
        QByteArray reply;
        while (reply.size() < 8 && port.waitForReadyRead(1000))
            reply += port.readAll();
        QCOMPARE(reply, QByteArray("S123456") + char(0x88));
    }

    void accessReadNeedsTheFixedPayload() {
        EcuSimConfig config;
        config.accessBits = 12;
        startWith(config);
        // "aABCD" sums to 0x16B.
        QCOMPARE(line->ask(Bytes({'a', 'A', 'B', 'C', 'D', 0x6B})), Bytes({'a', 0x00, 0x0C, 0x6D}));
        QCOMPARE(line->ask(Framed("aABCE")), QByteArray());
    }

    void wholeImageReadIsOneBlockWithChecksum() {
        startWith(EcuSimConfig());
        QVector<std::uint16_t> image(1089);
        for (int w = 0; w < 1089; ++w)
            image[w] = std::uint16_t(w * 37 + 5);
        runner.setImage(image);

        line->send(Bytes({'Z', 0x00, 0x00, 0x04, 0x41, 0x9F}));
        const QByteArray reply = line->read(2180);
        QCOMPARE(reply.size(), 2180);
        QCOMPARE(reply.at(0), 'Z');
        QVERIFY(ChecksumOk(reply));
        QCOMPARE(ReplyWord(reply, 0), 5);
        QCOMPARE(ReplyWord(reply, 1088), (1088 * 37 + 5) & 0xFFFF);
        QCOMPARE(line->readUntilQuiet(150), QByteArray()); // nothing after the block

        // A part of the image, and a part that reaches past its end.
        // Words 400 and 401: 14805 (0x39D5) and 14842 (0x39FA).
        const QByteArray part = line->ask(Framed(Bytes({'Z', 0x01, 0x90, 0x00, 0x02})));
        QCOMPARE(part, Framed(Bytes({'Z', 0x39, 0xD5, 0x39, 0xFA})));
        QCOMPARE(line->ask(Framed(Bytes({'Z', 0x04, 0x00, 0x00, 0x42}))), QByteArray());
        QCOMPARE(line->ask(Framed(Bytes({'Z', 0x00, 0x00, 0x00, 0x00}))), QByteArray());
    }

    void olderFirmwareHasTheShortImageAndNoLongFrame() {
        EcuSimConfig config;
        config.version = QStringLiteral("2FA1AD1AA");
        startWith(config);
        QCOMPARE(line->ask(Framed(Bytes({'Z', 0x00, 0x00, 0x01, 0xFF}))).size(), 1024);
        QCOMPARE(line->ask(Framed(Bytes({'Z', 0x00, 0x00, 0x02, 0x00}))), QByteArray());
        QCOMPARE(line->ask("d"), QByteArray());
        QCOMPARE(line->ask("D").size(), 32);
        // No access commands before 3FA1AC.
        QCOMPARE(line->ask(Framed("aABCD")), QByteArray());
    }

    void blockAndWordWritesAreAcknowledgedAndUnlock() {
        startWith(EcuSimConfig());
        QVERIFY(runner.isLocked());
        // 4 data bytes at word 512: 150 and 200 (RPM / 10).
        QCOMPARE(line->ask(Framed(Bytes({'E', 0x00, 0x04, 0x02, 0x00, 0x00, 0x96, 0x00, 0xC8}))),
                 QByteArray("Y"));
        QCOMPARE(runner.image().at(512), 150);
        QCOMPARE(runner.image().at(513), 200);
        QVERIFY(!runner.isLocked());

        QCOMPARE(line->ask("L"), QByteArray("L"));
        QVERIFY(runner.isLocked());

        // Sign-magnitude -5 into the water table, as a single word.
        QCOMPARE(line->ask(Bytes({'C', 0x01, 0x90, 0x80, 0x05, 0x59})), QByteArray("Y"));
        QCOMPARE(runner.image().at(400), 0x8005);
        QVERIFY(!runner.isLocked());
        QCOMPARE(line->ask("R"), QByteArray("R"));

        // Writes outside the image are ignored.
        QCOMPARE(line->ask(Framed(Bytes({'C', 0x04, 0x41, 0x00, 0x01}))), QByteArray());
        QCOMPARE(line->ask(Framed(Bytes({'E', 0x00, 0x04, 0x04, 0x40, 0, 1, 0, 2}))), QByteArray());
    }

    void liveTrimWriteStoresTheCellWithoutItsOffset() {
        startWith(EcuSimConfig());
        // 2.20 ms = 220, sent as 220 + 0x7FFF = 32987 (0x80DB) at row 1, column 6.
        QCOMPARE(line->ask(Framed(Bytes({'C', 0x00, 0x05, 0x80, 0xDB}))), QByteArray("Y"));
        QCOMPARE(runner.image().at(5), 220);
        // Outside the fuel map the same word is an ordinary negative value.
        QCOMPARE(line->ask(Framed(Bytes({'C', 0x01, 0x90, 0x80, 0xDB}))), QByteArray("Y"));
        QCOMPARE(runner.image().at(400), 0x80DB);
    }

    void malformedAndUnknownRequestsGetNoReply() {
        startWith(EcuSimConfig());
        QCOMPARE(line->ask(Bytes({'Z', 0x00, 0x00, 0x00, 0x02, 0x00})), QByteArray()); // bad checksum
        QCOMPARE(line->ask("V"), Framed("V3FA1AD1AA"));                                // line recovers
        QCOMPARE(line->ask("Q"), QByteArray());
        QCOMPARE(line->ask(QByteArray(1, '\0')), QByteArray());
        QCOMPARE(line->ask(Framed(Bytes({'E', 0x00, 0x03, 0x00, 0x00, 1, 2, 3}))),
                 QByteArray());                                                          // odd length
        QCOMPARE(line->ask(Framed(Bytes({'E', 0x04, 0x00, 0x00, 0x00}))), QByteArray()); // far too long
        QCOMPARE(line->ask("S"), Framed("S123456"));

        // A request cut short is dropped after a pause, so the next one is read from its first byte.
        line->send(Bytes({'C', 0x00}));
        QCOMPARE(line->readUntilQuiet(300), QByteArray());
        QCOMPARE(line->ask("V"), Framed("V3FA1AD1AA"));

        // Frames that arrive byte by byte are put together.
        const QByteArray frame = Framed(Bytes({'Z', 0x00, 0x00, 0x00, 0x01}));
        for (char c : frame)
            line->send(QByteArray(1, c));
        QCOMPARE(line->readUntilQuiet(), Framed(Bytes({'Z', 0x00, 0x00})));

        const QList<EcuRequest> log = runner.requestLog();
        QVERIFY(!log.isEmpty());
        QCOMPARE(log.first().letter, 'Z');
        QVERIFY(!log.first().valid);
        QCOMPARE(log.last().bytes, frame);
        QVERIFY(log.last().valid);
    }

    void readOnlyRefusesWritesButReads() {
        EcuSimConfig config;
        config.accessBits = 4;
        startWith(config);
        QCOMPARE(line->ask(Framed(Bytes({'C', 0x00, 0x00, 0x00, 0x07}))), QByteArray("N"));
        QCOMPARE(line->ask(Framed(Bytes({'E', 0x00, 0x02, 0x00, 0x00, 0x00, 0x07}))), QByteArray("N"));
        QCOMPARE(runner.image().at(0), 0);
        QVERIFY(runner.isLocked());
        QCOMPARE(line->ask(Framed(Bytes({'Z', 0x00, 0x00, 0x00, 0x01}))), Framed(Bytes({'Z', 0x00, 0x00})));
        QCOMPARE(line->ask("d").size(), 56);
    }

    void dashboardOnlyAndNoAccessRefuseMore() {
        EcuSimConfig config;
        config.accessBits = 12;
        startWith(config);
        QCOMPARE(line->ask(Framed(Bytes({'Z', 0x00, 0x00, 0x00, 0x01}))), QByteArray("N"));
        QCOMPARE(line->ask("d").size(), 56);

        runner.setAccessBits(16);
        QCOMPARE(line->ask("d"), QByteArray("N"));
        QCOMPARE(line->ask("D"), QByteArray("N"));
        QCOMPARE(line->ask(Framed(Bytes({'Z', 0x00, 0x00, 0x00, 0x01}))), QByteArray("N"));
        QCOMPARE(line->ask("V"), Framed("V3FA1AD1AA"));
        QCOMPARE(line->ask(Framed("aABCD")), Framed(Bytes({'a', 0x00, 0x10})));
    }

    void passwordGuardsAccessChangesAndNewPasswords() {
        EcuSimConfig config;
        config.password = "SECRET0000";
        startWith(config);
        // Nothing may change before the password is given.
        QCOMPARE(line->ask(Bytes({'A', 0x00, 0x04, 0x45})), Framed("ANO"));
        QCOMPARE(line->ask(Framed("PNEWPASS000")), Framed("PNO"));
        QCOMPARE(line->ask(Framed("p0000000000")), Framed("pNO"));

        QCOMPARE(line->ask(Framed("pSECRET0000")), Framed("pOK"));
        QCOMPARE(line->ask(Bytes({'A', 0x00, 0x04, 0x45})), Framed("AOK"));
        QCOMPARE(runner.accessBits(), 4);
        QCOMPARE(line->ask(Framed("aABCD")), Framed(Bytes({'a', 0x00, 0x04})));
        QCOMPARE(line->ask(Framed(Bytes({'A', 0x00, 0x05}))), Framed("ANO")); // not an access bit
        QCOMPARE(runner.accessBits(), 4);

        QCOMPARE(line->ask(Framed("PNEWPASS000")), Framed("POK"));
        QCOMPARE(runner.password(), QByteArray("NEWPASS000"));
        QCOMPARE(line->ask(Framed(QByteArray("P") + QByteArray(9, 'A') + char(0x01))), Framed("PNO"));

        // A wrong password, or a new connection, ends the permission.
        QCOMPARE(line->ask(Framed("pSECRET0000")), Framed("pNO"));
        QCOMPARE(line->ask(Framed(Bytes({'A', 0x00, 0x00}))), Framed("ANO"));
        QCOMPARE(line->ask(Framed("pNEWPASS000")), Framed("pOK"));
        line->ask("V");
        QCOMPARE(line->ask(Framed(Bytes({'A', 0x00, 0x00}))), Framed("ANO"));
        QCOMPARE(runner.accessBits(), 4);
    }

    void liveFramesHaveTheirLengthsAndChecksums() {
        startWith(EcuSimConfig());
        for (int i = 0; i < 20; ++i) {
            const QByteArray d = line->ask("d", 100);
            QCOMPARE(d.size(), 56);
            QCOMPARE(d.at(0), 'd');
            QVERIFY(ChecksumOk(d));
            const QByteArray s = line->ask("D", 100);
            QCOMPARE(s.size(), 32);
            QCOMPARE(s.at(0), 'D');
            QVERIFY(ChecksumOk(s));
        }
    }

    void frozenEngineGivesExactFrames() {
        startWith(EcuSimConfig());
        const EngineSample s{.rpm = 6000,
                             .injectionUs = 2500,
                             .load1Raw = 0x7B,
                             .load2Raw = 0x1C8,
                             .load1Column10 = 156,
                             .load2Column10 = 42,
                             .waterTempC = 70,
                             .airTempC = -5,
                             .batteryRaw = 18,
                             .potentiometer = -10,
                             .correction10 = -50,
                             .boostKpa = 180,
                             .correctionSensorRaw = 90,
                             .status = 0x8804,
                             .faults = 0x8100};
        runner.freezeEngine(s);

        QByteArray expectLong(56, '\0');
        const QList<QPair<int, int>> longBytes = {
            {0, 'd'},   {1, 0x02},  {2, 0x58}, {3, 0x09},  {4, 0xC4},  {8, 0x7B},  {10, 90},   {12, 15},
            {14, 18},   {17, 0x80}, {18, 10},  {21, 0x80}, {22, 50},   {23, 0x88}, {24, 0x04}, {27, 0x01},
            {28, 0xC8}, {36, 156},  {38, 42},  {44, 180},  {46, 0x81}, {47, 0x00}};
        for (const auto &[at, value] : longBytes)
            expectLong[at] = char(value);
        QCOMPARE(line->ask("d"), Framed(expectLong.left(55)));

        // Short frame: 6000 / 50 = 120; 2.5 ms x 2500 / 2.71 = 2306 (0x0902).
        QByteArray expectShort(32, '\0');
        const QList<QPair<int, int>> shortBytes = {
            {0, 'D'},   {2, 120}, {3, 0x09},  {4, 0x02}, {8, 0x7B},  {10, 90},   {12, 15},   {14, 18},
            {17, 0x80}, {18, 10}, {21, 0x80}, {22, 50},  {23, 0x88}, {24, 0x04}, {27, 0x01}, {28, 0xC8}};
        for (const auto &[at, value] : shortBytes)
            expectShort[at] = char(value);
        QCOMPARE(line->ask("D"), Framed(expectShort.left(31)));
        QCOMPARE(line->ask("d"), Framed(expectLong.left(55))); // still frozen

        runner.unfreezeEngine();
        QVERIFY(line->ask("d") != Framed(expectLong.left(55)));
    }

    void sameSeedGivesTheSameFrames() {
        EcuSimConfig config;
        config.seed = 77;
        QList<QByteArray> first;
        startWith(config);
        for (int i = 0; i < 30; ++i)
            first.append(line->ask("d", 80));
        startWith(config);
        for (int i = 0; i < 30; ++i)
            QCOMPARE(line->ask("d", 80), first.at(i));
        config.seed = 78;
        startWith(config);
        bool differs = false;
        for (int i = 0; i < 30; ++i)
            differs = differs || line->ask("d", 80) != first.at(i);
        QVERIFY(differs);
    }
};

QTEST_GUILESS_MAIN(EcuSimProtocolTest)
#include "EcuSimProtocolTest.moc"
