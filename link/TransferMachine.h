#pragma once
// The one step machine shared by the whole-calibration write and the cell-by-cell edit jobs.
// TransferStep chooses the work (Step:: in link/LinkTypes.h), StepReady is set by the ECU's "Y" (or at
// once when offline), and each Timer3 tick runs one step when StepReady is set. Only one job runs at a
// time. The link owns the machine and its timer.
#include <QList>
#include <functional>

class QTimer;

class TransferMachine {
public:
    // `timer3` is the link's step timer; it is not owned.
    explicit TransferMachine(QTimer *timer3) : timer3_(timer3) {}

    int TransferStep = 0;
    bool StepReady = false;
    int StepIndex = 0;
    int StepRow = 1;
    int ReadCount = 0;

    // A runner is asked for every tick in turn; it returns true when the step is its own (and has run it).
    using StepRunner = std::function<bool(int step)>;
    void addStepRunner(StepRunner runner) { runners_.append(std::move(runner)); }

    // Start a job: step, index 1 / row 1, ready, and the timer enabled (or left to a delayed action).
    void Begin(int step, bool enableTimer3 = true);
    // Move on within a job: next step, index reset, ready, timer on, nothing sent.
    void MoveTo(int step);
    // No job: step 0, not ready.
    void Finish();
    bool Running() const { return TransferStep != 0; }

    // Timer3 fired: with StepReady, disable Timer3, clear StepReady and run the step.
    void Tick();
    // The "Y" of the last write (or a write skipped offline).
    void setStepReady() { StepReady = true; }

    void EnableTimer3();
    void DisableTimer3();
    bool Timer3Active() const;

private:
    QTimer *timer3_;
    QList<StepRunner> runners_;
};
