// The table attributes page and its file, driven headless as an operator would.
#include "teach/table_attributes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/file_bytes_test.h"
#include "app/harness_test.h"
#include "app/program_state.h"
#include "parameters/ini.h"
#include "teach/row_colors.h"
#include "ui/headless.h"
#include "ui/model.h"
#include "ui/operate.h"

namespace {

using testfiles::FileBytes;

namespace hl = ui::headless;

class TableAttributes : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = std::make_unique<harness::Program>();
    program_->Start();
    file_ = program_->Dir() + "/Colors.ini";
    ASSERT_TRUE(ui::op::ChangeTab(Panels.Mainp, MAINP_TAB, PAGE_TABLE_ATTR));
    ProcessSystemEvents();
    hl::Popups().clear();
  }
  int Page() const { return Panels.Page[PAGE_TABLE_ATTR]; }
  void Press(int control) {
    ASSERT_TRUE(ui::op::Press(Page(), control));
    ProcessSystemEvents();
  }
  std::vector<std::string> Shown() {
    std::vector<std::string> out;
    for (const auto& p : hl::Popups()) {
      if (p.kind != "file") out.push_back(p.title + "|" + p.text);
    }
    return out;
  }
  int Background(int panel, int table, TableCell cell) {
    int color = -1;
    GetTableCellAttribute(panel, table, cell, ATTR_TEXT_BGCOLOR, &color);
    return color;
  }
  std::string RowText(int row) {
    std::string text;
    GetTableCellVal(Page(), ATTR_SPEC_TABLE, {row + 1, 1}, &text);
    return text;
  }
  std::unique_ptr<harness::Program> program_;
  std::string file_;
};

TEST_F(TableAttributes, SavingAfterStartUpWritesTheDefaultColours) {
  hl::AnswerFile(VAL_NEW_FILE_SELECTED, file_);
  Press(ATTR_PAGE_SAVE);
  ASSERT_EQ(hl::Popups().size(), 1u);
  EXPECT_EQ(hl::Popups()[0].title, "TableAttributes");
  EXPECT_EQ(hl::Popups()[0].text, program_->Dir() + "/|TableAttributes.ini|*.ini");
  EXPECT_EQ(State.TableAttributesPath, file_);
  const std::string bytes = FileBytes(file_);
  EXPECT_EQ(bytes.rfind("[GENERAL INFO]\r\nFILE TYPE: = \"Table Attributes\"\r\n"
                        "SCOPE VERSION: = \"CHROMIK4-ANA-Scope V1.2\"\r\n\r\n"
                        "[TABLE ATTR OF TEACH VECTOR 0]\r\nRow color = 16711680\r\nRow specification = \"\"\r\n\r\n",
                        0),
            0u);
  EXPECT_NE(bytes.find("[TABLE ATTR OF TEACH VECTOR 3]\r\nRow color = 0\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("[TABLE ATTR OF TEACH VECTOR 30]\r\n"), std::string::npos);
}

TEST_F(TableAttributes, LoadTakesColoursAndRowTextsAndReportsMissingColours) {
  IniDocument doc;
  IniPutString(&doc, "GENERAL INFO", "FILE TYPE:", "Table Attributes");
  IniPutString(&doc, "GENERAL INFO", "SCOPE VERSION:", "CHROMIK4-ANA-Scope V1.2");
  for (int r = 0; r < TEACH_ROWS; ++r) {
    const std::string section = "TABLE ATTR OF TEACH VECTOR " + std::to_string(r);
    if (r != 7) IniPutInt(&doc, section, "Row color", 0x010101 * r);
    IniPutString(&doc, section, "Row specification", r == 2 ? std::string(120, 'x') : "row " + std::to_string(r));
  }
  ASSERT_EQ(IniWriteFile(doc, file_), 1);
  hl::AnswerFile(VAL_EXISTING_FILE_SELECTED, file_);
  Press(ATTR_PAGE_LOAD);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"Attention!|Following teach vectors could not be read \nand where set "
                                                "to default value:\n\nTABLE ATTR OF TEACH VECTOR 7\n"}));
  EXPECT_EQ(RowColors[7], 0x800080);
  EXPECT_EQ(RowColors[5], 0x050505);
  EXPECT_EQ(RowText(2), std::string(99, 'x'));
  EXPECT_EQ(RowText(7), "row 7");
  // The four indicator cells of a row are painted.
  EXPECT_EQ(Background(Page(), ATTR_SPEC_TABLE, {6, 2}), 0x050505);
  EXPECT_EQ(Background(Panels.Page[PAGE_TEACH], TEACH_TABLE, {6, 6}), 0x050505);
  EXPECT_EQ(Background(Panels.Page[PAGE_GROUP_HOLD], GROUP_TABLE, {6, 2}), 0x050505);
  EXPECT_EQ(Background(Panels.Page[PAGE_GROUP_HOLD], HOLD_TABLE, {7, 2}), 0x050505);
  EXPECT_EQ(Background(Page(), ATTR_SPEC_TABLE, {8, 2}), 0x800080);

  // Saved again, the file gives back what was loaded.
  const std::string again = program_->Dir() + "/Again.ini";
  hl::AnswerFile(VAL_NEW_FILE_SELECTED, again);
  Press(ATTR_PAGE_SAVE);
  IniDocument back;
  ASSERT_EQ(IniReadFile(again, &back), 1);
  long color = 0;
  ASSERT_TRUE(IniGetInt(back, "TABLE ATTR OF TEACH VECTOR 7", "Row color", &color));
  EXPECT_EQ(color, 0x800080);
  ASSERT_TRUE(IniGetInt(back, "TABLE ATTR OF TEACH VECTOR 30", "Row color", &color));
  EXPECT_EQ(color, 0x010101 * 30);
}

