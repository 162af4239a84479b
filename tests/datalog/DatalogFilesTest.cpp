// Datalog files: what the writers put down, the readers give back, also from a file cut short.
#include <QtTest>

#include "datalog/CsvLog.h"
#include "datalog/LiveChannels.h"
#include "datalog/LogConvert.h"
#include "datalog/MlgLog.h"

using namespace Datalog;

namespace {
const Value None;

// Long-frame channels: Enginespeed, Inject. time, TPS, MAP, Watertemp., Air temp., Battery voltage,
// Corr. fuel, Boost pressure, Second Stage/AUX1, Fuel pump, Status word, Fault word, Map row, Map column.
QList<Record> Records() {
    return {
        {0.0, {850, 2.71, 3.4, 12.5, -20, 25, 12.5, -5, 101, 1, 0, 34824, 33024, 25, 16}},
        {0.1, {6000, 12.05, None, None, None, None, 13.5, 0, 0, 0, 1, 0, 0, 12, 1}},
        // 0.9 s later: beyond one turn of the 16-bit time stamp.
        {1.0, {20000, 0, 15.9, 0.5, 135, -20, 8, 3276.7, 0, 0, 1, 0, 0, 1, 1}},
    };
}

QByteArray Bytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

Log MakeLog(const QList<Channel> &channels, const QList<Record> &records, const QList<Marker> &markers) {
    Log log;
    log.channels = channels;
    log.records = records;
    log.markers = markers;
    return log;
}

LogInfo Info() {
    return {"QVR Fuel 3.05", "3FA1AD1AA", "12345", QDateTime({2024, 1, 2}, {3, 4, 5}, Qt::UTC)};
}
} // namespace

