// Start-up, the panel set, the main window's events and shutdown, driven headless.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "app/dimming.h"
#include "app/program_state.h"
#include "com232/port_map.h"
#include "ui/headless.h"
#include "ui/model.h"
#include "ui/operate.h"
#include "ui/ui.h"

namespace {

class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_ = std::make_unique<harness::Scratch>();
    dir_ = scratch_->Dir();
  }
  void TearDown() override { scratch_.reset(); }
  void Start() {
    ASSERT_EQ(LoadPanelSet(), 1);
    InitializeGui();
  }
  int ActiveMainPage() {
    int page = -1;
    GetActiveTabPage(Panels.Mainp, MAINP_TAB, &page);
    return page;
  }
  std::unique_ptr<harness::Scratch> scratch_;
  std::string dir_;
};

TEST_F(Startup, LoadsTheNinePanelsInOrderWithTheirResourceNumbers) {
  Start();
  std::vector<int> order;
  for (const auto& p : ui::TheModel().panels) {
    if (p && p->alive && p->resourceId) order.push_back(p->resourceId);
  }
  EXPECT_EQ(order, (std::vector<int>{5, 2, 3, 8, 9, 7, 1, 4, 6}));
  std::string title;
  GetPanelAttribute(Panels.Mainp, ATTR_TITLE, &title);
  EXPECT_EQ(title, "CHROMIK4-ANA-Scope V1.2");
  int h = 0, w = 0;
  GetPanelAttribute(Panels.Mainp, ATTR_HEIGHT, &h);
  GetPanelAttribute(Panels.Mainp, ATTR_WIDTH, &w);
  EXPECT_EQ(h, 548);
  EXPECT_EQ(w, 790);
  // The children of MAINP are the five child panels; the other three stand alone.
  for (int child : {Panels.Datap, Panels.Graphp, Panels.Teachp1, Panels.Teachp2, Panels.Scopep}) {
    const ui::Panel* p = ui::FindPanel(child);
    EXPECT_EQ(p->parent, Panels.Mainp);
    EXPECT_EQ(p->top, 63);
    EXPECT_EQ(p->left, 286);
  }
  for (int top : {Panels.Colbigp, Panels.Grpbigp, Panels.Passwordp}) EXPECT_EQ(ui::FindPanel(top)->parent, 0);
}

TEST_F(Startup, ShowsTheParameterPageAndDatapWithTheOffsetPageHidden) {
  Start();
  int pages = 0;
  GetNumTabPages(Panels.Mainp, MAINP_TAB, &pages);
  EXPECT_EQ(pages, 9);
  int visible = 1, dataPage = -1;
  GetTabPageAttribute(Panels.Mainp, MAINP_TAB, PAGE_OFFSET, ATTR_VISIBLE, &visible);
  GetActiveTabPage(Panels.Datap, DATAP_TAB, &dataPage);
  EXPECT_EQ(visible, 0);
  // DATAP's fourth page was chosen, but the default DIGITAL OUTMODE OFF hides it.
  EXPECT_EQ(dataPage, 0);
  EXPECT_TRUE(ui::PanelOperable(Panels.Mainp));
  EXPECT_TRUE(ui::PanelOperable(Panels.Datap));
  for (int hidden : {Panels.Graphp, Panels.Teachp1, Panels.Teachp2, Panels.Scopep, Panels.Colbigp,
                     Panels.Grpbigp, Panels.Passwordp}) {
    EXPECT_FALSE(ui::PanelOperable(hidden)) << hidden;
  }
  // The access-code field hides what is typed and takes at most 20 characters.
  int mask = 0, length = 0;
  GetCtrlAttribute(Panels.Passwordp, PASSWORDP_STRING, ATTR_PASSWORD_MASK, &mask);
  GetCtrlAttribute(Panels.Passwordp, PASSWORDP_STRING, ATTR_MAX_ENTRY_LENGTH, &length);
  EXPECT_EQ(mask, '*');
  EXPECT_EQ(length, 20);
  // The server field is a light grey combo box.
  const ui::Control* server = ui::FindControl(Panels.Page[PAGE_CONNECTION], COM_IP_ADRESS);
  EXPECT_TRUE(server->combo);
  EXPECT_EQ(server->bgColor, 0xE0E0E0);
}

