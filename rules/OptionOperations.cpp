#include "rules/OptionOperations.h"

#include "core/FirmwareVersion.h"

#include <cmath>

namespace {
// Nearest integer, ties to the even one (the default rounding mode).
int roundEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}
} // namespace

int LoadModeFlagsFor(const QString &version, bool batteryCorrection, bool inletCorrection, int mainLoadIndex,
                     int sensorTypeIndex) {
    const bool family3 = VersionAtLeast(version, QStringLiteral("3FA"));
    int flags = 0;
    if (batteryCorrection || family3)
        flags += 1;
    if (inletCorrection || family3)
        flags += 2;
    if (family3) {
        if (mainLoadIndex == 1)
            flags += 4;
    } else if (sensorTypeIndex == 1 && version.size() >= 3 && version.at(2) == QLatin1Char('B')) {
        flags += 4;
    }
    if (mainLoadIndex == 2 && VersionAtLeast(version, QStringLiteral("3FA1AC")))
        flags += 8;
    if (mainLoadIndex == 3 && VersionAtLeast(version, QStringLiteral("3FA1AD")))
        flags += 16;
    return flags;
}

LoadModeChoice DecodeLoadModeFlags(const QString &version, int flags) {
    LoadModeChoice choice;
    int rest = flags;
    if (rest >= 16) {
        choice.mainLoadIndex = VersionAtLeast(version, QStringLiteral("3FA1AD")) ? 3 : 0;
        rest -= 16;
    } else if (rest >= 8) {
        choice.mainLoadIndex = VersionAtLeast(version, QStringLiteral("3FA1AC")) ? 2 : 0;
        rest -= 8;
    } else {
        const int index = rest >= 4 ? 1 : 0;
        if (rest >= 4)
            rest -= 4;
        if (VersionAtLeast(version, QStringLiteral("3FA")))
            choice.mainLoadIndex = index;
        else
            choice.sensorTypeIndex = index;
    }
    choice.inletCorrection = rest >= 2;
    if (choice.inletCorrection)
        rest -= 2;
    choice.batteryCorrection = rest >= 1;
    if (VersionAtLeast(version, QStringLiteral("3FA"))) {
        choice.inletCorrection = true;
        choice.batteryCorrection = true;
    }
    return choice;
}

int InterpolationFlagsFor(const InterpolationSwitches &s) {
    return (s.lowerRpm ? 1 : 0) + (s.higherLoad ? 2 : 0) + (s.higherRpm ? 4 : 0) + (s.lowerLoad ? 8 : 0);
}

InterpolationSwitches DecodeInterpolationFlags(int v) {
    InterpolationSwitches s;
    s.lowerLoad = v >= 8;
    if (s.lowerLoad)
        v -= 8;
    s.higherRpm = v >= 4;
    if (s.higherRpm)
        v -= 4;
    s.higherLoad = v >= 2;
    if (s.higherLoad)
        v -= 2;
    s.lowerRpm = v >= 1;
    return s;
}

int ThrottlePumpCodeFor(bool type1, bool type2) {
    if (type1)
        return type2 ? 2 : 0;
    return type2 ? 3 : 1;
}

bool ThrottlePumpTypesFromCode(int code, bool *type1, bool *type2) {
    switch (code) {
    case 0:
        *type1 = true, *type2 = false;
        return true;
    case 1:
        *type1 = false, *type2 = false;
        return true;
    case 2:
        *type1 = true, *type2 = true;
        return true;
    case 3:
        *type1 = false, *type2 = true;
        return true;
    default:
        return false;
    }
}

