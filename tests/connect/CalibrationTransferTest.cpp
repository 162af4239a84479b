// Reading and writing the whole calibration against the simulated ECU: round trips per firmware, the
// version comparison before a write, and faults on the line during both directions.
#include "tests/support/EcuFixture.h"
#include "tests/support/LinkTestAccess.h"
#include "tests/support/RepresentableImage.h"

#include <QSignalSpy>

#include "app/CalibrationFiles.h"
#include "app/CalibrationTransfer.h"

namespace {
// Below "3FA" a fuel word from 0x7FFF up travels as a live-trim request, so such an image cannot be
// written word by word; keep the old-firmware image below it.
QVector<std::uint16_t> writableImage(const QString &version) {
    QVector<std::uint16_t> image = representableImage(version);
    if (!version.startsWith("3"))
        image[399] = 4000;
    return image;
}

QVector<std::uint16_t> firstWords(const QVector<std::uint16_t> &image, int count) {
    return image.mid(0, count);
}

QList<QByteArray> framesWithLetter(const QList<EcuRequest> &log, char letter) {
    QList<QByteArray> frames;
    for (const EcuRequest &r : log)
        if (r.valid && r.letter == letter)
            frames << r.bytes;
    return frames;
}

int wordAt(const QByteArray &frame, int offset) {
    return (std::uint8_t(frame[offset]) << 8) | std::uint8_t(frame[offset + 1]);
}
} // namespace

class CalibrationTransferTest : public QObject {
    Q_OBJECT
    EcuFixture f;

    void connectTo(const QString &version, const QVector<std::uint16_t> &image) {
        QVERIFY(f.startAndRead(version, image));
    }

    void download() {
        LinkTimer(f.link(), 3)->setInterval(QuickStepMs);
        f.main()->SpeedButton_up_down_loadClick();
        QTest::mouseClick(f.main()->SpeedButton_Download, Qt::LeftButton);
    }

    // Calls `then` once, the first time the ECU sees a request with `letter`.
    void onFirst(char letter, std::function<void()> then) {
        auto fired = std::make_shared<bool>(false);
        QObject::connect(f.ecu->sim(), &EcuSim::requestReceived, f.main(), [=](char seen) {
            if (seen == letter && !*fired) {
                *fired = true;
                then();
            }
        });
    }

private slots:
    void cleanup() { f.stop(); }

