// The Qt face: start-up, the pump the runtime calls on every dispatch, the
// descriptors that wake the program's wait, popups, the wait cursor and screen size.
//
// The pump is called on every turn of the program's wait loops, tens of
// thousands of times a second while the sensor is polled. It therefore does
// nothing Qt-side when called again within kPumpInterval, syncs the widgets at
// most once per screen frame, and lets Qt paint what the sync changed.
//
// The program blocks in its own wait, not in Qt's event loop. Qt's other
// threads (the accessibility bus connection, the X event reader) post their
// events to this thread and wake it through Qt's event dispatcher, which on
// Linux is GLib's main context: the wait therefore polls that context's
// descriptors too, its wake-up descriptor among them, and the next pump runs
// at once after they woke it.
#include "ui/qt/qt_face.h"

#include <dlfcn.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QScreen>
#include <QSignalBlocker>
#include <QTabWidget>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "ui/face.h"
#include "ui/qt/accessible.h"
#include "ui/qt/panel_style.h"
#include "ui/qt/panel_widget.h"
#include "ui/qt/popups.h"
#include "ui/qt/tab_strip.h"
#include "ui/qt/view.h"

#ifdef CHROMIK_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace ui::qt {
namespace {

constexpr double kPumpInterval = 0.0005;  // seconds between two looks at Qt's queue

double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// The descriptors of GLib's default main context, where Qt's dispatcher waits on
// this thread. The few GLib functions are looked up in the GLib that Qt loaded,
// so the build needs no GLib headers. A GLib poll record is laid out as a pollfd.
class QtWakeDescriptors {
 public:
  void Init() {
    fds_.clear();
    context_ = nullptr;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(qApp->thread());
    if (!dispatcher || !dispatcher->inherits("QEventDispatcherGlib")) return;  // QT_NO_GLIB: the bound serves
    contextDefault_ = reinterpret_cast<void* (*)()>(dlsym(RTLD_DEFAULT, "g_main_context_default"));
    acquire_ = reinterpret_cast<int (*)(void*)>(dlsym(RTLD_DEFAULT, "g_main_context_acquire"));
    release_ = reinterpret_cast<void (*)(void*)>(dlsym(RTLD_DEFAULT, "g_main_context_release"));
    query_ = reinterpret_cast<int (*)(void*, int, int*, pollfd*, int)>(dlsym(RTLD_DEFAULT, "g_main_context_query"));
    if (!contextDefault_ || !acquire_ || !release_ || !query_) return;
    context_ = contextDefault_();
    Refresh();
  }

  // Reads the context's descriptors again: Qt may have added or removed some.
  void Refresh() {
    if (!context_ || !acquire_(context_)) return;
    int timeout = 0;
    scratch_.resize(std::max<std::size_t>(scratch_.size(), 8));
    int n = query_(context_, INT_MAX, &timeout, scratch_.data(), static_cast<int>(scratch_.size()));
    if (n > static_cast<int>(scratch_.size())) {
      scratch_.resize(n);
      n = query_(context_, INT_MAX, &timeout, scratch_.data(), n);
    }
    release_(context_);
    fds_.clear();
    for (int i = 0; i < n && i < static_cast<int>(scratch_.size()); ++i) {
      fds_.push_back(pollfd{scratch_[i].fd, scratch_[i].events, 0});
    }
  }

  const std::vector<pollfd>& Fds() const { return fds_; }

 private:
  void* context_ = nullptr;                  // GMainContext of this thread
  void* (*contextDefault_)() = nullptr;      // g_main_context_default
  int (*acquire_)(void*) = nullptr;          // g_main_context_acquire
  void (*release_)(void*) = nullptr;         // g_main_context_release
  int (*query_)(void*, int, int*, pollfd*, int) = nullptr;  // g_main_context_query
  std::vector<pollfd> fds_;                  // what the wait polls
  std::vector<pollfd> scratch_;              // query buffer
};

class QtFace : public Face {
 public:
  void Init() {
    displayFd_ = -1;
#ifdef CHROMIK_HAVE_XCB
    if (auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>()) {
      if (xcb_connection_t* c = x11->connection()) displayFd_ = xcb_get_file_descriptor(c);
    }
#endif
    double rate = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->refreshRate() : 60;
    frameInterval_ = 1.0 / std::clamp(rate > 1 ? rate : 60.0, 30.0, 144.0);
    lastSync_ = -1;
    wake_.Init();
  }

