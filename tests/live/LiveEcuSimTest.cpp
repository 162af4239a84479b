// Live polling and the live trim of the whole program against the simulated ECU on a pseudo-terminal.
#include "app/Application.h"
#include "datalog/LogConvert.h"
#include "ecusim/EcuSimRunner.h"
#include "link/Link.h"
#include "live/LiveRecorder.h"
#include "tests/support/LinkTestAccess.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QMutex>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

namespace {

int ChannelIndex(const Datalog::Log &log, const QString &name) {
    for (int k = 0; k < log.channels.size(); ++k)
        if (log.channels[k].name == name)
            return k;
    return -1;
}

Datalog::Log ReadBack(const QString &path) {
    Datalog::Log log;
    QString error;
    if (!Datalog::ReadLog(path, &log, &error))
        qWarning("%s: %s", qPrintable(path), qPrintable(error));
    return log;
}

// Times of the requests as the ECU receives them (its own thread) and of the frames the program accepts.
struct Timeline {
    QElapsedTimer clock;
    QMutex mutex;
    QList<QPair<char, qint64>> requests;
    QList<qint64> replies;

    QList<QPair<char, qint64>> requestsNow() {
        QMutexLocker lock(&mutex);
        return requests;
    }
};

class ReplyClock {
public:
    explicit ReplyClock(Timeline &t) : timeline(t) {}
    void onLiveData(const QByteArray &) {
        timeline.replies.append(timeline.clock.elapsed());
        if (afterFrame)
            afterFrame();
    }
    Timeline &timeline;
    std::function<void()> afterFrame; // runs after the program has handled the frame
};

} // namespace

class LiveEcuSimTest : public QObject {
    Q_OBJECT
    std::unique_ptr<EcuSimRunner> ecu;
    std::unique_ptr<Application> program;
    std::unique_ptr<Timeline> timeline;
    std::unique_ptr<ReplyClock> replyClock;

    AppContext &ctx() { return program->context(); }
    Link *link() { return ctx().link; }

    // The program online on the simulated ECU's line, without the connect sequence.
    void connectTo(const QString &version, const EngineSample &engine, const EcuFaultPlan &faults = {},
                   const QStringList &switches = {}) {
        ecu = std::make_unique<EcuSimRunner>();
        EcuSimConfig config;
        config.version = version;
        config.faults = faults;
        const QString path = ecu->start(config);
        QVERIFY2(!path.isEmpty(), qPrintable(ecu->lastError()));
        ecu->freezeEngine(engine);

        timeline = std::make_unique<Timeline>();
        timeline->clock.start();
        Timeline *t = timeline.get();
        connect(
            ecu->sim(), &EcuSim::requestReceived, ecu->sim(),
            [t](char letter) {
                QMutexLocker lock(&t->mutex);
                t->requests.append({letter, t->clock.elapsed()});
            },
            Qt::DirectConnection);

        const Application::Options options = Application::Options::unattended();
        program = std::make_unique<Application>(QStringList{QStringLiteral("-O")} + switches, options);
        ctx().form3->StaticText_version_info->setText(version);
        replyClock = std::make_unique<ReplyClock>(*timeline);
        // Heard after the program's own answer to the frame.
        QObject::connect(link(), &Link::liveFrameReceived, program->mainWindow(),
                         [clock = replyClock.get()](const QByteArray &frame) { clock->onLiveData(frame); });
        StateOf(link()).PortName = path;
        QVERIFY(link()->OpenPortIfClosed());
        program->mainWindow()->SetOnline(true);
    }

private slots:
    void cleanup() {
        if (program) {
            link()->StopLink();
            program.reset();
        }
        replyClock.reset();
        if (ecu)
            ecu->stop();
        ecu.reset();
        timeline.reset();
    }

