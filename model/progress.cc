#include "model/progress.h"

namespace brenmoor {

ProgressCounter::ProgressCounter(Progress* progress, std::string_view step, std::int64_t total)
    : progress_(progress), step_(step), total_(total), owner_(std::this_thread::get_id()) {
  if (progress_ == nullptr) return;
  if (progress_->cancelled()) throw Cancelled();
  progress_->Show(step_, 0, total_);
}

void ProgressCounter::Done(std::int64_t units) {
  const std::int64_t done = done_.fetch_add(units, std::memory_order_relaxed) + units;
  if (progress_ == nullptr) return;
  if (std::this_thread::get_id() == owner_) progress_->Show(step_, done, total_);
  if (progress_->cancelled()) throw Cancelled();
}

void ProgressCounter::ShowNow() {
  if (progress_ != nullptr && std::this_thread::get_id() == owner_) {
    progress_->Show(step_, done(), total_);
  }
}

}  // namespace brenmoor
