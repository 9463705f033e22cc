// eitool_bench [lib|trc|all] [--size-mib N] [--entries N] [--repeat N] [--dir DIR]
// Each benchmark makes its data in a new folder under DIR (the system's
// temporary folder by default) and removes it when done.

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench_util.h"

int main(int argc, char** argv) {
  using namespace eitool::bench;
  std::string which = "all";
  Options options;
  std::string base = std::filesystem::temp_directory_path().string();
  int i = 1;
  if (argc > 1 && argv[1][0] != '-') which = argv[i++];
  for (; i + 1 < argc; i += 2) {
    std::string flag = argv[i];
    if (flag == "--size-mib") options.size_mib = std::stoull(argv[i + 1]);
    else if (flag == "--entries") options.entries = static_cast<std::uint32_t>(std::stoul(argv[i + 1]));
    else if (flag == "--repeat") options.repeat = std::stoi(argv[i + 1]);
    else if (flag == "--dir") base = argv[i + 1];
    else break;
  }
  if (i != argc || (which != "lib" && which != "trc" && which != "all")) {
    std::fprintf(stderr,
                 "usage: eitool_bench [lib|trc|all] [--size-mib N] [--entries N] [--repeat N] "
                 "[--dir DIR]\n");
    return 2;
  }
  auto run = [&](void (*bench)(const Options&)) {
    Options o = options;
    o.dir = base + "/eitool-bench-XXXXXX";
    if (::mkdtemp(o.dir.data()) == nullptr) {
      std::perror("mkdtemp");
      std::exit(1);
    }
    bench(o);
    std::filesystem::remove_all(o.dir);
    std::printf("\n");
  };
  if (which != "trc") run(LibraryBench);
  if (which != "lib") run(TextBench);
  return 0;
}
