// Shared between the runtime's own source files; not for the logic or the faces.
#pragma once

#include <functional>

#include "ui/model.h"

namespace ui {

// Sets a field of the model and marks its control or panel changed, when the value differs.
template <typename T>
void Assign(Control& c, T& field, const T& value) {
  if (field == value) return;
  field = value;
  Touch(c);
}
template <typename T>
void Assign(Panel& p, T& field, const T& value) {
  if (field == value) return;
  field = value;
  Touch(p);
}

inline bool IsListKind(CtrlKind k) { return k == CTRL_RING || k == CTRL_LIST_BOX; }
inline bool IsNumericKind(CtrlKind k) {
  return k == CTRL_NUMERIC || k == CTRL_SLIDE || k == CTRL_TOGGLE_BUTTON || k == CTRL_BINARY_SWITCH ||
         k == CTRL_LED || k == CTRL_COLOR_NUMERIC || k == CTRL_COMMAND_BUTTON;
}

// Graph and strip-chart attributes set through SetCtrlAttribute.
int GraphAttribute(Control& c, Attr attr, int value);
int GetGraphAttribute(const Control& c, Attr attr, int* value);

// Queues work for the user-interface thread (thread-safe). Operator work is
// dropped while a popup is shown; program work is not.
void PostWork(std::function<void()> work, bool operatorInput);
// True on the thread that runs the event loop.
bool OnUiThread();
// Depth of popups the face is showing right now.
int PopupDepth();
// Clears queue, watches and loop state (the headless Reset).
void ResetDispatch();
// The headless face's clock control.
bool TestClockActive();
void SetTestClockState(bool active, double now, double realWait);
double TestClockRealWait();
void MoveTestClock(double now);
// What RunUserInterface does when nothing is pending: the headless idle hook, or a short wait.
void RunIdle();
// The headless wait hook, run by WaitForEvents before it blocks.
void RunWaitHook(double untilTime);

}  // namespace ui
