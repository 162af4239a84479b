#pragma once
// A plausible calibration for the demo and for tests that want something other than zeros: a fuel map that
// rises with speed and load, an RPM axis from 1000 to 13000, warm-up, air and battery corrections, sensor
// end points and remark lines. Only the fields a tuner would look at first are filled; the rest stay 0.
#include <QVector>
#include <cstdint>

QVector<std::uint16_t> DemoCalibrationImage();
