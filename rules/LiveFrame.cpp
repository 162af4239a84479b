#include "rules/LiveFrame.h"

#include "core/Encoding.h"
#include "core/ResponseCurves.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int UnsignedAt(const QByteArray &frame, int offset) {
    return (std::uint8_t(frame[offset]) << 8) | std::uint8_t(frame[offset + 1]);
}

int SignedAt(const QByteArray &frame, int offset) {
    return DecodeWord(std::uint8_t(frame[offset]), std::uint8_t(frame[offset + 1]));
}

const QString Dashes = QStringLiteral("---");
const QString Fail = QStringLiteral("Fail");

QString InletTemperatureText(int word) {
    const int celsius = word - 20;
    if (celsius > 135 || celsius < -20)
        return Dashes;
    return FormatFixed(celsius, 1);
}

QString CorrectionText(int word) {
    return FormatFixed(word * 0.1, 1);
}

// The long frame's load positions: byte 35 (37) counts whole 256s, byte 36 (38) tenths.
QString ColumnPositionText(const QByteArray &frame, int offset, int minimum, int maximum) {
    if (minimum == maximum)
        return Fail;
    const double position = std::uint8_t(frame[offset]) * 256.0 + std::uint8_t(frame[offset + 1]) * 0.1;
    return FormatFixed(position, 1);
}

double ShownValue(const QString &text) {
    return text.toDouble();
}

} // namespace

QString FormatFixed(double value, int decimals, int precision) {
    if (!std::isfinite(value))
        return QString::number(value);
    decimals = std::max(decimals, 0);
    // Fifteen significant digits first, so a value such as 2.505 rounds the way it reads.
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    std::string digits(1, buffer[0]);
    digits.append(buffer + 2, 14);
    const int intDigits = std::atoi(std::strchr(buffer, 'e') + 1) + 1;

    int keepDecimals = decimals;
    if (intDigits + keepDecimals > precision)
        keepDecimals = std::max(precision - intDigits, 0);
    const int keep = intDigits + keepDecimals;

    // `scaled` is the value times 10^keepDecimals, rounded half away from zero, as decimal digits.
    std::string scaled;
    if (keep <= 0) {
        scaled = (keep == 0 && digits[0] >= '5') ? "1" : "0";
    } else if (keep >= int(digits.size())) {
        scaled = digits + std::string(keep - digits.size(), '0');
    } else {
        scaled = digits.substr(0, keep);
        if (digits[keep] >= '5') {
            int i = keep - 1;
            while (i >= 0 && scaled[i] == '9')
                scaled[i--] = '0';
            if (i >= 0)
                ++scaled[i];
            else
                scaled.insert(scaled.begin(), '1');
        }
    }
    if (int(scaled.size()) <= keepDecimals)
        scaled.insert(0, keepDecimals + 1 - scaled.size(), '0');
    std::string whole = scaled.substr(0, scaled.size() - keepDecimals);
    const auto firstNonZero = whole.find_first_not_of('0');
    whole = firstNonZero == std::string::npos ? "0" : whole.substr(firstNonZero);
    std::string text = whole;
    if (decimals > 0)
        text += '.' + scaled.substr(scaled.size() - keepDecimals) + std::string(decimals - keepDecimals, '0');
    const bool zero = text.find_first_not_of("0.") == std::string::npos;
    if (value < 0 && !zero)
        text.insert(text.begin(), '-');
    return QString::fromLatin1(text.c_str());
}

bool InjectionTimeLimit(int rpm, int strokeModeIndex, double *limitMs) {
    // Turns of the crankshaft per injection in the stroke modes "2", "4" and "1".
    constexpr double TurnsPerInjection[] = {1, 2, 0.5};
    if (rpm <= 0 || strokeModeIndex < 0 || strokeModeIndex > 2)
        return false;
    const double perTurn = 60000.0 / rpm;
    *limitMs = perTurn * TurnsPerInjection[strokeModeIndex];
    return true;
}

namespace {
// What both frames start with: the engine speed (in steps of rpmStep) and the injection time, whose
// ticks differ by firmware (msPerTick / 2500 ms each, counted in half steps).
LiveValues SpeedAndInjection(const QByteArray &frame, bool longFrame, int rpmStep, double msPerTick) {
    LiveValues v;
    v.longFrame = longFrame;
    v.engineSpeed = UnsignedAt(frame, 1) * rpmStep;
    v.engineSpeedText = QString::number(v.engineSpeed);
    v.injectionTimeText = FormatFixed(UnsignedAt(frame, 3) / 2500.0 * msPerTick * 2, 2, 5);
    v.injectionTime = ShownValue(v.injectionTimeText);
    return v;
}
} // namespace

LiveValues DecodeShortLiveFrame(const QByteArray &frame, const LiveDecodeSettings &s,
                                const ResponseCurves &curves) {
    LiveValues v = SpeedAndInjection(frame, false, 50, 1.355);

    if (s.sensor1Max == s.sensor1Min)
        v.engineLoadText = Fail;
    else
        v.engineLoadText = FormatFixed(
            LoadToMapColumn(curves, UnsignedAt(frame, 7), s.sensor1Min, s.sensor1Max, s.responseType), 1);

    const int sensor = UnsignedAt(frame, 9);
    if (sensor > 160) {
        v.correctionStepText = Dashes;
    } else {
        const double shown =
            std::max(s.correctionMin + (s.correctionMax - s.correctionMin) / 155.0 * sensor, s.correctionMin);
        v.correctionStepText = FormatFixed(shown, 1);
    }

    v.inletTempText = InletTemperatureText(SignedAt(frame, 11));
    v.batteryText = FormatFixed(UnsignedAt(frame, 13) * 0.25 + 8, 1, 3);
    const int potentiometer = SignedAt(frame, 17);
    v.potentiometerText =
        (potentiometer > 100 || potentiometer < -100) ? Dashes : QString::number(potentiometer);
    v.correctionText = CorrectionText(SignedAt(frame, 21));
    v.status = std::uint16_t(UnsignedAt(frame, 23));
    return v;
}

LiveValues DecodeLongLiveFrame(const QByteArray &frame, const LiveDecodeSettings &s) {
    LiveValues v = SpeedAndInjection(frame, true, 10, 1.25);

    v.engineLoadText = ColumnPositionText(frame, 35, s.sensor1Min, s.sensor1Max);
    v.engineLoad2Text = ColumnPositionText(frame, 37, s.sensor2Min, s.sensor2Max);

    const int water = UnsignedAt(frame, 9);
    v.correctionStepText = water > 155 ? Dashes : FormatFixed(std::max(water - 20, -20), 1);
    v.inletTempText = InletTemperatureText(SignedAt(frame, 11));
    v.batteryText = FormatFixed(UnsignedAt(frame, 13) * 0.25 + 8, 1);
    v.correctionText = CorrectionText(SignedAt(frame, 21));
    v.boostPressureText = QString::number(UnsignedAt(frame, 43));
    v.faults = std::uint16_t(UnsignedAt(frame, 46));
    v.status = std::uint16_t(UnsignedAt(frame, 23));
    return v;
}
