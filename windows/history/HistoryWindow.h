#pragma once
// The history window (toolbar button and F6): the snapshots newest first, filtered by ECU serial
// number, with time, source, version, serial, note and the outcome of a write. Compares a snapshot
// with the controls or two snapshots with each other, restores one into the controls, saves one as a
// calibration file and edits its note.
#include <QWidget>
#include <functional>
#include <optional>

class CalibrationHistory;
class Dialogs;
class QComboBox;
class QPushButton;
class QTableWidget;

class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    HistoryWindow(CalibrationHistory &history, Dialogs *dialogs, QWidget *parent = nullptr);

    // Ports: the compare window for two sources ("controls", "snapshot:<id>"); the save dialog (a path,
    // empty when cancelled); the note editor (nullopt when cancelled).
    std::function<void(const QString &firstKey, const QString &secondKey)> onCompare;
    std::function<QString(const QString &proposedName)> askSavePath;
    std::function<std::optional<QString>(const QString &note)> askNote;

    void refresh();
    // The ids of the selected snapshots, in list order.
    QStringList selectedIds() const;

    void compareWithControls();
    void compareTwo();
    void restore();
    void saveAs();
    void editNote();

    QComboBox *ComboBox_history_serial = nullptr;
    QTableWidget *List_history = nullptr;
    QPushButton *Button_history_compare_controls = nullptr;
    QPushButton *Button_history_compare_two = nullptr;
    QPushButton *Button_history_restore = nullptr;
    QPushButton *Button_history_save = nullptr;
    QPushButton *Button_history_note = nullptr;

private:
    void updateButtons();

    CalibrationHistory &history_;
    Dialogs *dialogs_;
};
