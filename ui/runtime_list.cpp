// List boxes, rings and string combos: their items and the chosen one.
#include <string>
#include <utility>

#include "ui/model.h"
#include "ui/runtime_internal.h"

using namespace ui;

// [SECTION] Lists and rings

namespace {

Control* FindList(int panel, int control) {
  Control* c = FindControl(panel, control);
  if (!c) return nullptr;
  if (IsListKind(c->kind) || (c->kind == CTRL_STRING && c->combo)) return c;
  return nullptr;
}

int InsertItem(int panel, int control, int index, ListItem item) {
  Control* c = FindList(panel, control);
  if (!c) return UIE_BAD_CONTROL;
  int count = static_cast<int>(c->items.size());
  if (index < 0) index = count;
  if (index > count) return UIE_BAD_INDEX;
  c->items.insert(c->items.begin() + index, std::move(item));
  if (IsListKind(c->kind)) {
    if (c->index < 0) c->index = 0;
    else if (index <= c->index && count > 0) ++c->index;
  }
  Touch(*c);
  return index;
}

int ReplaceItem(int panel, int control, int index, ListItem item) {
  Control* c = FindList(panel, control);
  if (!c) return UIE_BAD_CONTROL;
  if (index < 0 || index >= static_cast<int>(c->items.size())) return UIE_BAD_INDEX;
  c->items[index] = std::move(item);
  Touch(*c);
  return UI_OK;
}

}  // namespace

int InsertListItem(int panel, int control, int index, const char* label, double value) {
  ListItem item;
  item.label = label ? label : "";
  item.value = value;
  return InsertItem(panel, control, index, std::move(item));
}

int InsertListItem(int panel, int control, int index, const char* label, const char* value) {
  ListItem item;
  item.label = label ? label : "";
  item.textValue = value ? value : "";
  item.hasText = true;
  return InsertItem(panel, control, index, std::move(item));
}

int ReplaceListItem(int panel, int control, int index, const char* label, double value) {
  ListItem item;
  item.label = label ? label : "";
  item.value = value;
  return ReplaceItem(panel, control, index, std::move(item));
}

int ReplaceListItem(int panel, int control, int index, const char* label, const char* value) {
  ListItem item;
  item.label = label ? label : "";
  item.textValue = value ? value : "";
  item.hasText = true;
  return ReplaceItem(panel, control, index, std::move(item));
}

int DeleteListItem(int panel, int control, int index, int count) {
  Control* c = FindList(panel, control);
  if (!c) return UIE_BAD_CONTROL;
  int size = static_cast<int>(c->items.size());
  if (index < 0 || index >= size) return size == 0 && index == 0 ? UI_OK : UIE_BAD_INDEX;
  int end = (count < 0) ? size : std::min(size, index + count);
  c->items.erase(c->items.begin() + index, c->items.begin() + end);
  if (IsListKind(c->kind)) {
    int remaining = static_cast<int>(c->items.size());
    if (remaining == 0) c->index = -1;
    else if (c->index >= end) c->index -= (end - index);
    else if (c->index >= index) c->index = std::min(index, remaining - 1);
  }
  Touch(*c);
  return UI_OK;
}

int ClearListCtrl(int panel, int control) {
  Control* c = FindList(panel, control);
  if (!c) return UIE_BAD_CONTROL;
  c->items.clear();
  if (IsListKind(c->kind)) c->index = -1;
  Touch(*c);
  return UI_OK;
}

int GetNumListItems(int panel, int control, int* count) {
  Control* c = FindList(panel, control);
  if (!c || !count) return UIE_BAD_CONTROL;
  *count = static_cast<int>(c->items.size());
  return UI_OK;
}

int GetCtrlIndex(int panel, int control, int* index) {
  Control* c = FindList(panel, control);
  if (!c || !index) return UIE_BAD_CONTROL;
  *index = c->index;
  return UI_OK;
}

int SetCtrlIndex(int panel, int control, int index) {
  Control* c = FindList(panel, control);
  if (!c) return UIE_BAD_CONTROL;
  if (index < 0 || index >= static_cast<int>(c->items.size())) return UIE_BAD_INDEX;
  if (c->kind == CTRL_STRING) {
    Assign(*c, c->text, c->items[index].label);
  } else {
    Assign(*c, c->index, index);
  }
  ValueSet(*c);
  return UI_OK;
}

int GetLabelFromIndex(int panel, int control, int index, std::string* label) {
  Control* c = FindList(panel, control);
  if (!c || !label) return UIE_BAD_CONTROL;
  if (index < 0 || index >= static_cast<int>(c->items.size())) return UIE_BAD_INDEX;
  *label = c->items[index].label;
  return UI_OK;
}

int GetValueFromIndex(int panel, int control, int index, double* value) {
  Control* c = FindList(panel, control);
  if (!c || !value) return UIE_BAD_CONTROL;
  if (index < 0 || index >= static_cast<int>(c->items.size())) return UIE_BAD_INDEX;
  *value = c->items[index].value;
  return UI_OK;
}

int GetValueFromIndex(int panel, int control, int index, std::string* value) {
  Control* c = FindList(panel, control);
  if (!c || !value) return UIE_BAD_CONTROL;
  if (index < 0 || index >= static_cast<int>(c->items.size())) return UIE_BAD_INDEX;
  *value = c->items[index].hasText ? c->items[index].textValue : c->items[index].label;
  return UI_OK;
}

int GetIndexFromValue(int panel, int control, int* index, double value) {
  Control* c = FindList(panel, control);
  if (!c || !index) return UIE_BAD_CONTROL;
  for (std::size_t i = 0; i < c->items.size(); ++i) {
    if (!c->items[i].hasText && c->items[i].value == value) {
      *index = static_cast<int>(i);
      return UI_OK;
    }
  }
  return UIE_BAD_INDEX;
}

int MakeStringCombo(int panel, int control) {
  Control* c = FindControl(panel, control);
  if (!c || c->kind != CTRL_STRING) return UIE_BAD_CONTROL;
  c->combo = true;
  Touch(*c);
  TouchStructure();
  return UI_OK;
}