class DatalogFilesTest : public QObject {
    Q_OBJECT
private slots:
    void logsReadBackTheirChannelsRecordsAndMarkers_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("mlgVersion"); // 0: CSV
        QTest::addColumn<double>("firstMarkerTime");
        QTest::newRow("csv: a marker takes the time of the next row") << "log.csv" << 0 << 0.1;
        QTest::newRow("binary log, version 2") << "log.mlg" << 2 << 0.05;
        QTest::newRow("binary log, version 1") << "log1.mlg" << 1 << 0.05;
    }
    void logsReadBackTheirChannelsRecordsAndMarkers() {
        QFETCH(QString, file);
        QFETCH(int, mlgVersion);
        QFETCH(double, firstMarkerTime);
        const QList<Channel> channels = ChannelsOf(LiveChannels(LiveFrameKind::Long));
        const QList<Marker> markers{{0.05, "Launch, 2nd gear"}, {1.2, "end \"here\""}};
        std::unique_ptr<LogWriter> writer = MakeLogWriter(mlgVersion ? LogFormat::Mlg : LogFormat::Csv);
        if (mlgVersion == 1)
            writer = std::make_unique<MlgLogWriter>(1);
        QVERIFY2(WriteLog(*writer, file, MakeLog(channels, Records(), markers), Info()),
                 qPrintable(writer->errorString()));

        Log log;
        QString error;
        QVERIFY2(ReadLog(file, &log, &error), qPrintable(error));
        QList<Channel> expected = channels;
        if (mlgVersion == 1)
            for (Channel &c : expected)
                c.category.clear();
        QCOMPARE(log.channels, expected);
        QCOMPARE(log.records, Records());
        QCOMPARE(log.markers, (QList<Marker>{{firstMarkerTime, markers[0].text}, markers[1]}));
        QVERIFY(!log.endedEarly);
        if (mlgVersion) {
            QCOMPARE(log.start, Info().start);
            QVERIFY(log.infoText.startsWith("QVR Fuel 3.05\nECU version: 3FA1AD1AA, serial number: 12345"));
        }
    }

    // A recording that dies: flushed records read while the writer is still open, then the same file
    // cut inside its last row or block, or followed by the zeros a crash can leave.
    void aFileCutShortReadsUpToTheCut_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("cut"); // bytes taken off (negative: zero bytes added)
        QTest::addColumn<int>("records");
        QTest::newRow("csv cut inside the last row") << "cut.csv" << 3 << 2;
        QTest::newRow("binary log cut inside the last record") << "cut.mlg" << 3 << 2;
        QTest::newRow("binary log cut inside a block's start") << "cut.mlg" << 37 << 2;
        QTest::newRow("binary log with a zeroed tail") << "cut.mlg" << -80 << 3;
    }
    void aFileCutShortReadsUpToTheCut() {
        QFETCH(QString, file);
        QFETCH(int, cut);
        QFETCH(int, records);
        const QList<Channel> channels = ChannelsOf(LiveChannels(LiveFrameKind::Long));
        std::unique_ptr<LogWriter> writer = MakeLogWriter(FormatForPath(file));
        QVERIFY(writer->open(file, channels, Info()));
        for (const Record &record : Records())
            QVERIFY(writer->append(record));
        QVERIFY(writer->flush());

        Log log;
        QString error;
        QVERIFY2(ReadLog(file, &log, &error), qPrintable(error));
        QCOMPARE(log.records, Records());
        QVERIFY(!log.endedEarly);

        const QByteArray bytes = Bytes(file);
        const QString cutFile = "short-" + file;
        Write(cutFile, cut > 0 ? bytes.left(bytes.size() - cut) : bytes + QByteArray(-cut, '\0'));
        QVERIFY2(ReadLog(cutFile, &log, &error), qPrintable(error));
        QCOMPARE(log.records, Records().mid(0, records));
        QVERIFY(log.endedEarly);
        QVERIFY(!log.endNote.isEmpty());
    }

    void binaryLogBytesAreTheDocumentedLayout() {
        const QList<Channel> channels{
            {"Enginespeed", "RPM", FieldType::U16, DisplayStyle::Float, 1, 0, 0, "Engine", false},
            {"Watertemp.", "°C", FieldType::S16, DisplayStyle::Float, 0.1, 0, 1, "Sensors", true},
        };
        MlgLogWriter writer;
        QVERIFY(writer.open("layout.mlg", channels, Info()));
        QVERIFY(writer.append({0.25, {6000, None}}));
        QVERIFY(writer.mark({0.5, "Start"}));
        QVERIFY(writer.append({1.0, {850, -3276.8}})); // the S16 sentinel's value is held one above
        QVERIFY(writer.close());
        const QByteArray f = Bytes("layout.mlg");

        // Fields: Time, Enginespeed, Watertemp., Watertemp. valid; 24 + 4 x 89 = 380; info 92 + NUL.
        QCOMPARE(f.left(24).toHex(' '), QByteArray("4d 4c 56 4c 47 00 00 02 65 93 7d 25 00 00 01 7c "
                                                   "00 00 01 d9 00 09 00 04"));
        const QByteArray time = f.mid(24, 89);
        QCOMPARE(time.left(1) + time.mid(35, 2) + time.mid(45, 10),
                 QByteArray::fromHex("04 73 00 00 3a83126f 00000000 03"));
        QCOMPARE(time.mid(1, 34), QByteArray("Time").leftJustified(34, '\0'));
        const QByteArray water = f.mid(24 + 2 * 89, 89);
        QCOMPARE(water.left(1) + water.mid(35, 10), QByteArray("\x03"
                                                               "C",
                                                               2) +
                                                        QByteArray(9, '\0'));
        QCOMPARE(water.mid(45, 10).toHex(), QByteArray("003dcccccd0000000001"));
        QCOMPARE(water.mid(55, 34), QByteArray("Sensors").leftJustified(34, '\0'));
        QCOMPARE(f.mid(24 + 3 * 89, 17), QByteArray("\0Watertemp. valid", 17));
        QCOMPARE(f.mid(380, 93), QByteArray("QVR Fuel 3.05\nECU version: 3FA1AD1AA, serial number: 12345\n"
                                            "Capture Date: 2024-01-02 03:04:05\0",
                                            93));
        // Record: type, counter, stamp 25000; 250 ms, 6000, sentinel, not valid; checksum 0x01.
        QCOMPARE(f.mid(473, 14).toHex(' '), QByteArray("00 00 61 a8 00 00 00 fa 17 70 80 00 00 01"));
        QCOMPARE(f.mid(487, 54), QByteArray("\x01\x01\xc3\x50Start", 9) + QByteArray(45, '\0'));
        // Stamp 100000 wraps to 0x86a0; -3276.8 is held at raw -32767.
        QCOMPARE(f.mid(541).toHex(' '), QByteArray("00 02 86 a0 00 00 03 e8 03 52 80 01 01 c2"));
    }

    void csvIsCommaSeparatedWithPointsWhateverTheLocale() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QList<Channel> channels{
            {"Enginespeed", "RPM", FieldType::U16, DisplayStyle::Float, 1, 0, 0, {}, false},
            {"Watertemp.", "°C", FieldType::S16, DisplayStyle::Float, 0.1, 0, 1, {}, true},
            {"Status word", {}, FieldType::U16, DisplayStyle::Hex, 1, 0, 0, {}, false},
        };
        {
            CsvLogWriter writer;
            QVERIFY(writer.open("layout.csv", channels, Info()));
            QVERIFY(writer.append({0.25, {6000, None, 34824}}));
            QVERIFY(writer.mark({0.5, "Start, line\n2"}));
            QVERIFY(writer.append({1.0, {850, -0.04, 0}}));
            QVERIFY(writer.mark({1.25, "last"}));
        } // the destructor writes the last marker
        QLocale::setDefault(QLocale::c());
        QCOMPARE(Bytes("layout.csv"), QByteArray("\xEF\xBB\xBFTime [s],Enginespeed [RPM],Watertemp. [°C],"
                                                 "Status word,Marker\r\n"
                                                 "0.250,6000,,34824,\r\n"
                                                 "1.000,850,0.0,0,\"Start, line\n2\"\r\n"
                                                 "1.250,,,,last\r\n"));
    }

    void conversionToBinaryAndBackGivesTheSameCsv() {
        const QList<Channel> channels = ChannelsOf(LiveChannels(LiveFrameKind::Long));
        CsvLogWriter writer;
        QVERIFY(
            WriteLog(writer, "first.csv", MakeLog(channels, Records(), {{0.05, "a"}, {1.2, "b"}}), Info()));
        QString error;
        QVERIFY2(ConvertLog("first.csv", "middle.mlg", {"QVR Fuel 3.05", {}, {}, {}}, &error),
                 qPrintable(error));
        QVERIFY2(ConvertLog("middle.mlg", "second.csv", {}, &error), qPrintable(error));
        QCOMPARE(Bytes("second.csv"), Bytes("first.csv"));
        QVERIFY(!ConvertLog("first.csv", "first.txt", {}, &error));
    }
};

QTEST_GUILESS_MAIN(DatalogFilesTest)
#include "DatalogFilesTest.moc"
