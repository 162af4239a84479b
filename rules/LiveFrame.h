#pragma once
// Live-data frames as the dashboard shows them: the short "D" frame (32 bytes, firmware below "3FA")
// and the long "d" frame (56 bytes, "3FA" and later) decoded into the texts of the value labels and
// the flags of the status and fault words. No widgets here; live/LiveDisplay puts the texts on screen.
#include <QByteArray>
#include <QString>
#include <cstdint>

class ResponseCurves;

// The option values the decoding depends on, read from the options window when a frame arrives.
struct LiveDecodeSettings {
    int sensor1Min = 0, sensor1Max = 0; // raw limits of engine-load sensor 1
    int sensor2Min = 0, sensor2Max = 0; // and of sensor 2 ("Engine load MAP")
    int responseType = 0;               // item index of the response type
    double correctionMin = 0;           // correction-table range (short frame)
    double correctionMax = 0;
};

// Status word bits.
namespace LiveStatus {
constexpr std::uint16_t TrimRequest = 0x8000;      // bit 15: take over the current cell
constexpr std::uint16_t PowerInterrupted = 0x0800; // bit 11
constexpr std::uint16_t SecondStage = 0x0008;      // bit 3
constexpr std::uint16_t FuelPump = 0x0004;         // bit 2
} // namespace LiveStatus

struct LiveValues {
    bool longFrame = false;
    int engineSpeed = 0; // RPM as shown
    double injectionTime = 0;
    QString engineSpeedText;
    QString injectionTimeText;
    QString engineLoadText;     // load 1 ("Engine load TPS" on the large dashboard)
    QString engineLoad2Text;    // long frame only
    QString correctionStepText; // short: correction-table value; long: water temperature
    QString inletTempText;
    QString batteryText;
    QString correctionText;
    QString potentiometerText; // short frame only
    QString boostPressureText; // long frame only
    std::uint16_t status = 0;
    std::uint16_t faults = 0; // long frame only

    bool trimRequested() const { return status & LiveStatus::TrimRequest; }
    bool powerInterrupted() const { return status & LiveStatus::PowerInterrupted; }
    bool secondStage() const { return status & LiveStatus::SecondStage; }
    bool fuelPump() const { return status & LiveStatus::FuelPump; }
};

// `frame` must hold at least 32 (short) or 56 (long) bytes; the link has checked letter and checksum.
LiveValues DecodeShortLiveFrame(const QByteArray &frame, const LiveDecodeSettings &settings,
                                const ResponseCurves &curves);
LiveValues DecodeLongLiveFrame(const QByteArray &frame, const LiveDecodeSettings &settings);

// Fixed-point text with `decimals` digits after the point, at most `precision` significant digits
// (integer digits are never cut), halves away from zero, "." as separator and no "-" on a zero.
QString FormatFixed(double value, int decimals, int precision = 15);

// Time one injection may take at `rpm` for the stroke-mode item (0 "2", 1 "4", 2 "1"); false when there
// is no limit (speed not above 0 or an unknown item).
bool InjectionTimeLimit(int rpm, int strokeModeIndex, double *limitMs);
