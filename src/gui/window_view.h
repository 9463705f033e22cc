// The bridge between a run on the worker thread and the window: every
// RunView call becomes a signal, delivered in order on the window's thread.
// Stop requests travel the other way through an atomic flag.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>

#include "app/run_view.h"

namespace eitool::gui {

class WindowView : public QObject, public RunView {
  Q_OBJECT

 public:
  using QObject::QObject;

  void SetCurrentMessage(const std::string& text) override;
  void SetExtractedText(const std::string& text) override;
  void SetProgress(int position, int max) override;
  void StepProgress() override;
  void SetTotal(int position, int max) override;
  void ClearResults() override;
  void AddResult(const std::string& line) override;
  void FileStarted() override;
  void FileFinished() override;
  bool StopRequested() override { return stop_.load(); }

  void RequestStop() { stop_.store(true); }
  void ResetStop() { stop_.store(false); }

 signals:
  void currentMessage(const QString& text);
  void extractedText(const QString& text);
  void progress(int position, int max);
  void stepProgress();
  void total(int position, int max);
  void clearResults();
  void addResult(const QString& line);
  void fileStarted();
  void fileFinished();

 private:
  std::atomic<bool> stop_{false};
};

}  // namespace eitool::gui
