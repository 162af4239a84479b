// qvr-cli run as a script runs it, against the simulated ECU over a pseudo-terminal: what it reads and
// writes arrives word for word, what must not be written is not, and every failure has its exit status.
#include "ecusim/EcuSimRunner.h"
#include "ecusim/PseudoTerminal.h"
#include "files/CalibrationFile.h"
#include "link/TransferPlan.h"
#include "tests/support/RepresentableImage.h"
#include "tests/support/RequestLog.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {
struct Run {
    int status = -1;
    QString out;
    QString err;
};

Run Cli(const QStringList &arguments) {
    QProcess process;
    process.start(QStringLiteral(QVR_CLI_PATH), arguments);
    Run run;
    // A bound against a hang, not a measure: every command here ends in a few seconds.
    if (!process.waitForFinished(60000))
        process.kill();
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

// Below "3FA" a fuel word from 0x7FFF up cannot be written word by word (it is a trim request).
QVector<std::uint16_t> writableImage(const QString &version) {
    QVector<std::uint16_t> image = representableImage(version);
    if (!version.startsWith(QLatin1String("3")))
        image[399] = 4000;
    return image;
}

bool SaveFile(const QString &path, const QString &version, const QVector<std::uint16_t> &image) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(EncodeCalibrationFile(version, image)) > 0;
}

QVector<std::uint16_t> LoadImage(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const auto contents = DecodeCalibrationFile(file.readAll());
    return contents ? contents->image : QVector<std::uint16_t>();
}
} // namespace

class CliEcuSimTest : public QObject {
    Q_OBJECT
    EcuSimRunner ecu;
    QTemporaryDir dir;
    QString port;

    QString path(const QString &name) const { return dir.filePath(name); }

    void serve(const QString &version, const QVector<std::uint16_t> &image, int accessBits = 0,
               const QByteArray &faults = {}, bool paced = false) {
        EcuSimConfig config;
        config.paced = paced;
        config.version = version;
        config.image = image;
        config.accessBits = accessBits;
        config.password = "SECRET0000";
        if (!faults.isEmpty())
            QVERIFY(ParseFaultPlan(QString::fromLatin1(faults), &config.faults, nullptr));
        port = ecu.start(config);
        QVERIFY(!port.isEmpty());
    }

private slots:
    void cleanup() { ecu.stop(); }

