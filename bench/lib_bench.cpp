// Sound library benchmark: extraction and insertion of a large library,
// each timed against a plain chunked copy of the same bytes made in the same
// run, and the peak memory of each (measured in a child process).

#include <filesystem>

#include "bench_util.h"

#include "app/run.h"
#include "app/run_state.h"
#include "platform/coding.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"

namespace fs = std::filesystem;

namespace eitool::bench {
namespace {

// Changes one byte of every extracted wave, so that every entry is edited.
void EditWaves(const std::string& folder, std::uint32_t entries) {
  for (std::uint32_t n = 0; n < entries; ++n) {
    FileStream wave(folder + "/" + std::to_string(n) + ".wav", FileStream::Mode::kOpenReadWrite);
    wave.Write("!", 1);
  }
}

}  // namespace

void LibraryBench(const Options& options) {
  const std::uint64_t size_mib = options.size_mib ? options.size_mib : 1024;
  const std::uint32_t entries = options.entries ? options.entries : 10000;
  const int repeat = options.repeat ? options.repeat : 5;
  const std::string& dir = options.dir;
  const std::string library = dir + "/bench.lib";
  std::printf("Sound library: %llu MiB, %u entries, in %s; median of %d runs\n",
              static_cast<unsigned long long>(size_mib), entries, dir.c_str(), repeat);
  MakeLibrary(library, size_mib << 20, entries);

  // Each operation is paired with a copy made just before it, under the
  // same conditions (page cache, writeback); the ratios are taken per pair.
  std::vector<double> copy_s, extract_s, insert_s, extract_ratio, insert_ratio;
  double copy_mib = 0, extract_mib = 0, insert_mib = 0;
  RunView quiet;
  auto copy_once = [&] {
    Measure copy = InChild([&] { PlainCopy(library, dir + "/copy.bin"); });
    fs::remove(dir + "/copy.bin");
    copy_s.push_back(copy.seconds);
    copy_mib = std::max(copy_mib, copy.peak_mib);
    return copy.seconds;
  };
  for (int r = 0; r < repeat; ++r) {
    fs::remove_all(dir + "/x");
    fs::remove_all(dir + "/out");
    fs::create_directories(dir + "/out");

    double copy_before_extract = copy_once();
    Measure extract = InChild([&] {
      RunState run(quiet);
      run.TargetDir = dir + "/x";
      ForceDirectories(run.TargetDir);
      run.ListKind = fkLIB;
      run.ListTag = "LIB";
      run.LogList = {library};
      ExecuteRun(run);
    });
    EditWaves(dir + "/x", entries);
    double copy_before_insert = copy_once();
    Measure insert = InChild([&] {
      RunState run(quiet);
      run.TargetDir = dir + "/out";
      run.ListKind = fkLog;
      run.LogList = {dir + "/x/result.log"};
      ExecuteRun(run);
    });
    extract_s.push_back(extract.seconds);
    insert_s.push_back(insert.seconds);
    extract_ratio.push_back(extract.seconds / copy_before_extract);
    insert_ratio.push_back(insert.seconds / copy_before_insert);
    extract_mib = std::max(extract_mib, extract.peak_mib);
    insert_mib = std::max(insert_mib, insert.peak_mib);
    std::printf("  run %d: copy %.3f s, extract %.3f s (%.2f x); copy %.3f s, insert %.3f s (%.2f x)\n",
                r + 1, copy_before_extract, extract.seconds, extract_ratio.back(),
                copy_before_insert, insert.seconds, insert_ratio.back());
  }
  std::printf("\n%-8s %9s %12s %15s\n", "median", "time (s)", "vs copy", "peak RSS (MiB)");
  std::printf("%-8s %9.3f %12s %15.1f\n", "copy", Median(copy_s), "1.00 x", copy_mib);
  std::printf("%-8s %9.3f %10.2f x %15.1f   (target: at most 1.25 x, under 64 MiB)\n", "extract",
              Median(extract_s), Median(extract_ratio), extract_mib);
  std::printf("%-8s %9.3f %10.2f x %15.1f   (target: at most 1.5 x, under 64 MiB)\n", "insert",
              Median(insert_s), Median(insert_ratio), insert_mib);
  // The fastest run of each shows the cost of the work itself, with the
  // least interference from writeback and the rest of the machine.
  std::printf("fastest runs: copy %.3f s, extract %.3f s (%.2f x), insert %.3f s (%.2f x)\n",
              Fastest(copy_s), Fastest(extract_s), Fastest(extract_s) / Fastest(copy_s),
              Fastest(insert_s), Fastest(insert_s) / Fastest(copy_s));
}

}  // namespace eitool::bench
