#pragma once
// The four engine-load response curves: 160 entries each (index 1..160), fractional map column 0.0..15.9.
#include <array>

class ResponseCurves {
public:
    ResponseCurves() { InitResponseCurves(); }
    void InitResponseCurves();
    // curve 0..3, index 1..160
    double entry(int curve, int index) const;

private:
    std::array<std::array<double, 160>, 4> curves_{};
};

// Map column position of a raw engine-load reading for the sensor limits and the response type
// (item index 0..3; any other type gives 0). Maximum equal to minimum gives 0.0.
double LoadToMapColumn(const ResponseCurves &curves, int raw, int minimum, int maximum, int responseType);
