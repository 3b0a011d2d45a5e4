// Panels, tab controls, controls and values of the retained model.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <utility>

#include "ui/model.h"
#include "ui/runtime_internal.h"

namespace ui {

// [SECTION] Model access

Model& TheModel() {
  static Model model;
  return model;
}

Panel* FindPanel(int handle) {
  Model& m = TheModel();
  if (handle <= 0 || handle >= static_cast<int>(m.panels.size())) return nullptr;
  Panel* p = m.panels[handle].get();
  return (p && p->alive) ? p : nullptr;
}

Control* FindControl(int panel, int control) {
  Panel* p = FindPanel(panel);
  if (!p || control <= 0 || control >= static_cast<int>(p->controls.size())) return nullptr;
  Control* c = p->controls[control].get();
  return (c && c->alive) ? c : nullptr;
}

void Touch(Control& c) {
  Model& m = TheModel();
  c.rev = ++m.rev;
}

void Touch(Panel& p) {
  Model& m = TheModel();
  p.rev = ++m.rev;
}

void ValueSet(Control& c) {
  ++c.valueSets;
  // Only a control the operator types into can hold text that this set must replace on screen;
  // lamps, rings and the displays a measuring loop sets every frame are left untouched.
  const bool typedInto = c.kind == CTRL_NUMERIC || c.kind == CTRL_STRING || c.kind == CTRL_TEXT_BOX ||
                         c.kind == CTRL_TABLE;
  if (typedInto && c.mode != VAL_INDICATOR) Touch(c);
}

void TouchStructure() {
  Model& m = TheModel();
  ++m.structureRev;
  ++m.rev;
}

}  // namespace ui

// The public functions live in the global namespace, as the platform's do.
using namespace ui;

namespace {

std::map<std::pair<std::string, int>, PanelBuilderPtr>& Resources() {
  static std::map<std::pair<std::string, int>, PanelBuilderPtr> resources;
  return resources;
}

bool IsStringKind(CtrlKind k) { return k == CTRL_STRING || k == CTRL_TEXT_BOX || k == CTRL_TEXT_MSG; }

void DefaultSize(CtrlKind kind, int* height, int* width) {
  switch (kind) {
    case CTRL_COMMAND_BUTTON: *height = 24; *width = 90; break;
    case CTRL_TOGGLE_BUTTON: *height = 22; *width = 70; break;
    case CTRL_BINARY_SWITCH: *height = 22; *width = 50; break;
    case CTRL_LED: *height = 16; *width = 16; break;
    case CTRL_TEXT_MSG: *height = 16; *width = 0; break;  // 0 = fit the text
    case CTRL_TEXT_BOX: *height = 100; *width = 200; break;
    case CTRL_TABLE: *height = 200; *width = 250; break;
    case CTRL_GRAPH:
    case CTRL_STRIP_CHART: *height = 150; *width = 250; break;
    case CTRL_TAB: *height = 300; *width = 300; break;
    case CTRL_PICTURE: *height = 50; *width = 100; break;
    default: *height = 20; *width = 70; break;
  }
}

}  // namespace

// [SECTION] Resources and panels

void RegisterPanelResource(const char* resourceFile, int resourceId, PanelBuilderPtr builder) {
  Resources()[{resourceFile ? resourceFile : "", resourceId}] = builder;
}

int NewPanel(int parentPanel, const char* title, int top, int left, int height, int width) {
  if (parentPanel != 0 && !FindPanel(parentPanel)) return UIE_BAD_HANDLE;
  Model& m = TheModel();
  if (m.panels.empty()) m.panels.emplace_back();  // handle 0 is never used
  auto p = std::make_unique<Panel>();
  p->handle = static_cast<int>(m.panels.size());
  p->alive = true;
  p->parent = parentPanel;
  p->title = title ? title : "";
  p->top = top;
  p->left = left;
  p->height = height;
  p->width = width;
  p->designHeight = height;
  p->designWidth = width;
  p->controls.emplace_back();  // control id 0 is never used
  int handle = p->handle;
  m.panels.push_back(std::move(p));
  TouchStructure();
  return handle;
}

