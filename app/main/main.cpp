// chromik4-ana-scope: the program with its Qt 6 face.
#include <cstdio>

#include "app/Chromik4ANAv12.h"
#include "ui/qt/qt_face.h"
#include "ui/ui.h"

int main(int argc, char** argv) {
  if (!ui::qt::Start(argc, argv)) {
    std::fprintf(stderr, "chromik4-ana-scope: no display could be opened\n");
    return -1;
  }
  InstallTerminationHandler(OnTerminationSignal);
  const int result = RunProgram();
  ui::qt::Stop();
  return result;
}
