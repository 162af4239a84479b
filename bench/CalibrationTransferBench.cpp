// Connect-and-read and write of a "3FA1AD" calibration against the simulated ECU paced at 9600 baud.
// The simulator paces both directions: it answers a request only once its bytes could have arrived.
// Prints the measured times next to the time the bytes need on the line (960 bytes per second) and, for
// the write, next to the cadence of the step scheduler (each step waits for the next 30 ms tick after its
// acknowledgement).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <cmath>
#include <cstdio>

#include "app/AppContext.h"
#include "app/Application.h"
#include "ecusim/DemoCalibration.h"
#include "ecusim/EcuSimRunner.h"
#include "link/Link.h"
#include "link/TransferMachine.h"
#include "windows/main/MainWindow.h"

namespace {
constexpr double BytesPerSecond = 960.0;

// Reply length of each request, as the ECU answers it.
int replyBytes(const EcuRequest &r) {
    switch (r.letter) {
    case 'V':
        return 11;
    case 'S':
        return 8;
    case 'a':
    case 'A':
    case 'p':
    case 'P':
        return 4;
    case 'Z':
        return 2 * ((std::uint8_t(r.bytes[3]) << 8) | std::uint8_t(r.bytes[4])) + 2;
    case 'd':
        return 56;
    case 'D':
        return 32;
    default:
        return 1;
    }
}

struct LineFigures {
    int bytes = 0;
    double cadenceMs = 0; // write only: each step on the first 30 ms tick after the reply to the one before
};

LineFigures figures(const QList<EcuRequest> &log, bool polls) {
    LineFigures f;
    for (const EcuRequest &r : log) {
        if (!r.valid || (!polls && (r.letter == 'd' || r.letter == 'D')))
            continue;
        const int bytes = int(r.bytes.size()) + replyBytes(r);
        f.bytes += bytes;
        const double wireMs = bytes / BytesPerSecond * 1000.0;
        // A block step re-arms Timer3 when it sends; the next step runs on the first tick after the "Y",
        // which comes once request and reply have crossed the line.
        const bool step = r.letter == 'E' || r.letter == 'C';
        f.cadenceMs += step ? 30.0 * std::ceil(wireMs / 30.0) : wireMs;
    }
    return f;
}

void report(const char *what, double measuredMs, const LineFigures &line, bool cadence) {
    const double wireMs = line.bytes / BytesPerSecond * 1000.0;
    std::printf("%-24s measured %7.0f ms   line %5d bytes = %7.0f ms   measured/line %.2f\n", what,
                measuredMs, line.bytes, wireMs, measuredMs / wireMs);
    if (cadence)
        std::printf("%-24s cadence model %7.0f ms   measured/model %.3f (goal: at most 1.05)\n", "",
                    line.cadenceMs, measuredMs / line.cadenceMs);
}
} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    EcuSimRunner ecu;
    EcuSimConfig config;
    config.version = QStringLiteral("3FA1AD1AA");
    config.image = DemoCalibrationImage();
    config.paced = true;
    const QString path = ecu.start(config);
    if (path.isEmpty()) {
        std::fprintf(stderr, "simulated ECU: %s\n", qPrintable(ecu.lastError()));
        return 1;
    }

    const Application::Options options = Application::Options::unattended();
    Application program(QStringList{QStringLiteral("-O")}, options);
    AppContext &ctx = program.context();
    ctx.link->setPortName(path);
    TForm1 *w = program.mainWindow();

    // Connect and read: from the first showing (which arms the connect) to the decoded image.
    QElapsedTimer clock;
    clock.start();
    w->show();
    const auto readDone = [w] {
        return w->GroupBox_gauge_up_down_loading->isHidden() && w->AdvStringGrid_fuel->isEnabled();
    };
    if (!QTest::qWaitFor(readDone, 20000)) {
        std::fprintf(stderr, "the read did not finish\n");
        return 1;
    }
    const double readMs = double(clock.nsecsElapsed()) / 1e6;
    // The first showing waits one Timer4 interval (60 ms) before "V".
    report("connect + up-load", readMs, figures(ecu.requestLog(), false), false);
    std::printf("%-24s (includes the 60 ms delayed start)\n", "");

    QTest::qWait(300);
    ecu.clearRequestLog();
    clock.restart();
    w->SpeedButton_up_down_loadClick();
    w->SpeedButton_Download->click();
    const auto writeDone = [&] {
        QByteArray letters = ecu.requestLetters();
        letters.replace("d", "");
        return ctx.link->steps().TransferStep == 0 && letters.endsWith('R');
    };
    if (!QTest::qWaitFor(writeDone, 30000)) {
        std::fprintf(stderr, "the write did not finish\n");
        return 1;
    }
    const double writeMs = double(clock.nsecsElapsed()) / 1e6;
    QList<EcuRequest> log;
    for (const EcuRequest &r : ecu.requestLog())
        if (r.letter != 'd')
            log << r;
    LineFigures line = figures(log, false);
    // Fixed waits of the write besides the blocks: two delayed actions (60 ms) each followed by a
    // Timer3 tick (30 ms), and one empty tick for each of the 14 step changes.
    line.cadenceMs += 2 * (60 + 30) + 14 * 30;
    report("down-load", writeMs, line, true);
    std::printf("%-24s %lld block writes\n", "", static_cast<long long>(ecu.requestLetters().count('E')));

    w->hide();
    ctx.link->StopLink();
    ecu.stop();
    return 0;
}
