// Popups: Qt dialogs with the program's exact titles and texts.
//
// None of them runs exec(): a nested Qt loop would stop the runtime's
// descriptor watches (the sensor link) while the dialog is open. Each is shown
// application-modal and the runtime's own dispatch runs until it closes.
#include "ui/qt/popups.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/qt/view.h"
#include "ui/ui.h"

namespace ui::qt {
namespace {

// Shows `dialog` modally and dispatches until it is closed (or the program quits).
int RunModal(QDialog& dialog) {
  TheView().Sync();  // the windows behind the popup show the program's latest state
  bool open = true;
  int result = QDialog::Rejected;
  QObject::connect(&dialog, &QDialog::finished, &dialog, [&open, &result](int r) {
    open = false;
    result = r;
  });
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.show();
  dialog.activateWindow();
  while (open && !QuitRequested()) {
    ProcessSystemEvents();
    PumpNow();  // also when dispatch is nested too deep to pump the face itself
    if (open) WaitForEvents(Timer() + 0.01);
  }
  if (open) dialog.hide();
  return result;
}

QMessageBox* NewBox(const std::string& title, const std::string& text) {
  auto* box = new QMessageBox(QApplication::activeWindow());
  box->setIcon(QMessageBox::NoIcon);
  box->setWindowTitle(QStr(title));
  box->setTextFormat(Qt::PlainText);
  box->setText(QStr(text));
  return box;
}

// "*.ini" or "*.ini;*.cfg" as a Qt name filter.
QStringList NameFilters(const std::string& filter) {
  QString patterns = QStr(filter).replace(QLatin1Char(';'), QLatin1Char(' ')).trimmed();
  QStringList filters;
  if (!patterns.isEmpty() && patterns != QLatin1String("*") && patterns != QLatin1String("*.*")) {
    filters << QStringLiteral("%1 (%1)").arg(patterns);
  }
  filters << QStringLiteral("All files (*)");
  return filters;
}

}  // namespace

int RunModalDialog(QDialog& dialog) { return RunModal(dialog); }

void RunMessagePopup(const std::string& title, const std::string& text) {
  std::unique_ptr<QMessageBox> box(NewBox(title, text));
  box->setStandardButtons(QMessageBox::Ok);
  RunModal(*box);
}

int RunConfirmPopup(const std::string& title, const std::string& text, bool noIsDefault) {
  std::unique_ptr<QMessageBox> box(NewBox(title, text));
  QPushButton* yes = box->addButton(QMessageBox::Yes);
  QPushButton* no = box->addButton(QMessageBox::No);
  box->setDefaultButton(noIsDefault ? no : yes);
  box->setEscapeButton(no);
  if (noIsDefault) no->setFocus();  // Space and Return both press No until Yes is chosen
  RunModal(*box);
  return box->clickedButton() == yes ? 1 : 0;
}

int RunPromptPopup(const std::string& title, const std::string& text, std::string* response, int maxLength) {
  QDialog dialog(QApplication::activeWindow());
  dialog.setWindowTitle(QStr(title));
  auto* layout = new QVBoxLayout(&dialog);
  auto* label = new QLabel(QStr(text));
  label->setTextFormat(Qt::PlainText);
  layout->addWidget(label);
  auto* edit = new QLineEdit;
  if (maxLength > 0) edit->setMaxLength(maxLength);
  edit->setObjectName(QStringLiteral("promptText"));
  layout->addWidget(edit);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  edit->setFocus();
  if (RunModal(dialog) != QDialog::Accepted) return VAL_USER_CANCEL;
  *response = StdStr(edit->text());
  return 0;
}

int RunFileSelectPopup(const FileSelectRequest& request, std::string* path) {
  QFileDialog dialog(QApplication::activeWindow(), QStr(request.title), QStr(request.directory));
  dialog.setOption(QFileDialog::DontUseNativeDialog);  // a native dialog would run its own loop
  dialog.setOption(QFileDialog::DontConfirmOverwrite);  // the program asks when it wants to
  dialog.setOption(QFileDialog::ReadOnly, !request.allowMakeDirectory);  // no "new folder"
  bool save = request.buttonKind == VAL_SAVE_BUTTON || request.buttonKind == VAL_OK_BUTTON;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // Every kind takes any name and tells a new file from an existing one; a caller that
  // needs an existing file says so itself (the loads answer "No file was selected!").
  dialog.setFileMode(QFileDialog::AnyFile);
  if (request.buttonKind == VAL_OK_BUTTON) dialog.setLabelText(QFileDialog::Accept, QStringLiteral("OK"));
  dialog.setNameFilters(NameFilters(request.filter));
  if (!request.defaultName.empty()) dialog.selectFile(QStr(request.defaultName));
  if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return VAL_NO_FILE_SELECTED;
  QString chosen = dialog.selectedFiles().front();
  *path = StdStr(chosen);
  return QFileInfo::exists(chosen) ? VAL_EXISTING_FILE_SELECTED : VAL_NEW_FILE_SELECTED;
}

}  // namespace ui::qt
