#include "app/Application.h"
#include "windows/main/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    // Only the name: a display name would be appended to every window caption.
    QApplication::setApplicationName(QStringLiteral("QVR Fuel"));
    QApplication::setApplicationVersion(QStringLiteral(QVR_VERSION));

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    const QString error = ParseCommandLine(arguments).error;
    if (!error.isEmpty()) {
        std::fprintf(stderr, "qvr-fuel: %s\n", qPrintable(error));
        return 2;
    }

    Application::Options options;
    options.programDirectory = QDir(QApplication::applicationDirPath()).absolutePath() + QLatin1Char('/');
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
