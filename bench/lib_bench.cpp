// Sound library benchmark: extraction and insertion of a large library,
// each timed against a plain chunked copy of the same bytes made in the same
// run, and the peak memory of each (measured in a child process).
//
// Usage: eitool_bench [--size-mib N] [--entries N] [--repeat N] [--dir DIR]

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/run.h"
#include "app/run_state.h"
#include "platform/coding.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"

namespace fs = std::filesystem;
using namespace eitool;

namespace {

struct Measure {
  double seconds;
  double peak_mib;
};

// Runs `work` in a child process; returns its wall time and peak RSS.
Measure InChild(const std::function<void()>& work) {
  ::sync();  // start every measurement without pending writeback
  auto start = std::chrono::steady_clock::now();
  pid_t pid = ::fork();
  if (pid == 0) {
    try {
      work();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "bench: %s\n", e.what());
      std::_Exit(1);
    }
    std::_Exit(0);
  }
  int status = 0;
  struct rusage usage {};
  ::wait4(pid, &status, 0, &usage);
  auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "bench: child failed\n");
    std::exit(1);
  }
  return {seconds, usage.ru_maxrss / 1024.0};
}

void PlainCopy(const std::string& from, const std::string& to) {
  std::vector<char> buffer(1 << 20);
  std::FILE* in = std::fopen(from.c_str(), "rb");
  std::FILE* out = std::fopen(to.c_str(), "wb");
  if (!in || !out) throw std::runtime_error("cannot copy " + from);
  std::size_t got;
  while ((got = std::fread(buffer.data(), 1, buffer.size(), in)) > 0)
    std::fwrite(buffer.data(), 1, got, out);
  std::fclose(in);
  std::fclose(out);
}

void MakeLibrary(const std::string& path, std::uint64_t size, std::uint32_t entries) {
  const std::uint32_t data_start = 128 + 24 * entries;
  const std::uint64_t entry_size = (size - data_start) / entries;
  std::string head;
  PutU32(head, entries - 1);
  head += "BENCHLIB";
  PutU32(head, data_start);
  head.resize(128, '\0');
  for (std::uint32_t n = 0; n < entries; ++n) {
    head.append(16, static_cast<char>('a' + n % 26));
    PutU32(head, static_cast<std::uint32_t>(data_start + n * entry_size));
    PutU32(head, static_cast<std::uint32_t>(entry_size));
  }
  FileStream out(path, FileStream::Mode::kCreate);
  out.Write(head);
  std::string chunk(1 << 20, '\0');
  for (std::size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<char>(i * 7 % 253);
  for (std::uint64_t left = entry_size * entries; left > 0;) {
    std::size_t now = static_cast<std::size_t>(std::min<std::uint64_t>(left, chunk.size()));
    out.Write(chunk.data(), now);
    left -= now;
  }
}

// Changes one byte of every extracted wave, so that every entry is edited.
void EditWaves(const std::string& folder, std::uint32_t entries) {
  for (std::uint32_t n = 0; n < entries; ++n) {
    FileStream wave(folder + "/" + std::to_string(n) + ".wav", FileStream::Mode::kOpenReadWrite);
    wave.Write("!", 1);
  }
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t size_mib = 1024;
  std::uint32_t entries = 10000;
  int repeat = 5;
  std::string base = fs::temp_directory_path().string();
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string flag = argv[i];
    if (flag == "--size-mib") size_mib = std::stoull(argv[i + 1]);
    else if (flag == "--entries") entries = static_cast<std::uint32_t>(std::stoul(argv[i + 1]));
    else if (flag == "--repeat") repeat = std::stoi(argv[i + 1]);
    else if (flag == "--dir") base = argv[i + 1];
    else {
      std::fprintf(stderr, "usage: eitool_bench [--size-mib N] [--entries N] [--repeat N] [--dir DIR]\n");
      return 2;
    }
  }

  std::string dir = base + "/eitool-bench-XXXXXX";
  if (::mkdtemp(dir.data()) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
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
  fs::remove_all(dir);

  std::printf("\n%-8s %9s %12s %15s\n", "median", "time (s)", "vs copy", "peak RSS (MiB)");
  std::printf("%-8s %9.3f %12s %15.1f\n", "copy", Median(copy_s), "1.00 x", copy_mib);
  std::printf("%-8s %9.3f %10.2f x %15.1f   (target: at most 1.25 x, under 64 MiB)\n", "extract",
              Median(extract_s), Median(extract_ratio), extract_mib);
  std::printf("%-8s %9.3f %10.2f x %15.1f   (target: at most 1.5 x, under 64 MiB)\n", "insert",
              Median(insert_s), Median(insert_ratio), insert_mib);
  // The fastest run of each shows the cost of the work itself, with the
  // least interference from writeback and the rest of the machine.
  auto fastest = [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); };
  std::printf("fastest runs: copy %.3f s, extract %.3f s (%.2f x), insert %.3f s (%.2f x)\n",
              fastest(copy_s), fastest(extract_s), fastest(extract_s) / fastest(copy_s),
              fastest(insert_s), fastest(insert_s) / fastest(copy_s));
  return 0;
}
