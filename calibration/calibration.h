// White calibration (page 5), offset compensation (page 8) and the hardware
// initial file.
//
// Wire: order 101 writes three words, the factors (parameter 0) or the offsets
// (parameter 1), and answers in its status how many values the sensor's
// plausibility check replaced; order 102 answers six words, factors red, green,
// blue and offsets red, green, blue; order 103 lets the sensor calibrate itself
// and answers five words, the factors, its set value and its maximum delta;
// order 100 with 1 has the sensor measure its offsets; order 194 with 0x4C7E
// answers the 256 hardware words. The sensor calibrates as
// CALIBRATED DATA = (RAW DATA * CF) / 1024.
#pragma once

#include <cstdint>
#include <string>

#include "parameters/ini.h"
#include "parameters/parameter_set.h"

constexpr int CALIBRATION_FACTOR_MAX = 4096;
constexpr int CALIBRATION_POLLS = 100;      // frames averaged by the PC calibration
constexpr int HARDWARE_WORDS = 256;
constexpr int BUTTON_GREY = 0xE0E0E0;       // the normal button colour
constexpr int BUTTON_RED = 0xFF0000;        // a button whose operation is in progress

// The values the pages show last read, computed or typed.
struct CalibrationRecord {
  std::uint16_t CalibrationFactors[3] = {1024, 1024, 1024};  // red, green, blue
  std::uint16_t CalibrationSetValue = 2048;  // raw level the calibrated channels reach on white
  std::uint16_t MaxRawDelta = 1000;          // largest spread of the raw averages that is calibrated
  std::uint16_t SensorOffsets[3] = {0, 0, 0};
  std::uint16_t Averages[4] = {0, 0, 0, 0};  // raw red, green, blue and raw delta over the last 100 polls
};

extern CalibrationRecord CalibrationValues;

// [SECTION] Computations (no user interface)
// max - min of the three raw values.
std::uint16_t RawDelta(std::uint16_t red, std::uint16_t green, std::uint16_t blue);

enum FactorOutcome : int {
  FACTORS_COMPUTED = 1,
  FACTORS_DELTA_TOO_HIGH = 2,   // the average raw delta exceeds the maximum delta
  FACTORS_OUT_OF_RANGE = 3,     // a factor would exceed 4096
};
// Factors = setValue * 1024 / average (an average of 0 counts as 1). `factors` is written
// only when the outcome is FACTORS_COMPUTED.
FactorOutcome CalibrationFactorsFor(const std::uint16_t averages[4], std::uint16_t setValue, std::uint16_t maxDelta,
                                    std::uint16_t factors[3]);

// The colour of the CALCULATE button while poll `i` (0..99) of the averaging runs:
// it switches at every fifth poll, red first.
int BlinkColourAtPoll(int i);

// The hardware words as text: four hexadecimal digits each (upper case), no separators.
std::string HardwareDataText(const std::uint16_t* words, int count);

struct HardwareFileContent {
  std::string FirmwareVersion;
  std::uint16_t HardwareData[HARDWARE_WORDS] = {};
  std::uint16_t Factors[3] = {};
  std::uint16_t Offsets[3] = {};
  ParameterSetRecord Parameters{};
};
// The hardware initial file in its order: GENERAL INFO, HARDWARE INFO, CALIBRATION FACTOR,
// OFFSET, then PARAMETER and the 31 teach sections as the parameter file has them.
IniDocument HardwareFileDocument(const HardwareFileContent& content);

// [SECTION] Operations
// Order 101 with 0: the factors of the edit boxes to the sensor.
void SendCalibrationFactors();
// Order 102: factors into page 5's edit boxes, offsets into page 8's. 1 or -1.
int GetCalibrationData();
// 100 polls of order 8 on a white target, averaged, then ComputeCalibrationFactors.
void AverageRawValues();
// Checks the averages and fills the factor edit boxes, or says why not.
void ComputeCalibrationFactors();
// Order 103: the sensor's own factors, set value and maximum delta on the page.
void StartSelfCalibration();
// Raw values and their delta of MeasuredValues on page 5 (the GO loop calls it every frame).
void ShowRawValues();
// Calibrated red, green and blue of MeasuredValues on page 5.
void ShowCalibratedValues();
// Order 101 with 1: the offsets of the edit boxes to the sensor.
void SendOffsets();
// Order 100 with 1, then GetCalibrationData; the offsets also into the displays.
void MeasureOffsets();
// Hides page 8 again and brings the parameter page to the front.
void CloseOffsetPage();
// The offset page's three action buttons dimmed (1) or enabled (0).
void DimOffsetButtons(int dimmed);
// Sensor snapshot to a file the operator chooses; 1 when written, -1 otherwise.
int WriteHardwareFile();

// [SECTION] Page builders (calibration/calibration_pages.cpp)
void BuildCalibrationPageControls(int page);
void BuildOffsetPageControls(int page);
