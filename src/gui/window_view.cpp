#include "gui/window_view.h"

namespace eitool::gui {

void WindowView::SetCurrentMessage(const std::string& text) {
  emit currentMessage(QString::fromStdString(text));
}
void WindowView::SetExtractedText(const std::string& text) {
  emit extractedText(QString::fromStdString(text));
}
void WindowView::SetProgress(int position, int max) { emit progress(position, max); }
void WindowView::StepProgress() { emit stepProgress(); }
void WindowView::SetTotal(int position, int max) { emit total(position, max); }
void WindowView::ClearResults() { emit clearResults(); }
void WindowView::AddResult(const std::string& line) { emit addResult(QString::fromStdString(line)); }
void WindowView::FileStarted() { emit fileStarted(); }
void WindowView::FileFinished() { emit fileFinished(); }

}  // namespace eitool::gui