int LoadPanel(int parentPanel, const char* resourceFile, int resourceId) {
  auto it = Resources().find({resourceFile ? resourceFile : "", resourceId});
  if (it == Resources().end() || !it->second) return UIE_NO_RESOURCE;
  int handle = NewPanel(parentPanel, "", 0, 0, 300, 400);
  if (handle < 0) return handle;
  FindPanel(handle)->resourceId = resourceId;
  if (it->second(handle) < 0) {
    DiscardPanel(handle);
    return UIE_NO_RESOURCE;
  }
  Panel* p = FindPanel(handle);
  p->designHeight = p->height;  // what the resource laid out; later sizes are the window's
  p->designWidth = p->width;
  return handle;
}

int DisplayPanel(int panel) {
  Panel* p = FindPanel(panel);
  if (!p) return UIE_BAD_HANDLE;
  Assign(*p, p->visible, 1);
  return UI_OK;
}

int HidePanel(int panel) {
  Panel* p = FindPanel(panel);
  if (!p) return UIE_BAD_HANDLE;
  Assign(*p, p->visible, 0);
  return UI_OK;
}

int DiscardPanel(int panel) {
  Panel* p = FindPanel(panel);
  if (!p) return UIE_BAD_HANDLE;
  Model& m = TheModel();
  for (auto& other : m.panels) {
    if (other && other->alive && other->parent == panel) DiscardPanel(other->handle);
  }
  p->alive = false;
  p->controls.clear();
  m.popupStack.erase(std::remove(m.popupStack.begin(), m.popupStack.end(), panel), m.popupStack.end());
  TouchStructure();
  return UI_OK;
}

int InstallPopup(int panel) {
  Panel* p = FindPanel(panel);
  if (!p) return UIE_BAD_HANDLE;
  Model& m = TheModel();
  if (std::find(m.popupStack.begin(), m.popupStack.end(), panel) == m.popupStack.end()) {
    m.popupStack.push_back(panel);
  }
  p->popup = true;
  p->visible = 1;
  Touch(*p);
  TouchStructure();
  return UI_OK;
}

int RemovePopup(int panel) {
  Model& m = TheModel();
  if (m.popupStack.empty()) return UIE_BAD_HANDLE;
  if (panel == 0) panel = m.popupStack.back();
  auto it = std::find(m.popupStack.begin(), m.popupStack.end(), panel);
  if (it == m.popupStack.end()) return UIE_BAD_HANDLE;
  m.popupStack.erase(it);
  if (Panel* p = FindPanel(panel)) {
    p->popup = false;
    p->visible = 0;
    Touch(*p);
  }
  TouchStructure();
  return UI_OK;
}

int GetActivePopup() {
  Model& m = TheModel();
  return m.popupStack.empty() ? 0 : m.popupStack.back();
}

int SetPanelCallback(int panel, PanelCallbackPtr callback, void* callbackData) {
  Panel* p = FindPanel(panel);
  if (!p) return UIE_BAD_HANDLE;
  p->callback = callback;
  p->callbackData = callbackData;
  return UI_OK;
}

int SetPanelAttribute(int panel, Attr attr, int value) {
  Panel* p = FindPanel(panel);
  if (!p) return UIE_BAD_HANDLE;
  switch (attr) {
    case ATTR_TOP: Assign(*p, p->top, value); break;
    case ATTR_LEFT: Assign(*p, p->left, value); break;
    case ATTR_WIDTH: Assign(*p, p->width, std::max(value, 1)); break;
    case ATTR_HEIGHT: Assign(*p, p->height, std::max(value, 1)); break;
    case ATTR_VISIBLE: Assign(*p, p->visible, value ? 1 : 0); break;
    case ATTR_WINDOW_ZOOM:
      if (value < VAL_NO_ZOOM || value > VAL_MAXIMIZE) return UIE_BAD_ATTRIBUTE;
      Assign(*p, p->windowZoom, value);
      break;
    case ATTR_BACKCOLOR: Assign(*p, p->backColor, value); break;
    default: return UIE_BAD_ATTRIBUTE;
  }
  return UI_OK;
}

