#include "link/TransferPlan.h"

#include "core/Encoding.h"
#include "core/FirmwareVersion.h"
#include "core/ImageLayout.h"
#include "link/LinkTypes.h"

namespace {
QByteArray Framed(char letter, const QByteArray &payload) {
    QByteArray frame(1, letter);
    frame += payload;
    frame.append(char(FrameChecksum(frame)));
    return frame;
}

QVector<WriteBlock> MapRowsFrom(int start) {
    QVector<WriteBlock> rows;
    for (int row = 1; row <= MapRows; ++row)
        rows.append({MapCellAddress(start, 1, row), MapColumns});
    return rows;
}

QVector<WriteBlock> SingleWords(int first, int count) {
    QVector<WriteBlock> words;
    for (int i = 0; i < count; ++i)
        words.append({first + i, 1});
    return words;
}
} // namespace

QVector<WritePlanStep> CalibrationWritePlan(const QString &version) {
    if (!VersionAtLeast(version, QStringLiteral("3FA"))) {
        // One word per "C": the fuel map cell by cell (columns within rows), the water table, the options.
        return {
            {Step::FuelMap, true, SingleWords(FuelMapStart, MapRows * MapColumns), Step::WaterTable},
            {Step::WaterTable, true, SingleWords(WaterTempTableStart, TableEntries), Step::OptionWords},
            {Step::OptionWords, true, SingleWords(OptionsStart, 78), Step::Restart},
            {Step::Restart, false, {}, Step::None},
        };
    }
    const bool airPressure = VersionAtLeast(version, QStringLiteral("3FA1AB"));
    const bool boostMap = VersionAtLeast(version, QStringLiteral("3FA1AC"));
    QVector<WritePlanStep> plan{
        {Step::FuelMap, false, MapRowsFrom(FuelMapStart), Step::WaterTable},
        {Step::WaterTable, false, {{WaterTempTableStart, 32}}, Step::OptionWords},
        {Step::OptionWords,
         false,
         {{OptionsStart, 26}, {458, 16}, {474, 16}, {490, 16}, {506, 4}},
         Step::RpmRange},
        {Step::RpmRange, false, {{RpmRangeStart, 25}}, Step::AirTempTable},
        {Step::AirTempTable, false, {{AirTempTableStart, 32}}, Step::Enrichment},
        {Step::Enrichment, false, {{EnrichmentStart, 6}}, Step::Limits},
        {Step::Limits, false, {{LimitsStart, 3}}, Step::BatteryTable},
        {Step::BatteryTable, false, {{BatteryTableStart, 32}}, Step::Startup},
        {Step::Startup, false, {{StartupStart, 30}}, Step::Aux},
        {Step::Aux, false, {{AuxStart, 15}}, airPressure ? Step::AirPressureSettings : Step::Restart},
    };
    if (airPressure) {
        plan.append(
            {Step::AirPressureSettings, false, {{AirPressureSettingsStart, 2}}, Step::AirPressureTable});
        plan.append({Step::AirPressureTable, false, {{AirPressureTableStart, 32}}, Step::BoostMap});
        // Below "3FA1AC" there is no boost map: the step passes at once.
        plan.append({Step::BoostMap, false, boostMap ? MapRowsFrom(BoostMapStart) : QVector<WriteBlock>{},
                     Step::BlocksDone});
        plan.append({Step::BlocksDone, false, {}, Step::Restart});
    }
    plan.append({Step::Restart, false, {}, Step::None});
    return plan;
}

const WritePlanStep *FindWriteStep(const QVector<WritePlanStep> &plan, int step) {
    for (const WritePlanStep &s : plan)
        if (s.step == step)
            return &s;
    return nullptr;
}

QByteArray BlockPayload(int address, const QVector<std::uint16_t> &words) {
    QByteArray payload = EncodeWord(2 * int(words.size())) + EncodeWord(address);
    for (std::uint16_t word : words)
        payload += EncodeWord(word);
    return payload;
}

QByteArray WordPayload(int address, std::uint16_t word) {
    return EncodeWord(address) + EncodeWord(word);
}

QByteArray ImageReadFrame(int start, int count) {
    return Framed('Z', EncodeWord(start) + EncodeWord(count));
}

QList<QByteArray> CalibrationWriteFrames(const QString &version, const QVector<std::uint16_t> &image,
                                         int firstStep) {
    const QVector<WritePlanStep> plan = CalibrationWritePlan(version);
    QList<QByteArray> frames;
    for (const WritePlanStep *step = FindWriteStep(plan, firstStep); step;
         step = FindWriteStep(plan, step->next)) {
        if (step->step == Step::Restart) {
            frames.append(QByteArrayLiteral("R"));
            break;
        }
        for (const WriteBlock &block : step->blocks) {
            const QVector<std::uint16_t> words = image.mid(block.address, block.words);
            frames.append(step->singleWords ? Framed('C', WordPayload(block.address, words.value(0)))
                                            : Framed('E', BlockPayload(block.address, words)));
        }
    }
    return frames;
}
