#pragma once

#include <QMessageBox>
#include <QString>
#include <QWidget>
#include <exception>
#include <memory>
#include <optional>
#include <vector>

class QAbstractButton;
class QPrinter;

namespace brenmoor {

// The file-open dialog of the import: no filter or title of its own. One per
// window.
class FileDialog {
 public:
  // The chosen file's path, or nothing when the engineer cancels. The dialog
  // opens in folder (the system's choice when empty).
  std::optional<QString> GetOpenFileName(QWidget* parent, const QString& folder = QString());

  // Sets the result of the next GetOpenFileName call instead of asking; an
  // empty path stands for a cancel. Use only for testing.
  void SetNextFileName(const QString& path) { next_ = path; }
  // The folder the last GetOpenFileName call was to open in. For testing.
  const QString& LastFolder() const { return last_folder_; }

 private:
  std::optional<QString> next_;
  QString last_folder_;
};

// The folder dialog of "generate to".
class FolderDialog {
 public:
  // The chosen folder, or nothing when the engineer cancels. The dialog
  // opens in start.
  std::optional<QString> GetExistingDirectory(QWidget* parent, const QString& caption,
                                              const QString& start);

  // As FileDialog::SetNextFileName; the folder the last call opened in is
  // kept for tests to read. Use only for testing.
  void SetNextFolder(const QString& folder) { next_ = folder; }
  const QString& LastStart() const { return last_start_; }

 private:
  std::optional<QString> next_;
  QString last_start_;
};

// The file-save dialog of the report and the picture export.
class SaveDialog {
 public:
  // The chosen path, or nothing when the engineer cancels. suggested is the
  // file the dialog proposes (its folder and name), filter as QFileDialog's.
  std::optional<QString> GetSaveFileName(QWidget* parent, const QString& caption,
                                         const QString& suggested, const QString& filter);

  // As FileDialog::SetNextFileName; the last suggestion is kept for tests to
  // read. Use only for testing.
  void SetNextFileName(const QString& path) { next_ = path; }
  const QString& LastSuggestion() const { return last_suggestion_; }

 private:
  std::optional<QString> next_;
  QString last_suggestion_;
};

// The system's print dialog.
class PrintDialog {
 public:
  // Lets the engineer choose a printer and its settings; false on a cancel.
  bool Exec(QPrinter& printer, QWidget* parent);

  // The next Exec sets the printer to write a PDF file to path and returns
  // true without asking (an empty path: returns false, as a cancel). Use only
  // for testing.
  void SetNextOutputFile(const QString& path) { next_ = path; }

 private:
  std::optional<QString> next_;
};

// What the error report shows for one failure.
struct ReportedError {
  QString text;    // the message, with a full stop added after a letter or digit
  QString detail;  // "Line 5 of sections.csv" for a table line, else empty
  // Where in the table, in the window's language, before the message on the
  // box's face: "第 4 行 KZ3，B 列：" ("Line 4, KZ3, column B: "); empty
  // when the failure is not on a line.
  QString place;
  // Said under the message: what the engineer can use instead (the valid
  // material names) and what the window kept.
  QString note;
};

// The message of e with a full stop appended when its last byte sorts above
// '.' (after a letter, a digit or a non-ASCII byte; not after "." or ")").
// An ImportError with a line adds "Line N of <file name>" as the detail and
// its line, section and column as the place; one in a material column lists
// the valid material names as the note, and note (what the caller kept)
// follows them.
// Example: "'abc' is not a valid floating point value" on line 3 of
// /tmp/t.csv, section KZ3, column B gives {"'abc' is not a valid floating
// point value.", "Line 3 of t.csv", "第 3 行 KZ3，B 列：", ""}.
ReportedError ErrorReportFor(const std::exception& e, const QString& note = QString());

// The report's box: title "Brenmoor", error icon, an OK button; on its face
// the place and the message, the note under them; the detail behind the
// box's details button.
std::unique_ptr<QMessageBox> MakeErrorBox(QWidget* parent, const ReportedError& report);

// The About box: Brenmoor's version and build date, the Qt version it was
// built with and the one running, its licence (the text behind the details
// button) and a link to the third-party notices beside the program (or the
// Debian package's copyright file). about_qt is its "About Qt" button.
struct AboutBox {
  std::unique_ptr<QMessageBox> box;
  QAbstractButton* about_qt = nullptr;
};
AboutBox MakeAboutBox(QWidget* parent);

// Shows failures to the engineer, one modal box each; the program goes on.
class ErrorReport {
 public:
  // note: what the window kept, said under the message.
  void Show(QWidget* parent, const std::exception& e, const QString& note = QString());
  // As Show, with a button `choice` beside OK that offers a way on; true
  // when the engineer takes it.
  bool ShowWithChoice(QWidget* parent, const std::exception& e, const QString& choice);

  // Keeps the reports in Collected() instead of showing boxes. Use only for
  // testing.
  void CollectForTesting() { collect_ = true; }
  const std::vector<ReportedError>& Collected() const { return collected_; }
  // While collecting, whether the next ShowWithChoice takes its choice.
  // Use only for testing.
  void SetNextChoiceForTesting(bool take) { take_choice_ = take; }
  // The choice the last ShowWithChoice offered. For testing.
  const QString& LastChoice() const { return last_choice_; }

 private:
  bool collect_ = false;
  bool take_choice_ = false;
  QString last_choice_;
  std::vector<ReportedError> collected_;
};

}  // namespace brenmoor
