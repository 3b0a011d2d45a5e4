// SEND and GET, the memory and parameter-set selectors, and the plausibility notices.
#include "parameters/transfer.h"

#include <cstdio>
#include <cstring>

#include "app/Chromik4ANAv12.h"
#include "measurement/live_graphs.h"
#include "app/dimming.h"
#include "app/help.h"
#include "app/program_state.h"
#include "com232/frame.h"
#include "parameters/changes.h"
#include "parameters/mode_rules.h"
#include "parameters/parameter_file.h"
#include "parameters/parameter_panel.h"
#include "teach/region_plot.h"
#include "ui/ui.h"

namespace {

// The sensor replaced `count` values by its defaults; reported like a communication event.
void PlausibilityNotice(int count, const char* where) {
  char text[256];
  std::snprintf(text, sizeof text, "%s%d%s", "INFO!\n", count, where);
  SetCommMessage(text);
  ShowCommunicationError();
}

constexpr const char* kRamNotice = " PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT VALUE!";
constexpr const char* kEepromNotice =
    " PARAMETER FROM EEPROM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT VALUE!";

// Order 2 for one block; 1 when a whole block came back. A shorter answer would leave
// stale words in the record, so it is refused and nothing of it is taken.
int ReadBlock(int blockNumber, std::size_t blockBytes) {
  BuildOrderFrame(frame::ORDER_READ_PARA_BLOCK, 0, static_cast<std::uint16_t>(blockNumber), 0);
  if (ExchangeOrder(8) != 1) return -1;
  if (Frame.ResponseLength < blockBytes) return RefuseShortAnswer();
  CopyResponseToSendWords();
  return 1;
}

}  // namespace

int SendParameters() {
  State.SendRequested = 0;
  if (State.MemorySelection == MEMORY_FILE) return WriteParameterFile();
  ReadParametersFromPanel();
  const int p = State.ParameterSetIndex;
  ParameterBlockToWords(ParameterSet, Frame.SendWords);
  BuildOrderFrame(frame::ORDER_WRITE_PARA_BLOCK, PARAMETER_BLOCK_WORDS, static_cast<std::uint16_t>(p),
                  PARAMETER_BLOCK_BYTES);
  if (ExchangeOrder(8 + PARAMETER_BLOCK_BYTES) != 1) return -1;
  bool replaced = Frame.ResponseStatus != 0;
  if (replaced) PlausibilityNotice(Frame.ResponseStatus, kRamNotice);
  TeachBlockToWords(ParameterSet, Frame.SendWords);
  BuildOrderFrame(frame::ORDER_WRITE_PARA_BLOCK, TEACH_BLOCK_WORDS, static_cast<std::uint16_t>(p + 2),
                  TEACH_BLOCK_BYTES);
  if (ExchangeOrder(8 + TEACH_BLOCK_BYTES) != 1) return -1;
  if (Frame.ResponseStatus != 0) {
    replaced = true;
    PlausibilityNotice(Frame.ResponseStatus, kRamNotice);
  }
  if (State.MemorySelection == MEMORY_EEPROM) {
    BuildOrderFrame(frame::ORDER_STORE_EEPROM, 0, 0, 0);
    // Its answer is not examined; a failure has been reported by the frame layer, and the
    // EEPROM may not hold the set.
    if (ExchangeOrder(8) != 1) return -1;
  }
  TakeReference(REFERENCE_SEND, replaced);
  return 1;
}

int GetParameters() {
  State.GetRequested = 0;
  if (State.MemorySelection == MEMORY_FILE) return ReadParameterFile();
  if (ReadParametersFromSensor() != 1) return -1;
  WriteParametersToPanel();
  ApplyModeRules();
  PlotTeachRegions();
  UpdateLiveGraphs();
  TakeReference(REFERENCE_GET);
  return 1;
}

int ReadParametersFromSensor() {
  if (State.MemorySelection == MEMORY_EEPROM) {
    BuildOrderFrame(frame::ORDER_LOAD_EEPROM, 0, 0, 0);
    if (ExchangeOrder(8) != 1) return -1;
    if (Frame.ResponseStatus != 0) PlausibilityNotice(Frame.ResponseStatus, kEepromNotice);
  }
  const int p = State.ParameterSetIndex;
  if (ReadBlock(p, PARAMETER_BLOCK_BYTES) != 1) return -1;
  ParameterBlockFromWords(Frame.SendWords, &ParameterSet);
  if (ReadBlock(p + 2, TEACH_BLOCK_BYTES) != 1) return -1;  // the block read first stays in the record
  TeachBlockFromWords(Frame.SendWords, &ParameterSet);
  return 1;
}

// [SECTION] Callbacks

int CBF_ButtonSend(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) {
    if (State.GoRunning == 1) {
      State.SendRequested = 1;
    } else {
      SetButtonsDimmed(0, 1);
      SendParameters();
      SetButtonsDimmed(0, 0);
    }
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonGet(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) {
    if (State.GoRunning == 1) {
      State.GetRequested = 1;
    } else {
      SetButtonsDimmed(0, 1);
      GetParameters();
      SetButtonsDimmed(0, 0);
    }
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_SelectMem(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_VAL_CHANGED) {
    const int buttons[3] = {MAINP_RAM, MAINP_EEPROM, MAINP_FILE};
    for (int i = 0; i < 3; ++i) {
      SetCtrlVal(panel, buttons[i], buttons[i] == control ? 1 : 0);
      if (buttons[i] == control) State.MemorySelection = static_cast<std::uint16_t>(MEMORY_RAM + i);
    }
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_SelectParaSet(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_VAL_CHANGED) {
    SetCtrlVal(panel, MAINP_PARASET0, control == MAINP_PARASET0 ? 1 : 0);
    SetCtrlVal(panel, MAINP_PARASET1, control == MAINP_PARASET1 ? 1 : 0);
    State.ParameterSetIndex = control == MAINP_PARASET1 ? 1 : 0;
  }
  return HelpOnRightClick(panel, control, event);
}
