#include "link/TransferMachine.h"

#include "core/Timers.h"

#include <QTimer>

void TransferMachine::Begin(int step, bool enableTimer3) {
    TransferStep = step;
    StepIndex = 1;
    StepRow = 1;
    StepReady = true;
    if (enableTimer3)
        EnableTimer3();
}

void TransferMachine::MoveTo(int step) {
    TransferStep = step;
    StepIndex = 0;
    StepRow = 1;
    StepReady = true;
    EnableTimer3();
}

void TransferMachine::Finish() {
    TransferStep = 0;
    StepReady = false;
}

void TransferMachine::Tick() {
    if (!StepReady)
        return;
    DisableTimer3();
    StepReady = false;
    const int step = TransferStep;
    for (const StepRunner &runner : runners_) {
        if (runner(step))
            return;
    }
    // Nobody owns this step (0 or unknown): the machine rests until a job begins.
}

void TransferMachine::EnableTimer3() {
    if (timer3_)
        EnableTimer(timer3_);
}

void TransferMachine::DisableTimer3() {
    if (timer3_)
        DisableTimer(timer3_);
}

bool TransferMachine::Timer3Active() const {
    return timer3_ && timer3_->isActive();
}
