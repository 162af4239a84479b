#pragma once
// Threshold conversions of the AUX output channels by channel type (item index of the type list).
#include <cstdint>

std::uint16_t AuxEncodeInteger(int type, int value);
int AuxDecodeInteger(int type, std::uint16_t word);
std::uint16_t AuxEncodeDecimal(int type, double value);
double AuxDecodeDecimal(int type, std::uint16_t word);
