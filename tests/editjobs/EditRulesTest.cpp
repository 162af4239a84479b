// The arithmetic and the cell order of the edit jobs, without widgets.
#include <QMap>
#include <QPair>
#include <QTest>
#include <cmath>

#include "rules/EditRules.h"
#include "rules/MapCells.h"
#include "tests/support/Bytes.h"

namespace {

// A grid stand-in that keeps values with a fixed number of decimals, as the grid text does.
class FakeCells : public EditCells {
public:
    explicit FakeCells(int decimals) : scale_(std::pow(10.0, decimals)) {}
    double value(int column, int row) const override { return values_.value({column, row}, 0.0); }
    void setValue(int column, int row, double value) override {
        values_[{column, row}] = std::round(value * scale_) / scale_;
        writes.append({column, row});
    }
    QList<QPair<int, int>> writes;

private:
    double scale_;
    QMap<QPair<int, int>, double> values_;
};

// Runs a whole job and returns the cells written, in order, and how it ended.
struct Run {
    QList<QPair<int, int>> cells;
    EditStepOutcome end = EditStepOutcome::CellWritten;
    int steps = 0;
};

Run RunJob(EditOperation op, EditRect rect, FakeCells &cells, const EditTarget &target, double percent = 0,
           double setValue = 0) {
    Run run;
    EditCursor cursor;
    if (!BeginEdit(cursor, op, rect)) {
        run.end = EditStepOutcome::EndedInterpolationJob;
        return run;
    }
    for (int guard = 0; guard < 1000; ++guard) {
        ++run.steps;
        const EditStepResult step = RunEditStep(cursor, op, rect, percent, setValue, target, cells);
        if (step.outcome != EditStepOutcome::CellWritten) {
            run.end = step.outcome;
            return run;
        }
        run.cells.append({step.column, step.row});
    }
    return run;
}

} // namespace

class EditRulesTest : public QObject {
    Q_OBJECT
private slots:
    void addressesAndRawWordsOfMapsAndTables() {
        const EditTarget fuel = MapEditTarget(FuelMapGrid);
        const EditTarget boost = MapEditTarget(BoostMapGrid);
        QCOMPARE(TargetAddress(fuel, 1, 1), 0);
        QCOMPARE(TargetAddress(fuel, 16, 25), 399);
        QCOMPARE(TargetAddress(boost, 1, 1), 689);
        QCOMPARE(TargetAddress(boost, 16, 25), 1088);
        QCOMPARE(TargetAddress(TableEditTarget(0), 0, 1), 400);
        QCOMPARE(TargetAddress(TableEditTarget(1), 31, 1), 568);
        QCOMPARE(TargetAddress(TableEditTarget(2), 5, 1), 583);
        QCOMPARE(TargetAddress(TableEditTarget(3), 0, 1), 657);

        QCOMPARE(TargetRaw(fuel, 40.95), 4095);
        QCOMPARE(TargetRaw(boost, 500.0), 5000);
        QCOMPARE(TargetRaw(boost, -0.25), -2); // halves go to the even neighbour
        QCOMPARE(TargetRaw(TableEditTarget(2), 10.0), 10000);
        QCOMPARE(TargetRaw(TableEditTarget(2), 1.23), 1230);
        QCOMPARE(TargetRaw(TableEditTarget(0), -12.5), -125);

        // Address first, then value, high byte first; the sign is bit 15.
        QCOMPARE(TargetPayload(fuel, 3, 2, 2.5), Bytes({0x00, 0x12, 0x00, 0xFA}));
        QCOMPARE(TargetPayload(TableEditTarget(0), 4, 1, -12.5), Bytes({0x01, 0x94, 0x80, 0x7D}));
        QCOMPARE(TargetPayload(TableEditTarget(2), 0, 1, 10.0), Bytes({0x02, 0x42, 0x27, 0x10}));
    }

    void percentAndClampLimits() {
        QCOMPARE(PercentChanged(40.0, 10.0), 44.0);
        QCOMPARE(PercentChanged(12.34, -100.0), 0.0);
        QCOMPARE(PercentChanged(-50.0, 20.0), -60.0);
        QCOMPARE(ClampToTarget(MapEditTarget(FuelMapGrid), 44.0), 40.95);
        QCOMPARE(ClampToTarget(MapEditTarget(FuelMapGrid), -1.0), 0.0);
        QCOMPARE(ClampToTarget(MapEditTarget(BoostMapGrid), -600.0), -500.0);
        QCOMPARE(ClampToTarget(MapEditTarget(BoostMapGrid), 499.9), 499.9);
        QCOMPARE(ClampToTarget(TableEditTarget(2), 50.0), 10.0);
        QCOMPARE(ClampToTarget(TableEditTarget(2), -0.5), 0.0);
        QCOMPARE(ClampToTarget(TableEditTarget(3), 150.0), 100.0);
        QCOMPARE(ClampToTarget(TableEditTarget(1), -150.0), -100.0);
    }

