#pragma once
// The two engine maps as numbers: which map, where its cells live in the image, the raw word of a value
// and the limits a cell is held to. No widgets here.
#include <QByteArray>

#include "core/Encoding.h"
#include "core/ImageLayout.h"

// Values of ActiveMapGrid: the injection (fuel) map and the boost-correction map.
constexpr int FuelMapGrid = 1;
constexpr int BoostMapGrid = 7;

inline int MapBase(int map) {
    return map == BoostMapGrid ? BoostMapStart : FuelMapStart;
}

// Injection map ms x 100, boost map percent x 10, ties to even.
inline int MapRawValue(int map, double value) {
    return RoundHalfEven(value * (map == BoostMapGrid ? 10.0 : 100.0));
}

inline double MapMinimum(int map) {
    return map == BoostMapGrid ? -500.0 : 0.0;
}
inline double MapMaximum(int map) {
    return map == BoostMapGrid ? 500.0 : 40.95;
}
inline double MapStep(int map) {
    return map == BoostMapGrid ? 0.1 : 0.01;
}
inline int MapDecimals(int map) {
    return map == BoostMapGrid ? 1 : 2;
}

inline double ClampMapValue(int map, double value) {
    if (value < MapMinimum(map))
        return MapMinimum(map);
    if (value > MapMaximum(map))
        return MapMaximum(map);
    return value;
}

// Change request payload of one cell: address word, then value word.
inline QByteArray MapCellPayload(int map, int column, int row, double value) {
    return EncodeWord(MapCellAddress(MapBase(map), column, row)) + EncodeWord(MapRawValue(map, value));
}
