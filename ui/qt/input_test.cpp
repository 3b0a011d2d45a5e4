// Operator input on the Qt widgets reaches the program as the runtime's events.
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <unistd.h>

#include "ui/model.h"
#include "ui/operate.h"
#include "ui/qt/tab_strip.h"
#include "ui/qt/view.h"
#include "ui/qt/qt_test_support.h"

namespace {

using qt_test::Entry;
using qt_test::Log;
using qt_test::Logged;

class Input : public qt_test::QtFaceTest {
 protected:
  void SetUp() override {
    QtFaceTest::SetUp();
    panel = NewPanel(0, "MAIN", 50, 50, 300, 420);
    SetPanelCallback(panel, qt_test::LogPanel, nullptr);
    go = NewCtrlWithId(panel, 1, CTRL_COMMAND_BUTTON, "GO", 10, 10, 24, 70);
    SetCtrlAttribute(panel, go, ATTR_SHORTCUT_KEY, VAL_F11_VKEY);
    field = NewCtrlWithId(panel, 2, CTRL_NUMERIC, "GAIN", 60, 10, 22, 80);
    ring = NewCtrlWithId(panel, 3, CTRL_RING, "MODE", 100, 10, 22, 100);
    InsertListItem(panel, ring, -1, "CONT", 0.0);
    InsertListItem(panel, ring, -1, "SELF", 1.0);
    table = NewCtrlWithId(panel, 4, CTRL_TABLE, "TABLE", 150, 10, 120, 200);
    SetTableSize(panel, table, 4, 2);
    tab = NewCtrlWithId(panel, 5, CTRL_TAB, "", 10, 220, 150, 190);
    for (const char* label : {"COM", "PARA", "OFFSET"}) InsertTabPage(panel, tab, -1, label);
    for (int id : {go, field, ring, table, tab}) SetCtrlCallback(panel, id, qt_test::LogCtrl, nullptr);
    child = NewPanel(panel, "", 170, 220, 100, 190);
    childField = NewCtrlWithId(child, 1, CTRL_STRING, "ID", 30, 10, 22, 120);
    SetCtrlCallback(child, childField, qt_test::LogCtrl, nullptr);
    DisplayPanel(panel);
    DisplayPanel(child);
    Show();
    QWidget* window = ui::qt::PanelWidgetOf(panel);
    window->activateWindow();
    Settle();
  }
  template <typename T>
  T* Widget(int p, int id) {
    return dynamic_cast<T*>(ui::qt::ControlWidget(p, id));
  }
  int panel = 0, go = 0, field = 0, ring = 0, table = 0, tab = 0, child = 0, childField = 0;
};

TEST_F(Input, ButtonClickReachesItsCallbackAtDispatch) {
  auto* b = Widget<QPushButton>(panel, go);
  ASSERT_NE(b, nullptr);
  QTest::mouseClick(b, Qt::LeftButton);
  EXPECT_TRUE(Log().empty());  // carried out by the runtime, not inside Qt's event
  Dispatch();
  EXPECT_EQ(Log(), (std::vector<std::string>{Entry(go, EVENT_LEFT_CLICK), Entry(go, EVENT_COMMIT)}));
}

TEST_F(Input, DimmedButtonDoesNothingButStillAnswersTheRightClick) {
  SetCtrlAttribute(panel, go, ATTR_DIMMED, 1);
  Show();
  auto* b = Widget<QPushButton>(panel, go);
  QTest::mouseClick(b, Qt::LeftButton);
  QTest::keyClick(b, Qt::Key_F11);
  Dispatch();
  EXPECT_TRUE(Log().empty());
  QTest::mouseClick(b, Qt::RightButton);
  Dispatch();
  EXPECT_EQ(Log(), std::vector<std::string>{Entry(go, EVENT_RIGHT_CLICK)});
}

TEST_F(Input, FunctionKeyInAChildPanelCommitsTheWindowsShortcutControl) {
  auto* e = Widget<QLineEdit>(child, childField);
  ASSERT_NE(e, nullptr);
  e->setFocus();
  QTest::keyClick(e, Qt::Key_F11);
  Dispatch();
  EXPECT_EQ(Log(), std::vector<std::string>{Entry(go, EVENT_COMMIT)});
  Log().clear();
  QTest::keyClick(e, Qt::Key_F9);  // no control carries F9
  Dispatch();
  EXPECT_TRUE(Log().empty());
}

// What the window system sends after a right press.
void SendContextMenuEvent(QWidget* w) {
  QContextMenuEvent e(QContextMenuEvent::Mouse, w->rect().center(), w->mapToGlobal(w->rect().center()));
  QSpontaneKeyEvent::setSpontaneous(&e);
  QApplication::sendEvent(w, &e);
}

TEST_F(Input, RightClickOnTextFieldsIsTheProgramsAndOpensNoQtMenu) {
  int box = NewCtrlWithId(child, 2, CTRL_TEXT_BOX, "MESSAGES", 60, 10, 40, 120);
  SetCtrlCallback(child, box, qt_test::LogCtrl, nullptr);
  Show();
  auto* e = Widget<QLineEdit>(child, childField);
  auto* text = Widget<QPlainTextEdit>(child, box);
  ASSERT_NE(text, nullptr);
  for (QWidget* target : {static_cast<QWidget*>(e), text->viewport()}) {
    QTest::mouseClick(target, Qt::RightButton);
    SendContextMenuEvent(target);
    Settle();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  }
  Dispatch();
  EXPECT_EQ(Log(), (std::vector<std::string>{Entry(childField, EVENT_RIGHT_CLICK), Entry(box, EVENT_RIGHT_CLICK)}));
}

int g_menuHits = 0;
void MenuHit(int, int, int, void*) { ++g_menuHits; }

TEST_F(Input, ContextMenuShowsTheControlsItemsAndRunsTheChosenOne) {
  g_menuHits = 0;
  NewCtrlMenuItem(panel, table, "Help", MenuHit, nullptr);
  NewCtrlMenuSeparator(panel, table);
  int off = NewCtrlMenuItem(panel, table, "Teach tolerance off", MenuHit, nullptr);
  int on = NewCtrlMenuItem(panel, table, "Teach tolerance on", MenuHit, nullptr);
  SetCtrlMenuItemDimmed(panel, table, on, 1);
  (void)off;
  Show();
  auto* view = Widget<QTableView>(panel, table);
  QTest::mouseClick(view->viewport(), Qt::RightButton);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  QList<QAction*> actions = menu->actions();
  ASSERT_EQ(actions.size(), 4);
  EXPECT_EQ(actions[0]->text(), "Help");
  EXPECT_TRUE(actions[1]->isSeparator());
  EXPECT_FALSE(actions[3]->isEnabled());
  actions[2]->trigger();
  menu->close();
  Dispatch();
  EXPECT_EQ(g_menuHits, 1);
  EXPECT_TRUE(Logged(Entry(table, EVENT_RIGHT_CLICK)));
}

TEST_F(Input, TypedNumberCommitsOnEnterAndNotBefore) {
  auto* e = Widget<QLineEdit>(panel, field);
  e->setFocus();
  e->selectAll();
  QTest::keyClicks(e, "12.5");
  Dispatch();
  EXPECT_TRUE(Log().empty());
  QTest::keyClick(e, Qt::Key_Return);
  Dispatch();
  EXPECT_EQ(Log(), (std::vector<std::string>{Entry(field, EVENT_VAL_CHANGED), Entry(field, EVENT_COMMIT)}));
  double v = 0;
  GetCtrlVal(panel, field, &v);
  EXPECT_EQ(v, 12.5);
}

TEST_F(Input, AnActionTakesTheTypedTextOfAWindowThatIsNotActive) {
  // A screen reader presses a button from its own window, or no window manager made ours active:
  // the window's focus widget still holds what was typed.
  auto* e = Widget<QLineEdit>(panel, field);
  QApplication::setActiveWindow(nullptr);
  e->setFocus();  // the window's focus widget, while no window is active
  e->selectAll();
  QTest::keyClicks(e, "7.5");
  ASSERT_EQ(QApplication::focusWidget(), nullptr);
  ASSERT_EQ(e->window()->focusWidget(), e);
  ASSERT_TRUE(e->isModified());
  ui::qt::Act([&] { ui::op::Press(panel, go); });
  Dispatch();
  EXPECT_EQ(Log(), (std::vector<std::string>{Entry(field, EVENT_VAL_CHANGED), Entry(field, EVENT_COMMIT),
                                             Entry(go, EVENT_COMMIT)}));
  double v = 0;
  GetCtrlVal(panel, field, &v);
  EXPECT_EQ(v, 7.5);
}

TEST_F(Input, APasswordIsNotTakenOnTheWayToAnotherAction) {
  SetCtrlAttribute(child, childField, ATTR_PASSWORD_MASK, '*');
  Show();
  auto* e = Widget<QLineEdit>(child, childField);
  e->window()->activateWindow();
  QApplication::setActiveWindow(e->window());
  e->setFocus();
  QTest::keyClicks(e, "quartz");
  ui::qt::Act([&] { ui::op::Press(panel, go); });
  Dispatch();
  EXPECT_EQ(Log(), std::vector<std::string>{Entry(go, EVENT_COMMIT)});
}

TEST_F(Input, RingChoiceAndTabClickBecomeTheirEvents) {
  auto* box = Widget<QComboBox>(panel, ring);
  emit box->activated(1);  // what choosing from the drop-down list emits
  Dispatch();
  double v = -1;
  GetCtrlVal(panel, ring, &v);
  EXPECT_EQ(v, 1.0);
  EXPECT_TRUE(Logged(Entry(ring, EVENT_COMMIT)));

  SetTabPageAttribute(panel, tab, 1, ATTR_VISIBLE, 0);
  Show();
  QWidget* tabBox = ui::qt::ControlWidget(panel, tab);
  EXPECT_FALSE(ui::qt::TabsOf(tabBox)->isTabVisible(1));
  EXPECT_FALSE(ui::qt::StripOf(tabBox)->ButtonOf(1)->isVisible());
  QTest::mouseClick(ui::qt::StripOf(tabBox)->ButtonOf(2), Qt::LeftButton);
  Dispatch();
  EXPECT_TRUE(Logged(Entry(tab, EVENT_ACTIVE_TAB_CHANGE, 0, 2)));
  int page = -1;
  GetActiveTabPage(panel, tab, &page);
  EXPECT_EQ(page, 2);
}

TEST_F(Input, TableEditsAndDragSelectionReachTheModel) {
  auto* view = Widget<QTableView>(panel, table);
  ASSERT_TRUE(view->model()->setData(view->model()->index(2, 1), QStringLiteral("77")));  // the editor's commit
  Dispatch();
  EXPECT_EQ(Log(), (std::vector<std::string>{Entry(table, EVENT_VAL_CHANGED, 3, 2), Entry(table, EVENT_COMMIT, 3, 2)}));
  double v = 0;
  GetTableCellVal(panel, table, {3, 2}, &v);
  EXPECT_EQ(v, 77.0);

  QPoint from = view->visualRect(view->model()->index(0, 0)).center();
  QPoint to = view->visualRect(view->model()->index(1, 1)).center();
  QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
  QTest::mouseMove(view->viewport(), to);
  QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, to);
  Dispatch();
  TableRect sel{};
  GetTableSelection(panel, table, &sel);
  EXPECT_EQ(sel.top, 1);
  EXPECT_EQ(sel.left, 1);
  EXPECT_EQ(sel.height, 2);
  EXPECT_EQ(sel.width, 2);