int SetPanelAttribute(int panel, Attr attr, const char* value) {
  Panel* p = FindPanel(panel);
  if (!p) return UIE_BAD_HANDLE;
  if (attr == ATTR_ACCESSIBLE_NAME) {
    Assign(*p, p->accessibleName, std::string(value ? value : ""));
    return UI_OK;
  }
  if (attr != ATTR_TITLE) return UIE_BAD_ATTRIBUTE;
  Assign(*p, p->title, std::string(value ? value : ""));
  return UI_OK;
}

int GetPanelAttribute(int panel, Attr attr, int* value) {
  Panel* p = FindPanel(panel);
  if (!p || !value) return UIE_BAD_HANDLE;
  switch (attr) {
    case ATTR_TOP: *value = p->top; break;
    case ATTR_LEFT: *value = p->left; break;
    case ATTR_WIDTH: *value = p->width; break;
    case ATTR_HEIGHT: *value = p->height; break;
    case ATTR_VISIBLE: *value = p->visible; break;
    case ATTR_WINDOW_ZOOM: *value = p->windowZoom; break;
    case ATTR_BACKCOLOR: *value = p->backColor; break;
    default: return UIE_BAD_ATTRIBUTE;
  }
  return UI_OK;
}

int GetPanelAttribute(int panel, Attr attr, std::string* value) {
  Panel* p = FindPanel(panel);
  if (!p || !value) return UIE_BAD_HANDLE;
  if (attr == ATTR_ACCESSIBLE_NAME) {
    *value = p->accessibleName;
    return UI_OK;
  }
  if (attr != ATTR_TITLE) return UIE_BAD_ATTRIBUTE;
  *value = p->title;
  return UI_OK;
}

int SetPanelPos(int panel, int top, int left) {
  Panel* p = FindPanel(panel);
  if (!p) return UIE_BAD_HANDLE;
  Assign(*p, p->top, top);
  Assign(*p, p->left, left);
  return UI_OK;
}

int SetPanelSize(int panel, int height, int width) {
  Panel* p = FindPanel(panel);
  if (!p) return UIE_BAD_HANDLE;
  Assign(*p, p->height, std::max(height, 1));
  Assign(*p, p->width, std::max(width, 1));
  return UI_OK;
}

// [SECTION] Tab controls

namespace {
Control* FindTab(int panel, int tabControl) {
  Control* c = FindControl(panel, tabControl);
  return (c && c->kind == CTRL_TAB) ? c : nullptr;
}
}  // namespace

int InsertTabPage(int panel, int tabControl, int pageIndex, const char* label) {
  Control* tab = FindTab(panel, tabControl);
  if (!tab) return UIE_BAD_CONTROL;
  int count = static_cast<int>(tab->pages.size());
  if (pageIndex < 0 || pageIndex > count) pageIndex = count;
  int page = NewPanel(panel, label, 0, 0, tab->height, tab->width);
  tab = FindTab(panel, tabControl);  // NewPanel may have moved the panel table
  Panel* pp = FindPanel(page);
  pp->tabOwner = tabControl;
  pp->visible = 1;
  TabPageData data;
  data.label = label ? label : "";
  data.panel = page;
  tab->pages.insert(tab->pages.begin() + pageIndex, data);
  for (int i = 0; i < static_cast<int>(tab->pages.size()); ++i) FindPanel(tab->pages[i].panel)->tabIndex = i;
  Touch(*tab);
  TouchStructure();
  return pageIndex;
}

