#include "app/Application.h"
#include "core/ProgramFiles.h"
#include "windows/main/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <cstring>

namespace {
const char HelpText[] =
    "Usage: qvr-fuel [switches]\n"
    "Calibration tool of the QVR fuel-injection ECU: reads, edits, writes and locks its calibration over a\n"
    "serial line and shows the engine live.\n"
    "\n"
    "  -O                     no opening dialog (first or second argument)\n"
    "  -S, -s                 slow link timing for slow adapters (first or second argument)\n"
    "  -1 .. -9               serial port COM1 .. COM9 when com.ini cannot be read\n"
    "  --demo                 connect to a simulated ECU started inside the program\n"
    "  --poll-ms N            wait N ms (10 to 100) after each live reply before the next poll\n"
    "  --record               record the live data from the first live frame on\n"
    "  --verify               read every down-load back and compare it with what was written\n"
    "  --screenshot FILE      save a picture of the main window to FILE and quit\n"
    "  --screenshot-delay MS  with --screenshot: wait MS milliseconds first\n"
    "  -h, --help             print this text and quit\n"
    "  --version              print the version and quit\n"
    "\n"
    "Files: com.ini (serial port) and Language.ini (manual language) beside the program while its folder\n"
    "is writable, otherwise in the user's configuration folder; the PDF manuals beside the program or in\n"
    "<prefix>/share/qvr-fuel/manuals.\n";

// Answered before any window system is touched, so both work on a machine without a display.
bool AnswersInformationSwitch(int argc, char **argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(HelpText, stdout);
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("qvr-fuel %s\n", QVR_VERSION);
            return true;
        }
    }
    return false;
}
} // namespace

int main(int argc, char **argv) {
    if (AnswersInformationSwitch(argc, argv))
        return 0;
    QApplication app(argc, argv);
    // Only the name: a display name would be appended to every window caption.
    QApplication::setApplicationName(QStringLiteral("QVR Fuel"));
    QApplication::setApplicationVersion(QStringLiteral(QVR_VERSION));
#ifdef QVR_APP_ID
    // The desktop entry and the icon the package installs under that name.
    QGuiApplication::setDesktopFileName(QStringLiteral(QVR_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(QVR_APP_ID)));
#endif

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    const QString error = ParseCommandLine(arguments).error;
    if (!error.isEmpty()) {
        std::fprintf(stderr, "qvr-fuel: %s\n", qPrintable(error));
        return 2;
    }

    Application::Options options;
    options.programDirectory = QDir(QApplication::applicationDirPath()).absolutePath() + QLatin1Char('/');
    ProgramFiles::Locate(options.programDirectory).writeLanguageAtFirstStart(SystemLanguage());
    Application program(arguments, options);
    TForm1 *main = program.mainWindow();
    main->show();

    const QString screenshot = ScreenshotPath(arguments);
    if (!screenshot.isEmpty()) {
        // Picture the main window once it has settled (longer with "--screenshot-delay ms", e.g. to let
        // the demo ECU connect), then quit.
        const int at = arguments.indexOf(QStringLiteral("--screenshot-delay"));
        const int delay = at >= 0 ? std::clamp(arguments.value(at + 1).toInt(), 0, 60000) : 400;
        QTimer::singleShot(delay, main, [main, screenshot] {
            main->grab().save(screenshot);
            QApplication::exit(0);
        });
    }
    return app.exec();
}
