#include "ecusim/DemoCalibration.h"

#include "ecusim/EcuState.h"
#include "ecusim/EcuWire.h"

#include <QByteArray>
#include <cmath>

namespace {

// Two characters per word, the first in the high byte, padded with spaces.
void PutText(QVector<std::uint16_t> &image, int start, const QByteArray &text, int chars) {
    const QByteArray padded = text.leftJustified(chars, ' ', true);
    for (int i = 0; i < chars / 2; ++i)
        image[start + i] =
            std::uint16_t(std::uint8_t(padded.at(2 * i)) << 8 | std::uint8_t(padded.at(2 * i + 1)));
}

} // namespace

QVector<std::uint16_t> DemoCalibrationImage() {
    using EcuWire::SignMagnitude;
    QVector<std::uint16_t> image(EcuImageWords, 0);

    // Fuel map, ms x 100: about 1.2 ms at idle and no load up to about 14 ms at full load and high speed.
    for (int row = 1; row <= 25; ++row)
        for (int column = 1; column <= 16; ++column) {
            const double ms = 1.2 + 0.75 * (column - 1) * (0.6 + 0.4 * std::sin(3.14159 * row / 26.0));
            image[(row - 1) * 16 + (column - 1)] = std::uint16_t(std::lround(ms * 100));
        }
    // Water temperature, % x 10: +40 % cold, nothing from 80 degrees (entry k covers -20 + 5k).
    for (int k = 0; k < 32; ++k)
        image[400 + k] = SignMagnitude(std::max(0, 400 - 20 * k));

    image[432] = 18;  // cylinders item "2,0"
    image[433] = 1;   // stroke mode item "2"
    image[434] = 230; // engine load 1 max, raw
    image[435] = 20;  // engine load 1 min, raw
    PutText(image, 436, "Water-temp", 10);
    PutText(image, 441,
            "\xB0"
            "C",
            6);
    image[444] = 1;
    image[446] = 135; // axis fixed at 135 .. -20 degrees
    image[447] = 0x8000;
    image[448] = 20;
    image[452] = 0;
    image[456] = 3; // battery and air corrections, main load from throttle
    PutText(image, 458, "QVR Fuel demo calibration", 32);
    PutText(image, 474, "simulated ECU", 32);
    PutText(image, 490, "", 32);
    image[506] = 230; // engine load 2 max
    image[507] = 30;  // engine load 2 min
    image[508] = 250; // MAP kPa at 3.75 V
    image[509] = 20;  // MAP kPa at 1.25 V

    for (int row = 0; row < 25; ++row)
        image[512 + row] = std::uint16_t(100 + 50 * row); // 1000 .. 13000 RPM, / 10
    // Air temperature: +5 % cold air, -5 % hot.
    for (int k = 0; k < 32; ++k)
        image[537 + k] = SignMagnitude(50 - 100 * k / 31);
    image[575] = std::uint16_t((1500 / 50) << 8 | 20); // overrun fuel cut at 1500 RPM, 2.0 %
    image[577] = 7000 / 50;                            // soft limit
    // Battery: injector dead time, ms x 1000, from 2.5 ms at 8 V down to 0.6 ms at 15.75 V.
    for (int k = 0; k < 32; ++k)
        image[578 + k] = std::uint16_t(2500 - 1900 * k / 31);
    image[655] = 32768; // air pressure sensor adjustment 0 %
    // Air pressure: leaner below sea level pressure.
    for (int k = 0; k < 32; ++k)
        image[657 + k] = SignMagnitude(-100 + 100 * k / 31);
    // Boost correction, % x 10: more fuel as the columns rise.
    for (int row = 0; row < 25; ++row)
        for (int column = 0; column < 16; ++column)
            image[689 + row * 16 + column] = SignMagnitude(column * 15);
    return image;
}
