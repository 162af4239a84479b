// The two edit menus and the correction-table window's events, acted through the named controls of the
// real windows, offline: jobs change the cells one step at a time and end the way each window ends them.
#include "tests/support/LinkTestAccess.h"
#include <QRadioButton>
#include <QTest>

#include "EditFixture.h"

namespace {

void Click(DataGrid *grid, int column, int row, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers, CellCentre(grid, column, row));
}

void Fill(DataGrid *grid, int left, int top, int right, int bottom, double value) {
    for (int row = top; row <= bottom; ++row)
        for (int column = left; column <= right; ++column)
            grid->setCellValue(column, row, value);
}

} // namespace

class EditMenuWindowTest : public QObject {
    Q_OBJECT
    EditFixture f;

private slots:
    void init() { f.start(); }
    void cleanup() { f.stop(); }

    void percentJobOfflineChangesEveryCellWithTheGaugeThenCloses() {
        TForm1 *main = f.main();
        DataGrid *grid = main->AdvStringGrid_fuel;
        Fill(grid, 2, 3, 4, 4, 40.0);
        grid->setCellValue(3, 4, 10.0);
        Click(grid, 2, 3);
        QVERIFY(main->GroupBox_Edit_menu->isVisible());
        grid->selectRange({2, 3, 4, 4});
        f.ctx().LiveTracking = false;
        main->AdvSpinEdit_percentvalue->setValue(10.0);
        QTest::mouseClick(main->Button_ok_editmenu, Qt::LeftButton);
        QCOMPARE(StateOf(f.link()).DelayedAction, 2);
        QVERIFY(LinkTimer(f.link(), 4)->isActive());

        QTRY_VERIFY(main->GroupBox_gauge_up_down_loading->isVisible());
        QCOMPARE(main->GroupBox_gauge_up_down_loading->title(), QStringLiteral("Changing data"));
        QCOMPARE(main->Gauge_up_down_loading->maximum(), 6);
        QVERIFY(main->GroupBox_Edit_menu->isVisible()); // the menu stays while the job runs
        QVERIFY(f.waitForJobEnd());

        for (int column = 2; column <= 4; ++column)
            QCOMPARE(grid->cellText(column, 3), QStringLiteral("40.95"));
        QCOMPARE(grid->cellText(3, 4), QStringLiteral("11.00"));
        QCOMPARE(grid->cellText(4, 4), QStringLiteral("40.95"));
        QCOMPARE(grid->cellText(5, 3), QStringLiteral("0.00"));
        QVERIFY(!main->GroupBox_gauge_up_down_loading->isVisible());
        QVERIFY(!main->GroupBox_Edit_menu->isVisible());
        const DataGrid::Range range = grid->selectionRange();
        QCOMPARE(QList<int>({range.left, range.top, range.right, range.bottom}), QList<int>({2, 3, 2, 3}));
        QVERIFY(f.ctx().LiveTracking);
        // Polling would resume at once, not through a delayed action.
        QVERIFY(!(LinkTimer(f.link(), 4)->isActive() && StateOf(f.link()).DelayedAction == 3));
        QVERIFY(f.shown.isEmpty());
    }

    void twoCellsRunWithoutTheGauge() {
        TForm1 *main = f.main();
        DataGrid *grid = main->AdvStringGrid_fuel;
        grid->selectRange({7, 9, 8, 9});
        main->AdvSpinEdit_setvalue->setValue(12.34);
        QVERIFY(main->RadioButton_setvalue->isChecked());
        QTest::mouseClick(main->Button_ok_editmenu, Qt::LeftButton);
        bool gaugeSeen = false;
        QElapsedTimer clock;
        clock.start();
        while (f.machine()->TransferStep == 0 && clock.elapsed() < 2000)
            QTest::qWait(5);
        while (f.machine()->TransferStep != 0 && clock.elapsed() < 4000) {
            gaugeSeen = gaugeSeen || main->GroupBox_gauge_up_down_loading->isVisible();
            QTest::qWait(5);
        }
        QVERIFY(!gaugeSeen);
        QCOMPARE(grid->cellText(7, 9), QStringLiteral("12.34"));
        QCOMPARE(grid->cellText(8, 9), QStringLiteral("12.34"));
        QCOMPARE(grid->cellText(9, 9), QStringLiteral("0.00"));
    }

