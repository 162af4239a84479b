// The record layout of calibration files, without any window.
#include <QRandomGenerator>
#include <QtTest>

#include "files/CalibrationFile.h"

namespace {
QVector<std::uint16_t> numberedImage(int words) {
    QVector<std::uint16_t> image(words);
    for (int w = 0; w < words; ++w)
        image[w] = std::uint16_t(w * 7 + 1);
    return image;
}

std::uint16_t record(const QByteArray &file, int n) {
    return std::uint16_t(std::uint8_t(file[2 * n]) | std::uint8_t(file[2 * n + 1]) << 8);
}
} // namespace

class CalibrationFileTest : public QObject {
    Q_OBJECT
private slots:
    void recordCountsFollowTheVersion_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("records");
        QTest::newRow("1FA1AD1AA") << "1FA1AD1AA" << 516;
        QTest::newRow("2FA1AD1AA") << "2FA1AD1AA" << 516;
        QTest::newRow("3FA1AA1AA") << "3FA1AA1AA" << 662;
        QTest::newRow("3FA1AB1AA") << "3FA1AB1AA" << 696;
        QTest::newRow("3FA1AC1AA") << "3FA1AC1AA" << 1096;
        QTest::newRow("3FA1AD1AA") << "3FA1AD1AA" << 1096;
    }
    void recordCountsFollowTheVersion() {
        QFETCH(QString, version);
        QFETCH(int, records);
        QCOMPARE(CalibrationRecordCount(version), records);
        QCOMPARE(EncodeCalibrationFile(version, numberedImage(1089)).size(), 2 * records);
    }

    void headerCarriesTheVersionWithPairsSwapped() {
        const QByteArray file = EncodeCalibrationFile("3FA1AD1AA", numberedImage(1089));
        QCOMPARE(file.left(12), QByteArray("F31ADAA1\0A\0\0", 12));
        // A twelve-character version fills the header; a longer one is cut.
        QCOMPARE(EncodeCalibrationFile("ABCDEFGHIJKLMN", {}).left(12), QByteArray("BADCFEHGJILK"));
    }

    void wordsSitAtRecordSixOnLowByteFirst() {
        QVector<std::uint16_t> image(1089, 0);
        image[0] = 0x1234;
        image[1088] = 0xBEEF;
        const QByteArray file = EncodeCalibrationFile("3FA1AD1AA", image);
        QCOMPARE(file.mid(12, 2), QByteArray("\x34\x12"));
        QCOMPARE(file.mid(2 * 1094, 2), QByteArray("\xEF\xBE"));
        QCOMPARE(file.right(2), QByteArray(2, '\0')); // trailer
    }

    void sectionsAreWrittenOnlyForTheirVersion() {
        const QVector<std::uint16_t> image = numberedImage(1089);
        // Below "3FA": words 0..509 and no trailer; reserved word 510 stays out.
        const QByteArray old = EncodeCalibrationFile("2FA1AD1AA", image);
        QCOMPARE(record(old, 515), image[509]);
        // "3FA" below "3FA1AB": everything up to the AUX block (654), then the trailer.
        const QByteArray aa = EncodeCalibrationFile("3FA1AA1AA", image);
        QCOMPARE(record(aa, 6 + 510), image[510]);
        QCOMPARE(record(aa, 6 + 654), image[654]);
        QCOMPARE(record(aa, 661), 0);
        // "3FA1AB": the air-pressure words 655..688 join.
        const QByteArray ab = EncodeCalibrationFile("3FA1AB1AA", image);
        QCOMPARE(record(ab, 6 + 688), image[688]);
        QCOMPARE(record(ab, 695), 0);
    }

    void aWrittenFileReadsBackWordForWord_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("imageWords");
        QTest::addColumn<int>("storedWords");
        QTest::newRow("1FA") << "1FA1AD1AA" << 511 << 510;
        QTest::newRow("3FA1AA") << "3FA1AA1AA" << 1089 << 655;
        QTest::newRow("3FA1AB") << "3FA1AB1AA" << 1089 << 689;
        QTest::newRow("3FA1AD") << "3FA1AD1AA" << 1089 << 1089;
    }
    void aWrittenFileReadsBackWordForWord() {
        QFETCH(QString, version);
        QFETCH(int, imageWords);
        QFETCH(int, storedWords);
        const QVector<std::uint16_t> image = numberedImage(1089);
        const auto contents = DecodeCalibrationFile(EncodeCalibrationFile(version, image));
        QVERIFY(contents);
        QCOMPARE(contents->version, version);
        QCOMPARE(contents->image.size(), imageWords);
        for (int w = 0; w < imageWords; ++w)
            QCOMPARE(contents->image[w], w < storedWords ? image[w] : std::uint16_t(0));
    }

    void aFileShortOfItsVersionsWordsIsRefused() {
        const QByteArray file = EncodeCalibrationFile("3FA1AD1AA", numberedImage(1089));
        // Every prefix that lacks a data record is refused; the trailer is not needed.
        for (int length = 0; length < 2 * 1095; ++length)
            QVERIFY2(!DecodeCalibrationFile(file.left(length)), qPrintable(QString::number(length)));
        QVERIFY(DecodeCalibrationFile(file.left(2 * 1095)));
        QVERIFY(DecodeCalibrationFile(file.left(2 * 1095 + 1)));

        const QByteArray old = EncodeCalibrationFile("1FA1AD1AA", numberedImage(511));
        QVERIFY(!DecodeCalibrationFile(old.left(1031)));
        QVERIFY(DecodeCalibrationFile(old));
    }

    void extraBytesAfterTheImageAreIgnored() {
        QByteArray file = EncodeCalibrationFile("3FA1AB1AA", numberedImage(1089));
        file.append(QByteArray(5000, '\xAA'));
        const auto contents = DecodeCalibrationFile(file);
        QVERIFY(contents);
        QCOMPARE(contents->image[688], std::uint16_t(688 * 7 + 1));
        QCOMPARE(contents->image[689], std::uint16_t(0)); // boost map is not a "3FA1AB" section
    }

    void headerTextEndsAtTheFirstNul() {
        QByteArray file = EncodeCalibrationFile("3FA1AD1AA", numberedImage(1089));
        QCOMPARE(*DecodeCalibrationHeader(file), QString("3FA1AD1AA"));
        file[3] = '\0'; // the high byte of record 1: the third character
        QCOMPARE(*DecodeCalibrationHeader(file), QString("3F"));
        QVERIFY(!DecodeCalibrationHeader(QByteArray(11, 'x')));
    }

    void nastyFilesGiveARefusalOrAWholeImage() {
        QList<QByteArray> corpus = {
            QByteArray(),
            QByteArray(1, '\0'),
            QByteArray(12, '\0'),                     // empty version: an old-style file without data
            QByteArray(1032, '\0'),                   // empty version with exactly the old data
            QByteArray(2192, '\xFF'),                 // a version of twelve 0xFF characters
            QByteArray(4 << 20, '\x33'),              // huge
            QByteArray("F3\0\0\0\0\0\0\0\0\0\0", 12), // "3F" cut short
            QByteArray("I3A1AA1AA\0", 10),            // odd length, shorter than the header
        };
        QRandomGenerator random(20261208);
        for (int i = 0; i < 300; ++i) {
            QByteArray bytes(int(random.bounded(2400)), '\0');
            for (char &b : bytes)
                b = char(random.bounded(256));
            corpus.append(bytes);
        }
        int accepted = 0;
        for (const QByteArray &bytes : corpus) {
            const auto contents = DecodeCalibrationFile(bytes);
            if (!contents)
                continue;
            ++accepted;
            QVERIFY(contents->version.size() <= 12);
            QVERIFY(!contents->version.contains(QChar(0)));
            QCOMPARE(contents->image.size(), ImageWordCount(contents->version));
            QVERIFY(bytes.size() >= 2 * (6 + (contents->image.size() == 1089 ? 655 : 510)));
        }
        QVERIFY(accepted >= 3); // the all-zero old file, the 0xFF file and the huge one at least
        QVERIFY(!DecodeCalibrationFile(QByteArray(2190, '\xFF').left(2189)));
    }
};

QTEST_APPLESS_MAIN(CalibrationFileTest)
#include "CalibrationFileTest.moc"
