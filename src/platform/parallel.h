// A small parallel loop for independent file work (creating many files is
// bound by per-file system calls, which run in parallel well).
#pragma once

#include <cstddef>
#include <functional>

namespace eitool {

// The number of workers ParallelFor uses: 1 on a one-core machine, else up
// to 4.
int WorkerCount();

// Calls work(i, worker) for every i in [0, count), on WorkerCount() threads
// of which the caller is worker 0; each worker takes indices in ascending
// order. Once a call raises, no further index is started; after all workers
// have stopped, the exception of the lowest failing index is rethrown and
// `*failed_at` (when given) is set to that index. Otherwise `*failed_at` is
// set to `count`.
void ParallelFor(std::size_t count, const std::function<void(std::size_t, int)>& work,
                 std::size_t* failed_at = nullptr);

}  // namespace eitool
