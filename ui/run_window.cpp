#include "ui/run_window.h"

#include <QApplication>

#include "import/number_text.h"
#include "ui/tform1.h"

namespace brenmoor {

int RunWindow(int argc, char** argv, BrenmoorState& state) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Brenmoor"));
  QApplication::setApplicationDisplayName(QStringLiteral("Brenmoor"));
  TForm1 form(state, RegionalDecimalSeparator());
  form.show();
  return QApplication::exec();
}

}  // namespace brenmoor
