#include "session/LiveRecord.h"

#include "core/Encoding.h"
#include "core/FirmwareVersion.h"
#include "core/ImageLayout.h"
#include "core/ResponseCurves.h"
#include "rules/LiveRules.h"
#include "rules/OptionOperations.h"

#include <algorithm>

using namespace Datalog;

namespace {
int WordAt(const QByteArray &frame, int offset) {
    if (frame.size() < offset + 2)
        return 0;
    return (int(std::uint8_t(frame[offset])) << 8) | int(std::uint8_t(frame[offset + 1]));
}

// The options window's controls: the engine-load limits are spin boxes of 0..255, the correction-table
// limits hold two decimals within their ranges, the RPM rows 500..20000, the lists their item count.
int LoadLimit(std::uint16_t word) {
    return std::min(int(word), 255);
}

double CorrectionLimit(std::uint16_t high, std::uint16_t low, double range) {
    const double value = double(DecodeSignMagnitude32(high, low)) / 100.0;
    return std::clamp(QString::number(value, 'f', 2).toDouble(), -range, range);
}

int ListIndex(int index, int count) {
    return index >= 0 && index < count ? index : 0;
}
} // namespace

LiveRecordSettings::LiveRecordSettings() {
    decode.sensor1Max = 255;
    decode.sensor2Max = 255;
    decode.correctionMax = 100;
    for (int k = 0; k < 25; ++k)
        rpmRows[k] = 500 * (k + 1);
}

LiveRecordSettings LiveRecordSettingsFromImage(const QString &version, const QVector<std::uint16_t> &image) {
    LiveRecordSettings s;
    s.firmware3FA = VersionAtLeast(version, QStringLiteral("3FA"));
    if (image.size() <= ImageWord::MapPressureAt125V)
        return s;
    s.decode.sensor1Max = LoadLimit(image[ImageWord::EngineLoadMax]);
    s.decode.sensor1Min = LoadLimit(image[ImageWord::EngineLoadMin]);
    s.decode.responseType = ListIndex(image[ImageWord::ResponseType], 3);
    if (s.firmware3FA) {
        s.decode.correctionMax = 135;
        s.decode.correctionMin = -20;
        s.decode.sensor2Max = LoadLimit(image[ImageWord::EngineLoad2Max]);
        s.decode.sensor2Min = LoadLimit(image[ImageWord::EngineLoad2Min]);
    } else {
        s.decode.correctionMax = CorrectionLimit(image[ImageWord::CorrectionTableMax],
                                                 image[ImageWord::CorrectionTableMax + 1], 9999);
        s.decode.correctionMin = CorrectionLimit(image[ImageWord::CorrectionTableMin],
                                                 image[ImageWord::CorrectionTableMin + 1], 99999);
    }
    const LoadModeChoice choice = DecodeLoadModeFlags(version, image[ImageWord::LoadModeFlags]);
    if (choice.mainLoadIndex)
        s.loadSource = ListIndex(*choice.mainLoadIndex, 4);
    if (s.firmware3FA && image.size() >= FullImageEnd)
        for (int k = 0; k < 25; ++k)
            s.rpmRows[k] = std::clamp(image[RpmRangeStart + k] * 10, 500, 20000);
    return s;
}

Value RecordedValueOf(const QString &shown) {
    QString text = shown.trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? Value(value) : std::nullopt;
}

QList<Value> LiveRecordValues(const QList<LiveChannel> &channels, const QByteArray &frame,
                              const LiveRecordSettings &settings, const ResponseCurves &curves) {
    const bool longFrame = !frame.isEmpty() && frame.at(0) == 'd';
    const LiveValues v = longFrame ? DecodeLongLiveFrame(frame, settings.decode)
                                   : DecodeShortLiveFrame(frame, settings.decode, curves);
    const int status = WordAt(frame, 23);
    QList<Value> values;
    for (const LiveChannel &entry : channels) {
        switch (entry.quantity) {
        case LiveQuantity::EngineSpeed:
            values << RecordedValueOf(v.engineSpeedText);
            break;
        case LiveQuantity::InjectionTime:
            values << RecordedValueOf(v.injectionTimeText);
            break;
        case LiveQuantity::EngineLoadTps:
            values << RecordedValueOf(v.engineLoadText);
            break;
        case LiveQuantity::EngineLoadMap:
            values << RecordedValueOf(v.engineLoad2Text);
            break;
        case LiveQuantity::WaterTemperature:
            values << RecordedValueOf(v.correctionStepText);
            break;
        case LiveQuantity::AirTemperature:
            values << RecordedValueOf(v.inletTempText);
            break;
        case LiveQuantity::BatteryVoltage:
            values << RecordedValueOf(v.batteryText);
            break;
        case LiveQuantity::FuelCorrection:
            values << RecordedValueOf(v.correctionText);
            break;
        case LiveQuantity::BoostPressure:
            values << RecordedValueOf(v.boostPressureText);
            break;
        case LiveQuantity::Potentiometer:
            values << RecordedValueOf(v.potentiometerText);
            break;
        case LiveQuantity::SecondStage:
            values << Value((status & 0x0008) ? 1.0 : 0.0);
            break;
        case LiveQuantity::FuelPump:
            values << Value((status & 0x0004) ? 1.0 : 0.0);
            break;
        case LiveQuantity::StatusWord:
            values << Value(double(status));
            break;
        case LiveQuantity::FaultWord:
            values << Value(double(WordAt(frame, 46)));
            break;
        case LiveQuantity::MapRow:
            values << Value(
                double(LimitRow(ComputeLiveRow(v.engineSpeed, settings.rpmRows, settings.firmware3FA))));
            break;
        case LiveQuantity::MapColumn: {
            // The small dashboard's load drives the map below "3FA", the large one's from "3FA".
            const LiveColumns columns = PickLiveColumns(longFrame, settings.loadSource, v.engineLoadText,
                                                        v.engineLoadText, v.engineLoad2Text);
            values << Value(double(LimitColumn(columns.fuel)));
            break;
        }
        }
    }
    return values;
}
