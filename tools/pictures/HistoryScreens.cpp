// Not a test: starts the program in demo mode, reads the calibration, changes a few cells and an option
// as a tuner would, and saves the compare window (controls against the read), the history window and
// the outcome of a verified write. The history goes to a folder of its own. Run under xvfb-run:
//   history_screens <folder>
#include <QApplication>
#include <QDir>
#include <QTest>
#include <cstdio>

#include "app/AppContext.h"
#include "app/Application.h"
#include "app/CalibrationTransfer.h"
#include "windows/compare/CompareWindow.h"
#include "windows/history/CalibrationHistory.h"
#include "windows/history/HistoryWindow.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    const Application::Options options = Application::Options::unattended();
    Application program(QStringList{QStringLiteral("--demo"), QStringLiteral("-O")}, options);
    program.dialogs().setPresenter([](const DialogRequest &r) {
        std::printf("box: %s\n", qPrintable(r.text));
        return r.buttons.isEmpty() ? DialogButton::Ok : r.buttons.first();
    });
    program.history()->setFolder(folder.filePath(QStringLiteral("history")));
    TForm1 *w = program.mainWindow();
    w->show();
    auto readDone = [w] {
        return w->GroupBox_gauge_up_down_loading->isHidden() && w->AdvStringGrid_fuel->isEnabled();
    };
    if (!QTest::qWaitFor(readDone, 20000))
        std::printf("the read did NOT finish\n");

    // Offline edits: a richer spot in the map and a later fuel cut, then an up-load that would lose them.
    w->Panel_dashbordClick();
    for (int row = 9; row <= 12; ++row)
        for (int column = 7; column <= 10; ++column) {
            const double value = w->AdvStringGrid_fuel->cellValue(column, row);
            w->AdvStringGrid_fuel->setCellValue(column, row, value * (1.02 + 0.02 * (row - 9)));
        }
    w->AdvStringGrid_fuel->setCellValue(3, 4, w->AdvStringGrid_fuel->cellValue(3, 4) * 0.9);
    program.context().form3->SpinEdit_Overrun_fuel_cut_rpm->setValue(2500);
    program.calibrationTransfer()->SpeedButton_UploadClick();
    QTest::qWait(500);
    QTest::qWaitFor(readDone, 20000);

    HistoryWindow *history = program.historyWindow();
    w->onOpenHistory();
    QTest::qWait(300);
    history->grab().save(folder.filePath(QStringLiteral("history-window.png")));
    const QStringList ids = history->selectedIds();
    std::printf("history: %d snapshots\n", history->List_history->rowCount());

    // The "before up-load" snapshot is the newest but one: compare it with what the controls now hold.
    history->List_history->selectRow(1);
    history->compareWithControls();
    CompareWindow *compare = program.compareWindow();
    QTest::qWait(300);
    compare->grab().save(folder.filePath(QStringLiteral("compare-window.png")));
    std::printf("compare: %s\n", qPrintable(compare->Label_compare_summary->text()));
    compare->PageControl_compare->setCurrentIndex(3);
    QTest::qWait(200);
    compare->grab().save(folder.filePath(QStringLiteral("compare-options.png")));

    // Restore the edits and write them, verified.
    history->restore();
    program.calibrationTransfer()->setVerifyAfterWriting(true);
    const int shown = int(program.dialogs().shown().size());
    w->SpeedButton_up_down_loadClick();
    w->SpeedButton_Download->click();
    QTest::qWaitFor([&] { return program.dialogs().shown().size() > shown; }, 30000);
    history->refresh();
    QTest::qWait(300);
    history->grab().save(folder.filePath(QStringLiteral("history-after-write.png")));
    w->hide();
    return 0;
}
