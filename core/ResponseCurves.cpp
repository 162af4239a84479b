#include "core/ResponseCurves.h"

#include <algorithm>
#include <cmath>

namespace {
// Tenths of a map column, entries 1..160, as measured for the logarithmic and e-log sensor responses.
// clang-format off
constexpr std::array<short, 160> LogarithmicTenths = {
    0, 0, 0, 0, 1, 2, 2, 2, 3, 3, 4, 5, 6, 6, 6, 7, 7, 8, 8, 8, // 1-20
    9, 10, 10, 11, 12, 12, 13, 14, 14, 15, 15, 16, 16, 17, 18, 18, 19, 20, 20, 21, // 21-40
    22, 22, 23, 23, 23, 24, 25, 26, 26, 27, 28, 28, 29, 30, 31, 31, 32, 32, 33, 34, // 41-60
    35, 35, 36, 37, 38, 38, 39, 40, 41, 41, 42, 43, 43, 44, 44, 45, 46, 47, 47, 48, // 61-80
    49, 49, 50, 51, 51, 52, 53, 54, 54, 55, 56, 56, 57, 57, 58, 58, 59, 60, 60, 61, // 81-100
    62, 63, 64, 65, 66, 67, 67, 68, 69, 70, 71, 72, 73, 74, 75, 75, 76, 77, 78, 79, // 101-120
    80, 81, 82, 84, 84, 85, 86, 87, 88, 89, 91, 92, 93, 94, 96, 98, 100, 103, 105, 109, // 121-140
    111, 115, 118, 121, 124, 127, 131, 133, 136, 139, 142, 144, 147, 150, 152, 154, 156, 158, 158, 158, // 141-160
};

constexpr std::array<short, 160> ELogTenths = {
    0, 2, 5, 8, 10, 14, 17, 20, 23, 26, 29, 32, 35, 38, 40, 42, 44, 47, 49, 51, // 1-20
    53, 55, 56, 58, 59, 61, 63, 64, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 77, // 21-40
    78, 79, 80, 81, 82, 83, 84, 84, 85, 86, 87, 87, 88, 89, 90, 90, 91, 92, 92, 93, // 41-60
    94, 95, 96, 97, 97, 98, 99, 100, 100, 101, 102, 103, 103, 104, 104, 105, 106, 107, 108, 108, // 61-80
    109, 110, 110, 111, 112, 112, 113, 113, 114, 114, 115, 115, 116, 116, 117, 118, 118, 119, 120, 120, // 81-100
    121, 122, 123, 124, 124, 125, 125, 126, 127, 127, 128, 129, 130, 130, 131, 132, 132, 133, 134, 134, // 101-120
    135, 136, 136, 137, 137, 138, 139, 139, 140, 140, 141, 142, 142, 143, 143, 144, 145, 145, 146, 146, // 121-140
    147, 148, 149, 149, 150, 151, 151, 152, 153, 153, 154, 155, 156, 156, 157, 157, 158, 158, 158, 158, // 141-160
};
// clang-format on
} // namespace

void ResponseCurves::InitResponseCurves() {
    for (int i = 0; i < 160; ++i) {
        const double linear = i / 10.0;
        curves_[0][i] = linear;
        curves_[1][i] = LogarithmicTenths[i] / 10.0;
        curves_[2][i] = ELogTenths[i] / 10.0;
        curves_[3][i] = linear;
    }
}

double ResponseCurves::entry(int curve, int index) const {
    if (curve < 0 || curve > 3 || index < 1 || index > 160)
        return 0.0;
    return curves_[curve][index - 1];
}

double LoadToMapColumn(const ResponseCurves &curves, int raw, int minimum, int maximum, int responseType) {
    if (responseType < 0 || responseType > 3)
        return 0.0;
    // Uncalibrated sensor limits: no span to divide by, so the engine sits in the first column.
    if (maximum == minimum)
        return 0.0;
    const double unsignedRaw = static_cast<double>(raw & 0xFFFF);
    const double p = std::trunc((unsignedRaw - minimum) * 160.0 / (static_cast<double>(maximum) - minimum));
    const double k = std::clamp(p + 1.0, 1.0, 160.0);
    return curves.entry(responseType, static_cast<int>(k));
}
