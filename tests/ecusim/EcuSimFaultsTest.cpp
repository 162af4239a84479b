// Faults the simulated ECU produces on demand, and its 9600-baud pacing, seen from the line.
#include "PtyClient.h"
#include "ecusim/EcuSimRunner.h"

#include <QtTest>

class EcuSimFaultsTest : public QObject {
    Q_OBJECT

private:
    EcuSimRunner runner;
    std::unique_ptr<PtyClient> line;
    const QByteArray versionReply = QByteArray("V3FA1AD1AA") + char(0x79);

    void start(const EcuSimConfig &config = EcuSimConfig()) {
        line.reset();
        const QString path = runner.start(config);
        QVERIFY2(!path.isEmpty(), qPrintable(runner.lastError()));
        line = std::make_unique<PtyClient>(path);
        QVERIFY(line->isOpen());
    }

    // Starts it with these faults planned.
    void startWith(const EcuFaultPlan &plan) {
        start();
        runner.setFaultPlan(plan);
    }

    static QByteArray ReadCommand(int words) {
        return Framed(QByteArray("Z") + char(0) + char(0) + char(words >> 8) + char(words & 0xFF));
    }

private slots:
    void cleanup() {
        line.reset();
        runner.stop();
    }

    void lostRequestsAreNeitherAnsweredNorCarriedOut() {
        EcuFaultPlan plan{.silentRequests = 2};
        startWith(plan);
        QCOMPARE(line->ask("V"), QByteArray());
        const QByteArray write = Framed(QByteArray("C") + char(0) + char(3) + char(0) + char(9));
        QCOMPARE(line->ask(write), QByteArray());
        QCOMPARE(runner.image().at(3), 0);
        QVERIFY(runner.isLocked());
        QCOMPARE(line->ask(write), QByteArray("Y"));
        QCOMPARE(runner.image().at(3), 9);
        QCOMPARE(runner.requestLetters(), QByteArray("VCC"));
    }

    void badStoreAcknowledgesAWriteButKeepsOneWordWrong() {
        EcuFaultPlan plan{.badStores = 1, .badStoreAddress = 5};
        startWith(plan);
        const QByteArray elsewhere = Framed(QByteArray("C") + char(0) + char(3) + char(0) + char(8));
        const QByteArray block = Framed(QByteArray("E") + char(0) + char(4) + char(0) + char(4) + char(0) +
                                        char(6) + char(0) + char(8));
        QCOMPARE(line->ask(elsewhere), QByteArray("Y"));
        QCOMPARE(line->ask(block), QByteArray("Y"));
        QCOMPARE(line->ask(block), QByteArray("Y"));
        QCOMPARE(runner.image().mid(3, 3), (QVector<std::uint16_t>{8, 6, 8}));
        runner.setFaultPlan(plan);
        QCOMPARE(line->ask(block), QByteArray("Y"));
        QCOMPARE(runner.image().mid(4, 2), (QVector<std::uint16_t>{6, 9}));
    }

    void badChecksumSpoilsOnlyRepliesThatHaveOne() {
        EcuFaultPlan plan{.badChecksumReplies = 1};
        startWith(plan);
        QCOMPARE(line->ask("L"), QByteArray("L")); // an acknowledgement has no checksum to spoil
        const QByteArray spoilt = line->ask("V");
        QCOMPARE(spoilt.size(), 11);
        QCOMPARE(spoilt.left(10), versionReply.left(10));
        QVERIFY(spoilt.at(10) != versionReply.at(10));
        QCOMPARE(line->ask("V"), versionReply);
    }

    void splitReplyArrivesInPiecesWithGaps() {
        EcuFaultPlan plan{.splitReplies = 1, .splitPieces = 3, .splitGapMs = 150};
        startWith(plan);
        line->send(ReadCommand(100));
        const QList<PtyClient::Chunk> chunks = line->readChunks(202, 3000);
        QByteArray all;
        for (const auto &c : chunks)
            all += c.bytes;
        QCOMPARE(all.size(), 202);
        QVERIFY(ChecksumOk(all));
        // Two pauses of 150 ms between the first and the last byte.
        QVERIFY2(chunks.last().atMs - chunks.first().atMs >= 280,
                 qPrintable(QString::number(chunks.last().atMs - chunks.first().atMs)));
        QVERIFY(chunks.size() >= 3);
        // The next reply is whole again.
        line->send("V");
        const QList<PtyClient::Chunk> next = line->readChunks(11);
        QCOMPARE(next.size(), 1);
    }

    void strayByteFollowsTheReply() {
        EcuFaultPlan plan{.strayReplies = 1, .strayByte = 0x0B};
        startWith(plan);
        QCOMPARE(line->ask("V"), versionReply + char(0x0B));

        plan.strayGapMs = 200;
        plan.strayByte = 'Y';
        runner.setFaultPlan(plan);
        line->send("V");
        QCOMPARE(line->read(11), versionReply);
        QCOMPARE(line->readUntilQuiet(100), QByteArray()); // not yet
        QCOMPARE(line->read(1, 500), QByteArray("Y"));
        QCOMPARE(line->ask("V"), versionReply);
    }

    void delayHoldsBackTheFirstByte() {
        EcuFaultPlan plan{.delayReplies = 1, .delayMs = 400};
        startWith(plan);
        line->send("S");
        const QList<PtyClient::Chunk> slow = line->readChunks(8, 2000);
        QVERIFY(!slow.isEmpty());
        QVERIFY2(slow.first().atMs >= 380, qPrintable(QString::number(slow.first().atMs)));
        line->send("S");
        const QList<PtyClient::Chunk> quick = line->readChunks(8, 2000);
        QVERIFY(!quick.isEmpty());
        QVERIFY(quick.first().atMs < 300);
    }

    void closingTheLineHangsUp() {
        start();
        QSignalSpy closed(runner.sim(), &EcuSim::lineClosed);
        runner.closeLine();
        QVERIFY(line->waitHangUp(2000));
        QTRY_COMPARE(closed.size(), 1);
        QVERIFY(runner.slavePath().isEmpty());
    }

    void closeFaultAnswersSomeRequestsThenHangsUp() {
        EcuSimConfig config;
        config.faults.closeAfterRequests = 2;
        start(config);
        QCOMPARE(line->ask("V"), versionReply);
        QCOMPARE(line->ask("S").size(), 8);
        line->send("V");
        QVERIFY(line->waitHangUp(2000));
    }

    void pacedRepliesTakeAboutOneMillisecondPerByte() {
        start();
        line->send(ReadCommand(200)); // 402 bytes
        QList<PtyClient::Chunk> fast = line->readChunks(402, 3000);
        QVERIFY(!fast.isEmpty());
        QVERIFY(fast.last().atMs < 150);

        runner.setPaced(true);
        QElapsedTimer clock;
        clock.start();
        line->send(ReadCommand(200));
        const QByteArray paced = line->read(402, 5000);
        const qint64 elapsed = clock.elapsed();
        QCOMPARE(paced.size(), 402);
        QVERIFY(ChecksumOk(paced));
        // 402 bytes x 1.04 ms = 419 ms; the bound is loose for a busy machine.
        QVERIFY2(elapsed >= 380 && elapsed < 1200, qPrintable(QString::number(elapsed)));
    }
};

QTEST_GUILESS_MAIN(EcuSimFaultsTest)
#include "EcuSimFaultsTest.moc"
