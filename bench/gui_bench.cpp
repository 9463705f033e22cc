// The window during a long run: a 1 GiB sound library is extracted through
// the window (offscreen, its dialogs answered by the benchmark) while a
// timer measures how long the event loop goes without handling events; the
// run's time is compared with the same extraction by eitool.
//
// Usage: eitool_gui_bench [--size-mib N] [--entries N] [--repeat N] [--dir DIR]

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QToolButton>
#include <cstdlib>
#include <filesystem>

#include "bench_util.h"
#include "gui/main_form.h"

namespace fs = std::filesystem;
using namespace eitool;
using namespace eitool::bench;

namespace {

class AnsweringDialogs : public gui::Dialogs {
 public:
  AnsweringDialogs(QString library, QString target) : library_(library), target_(target) {}
  std::optional<gui::OpenResult> OpenFiles(QWidget*, const gui::FileDialogSetup&, int) override {
    return gui::OpenResult{{library_}, 4};
  }
  std::optional<QString> SaveFile(QWidget*, const gui::FileDialogSetup&) override { return {}; }
  std::optional<QString> TargetFolder(QWidget*, const QString&) override { return target_; }
  void Information(QWidget*, const QString& text, const QString&) override { last = text; }
  void Error(QWidget*, const QString& text) override { last = text; }
  bool Confirm(QWidget*, const QString&, const QString&) override { return true; }
  QString last;

 private:
  QString library_, target_;
};

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  std::uint64_t size_mib = 1024;
  std::uint32_t entries = 10000;
  int repeat = 3;
  std::string base = fs::temp_directory_path().string();
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string flag = argv[i];
    if (flag == "--size-mib") size_mib = std::stoull(argv[i + 1]);
    else if (flag == "--entries") entries = static_cast<std::uint32_t>(std::stoul(argv[i + 1]));
    else if (flag == "--repeat") repeat = std::stoi(argv[i + 1]);
    else if (flag == "--dir") base = argv[i + 1];
  }
  std::string dir = base + "/eitool-gui-bench-XXXXXX";
  if (::mkdtemp(dir.data()) == nullptr) return 1;
  const std::string library = dir + "/bench.lib";
  MakeLibrary(library, size_mib << 20, entries);
  std::printf("Window benchmark: %llu MiB library, %u entries, in %s; %d runs\n",
              static_cast<unsigned long long>(size_mib), entries, dir.c_str(), repeat);

  std::vector<double> window_s, cli_s;
  double longest_gap_ms = 0;
  for (int r = 0; r < repeat; ++r) {
    fs::remove_all(dir + "/gui");
    fs::remove_all(dir + "/cli");
    ::sync();
    auto* dialogs = new AnsweringDialogs(QString::fromStdString(library),
                                         QString::fromStdString(dir + "/gui"));
    gui::TMainForm form{std::unique_ptr<gui::Dialogs>(dialogs)};
    form.show();
    form.BAddLog->click();

    // A timer that fires as often as the event loop lets it: the longest
    // time between two of its firings is the longest the window went
    // without handling events.
    QElapsedTimer clock;
    qint64 last_tick = 0, longest = 0;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
      const qint64 now = clock.nsecsElapsed();
      longest = std::max(longest, now - last_tick);
      last_tick = now;
    });
    QEventLoop loop;
    QObject::connect(&form, &gui::TMainForm::runEnded, &loop, &QEventLoop::quit);
    clock.start();
    ticker.start();
    QTimer::singleShot(0, &form, [&] { form.BProcess->click(); });
    loop.exec();
    const double seconds = clock.nsecsElapsed() / 1e9;
    ticker.stop();
    window_s.push_back(seconds);
    longest_gap_ms = std::max(longest_gap_ms, longest / 1e6);
    if (dialogs->last != QStringLiteral("Operation complete!")) {
      std::fprintf(stderr, "run failed: %s\n", dialogs->last.toStdString().c_str());
      return 1;
    }

    ::sync();
    const std::string command = std::string("'" EITOOL_BINARY "' extract --kind lib --target '") +
                                dir + "/cli' '" + library + "' 2>/dev/null";
    QElapsedTimer cli_clock;
    cli_clock.start();
    if (std::system(command.c_str()) != 0) return 1;
    cli_s.push_back(cli_clock.nsecsElapsed() / 1e9);
    std::printf("  run %d: window %.3f s (longest gap %.1f ms), eitool %.3f s\n", r + 1, seconds,
                longest / 1e6, cli_s.back());
  }
  fs::remove_all(dir);
  std::printf("\nlongest time without handling events: %.1f ms (target: under 100 ms)\n",
              longest_gap_ms);
  std::printf("median run: window %.3f s, eitool %.3f s: %.2f x (target: within 1.1 x)\n",
              Median(window_s), Median(cli_s), Median(window_s) / Median(cli_s));
  return 0;
}
