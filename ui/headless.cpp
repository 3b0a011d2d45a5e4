// The headless face: popups from a script, the test clock, model reset.
#include "ui/headless.h"

#include <deque>

#include "ui/face.h"
#include "ui/model.h"
#include "ui/runtime_internal.h"

namespace ui {
namespace {

struct FileAnswer {
  int result;
  std::string path;
};

struct HeadlessState {
  std::vector<headless::PopupRecord> popups;             // every popup shown, in order
  std::deque<int> confirmAnswers;                        // scripted ConfirmPopup results
  std::deque<std::optional<std::string>> promptAnswers;  // scripted PromptPopup texts
  std::deque<FileAnswer> fileAnswers;                    // scripted FileSelectPopup results
  std::function<void(const headless::PopupRecord&)> popupHook;
  std::function<void(double)> waitHook;
  std::function<void()> idleHook;
  ScreenArea usableArea;
};

HeadlessState& H() {
  static HeadlessState state;
  return state;
}

class HeadlessFace : public Face {
 public:
  ScreenArea UsableArea() override { return H().usableArea; }
  void MessagePopup(const std::string& title, const std::string& text) override {
    Record("message", title, text, true);
  }
  int ConfirmPopup(const std::string& title, const std::string& text) override {
    auto& q = H().confirmAnswers;
    bool answered = !q.empty();
    int answer = answered ? q.front() : 0;
    if (answered) q.pop_front();
    Record("confirm", title, text, answered);
    return answer;
  }
  int ConfirmPopupNoDefault(const std::string& title, const std::string& text) override {
    auto& q = H().confirmAnswers;
    bool answered = !q.empty();
    int answer = answered ? q.front() : 0;
    if (answered) q.pop_front();
    Record("confirm", title, text, answered, true);
    return answer;
  }
  int PromptPopup(const std::string& title, const std::string& text, std::string* response, int) override {
    auto& q = H().promptAnswers;
    bool answered = !q.empty();
    std::optional<std::string> answer = answered ? q.front() : std::nullopt;
    if (answered) q.pop_front();
    Record("prompt", title, text, answered);
    if (!answer) return VAL_USER_CANCEL;
    *response = *answer;
    return 0;
  }
  int FileSelectPopup(const FileSelectRequest& request, std::string* path) override {
    auto& q = H().fileAnswers;
    bool answered = !q.empty();
    FileAnswer answer = answered ? q.front() : FileAnswer{VAL_NO_FILE_SELECTED, ""};
    if (answered) q.pop_front();
    Record("file", request.title, request.directory + "|" + request.defaultName + "|" + request.filter, answered);
    *path = answer.path;
    return answer.result;
  }

 private:
  static void Record(const char* kind, const std::string& title, const std::string& text, bool answered,
                     bool noIsDefault = false) {
    H().popups.push_back(headless::PopupRecord{kind, title, text, answered, noIsDefault});
    if (H().popupHook) {
      auto hook = H().popupHook;  // the hook may replace itself
      hook(H().popups.back());
    }
  }
};

HeadlessFace& TheHeadlessFace() {
  static HeadlessFace face;
  return face;
}

Face* g_face = nullptr;

}  // namespace

void SetFace(Face* face) { g_face = face; }
Face& CurrentFace() { return g_face ? *g_face : TheHeadlessFace(); }

void RunIdle() {
  if (H().idleHook && g_face == nullptr) {
    auto hook = H().idleHook;
    hook();
    return;
  }
  WaitForEvents(Timer() + 0.010);
}

namespace headless {

void Reset() {
  SetFace(nullptr);
  Model& m = TheModel();
  m.panels.clear();
  m.popupStack.clear();
  m.waitCursor = 0;
  TouchStructure();
  ResetDispatch();
  HeadlessState& h = H();
  h.popups.clear();
  h.confirmAnswers.clear();
  h.promptAnswers.clear();
  h.fileAnswers.clear();
  h.popupHook = nullptr;
  h.waitHook = nullptr;
  h.idleHook = nullptr;
  h.usableArea = ScreenArea{};
}

void SetUsableArea(int top, int left, int height, int width) { H().usableArea = ScreenArea{top, left, height, width}; }

std::vector<PopupRecord>& Popups() { return H().popups; }

int UnansweredPopups() {
  int n = 0;
  for (const auto& p : H().popups) n += p.answered ? 0 : 1;
  return n;
}

void AnswerConfirm(int answer) { H().confirmAnswers.push_back(answer); }
void AnswerPrompt(std::optional<std::string> text) { H().promptAnswers.push_back(std::move(text)); }
void AnswerFile(int result, const std::string& path) { H().fileAnswers.push_back(FileAnswer{result, path}); }
void SetPopupHook(std::function<void(const PopupRecord&)> hook) { H().popupHook = std::move(hook); }

void UseTestClock(double start, double realWait) { SetTestClockState(true, start, realWait); }
void UseRealClock() { SetTestClockState(false, 0, TestClockRealWait()); }
void AdvanceClock(double seconds) { MoveTestClock(Timer() + seconds); }
void SetClock(double seconds) { SetTestClockState(true, seconds, TestClockRealWait()); }
void SetWaitHook(std::function<void(double)> hook) { H().waitHook = std::move(hook); }
void SetIdleHook(std::function<void()> hook) { H().idleHook = std::move(hook); }

}  // namespace headless

// Called by WaitForEvents before it blocks.
void RunWaitHook(double untilTime) {
  if (H().waitHook) {
    auto hook = H().waitHook;
    hook(untilTime);
  }
}

}  // namespace ui
