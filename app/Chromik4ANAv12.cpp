// Program entry: start-up, the main window and tab control, shutdown.
#include "app/Chromik4ANAv12.h"

#include <utility>

#include "measurement/live_graphs.h"
#include "app/dimming.h"
#include "app/locations.h"
#include "app/logo/branding.h"
#include "app/panel_settings.h"
#include "app/program_state.h"
#include "com232/connection.h"
#include "com232/link.h"
#include "parameters/changes.h"
#include "parameters/mode_rules.h"
#include "parameters/parameter_panel.h"
#include "teach/teach_table.h"
#include "ui/operate.h"
#include "ui/ui.h"

// [SECTION] Entry

int LoadPanelSet() {
  struct Load {
    int* handle;
    int resourceId;
    bool child;  // loaded with MAINP as parent
  };
  const Load order[] = {
      {&Panels.Mainp, MAINP, false},    {&Panels.Datap, DATAP, true},       {&Panels.Graphp, GRAPHP, true},
      {&Panels.Teachp1, TEACHP1, true}, {&Panels.Teachp2, TEACHP2, true},   {&Panels.Scopep, SCOPEP, true},
      {&Panels.Colbigp, COLBIGP, false}, {&Panels.Grpbigp, GRPBIGP, false}, {&Panels.Passwordp, PASSWORDP, false},
  };
  for (const Load& load : order) {
    int handle = LoadPanel(load.child ? Panels.Mainp : 0, UIR_FILE, load.resourceId);
    if (handle < 0) return -1;  // what was loaded stays; the program ends
    *load.handle = handle;
  }
  SetPanelAttribute(Panels.Mainp, ATTR_TITLE, "CHROMIK4-ANA-Scope V1.2");
  for (int child : {Panels.Datap, Panels.Graphp, Panels.Teachp1, Panels.Teachp2, Panels.Scopep}) {
    SetPanelPos(child, 63, 286);
  }
  NameForAssistiveTools();
  return 1;
}

// Names for the child panels (several show a "RED", an "X" ...) and for the controls that
// show no label, so that screen readers and desktop test tools find them.
void NameForAssistiveTools() {
  const std::pair<int, const char*> panels[] = {{Panels.Datap, "DATAP"},     {Panels.Graphp, "GRAPHP"},
                                                {Panels.Scopep, "SCOPEP"},   {Panels.Teachp1, "TEACHP1"},
                                                {Panels.Teachp2, "TEACHP2"}};
  for (const auto& [panel, name] : panels) SetPanelAttribute(panel, ATTR_ACCESSIBLE_NAME, name);
  int calibration = 0;
  GetPanelHandleFromTabPage(Panels.Mainp, MAINP_TAB, PAGE_CALIBRATION, &calibration);
  struct Named {
    int panel, control;
    const char* name;
  };
  const Named controls[] = {
      {Panels.Mainp, MAINP_BAND, "Top band"},
      {Panels.Mainp, MAINP_LOGO, "Supplier logo"},
      {Panels.Mainp, MAINP_TAB, "Main tabs"},
      {Panels.Mainp, MAINP_CHANGES_TEXT, "Changes since GET or SEND"},
      {calibration, CAL_DECO_HIDDEN, "Calibration band"},
      {Panels.Datap, DATAP_TAB, "Data tabs"},
      {Panels.Colbigp, COLBIGP_NUMBER, "C-No display"},
      {Panels.Colbigp, COLBIGP_ID, "C-No identification"},
      {Panels.Grpbigp, GRPBIGP_NUMBER, "GROUP display"},
      {Panels.Grpbigp, GRPBIGP_ID, "GROUP identification"},
      {Panels.Scopep, SCOPEP_BINARY_GRAPH, "Binary traces"},
  };
  for (const Named& n : controls) SetCtrlAttribute(n.panel, n.control, ATTR_ACCESSIBLE_NAME, n.name);
}

void InitializeProgramState() {
  // 1. Program-wide state.
  ResetLinkFlags();
  State.MemorySelection = 1;
  State.ParameterSetIndex = 0;
  State.GoRunning = 0;
  State.SendRequested = 0;
  State.GetRequested = 0;
  State.TeachToleranceOff = 0;
  ResetChangeTracking();
  SetInputDoneCallback(UpdateChangeMarks);
  // 2. The panels behind the tab pages.
  for (int i = 0; i < MAIN_PAGE_COUNT; ++i) GetPanelHandleFromTabPage(Panels.Mainp, MAINP_TAB, i, &Panels.Page[i]);
  for (int i = 0; i < 4; ++i) GetPanelHandleFromTabPage(Panels.Datap, DATAP_TAB, i, &Panels.DataPage[i]);
}