int GetPanelHandleFromTabPage(int panel, int tabControl, int pageIndex, int* pagePanel) {
  Control* tab = FindTab(panel, tabControl);
  if (!tab) return UIE_BAD_CONTROL;
  if (pageIndex < 0 || pageIndex >= static_cast<int>(tab->pages.size()) || !pagePanel) return UIE_BAD_INDEX;
  *pagePanel = tab->pages[pageIndex].panel;
  return UI_OK;
}

int GetActiveTabPage(int panel, int tabControl, int* pageIndex) {
  Control* tab = FindTab(panel, tabControl);
  if (!tab || !pageIndex) return UIE_BAD_CONTROL;
  *pageIndex = tab->activePage;
  return UI_OK;
}

int SetActiveTabPage(int panel, int tabControl, int pageIndex) {
  Control* tab = FindTab(panel, tabControl);
  if (!tab) return UIE_BAD_CONTROL;
  if (pageIndex < 0 || pageIndex >= static_cast<int>(tab->pages.size())) return UIE_BAD_INDEX;
  Assign(*tab, tab->activePage, pageIndex);
  return UI_OK;
}

int GetNumTabPages(int panel, int tabControl, int* count) {
  Control* tab = FindTab(panel, tabControl);
  if (!tab || !count) return UIE_BAD_CONTROL;
  *count = static_cast<int>(tab->pages.size());
  return UI_OK;
}

int SetTabPageAttribute(int panel, int tabControl, int pageIndex, Attr attr, int value) {
  Control* tab = FindTab(panel, tabControl);
  if (!tab) return UIE_BAD_CONTROL;
  if (pageIndex < 0 || pageIndex >= static_cast<int>(tab->pages.size())) return UIE_BAD_INDEX;
  TabPageData& page = tab->pages[pageIndex];
  switch (attr) {
    case ATTR_VISIBLE: Assign(*tab, page.visible, value ? 1 : 0); break;
    case ATTR_DIMMED: Assign(*tab, page.dimmed, value ? 1 : 0); break;
    default: return UIE_BAD_ATTRIBUTE;
  }
  return UI_OK;
}

int SetTabPageAttribute(int panel, int tabControl, int pageIndex, Attr attr, const char* value) {
  Control* tab = FindTab(panel, tabControl);
  if (!tab) return UIE_BAD_CONTROL;
  if (pageIndex < 0 || pageIndex >= static_cast<int>(tab->pages.size())) return UIE_BAD_INDEX;
  if (attr != ATTR_LABEL_TEXT) return UIE_BAD_ATTRIBUTE;
  Assign(*tab, tab->pages[pageIndex].label, std::string(value ? value : ""));
  return UI_OK;
}

int GetTabPageAttribute(int panel, int tabControl, int pageIndex, Attr attr, int* value) {
  Control* tab = FindTab(panel, tabControl);
  if (!tab || !value) return UIE_BAD_CONTROL;
  if (pageIndex < 0 || pageIndex >= static_cast<int>(tab->pages.size())) return UIE_BAD_INDEX;
  switch (attr) {
    case ATTR_VISIBLE: *value = tab->pages[pageIndex].visible; break;
    case ATTR_DIMMED: *value = tab->pages[pageIndex].dimmed; break;
    default: return UIE_BAD_ATTRIBUTE;
  }
  return UI_OK;
}

// [SECTION] Controls

