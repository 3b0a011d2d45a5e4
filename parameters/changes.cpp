#include "parameters/changes.h"

#include <algorithm>

#include "app/Chromik4ANAv12.h"
#include "app/help.h"
#include "parameters/parameter_panel.h"
#include "ui/ui.h"

ChangeTracking Changes;

namespace {

const char* SourceName(int source) {
  switch (source) {
    case REFERENCE_GET: return "GET";
    case REFERENCE_SEND: return "SEND";
    case REFERENCE_FILE: return "FILE";
    default: return "";
  }
}

std::string CountText(int count, int source) {
  return std::to_string(count) + (count == 1 ? " CHANGE SINCE " : " CHANGES SINCE ") + SourceName(source);
}

void Mark(int word, int on) {
  const ParameterPlace at = PlaceOfWord(word);
  if (at.panel <= 0) return;
  if (at.cell.row == 0) {
    SetCtrlAttribute(at.panel, at.control, ATTR_TEXT_ITALIC, on);
  } else {
    SetTableCellAttribute(at.panel, at.control, at.cell, ATTR_TEXT_ITALIC, on);
  }
}

// The differences between the reference and what the panel would send now.
std::vector<ParameterDifference> PanelDifferences() {
  ParameterSetRecord panel = Changes.Reference;  // word 7 is not on the panel
  ReadPanelInto(&panel);
  ++Changes.Comparisons;
  return CompareParameterSets(Changes.Reference, panel);
}

void ShowCount() {
  if (Panels.Mainp <= 0) return;
  SetCtrlVal(Panels.Mainp, MAINP_CHANGES_TEXT, ChangesText());
  SetCtrlAttribute(Panels.Mainp, MAINP_CHANGES, ATTR_DIMMED, Changes.Count == 0);
}

}  // namespace

void ResetChangeTracking() { Changes = ChangeTracking{}; }

void TakeReference(int source, bool sensorReplaced) {
  ReadPanelInto(&Changes.Reference);
  Changes.Source = source;
  Changes.SensorReplaced = sensorReplaced ? 1 : 0;
  UpdateChangeMarks();
}

void UpdateChangeMarks() {
  std::vector<int> marked;
  if (Changes.Source != REFERENCE_NONE) {
    for (const ParameterDifference& d : PanelDifferences()) marked.push_back(d.word);
  }
  for (int word : Changes.Marked) {
    if (!std::binary_search(marked.begin(), marked.end(), word)) Mark(word, 0);
  }
  for (int word : marked) {
    if (!std::binary_search(Changes.Marked.begin(), Changes.Marked.end(), word)) Mark(word, 1);
  }
  Changes.Marked = std::move(marked);
  Changes.Count = static_cast<int>(Changes.Marked.size());
  ShowCount();
}

std::string ChangesText() {
  if (Changes.Source == REFERENCE_NONE) return std::string();
  if (Changes.SensorReplaced) return "SENSOR REPLACED VALUES: GET TO SEE THEM";
  return Changes.Count == 0 ? std::string() : CountText(Changes.Count, Changes.Source);
}

void ListChanges() {
  if (Changes.Source == REFERENCE_NONE) return;
  std::string text;
  for (const ParameterDifference& d : PanelDifferences()) {
    text += d.key + ": " + std::to_string(d.first) + " -> " + std::to_string(d.second) + "\n";
  }
  if (text.empty()) return;
  MessagePopup((std::string("CHANGES SINCE ") + SourceName(Changes.Source)).c_str(), text.c_str());
}

int ConfirmLosingChanges() {
  UpdateChangeMarks();
  if (Changes.Source == REFERENCE_NONE || Changes.Count == 0) return 1;
  const std::string question = CountText(Changes.Count, Changes.Source) + " WILL BE LOST! \nQUIT ANYWAY?";
  return ConfirmPopupNoDefault("ATTENTION!", question.c_str());
}

int CBF_ButtonChanges(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) ListChanges();
  return HelpOnRightClick(panel, control, event);
}
