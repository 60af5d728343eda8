#include "ui/window_progress.h"

#include <QCoreApplication>
#include <algorithm>
#include <limits>
#include <utility>

namespace brenmoor {
namespace {

// A progress bar counts in int.
int Clamped(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, 0, std::numeric_limits<int>::max()));
}

}  // namespace

WindowProgress::WindowProgress(QWidget* window, int delay_ms)
    : window_(window), delay_ms_(delay_ms) {
  clock_.start();
}

WindowProgress::~WindowProgress() { delete dialog_; }

QString WindowProgress::StepText(std::string_view step) {
  // The window's own texts are Chinese; the core names its steps in English.
  static constexpr std::pair<std::string_view, const char*> kSteps[] = {
      {"Reading sections", QT_TRANSLATE_NOOP("WindowProgress", "正在读取截面")},
      {"Computing sections", QT_TRANSLATE_NOOP("WindowProgress", "正在计算截面")},
      {"Writing sections", QT_TRANSLATE_NOOP("WindowProgress", "正在写入截面")},
      {"Drawing report pages", QT_TRANSLATE_NOOP("WindowProgress", "正在绘制报告页")},
      {"Computing capacity", QT_TRANSLATE_NOOP("WindowProgress", "正在计算承载力")},
      {"Computing interaction curves", QT_TRANSLATE_NOOP("WindowProgress", "正在计算 N–M 曲线")},
      {"Drawing capacity pages", QT_TRANSLATE_NOOP("WindowProgress", "正在绘制承载力页")},
      {"Computing biaxial bending", QT_TRANSLATE_NOOP("WindowProgress", "正在计算双向弯曲")},
      {"Searching the best grids", QT_TRANSLATE_NOOP("WindowProgress", "正在寻找最佳网格")},
      {"Computing moment-curvature", QT_TRANSLATE_NOOP("WindowProgress", "正在计算弯矩–曲率")},
      {"Computing analysis curves", QT_TRANSLATE_NOOP("WindowProgress", "正在计算分析用弯矩–曲率")},
  };
  for (const auto& [name, text] : kSteps) {
    if (step == name) return QCoreApplication::translate("WindowProgress", text);
  }
  return QString::fromUtf8(step.data(), static_cast<qsizetype>(step.size()));
}

void WindowProgress::Show(std::string_view step, std::int64_t done, std::int64_t total) {
  if (cancelled()) return;
  if (dialog_ == nullptr) {
    if (clock_.elapsed() < delay_ms_) return;
    dialog_ = new QProgressDialog(window_);
    dialog_->setObjectName(QStringLiteral("ProgressDialog"));
    dialog_->setWindowTitle(QStringLiteral("Brenmoor"));
    dialog_->setCancelButtonText(QCoreApplication::translate("WindowProgress", "取消"));
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setMinimumDuration(0);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->show();
  }
  dialog_->setLabelText(QStringLiteral("%1 … %2 / %3").arg(StepText(step)).arg(done).arg(total));
  dialog_->setMaximum(Clamped(total));
  dialog_->setValue(Clamped(done));
  // The window repaints and the Cancel button is heard between sections.
  QCoreApplication::processEvents();
  if (dialog_ != nullptr && dialog_->wasCanceled()) {
    Cancel();
    if (on_cancel_) on_cancel_();
  }
}

}  // namespace brenmoor
