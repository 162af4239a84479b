#pragma once
// A copy of every option value, taken each time the options window is shown, so that Cancel can put
// things back. Several values are held scaled or packed, so a restored value comes back at the
// snapshot's resolution (engine speeds in 50-RPM steps, percentages in steps of 2, and so on).
#include <QString>
#include <array>

// Scaled forms; every scaling rounds to the nearest integer, halves to the even neighbour.
int RpmSteps50(double rpm);            // round(rpm / 50), restored x 50
int TimesTen(double value);            // round(value x 10), restored / 10
int TimesHundred(double value);        // round(value x 100), restored / 100
int AirAdjustmentWord(double percent); // round((percent / 100 + 1) x 32768)
double AirAdjustmentPercent(int word); // (word / 32768 - 1) x 100

struct OptionsSnapshot {
    // RPM pickup and range
    int pulsesIndex = 0;
    int strokeMode = 1; // list index + 1
    int pickupFlag = 0;
    int coilVoltageIndex = 0;
    std::array<int, 25> rpmRows{};

    // Engine-load sensor
    int max1 = 255, min1 = 0, max2 = 255, min2 = 0;
    int airPressure = 0;
    int airAdjustment = 32768;
    int loadModeFlags = 0;
    int responseType = 0;
    int pressure125 = 0, pressure375 = 0;
    int boostFactor = 100;

    // Throttle pump effect
    std::array<int, 3> pumpAmount{};
    std::array<int, 3> pumpSustain{};
    int burstSensitivity = 10, burstAmplifier = 0;
    int accSensitivity = 10, accAmplifier = 0, accCrankRotations = 0;
    std::array<int, 5> accPercent{};
    int throttlePumpType = 2;

    // Correction table
    QString tableName; // at most 10 characters
    QString tableUnit; // at most 6
    double tableMax = 100, tableMin = 0;
    int ntc = 0;

    // Startup
    double startupPulse = 0;
    std::array<int, 2> startupTempWords{};    // columns 1+2, 3+4
    std::array<int, 8> startupPercentWords{}; // per crank-turn row: columns 1+2, then 3+4
    std::array<int, 16> crankTurnCounts{};    // row-major: turn rows 20..80, columns 1..4
    std::array<int, 4> startupPulses{};       // x 100

    // Second stage (older firmware), AUX1, RPM limiter
    int secondStageRpm = 260; // / 50
    int secondStageLoad = 0;
    std::array<int, 2> mode0Kinds{};
    std::array<int, 4> mode0Values{}; // channel 1 on, off; channel 2 on, off
    std::array<int, 2> mode1Kinds{};
    std::array<double, 6> mode1Values{}; // channel 1 on, off, hyst; channel 2 on, off, hyst
    int aux1ModeCode = 0;
    int softLimit = 250; // / 50

    // Interpolation and overrun fuel cut
    int interpolationFlags = 0;
    int overrunRpm = 10; // / 50
    int overrunTps = 0;  // x 10

    // Remarks, at most 32 characters each
    std::array<QString, 3> remarks;
};
