// Polls live data from the simulated ECU paced at 9600 baud and prints the poll rate against the cadence:
// each request follows its reply by the poll wait, and one exchange puts 57 bytes on the line.
// live_poll_bench [seconds] [wait ms ...]: 20 s at 100 ms and at 10 ms unless told otherwise.
#include "app/Application.h"
#include "ecusim/EcuSimRunner.h"
#include "link/Link.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>

namespace {
class FrameCounter {
public:
    void onLiveData() {
        if (frames++ == 0)
            first = clock.nsecsElapsed();
        last = clock.nsecsElapsed();
    }
    QElapsedTimer clock;
    int frames = 0;
    qint64 first = 0, last = 0;
};

// One run of `seconds` at a poll wait of `waitMs`; prints its figures, false when it could not start.
bool PollFor(int seconds, int waitMs) {
    EcuSimRunner ecu;
    EcuSimConfig config;
    config.paced = true;
    const QString path = ecu.start(config);
    if (path.isEmpty()) {
        std::fprintf(stderr, "simulated ECU: %s\n", qPrintable(ecu.lastError()));
        return false;
    }
    const EngineSample engine{
        .rpm = 3500, .injectionUs = 4200, .load1Column10 = 64, .waterTempC = 85, .airTempC = 30};
    ecu.freezeEngine(engine); // no trim requests: pure polling

    const Application::Options options = Application::Options::unattended();
    Application program(
        QStringList{QStringLiteral("-O"), QStringLiteral("--poll-ms"), QString::number(waitMs)}, options);
    AppContext &ctx = program.context();
    ctx.form3->StaticText_version_info->setText(QStringLiteral("3FA1AD1AA"));
    FrameCounter counter;
    QObject::connect(ctx.link, &Link::liveFrameReceived, [&counter] { counter.onLiveData(); });
    ctx.link->setPortName(path);
    if (!ctx.link->OpenPortIfClosed()) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
        return false;
    }
    program.mainWindow()->SetOnline(true);

    QElapsedTimer clock;
    clock.start();
    counter.clock.start();
    ctx.link->RequestLiveData();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double elapsed = clock.elapsed() / 1000.0;
    std::printf("link at the end: last command '%c', poll timer %s, delayed action %d\n",
                ctx.link->state().LastCommand, ctx.link->polling() ? "running" : "stopped",
                ctx.link->state().DelayedAction);
    ctx.link->StopLink();

    const double byteMs = 10.0 * 1000.0 / 9600.0; // start bit, 8 data bits, stop bit
    const double wireMs = 57 * byteMs;
    const double cycleMs = waitMs + wireMs;
    const double cadence = 1000.0 / cycleMs;
    // Frames per second between the first and the last frame: start-up and the end do not count.
    const double span = (counter.last - counter.first) / 1e9;
    const double rate = span > 0 ? (counter.frames - 1) / span : 0.0;
    std::printf("polled for %.1f s at 9600 baud, wait %d ms: %d frames, comm errors %d\n", elapsed, waitMs,
                counter.frames, ctx.link->state().CommErrors);
    std::printf("cadence: %d ms + 57 bytes x %.3f ms = %.1f ms, %.2f polls/s; wire limit %.2f polls/s\n",
                waitMs, byteMs, cycleMs, cadence, 1000.0 / wireMs);
    std::printf("poll rate: %.2f polls/s = %.1f %% of the cadence (goal at least 97 %%: %s), %.1f %% of the "
                "wire limit\n\n",
                rate, rate / cadence * 100.0, rate / cadence >= 0.97 ? "met" : "MISSED",
                rate * wireMs / 10.0);
    ecu.stop();
    return true;
}
} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    const int seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 20;
    QList<int> waits;
    for (int k = 2; k < argc; ++k)
        waits << QString::fromLocal8Bit(argv[k]).toInt();
    if (waits.isEmpty())
        waits = {100, 10};
    for (int wait : waits)
        if (!PollFor(seconds, wait))
            return 1;
    return 0;
}
