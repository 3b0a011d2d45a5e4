// The panel settings file: arbitrary bytes as PanelSettings.cfg, read as at start-up,
// written again and read back.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/panel_settings.h"
#include "app/program_state.h"
#include "app/uir.h"
#include "com232/link.h"
#include "fuzz/fuzz_program.h"
#include "ui/ui.h"

namespace {

struct Settings {
  std::string panelId, parameterPath, recordPath, hardwarePath, tablePath, host, portText;
  bool operator==(const Settings&) const = default;
};

Settings ReadAll() {
  ClearListCtrl(Panels.Page[PAGE_CONNECTION], COM_IP_ADRESS);  // the recent servers are appended
  ReadPanelSettings();
  ReadCommunicationSettings();
  return Settings{State.PanelId,           State.ParameterFilePath, State.RecordFilePath,  State.HardwareFilePath,
                  State.TableAttributesPath, SensorLink.HostAddress, SensorLink.TcpPortText};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzprog::StartProgram();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzprog::BeginRun(nullptr, 0);
  if (!fuzzprog::WriteBytes(State.PanelSettingsPath, data, size)) return 0;
  const Settings first = ReadAll();
  WritePanelSettings();
  const Settings second = ReadAll();
  if (!(first == second)) {
    std::fprintf(stderr, "the panel settings changed on their way through the file\n");
    std::abort();
  }
  return 0;
}
