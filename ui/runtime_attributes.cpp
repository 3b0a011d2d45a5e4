// Control attributes: what SetCtrlAttribute and GetCtrlAttribute change and read.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "ui/model.h"
#include "ui/runtime_internal.h"
#include "ui/ui.h"

using namespace ui;

// [SECTION] Attributes

int SetCtrlAttribute(int panel, int control, Attr attr, int value) {
  Control* c = FindControl(panel, control);
  if (!c) return UIE_BAD_CONTROL;
  switch (attr) {
    case ATTR_DIMMED: Assign(*c, c->dimmed, value ? 1 : 0); break;
    case ATTR_VISIBLE: Assign(*c, c->visible, value ? 1 : 0); break;
    case ATTR_TEXT_COLOR: Assign(*c, c->textColor, value); break;
    case ATTR_TEXT_BGCOLOR: Assign(*c, c->bgColor, value); break;
    case ATTR_FRAME_COLOR: Assign(*c, c->frameColor, value); break;
    case ATTR_CMD_BUTTON_COLOR: Assign(*c, c->buttonColor, value); break;
    case ATTR_ON_COLOR: Assign(*c, c->onColor, value); break;
    case ATTR_OFF_COLOR: Assign(*c, c->offColor, value); break;
    case ATTR_CTRL_MODE: Assign(*c, c->mode, value); break;
    case ATTR_PRECISION: Assign(*c, c->precision, std::clamp(value, 0, 15)); break;
    case ATTR_MIN_VALUE: return SetCtrlAttribute(panel, control, attr, static_cast<double>(value));
    case ATTR_MAX_VALUE: return SetCtrlAttribute(panel, control, attr, static_cast<double>(value));
    case ATTR_TOP: Assign(*c, c->top, value); break;
    case ATTR_LEFT: Assign(*c, c->left, value); break;
    case ATTR_WIDTH: Assign(*c, c->width, std::max(value, 0)); break;
    case ATTR_HEIGHT: Assign(*c, c->height, std::max(value, 0)); break;
    case ATTR_TEXT_POINT_SIZE: Assign(*c, c->pointSize, std::max(value, 0)); break;
    case ATTR_TEXT_BOLD: Assign(*c, c->bold, value ? 1 : 0); break;
    case ATTR_TEXT_ITALIC: Assign(*c, c->italic, value ? 1 : 0); break;
    case ATTR_MAX_ENTRY_LENGTH:
      Assign(*c, c->maxEntryLength, std::max(value, 0));
      if (c->maxEntryLength > 0 && static_cast<int>(c->text.size()) > c->maxEntryLength) {
        c->text.resize(c->maxEntryLength);
      }
      break;
    case ATTR_PASSWORD_MASK: Assign(*c, c->passwordMask, value); break;
    case ATTR_SHORTCUT_KEY: Assign(*c, c->shortcutKey, value); break;
    default: return GraphAttribute(*c, attr, value);
  }
  return UI_OK;
}

int SetCtrlAttribute(int panel, int control, Attr attr, double value) {
  Control* c = FindControl(panel, control);
  if (!c) return UIE_BAD_CONTROL;
  switch (attr) {
    case ATTR_MIN_VALUE:
      Assign(*c, c->minValue, value);
      if (c->num < value && IsNumericKind(c->kind)) Assign(*c, c->num, value);
      break;
    case ATTR_MAX_VALUE:
      Assign(*c, c->maxValue, value);
      if (c->num > value && IsNumericKind(c->kind)) Assign(*c, c->num, value);
      break;
    default: return SetCtrlAttribute(panel, control, attr, static_cast<int>(value));
  }
  return UI_OK;
}

int SetCtrlAttribute(int panel, int control, Attr attr, const char* value) {
  Control* c = FindControl(panel, control);
  if (!c) return UIE_BAD_CONTROL;
  std::string text = value ? value : "";
  switch (attr) {
    case ATTR_LABEL_TEXT: Assign(*c, c->label, text); break;
    case ATTR_TEXT_FONT: Assign(*c, c->font, text); break;
    case ATTR_TOOLTIP_TEXT: Assign(*c, c->tooltip, text); break;
    case ATTR_ACCESSIBLE_NAME: Assign(*c, c->accessibleName, text); break;
    case ATTR_XNAME:
      if (!c->graph) return UIE_BAD_ATTRIBUTE;
      Assign(*c, c->graph->xAxis.name, text);
      break;
    case ATTR_YNAME:
      if (!c->graph) return UIE_BAD_ATTRIBUTE;
      Assign(*c, c->graph->yAxis.name, text);
      break;
    default: return UIE_BAD_ATTRIBUTE;
  }
  return UI_OK;
}

