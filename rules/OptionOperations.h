#pragma once
// The option values that are held packed or coded: load-mode flags, interpolation flags, throttle-pump
// type code, AUX1 mode code and channel kinds, start-up words and the axis texts of the correction tables.
// Pure functions of plain values; TForm3 applies them to its controls.
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

// ---- load-mode flags (one byte)
// ---------------------------------------------------------------------------- bit 0 battery correction, bit
// 1 inlet-temperature correction (both always set from "3FA" on), bit 2 main load is Engine load 2, bit 3
// boost correction table ("3FA1AC"), bit 4 boost factor ("3FA1AD").
int LoadModeFlagsFor(const QString &version, bool batteryCorrection, bool inletCorrection, int mainLoadIndex,
                     int sensorTypeIndex);

struct LoadModeChoice {
    std::optional<int> mainLoadIndex;   // ComboBox_Engineloadsensor_Throttle_or_Map, when the flags set it
    std::optional<int> sensorTypeIndex; // ComboBox_Engine_load_sensor_type (below "3FA"), when they set it
    bool inletCorrection = false;
    bool batteryCorrection = false;
};
// Tests 16, then 8, then 4; a weight the firmware does not know falls back to main load 0.
LoadModeChoice DecodeLoadModeFlags(const QString &version, int flags);

// ---- interpolation flags (four bits) ----------------------------------------------------------------------
struct InterpolationSwitches {
    bool lowerRpm = false;   // bit 0
    bool higherLoad = false; // bit 1
    bool higherRpm = false;  // bit 2
    bool lowerLoad = false;  // bit 3
};
int InterpolationFlagsFor(const InterpolationSwitches &switches);
InterpolationSwitches DecodeInterpolationFlags(int flags);

// ---- throttle pump
// ----------------------------------------------------------------------------------------- type 1 only 0,
// neither 1, both 2, type 2 only 3.
int ThrottlePumpCodeFor(bool type1, bool type2);
// False (and nothing written) for a code outside 0..3.
bool ThrottlePumpTypesFromCode(int code, bool *type1, bool *type2);

// ---- AUX1
// --------------------------------------------------------------------------------------------------
enum class Aux1Field {
    Mode0,          // whole-number thresholds of mode 0
    Mode1,          // "on at >" and "off at >" of mode 1
    Mode1Hysteresis // "hyst." of mode 1: may go down to 0
};
struct Aux1KindSetting {
    double minimum = 0;
    double maximum = 0;
    double step = 0;
    int decimals = 0;
    double value = 0; // the value a change of kind puts in the field
    QString unit;
};
// Kinds 0 "None", 1 "Enginespeed", 2 "TPS", 3 "Boost pressure", 4 "Water-temp.", 5 "Air-temp.";
// any other kind has no setting (the field is left alone).
std::optional<Aux1KindSetting> Aux1KindSettingFor(int kind, Aux1Field field);
const QStringList &Aux1KindNames();

// bit 0 output inverted, bit 1 mode 1.
int Aux1ModeCodeFor(bool inverted, bool mode1);
inline bool Aux1InvertedFromCode(int code) {
    return code == 1 || code == 3;
}
inline bool Aux1Mode1FromCode(int code) {
    return code != 0 && code != 1;
}

// ---- RPM pickup
// -------------------------------------------------------------------------------------------- 1 when the
// coil pickup is chosen on a version whose first character is "2" or higher.
int PickupFlagFor(bool coilChosen, const QString &version);
bool CoilPickupFromFlag(int flag, const QString &version);

// ---- start-up words
// ---------------------------------------------------------------------------------------- (t_a + 20) x 256 +
// (t_b + 20) for the water temperatures of two neighbouring columns.
int StartupTempWordFor(double temperatureA, double temperatureB);
std::pair<int, int> StartupTempsFromWord(int word);
// round(p_a / 2) x 256 + round(p_b / 2), halves to even.
int StartupPercentWordFor(double percentA, double percentB);
std::pair<int, int> StartupPercentsFromWord(int word);

// ---- correction-table axis texts (row 0 of the four table grids, columns 0..31)
// ------------------------------ Above 999 (in magnitude) fixed point without decimals, otherwise general
// format, 3 significant digits.
QString CorrectionAxisText(double value);
// Fixed point, 6 decimals, after rounding to 4 significant digits.
QString BatteryAxisText(double value);
QStringList WaterTempAxisTexts(double minimum, double maximum);
QStringList AirTempAxisTexts();
QStringList BatteryAxisTexts();
QStringList AirPressureAxisTexts();
