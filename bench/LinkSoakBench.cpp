// The link against the simulated ECU with random faults on the line, for as long as it is asked to run:
// polling, up-loads and down-loads in a loop, every write compared word for word with the ECU's image
// once it has succeeded, and now and then the line closed under it. Prints what happened and how much
// the process grew.
//
//   link_soak_bench [seconds=60] [permille=10] [seed=1]
#include "core/Dialogs.h"
#include "core/FirmwareVersion.h"
#include "ecusim/EcuSimRunner.h"
#include "link/Link.h"
#include "link/LinkEnvironment.h"
#include "link/PlanWriter.h"
#include "link/QtSerialPortAdapter.h"
#include "link/TransferPlan.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <random>

namespace {

long RssKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

struct Figures {
    long exchanges = 0;
    long retries = 0;
    long giveUps = 0;
    long linesLost = 0;
    long linesClosed = 0;
    long reconnects = 0;
    long polls = 0;
    long readsVerified = 0;
    long readsFailed = 0;
    long writesVerified = 0;
    long writesFailed = 0;
    long wrongWords = 0;
    long hangs = 0;
};

// Drives one cycle after another: connect, poll a while, read, write, repeat; starts over after each
// way offline.
class Soak : public QObject {
public:
    Soak(EcuSimRunner &ecu, const EcuSimConfig &config, std::uint64_t seed)
        : ecu_(ecu), config_(config), random_(seed), link_(&port_, &dialogs_, &environment_), writer_(link_) {
        environment_.online = false;
        environment_.version = config.version;
        link_.setPortName(ecu_.slavePath());
        link_.steps().addStepRunner([this](int step) { return writer_.RunStep(step); });
        connect(&link_, &Link::versionReceived, this, [this] { progress(); });
        connect(&link_, &Link::serialNumberReceived, this, [this] {
            progress();
            environment_.online = true;
            startPolling();
        });
        connect(&link_, &Link::liveFrameReceived, this, [this] {
            progress();
            ++figures.polls;
            if (--pollsLeft_ == 0)
                startRead();
        });
        connect(&link_, &Link::imageRead, this, [this](int, const QVector<std::uint16_t> &words) {
            progress();
            link_.End(LineActivity::Reading);
            if (words == ecu_.image().mid(0, words.size()))
                ++figures.readsVerified;
            else
                ++figures.readsFailed;
            startWrite();
        });
        connect(&link_, &Link::versionBeforeWrite, this, [this] {
            progress();
            link_.steps().Begin(Step::FuelMap, false);
            link_.ArmDelayedAction(DelayedAction::RunSteps);
        });
        connect(&link_, &Link::stepReady, this, [this] { progress(); });
        connect(&link_, &Link::restartAccepted, this, [this] {
            progress();
            link_.steps().Finish();
            verifyWrite();
            // The link polls again by itself after "R".
            pollsLeft_ = 3 + int(random_() % 20);
        });
        connect(&link_, &Link::commErrorsChanged, this, [this](int count) {
            if (count > 0)
                ++figures.retries;
        });
        connect(&link_, &Link::wentOffline, this, [this](OfflineCause cause) {
            if (qEnvironmentVariableIsSet("SOAK_TRACE"))
                std::fprintf(
                    stderr, "offline (cause %d) after '%c', step %d, activity %d, port %s, ECU saw %s\n",
                    int(cause), link_.state().LastCommand, link_.steps().TransferStep, int(link_.activity()),
                    qPrintable(link_.portName()), ecu_.requestLetters().right(12).constData());
            environment_.online = false;
            if (cause == OfflineCause::GaveUp)
                ++figures.giveUps;
            else if (cause == OfflineCause::LineLost || cause == OfflineCause::WriteFailed)
                ++figures.linesLost;
            // A little quiet, then connect again (the line may be coming back on a new path).
            QTimer::singleShot(500, this, [this] { connectAgain(); });
        });
        watchdog_.setInterval(1000);
        connect(&watchdog_, &QTimer::timeout, this, [this] { watch(); });
        watchdog_.start();
        lastProgress_.start();
        connectAgain();
    }

    Figures figures;
    long faultsInjected() const { return injectedBefore_ + ecu_.faultCounts().total() + figures.linesClosed; }
    EcuFaultCounts faultKinds() const { return ecu_.faultCounts(); }

    // Hangs up the line; the ECU comes back on a new one with the same calibration.
    void closeLine() {
        ++figures.linesClosed;
        injectedBefore_ += ecu_.faultCounts().total();
        EcuSimConfig config = config_;
        config.image = ecu_.image();
        config.faults.randomSeed = random_();
        ecu_.closeLine();
        QTimer::singleShot(300, this, [this, config] { link_.setPortName(ecu_.start(config)); });
    }

private:
    void progress() {
        ++figures.exchanges;
        lastProgress_.restart();
    }

    void connectAgain() {
        if (ecu_.slavePath().isEmpty()) {
            QTimer::singleShot(200, this, [this] { connectAgain(); }); // the line is being replaced
            return;
        }
        ++figures.reconnects;
        environment_.online = false;
        // As the program connects: through the delayed action, which opens reception again.
        link_.Begin(LineActivity::Connecting);
        link_.ArmDelayedAction(DelayedAction::Connect);
    }

