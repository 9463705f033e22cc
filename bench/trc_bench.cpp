// Text resource benchmark: a 16 MiB game file holding one table of 200,000
// texts, extracted into a dump and inserted back, each timed against a
// plain copy of the game file plus the writing of a file the size of the
// dump, made just before it.

#include <filesystem>
#include <fstream>

#include "app/run.h"
#include "app/run_state.h"
#include "app/samples.h"
#include "bench_util.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"

namespace fs = std::filesystem;

namespace eitool::bench {
namespace {

constexpr std::uint32_t kTableOffset = 0x100;

void WriteBytes(const std::string& path, const std::string& bytes) {
  FileStream(path, FileStream::Mode::kCreate).Write(bytes);
}

// Copies the game file and writes a file of `dump_size` bytes.
void Baseline(const std::string& game, const std::string& dir, std::uint64_t dump_size) {
  PlainCopy(game, dir + "/copy.bin");
  std::string chunk(1 << 20, 'x');
  std::FILE* out = std::fopen((dir + "/dump.bin").c_str(), "wb");
  for (std::uint64_t left = dump_size; left > 0;) {
    std::size_t now = static_cast<std::size_t>(std::min<std::uint64_t>(left, chunk.size()));
    std::fwrite(chunk.data(), 1, now, out);
    left -= now;
  }
  std::fclose(out);
}

}  // namespace

void TextBench(const Options& options) {
  const std::uint64_t size = (options.size_mib ? options.size_mib : 16) << 20;
  const std::uint32_t count = options.entries ? options.entries : 200000;
  const int repeat = options.repeat ? options.repeat : 9;
  const std::string& dir = options.dir;
  const std::uint32_t data_begin = kTableOffset + 4 * count;
  const std::uint64_t data_limit = std::min<std::uint64_t>(size, 0x1000000);
  const std::uint64_t record = (data_limit - data_begin) / count / 4 * 4;

  const std::string game_path = dir + "/game.dat";
  InChild([&] {
  std::string game;
  SampleTable table{kTableOffset, data_begin, {}, {}};
  for (std::uint32_t k = 0; k < count; ++k) {
    std::string text = "Text " + std::to_string(k) + ": the quick brown fox jumps over the lazy dog";
    text.resize(static_cast<std::size_t>(record - 1), '.');
    table.texts.push_back(std::move(text));
  }
  PutTextTable(game, table);
  game.resize(static_cast<std::size_t>(size), '\0');
  WriteBytes(game_path, game);
  });  // made in a child, so that the parent, and the children it forks, stay small
  char numbers[200];
  std::snprintf(numbers, sizeof numbers,
                "Table offset=0x%X\r\nTable limit=0x%X\r\nData begin=0x%X\r\nData limit=0x%llX\r\n",
                kTableOffset, data_begin, data_begin, static_cast<unsigned long long>(data_limit));
  WriteBytes(dir + "/d.trc", "[Block#0]\r\nSource=" + game_path + "\r\nTarget=" + dir +
                                 "/x/d.txt\r\n" + numbers + "Align=0x4\r\n[END OF Block#0]\r\n");
  std::printf("Text resource: %llu MiB game file, %u texts of %llu bytes, in %s; median of %d runs\n",
              static_cast<unsigned long long>(size >> 20), count,
              static_cast<unsigned long long>(record - 1), dir.c_str(), repeat);

  RunView quiet;
  auto extract = [&] {
    RunState run(quiet);
    run.TargetDir = dir + "/x";
    ForceDirectories(run.TargetDir);
    run.ListKind = fkTRC;
    run.ListTag = "TRC";
    run.LogList = {dir + "/d.trc"};
    ExecuteRun(run);
  };
  auto insert = [&] {
    RunState run(quiet);
    run.TargetDir = dir + "/x";
    run.ListKind = fkLog;
    run.LogList = {dir + "/x/result.log"};
    ExecuteRun(run);
  };
  InChild(extract);  // once, for the dump's size
  const std::uint64_t dump_size = fs::file_size(dir + "/x/d.txt");

  std::vector<double> base_s, extract_s, insert_s, extract_ratio, insert_ratio;
  double base_mib = 0, extract_mib = 0, insert_mib = 0;
  auto baseline = [&] {
    Measure m = InChild([&] { Baseline(game_path, dir, dump_size); });
    fs::remove(dir + "/copy.bin");
    fs::remove(dir + "/dump.bin");
    base_s.push_back(m.seconds);
    base_mib = std::max(base_mib, m.peak_mib);
    return m.seconds;
  };
  for (int r = 0; r < repeat; ++r) {
    // Like the baseline's, extraction's output is a new file, not one that
    // replaces (and frees) the previous run's.
    fs::remove(dir + "/x/d.txt");
    double before_extract = baseline();
    Measure e = InChild(extract);
    double before_insert = baseline();
    Measure i = InChild(insert);
    extract_s.push_back(e.seconds);
    insert_s.push_back(i.seconds);
    extract_ratio.push_back(e.seconds / before_extract);
    insert_ratio.push_back(i.seconds / before_insert);
    extract_mib = std::max(extract_mib, e.peak_mib);
    insert_mib = std::max(insert_mib, i.peak_mib);
  }
  const double limit_mib = 4.0 * static_cast<double>(size) / (1 << 20);
  std::printf("\n%-8s %9s %12s %15s\n", "median", "time (s)", "vs baseline", "peak RSS (MiB)");
  std::printf("%-8s %9.3f %12s %15.1f   (copy of the game file + a file the size of the dump, %.1f MiB)\n",
              "baseline", Median(base_s), "1.00 x", base_mib, dump_size / 1048576.0);
  std::printf("%-8s %9.3f %10.2f x %15.1f   (target: at most 3 x, under %.0f MiB)\n", "extract",
              Median(extract_s), Median(extract_ratio), extract_mib, limit_mib);
  std::printf("%-8s %9.3f %10.2f x %15.1f   (target: at most 3 x, under %.0f MiB)\n", "insert",
              Median(insert_s), Median(insert_ratio), insert_mib, limit_mib);
  std::printf("fastest runs: baseline %.3f s, extract %.3f s (%.2f x), insert %.3f s (%.2f x)\n",
              Fastest(base_s), Fastest(extract_s), Fastest(extract_s) / Fastest(base_s),
              Fastest(insert_s), Fastest(insert_s) / Fastest(base_s));
}

}  // namespace eitool::bench
