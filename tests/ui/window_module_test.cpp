// `brenmoor TABLE` as the programs run it: the window comes from the Qt
// module, loaded by code that links no Qt, opens with the table imported and
// ends with its exit status once it is closed. A program of its own, since
// the module makes the one QApplication.
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "app/qt_module.h"

namespace {

// Runs in the constructor of the module's QApplication: the window is closed
// as soon as its event loop runs.
void CloseTheWindowOnceShown() {
  QTimer::singleShot(0, [] { QApplication::closeAllWindows(); });
}
Q_COREAPP_STARTUP_FUNCTION(CloseTheWindowOnceShown)

}  // namespace

int main() {
  char name[] = "brenmoor";
  char* argv[] = {name, nullptr};
  brenmoor::BrenmoorState state;
  const int status =
      brenmoor::RunWindowFromModule(1, argv, state, BRENMOOR_SOURCE_DIR "/examples/sample.csv");
  std::printf("window closed with status %d, %d sections imported\n", status, state.imported_count);
  return status == 0 && state.imported_count == 7 ? 0 : 1;
}