int NewCtrlWithId(int panel, int controlId, CtrlKind kind, const char* label, int top, int left, int height,
                  int width) {
  Panel* p = FindPanel(panel);
  if (!p) return UIE_BAD_HANDLE;
  if (controlId <= 0 || kind < 0 || kind >= CTRL_KIND_COUNT) return UIE_BAD_CONTROL;
  if (controlId >= static_cast<int>(p->controls.size())) p->controls.resize(controlId + 1);
  if (p->controls[controlId] && p->controls[controlId]->alive) return UIE_BAD_CONTROL;
  auto c = std::make_unique<Control>();
  c->id = controlId;
  c->panel = panel;
  c->kind = kind;
  c->alive = true;
  c->label = label ? label : "";
  c->top = top;
  c->left = left;
  int dh = 0, dw = 0;
  DefaultSize(kind, &dh, &dw);
  c->height = height > 0 ? height : dh;
  c->width = width > 0 ? width : dw;
  if (kind == CTRL_TABLE) c->table = std::make_unique<TableData>();
  if (kind == CTRL_GRAPH || kind == CTRL_STRIP_CHART) {
    c->graph = std::make_unique<GraphData>();
    if (kind == CTRL_GRAPH) c->graph->cursors.resize(1);
  }
  if (kind == CTRL_TEXT_MSG || kind == CTRL_DECORATION || kind == CTRL_PICTURE) c->bgColor = VAL_TRANSPARENT;
  if (kind == CTRL_LED) c->mode = VAL_INDICATOR;
  p->controls[controlId] = std::move(c);
  TouchStructure();
  return controlId;
}

int NewCtrl(int panel, CtrlKind kind, const char* label, int top, int left) {
  Panel* p = FindPanel(panel);
  if (!p) return UIE_BAD_HANDLE;
  int id = std::max(static_cast<int>(p->controls.size()), 1);
  return NewCtrlWithId(panel, id, kind, label, top, left, 0, 0);
}

int DiscardCtrl(int panel, int control) {
  Control* c = FindControl(panel, control);
  if (!c) return UIE_BAD_CONTROL;
  for (auto& page : c->pages) DiscardPanel(page.panel);
  FindPanel(panel)->controls[control].reset();
  TouchStructure();
  return UI_OK;
}

int SetCtrlCallback(int panel, int control, CtrlCallbackPtr callback, void* callbackData) {
  Control* c = FindControl(panel, control);
  if (!c) return UIE_BAD_CONTROL;
  c->callback = callback;
  c->callbackData = callbackData;
  return UI_OK;
}

int GetCtrlKind(int panel, int control, CtrlKind* kind) {
  Control* c = FindControl(panel, control);
  if (!c || !kind) return UIE_BAD_CONTROL;
  *kind = c->kind;
  return UI_OK;
}

// [SECTION] Values

namespace {

int SetNumber(Control& c, double value) {
  if (IsListKind(c.kind)) {
    for (std::size_t i = 0; i < c.items.size(); ++i) {
      if (!c.items[i].hasText && c.items[i].value == value) {
        Assign(c, c.index, static_cast<int>(i));
        ValueSet(c);
        return UI_OK;
      }
    }
    return UIE_BAD_INDEX;
  }
  if (!IsNumericKind(c.kind)) return UIE_BAD_ATTRIBUTE;
  if (std::isnan(value)) return UIE_BAD_ATTRIBUTE;
  value = std::clamp(value, c.minValue, c.maxValue);
  if (c.kind == CTRL_TOGGLE_BUTTON || c.kind == CTRL_BINARY_SWITCH) value = value != 0 ? 1 : 0;
  Assign(c, c.num, value);
  ValueSet(c);
  return UI_OK;
}

}  // namespace

int SetCtrlVal(int panel, int control, double value) {
  Control* c = FindControl(panel, control);
  return c ? SetNumber(*c, value) : UIE_BAD_CONTROL;
}
int SetCtrlVal(int panel, int control, int value) { return SetCtrlVal(panel, control, static_cast<double>(value)); }
int SetCtrlVal(int panel, int control, unsigned value) {
  return SetCtrlVal(panel, control, static_cast<double>(value));
}

