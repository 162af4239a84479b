#include "tests/support/AppFixture.h"

#include "rules/MapCells.h"

#include <QSignalSpy>

namespace {
const QColor Silver(192, 192, 192);
const QColor Yellow(255, 255, 0);

QPoint cellCentre(DataGrid *grid, int column, int row) {
    return grid->visualItemRect(grid->item(row, column)).center();
}
} // namespace

class MapGridsTest : public QObject {
    Q_OBJECT
    AppFixture app;

    TForm1 *w() { return app.main(); }
    QGroupBox *menu() { return w()->findChild<QGroupBox *>(QStringLiteral("GroupBox_Edit_menu")); }
    void showBoostTab() {
        app.ctx().form3->ComboBox_Engineloadsensor_Throttle_or_Map->setCurrentIndex(2);
        w()->ApplyBoostTabVisibility();
        w()->xpPageControl_injection->setCurrentWidget(w()->xpTabSheet_injection_boost_correction);
    }
    void click(DataGrid *grid, int column, int row) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(grid, column, row));
    }

private slots:
    void init() {
        app.start();
        w()->EnableMapGrids(true);
        w()->activateWindow();
    }
    void cleanup() { app.stop(); }

    void headersShowSpeedRowsAndPaddedLoadColumns() {
        for (DataGrid *grid : {w()->AdvStringGrid_fuel, w()->AdvStringGrid_injection_boost_correction}) {
            QCOMPARE(grid->columnCount(), 17);
            QCOMPARE(grid->rowCount(), 26);
            QCOMPARE(grid->cellText(0, 0), QString());
            QCOMPARE(grid->cellText(1, 0), QStringLiteral("    0"));
            QCOMPARE(grid->cellText(10, 0), QStringLiteral("    9"));
            QCOMPARE(grid->cellText(11, 0), QStringLiteral("   10"));
            QCOMPARE(grid->cellText(16, 0), QStringLiteral("   15"));
            QCOMPARE(grid->columnWidth(5), 40);
            QCOMPARE(grid->rowHeight(5), 18);
            QCOMPARE(grid->item(3, 3)->textAlignment(), int(Qt::AlignCenter));
        }
        // Row headers come from the options' RPM range; a fresh start has the 500-rpm scale.
        QCOMPARE(w()->AdvStringGrid_fuel->cellText(0, 1), QStringLiteral("500"));
        QCOMPARE(w()->AdvStringGrid_fuel->cellText(0, 25), QStringLiteral("12500"));
    }

    void cellsHoldTheirMapsFormatAndRawWord() {
        w()->SetMapCell(FuelMapGrid, 3, 2, 12.3456);
        QCOMPARE(w()->AdvStringGrid_fuel->cellText(3, 2), QStringLiteral("12.35"));
        QCOMPARE(w()->MapCell(FuelMapGrid, 3, 2), 12.35);
        QCOMPARE(MapRawValue(FuelMapGrid, w()->MapCell(FuelMapGrid, 3, 2)), 1235);
        // address (2 - 1) x 16 + (3 - 1) = 18, value 1235 = 0x04D3
        QCOMPARE(w()->MapCellPayload(FuelMapGrid, 3, 2), QByteArray::fromHex("001204D3"));

        w()->SetMapCell(BoostMapGrid, 16, 25, -12.34);
        QCOMPARE(w()->AdvStringGrid_injection_boost_correction->cellText(16, 25), QStringLiteral("-12.3"));
        // address 689 + 399 = 1088 = 0x0440; -123 in sign and magnitude is 0x807B
        QCOMPARE(w()->MapCellPayload(BoostMapGrid, 16, 25), QByteArray::fromHex("0440807B"));
        QCOMPARE(w()->AdvStringGrid_fuel->cellText(16, 25), QStringLiteral("0.00"));
    }

    void rawValuesRoundHalvesToEven() {
        QCOMPARE(MapRawValue(FuelMapGrid, 12.125), 1212);
        QCOMPARE(MapRawValue(FuelMapGrid, 40.95), 4095);
        QCOMPARE(MapRawValue(BoostMapGrid, 0.25), 2);
        QCOMPARE(MapRawValue(BoostMapGrid, -500.0), -5000);
        QCOMPARE(MapCellAddress(MapBase(FuelMapGrid), 16, 25), 399);
        QCOMPARE(MapCellAddress(MapBase(BoostMapGrid), 1, 1), 689);
        QCOMPARE(MapCellAddress(MapBase(BoostMapGrid), 16, 25), 1088);
        QCOMPARE(ClampMapValue(FuelMapGrid, 41.0), 40.95);
        QCOMPARE(ClampMapValue(FuelMapGrid, -0.5), 0.0);
        QCOMPARE(ClampMapValue(BoostMapGrid, -600.0), -500.0);
        QCOMPARE(ClampMapValue(BoostMapGrid, 499.9), 499.9);
    }

    void headerColourIsTheLockRecord() {
        QVERIFY(!w()->DataNotLocked());
        for (DataGrid *grid : {w()->AdvStringGrid_fuel, w()->AdvStringGrid_injection_boost_correction})
            grid->setFixedColor(Yellow);
        QVERIFY(w()->DataNotLocked());
        QCOMPARE(w()->AdvStringGrid_fuel->item(0, 4)->background().color(), Yellow);
        QCOMPARE(w()->AdvStringGrid_fuel->item(7, 0)->background().color(), Yellow);
        QCOMPARE(w()->AdvStringGrid_fuel->cellColor(4, 7), QColor(255, 255, 255));
        w()->AdvStringGrid_fuel->setFixedColor(Silver);
        QVERIFY(!w()->DataNotLocked());
    }

    void dataCellClickOpensTheEditMenuForThatMap() {
        QSignalSpy clicked(w()->AdvStringGrid_fuel, &DataGrid::ClickCell);
        click(w()->AdvStringGrid_fuel, 4, 6);
        QCOMPARE(clicked.count(), 1);
        QVERIFY(w()->DataCellClicked);
        QCOMPARE(w()->ActiveMapGrid, FuelMapGrid);
        QVERIFY(menu()->isVisible());
        QDoubleSpinBox *setValue = w()->AdvSpinEdit_setvalue;
        QCOMPARE(setValue->minimum(), 0.0);
        QCOMPARE(setValue->maximum(), 40.95);
        QCOMPARE(setValue->singleStep(), 0.01);
        QCOMPARE(setValue->decimals(), 2);
        // The click charted the clicked cell's line and took the selection away from live tracking.
        QVERIFY(!app.ctx().LiveTracking);

        menu()->hide();
        showBoostTab();
        click(w()->AdvStringGrid_injection_boost_correction, 2, 2);
        QCOMPARE(w()->ActiveMapGrid, BoostMapGrid);
        QVERIFY(menu()->isVisible());
        QCOMPARE(setValue->minimum(), -500.0);
        QCOMPARE(setValue->maximum(), 500.0);
        QCOMPARE(setValue->singleStep(), 0.1);
        QCOMPARE(setValue->decimals(), 1);
    }

    void headerClickNeverOpensTheMenu() {
        DataGrid *fuel = w()->AdvStringGrid_fuel;
        click(fuel, 0, 5);
        QVERIFY(!w()->DataCellClicked);
        QVERIFY(menu()->isHidden());
        click(fuel, 7, 0);
        QVERIFY(menu()->isHidden());

        // Pressed on a header, released over a data cell.
        QTest::mousePress(fuel->viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(fuel, 0, 3));
        QTest::mouseRelease(fuel->viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(fuel, 5, 3));
        QVERIFY(menu()->isHidden());

        // A header click after a data click also forgets the data click.
        click(fuel, 5, 5);
        menu()->hide();
        click(fuel, 0, 5);
        QTest::keyClick(fuel, Qt::Key_Right, Qt::ShiftModifier);
        QVERIFY(menu()->isHidden());
    }

    void shiftArrowOpensTheMenuOnlyAfterADataClick() {
        DataGrid *fuel = w()->AdvStringGrid_fuel;
        fuel->setFocus();
        QTest::keyClick(fuel, Qt::Key_Down, Qt::ShiftModifier);
        QVERIFY(menu()->isHidden());

        click(fuel, 3, 3);
        menu()->hide();
        QTest::keyClick(fuel, Qt::Key_Down);
        QVERIFY(menu()->isHidden());
        QTest::keyClick(fuel, Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(menu()->isHidden());
        QTest::keyClick(fuel, Qt::Key_Right, Qt::AltModifier | Qt::ShiftModifier);
        QVERIFY(menu()->isHidden());
        // Tapping Shift alone selects nothing.
        QTest::keyClick(fuel, Qt::Key_Shift, Qt::ShiftModifier);
        QVERIFY(menu()->isHidden());
        QTest::keyClick(fuel, Qt::Key_Right, Qt::ShiftModifier);
        QVERIFY(menu()->isVisible());
        const DataGrid::Range range = fuel->selectionRange();
        QVERIFY(range.right > range.left || range.bottom > range.top);
    }

    void enterAndEscapeActOnTheOpenMenu() {
        click(w()->AdvStringGrid_fuel, 3, 3);
        QVERIFY(menu()->isVisible());
        QSignalSpy ok(w()->Button_ok_editmenu, &QPushButton::clicked);
        QTest::keyClick(w()->AdvStringGrid_fuel, Qt::Key_Return);
        QCOMPARE(ok.count(), 1);
        app.ctx().LiveTracking = false;
        QTest::keyClick(w()->AdvStringGrid_fuel, Qt::Key_Escape);
        QVERIFY(menu()->isHidden());
        QVERIFY(app.ctx().LiveTracking);
        // With the menu closed Enter does nothing to it.
        QTest::keyClick(w()->AdvStringGrid_fuel, Qt::Key_Return);
        QCOMPARE(ok.count(), 1);
    }

    void editMenuIsDraggedByItsFrameAndStaysInTheWindow() {
        click(w()->AdvStringGrid_fuel, 3, 3);
        QGroupBox *box = menu();
        const QPoint start = box->pos();
        const QPoint grip(box->width() / 2, 6); // on the title, not on a control
        QTest::mousePress(box, Qt::LeftButton, Qt::NoModifier, grip);
        QMouseEvent move(QEvent::MouseMove, QPointF(grip + QPoint(-100, 40)), box->mapToGlobal(QPointF(grip)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &move);
        QTest::mouseRelease(box, Qt::LeftButton, Qt::NoModifier, grip + QPoint(-100, 40));
        QCOMPARE(box->pos(), start + QPoint(-100, 40));

        QTest::mousePress(box, Qt::LeftButton, Qt::NoModifier, grip);
        QMouseEvent far(QEvent::MouseMove, QPointF(grip + QPoint(5000, 5000)),
                        box->mapToGlobal(QPointF(grip)), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &far);
        QTest::mouseRelease(box, Qt::LeftButton, Qt::NoModifier, grip);
        QCOMPARE(box->geometry().right(), w()->width() - 1);
        QCOMPARE(box->geometry().bottom(), w()->height() - 1);
        QVERIFY(box->isVisible());
    }

    void boostTabNeedsNewFirmwareAndTheBoostTableLoad() {
        auto *pages = w()->xpPageControl_injection;
        const int boost = pages->indexOf(w()->xpTabSheet_injection_boost_correction);
        showBoostTab();
        QVERIFY(pages->isTabVisible(boost));

        app.ctx().form3->ComboBox_Engineloadsensor_Throttle_or_Map->setCurrentIndex(3);
        w()->ApplyBoostTabVisibility();
        QVERIFY(!pages->isTabVisible(boost));
        QCOMPARE(w()->VisibleMapGrid(), w()->AdvStringGrid_fuel);

        app.ctx().form3->ComboBox_Engineloadsensor_Throttle_or_Map->setCurrentIndex(2);
        app.ctx().form3->StaticText_version_info->setText(QStringLiteral("3FA1AB1AA"));
        w()->ApplyBoostTabVisibility();
        QVERIFY(!pages->isTabVisible(boost));
        w()->EnableMapGrids(true);
        QVERIFY(w()->AdvStringGrid_fuel->isEnabled());
        QVERIFY(!w()->AdvStringGrid_injection_boost_correction->isEnabled());
    }
};

QTEST_MAIN(MapGridsTest)
#include "MapGridsTest.moc"
