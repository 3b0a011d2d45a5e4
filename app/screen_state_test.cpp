// The window never shows what its rules forbid, and no work is lost to a key that
// answers a question by default: the start-up state and the questions whose Yes destroys work.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "app/Chromik4ANAv12.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "parameters/mode_rules.h"
#include "parameters/parameter_panel.h"
#include "ui/headless.h"
#include "ui/model.h"
#include "ui/operate.h"
#include "ui/ui.h"

namespace {

namespace hl = ui::headless;

// What the mode rules decide about every control and tab page of the program.
using Look = std::vector<std::tuple<int, int, int, int, std::string, int>>;

Look LookOfTheWindow() {
  Look look;
  for (const auto& p : ui::TheModel().panels) {
    if (!p || !p->alive) continue;
    look.emplace_back(p->handle, 0, p->visible, 0, p->title, 0);
    for (const auto& c : p->controls) {
      if (!c || !c->alive) continue;
      look.emplace_back(p->handle, c->id, c->visible, c->dimmed, c->label, c->index);
      for (std::size_t i = 0; i < c->pages.size(); ++i) {
        look.emplace_back(p->handle, c->id, c->pages[i].visible, c->pages[i].dimmed, c->pages[i].label,
                          static_cast<int>(i) == c->activePage);
      }
      if (c->table) {
        for (int col = 0; col < c->table->columns; ++col) {
          look.emplace_back(p->handle, c->id, c->table->columnInfo[col].inUse, col, c->table->columnInfo[col].title, 0);
        }
      }
    }
  }
  return look;
}

class ScreenState : public ::testing::Test {
 protected:
  void SetUp() override { scratch_ = std::make_unique<harness::Scratch>(); }
  void TearDown() override { scratch_.reset(); }
  std::unique_ptr<harness::Scratch> scratch_;
};

TEST_F(ScreenState, StartedWithoutASensorTheWindowLooksAsAfterAGetOfTheSameValues) {
  ASSERT_EQ(LoadPanelSet(), 1);
  InitializeGui();
  for (const auto& popup : hl::Popups()) EXPECT_NE(popup.title, "INFO!") << popup.text;  // no rule's notice
  // Forbidden at the defaults (DIGITAL OUTMODE OFF): the evaluation controls and the teach pages.
  const int para = Panels.Page[PAGE_PARAMETER];
  int visible = 1;
  GetCtrlAttribute(para, PARA_EVAL_MODE_RING, ATTR_VISIBLE, &visible);
  EXPECT_EQ(visible, 0);
  GetTabPageAttribute(Panels.Mainp, MAINP_TAB, PAGE_TEACH, ATTR_VISIBLE, &visible);
  EXPECT_EQ(visible, 0);
  int dimmed = 0;
  GetCtrlAttribute(Panels.Mainp, MAINP_PARASET1, ATTR_DIMMED, &dimmed);
  EXPECT_EQ(dimmed, 1);
  GetCtrlAttribute(para, PARA_DYNWIN_LO_NUM, ATTR_DIMMED, &dimmed);
  EXPECT_EQ(dimmed, 1);  // POWER MODE STAT

  const Look atStart = LookOfTheWindow();
  // A GET of the values the window holds: the record shown again, then the rules.
  ReadParametersFromPanel();
  WriteParametersToPanel();
  ApplyModeRules();
  const Look afterGet = LookOfTheWindow();
  ASSERT_EQ(atStart.size(), afterGet.size());
  for (std::size_t i = 0; i < atStart.size(); ++i) {
    EXPECT_EQ(atStart[i], afterGet[i]) << "panel " << std::get<0>(atStart[i]) << " control " << std::get<1>(atStart[i])
                                       << " \"" << std::get<4>(atStart[i]) << "\"";
  }
}

TEST_F(ScreenState, QuestionsWhoseYesDestroysWorkAreAskedWithNoAsTheirDefault) {
  ASSERT_EQ(LoadPanelSet(), 1);
  InitializeGui();
  SetCtrlVal(Panels.Page[PAGE_PARAMETER], PARA_DIG_OUTMODE_RING, DIGITAL_OUTMODE_BINARY);
  ApplyModeRules();
  struct Reset {
    int panel, button, page;  // page of MAINP to show first, or -1; a child panel is shown for TEACHP1/2
  };
  const Reset resets[] = {
      {Panels.Page[PAGE_TEACH], TEACH_RESET, PAGE_TEACH},
      {Panels.Page[PAGE_GROUP_HOLD], GROUP_RESET, PAGE_GROUP_HOLD},
      {Panels.Page[PAGE_GROUP_HOLD], HOLD_RESET, PAGE_GROUP_HOLD},
      {Panels.Page[PAGE_TABLE_ATTR], ATTR_PAGE_RESET, PAGE_TABLE_ATTR},
      {Panels.Teachp1, TP1_RESET, -1},
      {Panels.Teachp2, TP2_RESET, -1},
  };
  for (const Reset& r : resets) {
    SCOPED_TRACE(r.button);
    if (r.page >= 0) {
      SetActiveTabPage(Panels.Mainp, MAINP_TAB, r.page);
    } else {
      ShowChildPanel(r.panel);
    }
    hl::Popups().clear();
    ASSERT_TRUE(ui::op::Press(r.panel, r.button));
    ProcessSystemEvents();
    ASSERT_FALSE(hl::Popups().empty());
    const hl::PopupRecord& q = hl::Popups().front();
    EXPECT_EQ(q.kind, "confirm");
    EXPECT_EQ(q.text, "Do you really want to reset the table?");
    EXPECT_TRUE(q.noIsDefault);
  }

  // An existing record file: Yes would delete it.
  const std::string existing = scratch_->Dir() + "/RecordFile.dat";
  std::ofstream(existing) << "recorded\r\n";
  SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_RECORDER);
  hl::Popups().clear();
  hl::AnswerFile(VAL_EXISTING_FILE_SELECTED, existing);
  ASSERT_TRUE(ui::op::Press(Panels.Page[PAGE_RECORDER], REC_SELECT_FILE));
  ProcessSystemEvents();
  bool asked = false;
  for (const auto& p : hl::Popups()) {
    if (p.text != "File already exist! \nDo you want to select existing file?") continue;
    asked = true;
    EXPECT_TRUE(p.noIsDefault);
  }
  EXPECT_TRUE(asked);
  std::ifstream kept(existing);
  std::string line;
  std::getline(kept, line);
  EXPECT_EQ(line, "recorded\r");
}

}  // namespace
