#pragma once
// The calibration image: word addresses of every section and field.

constexpr int MapColumns = 16;
constexpr int MapRows = 25;
constexpr int TableLastIndex = 31;
constexpr int TableEntries = 32;

constexpr int FuelMapStart = 0;
constexpr int WaterTempTableStart = 400;
constexpr int OptionsStart = 432;
constexpr int ShortImageEnd = 511; // words 0..510: versions below "3FA"
constexpr int RpmRangeStart = 512;
constexpr int AirTempTableStart = 537;
constexpr int EnrichmentStart = 569;
constexpr int LimitsStart = 575;
constexpr int BatteryTableStart = 578;
constexpr int StartupStart = 610;
constexpr int AuxStart = 640;
constexpr int AirPressureSettingsStart = 655;
constexpr int AirPressureTableStart = 657;
constexpr int BoostMapStart = 689;
constexpr int FullImageEnd = 1089; // words 0..1088: "3FA" and later

// map base + (row - 1) x 16 + (column - 1), column 1..16, row 1..25
constexpr int MapCellAddress(int start, int column, int row) {
    return start + (row - 1) * 16 + (column - 1);
}

// Addresses of the single fields (see the word map in the developer documentation).
namespace ImageWord {
constexpr int CylindersAndPickup = 432;
constexpr int InjectionStrokeMode = 433;
constexpr int EngineLoadMax = 434;
constexpr int EngineLoadMin = 435;
constexpr int CorrectionTableName = 436; // 5 words, 10 characters
constexpr int CorrectionTableUnit = 441; // 3 words, 6 characters
constexpr int NtcSensorActive = 444;
constexpr int CorrectionTableMax = 445; // 2 words
constexpr int CorrectionTableMin = 447; // 2 words
constexpr int SecondStageRpmOld = 449;
constexpr int SecondStageEngineLoadOld = 450;
constexpr int StartupInjectionPulse = 451;
constexpr int InterpolationFlags = 452;
constexpr int ThrottlePumpLow = 453;
constexpr int ThrottlePumpMid = 454;
constexpr int ThrottlePumpHigh = 455;
constexpr int LoadModeFlags = 456;
constexpr int ResponseType = 457;
constexpr int RemarksLine1 = 458; // 16 words, 32 characters each line
constexpr int RemarksLine2 = 474;
constexpr int RemarksLine3 = 490;
constexpr int EngineLoad2Max = 506;
constexpr int EngineLoad2Min = 507;
constexpr int MapPressureAt375V = 508;
constexpr int MapPressureAt125V = 509;
constexpr int Reserved510 = 510;
constexpr int Reserved511 = 511;
constexpr int RpmRange = 512; // 25 words
constexpr int InitialBurst = 569;
constexpr int AccelSensitivityAmplifier = 570;
constexpr int AccelCrankRotations20 = 571;
constexpr int Accel30And40 = 572;
constexpr int Accel50And60 = 573;
constexpr int ThrottlePumpTypeCode = 574;
constexpr int OverrunFuelCut = 575;
constexpr int CoilInputVoltage = 576;
constexpr int SoftLimit = 577;
constexpr int StartupTempWord = 610;    // 2 words
constexpr int StartupPulseByTemp = 612; // 4 words
constexpr int StartupPercentWord = 616; // 8 words
constexpr int CrankTurnsCol1 = 624;     // 4 words each column
constexpr int CrankTurnsCol2 = 628;
constexpr int CrankTurnsCol3 = 632;
constexpr int CrankTurnsCol4 = 636;
constexpr int Aux1Settings = 640; // 15 words
constexpr int Aux1Channel1Type = 640;
constexpr int Aux1Channel1On = 641;
constexpr int Aux1Channel1Off = 642;
constexpr int Aux1Channel2Type = 643;
constexpr int Aux1Channel2On = 644;
constexpr int Aux1Channel2Off = 645;
constexpr int Aux1ModeCode = 646;
constexpr int Aux1Mode1Channel1Type = 647;
constexpr int Aux1Mode1Channel1On = 648;
constexpr int Aux1Mode1Channel1Off = 649;
constexpr int Aux1Mode1Channel2Type = 650;
constexpr int Aux1Mode1Channel2On = 651;
constexpr int Aux1Mode1Channel2Off = 652;
constexpr int Aux1Mode1HystChannel1 = 653;
constexpr int Aux1Mode1HystChannel2 = 654;
constexpr int AirPressureSensorAdjustment = 655;
constexpr int LoadSourceAndBoostFactor = 656;
} // namespace ImageWord
