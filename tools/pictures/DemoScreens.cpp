// Not a test: starts the program in demo mode (paced simulated ECU), waits for the connect and read,
// and saves the main window as it then looks, once more after the lock. Run under xvfb-run:
//   connect_demo_screens <folder>
#include <QApplication>
#include <QDir>
#include <QTest>
#include <cstdio>

#include "app/AppContext.h"
#include "app/Application.h"
#include "windows/main/MainWindow.h"

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    Application::Options options;
    options.programDirectory = QDir::tempPath() + QLatin1Char('/');
    Application program(QStringList{QStringLiteral("--demo"), QStringLiteral("-O")}, options);
    TForm1 *w = program.mainWindow();
    w->show();
    const bool read = QTest::qWaitFor(
        [w] { return w->GroupBox_gauge_up_down_loading->isHidden() && w->AdvStringGrid_fuel->isEnabled(); },
        15000);
    QTest::qWait(1500); // a few live frames
    w->grab().save(QDir(folder).filePath(QStringLiteral("connected.png")));
    std::printf("read %s, online %d, not locked %d, title \"%s\"\n", read ? "done" : "NOT done",
                w->IsOnline(), w->DataNotLocked(), qPrintable(w->windowTitle()));
    w->SpeedButton_up_down_loadClick();
    w->SpeedButton_lock_unlock->click();
    QTest::qWaitFor([w] { return !w->DataNotLocked(); }, 5000);
    QTest::qWait(800);
    w->grab().save(QDir(folder).filePath(QStringLiteral("locked.png")));
    std::printf("after lock: online %d, not locked %d, title \"%s\"\n", w->IsOnline(), w->DataNotLocked(),
                qPrintable(w->windowTitle()));
    w->hide();
    return 0;
}
