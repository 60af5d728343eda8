// `brenmoor TABLE` as the programs run it: the window comes from the Qt
// module, loaded by code that links no Qt, opens with the table imported and
// ends with its exit status once it is closed. A program of its own, since
// the module makes the one QApplication.
#include <QAbstractItemView>
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "app/qt_module.h"

namespace {

// The rows the window's grid showed when it was closed: the window keeps its
// sections in the module, so the grid is where this program sees them.
int grid_rows = -1;

// Runs in the constructor of the module's QApplication: the window is closed
// as soon as its event loop runs.
void CloseTheWindowOnceShown() {
  QTimer::singleShot(0, [] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (auto* grid = window->findChild<QAbstractItemView*>(QStringLiteral("StringGrid1"))) {
        grid_rows = grid->model()->rowCount();
      }
    }
    QApplication::closeAllWindows();
  });
}
Q_COREAPP_STARTUP_FUNCTION(CloseTheWindowOnceShown)

}  // namespace

int main() {
  char name[] = "brenmoor";
  char* argv[] = {name, nullptr};
  const int status =
      brenmoor::RunWindowFromModule(1, argv, BRENMOOR_SOURCE_DIR "/examples/sample.csv");
  std::printf("window closed with status %d, its grid showing %d rows\n", status, grid_rows);
  return status == 0 && grid_rows == 7 ? 0 : 1;  // the sample's 7 sections
}
