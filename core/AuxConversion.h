#pragma once
// Threshold conversions of the AUX output channels by channel type (item index of the type list).
// Types outside 0..10 encode and decode to 0. The types stored as the value itself (0, 2 whole, 3..6,
// 9, 10) use the sign-magnitude word, so the temperatures of kinds 4 and 5 keep their sign; the scaled
// and offset types are held within 0..65535.
#include <cstdint>

std::uint16_t AuxEncodeInteger(int type, int value);
int AuxDecodeInteger(int type, std::uint16_t word);
std::uint16_t AuxEncodeDecimal(int type, double value);
double AuxDecodeDecimal(int type, std::uint16_t word);
