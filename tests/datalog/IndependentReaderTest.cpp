// Our binary log read by a converter written by others (npm "mlg-converter", installed under the
// build tree on first run): names, units and values must be what we wrote.
#include <QtTest>
#include <unistd.h>

#include "datalog/LiveChannels.h"
#include "datalog/MlgLog.h"

using namespace Datalog;

namespace {
const Value None;

bool NoNetwork(const QString &output) {
    for (const char *sign :
         {"ENOTFOUND", "EAI_AGAIN", "ECONNREFUSED", "ECONNRESET", "ETIMEDOUT", "ENETUNREACH",
          "Temporary failure resolving", "Could not resolve", "Failed to fetch"})
        if (output.contains(QLatin1String(sign)))
            return true;
    return false;
}

QString Run(const QString &program, const QStringList &args, const QString &dir, int *exitCode) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(dir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DEBIAN_FRONTEND", "noninteractive");
    process.setProcessEnvironment(env);
    process.start(program, args);
    const bool done = process.waitForFinished(480000); // an install on a slow line, not a measurement
    *exitCode = done && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromUtf8(process.readAll());
}
} // namespace

class IndependentReaderTest : public QObject {
    Q_OBJECT
    const QString npmDir = QStringLiteral(QVR_NPM_DIR);

private slots:
    void initTestCase() {
        int rc = 0;
        QString out;
        if (QStandardPaths::findExecutable("npx").isEmpty()) {
            const QStringList apt =
                geteuid() == 0 ? QStringList{"apt-get"} : QStringList{"sudo", "-n", "apt-get"};
            out = Run(apt[0], apt.mid(1) << "update", ".", &rc);
            out += Run(apt[0],
                       apt.mid(1) << "install"
                                  << "-y"
                                  << "nodejs"
                                  << "npm",
                       ".", &rc);
            if (rc != 0 && NoNetwork(out))
                QSKIP(qPrintable("No network to install nodejs and npm:\n" + out));
            QVERIFY2(rc == 0, qPrintable("Installing nodejs and npm failed:\n" + out));
        }
        if (!QFile::exists(npmDir + "/node_modules/mlg-converter/package.json")) {
            QDir().mkpath(npmDir);
            out =
                Run("npm", {"install", "--no-audit", "--no-fund", "--prefix", npmDir, "mlg-converter@0.8.1"},
                    npmDir, &rc);
            if (rc != 0 && NoNetwork(out))
                QSKIP(qPrintable("No network to reach the npm registry:\n" + out));
            QVERIFY2(rc == 0, qPrintable("npm install mlg-converter failed:\n" + out));
        }
    }

    void converterReadsNamesUnitsAndValues_data() {
        QTest::addColumn<int>("version");
        QTest::newRow("format version 1") << 1;
        QTest::newRow("format version 2") << 2;
    }
    void converterReadsNamesUnitsAndValues() {
        QFETCH(int, version);
        // Short frame: Enginespeed, Inject. time, TPS, Air temp., Battery voltage, Corr. fuel, Potmeter,
        // Second Stage/AUX1, Status word, Map row, Map column. The second record is a time-stamp turn later.
        const QList<Channel> channels = ChannelsOf(LiveChannels(LiveFrameKind::Short));
        const QList<Record> records{{0.0, {850, 2.71, 3.4, 25, 12.5, -5, -100, 1, 34824, 3, 4}},
                                    {0.7, {6000, 12.05, None, None, 13.5, 3276.7, None, 0, 0, 25, 16}}};
        const QString file = QDir::current().absoluteFilePath(QString("independent%1.mlg").arg(version));
        MlgLogWriter writer(version);
        QVERIFY(writer.open(file, channels, {"QVR Fuel 3.05", "2FA1AD1AA", "7", {}}));
        QVERIFY(writer.append(records[0]));
        QVERIFY(writer.mark({0.3, "Marker between records"}));
        QVERIFY(writer.append(records[1]));
        QVERIFY(writer.close());

        int rc = 0;
        const QString out = Run("npx", {"--no", "--", "mlg-converter", "--format=csv", file}, npmDir, &rc);
        if (rc != 0 && version == 2 && out.contains("Format (MLVLG) with version (2) not supported.")) {
            qInfo("mlg-converter reads format version 1 only; it refuses version 2.");
            return;
        }
        QVERIFY2(rc == 0, qPrintable(out));
        QFile csv(QString(file).replace(".mlg", ".csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(csv.readAll());
        qInfo("mlg-converter wrote:\n%s", qPrintable(text));

        QList<QStringList> rows;
        for (const QString &line : text.split('\n'))
            rows << line.split(';');
        QCOMPARE(rows.size(), 2 + records.size()); // names, units, records; the marker is left out
        QStringList names{"\"Time\""}, units{"\"s\""};
        for (const Channel &c : channels) {
            names << '"' + c.name + '"';
            units << '"' + QString(c.unit).replace("°C", "C") + '"';
            if (c.mayBeMissing)
                names << '"' + c.name + " valid\"", units << "\"\"";
        }
        QCOMPARE(rows[0], names);
        QCOMPARE(rows[1], units);
        // The sentinels as the converter shows them: U16 x 0.1, S16 x 0.1, S08 x 1.
        const QHash<QString, double> sentinel{
            {"Engine load TPS", 6553.5}, {"Air temp.", -3276.8}, {"Potmeter", -128}};
        for (int r = 0; r < records.size(); ++r) {
            const QStringList &cells = rows[2 + r];
            QCOMPARE(cells[0].toDouble(), records[r].time);
            int cell = 1;
            for (int c = 0; c < channels.size(); ++c, ++cell) {
                const Value v = records[r].values[c];
                const double shown = cells[cell].toDouble();
                QVERIFY2(qAbs(shown - (v ? *v : sentinel.value(channels[c].name))) < 0.001,
                         qPrintable(channels[c].name + ": " + cells[cell]));
                if (channels[c].mayBeMissing)
                    QCOMPARE(cells[++cell], v ? "1" : "0");
            }
        }
    }
};

QTEST_GUILESS_MAIN(IndependentReaderTest)
#include "IndependentReaderTest.moc"
