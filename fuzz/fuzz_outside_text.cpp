// What the operator types: the TCP port text and the server text of the connection
// page (then a connection attempt with them), and the recording-time fields.
//
// Input: byte 0 chooses (0 port text, 1 server text, 2 recording time); the rest is
// the text, or for the recording time two 8-byte doubles, interval and values.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/Chromik4ANAv12.h"
#include "app/uir.h"
#include "com232/connection.h"
#include "com232/link.h"
#include "fuzz/fuzz_program.h"
#include "recorder/recorder.h"
#include "ui/operate.h"
#include "ui/ui.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

// The operator's input, dispatched as a face would deliver it.
void Operate(bool posted) {
  if (!posted) Fail("the control could not be operated");
  ProcessSystemEvents();
}

void ConnectionText(int control, const std::string& text) {
  const int com = Panels.Page[PAGE_CONNECTION];
  SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_CONNECTION);
  SetCtrlVal(com, COM_PROTOCOL, 1);
  ShowTransportSelectors();
  Operate(ui::op::SetText(com, control, text));
  TcpPortFromText(text.c_str());
  TryToConnect();
  int servers = 0;
  GetNumListItems(com, COM_IP_ADRESS, &servers);
  if (servers > RECENT_SERVER_LIMIT) Fail("more recent servers than the list keeps");
}

void RecordTime(const std::uint8_t* data, std::size_t size) {
  double values[2] = {1.0, 1.0};
  std::memcpy(values, data, std::min(size, sizeof values));
  const int rec = Panels.Page[PAGE_RECORDER];
  SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_RECORDER);
  SetCtrlVal(rec, REC_MODE, static_cast<int>(RECORD_COUNTED));
  ShowRecordControls();
  Operate(ui::op::SetValue(rec, REC_INTERVAL, values[0]));
  Operate(ui::op::SetValue(rec, REC_VALUES, values[1]));
  int hours = -1, minutes = -1;
  double seconds = -1;
  GetCtrlVal(rec, REC_TIME_HOURS, &hours);
  GetCtrlVal(rec, REC_TIME_MINUTES, &minutes);
  GetCtrlVal(rec, REC_TIME_SECONDS, &seconds);
  if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || !(seconds >= 0.0 && seconds < 60.0 + 1e-6))
    Fail("the recording time is not split into days, hours, minutes and seconds");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzprog::StartProgram();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  fuzzprog::BeginRun(nullptr, 0);
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  switch (data[0] % 3) {
    case 0: ConnectionText(COM_PORT_NUMBER, text); break;
    case 1: ConnectionText(COM_IP_ADRESS, text); break;
    default: RecordTime(data + 1, size - 1); break;
  }
  return 0;
}
