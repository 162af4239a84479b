#include "rules/EditRules.h"

#include "core/Encoding.h"
#include "core/ImageLayout.h"
#include "rules/MapCells.h"

EditTarget MapEditTarget(int map) {
    EditTarget target;
    target.base = MapBase(map);
    target.map = true;
    target.minimum = MapMinimum(map);
    target.maximum = MapMaximum(map);
    target.rawFactor = map == BoostMapGrid ? 10.0 : 100.0;
    return target;
}

EditTarget TableEditTarget(int table) {
    EditTarget target;
    target.map = false;
    target.minimum = -100.0;
    target.maximum = 100.0;
    target.rawFactor = 10.0;
    switch (table) {
    case 1:
        target.base = AirTempTableStart;
        break;
    case 2:
        // Milliseconds: value / 2 / 1.25 x 2500, which is value x 1000.
        target.base = BatteryTableStart;
        target.minimum = 0.0;
        target.maximum = 10.0;
        target.rawFactor = 1000.0;
        break;
    case 3:
        target.base = AirPressureTableStart;
        break;
    default:
        target.base = WaterTempTableStart;
        break;
    }
    return target;
}

int TargetAddress(const EditTarget &target, int column, int row) {
    return target.map ? MapCellAddress(target.base, column, row) : target.base + column;
}

int TargetRaw(const EditTarget &target, double value) {
    return RoundHalfEven(value * target.rawFactor);
}

double ClampToTarget(const EditTarget &target, double value) {
    if (value < target.minimum)
        return target.minimum;
    if (value > target.maximum)
        return target.maximum;
    return value;
}

QByteArray TargetPayload(const EditTarget &target, int column, int row, double value) {
    return EncodeWord(TargetAddress(target, column, row)) + EncodeWord(TargetRaw(target, value));
}

double PercentChanged(double value, double percent) {
    return value + percent * value / 100.0;
}

double InterpolatedValue(double first, double last, int span, int offset) {
    if (span == 0)
        return first;
    return first + offset * ((last - first) / span);
}

bool BeginEdit(EditCursor &cursor, EditOperation op, const EditRect &selection) {
    switch (op) {
    case EditOperation::Percent:
    case EditOperation::SetValue:
        cursor.StepIndex = selection.left;
        cursor.StepRow = selection.top;
        return true;
    case EditOperation::Horizontal:
        cursor.StepSpan = selection.right - selection.left;
        cursor.StepIndex = 0;
        cursor.StepRow = selection.top;
        return cursor.StepSpan != 0;
    case EditOperation::Vertical:
        cursor.StepSpan = selection.bottom - selection.top;
        cursor.StepIndex = selection.left;
        cursor.StepRow = 0;
        return cursor.StepSpan != 0;
    }
    return false;
}

namespace {

// Writes a value and holds the stored result to the target's limits.
void WriteClamped(EditCells &cells, const EditTarget &target, int column, int row, double value) {
    cells.setValue(column, row, value);
    const double stored = cells.value(column, row);
    const double held = ClampToTarget(target, stored);
    if (held != stored)
        cells.setValue(column, row, held);
}

} // namespace

EditStepResult RunEditStep(EditCursor &cursor, EditOperation op, const EditRect &sel, double percent,
                           double setValue, const EditTarget &target, EditCells &cells) {
    EditStepResult result;
    switch (op) {
    case EditOperation::Percent:
    case EditOperation::SetValue: {
        if (cursor.StepIndex > sel.right) {
            cursor.StepIndex = sel.left;
            ++cursor.StepRow;
            if (cursor.StepRow > sel.bottom) {
                result.outcome = EditStepOutcome::EndedValueJob;
                return result;
            }
        }
        const int column = cursor.StepIndex;
        const int row = cursor.StepRow;
        const double fresh =
            op == EditOperation::Percent ? PercentChanged(cells.value(column, row), percent) : setValue;
        WriteClamped(cells, target, column, row, fresh);
        ++cursor.StepIndex;
        result.column = column;
        result.row = row;
        return result;
    }
    case EditOperation::Horizontal:
    case EditOperation::Vertical: {
        // The same walk with rows and columns swapped: `along` steps through one line of the block
        // (0 .. span), `across` counts the lines.
        const bool horizontal = op == EditOperation::Horizontal;
        int &along = horizontal ? cursor.StepIndex : cursor.StepRow;
        int &across = horizontal ? cursor.StepRow : cursor.StepIndex;
        // A span of 0 can only come from a job begun as something else; there is no line to draw.
        if (cursor.StepSpan <= 0 || along > cursor.StepSpan) {
            along = 0;
            ++across;
            if (cursor.StepSpan <= 0 || across > (horizontal ? sel.bottom : sel.right)) {
                result.outcome = EditStepOutcome::EndedInterpolationJob;
                return result;
            }
        }
        const int column = horizontal ? sel.left + along : across;
        const int row = horizontal ? across : sel.top + along;
        const double first = horizontal ? cells.value(sel.left, row) : cells.value(column, sel.top);
        const double last = horizontal ? cells.value(sel.right, row) : cells.value(column, sel.bottom);
        cells.setValue(column, row, InterpolatedValue(first, last, cursor.StepSpan, along));
        ++along;
        result.column = column;
        result.row = row;
        return result;
    }
    }
    result.outcome = EditStepOutcome::EndedValueJob;
    return result;
}