  // The cell the operator clicked stays current through syncs, so F2 edits it.
  Show();  // the edit's active cell is shown first
  QPoint cell = view->visualRect(view->model()->index(3, 1)).center();
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell);
  Dispatch();
  Show();
  EXPECT_EQ(view->currentIndex(), view->model()->index(3, 1));
  SetActiveTableCell(panel, table, {1, 2});  // until the program makes another cell active
  Show();
  EXPECT_EQ(view->currentIndex(), view->model()->index(0, 1));
}

TEST_F(Input, ClosingTheWindowAsksTheProgramWhichHidesIt) {
  QWidget* window = ui::qt::PanelWidgetOf(panel);
  window->close();
  Dispatch();
  EXPECT_EQ(Log(), std::vector<std::string>{"panel" + std::to_string(panel) + ":" + std::to_string(EVENT_CLOSE)});
  Show();
  EXPECT_TRUE(window->isVisible());
  HidePanel(panel);
  Show();
  EXPECT_FALSE(window->isVisible());
}

TEST_F(Input, OperatorResizeIsReportedButTheProgramsIsNot) {
  QWidget* window = ui::qt::PanelWidgetOf(panel);
  SetPanelSize(panel, 320, 500);
  Show();
  Dispatch();
  EXPECT_EQ(window->size(), QSize(500, 320));
  EXPECT_TRUE(Log().empty());
  window->resize(600, 400);  // as the window manager does for the operator
  Settle();
  Dispatch();
  EXPECT_EQ(Log(), std::vector<std::string>{"panel" + std::to_string(panel) + ":" + std::to_string(EVENT_PANEL_SIZE)});
  int h = 0, w = 0;
  GetPanelAttribute(panel, ATTR_HEIGHT, &h);
  GetPanelAttribute(panel, ATTR_WIDTH, &w);
  EXPECT_EQ(h, 400);
  EXPECT_EQ(w, 600);

  // The program maximises the window: no size or zoom event comes back.
  Log().clear();
  SetPanelAttribute(panel, ATTR_WINDOW_ZOOM, VAL_MAXIMIZE);
  Show();
  Dispatch();
  EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
  EXPECT_TRUE(Log().empty());
  // The window manager restores it for the operator: the model hears of it.
  window->showNormal();
  Settle();
  Dispatch();
  int zoom = -1;
  GetPanelAttribute(panel, ATTR_WINDOW_ZOOM, &zoom);
  EXPECT_EQ(zoom, VAL_NO_ZOOM);
  EXPECT_TRUE(qt_test::Logged("panel" + std::to_string(panel) + ":" + std::to_string(EVENT_PANEL_SIZE)));
}

