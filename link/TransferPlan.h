#pragma once
// The whole-calibration transfers as plain data: which words a read asks for, and which blocks a write
// sends in which order, by firmware. The window program's step machine and the command-line tool both
// run this one plan, so they put the same frames on the line.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>
#include <cstdint>

// One block of a write: an "E" of `words` words from `address` on, or one "C" for a single word on
// firmware below "3FA".
struct WriteBlock {
    int address = 0;
    int words = 0;
};

// One step of the write. Its blocks go out one per acknowledgement; then the write moves on to `next`.
struct WritePlanStep {
    int step = 0;
    bool singleWords = false; // "C" per word (below "3FA") instead of "E" blocks
    QVector<WriteBlock> blocks;
    int next = 0;
};

// The steps of a calibration write for this firmware, from the fuel map (step 2) to "R" (step 100).
// Step 90 (end of the blocks) and 100 ("R") carry no blocks.
QVector<WritePlanStep> CalibrationWritePlan(const QString &version);
// The step of the plan with this number, or null.
const WritePlanStep *FindWriteStep(const QVector<WritePlanStep> &plan, int step);

// Payloads (without letter and checksum) and whole frames of the requests of a transfer.
QByteArray BlockPayload(int address, const QVector<std::uint16_t> &words);
QByteArray WordPayload(int address, std::uint16_t word);
QByteArray ImageReadFrame(int start, int count);
// Every write frame of the plan from step `firstStep` on, in order, ending with "R"; `image` holds the
// words by address (at least ImageWordCount(version) long).
QList<QByteArray> CalibrationWriteFrames(const QString &version, const QVector<std::uint16_t> &image,
                                         int firstStep = 2);