    // The documented wait is 100 ms after each reply; a wait shortened for logging is shorter than the
    // reply itself takes on the line and must still never ask while a reply is arriving.
    void nextPollFollowsEachReply_data() {
        QTest::addColumn<int>("waitMs");
        QTest::newRow("documented 100 ms") << 100;
        QTest::newRow("--poll-ms 10") << 10;
    }
    void nextPollFollowsEachReply() {
        QFETCH(int, waitMs);
        // Every reply is held back 50 ms: a free-running poll would ask again 50 ms after it.
        EcuFaultPlan slow;
        slow.delayReplies = -1;
        slow.delayMs = 50;
        EngineSample engine;
        engine.rpm = 3000;
        connectTo(QStringLiteral("3FA1AD1AA"), engine, slow,
                  {QStringLiteral("--poll-ms"), QString::number(waitMs)});
        link()->RequestLiveData();
        QTRY_VERIFY_WITH_TIMEOUT(timeline->replies.size() >= 12, 5000);
        link()->StopLink();

        const auto requests = timeline->requestsNow();
        int checked = 0;
        for (qint64 reply : timeline->replies) {
            auto next = std::find_if(requests.begin(), requests.end(),
                                     [reply](const auto &r) { return r.second >= reply; });
            if (next == requests.end())
                continue;
            QCOMPARE(next->first, 'd');
            const qint64 gap = next->second - reply;
            if (waitMs == 100)
                QVERIFY2(gap >= 90 && gap <= 160, qPrintable(QStringLiteral("gap %1 ms").arg(gap)));
            ++checked;
        }
        QVERIFY(checked >= 10);
        // One request per reply: none was sent while the one before was still being answered.
        QVERIFY2(requests.size() <= timeline->replies.size() + 1,
                 qPrintable(QStringLiteral("%1 requests, %2 replies")
                                .arg(requests.size())
                                .arg(timeline->replies.size())));
        QCOMPARE(StateOf(link()).CommErrors, 0);
        QCOMPARE(program->mainWindow()->Label_Enginespeed_waarde3->text(), QStringLiteral("3000"));
    }

    void trimRequestWritesTheCellAndPollingResumes() {
        EngineSample engine;
        engine.rpm = 2000;    // row 4 on the fixed scale of older firmware
        engine.load1Raw = 50; // load 5.0: column 6
        engine.potentiometer = 10;
        engine.status = 0x8000; // take over the current cell
        connectTo(QStringLiteral("2FA1AD1AA"), engine);
        TForm3 *options = ctx().form3;
        options->SpinEdit_min_engineload->setValue(0);
        options->SpinEdit_max_engineload->setValue(160);
        options->ImagePicker_Respons_type->setCurrentIndex(0);
        DataGrid *fuel = program->mainWindow()->AdvStringGrid_fuel;
        fuel->setCellValue(6, 4, 2.00);

        // Once the first frame has been handled the engine no longer asks, so exactly one trim is made.
        EngineSample quiet = engine;
        quiet.status = 0;
        replyClock->afterFrame = [this, quiet] {
            ecu->freezeEngine(quiet);
            replyClock->afterFrame = nullptr;
        };
        link()->RequestLiveData();
        QTRY_VERIFY_WITH_TIMEOUT(ecu->requestLetters().contains('C'), 3000);

        const QList<EcuRequest> log = ecu->requestLog();
        const auto trim =
            std::find_if(log.begin(), log.end(), [](const EcuRequest &r) { return r.letter == 'C'; });
        QVERIFY(trim != log.end());
        // Word 53 = (4 - 1) x 16 + (6 - 1); 2.20 ms is 220 + 32767 = 32987.
        QCOMPARE(trim->bytes, QByteArray::fromHex("43003580DBD3"));
        QCOMPARE(fuel->cellText(6, 4), QStringLiteral("2.20"));
        QCOMPARE(fuel->cellColor(6, 4), QColor(255, 0, 0));

        // Polling resumes after the acknowledgement.
        const int before = ecu->requestLetters().size();
        QTRY_VERIFY_WITH_TIMEOUT(ecu->requestLetters().size() >= before + 3, 3000);
        const QByteArray letters = ecu->requestLetters();
        const int at = letters.indexOf('C');
        QVERIFY(letters.mid(at + 1).startsWith("DD"));
        QCOMPARE(letters.count('C'), 1);
        QTRY_COMPARE_WITH_TIMEOUT(ecu->image().value(53), std::uint16_t(220), 2000);
        QCOMPARE(StateOf(link()).CommErrors, 0);
    }

