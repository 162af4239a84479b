#include "link/PlanWriter.h"

#include "link/Link.h"
#include "link/LinkTypes.h"

#include <algorithm>

PlanWriter::PlanWriter(Link &link) : link_(link) {}

void PlanWriter::Prepare(const QString &version, WordSource source) {
    plan_ = CalibrationWritePlan(version);
    source_ = std::move(source);
}

bool PlanWriter::RunStep(int step) {
    if (!IsCalibrationWriteStep(step))
        return false;
    TransferMachine &m = link_.steps();
    if (step == Step::VersionCheck) {
        link_.RequestVersionBeforeWrite();
        return true;
    }
    if (step == Step::Restart) {
        link_.RequestRestart();
        return true;
    }
    const WritePlanStep *planned = FindWriteStep(plan_, step);
    if (!planned || !source_) {
        // A step this firmware does not have: the write goes on with "R".
        m.MoveTo(Step::Restart);
        return true;
    }
    if (onStepRun)
        onStepRun(*planned);
    const int index = std::max(m.StepIndex, 1);
    if (index > planned->blocks.size()) {
        if (step == Step::BlocksDone)
            link_.StopReplyTimeout();
        if (onStepDone)
            onStepDone(*planned);
        m.MoveTo(planned->next);
        return true;
    }
    const WriteBlock &block = planned->blocks[index - 1];
    const QVector<std::uint16_t> words = source_(block.address, block.words);
    if (planned->singleWords)
        link_.WriteValue(WordPayload(block.address, words.value(0)));
    else
        link_.WriteBlock(BlockPayload(block.address, words));
    if (onBlockSent)
        onBlockSent(2 * block.words);
    m.StepIndex = index + 1;
    m.EnableTimer3();
    return true;
}
