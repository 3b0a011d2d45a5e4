// The headless face: popups answered from a script and recorded, a clock
// that tests can drive, and a reset of the whole model between tests.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ui::headless {

struct PopupRecord {
  std::string kind;   // "message", "confirm", "prompt", "file"
  std::string title;
  std::string text;
  bool answered = true;  // false when no scripted answer was left (the default was taken)
  bool noIsDefault = false;  // a question whose default answer is No
};

// Makes the headless face current and clears the model, the event queue,
// the watches, the popup log and the script. The clock becomes real again.
void Reset();

std::vector<PopupRecord>& Popups();
int UnansweredPopups();
void AnswerConfirm(int answer);                      // next ConfirmPopup returns it
void AnswerPrompt(std::optional<std::string> text);  // nullopt = cancel
void AnswerFile(int result, const std::string& path);
// Called with each popup as it is shown (after the record is made), e.g. to press
// buttons on a modal panel or to look at the model at that moment.
void SetPopupHook(std::function<void(const PopupRecord&)> hook);

// Test clock: Timer() returns the test time. A wait with nothing ready blocks
// for at most `realWait` seconds of real time (a shorter wait for its own
// length), then moves the test time to the wait's end, so time limits cost no
// real time. `realWait` must exceed how long the far end takes to answer.
void UseTestClock(double start = 1000.0, double realWait = 0.1);
void UseRealClock();
void AdvanceClock(double seconds);
void SetClock(double seconds);
// Called at every WaitForEvents with its target time, before the face waits;
// a hook may post events or move the clock.
void SetWaitHook(std::function<void(double untilTime)> hook);
// Called by RunUserInterface when nothing is pending, in place of blocking.
void SetIdleHook(std::function<void()> hook);
// The usable screen area the face reports (1920 x 1080 at 0,0 after Reset).
void SetUsableArea(int top, int left, int height, int width);

}  // namespace ui::headless
