// Test-only tool: runs the program in demo mode, starts a +10 % job on a block of the injection map once
// the simulated ECU is online, and saves the main window and the correction-table window mid-job.
// Usage: edit_job_screens <folder>   (run under xvfb-run)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTest>

#include "app/Application.h"
#include "ecusim/EcuSimRunner.h"
#include "link/Link.h"
#include "link/TransferMachine.h"
#include "windows/correction/CorrectionWindow.h"
#include "windows/main/MainWindow.h"

namespace {
void WaitFor(const std::function<bool()> &done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QTest::qWait(20);
}
} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);

    const Application::Options options = Application::Options::unattended();
    Application program({QStringLiteral("--demo"), QStringLiteral("-O")}, options);
    program.dialogs().setPresenter([](const DialogRequest &request) {
        qInfo("box: %s", qPrintable(request.text));
        return request.buttons.isEmpty() ? DialogButton::Ok : request.buttons.first();
    });
    AppContext &ctx = program.context();
    TransferMachine *steps = &ctx.link->steps();
    EcuSimRunner *ecu = program.demoEcu();
    TForm1 *main = program.mainWindow();
    main->show();

    // The connect sequence and the calibration read run by themselves in demo mode.
    WaitFor([&] { return main->IsOnline() && main->AdvStringGrid_fuel->isEnabled(); }, 30000);
    qInfo("online: %d, grids enabled: %d", main->IsOnline(), main->AdvStringGrid_fuel->isEnabled());
    QTest::qWait(500);

    DataGrid *grid = main->AdvStringGrid_fuel;
    main->AdvStringGrid_fuelClickCell(6, 4);
    grid->selectRange({4, 6, 11, 9});
    main->ShowEditMenu(FuelMapGrid);
    main->AdvSpinEdit_percentvalue->setValue(10.0);
    ecu->clearRequestLog();
    main->Button_ok_editmenu->click();
    WaitFor([&] { return steps->TransferStep == 1; }, 2000);
    WaitFor([&] { return main->Gauge_up_down_loading->value() >= 12; }, 10000);
    main->grab().save(QDir(folder).filePath(QStringLiteral("map_job_midway.png")));
    qInfo("gauge %d of %d, step %d, writes so far %lld", main->Gauge_up_down_loading->value(),
          main->Gauge_up_down_loading->maximum(), steps->TransferStep,
          qlonglong(ecu->requestLetters().count('C')));
    WaitFor([&] { return steps->TransferStep == 0; }, 20000);
    qInfo("after the job: %lld change requests, letters %s", qlonglong(ecu->requestLetters().count('C')),
          ecu->requestLetters().left(60).constData());
    main->grab().save(QDir(folder).filePath(QStringLiteral("map_job_done.png")));

    TForm2 *tables = ctx.form2;
    tables->show();
    QTest::qWait(300);
    tables->AdvStringGridClickCell(CorrectionTable::Water, 1, 2);
    tables->AdvStringGrid_Watertemp->selectRange({2, 1, 14, 1});
    tables->RadioButton_hor_interpol->setChecked(true);
    tables->ShowEditMenu();
    tables->Button_ok_editmenu->click();
    WaitFor([&] { return steps->TransferStep == 200; }, 2000);
    WaitFor([&] { return tables->Gauge_up_down_loading->value() >= 6; }, 10000);
    tables->grab().save(QDir(folder).filePath(QStringLiteral("table_job_midway.png")));
    WaitFor([&] { return steps->TransferStep == 0; }, 20000);
    return 0;
}
