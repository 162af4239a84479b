#pragma once
// Threshold conversions of the AUX output channels by channel type (item index of the type list).
// Types outside 0..10 encode and decode to 0; encoded words are held within 0..65535.
#include <cstdint>

std::uint16_t AuxEncodeInteger(int type, int value);
int AuxDecodeInteger(int type, std::uint16_t word);
std::uint16_t AuxEncodeDecimal(int type, double value);
double AuxDecodeDecimal(int type, std::uint16_t word);
