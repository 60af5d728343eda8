#include "ui/run_window.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include "import/number_text.h"
#include "ui/tform1.h"

namespace brenmoor {

int RunWindow(int argc, char** argv, const std::string& table) {
  // Everything the window keeps between the engineer's actions, for as long
  // as it is open.
  BrenmoorState state;
  QApplication app(argc, argv);
  // No display name of its own: the window system would add it to every
  // title, "Brenmoor — t.csv — Brenmoor".
  QApplication::setApplicationName(QStringLiteral("Brenmoor"));
  TForm1 form(state, RegionalDecimalSeparator());
  form.show();
  if (!table.empty()) form.ImportTableFile(EnterTableFolder(QString::fromStdString(table)));
  return QApplication::exec();
}

QString EnterTableFolder(const QString& table) {
  const QFileInfo file(table);
  if (!file.exists()) return table;
  QDir::setCurrent(file.absolutePath());
  return file.absoluteFilePath();
}

}  // namespace brenmoor
