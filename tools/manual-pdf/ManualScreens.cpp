// The manual's pictures: starts the program in demo mode (simulated ECU on a pseudo-terminal, paced like the
// real line), waits for the connect and the read, and saves the windows the manual shows, reached the way a
// user reaches them (keys and buttons). Run offscreen at build time:
//   manual-screens <folder>
// Exits with 1 when the demo does not come online, so the build does not ship pictures of an empty program.
#include "app/AppContext.h"
#include "app/Application.h"
#include "windows/chart/ChartWindow.h"
#include "windows/correction/CorrectionWindow.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"
#include "windows/widgets/DataGrid.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace {
void Save(QWidget *window, const QString &folder, const char *name) {
    QTest::qWait(300); // a few live frames and the repaint they cause
    const QString path = QDir(folder).filePath(QString::fromLatin1(name));
    if (!window->grab().save(path))
        std::fprintf(stderr, "manual-screens: cannot write %s\n", qPrintable(path));
}
} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(folder);
    // A folder of its own, so no "com.ini" of the developer's steers the demo.
    QTemporaryDir programDirectory;
    Application::Options options;
    options.programDirectory = programDirectory.path() + QLatin1Char('/');
    options.useMessageBoxes = false;
    Application program({QStringLiteral("--demo"), QStringLiteral("-O")}, options);
    program.dialogs().setPresenter([](const DialogRequest &request) {
        std::fprintf(stderr, "manual-screens: message \"%s\"\n", qPrintable(request.text));
        return request.buttons.isEmpty() ? DialogButton::Ok : request.buttons.first();
    });
    AppContext &ctx = program.context();
    TForm1 *main = program.mainWindow();
    main->show();
    const bool read = QTest::qWaitFor(
        [main] {
            return main->IsOnline() && main->GroupBox_gauge_up_down_loading->isHidden() &&
                   main->AdvStringGrid_fuel->isEnabled();
        },
        60000);
    if (!read) {
        std::fprintf(stderr, "manual-screens: the demo ECU did not come online\n");
        return 1;
    }
    QTest::qWait(1500);
    Save(main, folder, "main-window.png");

    // A block of the injection map selected and its edit menu open.
    main->AdvStringGrid_fuelClickCell(8, 5);
    main->AdvStringGrid_fuel->selectRange({5, 8, 9, 12});
    main->ShowEditMenu(FuelMapGrid);
    Save(main, folder, "edit-menu.png");
    main->Button_cancel_editmenu->click();

    // Alt+R: the chart of a speed row, following the engine.
    QTest::keyClick(main, Qt::Key_R, Qt::AltModifier);
    Save(ctx.form4, folder, "chart.png");
    ctx.form4->hide();

    QTest::keyClick(main, Qt::Key_F5);
    Save(ctx.form2, folder, "correction-tables.png");
    ctx.form2->hide();

    QTest::keyClick(main, Qt::Key_F7);
    Save(main, folder, "up-down-load.png");
    main->Button_cancel_Up_download_menu->click();

    main->SpeedButton_optionsClick();
    Save(main, folder, "information-panel.png");
    main->Button_Change_User_Access_level->click();
    Save(main, folder, "password.png");
    main->Button_Change_password_Cancel->click();
    main->Button_optionsClick();
    TForm3 *optionsWindow = ctx.form3;
    Save(optionsWindow, folder, "options-menu.png");
    optionsWindow->Button_set_communicationport->click();
    Save(optionsWindow, folder, "options-port.png");
    optionsWindow->Button_Cancel_set_communicationportClick();
    optionsWindow->Button_Cancel_Options_menuClick();
    QTest::qWait(200);
    main->hide();
    return 0;
}
