#pragma once

#include <QMessageBox>
#include <QString>
#include <QWidget>
#include <exception>
#include <memory>
#include <optional>
#include <vector>

namespace brenmoor {

// The file-open dialog of the import: no filter, title or start folder of its
// own. One per window.
class FileDialog {
 public:
  // The chosen file's path, or nothing when the engineer cancels.
  std::optional<QString> GetOpenFileName(QWidget* parent);

  // Sets the result of the next GetOpenFileName call instead of asking; an
  // empty path stands for a cancel. Use only for testing.
  void SetNextFileName(const QString& path) { next_ = path; }

 private:
  std::optional<QString> next_;
};

// What the error report shows for one failure.
struct ReportedError {
  QString text;    // the message, with a full stop added after a letter or digit
  QString detail;  // "Line 5 of sections.csv" for a table line, else empty
};

// The message of e with a full stop appended when its last byte sorts above
// '.' (after a letter, a digit or a non-ASCII byte; not after "." or ")").
// An ImportError with a line adds "Line N of <file name>" as the detail.
// Example: "'abc' is not a valid floating point value" on line 3 of
// /tmp/t.csv gives {"'abc' is not a valid floating point value.",
// "Line 3 of t.csv"}.
ReportedError ErrorReportFor(const std::exception& e);

// The report's box: title "Brenmoor", error icon, an OK button, the detail
// behind the box's details button.
std::unique_ptr<QMessageBox> MakeErrorBox(QWidget* parent, const ReportedError& report);

// Shows failures to the engineer, one modal box each; the program goes on.
class ErrorReport {
 public:
  void Show(QWidget* parent, const std::exception& e);

  // Keeps the reports in Collected() instead of showing boxes. Use only for
  // testing.
  void CollectForTesting() { collect_ = true; }
  const std::vector<ReportedError>& Collected() const { return collected_; }

 private:
  bool collect_ = false;
  std::vector<ReportedError> collected_;
};

}  // namespace brenmoor
