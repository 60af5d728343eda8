#pragma once

#include <QString>
#include <QTranslator>

#include "model/language.h"

namespace brenmoor {

// The words of one report in its language. The reports are written in
// English; the Chinese words come from the translation compiled into the
// program, which each report loads for itself and asks directly: drawing a
// report in Chinese changes nothing that the rest of the program (the
// window, in whatever language) translates.
//
// Example: ReportText text(Language::kChinese, "SectionReport");
//          text(QT_TRANSLATE_NOOP("SectionReport", "Table")) == "数据表"
class ReportText {
 public:
  // context is the translation context the report marks its texts with.
  ReportText(Language language, const char* context);
  ReportText(const ReportText&) = delete;
  ReportText& operator=(const ReportText&) = delete;

  // source is one of the texts marked QT_TRANSLATE_NOOP(context, ...): its
  // translation, or source itself where there is none (English, or a unit).
  QString operator()(const char* source) const;

 private:
  const char* context_;
  QTranslator translator_;
  bool loaded_ = false;
};

}  // namespace brenmoor
