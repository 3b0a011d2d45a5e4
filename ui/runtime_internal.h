// Shared between the runtime's own source files; not for the logic or the faces.
#pragma once

#include <functional>

#include "ui/model.h"

namespace ui {

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
