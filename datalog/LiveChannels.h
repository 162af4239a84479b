#pragma once
// The channels of a live-data recording, in one table for both live frames. The names and units are
// the large dashboard's; the short frame's quantities map onto them ("Injection-time" is
// "Inject. time", "Engine-load" is "Engine load TPS" (sensor 1), "Correction" is "Corr. fuel",
// "Inlet temp." is "Air temp.", "Battery" is "Battery voltage"), and each entry says which frames
// carry it, so a log of an older ECU has the short frame's columns only. Values that the dashboard
// shows as "Fail" or "---" are recorded as missing.
#include "datalog/LogTypes.h"

namespace Datalog {

enum class LiveQuantity {
    EngineSpeed,
    InjectionTime,
    EngineLoadTps,
    EngineLoadMap,
    WaterTemperature,
    AirTemperature,
    BatteryVoltage,
    FuelCorrection,
    BoostPressure,
    Potentiometer,
    SecondStage, // lamp "Second Stage" / "AUX1", 0 or 1
    FuelPump,    // lamp "Fuel pump", 0 or 1
    StatusWord,
    FaultWord,
    MapRow,    // live cell: RPM row 1..25
    MapColumn, // and fuel-map column 1..16
};

enum class LiveFrameKind { Short, Long }; // "D" below firmware "3FA", "d" from "3FA"

struct LiveChannel {
    LiveQuantity quantity;
    Channel channel;
    bool shortFrame = false;
    bool longFrame = false;
};

// The whole table, in recording order.
const QList<LiveChannel> &LiveChannelTable();
// The entries a recording of `kind` frames has, in table order.
QList<LiveChannel> LiveChannels(LiveFrameKind kind);
// Just their descriptions (for a writer); without a kind, every channel of the table.
QList<Channel> ChannelsOf(const QList<LiveChannel> &entries);
QList<Channel> AllLiveChannels();

} // namespace Datalog