    void aCalibrationMakesTheRoundTripWordForWord_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("blocks");
        QTest::addColumn<int>("words");
        QTest::addColumn<int>("progress");
        QTest::newRow("3FA1AD") << "3FA1AD1AA" << 65 << 0 << 2174;
        QTest::newRow("3FA1AC") << "3FA1AC1AA" << 65 << 0 << 2174;
        QTest::newRow("3FA1AB") << "3FA1AB1AA" << 40 << 0 << 1374;
        QTest::newRow("3FA1AA") << "3FA1AA1AA" << 38 << 0 << 1306;
        QTest::newRow("2FA1AD") << "2FA1AD1AA" << 0 << 510 << 1020;
    }
    void aCalibrationMakesTheRoundTripWordForWord() {
        QFETCH(QString, version);
        QFETCH(int, blocks);
        QFETCH(int, words);
        QFETCH(int, progress);
        const QVector<std::uint16_t> original = writableImage(version);
        const int size = version.startsWith("3") ? 1089 : 511;
        connectTo(version, original);

        // The ECU forgets; only what the program writes back can restore it.
        f.ecu->setImage(QVector<std::uint16_t>(1089, 0));
        f.ecu->clearRequestLog();
        QSignalSpy gauge(f.main()->Gauge_up_down_loading, &QProgressBar::valueChanged);
        download();
        QTRY_VERIFY_WITH_TIMEOUT(f.writeDone(), (words ? 20000 : 8000));

        QCOMPARE(firstWords(f.ecu->image(), size), original);
        QCOMPARE(f.count('E'), blocks);
        QCOMPARE(f.count('C'), words);
        QCOMPARE(f.count('R'), 1);
        QVERIFY(f.lettersWithoutPolls().startsWith("V"));
        QCOMPARE(f.main()->Gauge_up_down_loading->maximum(), 2 * size + 2);
        QVERIFY(!gauge.isEmpty());
        // Every data byte counted once: 2174, 1374 and 1306 bytes of blocks, 510 words of 2 bytes.
        QCOMPARE(gauge.last().first().toInt(), progress);
        // Afterwards: box gone, controls back, polling again.
        QVERIFY(f.main()->GroupBox_gauge_up_down_loading->isHidden());
        QVERIFY(f.main()->SpeedButton_openfile->isEnabled());
        QVERIFY(f.main()->AdvStringGrid_fuel->isEnabled());
        const int polls = f.count('d') + f.count('D');
        QTRY_VERIFY_WITH_TIMEOUT(f.count('d') + f.count('D') > polls, 2000);
    }

    void blocksGoOutInRegionOrderWithTheirAddresses() {
        const QVector<std::uint16_t> original = writableImage(QStringLiteral("3FA1AD1AA"));
        connectTo(QStringLiteral("3FA1AD1AA"), original);
        f.ecu->clearRequestLog();
        download();
        QTRY_VERIFY_WITH_TIMEOUT(f.writeDone(), 8000);
        QList<int> addresses;
        QList<int> sizes;
        for (const QByteArray &e : framesWithLetter(f.ecu->requestLog(), 'E')) {
            sizes << wordAt(e, 1);
            addresses << wordAt(e, 3);
        }
        QList<int> expected;
        QList<int> expectedSizes;
        for (int row = 0; row < 25; ++row)
            expected << row * 16, expectedSizes << 32;
        expected << 400 << 432 << 458 << 474 << 490 << 506 << 512 << 537 << 569 << 575 << 578 << 610 << 640
                 << 655 << 657;
        expectedSizes << 64 << 52 << 32 << 32 << 32 << 8 << 50 << 64 << 12 << 6 << 64 << 60 << 30 << 4 << 64;
        for (int row = 0; row < 25; ++row)
            expected << 689 + row * 16, expectedSizes << 32;
        QCOMPARE(addresses, expected);
        QCOMPARE(sizes, expectedSizes);
        // Letters of the whole write: the version read, the blocks, the restart.
        QCOMPARE(f.lettersWithoutPolls(), QByteArray("V") + QByteArray(65, 'E') + QByteArray("R"));
    }

    void oldFirmwareWritesWordByWordAndClearsTrimMarks() {
        const QVector<std::uint16_t> original = writableImage(QStringLiteral("2FA1AD1AA"));
        connectTo(QStringLiteral("2FA1AD1AA"), original);
        f.main()->AdvStringGrid_fuel->setCellColor(3, 4, QColor(255, 0, 0));
        f.main()->AdvStringGrid_injection_boost_correction->setCellColor(1, 1, QColor(255, 0, 0));
        f.ecu->clearRequestLog();
        download();
        QTRY_VERIFY_WITH_TIMEOUT(f.writeDone(), 20000);
        QCOMPARE(f.main()->AdvStringGrid_fuel->cellColor(3, 4), QColor(255, 255, 255));
        QCOMPARE(f.main()->AdvStringGrid_injection_boost_correction->cellColor(1, 1), QColor(255, 255, 255));
        const QList<QByteArray> c = framesWithLetter(f.ecu->requestLog(), 'C');
        QCOMPARE(c.size(), 510);
        // Fuel cells column by column within rows, then the water table, then words 432..509.
        QCOMPARE(wordAt(c[0], 1), 0);
        QCOMPARE(wordAt(c[17], 1), 17);
        QCOMPARE(wordAt(c[399], 1), 399);
        QCOMPARE(wordAt(c[400], 1), 400);
        QCOMPARE(wordAt(c[432], 1), 432);
        QCOMPARE(wordAt(c[509], 1), 509);
        QCOMPARE(wordAt(c[401], 3), 0x8032);
        QCOMPARE(f.lettersWithoutPolls(), QByteArray("V") + QByteArray(510, 'C') + QByteArray("R"));
    }

    void aVersionMismatchAsksAndCancelLeavesTheEcuUntouched() {
        connectTo(QStringLiteral("3FA1AD1AA"), writableImage(QStringLiteral("3FA1AD1AA")));
        // As if a calibration of another version had been opened.
        f.ctx().form3->StaticText_version_info->setText(QStringLiteral("3FA1AC1AA"));
        const QVector<std::uint16_t> blank(1089, 7);
        f.ecu->setImage(blank);
        f.ecu->clearRequestLog();
        f.answer = [](const DialogRequest &) { return DialogButton::Cancel; };
        download();
        QTRY_COMPARE_WITH_TIMEOUT(f.dialogs().shown().size(), 1, 3000);
        const DialogRequest box = f.dialogs().shown().first();
        QCOMPARE(box.kind, DialogKind::Warning);
        QCOMPARE(box.text,
                 QStringLiteral("The file does not match the current system!!!\r\r\nFile version nr  : "
                                "3FA1AC1AA\r\r\nSystem version nr: 3FA1AD1AA"));
        QCOMPARE(box.buttons, (QList<DialogButton>{DialogButton::Cancel, DialogButton::Ignore}));
        QTest::qWait(400);
        QCOMPARE(f.count('E'), 0);
        QCOMPARE(f.count('R'), 0);
        QCOMPARE(f.ecu->image(), blank);
        QVERIFY(f.main()->GroupBox_gauge_up_down_loading->isHidden());
        QVERIFY(f.main()->SpeedButton_openfile->isEnabled());
        QCOMPARE(f.steps()->TransferStep, 0);

        // Ignore writes, with the layout of the calibration's own version (no boost map below 3FA1AC1AA
        // is not the case here: 3FA1AC has it).
        f.answer = [](const DialogRequest &) { return DialogButton::Ignore; };
        f.ecu->clearRequestLog();
        download();
        QTRY_VERIFY_WITH_TIMEOUT(f.writeDone(), 8000);
        QCOMPARE(f.count('E'), 65);
        QCOMPARE(f.ecu->image().mid(0, 400), writableImage(QStringLiteral("3FA1AD1AA")).mid(0, 400));
    }

    void anUnsupportedOrForeignEcuIsNotWritten_data() {
        QTest::addColumn<QString>("ecuVersion");
        QTest::addColumn<QString>("warning");
        QTest::newRow("unknown fuel family")
            << "3FC1AA1AA"
            << "This Version nr : 3FC1AA1AA\r\r\nis not supported by this software \r\r\nCall your Software "
               "supplier for information !!!";
        QTest::newRow("ignition") << "3IA1AA1AA"
                                  << "This software is for Fuel systems only\r\r\nCall your Software "
                                     "supplier for the Ignition version !!!";
        QTest::newRow("other kind") << "3XA1AA1AA"
                                    << "This software is for Fuel systems only\r\r\nCall your Software "
                                       "supplier for the correct version !!!";
    }
    void anUnsupportedOrForeignEcuIsNotWritten() {
        QFETCH(QString, ecuVersion);
        QFETCH(QString, warning);
        connectTo(QStringLiteral("3FA1AD1AA"), writableImage(QStringLiteral("3FA1AD1AA")));
        f.ecu->setVersion(ecuVersion);
        f.ecu->clearRequestLog();
        download();
        QTRY_COMPARE_WITH_TIMEOUT(f.dialogs().shown().size(), 1, 3000);
        QCOMPARE(f.shownTexts().first(), warning);
        QCOMPARE(f.dialogs().shown().first().kind, DialogKind::Warning);
        QTest::qWait(300);
        QCOMPARE(f.lettersWithoutPolls(), QByteArray("V"));
        QVERIFY(!f.main()->IsOnline());
        QVERIFY(f.main()->GroupBox_gauge_up_down_loading->isHidden());
    }

    void aDownLoadOfTheStartUpControlsAsksFirstUntilAFileIsLoaded() {
        // "No access to ECU": the connect sequence stops before its read.
        EcuSimConfig config;
        config.accessBits = 16;
        QVERIFY(f.start(config));
        QTRY_VERIFY(!f.link()->busy());
        const QString file = QDir::temp().filePath(QStringLiteral("qvr-blind-write.f03"));
        QVERIFY(f.program->calibrationFiles()->SaveCalibrationFile(file));
        f.ecu->clearRequestLog();
        f.answer = [](const DialogRequest &request) {
            return request.defaultButton.value_or(DialogButton::Ok);
        };
        f.program->calibrationTransfer()->SpeedButton_DownloadClick();
        QCOMPARE(f.dialogs().shown().size(), 1);
        QVERIFY(f.shownTexts().first().startsWith(QStringLiteral("No calibration has been read")));
        QCOMPARE(f.dialogs().shown().first().defaultButton, DialogButton::No);
        QTest::qWait(200);
        QCOMPARE(f.lettersWithoutPolls(), QByteArray()); // "No" writes nothing

        QVERIFY(f.program->calibrationFiles()->LoadCalibrationFile(file));
        QFile::remove(file);
        f.dialogs().clearShown();
        f.program->calibrationTransfer()->SpeedButton_DownloadClick();
        QTRY_VERIFY_WITH_TIMEOUT(f.lettersWithoutPolls().startsWith('V'), 3000);
        QVERIFY(f.shownTexts().filter(QStringLiteral("No calibration has been read")).isEmpty());
    }

    void anEcuNewerThanTheCalibrationAsksBeforeWriting() {
        connectTo(QStringLiteral("3FA1AD1AA"), writableImage(QStringLiteral("3FA1AD1AA")));
        f.ctx().form3->StaticText_version_info->setText(QStringLiteral("3FA1AD1AB"));
        f.ecu->clearRequestLog();
        f.answer = [](const DialogRequest &) { return DialogButton::Cancel; };
        download();
        QCOMPARE(f.dialogs().shown().size(), 1);
        QCOMPARE(f.dialogs().shown().first().kind, DialogKind::Information);
        QCOMPARE(
            f.shownTexts().first(),
            QStringLiteral("ECU is newer then the PC software\n\rPlease download newer QVR PC software"));
        QCOMPARE(f.dialogs().shown().first().buttons,
                 (QList<DialogButton>{DialogButton::Cancel, DialogButton::Ignore}));
        QTest::qWait(300);
        QCOMPARE(f.lettersWithoutPolls(), QByteArray());
        QVERIFY(f.main()->GroupBox_gauge_up_down_loading->isHidden());
        QVERIFY(f.main()->SpeedButton_openfile->isEnabled());

        f.answer = [](const DialogRequest &) { return DialogButton::Ignore; };
        download();
        // Ignore goes on: the version read, then the mismatch question (answered Ignore), then the write.
        QTRY_VERIFY_WITH_TIMEOUT(f.writeDone(), 8000);
        QCOMPARE(f.count('E'), 65);
    }

    void aShortReadIsAskedAgainAfterSilence() {
        connectTo(QStringLiteral("3FA1AD1AA"), writableImage(QStringLiteral("3FA1AD1AA")));
        const QVector<std::uint16_t> changed = writableImage(QStringLiteral("3FA1AC1AA"));
        f.ecu->setImage(changed);
        f.ecu->clearRequestLog();
        // The image reply stops after its first piece for longer than the 300 ms time-out.
        onFirst('a', [this] {
            EcuFaultPlan plan;
            plan.splitReplies = 1;
            plan.splitPieces = 2;
            plan.splitGapMs = 700;
            f.ecu->setFaultPlan(plan);
        });
        f.main()->SpeedButton_up_down_loadClick();
        QTest::mouseClick(f.main()->SpeedButton_Upload, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(f.count('Z') >= 2 && f.readDone(), 8000);
        QVERIFY(f.main()->IsOnline());
        QCOMPARE(f.main()->AdvStringGrid_injection_boost_correction->cellText(2, 1), QStringLiteral("3.7"));
    }

    void aReadWithABadChecksumIsRequestedWhole() {
        connectTo(QStringLiteral("3FA1AD1AA"), writableImage(QStringLiteral("3FA1AD1AA")));
        f.ecu->setImage(writableImage(QStringLiteral("3FA1AC1AA")));
        f.ecu->clearRequestLog();
        onFirst('a', [this] {
            EcuFaultPlan plan;
            plan.badChecksumReplies = 1;
            f.ecu->setFaultPlan(plan);
        });
        f.main()->SpeedButton_up_down_loadClick();
        QTest::mouseClick(f.main()->SpeedButton_Upload, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(f.count('Z') == 2 && f.readDone(), 5000);
        const QList<QByteArray> z = framesWithLetter(f.ecu->requestLog(), 'Z');
        QCOMPARE(z[0], z[1]);
        QCOMPARE(z[1], QByteArray("Z\x00\x00\x04\x41\x9F", 6));
        QCOMPARE(f.main()->AdvStringGrid_injection_boost_correction->cellText(2, 1), QStringLiteral("3.7"));
    }

    void aLostAcknowledgementRepeatsTheSameBlock() {
        const QVector<std::uint16_t> original = writableImage(QStringLiteral("3FA1AD1AA"));
        connectTo(QStringLiteral("3FA1AD1AA"), original);
        f.ecu->setImage(QVector<std::uint16_t>(1089, 0));
        f.ecu->clearRequestLog();
        onFirst('E', [this] {
            EcuFaultPlan plan;
            plan.silentRequests = 1; // the second block goes unanswered
            f.ecu->setFaultPlan(plan);
        });
        download();
        QTRY_VERIFY_WITH_TIMEOUT(f.writeDone(), 8000);
        const QList<EcuRequest> log = f.ecu->requestLog();
        const QList<QByteArray> e = framesWithLetter(log, 'E');
        QCOMPARE(e.size(), 66);
        QCOMPARE(e[1], e[2]);
        QCOMPARE(wordAt(e[2], 3), 16);
        QCOMPARE(wordAt(e[3], 3), 32);
        QCOMPARE(f.ecu->image(), original);
    }

    void sixFailuresMidWriteGoOfflineAndKeepTheGrids() {
        const QVector<std::uint16_t> original = writableImage(QStringLiteral("3FA1AD1AA"));
        connectTo(QStringLiteral("3FA1AD1AA"), original);
        const QString cell = f.main()->AdvStringGrid_fuel->cellText(5, 5);
        onFirst('E', [this] {
            EcuFaultPlan plan;
            plan.silentRequests = 1000;
            f.ecu->setFaultPlan(plan);
        });
        f.ecu->clearRequestLog();
        download();
        QTRY_VERIFY_WITH_TIMEOUT(!f.main()->IsOnline(), 8000);
        QCOMPARE(f.steps()->TransferStep, 0);
        QVERIFY(f.main()->GroupBox_gauge_up_down_loading->isHidden());
        // The only box says what the stopped write left behind.
        QCOMPARE(f.shownTexts().size(), 1);
        QVERIFY(f.shownTexts().first().contains(QStringLiteral("partly written calibration")));
        const int frames = f.ecu->requestLog().size();
        QTest::qWait(800);
        QCOMPARE(f.ecu->requestLog().size(), frames);
        // The first block and its five repeats (the line gave up on the sixth failure).
        QCOMPARE(f.count('E'), 7);
        QCOMPARE(f.main()->AdvStringGrid_fuel->cellText(5, 5), cell);
        QVERIFY(!f.link()->IsConnected());
    }

    void aReadInPiecesIsCollectedWhileTheGaugeFollowsIt() {
        connectTo(QStringLiteral("3FA1AD1AA"), writableImage(QStringLiteral("3FA1AD1AA")));
        QSignalSpy gauge(f.main()->Gauge_up_down_loading, &QProgressBar::valueChanged);
        EcuFaultPlan plan;
        plan.splitReplies = 4; // V, S, a and then the image in pieces
        plan.splitPieces = 4;
        // Gaps long enough that a busy machine still reads the pieces apart, while the short replies
        // (three gaps each) still end inside the 300 ms reply time-out.
        plan.splitGapMs = 60;
        // Let the last live poll finish first, so the split replies are exactly those of the read.
        f.link()->StopLink();
        QTest::qWait(400);
        f.link()->StopLink();
        f.ecu->setFaultPlan(plan);
        f.ecu->clearRequestLog();
        QTest::mouseClick(f.main()->SpeedButton1, Qt::LeftButton);
        QCOMPARE(f.main()->GroupBox_gauge_up_down_loading->title(), QStringLiteral("Up_loading"));
        QVERIFY(f.main()->GroupBox_gauge_up_down_loading->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(f.readDone(), 5000);
        QList<int> values;
        for (const QList<QVariant> &v : gauge)
            values << v.first().toInt();
        // The reset to 0, at least one piece on its way, and the whole reply.
        QVERIFY2(values.size() >= 3, qPrintable(QString::number(values.size())));
        QCOMPARE(values.last(), 2180);
        QVERIFY(std::is_sorted(values.begin() + 1, values.end()));
        QCOMPARE(f.count('Z'), 1);
        QCOMPARE(StateOf(f.link()).CommErrors, 0);
    }
};

QTEST_MAIN(CalibrationTransferTest)
#include "CalibrationTransferTest.moc"
