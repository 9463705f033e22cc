// What a run shows while it works. The window and the command line each
// implement this; the core calls nothing else of theirs. Every method has
// a do-nothing default so that a view overrides only what it shows.
#pragma once

#include <string>

namespace eitool {

class RunView {
 public:
  virtual ~RunView() = default;

  // The status label.
  virtual void SetCurrentMessage(const std::string& text) { (void)text; }
  // The "Extracted" label.
  virtual void SetExtractedText(const std::string& text) { (void)text; }

  // The per-file bar, range 0..max.
  virtual void SetProgress(int position, int max) { (void)position, (void)max; }
  // Advances the per-file bar by one; it stays at its maximum once full.
  virtual void StepProgress() {}
  // The whole-run bar, range 0..max.
  virtual void SetTotal(int position, int max) { (void)position, (void)max; }

  // The results pane.
  virtual void ClearResults() {}
  virtual void AddResult(const std::string& line) { (void)line; }

  // Around the handling of one listed file (the window switches its Stop
  // and Save results buttons here). FileFinished is not called when the
  // handler fails.
  virtual void FileStarted() {}
  virtual void FileFinished() {}

  // Lets the front end handle what is pending (repaint, button presses).
  virtual void ProcessMessages() {}
  // True once the user has asked the run to stop.
  virtual bool StopRequested() { return false; }
};

}  // namespace eitool