TEST_F(TableAttributes, ForeignFilesAskFirstAndNoChangesNothing) {
  ASSERT_EQ(IniWriteFile(IniDocument{}, file_), 1);
  const std::int32_t before = RowColors[4];
  hl::AnswerFile(VAL_EXISTING_FILE_SELECTED, file_);
  hl::AnswerConfirm(0);
  Press(ATTR_PAGE_LOAD);
  EXPECT_EQ(Shown(), (std::vector<std::string>{
                         "ATTENTION!|Selected file is not a table attributes file! \nDo you want to proceed anyway?",
                         "ATTENTION!|No parameter where read!"}));
  EXPECT_EQ(RowColors[4], before);
  // Read anyway: every colour takes its default and is listed.
  hl::Popups().clear();
  RowColors[4] = 0x123456;
  hl::AnswerFile(VAL_EXISTING_FILE_SELECTED, file_);
  hl::AnswerConfirm(1);
  hl::AnswerConfirm(1);
  Press(ATTR_PAGE_LOAD);
  ASSERT_EQ(Shown().size(), 3u);
  EXPECT_NE(Shown()[2].find("TABLE ATTR OF TEACH VECTOR 0\nTABLE ATTR OF TEACH VECTOR 1\n"), std::string::npos);
  EXPECT_EQ(RowColors[4], 0xFF80C0);
  // Nothing chosen.
  hl::Popups().clear();
  hl::AnswerFile(VAL_NO_FILE_SELECTED, "");
  Press(ATTR_PAGE_LOAD);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"ATTENTION!|No file was selected!"}));
}

TEST_F(TableAttributes, ManualAndAutomaticModesDimEachOther) {
  EXPECT_FALSE(program_->Dimmed(Page(), ATTR_PAGE_SET));
  EXPECT_FALSE(ui::FindControl(Panels.Datap, DATAP_COLORBOX)->visible);
  ASSERT_TRUE(ui::op::SetValue(Page(), ATTR_PAGE_MODE, 1));
  ProcessSystemEvents();
  EXPECT_EQ(RowColorMode, 1);
  for (int id : {ATTR_PAGE_ROW, ATTR_PAGE_COLOR, ATTR_PAGE_SET}) EXPECT_TRUE(program_->Dimmed(Page(), id)) << id;
  EXPECT_TRUE(ui::FindControl(Panels.Datap, DATAP_COLORBOX)->visible);
  ASSERT_TRUE(ui::op::SetValue(Page(), ATTR_PAGE_MODE, 0));
  ProcessSystemEvents();
  EXPECT_EQ(RowColorMode, 0);
  for (int id : {ATTR_PAGE_ROW, ATTR_PAGE_COLOR, ATTR_PAGE_SET}) EXPECT_FALSE(program_->Dimmed(Page(), id)) << id;
  EXPECT_FALSE(ui::FindControl(Panels.Datap, DATAP_COLORBOX)->visible);
}

TEST_F(TableAttributes, SetColoursARowAndResetAsksFirst) {
  ASSERT_TRUE(ui::op::SetValue(Page(), ATTR_PAGE_ROW, 12));
  ASSERT_TRUE(ui::op::SetValue(Page(), ATTR_PAGE_COLOR, 0x00FFEE));
  ProcessSystemEvents();
  Press(ATTR_PAGE_SET);
  EXPECT_EQ(RowColors[12], 0x00FFEE);
  EXPECT_EQ(Background(Panels.Page[PAGE_GROUP_HOLD], HOLD_TABLE, {14, 2}), 0x00FFEE);
  SetTableCellVal(Page(), ATTR_SPEC_TABLE, {13, 1}, "blue cap");

  hl::AnswerConfirm(0);
  Press(ATTR_PAGE_RESET);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"ATTENTION!|Do you really want to reset the table?"}));
  EXPECT_EQ(RowColors[12], 0x00FFEE);
  EXPECT_EQ(RowText(12), "blue cap");
  hl::AnswerConfirm(1);
  Press(ATTR_PAGE_RESET);
  EXPECT_EQ(RowColors[12], 0x008000);
  EXPECT_EQ(RowText(12), "");
  EXPECT_EQ(Background(Panels.Page[PAGE_TEACH], TEACH_TABLE, {13, 6}), 0x008000);
}

TEST_F(TableAttributes, HelpComesUnderInfo) {
  ASSERT_TRUE(ui::op::RightClick(Page(), ATTR_PAGE_SET));
  ProcessSystemEvents();
  EXPECT_EQ(Shown(), (std::vector<std::string>{"Info|Assign selected color to row."}));
}

TEST_F(TableAttributes, AFailedSaveIsReported) {
  const std::string lost = program_->Dir() + "/gone/Colors.ini";
  hl::AnswerFile(VAL_NEW_FILE_SELECTED, lost);
  Press(ATTR_PAGE_SAVE);
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0].rfind("ATTENTION!|", 0), 0u);
  EXPECT_NE(Shown()[0].find(lost), std::string::npos);
}

}  // namespace
