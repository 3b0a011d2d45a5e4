// The hardware initial file: one sensor's identification, hardware words,
// calibration factors, offsets and RAM parameters, for the supplier's service.
#include <cstdio>
#include <string>

#include "app/Chromik4ANAv12.h"
#include "app/dimming.h"
#include "app/help.h"
#include "app/program_state.h"
#include "calibration/calibration.h"
#include "com232/connection.h"
#include "com232/frame.h"
#include "parameters/parameter_file.h"
#include "parameters/parameter_panel.h"
#include "parameters/transfer.h"
#include "ui/ui.h"

namespace {

void Note(const std::string& text) { AppendTextBox(Panels.Page[PAGE_CONNECTION], COM_STATUS, text.c_str()); }

std::uint16_t ReadWord(int panel, int control) {
  int v = 0;
  GetCtrlVal(panel, control, &v);
  return static_cast<std::uint16_t>(v < 0 ? 0 : (v > 0xFFFF ? 0xFFFF : v));
}

}  // namespace

std::string HardwareDataText(const std::uint16_t* words, int count) {
  std::string text;
  text.reserve(static_cast<std::size_t>(count) * 4);
  char digits[8];
  for (int i = 0; i < count; ++i) {
    std::snprintf(digits, sizeof digits, "%04X", static_cast<unsigned>(words[i]));
    text += digits;
  }
  return text;
}

IniDocument HardwareFileDocument(const HardwareFileContent& c) {
  IniDocument doc;
  IniPutString(&doc, "GENERAL INFO", "FILE TYPE:", "Hardware Initial File");
  IniPutString(&doc, "GENERAL INFO", "SCOPE VERSION:", "CHROMIK4-ANA-Scope V1.2");
  IniPutString(&doc, "GENERAL INFO", "FIRMWARE VERSION:", c.FirmwareVersion);
  IniPutString(&doc, "HARDWARE INFO", "DATA", HardwareDataText(c.HardwareData, HARDWARE_WORDS));
  const char* const channels[3] = {"RED", "GREEN", "BLUE"};
  for (int k = 0; k < 3; ++k) IniPutInt(&doc, "CALIBRATION FACTOR", channels[k], c.Factors[k]);
  for (int k = 0; k < 3; ++k) IniPutInt(&doc, "OFFSET", channels[k], c.Offsets[k]);
  // The parameter sections exactly as the parameter file writes them, after its GENERAL INFO.
  IniDocument parameters = ParameterFileDocument(c.Parameters);
  for (IniSection& s : parameters.sections) {
    if (!IniNameMatches(s.name, "GENERAL INFO")) doc.sections.push_back(std::move(s));
  }
  return doc;
}

int WriteHardwareFile() {
  State.SensorConnected = 1;
  const std::uint16_t memory = State.MemorySelection;
  State.MemorySelection = MEMORY_RAM;
  GetParameters();
  State.MemorySelection = memory;
  if (State.SensorConnected == 0) return -1;
  GetCalibrationData();
  if (State.SensorConnected == 0) return -1;
  BuildOrderFrame(frame::ORDER_HARDWARE_DATA, 0, frame::HARDWARE_DATA_KEY, 0);
  const int result = ExchangeOrder(8);
  if (State.SensorConnected == 0 || result != 1) return -1;
  if (Frame.ResponseLength < 2 * HARDWARE_WORDS) return RefuseShortAnswer();
  CopyResponseToReceiveWords();
  HardwareFileContent content;
  content.FirmwareVersion = FirmwareVersion;
  std::copy(Frame.ReceiveWords, Frame.ReceiveWords + HARDWARE_WORDS, content.HardwareData);

  std::string path;
  const int chosen = FileSelectPopup(FileDialogDirectory(State.HardwareFilePath).c_str(), "HardwareInitialFile.ini",
                                     "*.ini", "HardwareInitialFile", VAL_SAVE_BUTTON, 1, &path);
  if (chosen <= 0 || path.empty()) {
    Note("ATTENTION!   NO FILE WAS SELECTED!\n\n");
    return -1;
  }
  State.HardwareFilePath = path;

  ReadParametersFromPanel();
  content.Parameters = ParameterSet;
  const int cal = Panels.Page[PAGE_CALIBRATION];
  const int ofs = Panels.Page[PAGE_OFFSET];
  const int factorBoxes[3] = {CAL_CF_RED, CAL_CF_GREEN, CAL_CF_BLUE};
  const int offsetBoxes[3] = {OFS_EDIT_RED, OFS_EDIT_GREEN, OFS_EDIT_BLUE};
  for (int k = 0; k < 3; ++k) {
    content.Factors[k] = ReadWord(cal, factorBoxes[k]);
    content.Offsets[k] = ReadWord(ofs, offsetBoxes[k]);
  }
  // Written whole through a temporary file: a failed write leaves an older file as it was.
  if (IniWriteFile(HardwareFileDocument(content), path) != 1) {
    Note("ATTENTION!   HARDWARE INI FILE COULD NOT BE WRITTEN TO:\n" + path + "\n\n");
    return -1;
  }
  Note("HARDWARE INI FILE HAS BEEN SAVED TO:\n" + path + "\n\n");
  return 1;
}

int CBF_ButtonGenHwInfoFile(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) {
    SetButtonsDimmed(0, 1);
    WriteHardwareFile();
    SetButtonsDimmed(0, 0);
  }
  return HelpOnRightClick(panel, control, event);
}