TEST_F(Startup, BrandingShowsTheFourLinesTheBandAndTheLogo) {
  Start();
  std::vector<std::string> texts;
  for (const auto& c : ui::FindPanel(Panels.Mainp)->controls) {
    if (c && c->alive && c->kind == CTRL_TEXT_MSG && c->id != MAINP_CHANGES_TEXT) {
      texts.push_back(c->label);
      EXPECT_EQ(c->textColor, 0xFFFFFF);
      EXPECT_EQ(c->bgColor, VAL_TRANSPARENT);
    }
  }
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[0], "CHROMIK4-ANA-Scope V1.2");
  const ui::Control* title = nullptr;
  for (const auto& c : ui::FindPanel(Panels.Mainp)->controls) {
    if (c && c->alive && c->kind == CTRL_TEXT_MSG && c->label == texts[0]) title = c.get();
  }
  EXPECT_EQ(title->top, 29);
  EXPECT_EQ(title->left, 323);
  EXPECT_EQ(title->pointSize, 19);
  EXPECT_EQ(ui::FindControl(Panels.Mainp, MAINP_BAND)->frameColor, 0x0080FF);
  // The logo is loaded from the program's directory only when the file is there.
  const ui::Control* logo = ui::FindControl(Panels.Mainp, MAINP_LOGO);
  EXPECT_TRUE(logo->visible);
  EXPECT_EQ(logo->top, 6);
  EXPECT_EQ(logo->left, 325);
}

TEST_F(Startup, ShowChildPanelShowsExactlyOneChild) {
  Start();
  ShowChildPanel(Panels.Scopep);
  EXPECT_TRUE(ui::PanelOperable(Panels.Scopep));
  EXPECT_FALSE(ui::PanelOperable(Panels.Datap));
  ShowChildPanel(Panels.Colbigp);  // not a child panel: DATAP comes back
  EXPECT_TRUE(ui::PanelOperable(Panels.Datap));
  EXPECT_FALSE(ui::PanelOperable(Panels.Scopep));
  EXPECT_FALSE(ui::PanelOperable(Panels.Colbigp));
}

TEST_F(Startup, RightDoubleClickRestoresTheDefaultSizeCentred) {
  Start();
  ui::headless::SetUsableArea(32, 64, 1048, 1856);  // desktop bars at the top and the left
  SetPanelAttribute(Panels.Mainp, ATTR_WINDOW_ZOOM, VAL_MAXIMIZE);
  SetPanelSize(Panels.Mainp, 300, 400);
  SetPanelPos(Panels.Mainp, 3, 4);
  ASSERT_TRUE(ui::op::PanelRightDoubleClick(Panels.Mainp));
  ProcessSystemEvents();
  int h = 0, w = 0, top = 0, left = 0, zoom = -1, sh = 0, sw = 0;
  GetPanelAttribute(Panels.Mainp, ATTR_HEIGHT, &h);
  GetPanelAttribute(Panels.Mainp, ATTR_WIDTH, &w);
  GetPanelAttribute(Panels.Mainp, ATTR_TOP, &top);
  GetPanelAttribute(Panels.Mainp, ATTR_LEFT, &left);
  GetPanelAttribute(Panels.Mainp, ATTR_WINDOW_ZOOM, &zoom);
  GetScreenSize(&sh, &sw);
  EXPECT_EQ(sh, 1048);
  EXPECT_EQ(h, 548);
  EXPECT_EQ(w, 790);
  EXPECT_EQ(top, 32 + (1048 - 548) / 2);
  EXPECT_EQ(left, 64 + (1856 - 790) / 2);
  EXPECT_EQ(zoom, VAL_NO_ZOOM);
}

TEST_F(Startup, TabChangesEndGoOnTheConnectionAndScopePages) {
  Start();
  State.GoRunning = 1;
  ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_TEACH);
  ProcessSystemEvents();
  EXPECT_EQ(State.GoRunning, 1);  // other pages leave a running loop alone
  ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_SCOPE);
  ProcessSystemEvents();
  EXPECT_EQ(State.GoRunning, 0);
  EXPECT_TRUE(ui::PanelOperable(Panels.Scopep));
  State.GoRunning = 1;
  UndimConnectedButtons();
  ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_CONNECTION);
  ProcessSystemEvents();
  EXPECT_EQ(State.GoRunning, 0);
  int com = Panels.Page[PAGE_CONNECTION];
  for (int id : {COM_ACCEPT, COM_CHANGE_BAUDRATE, COM_GEN_HW_FILE}) {
    int dimmed = 0;
    GetCtrlAttribute(com, id, ATTR_DIMMED, &dimmed);
    EXPECT_EQ(dimmed, 1);
  }
  ui::op::RightClick(Panels.Mainp, MAINP_TAB);
  ProcessSystemEvents();
  ASSERT_FALSE(ui::headless::Popups().empty());
  EXPECT_EQ(ui::headless::Popups().back().title, "INFO!");
  EXPECT_EQ(ui::headless::Popups().back().text, "Select TAB-window.");
}

