#include "core/AuxConversion.h"

#include "core/Encoding.h"

#include <algorithm>

namespace {
// The ECU has no use for a threshold outside one word, so hold it there instead of wrapping.
std::uint16_t toWord(int value) {
    return static_cast<std::uint16_t>(std::clamp(value, 0, 0xFFFF));
}

bool isTemperature(int type) {
    return type == 7 || type == 8;
}
bool isKnown(int type) {
    return type >= 0 && type <= 10;
}
} // namespace

std::uint16_t AuxEncodeInteger(int type, int value) {
    if (!isKnown(type))
        return 0;
    if (type == 1)
        return toWord(RoundHalfEven(value / 100.0));
    if (isTemperature(type))
        return toWord(value + 20);
    return EncodeSignMagnitude(value);
}

int AuxDecodeInteger(int type, std::uint16_t word) {
    if (!isKnown(type))
        return 0;
    if (type == 1)
        return word * 100;
    if (isTemperature(type))
        return word - 20;
    return DecodeSignMagnitude(word);
}

std::uint16_t AuxEncodeDecimal(int type, double value) {
    if (!isKnown(type))
        return 0;
    if (type == 1)
        return toWord(RoundHalfEven(value / 10.0));
    if (type == 2)
        return toWord(RoundHalfEven(value * 10.0));
    if (isTemperature(type))
        return toWord(RoundHalfEven(value + 20.0));
    return EncodeSignMagnitude(RoundHalfEven(value));
}

double AuxDecodeDecimal(int type, std::uint16_t word) {
    if (!isKnown(type))
        return 0.0;
    if (type == 1)
        return word * 10.0;
    if (type == 2)
        return word / 10.0;
    if (isTemperature(type))
        return word - 20.0;
    return DecodeSignMagnitude(word);
}
