#include "platform/parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace eitool {

int WorkerCount() {
  unsigned cores = std::thread::hardware_concurrency();
  return static_cast<int>(std::clamp(cores, 1u, 4u));
}

void ParallelFor(std::size_t count, const std::function<void(std::size_t, int)>& work,
                 std::size_t* failed_at) {
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  std::mutex mutex;
  std::size_t first_failure = count;
  std::exception_ptr error;

  auto run = [&](int worker) {
    for (;;) {
      if (failed.load()) return;
      std::size_t i = next.fetch_add(1);
      if (i >= count) return;
      try {
        work(i, worker);
      } catch (...) {
        std::lock_guard<std::mutex> lock(mutex);
        if (i < first_failure) {
          first_failure = i;
          error = std::current_exception();
        }
        failed.store(true);
      }
    }
  };

  const int workers = static_cast<int>(std::min<std::size_t>(WorkerCount(), count));
  std::vector<std::thread> helpers;
  for (int w = 1; w < workers; ++w) helpers.emplace_back(run, w);
  run(0);
  for (std::thread& helper : helpers) helper.join();
  if (failed_at != nullptr) *failed_at = first_failure;
  if (error) std::rethrow_exception(error);
}

}  // namespace eitool
