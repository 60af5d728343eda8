#include "report/report_text.h"

namespace brenmoor {

ReportText::ReportText(Language language, const char* context) : context_(context) {
  if (language == Language::kChinese) {
    loaded_ = translator_.load(QStringLiteral(":/i18n/brenmoor_zh_CN.qm"));
  }
}

QString ReportText::operator()(const char* source) const {
  if (loaded_) {
    QString translated = translator_.translate(context_, source);
    if (!translated.isEmpty()) return translated;
  }
  return QString::fromUtf8(source);
}

}  // namespace brenmoor
