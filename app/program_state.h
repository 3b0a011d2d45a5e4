// Program-wide flags and paths shared by every subsystem.
#pragma once

#include <cstdint>
#include <string>

struct ProgramState {
  std::uint16_t SensorConnected = 0;    // a sensor was identified and no failure occurred since
  std::uint16_t GoRunning = 0;          // a polling loop (GO, recording, recorded-value teaching) runs
  std::uint16_t SendRequested = 0;      // Send pressed during GO; the GO loop serves it
  std::uint16_t GetRequested = 0;       // Get pressed during GO; the GO loop serves it
  std::uint16_t ParameterSetIndex = 0;  // which of the sensor's two parameter sets transfers address
  std::uint16_t MemorySelection = 1;    // 1 = RAM, 2 = EEPROM, 3 = FILE
  std::int32_t TeachToleranceOff = 0;   // teaching leaves the tolerance cells alone
  std::string PanelSettingsPath;        // "PanelSettings.cfg" in the project folder (app/locations.h)
  std::string PanelId;                  // the operator's identification text for the sensor, up to 99 characters
  std::string ParameterFilePath;        // last parameter file, start of its file dialogs
  std::string RecordFilePath;           // record file
  std::string HardwareFilePath;         // last hardware initial file
  std::string TableAttributesPath;      // last table attributes file
};

extern ProgramState State;