TEST_F(Input, RightDoubleClickOnThePanelBackgroundGoesToThePanel) {
  QWidget* window = ui::qt::PanelWidgetOf(panel);
  QPoint empty(150, 280);
  ASSERT_EQ(window->childAt(empty), nullptr);
  QTest::mouseDClick(window, Qt::RightButton, {}, empty);
  Dispatch();
  EXPECT_EQ(Log(),
            std::vector<std::string>{"panel" + std::to_string(panel) + ":" + std::to_string(EVENT_RIGHT_DOUBLE_CLICK)});
}

// Answers the next modal dialog from inside the popup's own loop.
void AnswerNextDialog(std::function<void(QWidget*)> answer) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, timer, [timer, answer] {
    if (QWidget* w = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      answer(w);
    }
  });
  timer->start(5);
}

TEST_F(Input, PopupsShowTheProgramsTextsAndTheOperatorsAnswers) {
  QString title, text;
  AnswerNextDialog([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    box->button(QMessageBox::Ok)->click();
  });
  MessagePopup("INFO!", "Start data record.\nSecond line.");
  EXPECT_EQ(title, "INFO!");
  EXPECT_EQ(text, "Start data record.\nSecond line.");

  AnswerNextDialog([](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click(); });
  EXPECT_EQ(ConfirmPopup("ATTENTION!", "Do you really want to reset the table?"), 1);
  AnswerNextDialog([](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(QMessageBox::No)->click(); });
  EXPECT_EQ(ConfirmPopup("ATTENTION!", "Do you really want to reset the table?"), 0);

  AnswerNextDialog([](QWidget* w) {
    auto* edit = w->findChild<QLineEdit*>(QStringLiteral("promptText"));
    QTest::keyClicks(edit, "123456789");
    QTest::keyClick(edit, Qt::Key_Return);
  });
  std::string response;
  EXPECT_EQ(PromptPopup("ATTENTION!", "Set selection to:", &response, 5), 0);
  EXPECT_EQ(response, "12345");
}

