// What the window program shares with qvr-cli: its down-load puts exactly the frames of the write plan on
// the line, for every firmware, and so does the tool; a live frame becomes the same record whether the
// options window or the calibration image read by the tool supplies the settings; and the options
// window's "Detect" finds the port the tool's detect finds.
#include "core/ResponseCurves.h"
#include "datalog/LogConvert.h"
#include "ecusim/PseudoTerminal.h"
#include "files/CalibrationFile.h"
#include "link/TransferPlan.h"
#include "live/LiveRecorder.h"
#include "session/LiveRecord.h"
#include "tests/support/EcuFixture.h"
#include "tests/support/RepresentableImage.h"
#include "tests/support/RequestLog.h"

#include <QProcess>
#include <QTemporaryDir>

namespace {

int Count(const QList<QByteArray> &frames, char letter) {
    return int(std::count_if(frames.begin(), frames.end(),
                             [letter](const QByteArray &f) { return f.at(0) == letter; }));
}

QString Shown(const Datalog::Value &value, int digits) {
    return value ? QString::number(*value, 'f', digits) : QStringLiteral("missing");
}
} // namespace

class PlanAndRecordTest : public QObject {
    Q_OBJECT
    EcuFixture f;

    void connectTo(const QString &version, const QVector<std::uint16_t> &image) {
        QVERIFY(f.startAndRead(version, image));
    }

private slots:
    void cleanup() { f.stop(); }

    void bothProgramsSendThePlansFramesForEveryFirmware_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("blocks");
        QTest::addColumn<int>("words");
        QTest::newRow("3FA1AD") << "3FA1AD1AA" << 65 << 0;
        QTest::newRow("3FA1AC") << "3FA1AC1AA" << 65 << 0;
        QTest::newRow("3FA1AB") << "3FA1AB1AA" << 40 << 0;
        QTest::newRow("3FA1AA") << "3FA1AA1AA" << 38 << 0;
        QTest::newRow("2FA1AD") << "2FA1AD1AA" << 0 << 510;
    }
    void bothProgramsSendThePlansFramesForEveryFirmware() {
        QFETCH(QString, version);
        QFETCH(int, blocks);
        QFETCH(int, words);
        QVector<std::uint16_t> image = representableImage(version);
        if (!version.startsWith(QLatin1String("3")))
            image[399] = 4000; // a word from 0x7FFF up is a trim request below "3FA"
        connectTo(version, image);

        f.ecu->clearRequestLog();
        LinkTimer(f.link(), 3)->setInterval(QuickStepMs);
        f.main()->SpeedButton_up_down_loadClick();
        QTest::mouseClick(f.main()->SpeedButton_Download, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(f.writeDone(), (words ? 20000 : 8000));
        const QList<QByteArray> window = WriteFrames(f.ecu->requestLog());
        QCOMPARE(Count(window, 'E'), blocks);
        QCOMPARE(Count(window, 'C'), words);
        QCOMPARE(window.last(), QByteArray("R"));
        QCOMPARE(window, CalibrationWriteFrames(version, image));

        // The same calibration from a file, written by the tool once the window program has let go.
        f.link()->GoOffline(OfflineCause::User);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("c.f0x")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(EncodeCalibrationFile(version, image));
        file.close();
        f.ecu->clearRequestLog();
        QProcess cli;
        cli.start(QStringLiteral(QVR_CLI_PATH),
                  {QStringLiteral("write"), f.ecu->slavePath(), file.fileName()});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 0);
        QCOMPARE(WriteFrames(f.ecu->requestLog()), window);
    }

    void aLiveFrameBecomesTheSameRecordInBothPrograms_data() {
        QTest::addColumn<QString>("version");
        QTest::newRow("3FA1AD: load 1, boost factor") << "3FA1AD1AA";
        QTest::newRow("3FA1AA: the map runs on load 2") << "3FA1AA1AA";
        QTest::newRow("2FA: short frames, response curve, correction range") << "2FA1AD1AA";
    }
    void aLiveFrameBecomesTheSameRecordInBothPrograms() {
        QFETCH(QString, version);
        connectTo(version, representableImage(version));
        QTemporaryDir folder;
        LiveRecorder *recorder = f.program->recorder();
        recorder->folder = folder.path();
        QList<QByteArray> frames;
        QObject::connect(f.link(), &Link::liveFrameReceived, recorder, [&](const QByteArray &frame) {
            if (recorder->IsRecording())
                frames << frame;
        });
        QTRY_VERIFY_WITH_TIMEOUT(f.link()->polling(), 3000);
        recorder->Toggle();
        QTRY_VERIFY_WITH_TIMEOUT(recorder->recording().records() >= 4, 5000);
        recorder->Toggle();
        Datalog::Log csv;
        QString error;
        QVERIFY2(Datalog::ReadLog(recorder->recording().csvPath(), &csv, &error), qPrintable(error));
        QCOMPARE(csv.records.size(), frames.size());

        const LiveRecordSettings settings = LiveRecordSettingsFromImage(version, f.ecu->image());
        const QList<Datalog::LiveChannel> channels =
            Datalog::LiveChannels(version.startsWith(QLatin1String("3")) ? Datalog::LiveFrameKind::Long
                                                                         : Datalog::LiveFrameKind::Short);
        QCOMPARE(csv.channels.size(), channels.size());
        const ResponseCurves curves;
        for (int r = 0; r < frames.size(); ++r) {
            const QList<Datalog::Value> values = LiveRecordValues(channels, frames[r], settings, curves);
            for (int c = 0; c < channels.size(); ++c) {
                const int digits = channels[c].channel.digits;
                QVERIFY2(Shown(values[c], digits) == Shown(csv.records[r].values[c], digits),
                         qPrintable(QStringLiteral("record %1, %2: %3 against %4")
                                        .arg(r)
                                        .arg(channels[c].channel.name, Shown(values[c], digits),
                                             Shown(csv.records[r].values[c], digits))));
            }
        }
    }

    void theDetectButtonChoosesTheAnsweringPortAndLeavesTheLinksAlone() {
        connectTo(QStringLiteral("3FA1AD1AA"), {});
        EcuSimRunner other;
        const QString answering = other.start(EcuSimConfig());
        QVERIFY(!answering.isEmpty());
        PseudoTerminal silent;
        QVERIFY(silent.open(nullptr));
        TForm3 *options = f.ctx().form3;
        options->show();
        options->Button_set_communicationportClick();
        QComboBox *ports = options->ComComboBox_set_communicationport;
        ports->clear();
        ports->addItems({silent.slavePath(), f.ecu->slavePath(), answering});
        ports->setCurrentIndex(0);
        const int versionRequests = f.count('V');

        QTest::mouseClick(options->Button_detect_communicationport, Qt::LeftButton);
        QVERIFY(!options->Button_detect_communicationport->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(options->Button_detect_communicationport->isEnabled(), 5000);
        QCOMPARE(ports->currentText(), answering);
        QCOMPARE(other.requestLetters(), QByteArray("VS"));
        // The port the program talks on was not probed.
        QCOMPARE(f.count('V'), versionRequests);
        QVERIFY(f.link()->IsConnected());
        QVERIFY(f.dialogs().shown().isEmpty());
        other.stop();
    }
};

QTEST_MAIN(PlanAndRecordTest)
#include "PlanAndRecordTest.moc"