std::optional<Aux1KindSetting> Aux1KindSettingFor(int kind, Aux1Field field) {
    const bool mode1 = field != Aux1Field::Mode0;
    const bool hyst = field == Aux1Field::Mode1Hysteresis;
    switch (kind) {
    case 0:
        return Aux1KindSetting{0, 0, 0, 0, 0, QString()};
    case 1:
        return Aux1KindSetting{hyst ? 0.0 : 500.0,   20000, mode1 ? 10.0 : 100.0, 0, 12500,
                               QStringLiteral("RPM")};
    case 2:
        if (mode1)
            return Aux1KindSetting{0, 16, 0.1, 1, 16, QStringLiteral("TPS")};
        return Aux1KindSetting{0, 15, 1, 0, 15, QStringLiteral("TPS")};
    case 3:
        return Aux1KindSetting{0, 9999, 1, 0, 9999, QStringLiteral("kpa")};
    case 4:
    case 5:
        return Aux1KindSetting{hyst ? 0.0 : -20.0, 135, 1, 0, 135, QStringLiteral("\u00B0C")};
    default:
        return std::nullopt;
    }
}

const QStringList &Aux1KindNames() {
    static const QStringList names{QStringLiteral("None"),        QStringLiteral("Enginespeed"),
                                   QStringLiteral("TPS"),         QStringLiteral("Boost pressure"),
                                   QStringLiteral("Water-temp."), QStringLiteral("Air-temp.")};
    return names;
}

int Aux1ModeCodeFor(bool inverted, bool mode1) {
    return (inverted ? 1 : 0) + (mode1 ? 2 : 0);
}

namespace {
bool generationTwoOrLater(const QString &version) {
    return !version.isEmpty() && version.at(0).unicode() >= u'2';
}
} // namespace

int PickupFlagFor(bool coilChosen, const QString &version) {
    return coilChosen && generationTwoOrLater(version) ? 1 : 0;
}

bool CoilPickupFromFlag(int flag, const QString &version) {
    return flag == 1 && generationTwoOrLater(version);
}

int StartupTempWordFor(double temperatureA, double temperatureB) {
    return roundEven((temperatureA + 20) * 256 + (temperatureB + 20));
}

std::pair<int, int> StartupTempsFromWord(int word) {
    return {word / 256 - 20, word % 256 - 20};
}

int StartupPercentWordFor(double percentA, double percentB) {
    return roundEven(percentA / 2) * 256 + roundEven(percentB / 2);
}

std::pair<int, int> StartupPercentsFromWord(int word) {
    return {(word / 256) * 2, (word % 256) * 2};
}

QString CorrectionAxisText(double value) {
    // The general format would switch to an exponent from 1000 on (also when 999.6 rounds up to it).
    const QString general = QString::number(value, 'g', 3);
    if (std::fabs(value) > 999 || general.contains(QLatin1Char('e')))
        return QString::number(value, 'f', 0);
    return general;
}

QString BatteryAxisText(double value) {
    const double fourDigits = QString::number(value, 'g', 4).toDouble();
    return QString::number(fourDigits, 'f', 6);
}

QStringList WaterTempAxisTexts(double minimum, double maximum) {
    QStringList texts{QString::number(roundEven(minimum))};
    const double span = maximum - minimum;
    for (int i = 1; i <= 31; ++i) {
        double v = minimum + i * span / 31;
        // Avoid printing rounding noise such as 1.7e-15 for an axis value that is zero.
        if (std::fabs(v) < 1e-9 * std::max(1.0, std::fabs(span)))
            v = 0;
        texts << CorrectionAxisText(v);
    }
    return texts;
}

QStringList AirTempAxisTexts() {
    QStringList texts{QStringLiteral("-20")};
    for (int i = 1; i <= 31; ++i)
        texts << CorrectionAxisText(-20 + 5 * i);
    return texts;
}

QStringList BatteryAxisTexts() {
    QStringList texts;
    for (int i = 0; i <= 31; ++i)
        texts << BatteryAxisText(8 + 0.25 * i);
    return texts;
}

QStringList AirPressureAxisTexts() {
    QStringList texts{QStringLiteral("750")};
    for (int i = 1; i <= 31; ++i)
        texts << CorrectionAxisText(750 + 10 * i);
    return texts;
}
