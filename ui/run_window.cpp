#include "ui/run_window.h"

#include <QApplication>

#include "import/number_text.h"
#include "ui/tform1.h"

namespace brenmoor {

int RunWindow(int argc, char** argv, BrenmoorState& state, const std::string& table) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Brenmoor"));
  QApplication::setApplicationDisplayName(QStringLiteral("Brenmoor"));
  TForm1 form(state, RegionalDecimalSeparator());
  form.show();
  if (!table.empty()) form.ImportTableFile(QString::fromStdString(table));
  return QApplication::exec();
}

}  // namespace brenmoor