    // Every record holds what the dashboard showed for its frame; a shown "---" is a missing value; the
    // CSV and the binary log agree record for record, markers included.
    void recordingHoldsWhatTheDashboardShows_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("waterTempC");
        QTest::addColumn<int>("potentiometer");
        QTest::addColumn<QString>("missing"); // the channel recorded as missing
        QTest::newRow("3FA: long frames") << "3FA1AD1AA" << 85 << 0 << QString();
        QTest::newRow("3FA: water beyond the sensor shows ---") << "3FA1AD1AA" << 140 << 0 << "Watertemp.";
        QTest::newRow("2FA: short frames, potentiometer beyond its range")
            << "2FA1AD1AA" << 85 << 120 << "Potmeter";
    }
    void recordingHoldsWhatTheDashboardShows() {
        QFETCH(QString, version);
        QFETCH(int, waterTempC);
        QFETCH(int, potentiometer);
        QFETCH(QString, missing);
        EngineSample engine;
        engine.rpm = 3500;
        engine.injectionUs = 4200;
        engine.load1Raw = 100;
        engine.load1Column10 = 64;
        engine.waterTempC = waterTempC;
        engine.airTempC = 30;
        engine.potentiometer = potentiometer;
        engine.status = 0x000C; // fuel pump and second stage on
        engine.faults = 0x0101;
        connectTo(version, engine);
        QTemporaryDir folder;
        LiveRecorder *recorder = program->recorder();
        recorder->folder = folder.path();
        link()->RequestLiveData();
        QTRY_VERIFY_WITH_TIMEOUT(timeline->replies.size() >= 1, 3000);
        recorder->Toggle();
        QTRY_VERIFY_WITH_TIMEOUT(recorder->recording().records() >= 2, 5000);
        recorder->MarkNow();
        QTRY_VERIFY_WITH_TIMEOUT(recorder->recording().records() >= 4, 5000);
        const QString csvPath = recorder->recording().csvPath();
        const QString logPath = recorder->recording().logPath();
        recorder->Toggle();
        QVERIFY(!recorder->IsRecording());

        const Datalog::Log csv = ReadBack(csvPath);
        const Datalog::Log log = ReadBack(logPath);
        QVERIFY(csv.records.size() >= 4);
        QCOMPARE(log.records.size(), csv.records.size());
        QCOMPARE(log.channels.size(), csv.channels.size());
        for (int r = 0; r < csv.records.size(); ++r)
            for (int c = 0; c < csv.channels.size(); ++c)
                QVERIFY2(log.records[r].values[c] == csv.records[r].values[c],
                         qPrintable(QStringLiteral("record %1, %2").arg(r).arg(csv.channels[c].name)));

        TForm1 *w = program->mainWindow();
        const bool longFrames = version.startsWith(QLatin1String("3FA"));
        const QString injection =
            (longFrames ? w->Label_injectiontime_waarde2 : w->Label_injectiontime_waarde)->text();
        QMap<QString, Datalog::Value> expected{
            {"Enginespeed", 3500},   {"Inject. time", injection.toDouble()},
            {"Air temp.", 30},       {"Second Stage/AUX1", 1},
            {"Status word", 0x000C}, {"Map row", 7}};
        if (longFrames) {
            expected.insert("Watertemp.", waterTempC <= 135 ? Datalog::Value(waterTempC) : std::nullopt);
            expected.insert("Fuel pump", 1);
            expected.insert("Fault word", 0x0101);
        } else {
            expected.insert("Potmeter", std::nullopt);
        }
        for (const Datalog::Record &record : csv.records)
            for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
                const int c = ChannelIndex(csv, it.key());
                QVERIFY2(c >= 0, qPrintable(it.key()));
                QVERIFY2(record.values[c] == it.value(),
                         qPrintable(it.key() + QStringLiteral(" = ") +
                                    QString::number(record.values[c].value_or(-999))));
            }
        if (!missing.isEmpty())
            QVERIFY(!csv.records.first().values[ChannelIndex(csv, missing)].has_value());
        QCOMPARE(csv.markers.size(), 1);
        QCOMPARE(log.markers.size(), 1);
        QCOMPARE(csv.markers.first().text, QStringLiteral("Marker 1"));
        QCOMPARE(log.markers.first().text, QStringLiteral("Marker 1"));
    }

#ifdef QVR_FUEL_PATH
    // "--record" in the demo, the program killed mid-recording: both files read back whole up to the last
    // flush, which is at most a second old.
    void recordingSurvivesTheProgramBeingKilled() {
        QTemporaryDir home;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess fuel;
        fuel.setProcessEnvironment(environment);
        fuel.start(QStringLiteral(QVR_FUEL_PATH),
                   {QStringLiteral("-O"), QStringLiteral("--demo"), QStringLiteral("--record")});
        QVERIFY(fuel.waitForStarted());
        const QDir logs(home.filePath(QStringLiteral("Documents/QVR Fuel logs")));
        auto csvLines = [&logs] {
            const QStringList csv = logs.entryList({QStringLiteral("*.csv")});
            QFile file(logs.filePath(csv.value(0)));
            return csv.size() == 1 && file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : 0;
        };
        QTRY_VERIFY_WITH_TIMEOUT(csvLines() >= 6, 20000);
        fuel.kill();
        QVERIFY(fuel.waitForFinished());

        const QString base = logs.filePath(logs.entryList({QStringLiteral("*.csv")}).value(0).chopped(4));
        const Datalog::Log csv = ReadBack(base + QStringLiteral(".csv"));
        const Datalog::Log log = ReadBack(base + QStringLiteral(".mlg"));
        QVERIFY(csv.records.size() >= 5);
        QVERIFY(log.records.size() >= 5);
        QCOMPARE(log.channels.size(), csv.channels.size());
        for (const Datalog::Log *read : {&csv, &log})
            for (const Datalog::Record &record : read->records)
                QCOMPARE(record.values.size(), read->channels.size());
    }
#endif
};

QTEST_MAIN(LiveEcuSimTest)
#include "LiveEcuSimTest.moc"
