// What the benchmarks share: timing a piece of work in a child process with
// its peak memory, the plain copy they are measured against, and medians.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/coding.h"
#include "platform/file_stream.h"

namespace eitool::bench {

struct Measure {
  double seconds;
  double peak_mib;
};

// Runs `work` in a child process; returns its wall time and peak RSS.
inline Measure InChild(const std::function<void()>& work) {
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

// A plain copy in 1 MiB chunks.
inline void PlainCopy(const std::string& from, const std::string& to) {
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

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

inline double Fastest(const std::vector<double>& values) {
  return *std::min_element(values.begin(), values.end());
}

// A sound library of `entries` equal entries, `size` bytes in all.
inline void MakeLibrary(const std::string& path, std::uint64_t size, std::uint32_t entries) {
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

struct Options {
  std::string dir;   // the folder the benchmark works in (made and removed)
  int repeat = 0;    // 0: the benchmark's own default
  std::uint64_t size_mib = 0;
  std::uint32_t entries = 0;
};

void LibraryBench(const Options& options);
void TextBench(const Options& options);

}  // namespace eitool::bench