TEST_F(Input, ReturnAndEscapeAnswerNoWhereYesDestroysWorkAndYesElsewhere) {
  auto key = [](Qt::Key k) {
    return [k](QWidget* w) { QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, k); };
  };
  AnswerNextDialog(key(Qt::Key_Return));
  EXPECT_EQ(ConfirmPopupNoDefault("ATTENTION!", "Do you really want to reset the table?"), 0);
  AnswerNextDialog(key(Qt::Key_Escape));
  EXPECT_EQ(ConfirmPopupNoDefault("ATTENTION!", "Do you really want to reset the table?"), 0);
  AnswerNextDialog(key(Qt::Key_Space));  // the focus rests on No as well
  EXPECT_EQ(ConfirmPopupNoDefault("ATTENTION!", "Do you really want to reset the table?"), 0);
  AnswerNextDialog([](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click(); });
  EXPECT_EQ(ConfirmPopupNoDefault("ATTENTION!", "Do you really want to reset the table?"), 1);
  // Other questions keep Yes as their default; Escape is No there too.
  AnswerNextDialog(key(Qt::Key_Return));
  EXPECT_EQ(ConfirmPopup("ATTENTION!", "Selected file is not a parameter file! \nDo you want to proceed anyway?"), 1);
  AnswerNextDialog(key(Qt::Key_Escape));
  EXPECT_EQ(ConfirmPopup("ATTENTION!", "Selected file is not a parameter file! \nDo you want to proceed anyway?"), 0);
}

