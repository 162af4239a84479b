#pragma once
// The arithmetic and the cell order of the edit jobs (change by %, set to value, horizontal and vertical
// interpolation), kept apart from the widgets so it can be checked on its own. The grids are reached
// through EditCells; a job is driven one step at a time by the step scheduler.
#include <QByteArray>

enum class EditOperation { Percent, SetValue, Horizontal, Vertical };

// Where an edit job writes: the clamp after % and set value, and the address and raw word of a cell.
struct EditTarget {
    int base = 0;
    bool map = true; // maps: base + (row - 1) x 16 + (column - 1); tables: base + column
    double minimum = 0.0;
    double maximum = 0.0;
    double rawFactor = 1.0;
};

// FuelMapGrid or BoostMapGrid (rules/MapCells.h).
EditTarget MapEditTarget(int map);
// 0 water temperature, 1 air temperature, 2 battery voltage, 3 air pressure.
EditTarget TableEditTarget(int table);

int TargetAddress(const EditTarget &target, int column, int row);
// Scaled and rounded to the nearest integer, halves to even.
int TargetRaw(const EditTarget &target, double value);
double ClampToTarget(const EditTarget &target, double value);
// Change request payload: address word, then raw value word.
QByteArray TargetPayload(const EditTarget &target, int column, int row, double value);

// v + p x v / 100: +10 multiplies by 1.1, -100 gives 0.
double PercentChanged(double value, double percent);
// The cell `offset` steps from the first along a straight line of `span` steps.
double InterpolatedValue(double first, double last, int span, int offset);

// A selection in grid coordinates, all edges included.
struct EditRect {
    int left = 1;
    int top = 1;
    int right = 1;
    int bottom = 1;
    int cellCount() const { return (right - left + 1) * (bottom - top + 1); }
};

// The values being edited, as stored: a written value may come back rounded to the grid's decimals.
class EditCells {
public:
    virtual ~EditCells() = default;
    virtual double value(int column, int row) const = 0;
    virtual void setValue(int column, int row, double value) = 0;
};

// The job's cell cursor. For % and set value StepIndex / StepRow are grid coordinates; for horizontal
// interpolation StepIndex is the offset from the left column, for vertical StepRow the offset from the
// top row. StepSpan is the width or height minus one of an interpolated selection.
struct EditCursor {
    int StepIndex = 0;
    int StepRow = 0;
    int StepSpan = 0;
};

enum class EditStepOutcome {
    CellWritten,          // one cell changed; send it and wait for the next step
    EndedValueJob,        // a % or set-value job has no cells left
    EndedInterpolationJob // an interpolation job has no cells left (or had nothing to do)
};

struct EditStepResult {
    EditStepOutcome outcome = EditStepOutcome::CellWritten;
    int column = 0;
    int row = 0;
};

inline bool IsInterpolation(EditOperation op) {
    return op == EditOperation::Horizontal || op == EditOperation::Vertical;
}

// Puts the cursor on the first cell. False when an interpolation has a single column (horizontal) or
// a single row (vertical): the job then ends at once without touching a cell.
bool BeginEdit(EditCursor &cursor, EditOperation op, const EditRect &selection);

// One step: the operation, the selection and the two field values are those of this moment (the user
// may change them while the job runs). Writes one cell, clamped after % and set value, or reports the end.
EditStepResult RunEditStep(EditCursor &cursor, EditOperation op, const EditRect &selection, double percent,
                           double setValue, const EditTarget &target, EditCells &cells);
