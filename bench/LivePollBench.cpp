// Polls live data from the simulated ECU paced at 9600 baud for 20 s and prints the poll rate against
// the cadence: each request follows its reply by 100 ms, and one exchange puts 57 bytes on the line.
#include "app/Application.h"
#include "ecusim/EcuSimRunner.h"
#include "link/Link.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
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
} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    const int seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 20;

    EcuSimRunner ecu;
    EcuSimConfig config;
    config.paced = true;
    const QString path = ecu.start(config);
    if (path.isEmpty()) {
        std::fprintf(stderr, "simulated ECU: %s\n", qPrintable(ecu.lastError()));
        return 1;
    }
    EngineSample engine;
    engine.rpm = 3500;
    engine.injectionUs = 4200;
    engine.load1Column10 = 64;
    engine.waterTempC = 85;
    engine.airTempC = 30;
    ecu.freezeEngine(engine); // no trim requests: pure polling

    Application::Options options;
    options.programDirectory = QDir::tempPath() + QLatin1Char('/');
    options.useMessageBoxes = false;
    options.createLink = true;
    Application program(QStringList{QStringLiteral("-O")}, options);
    AppContext &ctx = program.context();
    ctx.form3->StaticText_version_info->setText(QStringLiteral("3FA1AD1AA"));
    FrameCounter counter;
    QObject::connect(ctx.link, &Link::liveFrameReceived, [&counter] { counter.onLiveData(); });
    ctx.link->setPortName(path);
    if (!ctx.link->OpenPortIfClosed()) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
        return 1;
    }
    program.mainWindow()->SetOnline(true);

    QElapsedTimer clock;
    clock.start();
    counter.clock.start();
    ctx.link->RequestLiveData();
    QTimer::singleShot(seconds * 1000, &qapp, &QCoreApplication::quit);
    qapp.exec();
    const double elapsed = clock.elapsed() / 1000.0;
    std::printf("link at the end: last command '%c', poll timer %s, delayed action %d\n",
                ctx.link->state().LastCommand, ctx.link->polling() ? "running" : "stopped",
                ctx.link->state().DelayedAction);
    ctx.link->StopLink();

    const double byteMs = 10.0 * 1000.0 / 9600.0; // start bit, 8 data bits, stop bit
    const double cycleMs = 100.0 + 57 * byteMs;
    const double cadence = 1000.0 / cycleMs;
    // Frames per second between the first and the last frame: start-up and the quit do not count.
    const double span = (counter.last - counter.first) / 1e9;
    const double rate = span > 0 ? (counter.frames - 1) / span : 0.0;
    std::printf("polled for %.1f s at 9600 baud: %d frames, comm errors %d\n", elapsed, counter.frames,
                ctx.link->state().CommErrors);
    std::printf("cadence: 100 ms + 57 bytes x %.3f ms = %.1f ms, %.2f polls/s\n", byteMs, cycleMs, cadence);
    std::printf("poll rate: %.2f polls/s = %.1f %% of the cadence (goal at least 97 %%: %s)\n", rate,
                rate / cadence * 100.0, rate / cadence >= 0.97 ? "met" : "MISSED");
    ecu.stop();
    return 0;
}