    void startPolling() {
        pollsLeft_ = 3 + int(random_() % 20);
        link_.RequestLiveData();
    }

    void startRead() {
        link_.StopLink();
        link_.ResumeReception();
        link_.ReadImage(0, ImageWordCount(config_.version));
    }

    void startWrite() {
        // A new calibration every time, so that a write that did not happen cannot look like one that did.
        written_ = ecu_.image();
        for (int i = 0; i < 400; ++i)
            written_[i] = std::uint16_t(random_() % 4096);
        link_.Request(LineActivity::Writing, [this] {
            link_.StopLink();
            writer_.Prepare(config_.version,
                            [this](int address, int count) { return written_.mid(address, count); });
            link_.ResetCommErrors();
            link_.steps().Begin(Step::VersionCheck, false);
            link_.ArmDelayedAction(DelayedAction::RunSteps);
        });
    }

    void verifyWrite() {
        // The simulator keeps every request it saw; a long soak must not measure that.
        ecu_.clearRequestLog();
        const QVector<std::uint16_t> ecu = ecu_.image();
        long wrong = 0;
        for (const WritePlanStep &step : CalibrationWritePlan(config_.version))
            for (const WriteBlock &block : step.blocks)
                for (int i = block.address; i < block.address + block.words; ++i)
                    if (ecu.value(i) != written_.value(i))
                        ++wrong;
        if (wrong == 0) {
            ++figures.writesVerified;
        } else {
            ++figures.writesFailed;
            figures.wrongWords += wrong;
        }
    }

    void watch() {
        if (lastProgress_.elapsed() < 10000)
            return;
        // Nothing moved for 10 s: the link is stuck somewhere.
        ++figures.hangs;
        std::fprintf(stderr, "hang: activity %d, step %d, last command '%c'\n", int(link_.activity()),
                     link_.steps().TransferStep, link_.state().LastCommand);
        lastProgress_.restart();
        // The way offline brings the next connect.
        link_.GoOffline(OfflineCause::Program);
    }

    EcuSimRunner &ecu_;
    EcuSimConfig config_;
    std::mt19937_64 random_;
    QtSerialPortAdapter port_;
    Dialogs dialogs_; // no presenter: every box answers itself
    FixedLinkEnvironment environment_;
    Link link_;
    PlanWriter writer_;
    QVector<std::uint16_t> written_;
    int pollsLeft_ = 0;
    long injectedBefore_ = 0;
    QTimer watchdog_;
    QElapsedTimer lastProgress_;
};

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 60;
    const int permille = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 10;
    const std::uint64_t seed = argc > 3 ? QString::fromLocal8Bit(argv[3]).toULongLong() : 1;

    EcuSimConfig config;
    config.version = QStringLiteral("3FA1AD1AA");
    config.faults.randomPermille = permille;
    config.faults.randomSeed = seed;
    EcuSimRunner ecu;
    if (ecu.start(config).isEmpty()) {
        std::fprintf(stderr, "simulated ECU: %s\n", qPrintable(ecu.lastError()));
        return 1;
    }
    Soak soak(ecu, config, seed);

    // Now and then the line goes away altogether.
    QTimer closer;
    closer.setInterval(20000);
    QObject::connect(&closer, &QTimer::timeout, &soak, [&soak] { soak.closeLine(); });
    closer.start();

    // The first seconds grow the heap to its working size; growth is measured from there.
    long rssStart = -1;
    QTimer::singleShot(5000, &app, [&rssStart] { rssStart = RssKilobytes(); });
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    const long rssEnd = RssKilobytes();

    const Figures &f = soak.figures;
    const EcuFaultCounts kinds = soak.faultKinds();
    std::printf("soak of %.0f s at %d per mille of faulty replies\n", clock.elapsed() / 1000.0, permille);
    std::printf("exchanges %ld, live frames %ld, reconnects %ld\n", f.exchanges, f.polls, f.reconnects);
    std::printf(
        "faults injected %ld (since the last line: lost %d, cut %d, corrupted %d, split %d, delayed %d; "
        "lines closed %ld)\n",
        soak.faultsInjected(), kinds.lost, kinds.cut, kinds.corrupted, kinds.split, kinds.delayed,
        f.linesClosed);
    std::printf("retries %ld, give-ups %ld, lines lost %ld\n", f.retries, f.giveUps, f.linesLost);
    std::printf("reads verified %ld, failed %ld\n", f.readsVerified, f.readsFailed);
    std::printf("writes verified %ld, failed %ld (%ld wrong words)\n", f.writesVerified, f.writesFailed,
                f.wrongWords);
    std::printf("hangs (no progress for 10 s) %ld\n", f.hangs);
    if (rssStart > 0 && rssEnd > 0)
        std::printf("RSS %ld kB after warm-up, %ld kB at the end: growth %ld kB\n", rssStart, rssEnd,
                    rssEnd - rssStart);
    return f.hangs == 0 && f.writesFailed == 0 ? 0 : 1;
}
