// Dispatch, operator input, popups, descriptor watches and the test clock.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "ui/headless.h"
#include "ui/model.h"
#include "ui/operate.h"
#include "ui/ui.h"

namespace {

std::vector<std::string> g_log;

int LogCb(int panel, int control, int event, void*, int d1, int d2) {
  (void)panel;
  g_log.push_back(std::to_string(control) + ":" + std::to_string(event) + ":" + std::to_string(d1) + ":" +
                  std::to_string(d2));
  return 0;
}

int PanelLog(int, int event, void*, int, int) {
  g_log.push_back("panel:" + std::to_string(event));
  return 0;
}

class Dispatch : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::headless::Reset();
    g_log.clear();
    panel = NewPanel(0, "P", 0, 0, 300, 400);
    DisplayPanel(panel);
    SetPanelCallback(panel, PanelLog, nullptr);
    button = NewCtrl(panel, CTRL_COMMAND_BUTTON, "B", 0, 0);
    toggle = NewCtrl(panel, CTRL_TOGGLE_BUTTON, "T", 30, 0);
    field = NewCtrl(panel, CTRL_STRING, "S", 60, 0);
    ring = NewCtrl(panel, CTRL_RING, "R", 90, 0);
    InsertListItem(panel, ring, -1, "zero", 0.0);
    InsertListItem(panel, ring, -1, "ten", 10.0);
    for (int c : {button, toggle, field, ring}) SetCtrlCallback(panel, c, LogCb, nullptr);
  }
  int panel = 0, button = 0, toggle = 0, field = 0, ring = 0;
};

TEST_F(Dispatch, OperatorInputRunsCallbacksOnlyAtDispatch) {
  EXPECT_TRUE(ui::op::Press(panel, button));
  EXPECT_TRUE(g_log.empty());
  ProcessSystemEvents();
  ASSERT_EQ(g_log.size(), 1u);
  EXPECT_EQ(g_log[0], std::to_string(button) + ":1:0:0");

  g_log.clear();
  ui::op::Press(panel, toggle);
  ui::op::SetText(panel, field, "typed");
  ui::op::PickIndex(panel, ring, 1);
  ProcessSystemEvents();
  std::vector<std::string> want = {
      std::to_string(toggle) + ":2:0:0", std::to_string(toggle) + ":1:0:0", std::to_string(field) + ":2:0:0",
      std::to_string(field) + ":1:0:0",  std::to_string(ring) + ":2:0:0",   std::to_string(ring) + ":1:0:0"};
  EXPECT_EQ(g_log, want);
  int on = 0;
  double v = 0;
  std::string text;
  GetCtrlVal(panel, toggle, &on);
  GetCtrlVal(panel, ring, &v);
  GetCtrlVal(panel, field, &text);
  EXPECT_EQ(on, 1);
  EXPECT_EQ(v, 10.0);
  EXPECT_EQ(text, "typed");
}

TEST_F(Dispatch, DimmedOrHiddenControlsCannotBeOperated) {
  SetCtrlAttribute(panel, button, ATTR_DIMMED, 1);
  EXPECT_FALSE(ui::op::Press(panel, button));
  EXPECT_TRUE(ui::op::RightClick(panel, button));  // help stays reachable
  SetCtrlAttribute(panel, field, ATTR_VISIBLE, 0);
  EXPECT_FALSE(ui::op::SetText(panel, field, "x"));
  EXPECT_FALSE(ui::op::RightClick(panel, field));
  ProcessSystemEvents();
  EXPECT_EQ(g_log, std::vector<std::string>{std::to_string(button) + ":5:0:0"});

  // Dimmed after the click was queued but before it was dispatched: nothing happens.
  g_log.clear();
  ASSERT_TRUE(ui::op::Press(panel, toggle));
  SetCtrlAttribute(panel, toggle, ATTR_DIMMED, 1);
  ProcessSystemEvents();
  int on = 1;
  GetCtrlVal(panel, toggle, &on);
  EXPECT_EQ(on, 0);
  EXPECT_TRUE(g_log.empty());

  // An indicator takes clicks but no values; a hidden panel takes nothing.
  SetCtrlAttribute(panel, ring, ATTR_CTRL_MODE, VAL_INDICATOR);
  EXPECT_FALSE(ui::op::PickIndex(panel, ring, 1));
  EXPECT_TRUE(ui::op::DoubleClick(panel, ring));
  HidePanel(panel);
  EXPECT_FALSE(ui::op::DoubleClick(panel, ring));
  EXPECT_FALSE(ui::op::ClosePanel(panel));
}