TEST_F(Input, FileSelectionTellsNewFilesFromExistingOnes) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QString existing = dir.filePath(QStringLiteral("Parameter.ini"));
  QFile(existing).open(QIODevice::WriteOnly);
  QString title, shownDir, acceptLabel;
  QStringList filters;
  auto choose = [&](const QString& name) {
    AnswerNextDialog([&, name](QWidget* w) {
      auto* dialog = qobject_cast<QFileDialog*>(w);
      ASSERT_NE(dialog, nullptr);
      title = dialog->windowTitle();
      acceptLabel = dialog->labelText(QFileDialog::Accept);
      shownDir = dialog->directory().absolutePath();
      filters = dialog->nameFilters();
      dialog->selectFile(name);
      QMetaObject::invokeMethod(dialog, "accept");  // as the Open or Save button does
    });
  };
  std::string dirPath = dir.path().toStdString(), path;
  choose(QStringLiteral("Parameter.ini"));
  EXPECT_EQ(FileSelectPopup(dirPath.c_str(), "Parameter.ini", "*.ini", "Load parameter file", VAL_LOAD_BUTTON, 0, &path),
            VAL_EXISTING_FILE_SELECTED);
  EXPECT_EQ(QString::fromStdString(path), existing);
  EXPECT_EQ(title, "Load parameter file");
  EXPECT_EQ(shownDir, QDir(dir.path()).absolutePath());
  ASSERT_FALSE(filters.isEmpty());
  EXPECT_TRUE(filters.front().contains("*.ini"));

  choose(QStringLiteral("New.ini"));
  EXPECT_EQ(FileSelectPopup(dirPath.c_str(), "New.ini", "*.ini", "Save parameter file", VAL_SAVE_BUTTON, 1, &path),
            VAL_NEW_FILE_SELECTED);
  EXPECT_EQ(QString::fromStdString(path), dir.filePath(QStringLiteral("New.ini")));

  // The OK kind takes a new or an existing file, as the save kind does, under an OK button.
  choose(QStringLiteral("Parameter.ini"));
  EXPECT_EQ(FileSelectPopup(dirPath.c_str(), "RecordFile.dat", "*.dat", "FILENAME!", VAL_OK_BUTTON, 1, &path),
            VAL_EXISTING_FILE_SELECTED);
  EXPECT_EQ(acceptLabel, "OK");
  choose(QStringLiteral("Record.dat"));
  EXPECT_EQ(FileSelectPopup(dirPath.c_str(), "RecordFile.dat", "*.dat", "FILENAME!", VAL_OK_BUTTON, 1, &path),
            VAL_NEW_FILE_SELECTED);

  // A load takes a name that does not exist too, and says it is new.
  choose(QStringLiteral("Missing.ini"));
  EXPECT_EQ(FileSelectPopup(dirPath.c_str(), "Parameter.ini", "*.ini", "Parameter", VAL_LOAD_BUTTON, 1, &path),
            VAL_NEW_FILE_SELECTED);
  EXPECT_EQ(QString::fromStdString(path), dir.filePath(QStringLiteral("Missing.ini")));

  AnswerNextDialog([](QWidget* w) { qobject_cast<QFileDialog*>(w)->reject(); });
  EXPECT_EQ(FileSelectPopup(dirPath.c_str(), "", "*.ini", "Load", VAL_LOAD_BUTTON, 0, &path), VAL_NO_FILE_SELECTED);
  EXPECT_TRUE(path.empty());
}

// Watches keep being served while a popup is open: the sensor link does not stall.
TEST_F(Input, DescriptorWatchesRunWhileAPopupIsOpen) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  static int served;
  served = 0;
  int watch = WatchFd(fds[0], WATCH_READ, [](int fd, int, void*) {
    char b;
    if (read(fd, &b, 1) == 1) ++served;
  }, nullptr);
  ASSERT_EQ(write(fds[1], "x", 1), 1);
  QTimer answer;  // closes the popup once the watch has run, or after a bound
  QElapsedTimer bound;
  bound.start();
  QObject::connect(&answer, &QTimer::timeout, [&bound] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box && (served > 0 || bound.elapsed() > 2000)) box->button(QMessageBox::Ok)->click();
  });
  answer.start(5);
  MessagePopup("INFO!", "waiting");
  EXPECT_EQ(served, 1);
  UnwatchFd(watch);
  close(fds[0]);
  close(fds[1]);
}

}  // namespace
