// One measured-value record: the first 23 words of a measured frame's data.
#pragma once

#include <cstdint>

struct MeasuredValuesRecord {
  std::uint16_t Red;           // calibrated red, 0..4095
  std::uint16_t Green;         // calibrated green, 0..4095
  std::uint16_t Blue;          // calibrated blue, 0..4095
  std::uint16_t X;             // X, or s in the s i M modes
  std::uint16_t Y;             // Y, or i
  std::uint16_t Int;           // INT, or M
  std::int16_t DeltaC;         // signed distance to the colour hit, -1 when none
  std::uint16_t ColorNo;       // teach row hit, 255 = failure; OUT0/OUT1 in bits 0/1 above EVALUATION MODE 2
  std::uint16_t GroupNo;       // colour group hit, 255 = failure
  std::uint16_t Trigger;       // non-zero = triggered
  std::uint16_t Temp;          // sensor temperature
  std::uint16_t RawRed;        // uncalibrated red
  std::uint16_t RawGreen;      // uncalibrated green
  std::uint16_t RawBlue;       // uncalibrated blue
  std::uint16_t MinMaxRGB[6];  // minimum and maximum of red, green and blue
  std::uint16_t SimRef[3];     // s, i, M reference values of siM REF
};
static_assert(sizeof(MeasuredValuesRecord) == 46, "23 words");

constexpr int MEASURED_VALUE_WORDS = 23;

extern MeasuredValuesRecord MeasuredValues;