TEST_F(Dispatch, ModalPopupPanelBlocksOtherPanels) {
  int pw = NewPanel(0, "PW", 0, 0, 100, 100);
  int pwField = NewCtrl(pw, CTRL_STRING, "code", 0, 0);
  InstallPopup(pw);
  EXPECT_FALSE(ui::op::Press(panel, button));
  EXPECT_TRUE(ui::op::SetText(pw, pwField, "quartz"));
  RemovePopup(0);
  EXPECT_TRUE(ui::op::Press(panel, button));
  EXPECT_FALSE(ui::op::SetText(pw, pwField, "x"));  // removed popups are hidden
}

// A callback that dispatches from inside runs the next queued event nested.
int NestingCb(int, int, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  g_log.push_back("outer-begin");
  ProcessSystemEvents();
  g_log.push_back("outer-end");
  return 0;
}
int InnerCb(int, int, int event, void*, int, int) {
  if (event == EVENT_COMMIT) g_log.push_back("inner");
  return 0;
}

TEST_F(Dispatch, CallbacksRunNestedInsideADispatch) {
  SetCtrlCallback(panel, button, NestingCb, nullptr);
  SetCtrlCallback(panel, toggle, InnerCb, nullptr);
  ui::op::Press(panel, button);
  ui::op::Press(panel, toggle);
  ProcessSystemEvents();
  EXPECT_EQ(g_log, (std::vector<std::string>{"outer-begin", "inner", "outer-end"}));
}

TEST_F(Dispatch, ShortcutKeysReachTheirButtonsFromChildPanels) {
  int child = NewPanel(panel, "child", 63, 286, 100, 100);
  DisplayPanel(child);
  int go = NewCtrl(panel, CTRL_COMMAND_BUTTON, "GO", 0, 100);
  SetCtrlCallback(panel, go, LogCb, nullptr);
  SetCtrlAttribute(panel, go, ATTR_SHORTCUT_KEY, VAL_F11_VKEY);
  ui::op::Key(child, VAL_F11_VKEY);
  ui::op::Key(child, VAL_F12_VKEY);  // bound to nothing here
  ProcessSystemEvents();
  EXPECT_EQ(g_log, std::vector<std::string>{std::to_string(go) + ":1:0:0"});
  g_log.clear();
  SetCtrlAttribute(panel, go, ATTR_DIMMED, 1);
  ui::op::Key(panel, VAL_F11_VKEY);
  ProcessSystemEvents();
  EXPECT_TRUE(g_log.empty());
}

TEST_F(Dispatch, PanelEventsTabChangesAndTableEdits) {
  int tab = NewCtrl(panel, CTRL_TAB, "", 0, 0);
  SetCtrlCallback(panel, tab, LogCb, nullptr);
  for (int i = 0; i < 3; ++i) InsertTabPage(panel, tab, -1, "p");
  SetTabPageAttribute(panel, tab, 2, ATTR_VISIBLE, 0);
  EXPECT_FALSE(ui::op::ChangeTab(panel, tab, 2));
  ui::op::ChangeTab(panel, tab, 1);
  ui::op::ResizePanel(panel, 500, 700);
  ui::op::ClosePanel(panel);
  int table = NewCtrl(panel, CTRL_TABLE, "", 0, 0);
  SetTableSize(panel, table, 3, 2);
  SetTableColumnAttribute(panel, table, 2, ATTR_CTRL_MODE, VAL_INDICATOR);
  SetCtrlCallback(panel, table, LogCb, nullptr);
  EXPECT_FALSE(ui::op::EditCell(panel, table, {1, 2}, 5.0));  // indicator column
  ui::op::EditCell(panel, table, {3, 1}, 42.0);
  ProcessSystemEvents();
  std::vector<std::string> want = {std::to_string(tab) + ":31:0:1", "panel:12", "panel:11",
                                   std::to_string(table) + ":2:3:1", std::to_string(table) + ":1:3:1"};
  EXPECT_EQ(g_log, want);
  int w = 0;
  GetPanelAttribute(panel, ATTR_WIDTH, &w);
  EXPECT_EQ(w, 700);
}

int g_menuHits = 0;
void MenuCb(int, int, int, void*) { ++g_menuHits; }

