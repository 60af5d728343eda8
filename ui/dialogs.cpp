#include "ui/dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QUrl>
#include <utility>

#include "import/section_import.h"
#include "model/materials.h"
#include "platform/text.h"

namespace brenmoor {

std::optional<QString> FileDialog::GetOpenFileName(QWidget* parent, const QString& folder) {
  last_folder_ = folder;
  QString path;
  if (next_) {
    path = *next_;
    next_.reset();
  } else {
    // Tables first, as engineers keep them; everything else one choice away.
    path =
        QFileDialog::getOpenFileName(parent, QString(), folder,
                                     QStringLiteral("CSV (*.csv);;") +
                                         QCoreApplication::translate("FileDialog", "所有文件 (*)"));
  }
  if (path.isEmpty()) return std::nullopt;
  return path;
}

std::optional<QString> FolderDialog::GetExistingDirectory(QWidget* parent, const QString& caption,
                                                          const QString& start) {
  last_start_ = start;
  QString folder;
  if (next_) {
    folder = *next_;
    next_.reset();
  } else {
    folder = QFileDialog::getExistingDirectory(parent, caption, start);
  }
  if (folder.isEmpty()) return std::nullopt;
  return folder;
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

namespace {

// Where on the table a failure is, in the window's language.
QString PlaceOf(const ImportError& error) {
  const QString section = QString::fromStdString(DisplayText(error.section()));
  const QString column = QString::fromStdString(error.column());
  const int line = error.line();
  if (section.isEmpty() && column.isEmpty())
    return QCoreApplication::translate("ErrorReport", "第 %1 行：").arg(line);
  if (column.isEmpty())
    return QCoreApplication::translate("ErrorReport", "第 %1 行 %2：").arg(line).arg(section);
  if (section.isEmpty())
    return QCoreApplication::translate("ErrorReport", "第 %1 行，%2 列：").arg(line).arg(column);
  return QCoreApplication::translate("ErrorReport", "第 %1 行 %2，%3 列：")
      .arg(line)
      .arg(section, column);
}

// The names a material cell may hold, in the table's order.
QString MaterialNames() {
  BrenmoorState state;
  BuildMaterialTable(state);
  QStringList names;
  for (const TMAT& material : state.materials) names << QString::fromStdString(material.name);
  return names.join(QStringLiteral(", "));
}

}  // namespace

ReportedError ErrorReportFor(const std::exception& e, const QString& note) {
  ReportedError report;
  // A message quotes a section's name as the table holds it, GB18030 too, and
  // the table's path is UTF-8 on every system: both are decoded as the grid
  // and the fields decode them.
  report.text = QString::fromStdString(DisplayMessage(ErrorReportText(e.what())));
  QStringList notes;
  if (const auto* import_error = dynamic_cast<const ImportError*>(&e);
      import_error != nullptr && import_error->line() > 0) {
    const QString file =
        QFileInfo(QString::fromStdString(DisplayText(import_error->file()))).fileName();
    report.detail = file.isEmpty()
                        ? QStringLiteral("Line %1").arg(import_error->line())
                        : QStringLiteral("Line %1 of %2").arg(import_error->line()).arg(file);
    report.place = PlaceOf(*import_error);
    if (import_error->column() == "CONC" || import_error->column() == "STEEL") {
      notes << QCoreApplication::translate("ErrorReport", "可用的材料名称：%1。")
                   .arg(MaterialNames());
    }
  }
  if (!note.isEmpty()) notes << note;
  report.note = notes.join(u'\n');
  return report;
}

std::unique_ptr<QMessageBox> MakeErrorBox(QWidget* parent, const ReportedError& report) {
  auto box = std::make_unique<QMessageBox>(QMessageBox::Critical, QStringLiteral("Brenmoor"),
                                           report.place + report.text, QMessageBox::Ok, parent);
  box->setTextFormat(Qt::PlainText);
  if (!report.note.isEmpty()) box->setInformativeText(report.note);
  if (!report.detail.isEmpty()) box->setDetailedText(report.detail);
  return box;
}

namespace {

// The third-party notices: beside the program on Windows, the Debian
// package's copyright file on Linux.
QString NoticesFile() {
  const QDir program(QCoreApplication::applicationDirPath());
  for (const QString& path :
       {program.filePath(QStringLiteral("THIRD-PARTY-NOTICES.txt")),
        program.filePath(QStringLiteral("../share/doc/brenmoor/copyright"))}) {
    if (QFileInfo::exists(path)) return QDir::cleanPath(path);
  }
  return QString();
}

}  // namespace

AboutBox MakeAboutBox(QWidget* parent) {
  QFile licence(QStringLiteral(":/brenmoor/LICENSE"));
  licence.open(QIODevice::ReadOnly);
  const QString notices = NoticesFile();
  const QString notices_link = notices.isEmpty()
                                   ? QStringLiteral("THIRD-PARTY-NOTICES.txt")
                                   : QStringLiteral("<a href=\"%1\">%2</a>")
                                         .arg(QUrl::fromLocalFile(notices).toString(),
                                              QDir::toNativeSeparators(notices).toHtmlEscaped());
  const QString text =
      QStringLiteral("<p><b>Brenmoor %1</b></p><p>%2</p><p>%3</p><p>%4<br>%5</p>")
          .arg(QStringLiteral(BRENMOOR_VERSION),
               QCoreApplication::translate("AboutBox", "构建于 %1，使用 Qt %2（运行中的 Qt %3）。")
                   .arg(QStringLiteral(BRENMOOR_BUILD_DATE), QStringLiteral(QT_VERSION_STR),
                        QString::fromLatin1(qVersion())),
               QCoreApplication::translate(
                   "AboutBox",
                   "Brenmoor 以 MIT "
                   "许可证发布：可自由使用、复制、修改和分发。许可证全文在详细信息中。"),
               QCoreApplication::translate("AboutBox", "随附的第三方软件（Qt 等）及其许可证："),
               notices_link);
  AboutBox about;
  about.box = std::make_unique<QMessageBox>(
      QMessageBox::Information, QCoreApplication::translate("AboutBox", "关于 Brenmoor"), text,
      QMessageBox::Ok, parent);
  about.box->setTextFormat(Qt::RichText);
  about.box->setTextInteractionFlags(Qt::TextBrowserInteraction);
  about.box->setDetailedText(QString::fromUtf8(licence.readAll()));
  about.about_qt = about.box->addButton(QCoreApplication::translate("AboutBox", "关于 Qt…"),
                                        QMessageBox::ActionRole);
  return about;
}

void ErrorReport::Show(QWidget* parent, const std::exception& e, const QString& note) {
  ReportedError report = ErrorReportFor(e, note);
  if (collect_) {
    collected_.push_back(std::move(report));
    return;
  }
  MakeErrorBox(parent, report)->exec();
}

bool ErrorReport::ShowWithChoice(QWidget* parent, const std::exception& e, const QString& choice) {
  last_choice_ = choice;
  ReportedError report = ErrorReportFor(e);
  if (collect_) {
    collected_.push_back(std::move(report));
    return std::exchange(take_choice_, false);
  }
  const std::unique_ptr<QMessageBox> box = MakeErrorBox(parent, report);
  QAbstractButton* way_on = box->addButton(choice, QMessageBox::AcceptRole);
  box->exec();
  return box->clickedButton() == way_on;
}

}  // namespace brenmoor
