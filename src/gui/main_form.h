// The main window: the file list, the Process run with its labels and bars,
// and the results pane. Every run goes through the core on a worker thread;
// the window only shows what the run reports and answers the user.
#pragma once

#include <QList>
#include <array>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

#include "app/format_kind.h"
#include "app/run.h"
#include "app/run_state.h"
#include "gui/dialogs.h"
#include "gui/window_view.h"

class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTextEdit;
class QThread;
class QToolButton;

namespace eitool::gui {

inline const QString kCaption = QStringLiteral("Extract\\Insert Tool");

class TMainForm : public QWidget {
  Q_OBJECT

 public:
  // `dialogs` answers every dialog and box; null means the real ones.
  explicit TMainForm(std::unique_ptr<Dialogs> dialogs = nullptr, QWidget* parent = nullptr);
  ~TMainForm() override;

  // The components, named as the window's users and tests know them.
  QFrame* ToolBar1;
  QList<QPixmap> Enabled;
  QList<QPixmap> Disabled;
  QToolButton* BAddLog;
  QToolButton* BRemLog;
  QToolButton* BProcess;
  QToolButton* BExit;
  QListWidget* LogList;
  FileDialogSetup SelectLog;
  FileDialogSetup SaveLST;
  QToolButton* BSaveList;
  QTextEdit* Results;
  QGroupBox* GroupBox1;
  QProgressBar* Progress;
  QLabel* CurrentMessage;
  QPushButton* Stop;
  QPushButton* SaveLog;
  FileDialogSetup SaveRes;
  QLabel* Extracted;
  QProgressBar* Total;
  QToolButton* BClearAll;

  // The per-file step of a run (DispatchFile).
  std::function<void(RunState&, TFormatKind, const std::string&)> OnProcessFile;
  TFormatKind ListKind = 0;

  // The run state the window owns for its life: the work log of the last
  // run (ResultLines), the last replayed log (ReplayLines), ReplayKind, ...
  const RunState& run_state() const { return *run_; }
  bool running() const { return worker_ != nullptr; }

 public slots:
  void BAddLogClick();
  void BRemLogClick();
  void BClearAllClick();
  void BSaveListClick();
  void BProcessClick();
  void BExitClick();
  void StopClick();
  void SaveLogClick();

 signals:
  // After a run has ended and its message box was answered.
  void runEnded();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void FormCreate();
  void FormDestroy();
  void BuildComponents();
  void ConnectView();
  void SetListCommands(bool on);
  void RunFinished();
  // The commands that wait while a run reads the list (Exit stays).
  std::array<QWidget*, 5> HeldDuringRun() const;
  // Runs `action`, showing a failure in the error box.
  void Guarded(const std::function<void()>& action);

  std::unique_ptr<Dialogs> dialogs_;
  WindowView view_;
  std::unique_ptr<RunState> run_;
  int filter_ = 1;  // the Add dialog's file type, 1..6
  QThread* worker_ = nullptr;
  std::exception_ptr run_error_;
  RunOutcome run_outcome_ = RunOutcome::kCompleted;
  std::array<bool, 5> saved_states_{};
  bool close_after_run_ = false;
  bool centred_ = false;
};

}  // namespace eitool::gui
