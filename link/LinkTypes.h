#pragma once
// Names for the numbers the link and the step machine run on: the one-shot delayed actions, the steps of
// the transfers and edit jobs, what the line is doing, and why it went offline.

// What the one-shot Timer4 does when it fires. The values are the ones the ECU tool has always used.
enum class DelayedAction : int {
    Connect = 0,            // "V": start of the connect sequence
    SingleWrite = 1,        // "c": a chart bar or a live trim
    MapEdit = 2,            // start the edit job of the main window's menu
    Poll = 3,               // live-data request
    Retry = 6,              // the retry step after a rejected reply
    Lock = 7,               // "L"
    TableEdit = 8,          // start the edit job of the correction-table window's menu
    RunSteps = 9,           // enable the step timer (a transfer starts or continues)
    PollDashboardOnly = 16, // after storing "Display dashboard only" on newer firmware
    SendPassword = 30,      // "p" of the password box
    SendNewPassword = 31,   // "P" of the password box
    SendAccessBits = 32,    // "A" of the settings box
};

// TransferStep values: the calibration write (-1, 2..14, 90, 100), the map edit job (1) and the four
// correction-table edit jobs (200, 300, 400, 500). 0 = nothing runs.
namespace Step {
enum : int {
    None = 0,
    VersionCheck = -1,
    MapEdit = 1,
    FuelMap = 2,
    WaterTable = 3,
    OptionWords = 4,
    RpmRange = 5,
    AirTempTable = 6,
    Enrichment = 7,
    Limits = 8,
    BatteryTable = 9,
    Startup = 10,
    Aux = 11,
    AirPressureSettings = 12,
    AirPressureTable = 13,
    BoostMap = 14,
    BlocksDone = 90,
    Restart = 100,
    WaterEdit = 200,
    AirTempEdit = 300,
    BatteryEdit = 400,
    AirPressureEdit = 500,
};
}

inline bool IsCalibrationWriteStep(int step) {
    return step == Step::VersionCheck || (step >= Step::FuelMap && step <= Step::BoostMap) ||
           step == Step::BlocksDone || step == Step::Restart;
}

// What the line is doing now. Polling is the idle line with the live poll running.
enum class LineActivity {
    Idle,
    Connecting,  // "V", "S", "a" of the connect sequence
    Reading,     // the "Z" of an up-load
    Writing,     // a down-load, or the options written from the options window
    EditJob,     // an edit job of either edit menu
    Lock,        // "L"
    Access,      // "A", "p" or "P" of the access and password boxes
    Trim,        // the live trim's single-value write
    SingleWrite, // a chart bar's single-value write
    Calibration, // the engine-load sensor readings of the options window
};

// Why the link went offline; the user's own switch is the only one that is not a failure.
enum class OfflineCause {
    User,            // F10, a dashboard click, a file load, "Stay Offline", closing
    GaveUp,          // the sixth failure in a row
    LineLost,        // the port reported an error, vanished or hung up
    WriteFailed,     // writing a frame failed
    PortUnavailable, // a request could not open the port
    Program,         // the program ended the conversation (unsupported ECU and the like)
};
