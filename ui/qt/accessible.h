// Accessible names, descriptions and actions of the controls' widgets.
//
// Screen readers and desktop test tools find the controls over the desktop's
// accessibility bus. Every control's widget is named here, in one place: its
// label or caption as the operator sees it, or a short name of our own for a
// control that shows none; its help text is the accessible description. Rings
// and tab buttons get interfaces of their own, so that choosing an item or a
// page over the bus is the same operator event as choosing it with the mouse.
#pragma once

#include <string>

#include "ui/model.h"

class QWidget;

namespace ui::qt {

struct CtrlView;

// The name a control is known by: its label on one line, else our own name for
// it, else its kind and id (a control nobody has named yet still has a name).
std::string AccessibleName(const Panel& p, const Control& c);
// Whether AccessibleName found a label or a name of our own for the control.
bool HasOwnAccessibleName(const Panel& p, const Control& c);
// Names and describes a control's widgets; called whenever the control is shown afresh.
void ApplyAccessible(CtrlView& v, const Control& c);
// Names a tab page's panel widget after its tab.
void ApplyAccessiblePage(QWidget* page, const std::string& label);
// Names a child panel's widget as the program knows it (DATAP, GRAPHP, TEACHP1, ...),
// so that a desktop tool can look for a control inside the panel shown.
void ApplyAccessibleChildPanel(QWidget* panel, const Panel& p);
// Installs the interfaces of rings, tab buttons and tab strips; once per application.
void InstallAccessibleFactory();

}  // namespace ui::qt
