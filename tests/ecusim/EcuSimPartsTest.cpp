// The simulator's parts without a line: request framing, fault plans, calibration files, the engine model.
#include "ecusim/DemoCalibration.h"
#include "ecusim/EcuCalibrationFile.h"
#include "ecusim/EcuFaultPlan.h"
#include "ecusim/EcuWire.h"
#include "ecusim/EngineModel.h"
#include "tests/support/Bytes.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

QString WriteFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(bytes);
    return path;
}

// Header of version "3FA1AD1AA" as it lies on disk: pairs swapped, NUL padded.
QByteArray Header3FA1AD() {
    return QByteArray("F31ADAA1\0A\0\0", 12);
}

QByteArray LittleEndianWords(int count, int (*word)(int)) {
    QByteArray out;
    for (int w = 0; w < count; ++w) {
        out.append(char(word(w) & 0xFF));
        out.append(char(word(w) >> 8));
    }
    return out;
}

} // namespace

class EcuSimPartsTest : public QObject {
    Q_OBJECT

private slots:
    void parserFramesEveryLetterByItsLength() {
        RequestParser parser;
        const QByteArray stream = QByteArray("VSdDLR") + Bytes({'A', 0x00, 0x04, 0x45}) +
                                  Bytes({'E', 0x00, 0x02, 0x00, 0x05, 0x01, 0x02, 0x4F}) +
                                  Bytes({'C', 0x00, 0x01, 0x00, 0x02, 0x46});
        const QList<EcuRequest> frames = parser.feed(stream);
        QCOMPARE(frames.size(), 9);
        QByteArray letters;
        for (const EcuRequest &r : frames) {
            QVERIFY(r.valid);
            letters.append(r.letter);
        }
        QCOMPARE(letters, QByteArray("VSdDLRAEC"));
        QCOMPARE(frames.at(7).bytes.size(), 8);
        QVERIFY(!parser.hasPartialFrame());
    }

    void parserWaitsForTheRestOfAFrame() {
        RequestParser parser;
        const QByteArray frame = Bytes({'E', 0x00, 0x02, 0x00, 0x05, 0x01, 0x02, 0x4F});
        for (int i = 0; i < frame.size() - 1; ++i)
            QVERIFY(parser.feed(frame.mid(i, 1)).isEmpty());
        QVERIFY(parser.hasPartialFrame());
        const QList<EcuRequest> last = parser.feed(frame.right(1));
        QCOMPARE(last.size(), 1);
        QCOMPARE(last.first().bytes, frame);
    }

    void parserDropsGarbageUntilTheLineIsQuiet() {
        RequestParser parser;
        // A lone unknown byte is skipped and the next frame still counts.
        QList<EcuRequest> frames = parser.feed(Bytes({0x0B, 'V'}));
        QCOMPARE(frames.size(), 2);
        QVERIFY(!frames.at(0).valid);
        QVERIFY(frames.at(1).valid);

        // After a bad checksum the rest of the burst cannot be trusted, even if it looks like a request.
        frames = parser.feed(Bytes({'Z', 0, 0, 0, 1, 0x00, 'V'}));
        QCOMPARE(frames.size(), 1);
        QVERIFY(!frames.first().valid);
        QVERIFY(parser.feed("V").isEmpty());
        parser.lineQuiet();
        QCOMPARE(parser.feed("V").size(), 1);

        // A block length that no request uses is garbage as well.
        frames = parser.feed(Bytes({'E', 0x00, 0x81, 0x00, 0x00, 'V'}));
        QCOMPARE(frames.size(), 1);
        QVERIFY(!frames.first().valid);
        QVERIFY(parser.feed("V").isEmpty());
    }

