#pragma once
// The compare window: any two of the current controls, the image last read or loaded, a file and a
// snapshot of the history, side by side. The maps and the four correction tables are grids holding the
// first side's values, coloured by the size and sign of the second side's difference (red: the second is
// higher, blue: lower; the stronger, the larger against the section's largest difference), with both
// exact values in each cell's tooltip. The options are a list of named fields with both values, the
// differing ones only unless "Show all fields" is on. When one side is the current controls, a selection
// of cells or fields, or a whole section, can be copied from the other side into them.
#include <QString>
#include <QVector>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "core/FieldCatalogue.h"

struct AppContext;
class CalibrationHistory;
class CopyIntoControls;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;

// One side of a comparison.
struct CompareSide {
    QString key;   // "controls", "baseline", "snapshot:<id>", "file:<path>"
    QString label; // as the window names it
    QString version;
    QVector<std::uint16_t> words;
    bool valid = false;
};

class CompareWindow : public QWidget {
    Q_OBJECT
public:
    CompareWindow(AppContext &ctx, CalibrationHistory *history, CopyIntoControls *copier,
                  QWidget *parent = nullptr);

    // Shows the window comparing the two sources (keys as in CompareSide).
    void showComparison(const QString &firstKey, const QString &secondKey);
    // Compares again with the sources chosen (after the controls or the history changed).
    void refresh();

    // Replaces the file dialog of "File..." (tests answer without a modal window).
    std::function<QString()> askForFile;

    const CompareSide &first() const { return first_; }
    const CompareSide &second() const { return second_; }

    // The copy: the selected cells of the visible grid (or the selected option rows), or its whole
    // section. False when nothing was copied (no side is the controls, a conversation runs ...).
    bool copySelection();
    bool copySection();

    QComboBox *ComboBox_compare_first = nullptr;
    QComboBox *ComboBox_compare_second = nullptr;
    QLabel *Label_compare_summary = nullptr;
    QTabWidget *PageControl_compare = nullptr;
    QTableWidget *Grid_compare_fuel = nullptr;
    QTableWidget *Grid_compare_boost = nullptr;
    QVector<QTableWidget *> Grid_compare_tables; // water, air temperature, battery, air pressure
    QTableWidget *List_compare_options = nullptr;
    QCheckBox *CheckBox_compare_all_fields = nullptr;
    QPushButton *Button_copy_selection = nullptr;
    QPushButton *Button_copy_section = nullptr;

private:
    void build();
    void fillSourceLists();
    CompareSide loadSide(const QString &key) const;
    void chooseSide(QComboBox *list, CompareSide &side);
    void showDifferences();
    void fillGrid(QTableWidget *grid, const QString &section);
    void fillOptions();
    // The grid of the visible page holding a selection (or the options list), and its fields.
    QVector<CalibrationField> selectedFields(bool wholeSection) const;
    bool copyFields(const QVector<CalibrationField> &fields);
    bool controlsSideIsFirst() const;
    bool canCopy() const;

    AppContext &ctx_;
    CalibrationHistory *history_;
    CopyIntoControls *copier_;
    CompareSide first_;
    CompareSide second_;
    QVector<CalibrationField> fields_;
    bool filling_ = false;
};