TEST_F(Startup, AccessCodeOpensTheOffsetPageOnlyWhenExact) {
  Start();
  int cal = Panels.Page[PAGE_CALIBRATION];
  ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_CALIBRATION);
  ProcessSystemEvents();
  EXPECT_TRUE(ui::op::RightDoubleClick(cal, CAL_DECO_HIDDEN));
  ProcessSystemEvents();
  ASSERT_EQ(GetActivePopup(), Panels.Passwordp);
  EXPECT_FALSE(ui::op::Press(Panels.Mainp, MAINP_GO));  // the rest of the program waits
  ui::op::SetText(Panels.Passwordp, PASSWORDP_STRING, "Quartz");
  ProcessSystemEvents();
  ASSERT_FALSE(ui::headless::Popups().empty());
  EXPECT_EQ(ui::headless::Popups().back().text, "Wrong password. \nPlease try again.");
  std::string field = "x";
  GetCtrlVal(Panels.Passwordp, PASSWORDP_STRING, &field);
  EXPECT_EQ(field, "");
  EXPECT_EQ(GetActivePopup(), Panels.Passwordp);
  ui::op::SetText(Panels.Passwordp, PASSWORDP_STRING, "quartz");
  ProcessSystemEvents();
  EXPECT_EQ(GetActivePopup(), 0);
  int visible = 0;
  GetTabPageAttribute(Panels.Mainp, MAINP_TAB, PAGE_OFFSET, ATTR_VISIBLE, &visible);
  EXPECT_EQ(visible, 1);
  EXPECT_EQ(ActiveMainPage(), PAGE_OFFSET);
}

TEST_F(Startup, ClosingThePasswordPopupLeavesTheOffsetPageHidden) {
  Start();
  CallCtrlCallback(Panels.Page[PAGE_CALIBRATION], CAL_DECO_HIDDEN, EVENT_RIGHT_DOUBLE_CLICK, 0, 0);
  ui::op::ClosePanel(Panels.Passwordp);
  ProcessSystemEvents();
  EXPECT_EQ(GetActivePopup(), 0);
  int visible = 1;
  GetTabPageAttribute(Panels.Mainp, MAINP_TAB, PAGE_OFFSET, ATTR_VISIBLE, &visible);
  EXPECT_EQ(visible, 0);
}

TEST_F(Startup, BigDisplaysCloseOnARightClick) {
  Start();
  // Anywhere on the panel: the number, the identification line, the background.
  const std::pair<int, int> parts[] = {{Panels.Colbigp, COLBIGP_NUMBER}, {Panels.Colbigp, COLBIGP_ID},
                                       {Panels.Colbigp, 0},              {Panels.Grpbigp, GRPBIGP_NUMBER},
                                       {Panels.Grpbigp, GRPBIGP_ID},     {Panels.Grpbigp, 0}};
  for (auto [panel, control] : parts) {
    DisplayPanel(panel);
    ASSERT_TRUE(ui::PanelOperable(panel));
    EXPECT_TRUE(control ? ui::op::RightClick(panel, control) : ui::op::PanelRightClick(panel)) << control;
    ProcessSystemEvents();
    EXPECT_FALSE(ui::PanelOperable(panel)) << panel << ":" << control;
  }
  DisplayPanel(Panels.Grpbigp);
  ui::op::ClosePanel(Panels.Grpbigp);
  ProcessSystemEvents();
  EXPECT_FALSE(ui::PanelOperable(Panels.Grpbigp));
}

TEST_F(Startup, ClosingTheMainWindowEndsTheProgramWithZero) {
  int turns = 0;
  ui::headless::SetIdleHook([&] {
    if (++turns == 2) {
      State.GoRunning = 1;
      ui::op::ClosePanel(Panels.Mainp);
    }
  });
  EXPECT_EQ(RunProgram(), 0);
  EXPECT_EQ(State.GoRunning, 0);
  EXPECT_EQ(Panels.Mainp, 0);  // shutdown discarded the panels
}

TEST_F(Startup, SigtermEndsTheProgramAsClosingDoes) {
  InstallTerminationHandler(OnTerminationSignal);
  int turns = 0;
  ui::headless::SetIdleHook([&] {
    if (++turns == 2) raise(SIGTERM);
  });
  EXPECT_EQ(RunProgram(), 0);
  signal(SIGTERM, SIG_DFL);
}

int FailingBuilder(int) { return -1; }

TEST_F(Startup, APanelThatCannotBeLoadedEndsStartUp) {
  RegisterPanelResource(UIR_FILE, GRPBIGP, FailingBuilder);
  EXPECT_EQ(LoadPanelSet(), -1);
}

}  // namespace
