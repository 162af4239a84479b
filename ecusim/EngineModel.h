#pragma once
// A small, deterministic engine behind the live-data frames: the speed sweeps through the RPM rows, the loads
// move through the columns, water and air warm up, the battery sits near 13.8 V, the boost follows load 2,
// and now and then a fault shows or the ECU asks for a trim of the current cell.
#include <QVector>
#include <cstdint>
#include <optional>

// One instant of the engine, in the units the frames are built from.
struct EngineSample {
    int rpm = 0;
    int injectionUs = 0; // injection time in microseconds
    int load1Raw = 0;    // sensor readings 0..255 (short frame, automatic calibration)
    int load2Raw = 0;
    int load1Column10 = 0; // map column position x 10, 0..159 (long frame)
    int load2Column10 = 0;
    int waterTempC = 0;
    int airTempC = 0;
    int batteryRaw = 23;   // raw x 0.25 + 8 V
    int potentiometer = 0; // percent, -100..100
    int correction10 = 0;  // fuel correction x 10, percent
    int boostKpa = 100;
    int correctionSensorRaw = 0; // 0..160, the small dashboard's correction-table sensor
    std::uint16_t status = 0;
    std::uint16_t faults = 0;

    bool operator==(const EngineSample &) const = default;
};

class EngineModel {
public:
    explicit EngineModel(std::uint64_t seed = 1) { reseed(seed); }

    // Starts the engine again from cold with a new random sequence.
    void reseed(std::uint64_t seed);
    // Advances by one poll (about 100 ms) and returns the new state. The injection time comes from the fuel
    // map cell the engine runs in; `image` is the calibration, `fullImage` tells whether it has an RPM axis.
    EngineSample next(const QVector<std::uint16_t> &image, bool fullImage);
    // Every following sample is exactly `sample` until `unfreeze`.
    void freeze(const EngineSample &sample) { m_frozen = sample; }
    void unfreeze() { m_frozen.reset(); }
    bool isFrozen() const { return m_frozen.has_value(); }
    // Status bit 11 (power to the ECU was interrupted) on every sample that is not frozen.
    void setPowerInterrupted(bool on) { m_powerInterrupted = on; }
    long ticks() const { return m_tick; }

    // Row 1..25 and column 1..16 of the fuel map for a sample (the cell a trim request refers to).
    static int RowFor(int rpm, const QVector<std::uint16_t> &image, bool fullImage);
    static int ColumnFor(const EngineSample &sample) { return sample.load1Column10 / 10 + 1; }

private:
    std::uint32_t random(std::uint32_t below);

    std::uint64_t m_state = 0;
    long m_tick = 0;
    double m_water = 15.0;
    double m_air = 15.0;
    int m_faultTicksLeft = 0;
    std::uint16_t m_fault = 0;
    bool m_powerInterrupted = false;
    std::optional<EngineSample> m_frozen;
};
