// Small helpers for the panel builders of the resource code.
#pragma once

#include "ui/ui.h"

// Creates a control with a fixed id, its callback and its place; returns the id.
inline int Place(int panel, int id, CtrlKind kind, const char* label, int top, int left, int height, int width,
                 CtrlCallbackPtr callback = nullptr) {
  int r = NewCtrlWithId(panel, id, kind, label, top, left, height, width);
  if (r > 0 && callback) SetCtrlCallback(panel, id, callback, nullptr);
  return r;
}

// A numeric display the operator cannot edit.
inline int PlaceDisplay(int panel, int id, const char* label, int top, int left, int width,
                        CtrlCallbackPtr callback = nullptr) {
  int r = Place(panel, id, CTRL_NUMERIC, label, top, left, 20, width, callback);
  if (r > 0) SetCtrlAttribute(panel, id, ATTR_CTRL_MODE, VAL_INDICATOR);
  return r;
}

// A text display the operator cannot edit.
inline int PlaceTextDisplay(int panel, int id, const char* label, int top, int left, int width,
                            CtrlCallbackPtr callback = nullptr) {
  int r = Place(panel, id, CTRL_STRING, label, top, left, 20, width, callback);
  if (r > 0) SetCtrlAttribute(panel, id, ATTR_CTRL_MODE, VAL_INDICATOR);
  return r;
}

// Builders of the tab pages, one per page; each returns 0 or a negative error.
int BuildConnectionPage(int page);
int BuildCalibrationPage(int page);
int BuildOffsetPage(int page);
int BuildGroupHoldPage(int page);
int BuildTeachPage(int page);
int BuildTableAttributesPage(int page);
int BuildScopePage(int page);
// DATAP's own displays, and the displays of its tab page `index`.
void BuildDatapDisplays(int panel);
void BuildDataPage(int page, int index);
// The controls of the two teach panels (app/uir_teach_panels.cpp).
void BuildTeachp1Controls(int panel);
void BuildTeachp2Controls(int panel);