    void aBackupAndARestoreArriveWordForWord_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("file"); // as the tool names it
        QTest::addColumn<bool>("paced");
        QTest::newRow("3FA1AD") << "3FA1AD1AA"
                                << "backup.f03" << false;
        QTest::newRow("2FA") << "2FA1AD1AA"
                             << "backup.f00" << false;
        // At 9600 baud the live reply that follows "R" is still on its way when the read-back starts.
        QTest::newRow("3FA1AD at the line's pace") << "3FA1AD1AA"
                                                   << "backup.f03" << true;
    }
    void aBackupAndARestoreArriveWordForWord() {
        QFETCH(QString, version);
        QFETCH(QString, file);
        QFETCH(bool, paced);
        const QVector<std::uint16_t> original = writableImage(version);
        serve(version, original, 0, {}, paced);

        const Run read = Cli({QStringLiteral("read"), port, path(QStringLiteral("backup"))});
        QCOMPARE(read.status, 0);
        const int stored = StoredWordCount(version);
        QCOMPARE(LoadImage(path(file)).mid(0, stored), original.mid(0, stored));

        // The ECU forgets; only the restore can bring the calibration back, in the plan's frames.
        ecu.setImage(QVector<std::uint16_t>(1089, 0));
        ecu.clearRequestLog();
        const Run write = Cli({QStringLiteral("write"), port, path(file), QStringLiteral("--verify")});
        QVERIFY2(write.status == 0, qPrintable(write.err));
        QCOMPARE(ecu.image().mid(0, stored), original.mid(0, stored));
        QCOMPARE(WriteFrames(ecu.requestLog()), CalibrationWriteFrames(version, original));
        QVERIFY(write.out.contains(QStringLiteral("the ECU holds")));
    }

    void aVersionMismatchStopsBeforeAnyBlockUnlessForced() {
        const QVector<std::uint16_t> held(1089, 7);
        serve(QStringLiteral("3FA1AC1AA"), held);
        QVERIFY(SaveFile(path(QStringLiteral("other.f03")), QStringLiteral("3FA1AD1AA"),
                         writableImage(QStringLiteral("3FA1AD1AA"))));
        ecu.clearRequestLog();
        const Run refused = Cli({QStringLiteral("write"), port, path(QStringLiteral("other.f03"))});
        QCOMPARE(refused.status, 4);
        QVERIFY(refused.err.contains(QStringLiteral("3FA1AC1AA")));
        QCOMPARE(ecu.image(), held);
        // A file that cannot be read is a file error too, named with its command.
        for (const QString command : {QStringLiteral("write"), QStringLiteral("verify")}) {
            const Run unreadable = Cli({command, port, path(QStringLiteral("missing.f03"))});
            QCOMPARE(unreadable.status, 4);
            QVERIFY2(
                unreadable.err.startsWith(
                    QStringLiteral("qvr-cli: %1: %2: ").arg(command, path(QStringLiteral("missing.f03")))),
                qPrintable(unreadable.err));
        }
        QVERIFY(WriteFrames(ecu.requestLog()).isEmpty());

        QCOMPARE(
            Cli({QStringLiteral("write"), port, path(QStringLiteral("other.f03")), QStringLiteral("--force")})
                .status,
            0);
        QCOMPARE(ecu.image().mid(0, 400), writableImage(QStringLiteral("3FA1AD1AA")).mid(0, 400));
    }

    void verifyAndDiffNameExactlyTheChangedFields() {
        const QString version = QStringLiteral("3FA1AD1AA");
        QVector<std::uint16_t> image = writableImage(version);
        serve(version, image);
        QVERIFY(SaveFile(path(QStringLiteral("a.f03")), version, image));
        QCOMPARE(Cli({QStringLiteral("verify"), port, path(QStringLiteral("a.f03"))}).status, 0);

        image[17] += 5;      // fuel map row 2, load 1
        image[401] = 0x8033; // water table entry 2
        image[510] = 99;     // reserved: never a difference
        QVERIFY(SaveFile(path(QStringLiteral("b.f03")), version, image));
        const Run diff =
            Cli({QStringLiteral("diff"), path(QStringLiteral("a.f03")), path(QStringLiteral("b.f03"))});
        QCOMPARE(diff.status, 1);
        const QStringList lines = diff.out.trimmed().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].startsWith(QStringLiteral("Injection map, ")) &&
                     lines[0].contains(QStringLiteral("load 1")),
                 qPrintable(lines[0]));
        QVERIFY2(lines[1].startsWith(QStringLiteral("Water-temp correction, entry 2:")),
                 qPrintable(lines[1]));
        QVERIFY(lines[1].contains(QStringLiteral("-5.0 -> -5.1")));
        const Run same =
            Cli({QStringLiteral("diff"), path(QStringLiteral("a.f03")), path(QStringLiteral("a.f03"))});
        QCOMPARE(same.status, 0);
        QVERIFY(same.out.isEmpty());

        ecu.setImage(image);
        const Run verify = Cli({QStringLiteral("verify"), port, path(QStringLiteral("a.f03"))});
        QCOMPARE(verify.status, 3);
        QCOMPARE(verify.out.trimmed().split(QLatin1Char('\n')), lines);
    }

    void detectFindsTheOneAnsweringPortAmongSilentOnes() {
        serve(QStringLiteral("3FA1AD1AA"), {});
        PseudoTerminal silent1, silent2;
        QVERIFY(silent1.open(nullptr) && silent2.open(nullptr));
        const Run run = Cli(
            {QStringLiteral("detect"), QStringLiteral("--ports"),
             QStringList{silent1.slavePath(), port, silent2.slavePath(), QStringLiteral("/dev/none")}.join(
                 QLatin1Char(','))});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, port + QStringLiteral("\t3FA1AD1AA\t123456\n"));

        const Run none = Cli({QStringLiteral("detect"), QStringLiteral("--ports"), silent1.slavePath()});
        QCOMPARE(none.status, 2);
        QVERIFY(none.out.isEmpty());
    }

    void aDeadLineEndsWithStatusTwoAndWritesNothingMore_data() {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QByteArray>("faults");
        QTest::addColumn<QString>("error");
        QTest::newRow("hung up during the read")
            << QStringList{QStringLiteral("read"), QStringLiteral("x.f03")} << QByteArray("close=3")
            << "line was lost";
        QTest::newRow("silent during the write")
            << QStringList{QStringLiteral("write"), QStringLiteral("in.f03")}
            << QByteArray("letter=E,silent=1000") << "no answer to \"E\" at word 0";
    }
    void aDeadLineEndsWithStatusTwoAndWritesNothingMore() {
        QFETCH(QStringList, command);
        QFETCH(QByteArray, faults);
        QFETCH(QString, error);
        serve(QStringLiteral("3FA1AD1AA"), {}, 0, faults);
        QVERIFY(SaveFile(path(QStringLiteral("in.f03")), QStringLiteral("3FA1AD1AA"),
                         writableImage(QStringLiteral("3FA1AD1AA"))));
        const Run run = Cli({command[0], port, path(command[1])});
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(error), qPrintable(run.err));
        // One line says what failed and where; the rest of standard error is progress.
        const QStringList said =
            run.err.split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^qvr-cli: ")));
        QCOMPARE(said.size(), 1);
        QVERIFY(said.first().contains(port));
        QVERIFY(!QFile::exists(path(QStringLiteral("x.f03"))));
        // The first block and its five repeats; nothing after the give-up.
        QVERIFY(ecu.requestLetters().count('E') <= 6);
        QVERIFY(!ecu.requestLetters().contains('R'));
    }

    void anAccessModeIsLiftedOnlyWithThePasswordAndSetBack() {
        const QVector<std::uint16_t> image = writableImage(QStringLiteral("3FA1AD1AA"));
        serve(QStringLiteral("3FA1AD1AA"), image, 12);
        const Run refused = Cli({QStringLiteral("read"), port, path(QStringLiteral("c.f03"))});
        QCOMPARE(refused.status, 2);
        QVERIFY(refused.err.contains(QStringLiteral("dashboard only")));
        QVERIFY(!ecu.requestLetters().contains('Z'));
        QCOMPARE(Cli({QStringLiteral("read"), port, path(QStringLiteral("c.f03")),
                      QStringLiteral("--password"), QStringLiteral("wrong")})
                     .status,
                 2);
        QCOMPARE(ecu.accessBits(), 12);

        const Run read = Cli({QStringLiteral("read"), port, path(QStringLiteral("c.f03")),
                              QStringLiteral("--password"), QStringLiteral("secret")});
        QVERIFY2(read.status == 0, qPrintable(read.err));
        QCOMPARE(LoadImage(path(QStringLiteral("c.f03"))), image);
        QCOMPARE(ecu.accessBits(), 12);
    }

    void aLogRecordsTheLiveDataAndConvertsBetweenFormats() {
        serve(QStringLiteral("3FA1AD1AA"), writableImage(QStringLiteral("3FA1AD1AA")));
        const Run log =
            Cli({QStringLiteral("log"), port, path(QStringLiteral("live.mlg")), QStringLiteral("--duration"),
                 QStringLiteral("0.5"), QStringLiteral("--poll-ms"), QStringLiteral("20")});
        QVERIFY2(log.status == 0, qPrintable(log.err));
        QVERIFY(ecu.requestLetters().contains("Zd"));
        QCOMPARE(Cli({QStringLiteral("convert"), path(QStringLiteral("live.mlg")),
                      path(QStringLiteral("live.csv"))})
                     .status,
                 0);
        QFile csv(path(QStringLiteral("live.csv")));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QList<QByteArray> rows = csv.readAll().trimmed().split('\n');
        QVERIFY(rows.size() >= 2);
        QVERIFY(rows.first().contains("Enginespeed [RPM]"));
        QCOMPARE(Cli({QStringLiteral("convert"), path(QStringLiteral("live.mlg")),
                      path(QStringLiteral("live.txt"))})
                     .status,
                 1);
    }
};

QTEST_MAIN(CliEcuSimTest)
#include "CliEcuSimTest.moc"