    void faultPlanTextIsReadStrictly() {
        EcuFaultPlan plan;
        QString error;
        QVERIFY(ParseFaultPlan("silent=2, badsum=1,split=4:30:2,stray=0x59:100,delay=250:all,close=5", &plan,
                               &error));
        QCOMPARE(plan.silentRequests, 2);
        QCOMPARE(plan.badChecksumReplies, 1);
        QCOMPARE(plan.splitReplies, 2);
        QCOMPARE(plan.splitPieces, 4);
        QCOMPARE(plan.splitGapMs, 30);
        QCOMPARE(int(plan.strayByte), 0x59);
        QCOMPARE(plan.strayGapMs, 100);
        QCOMPARE(plan.strayReplies, 1);
        QCOMPARE(plan.delayMs, 250);
        QCOMPARE(plan.delayReplies, -1);
        QCOMPARE(plan.closeAfterRequests, 5);

        QVERIFY(ParseFaultPlan("badstore=2:689", &plan, &error));
        QCOMPARE(plan.badStores, 2);
        QCOMPARE(plan.badStoreAddress, 689);

        QVERIFY(ParseFaultPlan("delay=10", &plan, &error));
        QCOMPARE(plan.delayReplies, 1);
        QCOMPARE(plan.silentRequests, 0); // a new text starts from a clean plan

        const EcuFaultPlan before = plan;
        for (const char *bad : {"silent", "silent=x", "split=1:10", "stray=256", "delay=-5", "bogus=1",
                                "close=1:2:3", "letter=LL", "split=3", "badstore=1:2:3"}) {
            error.clear();
            QVERIFY2(!ParseFaultPlan(bad, &plan, &error), bad);
            QVERIFY(!error.isEmpty());
            QVERIFY(plan == before);
        }
    }

    void calibrationFileGivesVersionAndWords() {
        QTemporaryDir dir;
        // 1096 records: header, 1089 words, zero trailer.
        const QByteArray full =
            Header3FA1AD() + LittleEndianWords(1089, [](int w) { return w * 3 + 1; }) + QByteArray(2, '\0');
        EcuCalibrationFile file;
        QString error;
        QVERIFY2(ReadEcuCalibrationFile(WriteFile(dir, "full.f03", full), &file, &error), qPrintable(error));
        QCOMPARE(file.version, QStringLiteral("3FA1AD1AA"));
        QCOMPARE(file.image.size(), 1089);
        QCOMPARE(int(file.image.at(0)), 1);
        QCOMPARE(int(file.image.at(1088)), 1088 * 3 + 1);

        // An older file: 516 records, words 0..509.
        const QByteArray old =
            QByteArray("F21ADAA1\0A\0\0", 12) + LittleEndianWords(510, [](int w) { return w; });
        QVERIFY(ReadEcuCalibrationFile(WriteFile(dir, "old.f00", old), &file, &error));
        QCOMPARE(file.version, QStringLiteral("2FA1AD1AA"));
        QCOMPARE(int(file.image.at(509)), 509);
        QCOMPARE(int(file.image.at(510)), 0);
    }

    void brokenCalibrationFilesAreRefused() {
        QTemporaryDir dir;
        EcuCalibrationFile file;
        QString error;
        QVERIFY(!ReadEcuCalibrationFile(dir.filePath("missing.f03"), &file, &error));
        const QByteArray words = LittleEndianWords(1089, [](int) { return 7; });
        // Cut after 300 image words.
        QVERIFY(!ReadEcuCalibrationFile(WriteFile(dir, "cut.f03", Header3FA1AD() + words.left(600)), &file,
                                        &error));
        QVERIFY(error.contains("300"));
        QVERIFY(
            !ReadEcuCalibrationFile(WriteFile(dir, "odd.f03", Header3FA1AD() + words + "x"), &file, &error));
        QVERIFY(!ReadEcuCalibrationFile(WriteFile(dir, "nohead.f03", QByteArray(12, '\0') + words), &file,
                                        &error));
        QVERIFY(!ReadEcuCalibrationFile(WriteFile(dir, "huge.f03", Header3FA1AD() + words + words), &file,
                                        &error));
        QVERIFY(file.version.isEmpty()); // nothing handed out on failure
    }

