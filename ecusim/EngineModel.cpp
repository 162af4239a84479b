#include "ecusim/EngineModel.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int RpmLow = 900;
constexpr int RpmHigh = 6900;
constexpr int RpmSweepTicks = 240; // one way, about 24 s
constexpr int LoadSweepTicks = 90;

// Triangle wave 0..1..0 with a period of 2 x half ticks.
double Triangle(long tick, int half) {
    const long phase = tick % (2L * half);
    return phase < half ? double(phase) / half : double(2L * half - phase) / half;
}

} // namespace

void EngineModel::reseed(std::uint64_t seed) {
    m_state = seed;
    m_tick = 0;
    m_water = 15.0;
    m_air = 15.0;
    m_faultTicksLeft = 0;
    m_fault = 0;
}

std::uint32_t EngineModel::random(std::uint32_t below) {
    // splitmix64: the same sequence for the same seed on every platform.
    m_state += 0x9E3779B97F4A7C15ULL;
    std::uint64_t z = m_state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return below == 0 ? 0 : static_cast<std::uint32_t>(z % below);
}

int EngineModel::RowFor(int rpm, const QVector<std::uint16_t> &image, bool fullImage) {
    // The ECU runs in the last row whose speed it has reached; a blank axis falls back to 500 RPM steps.
    int rows[25];
    bool blank = true;
    for (int r = 0; r < 25; ++r) {
        const int word = fullImage && image.size() > 536 ? image.at(512 + r) : 0;
        rows[r] = word * 10;
        blank = blank && word == 0;
    }
    if (blank)
        for (int r = 0; r < 25; ++r)
            rows[r] = 500 * (r + 1);
    int row = 1;
    for (int r = 0; r < 25; ++r)
        if (rpm >= rows[r])
            row = r + 1;
    return row;
}

EngineSample EngineModel::next(const QVector<std::uint16_t> &image, bool fullImage) {
    if (m_frozen)
        return *m_frozen;
    ++m_tick;
    EngineSample s;

    s.rpm = RpmLow + int((RpmHigh - RpmLow) * Triangle(m_tick, RpmSweepTicks)) + int(random(41)) - 20;
    s.rpm = std::max(0, s.rpm);
    s.load1Column10 =
        std::clamp(int(159 * Triangle(m_tick + 20, LoadSweepTicks)) + int(random(5)) - 2, 0, 159);
    // The manifold pressure lags the throttle a little.
    s.load2Column10 = std::clamp(int(159 * Triangle(m_tick + 14, LoadSweepTicks)), 0, 159);

    // Raw sensor readings between the calibrated end points (or a plausible span on a blank image).
    int min1 = image.size() > 435 ? image.at(435) : 0;
    int max1 = image.size() > 435 ? image.at(434) : 0;
    if (max1 <= min1 || max1 > 255) {
        min1 = 20;
        max1 = 230;
    }
    s.load1Raw = min1 + (max1 - min1) * s.load1Column10 / 159;
    s.load2Raw = 30 + 200 * s.load2Column10 / 159;

    m_water += (85.0 - m_water) * 0.004;
    m_air += (35.0 - m_air) * 0.002;
    s.waterTempC = int(std::lround(m_water));
    s.airTempC = int(std::lround(m_air));
    s.correctionSensorRaw = std::clamp(s.waterTempC + 20, 0, 160);
    // Warm-up enrichment: 0.3 % per degree below 85 degrees.
    s.correction10 = std::max(0, (85 - s.waterTempC) * 3);

    const std::uint32_t jitter = random(10);
    s.batteryRaw = jitter == 0 ? 22 : jitter == 9 ? 24 : 23;
    s.boostKpa = 95 + s.load2Column10;

    // Injection time: the map cell the engine runs in, with the warm-up correction on top.
    const int row = RowFor(s.rpm, image, fullImage);
    const int column = ColumnFor(s);
    const int address = (row - 1) * 16 + (column - 1);
    int cellUs = image.size() > address ? image.at(address) * 10 : 0;
    if (cellUs == 0)
        cellUs = 1500 + 60 * s.load1Column10; // blank map: something that still moves
    s.injectionUs = cellUs * (1000 + s.correction10) / 1000;

    s.status = 0;
    if (s.rpm > 0)
        s.status |= 4; // fuel pump
    if (s.rpm > 5000 && s.load1Column10 > 100)
        s.status |= 8; // second stage
    if (m_powerInterrupted)
        s.status |= 2048;

    // Now and then the ECU asks for a trim of the current cell, with a small potentiometer setting.
    if (random(150) == 0) {
        s.status |= 32768;
        s.potentiometer = int(random(21)) - 10;
    }

    // An occasional fault that stays for a few polls.
    if (m_faultTicksLeft == 0 && random(400) == 0) {
        static const std::uint16_t kFaults[] = {0x8000, 0x4000, 0x2000, 0x0200,
                                                0x0100, 0x0080, 0x0040, 0x0020};
        m_fault = kFaults[random(8)];
        m_faultTicksLeft = 5;
    }
    if (m_faultTicksLeft > 0) {
        s.faults = m_fault;
        --m_faultTicksLeft;
    }
    return s;
}
