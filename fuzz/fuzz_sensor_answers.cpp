// Arbitrary sensor answers to every order the program sends, through the frame
// layer and the code that takes the answers apart.
//
// Input: 5 setup bytes, then the answer script of fake_link.h.
//   0  operation (below, modulo their number)
//   1  bit 0 TCP instead of serial; bit 1 EEPROM instead of RAM; bit 2 parameter set 1;
//      bits 4..6 scope trigger mode; bit 7 continuous instead of counted recording
//   2  scope pre-trigger; 3 scope scan rate; 4 frames of a counted recording
#include <cstddef>
#include <cstdint>

#include "app/Chromik4ANAv12.h"
#include "app/program_state.h"
#include "app/uir.h"
#include "calibration/calibration.h"
#include "com232/connection.h"
#include "fuzz/fake_link.h"
#include "fuzz/fuzz_program.h"
#include "measurement/go_mode.h"
#include "parameters/transfer.h"
#include "recorder/recorder.h"
#include "scope/scope.h"
#include "teach/recorded_teach.h"
#include "ui/ui.h"

namespace {

void Connect() { TryToConnect(); }

void ScopeScan() {
  fakelink::SetPushOnWait(true);
  RunScopeScan();
}

void TriggeredRecording() {
  fakelink::SetPushOnWait(true);
  RunTriggeredRecording();
}

void Calibrations() {
  SendCalibrationFactors();
  SendOffsets();
}

void GoWithRequests() {
  State.SendRequested = 1;
  State.GetRequested = 1;
  RunGoLoop();
}

void TeachRecordingFromStart() {
  ResetRecordedPoints();
  TeachRecording();
}

void HardwareFile() { WriteHardwareFile(); }
void BaudrateChange() { ChangeSensorBaudrate(); }
void Get() { GetParameters(); }
void Send() { SendParameters(); }
void Calibration() { GetCalibrationData(); }

using Operation = void (*)();
constexpr Operation kOperations[] = {
    Connect,           Get,                Send,               RunGoLoop,           MeasureCycleTime,
    ScopeScan,         Calibration,        MeasureOffsets,     StartSelfCalibration, AverageRawValues,
    HardwareFile,      RunTimedRecording,  TriggeredRecording, TeachRecordingFromStart, BaudrateChange,
    Calibrations,      GoWithRequests,     BreakScopeScan,
};
constexpr std::size_t kOperationCount = sizeof kOperations / sizeof kOperations[0];

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzprog::StartProgram();
  SelectComPort(1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) return 0;
  const std::uint8_t op = data[0], flags = data[1];
  fuzzprog::BeginRun(data + 5, size - 5);
  const int com = Panels.Page[PAGE_CONNECTION];
  const int transport = flags & 1;
  SetCtrlVal(com, COM_IP_ADRESS, "127.0.0.1");
  SetCtrlVal(com, COM_PORT_NUMBER, "10001");
  SetCtrlVal(com, COM_PORT, 1);
  fuzzprog::UseTransport(transport);
  State.MemorySelection = (flags & 2) ? MEMORY_EEPROM : MEMORY_RAM;
  State.ParameterSetIndex = (flags & 4) ? 1 : 0;
  const int scope = Panels.Page[PAGE_SCOPE];
  SetCtrlVal(scope, SCOPE_TRIGGER_MODE, (flags >> 4) & 7);
  SetCtrlVal(scope, SCOPE_PRE_TRIGGER, static_cast<int>(data[2]));
  SetCtrlVal(scope, SCOPE_SCAN_RATE, static_cast<int>(data[3]));
  const int rec = Panels.Page[PAGE_RECORDER];
  SetCtrlVal(rec, REC_MODE, (flags & 0x80) ? RECORD_CONTINUOUS : RECORD_COUNTED);
  SetCtrlVal(rec, REC_VALUES, static_cast<double>(data[4]));
  SetCtrlVal(rec, REC_INTERVAL, 0.25);
  kOperations[op % kOperationCount]();
  return 0;
}