    void engineRunsThroughRowsAndWarmsUp() {
        EngineModel engine(5);
        QVector<std::uint16_t> image(1089, 0);
        for (int r = 0; r < 25; ++r)
            image[512 + r] = std::uint16_t(50 * (r + 2)); // 1000, 1500, ... 13000 RPM
        int minRpm = 1 << 30, maxRpm = 0, minCol = 999, maxCol = -1;
        bool trim = false, fault = false, secondStage = false;
        EngineSample first = engine.next(image, true);
        EngineSample last;
        for (int i = 0; i < 3000; ++i) {
            last = engine.next(image, true);
            minRpm = std::min(minRpm, last.rpm);
            maxRpm = std::max(maxRpm, last.rpm);
            minCol = std::min(minCol, last.load1Column10);
            maxCol = std::max(maxCol, last.load1Column10);
            QVERIFY(last.batteryRaw >= 22 && last.batteryRaw <= 24); // 13.5 .. 14.0 V
            QVERIFY(last.status & 4);
            if (last.status & 32768) {
                trim = true;
                QVERIFY(last.potentiometer >= -10 && last.potentiometer <= 10);
            }
            fault = fault || last.faults != 0;
            secondStage = secondStage || (last.status & 8);
        }
        QVERIFY(minRpm < 1000 && maxRpm > 6500);
        QVERIFY(minCol <= 2 && maxCol >= 157);
        QVERIFY(last.waterTempC > first.waterTempC + 40);
        QVERIFY(last.airTempC > first.airTempC);
        QVERIFY(trim);
        QVERIFY(fault);
        QVERIFY(secondStage);
    }

    void injectionTimeComesFromTheMapCell() {
        EngineModel engine(9);
        QVector<std::uint16_t> image(1089, 0);
        for (int r = 0; r < 25; ++r)
            image[512 + r] = std::uint16_t(50 * (r + 2));
        for (int cell = 0; cell < 400; ++cell)
            image[cell] = std::uint16_t(100 + cell); // (cell + 100) / 100 ms
        for (int i = 0; i < 200; ++i) {
            const EngineSample s = engine.next(image, true);
            const int row = EngineModel::RowFor(s.rpm, image, true);
            const int column = s.load1Column10 / 10 + 1;
            const int cellUs = (100 + (row - 1) * 16 + column - 1) * 10;
            QCOMPARE(s.injectionUs, cellUs * (1000 + s.correction10) / 1000);
        }
        // 1000 RPM is row 1, 1499 still row 1, 1500 row 2; below the first row stays row 1.
        QCOMPARE(EngineModel::RowFor(1499, image, true), 1);
        QCOMPARE(EngineModel::RowFor(1500, image, true), 2);
        QCOMPARE(EngineModel::RowFor(200, image, true), 1);
        QCOMPARE(EngineModel::RowFor(20000, image, true), 25);
        // Without an RPM axis the rows are 500 RPM apart.
        QCOMPARE(EngineModel::RowFor(6000, image, false), 12);
    }

    void demoCalibrationIsPlausible() {
        const QVector<std::uint16_t> image = DemoCalibrationImage();
        QCOMPARE(image.size(), 1089);
        for (int row = 0; row < 25; ++row) {
            for (int column = 1; column < 16; ++column)
                QVERIFY(image.at(row * 16 + column) > image.at(row * 16 + column - 1));
            QVERIFY(image.at(row * 16) >= 100 && image.at(row * 16 + 15) <= 4095); // 1.00 .. 40.95 ms
        }
        QCOMPARE(int(image.at(512)), 100);  // 1000 RPM
        QCOMPARE(int(image.at(536)), 1300); // 13000 RPM
        QVERIFY(image.at(434) > image.at(435));
        QCOMPARE(int(image.at(436)), 0x5761); // "Wa"
        QCOMPARE(int(image.at(400)), 400);    // +40.0 % when cold
        QCOMPARE(int(image.at(431)), 0);
        QCOMPARE(int(image.at(568)), 0x8032); // -5.0 % for hot air
    }

    void frozenEngineRepeatsItsSample() {
        EngineModel engine(3);
        const QVector<std::uint16_t> image(1089, 0);
        EngineSample s;
        s.rpm = 4321;
        s.faults = 0x8000;
        engine.freeze(s);
        QCOMPARE(engine.next(image, true), s);
        QCOMPARE(engine.next(image, true), s);
        engine.unfreeze();
        QVERIFY(!(engine.next(image, true) == s));
    }
};

QTEST_GUILESS_MAIN(EcuSimPartsTest)
#include "EcuSimPartsTest.moc"
