// Live polling and the live trim of the whole program against the simulated ECU on a pseudo-terminal.
#include "app/Application.h"
#include "ecusim/EcuSimRunner.h"
#include "link/Link.h"
#include "tests/support/LinkTestAccess.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QMutex>
#include <QTest>
#include <functional>
#include <memory>

namespace {

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
    void connectTo(const QString &version, const EngineSample &engine, const EcuFaultPlan &faults = {}) {
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

        Application::Options options;
        options.programDirectory = QDir::tempPath() + QLatin1Char('/');
        options.useMessageBoxes = false;
        options.createLink = true;
        program = std::make_unique<Application>(QStringList{QStringLiteral("-O")}, options);
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

    void nextPollFollowsEachReplyByAHundredMilliseconds() {
        // Every reply is held back 50 ms: a free-running poll would ask again 50 ms after it.
        EcuFaultPlan slow;
        slow.delayReplies = -1;
        slow.delayMs = 50;
        EngineSample engine;
        engine.rpm = 3000;
        connectTo(QStringLiteral("3FA1AD1AA"), engine, slow);
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
            QVERIFY2(gap >= 90 && gap <= 160, qPrintable(QStringLiteral("gap %1 ms").arg(gap)));
            ++checked;
        }
        QVERIFY(checked >= 10);
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
};

QTEST_MAIN(LiveEcuSimTest)
#include "LiveEcuSimTest.moc"
