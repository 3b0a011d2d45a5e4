// A face shows the model to a person (or to a test) and answers popups.
// The runtime has exactly one face at a time: headless (tests, benchmarks)
// or Qt (ui/qt). Faces never run program logic themselves.
#pragma once

#include <poll.h>

#include <string>
#include <vector>

namespace ui {

struct FileSelectRequest {
  std::string directory;
  std::string defaultName;
  std::string filter;        // "*.ini"
  std::string title;
  int buttonKind = 0;        // VAL_LOAD_BUTTON, VAL_SAVE_BUTTON or VAL_OK_BUTTON
  int allowMakeDirectory = 0;
};

struct ScreenArea {
  int top = 0;
  int left = 0;
  int height = 1080;
  int width = 1920;
};

class Face {
 public:
  virtual ~Face() = default;
  // Handles the face's own pending input without blocking (window-system events).
  virtual void PumpPlatformEvents() {}
  // Descriptors that should wake a blocked wait (the display connection, the
  // face's own wake-up), appended to `fds`.
  virtual void AddWaitDescriptors(std::vector<pollfd>& fds) { (void)fds; }
  // The blocked wait returned with `fds` (revents set) because one of them was ready.
  virtual void WaitReturned(const std::vector<pollfd>& fds) { (void)fds; }
  virtual void MessagePopup(const std::string& title, const std::string& text) = 0;
  virtual int ConfirmPopup(const std::string& title, const std::string& text) = 0;
  // A question whose Yes destroys work: Return and Escape answer No.
  virtual int ConfirmPopupNoDefault(const std::string& title, const std::string& text) {
    return ConfirmPopup(title, text);
  }
  virtual int PromptPopup(const std::string& title, const std::string& text, std::string* response,
                          int maxLength) = 0;
  virtual int FileSelectPopup(const FileSelectRequest& request, std::string* path) = 0;
  virtual void WaitCursorChanged(int on) { (void)on; }
  // The part of the screen that windows may take (without desktop bars), in screen coordinates.
  virtual ScreenArea UsableArea() { return ScreenArea{}; }
};

void SetFace(Face* face);  // nullptr = the built-in headless face
Face& CurrentFace();

}  // namespace ui
