#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <functional>

#include "model/progress.h"

namespace brenmoor {

// Long work in the window (an import, generate, a report exported or
// printed): once it has taken delay_ms, a progress dialog over the window
// (objectName "ProgressDialog") shows the sections or pages done and offers
// Cancel. The dialog blocks the window while the work goes on, and the
// window's events are handled between sections, so that it repaints and the
// Cancel button answers at once. Work that ends sooner shows nothing.
class WindowProgress : public Progress {
 public:
  static constexpr int kDelayMs = 500;

  explicit WindowProgress(QWidget* window, int delay_ms = kDelayMs);
  ~WindowProgress() override;

  void Show(std::string_view step, std::int64_t done, std::int64_t total) override;

  // A step as the core names it ("Writing sections") in the window's
  // language, through the translators the window installed; a step it does
  // not know, as it is.
  static QString StepText(std::string_view step);

  // What to do at once when Cancel is pressed, before the work stops: abort
  // a print job, say, so that no half report is printed.
  void OnCancel(std::function<void()> action) { on_cancel_ = std::move(action); }

 private:
  QWidget* window_;
  int delay_ms_;
  QElapsedTimer clock_;
  QPointer<QProgressDialog> dialog_;
  std::function<void()> on_cancel_;
};

}  // namespace brenmoor
