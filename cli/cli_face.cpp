// The command line's face: popups to standard error, answers from the command line.
#include "cli/cli_face.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "app/uir.h"
#include "ui/face.h"
#include "ui/ui.h"

namespace cli {
namespace {

struct FaceState {
  Answers answers;
  std::size_t relayed = 0;      // characters of the message box already relayed or skipped
  void (*turn)() = nullptr;     // SetDispatchTurn
  bool terminal = false;        // standard error is a terminal: progress lines are drawn
  bool progressShown = false;   // a progress line stands on the terminal now
};

FaceState& F() {
  static FaceState state;
  return state;
}

bool Listed(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

int Ask(const std::string& question) {
  RelayMessageBox();
  for (const auto& [text, answer] : F().answers.known) {
    if (text == question) return answer;
  }
  Say(question);
  Say(F().answers.yes ? "answered yes (--yes)" : "answered no (--yes answers yes)");
  return F().answers.yes ? 1 : 0;
}

class CliFace : public ui::Face {
 public:
  void PumpPlatformEvents() override {
    if (F().turn) F().turn();
  }
  // What the message box gained before the popup came is told first, in the order the window
  // showed it (a recording's communication error before its "File has been saved!").
  void MessagePopup(const std::string&, const std::string& text) override {
    RelayMessageBox();
    if (!Listed(F().answers.quiet, text)) Say(text);
  }
  int ConfirmPopup(const std::string&, const std::string& text) override { return Ask(text); }
  int ConfirmPopupNoDefault(const std::string&, const std::string& text) override { return Ask(text); }
  int PromptPopup(const std::string&, const std::string&, std::string*, int) override { return VAL_USER_CANCEL; }
  int FileSelectPopup(const ui::FileSelectRequest&, std::string* path) override {
    const std::string& file = F().answers.file;
    if (file.empty()) return VAL_NO_FILE_SELECTED;
    *path = file;
    return FileExists(file, nullptr) ? VAL_EXISTING_FILE_SELECTED : VAL_NEW_FILE_SELECTED;
  }
};

CliFace& TheFace() {
  static CliFace face;
  return face;
}

void ClearProgress() {
  if (!F().progressShown) return;
  std::fputs("\r\x1b[K", stderr);
  F().progressShown = false;
}

}  // namespace

void InstallFace(const Answers& answers) {
  F().answers = answers;
  F().terminal = isatty(STDERR_FILENO) == 1;
  ui::SetFace(&TheFace());
}

Answers& FaceAnswers() { return F().answers; }

void Say(const std::string& text) {
  std::string shown = text;
  while (!shown.empty() && shown.back() == '\n') shown.pop_back();
  if (shown.empty()) return;
  ClearProgress();
  std::fprintf(stderr, "chromik4-ana-cli: %s\n", shown.c_str());
  std::fflush(stderr);
}

void RelayMessageBox() {
  std::string box;
  GetCtrlVal(Panels.Page[PAGE_CONNECTION], COM_STATUS, &box);
  if (box.size() < F().relayed) F().relayed = 0;  // the box was cleared
  const std::string added = box.substr(F().relayed);
  F().relayed = box.size();
  // Each report ends with an empty line: one message apiece.
  std::size_t start = 0;
  while (start < added.size()) {
    std::size_t end = added.find("\n\n", start);
    if (end == std::string::npos) end = added.size();
    Say(added.substr(start, end - start));
    start = end + 2;
  }
}

void SkipMessageBox() {
  std::string box;
  GetCtrlVal(Panels.Page[PAGE_CONNECTION], COM_STATUS, &box);
  F().relayed = box.size();
}

void SetDispatchTurn(void (*turn)()) { F().turn = turn; }

void ShowProgress(const std::string& text) {
  if (!F().terminal) return;
  if (text.empty()) {
    ClearProgress();
    return;
  }
  std::fprintf(stderr, "\r%s\x1b[K", text.c_str());
  std::fflush(stderr);
  F().progressShown = true;
}

bool ProgressShown() { return F().progressShown; }

}  // namespace cli
