#include "datalog/LiveChannels.h"

namespace Datalog {

namespace {

using Q = LiveQuantity;
using T = FieldType;
using S = DisplayStyle;

LiveChannel Entry(Q quantity, const char *name, const QString &unit, T type, double scale, int digits,
                  const char *category, bool mayBeMissing, bool shortFrame, bool longFrame,
                  S style = S::Float) {
    return {quantity,
            Channel{QString::fromUtf8(name), unit, type, style, scale, 0, digits, QString::fromUtf8(category),
                    mayBeMissing},
            shortFrame, longFrame};
}

} // namespace

const QList<LiveChannel> &LiveChannelTable() {
    const QString celsius = QStringLiteral("°C");
    // Types hold the frames' ranges: speed up to 65535 RPM, injection to 655.35 ms, load columns
    // 0..15.9 (the long frame's high byte counts 256s, so U16 x 0.1), temperatures -20..135, the
    // potentiometer -100..100, the correction +-3276.7 %.
    static const QList<LiveChannel> table{
        Entry(Q::EngineSpeed, "Enginespeed", "RPM", T::U16, 1, 0, "Engine", false, true, true),
        Entry(Q::InjectionTime, "Inject. time", "ms", T::U16, 0.01, 2, "Engine", false, true, true),
        Entry(Q::EngineLoadTps, "Engine load TPS", {}, T::U16, 0.1, 1, "Engine", true, true, true),
        Entry(Q::EngineLoadMap, "Engine load MAP", {}, T::U16, 0.1, 1, "Engine", true, false, true),
        Entry(Q::WaterTemperature, "Watertemp.", celsius, T::S16, 0.1, 1, "Sensors", true, false, true),
        Entry(Q::AirTemperature, "Air temp.", celsius, T::S16, 0.1, 1, "Sensors", true, true, true),
        Entry(Q::BatteryVoltage, "Battery voltage", "V", T::U16, 0.01, 1, "Sensors", false, true, true),
        Entry(Q::FuelCorrection, "Corr. fuel", "%", T::S16, 0.1, 1, "Corrections", false, true, true),
        Entry(Q::BoostPressure, "Boost pressure", "kpa", T::U16, 1, 0, "Sensors", false, false, true),
        Entry(Q::Potentiometer, "Potmeter", "%", T::S08, 1, 0, "Corrections", true, true, false),
        Entry(Q::SecondStage, "Second Stage/AUX1", {}, T::U08, 1, 0, "Outputs", false, true, true, S::OnOff),
        Entry(Q::FuelPump, "Fuel pump", {}, T::U08, 1, 0, "Outputs", false, false, true, S::OnOff),
        Entry(Q::StatusWord, "Status word", {}, T::U16, 1, 0, "Status", false, true, true, S::Hex),
        Entry(Q::FaultWord, "Fault word", {}, T::U16, 1, 0, "Status", false, false, true, S::Hex),
        Entry(Q::MapRow, "Map row", {}, T::U08, 1, 0, "Map", false, true, true),
        Entry(Q::MapColumn, "Map column", {}, T::U08, 1, 0, "Map", false, true, true),
    };
    return table;
}

QList<LiveChannel> LiveChannels(LiveFrameKind kind) {
    QList<LiveChannel> entries;
    for (const LiveChannel &entry : LiveChannelTable())
        if (kind == LiveFrameKind::Long ? entry.longFrame : entry.shortFrame)
            entries << entry;
    return entries;
}

QList<Channel> ChannelsOf(const QList<LiveChannel> &entries) {
    QList<Channel> channels;
    for (const LiveChannel &entry : entries)
        channels << entry.channel;
    return channels;
}

QList<Channel> AllLiveChannels() {
    return ChannelsOf(LiveChannelTable());
}

} // namespace Datalog
