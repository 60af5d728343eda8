#include "ui/dialogs.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>

#include "import/section_import.h"

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
  report.text = QString::fromStdString(ErrorReportText(e.what()));
  if (const auto* import_error = dynamic_cast<const ImportError*>(&e);
      import_error != nullptr && import_error->line() > 0) {
    const QString file = QFileInfo(QFile::decodeName(import_error->file().c_str())).fileName();
    report.detail = QStringLiteral("Line %1 of %2").arg(import_error->line()).arg(file);
  }
  return report;
}

std::unique_ptr<QMessageBox> MakeErrorBox(QWidget* parent, const ReportedError& report) {
  auto box = std::make_unique<QMessageBox>(QMessageBox::Critical, QStringLiteral("Brenmoor"), report.text,
                                           QMessageBox::Ok, parent);
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
