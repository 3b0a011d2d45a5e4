#include "teach/teach_labels.h"

#include "app/uir.h"
#include "teach/teach_table.h"
#include "ui/ui.h"

namespace {

const TeachPanelTexts kTexts[4] = {
    // 0: X Y INT - 2D
    {{"X", "Y", "INT"},
     "d (X/Y)",
     "d INT",
     "VALUE CTO",
     "VALUE ITO",
     "TEACH CTO WITH",
     "TEACH ITO WITH",
     {"VALUE CTO", "d (X/Y)", "d (X/Y)+VALUE CTO"},
     {"VALUE ITO", "d INT", "d INT+VALUE ITO"},
     true,
     {"X/Y", "X/INT", "Y/INT"},
     {"X", "Y", "INT"},
     {0xFF0000, 0x00FF00},
     {0xE0E0E0, 0xE0E0E0}},
    // 1: s i M - 2D
    {{"s", "i", "M"},
     "d (s/i)",
     "d M",
     "VALUE siTO",
     "VALUE MTO",
     "TEACH siTO WITH",
     "TEACH MTO WITH",
     {"VALUE siTO", "d (s/i)", "d (s/i)+VALUE siTO"},
     {"VALUE MTO", "d M", "d M+VALUE MTO"},
     true,
     {"s/i", "s/M", "i/M"},
     {"s", "i", "M"},
     {0xFF0000, 0xFFFF00},
     {0x00FF00, 0x80FFFF}},
    // 2: X Y INT - 3D: the intensity controls are hidden and keep their texts
    {{"X", "Y", "INT"},
     "d (X/Y/INT)",
     nullptr,
     "VALUE TOL",
     nullptr,
     "TEACH TOL WITH",
     nullptr,
     {"VALUE TOL", "d (X/Y/INT)", "d (X/Y/INT)+VALUE TOL"},
     {nullptr, nullptr, nullptr},
     false,
     {"X/Y", "X/INT", "Y/INT"},
     {"X", "Y", "INT"},
     {0xFF0000, 0x00FF00},
     {0xE0E0E0, 0xE0E0E0}},
    // 3: s i M - 3D
    {{"s", "i", "M"},
     "d (s/i/INT)",
     "d M",
     "VALUE TOL",
     nullptr,
     "TEACH TOL WITH",
     nullptr,
     {"VALUE TOL", "d (s/i/INT)", "d (s/i/INT)+VALUE TOL"},
     {nullptr, nullptr, nullptr},
     false,
     {"s/i", "s/M", "i/M"},
     {"s", "i", "M"},
     {0xFF0000, 0xFFFF00},
     {0x00FF00, 0x80FFFF}},
};

void Label(int panel, int control, const char* text) {
  if (text) SetCtrlAttribute(panel, control, ATTR_LABEL_TEXT, text);
}

// Items keep their index as value, so a choice means the same in every mode.
void Items(int panel, int control, const char* const items[3]) {
  for (int i = 0; i < 3; ++i) {
    if (items[i]) ReplaceListItem(panel, control, i, items[i], static_cast<double>(i));
  }
}

}  // namespace

const TeachPanelTexts& TeachPanelTextsOf(int calcMode) {
  return kTexts[calcMode >= 0 && calcMode <= 3 ? calcMode : 0];
}

void LabelTeachPanels() {
  const int eval = ParameterValue(PARA_EVAL_MODE_RING);
  const int calc = ParameterValue(PARA_CALC_MODE_RING);
  const int teach = Panels.Page[PAGE_TEACH];
  const bool thd = eval >= EVAL_THD_RED_GREEN;
  for (int id : {TEACH_OPEN_TEACHP1, TEACH_OPEN_TEACHP2}) SetCtrlAttribute(teach, id, ATTR_DIMMED, thd ? 1 : 0);
  for (int id : {TEACH_NO, TEACH_AUTO_INC}) SetCtrlAttribute(teach, id, ATTR_VISIBLE, thd ? 0 : 1);
  if (thd) return;

  const int p1 = Panels.Teachp1;
  const int minDist = eval == EVAL_MIN_DIST ? 1 : 0;  // the colour tolerance is fixed at 40
  SetCtrlAttribute(p1, TP1_TEACH_CTO_WITH, ATTR_DIMMED, minDist);
  SetCtrlAttribute(p1, TP1_VALUE_CTO, ATTR_DIMMED, minDist);

  const TeachPanelTexts& t = TeachPanelTextsOf(calc);
  for (int i = 0; i < 3; ++i) {
    SetTableColumnAttribute(p1, TP1_VALUES, 4 + i, ATTR_LABEL_TEXT, t.columns[i]);
    SetTableColumnAttribute(p1, TP1_MEAN, 4 + i, ATTR_LABEL_TEXT, t.columns[i]);
  }
  Label(p1, TP1_MAX_DELTA_XY, t.distance);
  Label(p1, TP1_MAX_DELTA_INT, t.intensityDistance);
  Label(p1, TP1_VALUE_CTO, t.colourValue);
  Label(p1, TP1_VALUE_ITO, t.intensityValue);
  Label(p1, TP1_TEACH_CTO_WITH, t.colourList);
  Label(p1, TP1_TEACH_ITO_WITH, t.intensityList);
  Items(p1, TP1_TEACH_CTO_WITH, t.colourItems);
  Items(p1, TP1_TEACH_ITO_WITH, t.intensityItems);
  for (int id : {TP1_MAX_DELTA_INT, TP1_TEACH_ITO_WITH, TP1_VALUE_ITO}) {
    SetCtrlAttribute(p1, id, ATTR_VISIBLE, t.intensityShown ? 1 : 0);
  }

  const int p2 = Panels.Teachp2;
  for (int i = 0; i < 3; ++i) {
    Label(p2, TP2_GRAPH_XY + i, t.graphs[i]);
    Label(p2, TP2_X + i, t.values[i]);
  }
  for (int i = 0; i < 2; ++i) {
    SetCtrlAttribute(p2, TP2_X + i, ATTR_TEXT_BGCOLOR, t.valueBackground[i]);
    SetCtrlAttribute(p2, TP2_X + i, ATTR_FRAME_COLOR, t.valueFrame[i]);
  }
}
