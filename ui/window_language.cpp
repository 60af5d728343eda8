#include "ui/window_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace brenmoor {

void WindowTranslators::Install(Language language) {
  // A translator removes itself from the application when it is destroyed.
  window_.reset();
  qt_.reset();
  qt_catalogue_.clear();
  if (language == Language::kEnglish) {
    window_ = std::make_unique<QTranslator>();
    if (window_->load(QStringLiteral(":/i18n/brenmoor_en.qm")))
      QCoreApplication::installTranslator(window_.get());
    return;
  }
  qt_ = std::make_unique<QTranslator>();
  for (const QString& folder :
       {QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
        QLibraryInfo::path(QLibraryInfo::TranslationsPath)}) {
    if (qt_->load(QStringLiteral("qtbase_zh_CN"), folder)) {
      qt_catalogue_ = qt_->filePath();
      QCoreApplication::installTranslator(qt_.get());
      return;
    }
  }
}

}  // namespace brenmoor
