#pragma once

#include <QString>
#include <QTranslator>
#include <memory>

#include "model/language.h"

namespace brenmoor {

// The translations one language of the window needs, installed on the
// running application for as long as this object lives or until the next
// Install. English: the window's own texts (they are written in Chinese).
// Chinese: Qt's own texts (the buttons of its message boxes, the fields'
// context menus, its file dialog) from Qt's catalogue qtbase_zh_CN.qm,
// looked for in the program's translations folder (the Windows build ships
// it there) and then where Qt keeps its translations (Debian's
// qt6-translations-l10n). Without the catalogue Qt's texts stay English.
class WindowTranslators {
 public:
  void Install(Language language);
  // The catalogue file Qt's own texts came from, or empty.
  const QString& QtCatalogue() const { return qt_catalogue_; }

 private:
  std::unique_ptr<QTranslator> window_;
  std::unique_ptr<QTranslator> qt_;
  QString qt_catalogue_;
};

}  // namespace brenmoor
