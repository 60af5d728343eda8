#include "ui/dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>

#include "import/section_import.h"
#include "platform/text.h"

namespace brenmoor {

std::optional<QString> FileDialog::GetOpenFileName(QWidget* parent, const QString& folder) {
  last_folder_ = folder;
  QString path;
  if (next_) {
    path = *next_;
    next_.reset();
  } else {
    path = QFileDialog::getOpenFileName(parent, QString(), folder);
  }
  if (path.isEmpty()) return std::nullopt;
  return path;
}

std::optional<QString> SaveDialog::GetSaveFileName(QWidget* parent, const QString& caption,
                                                   const QString& suggested,
                                                   const QString& filter) {
  last_suggestion_ = suggested;
  QString path;
  if (next_) {
    path = *next_;
    next_.reset();
  } else {
    path = QFileDialog::getSaveFileName(parent, caption, suggested, filter);
  }
  if (path.isEmpty()) return std::nullopt;
  return path;
}

bool PrintDialog::Exec(QPrinter& printer, QWidget* parent) {
  if (next_) {
    const QString path = *next_;
    next_.reset();
    if (path.isEmpty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    return true;
  }
  QPrintDialog dialog(&printer, parent);
  return dialog.exec() == QDialog::Accepted;
}

ReportedError ErrorReportFor(const std::exception& e) {
  ReportedError report;
  // A message quotes a section's name as the table holds it, GB18030 too, and
  // the table's path is UTF-8 on every system: both are decoded as the grid
  // and the fields decode them.
  report.text = QString::fromStdString(DisplayText(ErrorReportText(e.what())));
  if (const auto* import_error = dynamic_cast<const ImportError*>(&e);
      import_error != nullptr && import_error->line() > 0) {
    const QString file =
        QFileInfo(QString::fromStdString(DisplayText(import_error->file()))).fileName();
    report.detail = file.isEmpty()
                        ? QStringLiteral("Line %1").arg(import_error->line())
                        : QStringLiteral("Line %1 of %2").arg(import_error->line()).arg(file);
  }
  return report;
}

std::unique_ptr<QMessageBox> MakeErrorBox(QWidget* parent, const ReportedError& report) {
  auto box = std::make_unique<QMessageBox>(QMessageBox::Critical, QStringLiteral("Brenmoor"),
                                           report.text, QMessageBox::Ok, parent);
  box->setTextFormat(Qt::PlainText);
  if (!report.detail.isEmpty()) box->setDetailedText(report.detail);
  return box;
}

void ErrorReport::Show(QWidget* parent, const std::exception& e) {
  ReportedError report = ErrorReportFor(e);
  if (collect_) {
    collected_.push_back(std::move(report));
    return;
  }
  MakeErrorBox(parent, report)->exec();
}

}  // namespace brenmoor