void InitializeGui() {
  InitializeProgramState();
  // 3. The settings file beside the program, or in the user's configuration folder.
  State.PanelSettingsPath = CurrentFilePlaces().project + "/" + "PanelSettings.cfg";
  // 4. Context menus of the tables.
  InstallTableMenus();
  // 5. The access-code field shows '*' and takes at most 20 characters.
  SetCtrlAttribute(Panels.Passwordp, PASSWORDP_STRING, ATTR_MAX_ENTRY_LENGTH, 20);
  SetCtrlAttribute(Panels.Passwordp, PASSWORDP_STRING, ATTR_PASSWORD_MASK, '*');
  // 6. Branding.
  DrawBranding();
  // 7. The parameter set from the parameter controls' initial values.
  ReadParametersFromPanel();
  // 8. The server field becomes a combo box of recent entries, light grey.
  int com = Panels.Page[PAGE_CONNECTION];
  MakeStringCombo(com, COM_IP_ADRESS);
  SetCtrlAttribute(com, COM_IP_ADRESS, ATTR_TEXT_BGCOLOR, 0xE0E0E0);
  // 9. Saved settings.
  ReadPanelSettings();
  // 10. Parameter page in front; DATAP shows its fourth page.
  SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_PARAMETER);
  SetActiveTabPage(Panels.Datap, DATAP_TAB, 3);
  // The window never shows what the mode rules forbid, not even before the first GET.
  ApplyModeRulesQuietly();
  // 11. The offset page waits for the access code.
  SetTabPageAttribute(Panels.Mainp, MAINP_TAB, PAGE_OFFSET, ATTR_VISIBLE, 0);
  // 12.
  ShowChildPanel(Panels.Datap);
  DisplayPanel(Panels.Mainp);
  // 13. Communication settings into the connection page.
  ReadCommunicationSettings();
  ShowTransportSelectors();
  // 14. Connect once.
  SetButtonsDimmed(0, 1);
  TryToConnect();
  SetButtonsDimmed(0, 0);
}

void ShutdownProgram() {
  CloseSensorLink();
  if (Panels.Page[PAGE_CONNECTION] > 0) ClearListCtrl(Panels.Page[PAGE_CONNECTION], COM_IP_ADRESS);
  if (Panels.Mainp > 0) DiscardPanel(Panels.Mainp);
  Panels = PanelSet{};
}

int RunProgram() {
  RegisterPanelResources();
  if (LoadPanelSet() < 0) return -1;
  InitializeGui();
  RunUserInterface();
  ShutdownProgram();
  return 0;
}

// Settings written, the event loop left: the end of every run.
static void CloseProgram() {
  State.GoRunning = 0;
  WritePanelSettings();
  QuitUserInterface(0);
}

// SIGTERM and SIGINT (a service manager, a logout) close the program without a question: a
// road of their own, not the window's close, whose question would leave them waiting.
void OnTerminationSignal(int) {
  if (Panels.Mainp > 0) PostDeferredCall([](void*) { CloseProgram(); }, nullptr);
}

void ShowChildPanel(int panel) {
  const int children[] = {Panels.Datap, Panels.Graphp, Panels.Teachp1, Panels.Teachp2, Panels.Scopep};
  bool known = false;
  for (int child : children) {
    HidePanel(child);
    known = known || (child == panel && panel > 0);
  }
  DisplayPanel(known ? panel : Panels.Datap);
}

// [SECTION] Main window and tab control

int CBF_MAINP(int panel, int event, void*, int, int) {
  switch (event) {
    case EVENT_RIGHT_DOUBLE_CLICK: {
      // Centred in the usable area: a desktop bar at the top or left moves its origin.
      int areaTop = 0, areaLeft = 0, areaHeight = 0, areaWidth = 0;
      GetScreenUsableArea(&areaTop, &areaLeft, &areaHeight, &areaWidth);
      SetPanelAttribute(panel, ATTR_WINDOW_ZOOM, VAL_NO_ZOOM);
      SetPanelSize(panel, 548, 790);
      SetPanelPos(panel, areaTop + (areaHeight - 548) / 2, areaLeft + (areaWidth - 790) / 2);
      break;
    }
    case EVENT_CLOSE:
      // Values the panel holds that its source does not are lost only when the operator says so.
      if (ConfirmLosingChanges() == 1) CloseProgram();
      break;
    case EVENT_PANEL_SIZE:
      ReapplyStripChartTraces();
      break;
    default:
      break;
  }
  return 0;
}

int CBF_TabMain1(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_RIGHT_CLICK) {
    MessagePopup("INFO!", "Select TAB-window.");
  } else if (event == EVENT_ACTIVE_TAB_CHANGE) {
    int page = 0;
    GetActiveTabPage(panel, control, &page);
    if (page == PAGE_RECORDER) {
      ArrangeRecorderPage();
    } else if (page == PAGE_CONNECTION) {
      State.GoRunning = 0;
      DimConnectedButtons();
    } else if (page == PAGE_SCOPE) {
      State.GoRunning = 0;
      ShowChildPanel(Panels.Scopep);
    }
  }
  return 0;
}

int CBF_TabDataP1(int, int, int event, void*, int, int) {
  if (event == EVENT_RIGHT_CLICK) MessagePopup("INFO!", "Select TAB-window.");
  return 0;
}

// The child panels' own callbacks have nothing to do.
int CBF_DATAP(int, int, void*, int, int) { return 0; }
int CBF_GRAPHP(int, int, void*, int, int) { return 0; }
int CBF_SCOPEP(int, int, void*, int, int) { return 0; }
int CBF_TEACHP1(int, int, void*, int, int) { return 0; }
int CBF_TEACHP2(int, int, void*, int, int) { return 0; }
