// Operator input: what a person does to the panels, as the faces report it.
//
// Every function queues one operation and returns false when the target
// cannot be operated at that moment (dimmed, hidden, behind a modal popup).
// The operation is carried out at the next dispatch (ProcessSystemEvents),
// where it is checked again: a control dimmed in the meantime is not touched.
// Posting is thread-safe; dispatch happens on the user-interface thread only.
#pragma once

#include <string>

#include "ui/ui.h"

namespace ui::op {

bool Press(int panel, int control);                               // button click; toggles flip
bool SetValue(int panel, int control, double value);              // numeric, slide, colour, switch
bool SetText(int panel, int control, const std::string& text);    // string fields: type and commit
bool PickIndex(int panel, int control, int index);                // ring, list, combo item
bool EditCell(int panel, int control, TableCell cell, double value);
bool EditCell(int panel, int control, TableCell cell, const std::string& text);
bool SelectCells(int panel, int control, TableRect range);        // no event, as a drag does
bool Click(int panel, int control);                               // EVENT_LEFT_CLICK
bool DoubleClick(int panel, int control);                         // EVENT_LEFT_DOUBLE_CLICK
bool RightClick(int panel, int control);                          // EVENT_RIGHT_CLICK
bool RightDoubleClick(int panel, int control);                    // EVENT_RIGHT_DOUBLE_CLICK
// Drags cursor `cursor` of a graph; on release the graph gets EVENT_COMMIT.
bool MoveCursor(int panel, int control, int cursor, double x, double y, bool release);  // not on an indicator graph
bool ChooseMenuItem(int panel, int control, const std::string& label);
bool ChangeTab(int panel, int tabControl, int pageIndex);         // EVENT_ACTIVE_TAB_CHANGE
bool ClosePanel(int panel);                                       // EVENT_CLOSE to the panel callback
bool ResizePanel(int panel, int height, int width);               // EVENT_PANEL_SIZE
bool MovePanel(int panel, int top, int left);                     // no event
bool SetWindowZoom(int panel, int zoom);                          // the window manager's state change
bool PanelRightClick(int panel);                                  // EVENT_RIGHT_CLICK to the panel
bool PanelRightDoubleClick(int panel);                            // EVENT_RIGHT_DOUBLE_CLICK to the panel
// A key pressed while the focus is in `panel`: a shortcut of the panel, of its
// ancestors or of their child panels commits its control.
bool Key(int panel, int key);

// Operations posted while a Group lives are queued as one: they run one after the
// other at one dispatch, so a popup that the first one opens cannot drop the rest
// (operator input queued while a popup is shown is dropped). Each still checks its
// target when its turn comes. Groups nest; the outermost one posts.
class Group {
 public:
  Group();
  ~Group();
  Group(const Group&) = delete;
  Group& operator=(const Group&) = delete;
};

// Program-level: queue an event for a panel callback regardless of modal popups
// (the termination signals use it to close the main window).
void PostPanelEvent(int panel, int event);

}  // namespace ui::op
