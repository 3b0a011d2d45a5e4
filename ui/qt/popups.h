// The runtime's four popups as Qt dialogs, run modally by the program's own loop.
#pragma once

#include <string>

#include "ui/face.h"

class QDialog;

namespace ui::qt {

// Shows a dialog application-modal and dispatches the runtime until it is closed; its result code.
int RunModalDialog(QDialog& dialog);

void RunMessagePopup(const std::string& title, const std::string& text);
int RunConfirmPopup(const std::string& title, const std::string& text, bool noIsDefault = false);  // 1 = yes
int RunPromptPopup(const std::string& title, const std::string& text, std::string* response, int maxLength);
int RunFileSelectPopup(const FileSelectRequest& request, std::string* path);

// Handles Qt's pending events now, whatever the pump's own rate (qt_face.cpp).
void PumpNow();

}  // namespace ui::qt