  void Pump(bool force) {
    if (pumping_) {
      // Qt is delivering an event that led here: no sync inside it, but a popup's
      // loop still needs Qt's events.
      if (force) QCoreApplication::processEvents(QEventLoop::AllEvents);
      return;
    }
    double now = Now();
    if (!force && !qtWoke_ && now - lastPump_ < kPumpInterval) return;
    lastPump_ = now;
    qtWoke_ = false;
    pumping_ = true;
    View& view = TheView();
    // Sync before Qt handles input: input handled now is carried out by the runtime
    // right after this pump, and the next sync shows its outcome.
    if (view.NeedsSync() && now - lastSync_ >= frameInterval_) {
      view.Sync();
      lastSync_ = now;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    wake_.Refresh();
    if (now - lastDeferred_ > 0.1) {
      // Outside exec() Qt never reaches its deferred deletions (closed menus) by itself.
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      lastDeferred_ = now;
    }
    pumping_ = false;
  }

  void PumpPlatformEvents() override { Pump(false); }

  void AddWaitDescriptors(std::vector<pollfd>& fds) override {
    firstOwnFd_ = fds.size();
    if (displayFd_ >= 0) fds.push_back(pollfd{displayFd_, POLLIN, 0});
    // Inside Qt's own delivery of an event Qt is not pumped; its wake-up would only spin the wait.
    if (!pumping_) fds.insert(fds.end(), wake_.Fds().begin(), wake_.Fds().end());
  }

  // Qt has something for this thread: the next pump goes to Qt at once.
  void WaitReturned(const std::vector<pollfd>& fds) override {
    for (std::size_t i = firstOwnFd_; i < fds.size(); ++i) {
      if (fds[i].revents) qtWoke_ = true;
    }
  }

  void MessagePopup(const std::string& title, const std::string& text) override { RunMessagePopup(title, text); }
  int ConfirmPopup(const std::string& title, const std::string& text) override { return RunConfirmPopup(title, text); }
  int ConfirmPopupNoDefault(const std::string& title, const std::string& text) override {
    return RunConfirmPopup(title, text, true);
  }
  int PromptPopup(const std::string& title, const std::string& text, std::string* response,
                  int maxLength) override {
    return RunPromptPopup(title, text, response, maxLength);
  }
  int FileSelectPopup(const FileSelectRequest& request, std::string* path) override {
    return RunFileSelectPopup(request, path);
  }

  void WaitCursorChanged(int on) override {
    if (on && !waitCursor_) QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!on && waitCursor_) QApplication::restoreOverrideCursor();
    waitCursor_ = on != 0;
  }

  ScreenArea UsableArea() override {
    QScreen* s = QGuiApplication::primaryScreen();
    QRect r = s ? s->availableGeometry() : QRect(0, 0, 1920, 1080);
    return ScreenArea{r.top(), r.left(), r.height(), r.width()};
  }

  void DropWaitCursor() { WaitCursorChanged(0); }

