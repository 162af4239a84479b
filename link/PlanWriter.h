#pragma once
// Runs the write plan of link/TransferPlan on the link's step machine: one block per tick once the
// previous one is acknowledged, an empty tick between steps, "v" before and "R" after. The window program
// and the command-line tool both write through it; they differ only in where the words come from and in
// what they show along the way.
#include "link/TransferPlan.h"

#include <QString>
#include <QVector>
#include <cstdint>
#include <functional>

class Link;

class PlanWriter {
public:
    // The words of the image from `address` on, as they are to be written now.
    using WordSource = std::function<QVector<std::uint16_t>(int address, int count)>;
    // Told before a step's first block or its end goes (the step's own work: which map it is, ...).
    std::function<void(const WritePlanStep &step)> onStepRun;
    // Told after each block went out (or was skipped offline): its data bytes, 2 per "C".
    std::function<void(int bytes)> onBlockSent;
    // Told when a step has sent all its blocks, before the write moves on.
    std::function<void(const WritePlanStep &step)> onStepDone;

    explicit PlanWriter(Link &link);

    // The plan for the firmware `version`, its words from `source`. Nothing is sent yet: the step machine
    // runs it from whatever step it is given (the version check -1, the fuel map 2, the options 4).
    void Prepare(const QString &version, WordSource source);
    // One tick of the step machine; false when `step` is none of the write's.
    bool RunStep(int step);

private:
    Link &link_;
    QVector<WritePlanStep> plan_;
    WordSource source_;
};