int SetCtrlVal(int panel, int control, const char* value) {
  Control* c = FindControl(panel, control);
  if (!c) return UIE_BAD_CONTROL;
  std::string text = value ? value : "";
  if (IsListKind(c->kind)) {
    for (std::size_t i = 0; i < c->items.size(); ++i) {
      const ListItem& item = c->items[i];
      if ((item.hasText && item.textValue == text) || (!item.hasText && item.label == text)) {
        Assign(*c, c->index, static_cast<int>(i));
        ValueSet(*c);
        return UI_OK;
      }
    }
    return UIE_BAD_INDEX;
  }
  if (!IsStringKind(c->kind)) return UIE_BAD_ATTRIBUTE;
  if (c->kind == CTRL_STRING && c->maxEntryLength > 0 && static_cast<int>(text.size()) > c->maxEntryLength) {
    text.resize(c->maxEntryLength);
  }
  Assign(*c, c->text, text);
  if (c->kind == CTRL_TEXT_MSG) Assign(*c, c->label, text);  // a text message shows its value as its text
  ValueSet(*c);
  return UI_OK;
}

int SetCtrlVal(int panel, int control, const std::string& value) {
  return SetCtrlVal(panel, control, value.c_str());
}

int GetCtrlVal(int panel, int control, double* value) {
  Control* c = FindControl(panel, control);
  if (!c || !value) return UIE_BAD_CONTROL;
  if (IsListKind(c->kind)) {
    if (c->index < 0 || c->index >= static_cast<int>(c->items.size())) return UIE_BAD_INDEX;
    *value = c->items[c->index].value;
    return UI_OK;
  }
  if (!IsNumericKind(c->kind)) return UIE_BAD_ATTRIBUTE;
  *value = c->num;
  return UI_OK;
}

int GetCtrlVal(int panel, int control, int* value) {
  double d = 0;
  int r = GetCtrlVal(panel, control, &d);
  if (r < 0 || !value) return r;
  *value = static_cast<int>(std::llround(std::clamp(d, -2147483648.0, 2147483647.0)));
  return UI_OK;
}

int GetCtrlVal(int panel, int control, unsigned short* value) {
  double d = 0;
  int r = GetCtrlVal(panel, control, &d);
  if (r < 0 || !value) return r;
  *value = static_cast<unsigned short>(std::llround(std::clamp(d, 0.0, 65535.0)));
  return UI_OK;
}

int GetCtrlVal(int panel, int control, short* value) {
  double d = 0;
  int r = GetCtrlVal(panel, control, &d);
  if (r < 0 || !value) return r;
  *value = static_cast<short>(std::llround(std::clamp(d, -32768.0, 32767.0)));
  return UI_OK;
}

int GetCtrlVal(int panel, int control, std::string* value) {
  Control* c = FindControl(panel, control);
  if (!c || !value) return UIE_BAD_CONTROL;
  if (IsListKind(c->kind)) {
    if (c->index < 0 || c->index >= static_cast<int>(c->items.size())) return UIE_BAD_INDEX;
    const ListItem& item = c->items[c->index];
    *value = item.hasText ? item.textValue : item.label;
    return UI_OK;
  }
  if (!IsStringKind(c->kind)) return UIE_BAD_ATTRIBUTE;
  *value = c->text;
  return UI_OK;
}

int GetCtrlVal(int panel, int control, char* buffer, std::size_t bufferSize) {
  if (!buffer || bufferSize == 0) return UIE_BAD_ATTRIBUTE;
  std::string text;
  int r = GetCtrlVal(panel, control, &text);
  if (r < 0) {
    buffer[0] = '\0';
    return r;
  }
  std::size_t n = std::min(text.size(), bufferSize - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return UI_OK;
}

int CallCtrlCallback(int panel, int control, int event, int eventData1, int eventData2) {
  Control* c = FindControl(panel, control);
  if (!c) return UIE_BAD_CONTROL;
  if (c->callback) c->callback(panel, control, event, c->callbackData, eventData1, eventData2);
  return UI_OK;
}

int CallPanelCallback(int panel, int event, int eventData1, int eventData2) {
  Panel* p = FindPanel(panel);
  if (!p) return UIE_BAD_HANDLE;
  if (p->callback) p->callback(panel, event, p->callbackData, eventData1, eventData2);
  return UI_OK;
}