 private:
  int displayFd_ = -1;            // X connection descriptor, -1 when not on xcb
  QtWakeDescriptors wake_;        // Qt's own wake-up, polled by the wait
  std::size_t firstOwnFd_ = 0;    // where the face's descriptors start in the wait's set
  bool qtWoke_ = false;           // the wait woke on the face's descriptors
  double frameInterval_ = 1 / 60.0;  // seconds between two syncs
  double lastPump_ = -1;          // Now() of the last pump that reached Qt
  double lastSync_ = -1;          // Now() of the last sync
  double lastDeferred_ = -1;      // Now() of the last deferred-delete pass
  bool pumping_ = false;          // inside Pump
  bool waitCursor_ = false;       // the override cursor is set
};

QtFace& TheFace() {
  static QtFace face;
  return face;
}

bool g_ownApp = false;  // Start created the QApplication

// The platform Qt will use: -platform on the command line, else QT_QPA_PLATFORM.
std::string PlatformName(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "-platform") == 0) return argv[i + 1];
  }
  const char* env = std::getenv("QT_QPA_PLATFORM");
  return env ? env : "";
}

// Qt aborts the process when its platform cannot start; find out first where we can.
bool DisplayAvailable(int argc, char** argv) {
  std::string platform = PlatformName(argc, argv);
  if (!platform.empty() && platform.rfind("xcb", 0) != 0) return true;  // offscreen, wayland ...: Qt decides
#ifdef CHROMIK_HAVE_XCB
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  bool ok = c && !xcb_connection_has_error(c);
  if (c) xcb_disconnect(c);
  return ok;
#else
  const char* display = std::getenv("DISPLAY");
  return display && *display;
#endif
}

}  // namespace

void PumpNow() { TheFace().Pump(true); }

bool Start(int& argc, char** argv) {
  if (!QApplication::instance()) {
    if (!DisplayAvailable(argc, argv)) return false;
    new QApplication(argc, argv);
    g_ownApp = true;
    QApplication::setStyle(new PanelStyle);
    QApplication::setQuitOnLastWindowClosed(false);  // the program ends its loop itself
    InstallInputFilter(qApp);
    InstallAccessibleFactory();
  }
  TheView().Clear();
  TheFace().Init();
  SetFace(&TheFace());
  return true;
}

void Stop() {
  if (!QApplication::instance()) return;
  TheView().Clear();
  TheFace().DropWaitCursor();
  if (&CurrentFace() == &TheFace()) SetFace(nullptr);
  if (g_ownApp) {
    delete qApp;
    g_ownApp = false;
  }
}

void SyncNow() {
  if (QApplication::instance()) TheView().Sync();
}

long SyncCount() { return TheView().SyncCount(); }

QWidget* ControlWidget(int panel, int control) {
  CtrlView* v = TheView().FindCtrlView(panel, control);
  return v ? v->body.data() : nullptr;
}

QWidget* PanelWidgetOf(int panel) {
  PanelView* v = TheView().FindPanelView(panel);
  return v ? v->widget.data() : nullptr;
}

bool SavePanelImage(int panel, const std::string& path) {
  if (!QApplication::instance()) return false;
  TheView().Sync();
  PanelView* pv = TheView().FindPanelView(panel);
  const Panel* p = FindPanel(panel);
  if (!pv || !pv->widget || !p) return false;
  QWidget* w = pv->widget;
  // A tab page is rendered with its tab in front; the tab control shows the model's page again after.
  QTabWidget* tabs = nullptr;
  int oldIndex = -1;
  if (pv->tabPage) {
    CtrlView* owner = TheView().FindCtrlView(p->parent, p->tabOwner);
    tabs = owner ? TabsOf(owner->body.data()) : nullptr;
    if (tabs) {
      QSignalBlocker block(tabs);
      oldIndex = tabs->currentIndex();
      tabs->setCurrentWidget(w);
    }
  }
  if (!pv->topLevel && !pv->tabPage) {
    const QSize size = TheView().UnitsOf(p->parent).Rect(p->left, p->top, p->width, p->height).size();
    if (w->size() != size) w->resize(size);
  }
  QCoreApplication::sendPostedEvents();  // layouts of freshly built widgets
  QPixmap image = w->grab();
  if (tabs) {
    QSignalBlocker block(tabs);
    tabs->setCurrentIndex(oldIndex);
  }
  return !image.isNull() && image.save(QStr(path), "PNG");
}

}  // namespace ui::qt
