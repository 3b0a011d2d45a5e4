// The Qt 6 Widgets face of the user-interface runtime.
//
// The program's main calls Start before loading its panels and Stop after the
// event loop has ended. From then on the face builds widgets from the retained
// model, keeps them in step with it at most at the screen rate, and turns mouse
// and keyboard input into the operator events of ui/operate.h. It holds no
// program logic.
#pragma once

#include <string>

class QWidget;

namespace ui::qt {

// Creates the QApplication (once) and makes the Qt face current. Returns false,
// and leaves the headless face current, when no display can be opened.
// Calling it again (for instance after headless::Reset) drops the widgets of
// the old model and makes the face current again.
bool Start(int& argc, char** argv);
// Drops every widget, makes the headless face current and deletes the
// QApplication that Start created.
void Stop();

// Renders a panel as it would be shown into a PNG file; needs no display (the
// offscreen platform serves). A tab page is rendered with its tab in front, a
// hidden panel as it would look when shown. False when the panel does not
// exist or the file cannot be written.
bool SavePanelImage(int panel, const std::string& path);

// Brings every widget in step with the model now, whatever the frame interval.
void SyncNow();
// Number of syncs so far that found the model changed.
long SyncCount();

// The widget that shows a control or a panel, nullptr when there is none yet.
QWidget* ControlWidget(int panel, int control);
QWidget* PanelWidgetOf(int panel);

}  // namespace ui::qt