    void percentJobWalksRowByRowAndClampsWhatItStores() {
        FakeCells cells(2);
        for (int row = 4; row <= 5; ++row)
            for (int column = 2; column <= 4; ++column)
                cells.setValue(column, row, 40.0);
        cells.setValue(3, 5, 10.0);
        cells.writes.clear();
        const Run run = RunJob(EditOperation::Percent, {2, 4, 4, 5}, cells, MapEditTarget(FuelMapGrid), 10.0);
        const QList<QPair<int, int>> order{{2, 4}, {3, 4}, {4, 4}, {2, 5}, {3, 5}, {4, 5}};
        QCOMPARE(run.cells, order);
        QCOMPARE(run.end, EditStepOutcome::EndedValueJob);
        QCOMPARE(run.steps, 7); // six cells and the step that finds none left
        QCOMPARE(cells.value(2, 4), 40.95);
        QCOMPARE(cells.value(4, 5), 40.95);
        QCOMPARE(cells.value(3, 5), 11.0);
        QCOMPARE(cells.value(1, 4), 0.0); // outside the selection
    }

    void setValueOnBoostMapAndOnTheBatteryTable() {
        FakeCells boost(1);
        const Run all =
            RunJob(EditOperation::SetValue, {16, 25, 16, 25}, boost, MapEditTarget(BoostMapGrid), 0, 500.0);
        QCOMPARE(all.cells.size(), 1);
        QCOMPARE(boost.value(16, 25), 500.0);

        FakeCells battery(2);
        const Run table =
            RunJob(EditOperation::SetValue, {29, 1, 31, 1}, battery, TableEditTarget(2), 0, 50.0);
        const QList<QPair<int, int>> order{{29, 1}, {30, 1}, {31, 1}};
        QCOMPARE(table.cells, order);
        QCOMPARE(battery.value(30, 1), 10.0);
    }

    void horizontalInterpolationDrawsEachRowBetweenItsEnds() {
        FakeCells cells(2);
        cells.setValue(3, 7, 2.0);
        cells.setValue(7, 7, 4.0);
        cells.setValue(3, 8, 10.0);
        cells.setValue(7, 8, 0.0);
        cells.setValue(5, 8, 33.0);
        const Run run = RunJob(EditOperation::Horizontal, {3, 7, 7, 8}, cells, MapEditTarget(FuelMapGrid));
        const QList<QPair<int, int>> order{{3, 7}, {4, 7}, {5, 7}, {6, 7}, {7, 7},
                                           {3, 8}, {4, 8}, {5, 8}, {6, 8}, {7, 8}};
        QCOMPARE(run.cells, order);
        QCOMPARE(run.end, EditStepOutcome::EndedInterpolationJob);
        const double row7[] = {2.0, 2.5, 3.0, 3.5, 4.0};
        const double row8[] = {10.0, 7.5, 5.0, 2.5, 0.0};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(cells.value(3 + i, 7), row7[i]);
            QCOMPARE(cells.value(3 + i, 8), row8[i]);
        }
    }

    void verticalInterpolationGoesColumnByColumnAndIsNotClamped() {
        FakeCells cells(1);
        cells.setValue(2, 1, -500.0);
        cells.setValue(2, 3, 500.0);
        cells.setValue(3, 1, 1.0);
        cells.setValue(3, 3, 2.0);
        const Run run = RunJob(EditOperation::Vertical, {2, 1, 3, 3}, cells, MapEditTarget(BoostMapGrid));
        const QList<QPair<int, int>> order{{2, 1}, {2, 2}, {2, 3}, {3, 1}, {3, 2}, {3, 3}};
        QCOMPARE(run.cells, order);
        QCOMPARE(cells.value(2, 2), 0.0);
        QCOMPARE(cells.value(3, 2), 1.5);
        QCOMPARE(run.end, EditStepOutcome::EndedInterpolationJob);
    }

    void interpolationOverOneColumnOrOneRowHasNothingToDo() {
        FakeCells cells(2);
        EditCursor cursor;
        QVERIFY(!BeginEdit(cursor, EditOperation::Horizontal, {4, 2, 4, 9}));
        QVERIFY(!BeginEdit(cursor, EditOperation::Vertical, {1, 6, 16, 6}));
        QVERIFY(BeginEdit(cursor, EditOperation::Vertical, {4, 2, 4, 9}));
        QCOMPARE(cursor.StepSpan, 7);
        cursor = EditCursor();
        QVERIFY(BeginEdit(cursor, EditOperation::Percent, {4, 6, 4, 6}));
        QCOMPARE(cursor.StepIndex, 4);
        QCOMPARE(cursor.StepRow, 6);
        // A job begun as % and switched to interpolation midway has no line to draw: it ends.
        const EditStepResult step = RunEditStep(cursor, EditOperation::Horizontal, {4, 6, 4, 6}, 0, 0,
                                                MapEditTarget(FuelMapGrid), cells);
        QCOMPARE(step.outcome, EditStepOutcome::EndedInterpolationJob);
        QVERIFY(cells.writes.isEmpty());
    }

    void fieldValuesAreReadAgainAtEveryStep() {
        FakeCells cells(2);
        EditCursor cursor;
        const EditRect rect{1, 1, 2, 1};
        const EditTarget fuel = MapEditTarget(FuelMapGrid);
        QVERIFY(BeginEdit(cursor, EditOperation::SetValue, rect));
        RunEditStep(cursor, EditOperation::SetValue, rect, 0, 1.0, fuel, cells);
        RunEditStep(cursor, EditOperation::SetValue, rect, 0, 2.0, fuel, cells);
        QCOMPARE(cells.value(1, 1), 1.0);
        QCOMPARE(cells.value(2, 1), 2.0);
    }
};

QTEST_APPLESS_MAIN(EditRulesTest)
#include "EditRulesTest.moc"