TEST_F(Dispatch, ContextMenuItemsAndCursorDrags) {
  int table = NewCtrl(panel, CTRL_TABLE, "", 0, 0);
  int off = NewCtrlMenuItem(panel, table, "Teach tolerance off", MenuCb, nullptr);
  int on = NewCtrlMenuItem(panel, table, "Teach tolerance on", MenuCb, nullptr);
  SetCtrlMenuItemDimmed(panel, table, on, 1);
  ui::op::ChooseMenuItem(panel, table, "Teach tolerance on");
  ui::op::ChooseMenuItem(panel, table, "Teach tolerance off");
  ProcessSystemEvents();
  EXPECT_EQ(g_menuHits, 1);
  (void)off;

  int graph = NewCtrl(panel, CTRL_GRAPH, "", 0, 0);
  SetCtrlCallback(panel, graph, LogCb, nullptr);
  SetCtrlAttribute(panel, graph, ATTR_CURSOR_SNAP, 1);
  PlotPoint(panel, graph, 10, 20, VAL_SOLID_SQUARE, 0);
  PlotPoint(panel, graph, 100, 200, VAL_SOLID_SQUARE, 0);
  ui::op::MoveCursor(panel, graph, 1, 90, 190, true);
  ProcessSystemEvents();
  double x = 0, y = 0;
  GetGraphCursor(panel, graph, 1, &x, &y);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 200);
  EXPECT_EQ(g_log.back(), std::to_string(graph) + ":1:1:0");
}

TEST_F(Dispatch, PopupsAreAnsweredFromTheScriptAndRecorded) {
  ui::headless::AnswerConfirm(1);
  ui::headless::AnswerPrompt(std::string("123456789012"));
  ui::headless::AnswerPrompt(std::nullopt);
  ui::headless::AnswerFile(VAL_NEW_FILE_SELECTED, "/tmp/p.ini");
  MessagePopup("INFO!", "Select TAB-window.");
  EXPECT_EQ(ConfirmPopup("ATTENTION!", "Do you really want to reset the table?"), 1);
  EXPECT_EQ(ConfirmPopup("ATTENTION!", "again"), 0);  // script exhausted: no
  std::string text;
  EXPECT_EQ(PromptPopup("VALUE!", "Insert a cell value!", &text, 9), 0);
  EXPECT_EQ(text, "123456789");
  EXPECT_EQ(PromptPopup("VALUE!", "Insert a cell value!", &text, 9), VAL_USER_CANCEL);
  std::string path;
  EXPECT_EQ(FileSelectPopup("/tmp", "Parameter.ini", "*.ini", "Parameter", VAL_SAVE_BUTTON, 1, &path),
            VAL_NEW_FILE_SELECTED);
  EXPECT_EQ(path, "/tmp/p.ini");
  EXPECT_EQ(FileSelectPopup("/tmp", "x", "*.ini", "Parameter", VAL_LOAD_BUTTON, 0, &path), VAL_NO_FILE_SELECTED);
  EXPECT_EQ(path, "");
  auto& log = ui::headless::Popups();
  ASSERT_EQ(log.size(), 7u);
  EXPECT_EQ(log[0].title, "INFO!");
  EXPECT_EQ(log[0].text, "Select TAB-window.");
  EXPECT_EQ(log[2].kind, "confirm");
  EXPECT_FALSE(log[2].answered);
  EXPECT_EQ(ui::headless::UnansweredPopups(), 2);
}

TEST_F(Dispatch, OperatorInputIsDroppedWhileAPopupIsShown) {
  ui::headless::SetPopupHook([&](const ui::headless::PopupRecord&) {
    ui::op::Press(panel, button);
    ProcessSystemEvents();  // a face's modal loop dispatches; the press must not run
  });
  MessagePopup("ATTENTION!", "x");
  ui::headless::SetPopupHook(nullptr);
  ProcessSystemEvents();
  EXPECT_TRUE(g_log.empty());
}

struct WatchHit {
  int count = 0;
  int mask = 0;
};
void WatchCb(int fd, int mask, void* data) {
  auto* hit = static_cast<WatchHit*>(data);
  hit->count++;
  hit->mask |= mask;
  char buf[16];
  while (read(fd, buf, sizeof buf) > 0) {
  }
}

TEST_F(Dispatch, WatchedDescriptorsReachTheirCallbackOnlyDuringDispatch) {
  int sv[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, sv), 0);
  WatchHit hit;
  int id = WatchFd(sv[0], WATCH_READ | WATCH_HANGUP, WatchCb, &hit);
  ASSERT_GT(id, 0);
  ASSERT_EQ(write(sv[1], "abc", 3), 3);
  EXPECT_EQ(hit.count, 0);
  ProcessSystemEvents();
  EXPECT_EQ(hit.count, 1);
  EXPECT_EQ(hit.mask, WATCH_READ);
  ProcessSystemEvents();
  EXPECT_EQ(hit.count, 1);  // nothing new, no call
  close(sv[1]);
  ProcessSystemEvents();
  EXPECT_TRUE(hit.mask & WATCH_HANGUP);
  UnwatchFd(id);
  int before = hit.count;
  ProcessSystemEvents();
  EXPECT_EQ(hit.count, before);
  close(sv[0]);
}

