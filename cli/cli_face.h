// The command line's face on the runtime (ui/face.h), in place of the window: what the logic
// shows in a popup becomes a message on standard error, its questions and file dialogs take
// their answers from the command line, and the connection page's message box (where every
// communication failure is reported) is relayed to standard error as it grows.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace cli {

// How the logic's questions and dialogs are answered.
struct Answers {
  bool yes = false;                                // other questions: yes with --yes, otherwise no
  std::vector<std::pair<std::string, int>> known;  // question text -> answer the command line gave; not shown
  std::vector<std::string> quiet;                  // message texts not shown (the command line said so already)
  std::string file;                                // the path every file dialog is answered with; "" cancels
};

// Makes the command line's face the runtime's face, answering as `answers` say.
void InstallFace(const Answers& answers);
Answers& FaceAnswers();

// "chromik4-ana-cli: " and the text on standard error, as one message; line breaks inside are
// kept, those at its end dropped.
void Say(const std::string& text);

// What the message box gained since the last relay, on standard error; or dropped.
void RelayMessageBox();
void SkipMessageBox();

// Runs at every dispatch of events (every turn of every wait): the command's stop checks.
void SetDispatchTurn(void (*turn)());

// A progress line on standard error, redrawn in place, while standard error is a terminal;
// "" takes it away. Messages take it away before they are printed.
void ShowProgress(const std::string& text);
bool ProgressShown();

}  // namespace cli
