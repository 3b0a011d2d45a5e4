// Operator help: every control explains itself on a right click ("INFO!" and its
// text) and shows the same text as its hover hint. The resource code gives each
// control its text with SetHelp; callbacks answer the right click with ShowHelp.
#pragma once

#include "app/help_texts.h"

// Gives a control its help text (kept as the control's tooltip).
void SetHelp(int panel, int control, const char* text);
// The help popup of a control: `title` ("INFO!", on the table attributes page "Info") and its text.
void ShowHelp(int panel, int control, const char* title = "INFO!");
// A callback's usual answer: the help popup on a right click. Returns 0.
int HelpOnRightClick(int panel, int control, int event);