// A watch callback that reads another watched descriptor, as an exchange inside a callback does.
struct Thief {
  int otherFd = -1;
  WatchHit hit;
};
void StealCb(int fd, int mask, void* data) {
  auto* thief = static_cast<Thief*>(data);
  WatchCb(fd, mask, &thief->hit);
  char buf[16];
  while (read(thief->otherFd, buf, sizeof buf) > 0) {
  }
}

TEST_F(Dispatch, ACallbackIsNotToldOfBytesAnEarlierCallbackTook) {
  int a[2], b[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, a), 0);
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, b), 0);
  Thief thief;
  thief.otherFd = b[0];
  WatchHit hit;
  WatchFd(a[0], WATCH_READ | WATCH_HANGUP, StealCb, &thief);
  WatchFd(b[0], WATCH_READ | WATCH_HANGUP, WatchCb, &hit);
  // Both are ready when the dispatch looks; the first callback empties the second descriptor,
  // whose callback would otherwise wait for bytes that are gone.
  ASSERT_EQ(write(a[1], "x", 1), 1);
  ASSERT_EQ(write(b[1], "y", 1), 1);
  ProcessSystemEvents();
  EXPECT_EQ(thief.hit.count, 1);
  EXPECT_EQ(hit.count, 0);
  // Bytes that are still there after the first callback are offered as before.
  ASSERT_EQ(write(a[1], "x", 1), 1);
  ASSERT_EQ(write(b[1], "y", 1), 1);
  thief.otherFd = -1;
  ProcessSystemEvents();
  EXPECT_EQ(hit.count, 1);
  EXPECT_EQ(hit.mask, WATCH_READ);
  for (int fd : {a[0], a[1], b[0], b[1]}) close(fd);
}

TEST_F(Dispatch, WaitWakesForDataAndTheTestClockSkipsIdleTime) {
  ui::headless::UseTestClock(100.0, 0.05);
  int sv[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, sv), 0);
  WatchHit hit;
  WatchFd(sv[0], WATCH_READ, WatchCb, &hit);
  // Nothing arrives: the test clock jumps to the end of the wait.
  WaitForEvents(103.5);
  EXPECT_DOUBLE_EQ(Timer(), 103.5);
  // Data is ready: the wait returns at once and the clock stays.
  ASSERT_EQ(write(sv[1], "x", 1), 1);
  WaitForEvents(110.0);
  EXPECT_DOUBLE_EQ(Timer(), 103.5);
  ProcessSystemEvents();
  EXPECT_EQ(hit.count, 1);
  // A wait hook sees the target and may move the clock itself.
  double seen = 0;
  ui::headless::SetWaitHook([&](double until) {
    seen = until;
    ui::headless::SetClock(until + 1);
  });
  WaitForEvents(120.0);
  EXPECT_EQ(seen, 120.0);
  EXPECT_DOUBLE_EQ(Timer(), 121.0);
  close(sv[0]);
  close(sv[1]);
}

int QuitOnCommit(int, int, int event, void*, int, int) {
  if (event == EVENT_COMMIT) QuitUserInterface(7);
  return 0;
}

TEST_F(Dispatch, RunUserInterfaceEndsWhenACallbackQuits) {
  SetCtrlCallback(panel, button, QuitOnCommit, nullptr);
  int idle = 0;
  ui::headless::SetIdleHook([&] {
    if (++idle == 3) ui::op::Press(panel, button);
  });
  EXPECT_EQ(RunUserInterface(), 7);
  EXPECT_EQ(idle, 3);
}

void OnTerm(int sig) { g_log.push_back("signal:" + std::to_string(sig)); }

TEST_F(Dispatch, TerminationSignalsArriveDuringDispatch) {
  InstallTerminationHandler(OnTerm);
  raise(SIGTERM);
  EXPECT_TRUE(g_log.empty());
  ProcessSystemEvents();
  EXPECT_EQ(g_log, std::vector<std::string>{"signal:15"});
  signal(SIGTERM, SIG_DFL);
}

}  // namespace