int GetCtrlAttribute(int panel, int control, Attr attr, int* value) {
  Control* c = FindControl(panel, control);
  if (!c || !value) return UIE_BAD_CONTROL;
  switch (attr) {
    case ATTR_DIMMED: *value = c->dimmed; break;
    case ATTR_VISIBLE: *value = c->visible; break;
    case ATTR_TEXT_COLOR: *value = c->textColor; break;
    case ATTR_TEXT_BGCOLOR: *value = c->bgColor; break;
    case ATTR_FRAME_COLOR: *value = c->frameColor; break;
    case ATTR_CMD_BUTTON_COLOR: *value = c->buttonColor; break;
    case ATTR_ON_COLOR: *value = c->onColor; break;
    case ATTR_OFF_COLOR: *value = c->offColor; break;
    case ATTR_CTRL_MODE: *value = c->mode; break;
    case ATTR_PRECISION: *value = c->precision; break;
    case ATTR_TOP: *value = c->top; break;
    case ATTR_LEFT: *value = c->left; break;
    case ATTR_WIDTH: *value = c->width; break;
    case ATTR_HEIGHT: *value = c->height; break;
    case ATTR_TEXT_POINT_SIZE: *value = c->pointSize; break;
    case ATTR_TEXT_BOLD: *value = c->bold; break;
    case ATTR_TEXT_ITALIC: *value = c->italic; break;
    case ATTR_MAX_ENTRY_LENGTH: *value = c->maxEntryLength; break;
    case ATTR_PASSWORD_MASK: *value = c->passwordMask; break;
    case ATTR_SHORTCUT_KEY: *value = c->shortcutKey; break;
    default: return GetGraphAttribute(*c, attr, value);
  }
  return UI_OK;
}

int GetCtrlAttribute(int panel, int control, Attr attr, double* value) {
  Control* c = FindControl(panel, control);
  if (!c || !value) return UIE_BAD_CONTROL;
  switch (attr) {
    case ATTR_MIN_VALUE: *value = c->minValue; break;
    case ATTR_MAX_VALUE: *value = c->maxValue; break;
    default: {
      int v = 0;
      int r = GetCtrlAttribute(panel, control, attr, &v);
      if (r < 0) return r;
      *value = v;
    }
  }
  return UI_OK;
}

int GetCtrlAttribute(int panel, int control, Attr attr, std::string* value) {
  Control* c = FindControl(panel, control);
  if (!c || !value) return UIE_BAD_CONTROL;
  switch (attr) {
    case ATTR_LABEL_TEXT: *value = c->label; break;
    case ATTR_TEXT_FONT: *value = c->font; break;
    case ATTR_TOOLTIP_TEXT: *value = c->tooltip; break;
    case ATTR_ACCESSIBLE_NAME: *value = c->accessibleName; break;
    case ATTR_XNAME:
      if (!c->graph) return UIE_BAD_ATTRIBUTE;
      *value = c->graph->xAxis.name;
      break;
    case ATTR_YNAME:
      if (!c->graph) return UIE_BAD_ATTRIBUTE;
      *value = c->graph->yAxis.name;
      break;
    default: return UIE_BAD_ATTRIBUTE;
  }
  return UI_OK;
}

int AppendTextBox(int panel, int control, const char* text) {
  Control* c = FindControl(panel, control);
  if (!c || c->kind != CTRL_TEXT_BOX) return UIE_BAD_CONTROL;
  if (!text || !*text) return UI_OK;
  c->text += text;
  Touch(*c);
  return UI_OK;
}

int ResetTextBox(int panel, int control, const char* text) {
  Control* c = FindControl(panel, control);
  if (!c || c->kind != CTRL_TEXT_BOX) return UIE_BAD_CONTROL;
  Assign(*c, c->text, std::string(text ? text : ""));
  ValueSet(*c);
  return UI_OK;
}

int DisplayImageFile(int panel, int control, const char* path) {
  Control* c = FindControl(panel, control);
  if (!c || c->kind != CTRL_PICTURE) return UIE_BAD_CONTROL;
  if (!path || !FileExists(path, nullptr)) return UIE_BAD_ATTRIBUTE;
  c->imagePath = path;
  Touch(*c);
  return UI_OK;
}
