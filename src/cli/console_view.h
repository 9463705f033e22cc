// Shows a run on a terminal: results-pane lines on one stream, and, when
// asked for, a one-line progress display on the other.
#pragma once

#include <iosfwd>
#include <string>

#include "app/run_view.h"

namespace eitool::cli {

class ConsoleView : public RunView {
 public:
  ConsoleView(std::ostream& results, std::ostream& status, bool show_progress);
  ~ConsoleView() override;

  void SetCurrentMessage(const std::string& text) override;
  void SetTotal(int position, int max) override;
  void AddResult(const std::string& line) override;

  int result_count() const { return result_count_; }
  // Clears the progress line so that what follows starts on a clean line.
  void EndProgress();

 private:
  void Redraw();

  std::ostream& results_;
  std::ostream& status_;
  bool show_progress_;
  bool drawn_ = false;
  std::string message_;
  int total_ = 0;
  int result_count_ = 0;
};

}  // namespace eitool::cli
