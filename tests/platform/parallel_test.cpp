#include "platform/parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace eitool {
namespace {

TEST(ParallelForTest, RunsEveryIndexOnce) {
  std::vector<std::atomic<int>> hits(1000);
  std::size_t failed_at = 0;
  ParallelFor(hits.size(), [&](std::size_t i, int) { ++hits[i]; }, &failed_at);
  for (std::size_t i = 0; i < hits.size(); ++i) EXPECT_EQ(hits[i].load(), 1) << i;
  EXPECT_EQ(failed_at, hits.size());
}

TEST(ParallelForTest, RethrowsTheLowestFailingIndex) {
  // Indices 300 and up all fail; whichever worker fails first, the error
  // reported is that of index 300, and no index far beyond it was started.
  std::atomic<std::size_t> highest{0};
  std::size_t failed_at = 0;
  try {
    ParallelFor(100000, [&](std::size_t i, int) {
      std::size_t seen = highest.load();
      while (i > seen && !highest.compare_exchange_weak(seen, i)) {}
      if (i >= 300) throw std::runtime_error(std::to_string(i));
    }, &failed_at);
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "300");
  }
  EXPECT_EQ(failed_at, 300u);
  EXPECT_LT(highest.load(), 300u + 4 * static_cast<std::size_t>(WorkerCount()));
}

}  // namespace
}  // namespace eitool
