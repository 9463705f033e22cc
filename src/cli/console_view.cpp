#include "cli/console_view.h"

#include <ostream>

namespace eitool::cli {

ConsoleView::ConsoleView(std::ostream& results, std::ostream& status, bool show_progress)
    : results_(results), status_(status), show_progress_(show_progress) {}

ConsoleView::~ConsoleView() { EndProgress(); }

void ConsoleView::SetCurrentMessage(const std::string& text) {
  if (text == message_) return;
  message_ = text;
  Redraw();
}

void ConsoleView::SetTotal(int position, int max) {
  int percent = max > 0 ? position * 100 / max : 0;
  if (percent == total_) return;
  total_ = percent;
  Redraw();
}

void ConsoleView::AddResult(const std::string& line) {
  EndProgress();
  results_ << line << '\n' << std::flush;
  ++result_count_;
  Redraw();
}

void ConsoleView::Redraw() {
  if (!show_progress_ || message_.empty()) return;
  status_ << "\r\033[K[" << (total_ < 10 ? "  " : total_ < 100 ? " " : "") << total_ << "%] "
          << message_ << std::flush;
  drawn_ = true;
}

void ConsoleView::EndProgress() {
  if (!drawn_) return;
  status_ << "\r\033[K" << std::flush;
  drawn_ = false;
}

}  // namespace eitool::cli
