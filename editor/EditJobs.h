#pragma once
// The edit jobs behind "&Ok" of the two edit menus (main window: the maps; correction-table window: the
// four tables). "&Ok" stops the link and arms a delayed action; when it fires the job starts on the shared
// step machine and changes one cell per step. Online every changed cell goes out as "C" and the next step
// waits for the ECU's "Y"; offline the next step follows on the next Timer3 tick.
//
// Created by the main window with its edit menu (TForm1::editJobs); the correction window reaches it there.
#include <QObject>

#include "link/LinkTypes.h"
#include "rules/EditRules.h"

struct AppContext;
class TransferMachine;
class DataGrid;
class QDoubleSpinBox;
class QProgressBar;
class QGroupBox;
class QRadioButton;
class QPushButton;
class QWidget;

class EditJobs : public QObject {
    Q_OBJECT
public:
    // Hears the link's delayed actions and runs its steps on the link's step machine (when there is one).
    EditJobs(AppContext &ctx, QObject *parent = nullptr);

    // Step numbers on the step machine.
    static constexpr int MapEditStep = Step::MapEdit;
    // 200 water, 300 air temperature, 400 battery, 500 air pressure.
    static int TableEditStep(int table) { return Step::WaterEdit + 100 * table; }
    static bool IsEditStep(int step) { return step == MapEditStep || TableJobTable(step) >= 0; }
    // The table of a table step, or -1.
    static int TableJobTable(int step);

    // "&Ok" of the main window's and of the correction-table window's menu; refused (false) while
    // another conversation is on the line.
    bool MapOk();
    bool TableOk();
    // "&Cancel" of each menu: hide it, focus the grid, one selected cell, live tracking on.
    void MapCancel();
    void TableCancel();

    // Delayed actions 2 and 8.
    void startEditJob();
    void startCorrectionTableWrite();

    // Runs one step of an edit job; false when the step is not an edit job's.
    bool RunStep(int step);

    // Width or height minus one of the selection being interpolated (the cursor itself is the step
    // machine's StepIndex and StepRow).
    int StepSpan = 0;

    // Wiring shared by both menus: a click in or a change of a spin edit checks its radio button; the
    // sign keys of a percent field (`signKeys`) and Enter in either field while the menu is shown.
    struct MenuControls {
        QGroupBox *box = nullptr;
        QRadioButton *percent = nullptr;
        QRadioButton *setValue = nullptr;
        QDoubleSpinBox *percentField = nullptr;
        QDoubleSpinBox *setValueField = nullptr;
        QPushButton *ok = nullptr;
        bool signKeys = false;
    };
    static void WireMenu(const MenuControls &menu);

private:
    struct Job {
        bool table = false;
        int map = 0;   // FuelMapGrid or BoostMapGrid
        int index = 0; // table 0..3
    };
    class GridCells;

    DataGrid *JobGrid(const Job &job) const;
    EditTarget JobTarget(const Job &job) const;
    EditRect JobSelection(const Job &job) const;
    EditOperation JobOperation(const Job &job) const;
    QGroupBox *GaugeBox(const Job &job) const;
    QProgressBar *Gauge(const Job &job) const;
    void StartJob(const Job &job);
    void EndJob(const Job &job, EditStepOutcome how);
    // The link went offline under a running job: it ends where it was.
    void AbortJob();
    void onDelayedAction(int code);
    void CloseMenu(QGroupBox *menu, DataGrid *grid);
    bool OtherJobRunning() const;

    AppContext &ctx_;
    TransferMachine *steps_; // the link's step machine; null without a link
    Job job_;
};
