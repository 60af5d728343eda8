#include "model/parallel.h"

#include <algorithm>
#include <exception>
#include <thread>
#include <utility>
#include <vector>

namespace brenmoor {

int WorkersFor(std::size_t units) {
  constexpr std::size_t kMostWorkers = 16;
  const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
  return static_cast<int>(std::max<std::size_t>(1, std::min({cores, units, kMostWorkers})));
}

std::jthread StartThread(std::function<void()> body) { return std::jthread(std::move(body)); }

void RunWorkers(int workers, const std::function<void(int worker)>& work,
                const ThreadStarter& start) {
  if (workers <= 1) {  // a small table: no thread to start or wait for
    work(0);
    return;
  }
  std::vector<std::exception_ptr> errors(static_cast<std::size_t>(std::max(workers, 1)));
  auto run = [&](int worker) {
    try {
      work(worker);
    } catch (...) {
      errors[static_cast<std::size_t>(worker)] = std::current_exception();
    }
  };
  {
    std::vector<std::jthread> threads;
    threads.reserve(errors.size());
    for (int worker = 1; worker < workers; ++worker) {
      try {
        threads.push_back(start([&run, worker] { run(worker); }));
      } catch (const std::exception&) {
        break;  // no thread to be had (or no memory for one): the workers started share the work
      }
    }
    run(0);
  }  // the jthreads join here
  for (const std::exception_ptr& error : errors) {
    if (error) std::rethrow_exception(error);
  }
}

void EarliestFailure::Record(std::size_t index, std::exception_ptr error) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (index < index_) {
    index_ = index;
    error_ = std::move(error);
  }
}

bool EarliestFailure::Matters(std::size_t index) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return index < index_;
}

void EarliestFailure::RethrowIfAny() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (error_) std::rethrow_exception(error_);
}

}  // namespace brenmoor