    void interpolationsOfflineAndTheirDelayedPollingResume() {
        TForm1 *main = f.main();
        DataGrid *grid = main->AdvStringGrid_fuel;
        grid->setCellValue(3, 2, 1.0);
        grid->setCellValue(3, 6, 3.0);
        grid->setCellValue(4, 2, 8.0);
        grid->setCellValue(4, 6, 0.0);
        grid->selectRange({3, 2, 4, 6});
        main->RadioButton_ver_interpol->setChecked(true);
        QTest::mouseClick(main->Button_ok_editmenu, Qt::LeftButton);
        QVERIFY(f.waitForJobEnd());
        const QStringList left{"1.00", "1.50", "2.00", "2.50", "3.00"};
        const QStringList right{"8.00", "6.00", "4.00", "2.00", "0.00"};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(grid->cellText(3, 2 + i), left[i]);
            QCOMPARE(grid->cellText(4, 2 + i), right[i]);
        }
        QCOMPARE(StateOf(f.link()).DelayedAction, 3);

        // One column across: horizontal interpolation has nothing to do and ends at once.
        grid->setCellValue(10, 10, 5.0);
        grid->selectRange({10, 10, 10, 12});
        main->RadioButton_hor_interpol->setChecked(true);
        main->GroupBox_Edit_menu->show();
        StateOf(f.link()).DelayedAction = 0;
        QTest::mouseClick(main->Button_ok_editmenu, Qt::LeftButton);
        QTRY_COMPARE(StateOf(f.link()).DelayedAction, 3);
        QCOMPARE(f.machine()->TransferStep, 0);
        QCOMPARE(grid->cellText(10, 10), QStringLiteral("5.00"));
        QCOMPARE(grid->cellText(10, 11), QStringLiteral("0.00"));
        QVERIFY(!main->GroupBox_Edit_menu->isVisible());
    }

    void menuFieldsCheckTheirOperationAndFlipTheSign() {
        TForm1 *main = f.main();
        Click(main->AdvStringGrid_fuel, 1, 1);
        QVERIFY(main->GroupBox_Edit_menu->isVisible());
        QDoubleSpinBox *percent = main->AdvSpinEdit_percentvalue;
        main->RadioButton_hor_interpol->setChecked(true);
        QTest::mouseClick(percent, Qt::LeftButton);
        QVERIFY(main->RadioButton_percentvalue->isChecked());
        main->AdvSpinEdit_setvalue->setValue(3.0);
        QVERIFY(main->RadioButton_setvalue->isChecked());

        percent->setFocus();
        percent->setValue(5.5);
        QTest::keyClick(percent, Qt::Key_Minus);
        QCOMPARE(percent->value(), -5.5);
        QTest::keyClick(percent, Qt::Key_Minus);
        QCOMPARE(percent->value(), -5.5);
        QTest::keyClick(percent, Qt::Key_Equal);
        QCOMPARE(percent->value(), 5.5);
        percent->setValue(-7.0);
        QTest::keyClick(percent, Qt::Key_Plus);
        QCOMPARE(percent->value(), 7.0);
        // Over a 0 or a selected text the minus starts a negative number; the page step is 1.
        percent->setValue(0.0);
        QTest::keyClicks(percent, "-5");
        QCOMPARE(percent->value(), -5.0);
        percent->selectAll();
        QTest::keyClicks(percent, "-2");
        QTest::keyClick(percent, Qt::Key_PageUp);
        QCOMPARE(percent->value(), -1.0);

        // Opening the menu over the other map keeps the operation even when the value must move.
        main->AdvSpinEdit_setvalue->setValue(0.0);
        main->RadioButton_ver_interpol->setChecked(true);
        main->ShowEditMenu(BoostMapGrid);
        main->AdvSpinEdit_setvalue->setValue(-200.0);
        main->RadioButton_ver_interpol->setChecked(true);
        main->ShowEditMenu(FuelMapGrid);
        QCOMPARE(main->AdvSpinEdit_setvalue->value(), 0.0);
        QVERIFY(main->RadioButton_ver_interpol->isChecked());

        // Enter in the set-value field acts as "&Ok".
        main->AdvSpinEdit_setvalue->setFocus();
        QTest::keyClick(main->AdvSpinEdit_setvalue, Qt::Key_Return);
        QCOMPARE(StateOf(f.link()).DelayedAction, 2);
        QVERIFY(LinkTimer(f.link(), 4)->isActive());
        QVERIFY(f.waitForJobEnd());
    }

    void cancelLeavesTheCellsAndResumesTracking() {
        TForm1 *main = f.main();
        DataGrid *grid = main->AdvStringGrid_fuel;
        grid->setCellValue(5, 5, 1.25);
        Click(grid, 5, 5);
        grid->selectRange({5, 5, 9, 8});
        f.ctx().LiveTracking = false;
        main->AdvSpinEdit_percentvalue->setValue(50.0);
        QTest::mouseClick(main->Button_cancel_editmenu, Qt::LeftButton);
        QVERIFY(!main->GroupBox_Edit_menu->isVisible());
        QVERIFY(f.ctx().LiveTracking);
        QVERIFY(grid->hasFocus());
        const DataGrid::Range range = grid->selectionRange();
        QCOMPARE(QList<int>({range.left, range.top, range.right, range.bottom}), QList<int>({5, 5, 5, 5}));
        QTest::qWait(150);
        QCOMPARE(grid->cellText(5, 5), QStringLiteral("1.25"));
        QCOMPARE(f.machine()->TransferStep, 0);
    }

    void cancelDuringAJobOnlyHidesTheMenu() {
        TForm1 *main = f.main();
        DataGrid *grid = main->AdvStringGrid_fuel;
        Click(grid, 1, 20);
        grid->selectRange({1, 20, 16, 20});
        main->AdvSpinEdit_setvalue->setValue(2.0);
        QTest::mouseClick(main->Button_ok_editmenu, Qt::LeftButton);
        QTRY_COMPARE(grid->cellText(2, 20), QStringLiteral("2.00"));
        QTest::mouseClick(main->Button_cancel_editmenu, Qt::LeftButton);
        QVERIFY(!main->GroupBox_Edit_menu->isVisible());
        QVERIFY(f.waitForJobEnd());
        QCOMPARE(grid->cellText(16, 20), QStringLiteral("2.00"));
    }

    void noEditJobCutsIntoARunningCalibrationWrite() {
        TForm1 *main = f.main();
        DataGrid *grid = main->AdvStringGrid_fuel;
        grid->selectRange({1, 1, 3, 1});
        main->AdvSpinEdit_setvalue->setValue(9.0);
        f.machine()->TransferStep = 5;
        f.machine()->StepReady = false;
        main->ShowEditMenu(FuelMapGrid);
        QTest::mouseClick(main->Button_ok_editmenu, Qt::LeftButton);
        QTest::qWait(200);
        QCOMPARE(f.machine()->TransferStep, 5);
        QCOMPARE(grid->cellText(1, 1), QStringLiteral("0.00"));
        f.machine()->Finish();
    }

    // ---- the correction-table window ----

    void tableClicksChooseTheTableAndOpenTheMenuOnValuesOnly() {
        f.showTables();
        TForm2 *w = f.tables();
        QVERIFY(!w->GroupBox_Edit_menu->isVisible());
        QVERIFY(!w->findChild<QRadioButton *>(QStringLiteral("RadioButton_ver_interpol")));
        Click(w->AdvStringGrid_battery, 3, 0);
        QCOMPARE(w->TableSelector, CorrectionTable::Battery);
        QVERIFY(!f.main()->DataCellClicked);
        QVERIFY(!w->GroupBox_Edit_menu->isVisible());

        Click(w->AdvStringGrid_luchttemp, 4, 1);
        QCOMPARE(w->TableSelector, CorrectionTable::Air);
        QVERIFY(f.main()->DataCellClicked);
        QCOMPARE(w->SelectedTableColumn, 4);
        QVERIFY(w->GroupBox_Edit_menu->isVisible());

        // Column 0 holds a value like the others.
        Click(w->AdvStringGrid_Watertemp, 0, 1);
        QCOMPARE(w->SelectedTableColumn, 0);
        QCOMPARE(w->AdvStringGrid_Watertemp->selectionRange().left, 0);

        // Shift+arrow opens the menu for the table it happens in; Ctrl+Shift+arrow does not.
        w->GroupBox_Edit_menu->hide();
        Click(w->AdvStringGrid_battery, 2, 1);
        w->GroupBox_Edit_menu->hide();
        w->TableSelector = CorrectionTable::Water;
        QTest::keyClick(w->AdvStringGrid_battery, Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier);
        QVERIFY(!w->GroupBox_Edit_menu->isVisible());
        QTest::keyClick(w->AdvStringGrid_battery, Qt::Key_Right, Qt::ShiftModifier);
        QVERIFY(w->GroupBox_Edit_menu->isVisible());
        QCOMPARE(w->TableSelector, CorrectionTable::Battery);

        // A header click in the main window stops Shift+arrow from opening the table menu.
        w->GroupBox_Edit_menu->hide();
        f.main()->AdvStringGrid_fuelClickCell(0, 3);
        QTest::keyClick(w->AdvStringGrid_battery, Qt::Key_Right, Qt::ShiftModifier);
        QVERIFY(!w->GroupBox_Edit_menu->isVisible());
    }

    void tableSignKeysChangeTheCellOnly() {
        f.showTables();
        TForm2 *w = f.tables();
        DataGrid *grid = w->AdvStringGrid_Watertemp;
        grid->setCellValue(6, 1, 12.5);
        grid->setCellValue(7, 1, 0.0);
        Click(grid, 6, 1);
        w->GroupBox_Edit_menu->hide();
        StateOf(f.link()).DelayedAction = 0;
        QTest::keyClick(grid, Qt::Key_Minus);
        QCOMPARE(grid->cellText(6, 1), QStringLiteral("-12.5"));
        QTest::keyClick(grid, Qt::Key_Minus);
        QCOMPARE(grid->cellText(6, 1), QStringLiteral("-12.5"));
        QTest::keyClick(grid, Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(grid->cellText(6, 1), QStringLiteral("-12.5"));
        QTest::keyClick(grid, Qt::Key_Equal);
        QCOMPARE(grid->cellText(6, 1), QStringLiteral("12.5"));
        QCOMPARE(w->SelectedTableColumn, 6); // the key did not move the cursor
        Click(grid, 7, 1);
        QTest::keyClick(grid, Qt::Key_Minus);
        QCOMPARE(grid->cellText(7, 1), QStringLiteral("0.0"));

        // No clamp: a battery value beyond 10 ms keeps its size.
        DataGrid *battery = w->AdvStringGrid_battery;
        battery->setCellValue(1, 1, -12.0);
        Click(battery, 1, 1);
        QTest::keyClick(battery, Qt::Key_Plus);
        QCOMPARE(battery->cellText(1, 1), QStringLiteral("12.00"));
        QCOMPARE(f.machine()->TransferStep, 0);
        QCOMPARE(StateOf(f.link()).DelayedAction, 0);
    }

    void spaceAndF1InTheTableWindow() {
        f.showTables();
        TForm2 *w = f.tables();
        int manuals = 0;
        f.main()->onOpenManual = [&manuals] { ++manuals; };
        w->AdvStringGrid_luchttemp->setFocus();
        f.ctx().LiveTracking = false;
        QTest::keyClick(w->AdvStringGrid_luchttemp, Qt::Key_Space);
        QVERIFY(f.ctx().LiveTracking);
        QTest::keyClick(w->AdvStringGrid_luchttemp, Qt::Key_F1);
        QCOMPARE(manuals, 1);
        QTest::keyClick(w->AdvSpinEdit_setvalue, Qt::Key_F1);
        QCOMPARE(manuals, 2);
        QTest::keyClick(w, Qt::Key_F1);
        QCOMPARE(manuals, 3);
    }

    void batterySetValueIsClampedAndEndsThroughADelayedAction() {
        f.showTables();
        TForm2 *w = f.tables();
        DataGrid *battery = w->AdvStringGrid_battery;
        Click(battery, 2, 1);
        battery->selectRange({2, 1, 5, 1});
        w->AdvSpinEdit_setvalue->setValue(50.0);
        QVERIFY(w->RadioButton_setvalue->isChecked());
        f.ctx().LiveTracking = false;
        QTest::mouseClick(w->Button_ok_editmenu, Qt::LeftButton);
        QCOMPARE(StateOf(f.link()).DelayedAction, 8);
        QTRY_VERIFY(w->GroupBox_gauge_up_down_loading->isVisible());
        QCOMPARE(w->Gauge_up_down_loading->maximum(), 4);
        QVERIFY(f.waitForJobEnd());
        for (int column = 2; column <= 5; ++column)
            QCOMPARE(battery->cellText(column, 1), QStringLiteral("10.00"));
        QCOMPARE(battery->cellText(6, 1), QStringLiteral("0.00"));
        QCOMPARE(StateOf(f.link()).DelayedAction, 3);
        QVERIFY(!w->GroupBox_Edit_menu->isVisible());
        QVERIFY(!w->GroupBox_gauge_up_down_loading->isVisible());
        QVERIFY(f.ctx().LiveTracking);
        QCOMPARE(battery->selectionRange().right, 2);
    }

    void tableInterpolationAndPercentWorkOnTheSelectedTable() {
        f.showTables();
        TForm2 *w = f.tables();
        DataGrid *water = w->AdvStringGrid_Watertemp;
        water->setCellValue(0, 1, 0.0);
        water->setCellValue(4, 1, 40.0);
        Click(water, 0, 1);
        water->selectRange({0, 1, 4, 1});
        w->RadioButton_hor_interpol->setChecked(true);
        QTest::keyClick(water, Qt::Key_Return); // Enter outside the fields acts as "&Ok" too
        QVERIFY(f.waitForJobEnd());
        const QStringList line{"0.0", "10.0", "20.0", "30.0", "40.0"};
        for (int column = 0; column <= 4; ++column)
            QCOMPARE(water->cellText(column, 1), line[column]);

        // Percent, Enter in the percent field, clamp at 100 %.
        DataGrid *pressure = w->AdvStringGrid_Air_pressure;
        pressure->setCellValue(30, 1, 95.0);
        pressure->setCellValue(31, 1, -20.0);
        Click(pressure, 30, 1);
        pressure->selectRange({30, 1, 31, 1});
        w->AdvSpinEdit_percentvalue->setValue(10.0);
        w->AdvSpinEdit_percentvalue->setFocus();
        QTest::keyClick(w->AdvSpinEdit_percentvalue, Qt::Key_Enter);
        QVERIFY(f.waitForJobEnd());
        QCOMPARE(pressure->cellText(30, 1), QStringLiteral("100.0"));
        QCOMPARE(pressure->cellText(31, 1), QStringLiteral("-22.0"));
        QCOMPARE(water->cellText(4, 1), QStringLiteral("40.0"));
    }

    void tableCancelAndShowingResetTheColumn() {
        f.showTables();
        TForm2 *w = f.tables();
        DataGrid *air = w->AdvStringGrid_luchttemp;
        Click(air, 9, 1);
        air->selectRange({9, 1, 12, 1});
        f.ctx().LiveTracking = false;
        QTest::keyClick(w->AdvSpinEdit_setvalue, Qt::Key_Escape);
        QVERIFY(!w->GroupBox_Edit_menu->isVisible());
        QVERIFY(f.ctx().LiveTracking);
        QCOMPARE(air->selectionRange().right, 9);
        QVERIFY(air->hasFocus());
        QCOMPARE(w->SelectedTableColumn, 9);
        w->hide();
        f.ctx().form3->StaticText_version_info->setText(QStringLiteral("3FA1AA1AA"));
        f.showTables();
        QCOMPARE(w->SelectedTableColumn, 0);
        QVERIFY(!w->AdvStringGrid_Air_pressure->isVisible());
        QVERIFY(w->AdvStringGrid_battery->isVisible());
    }
};

QTEST_MAIN(EditMenuWindowTest)
#include "EditMenuWindowTest.moc"
