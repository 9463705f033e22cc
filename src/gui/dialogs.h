// Every dialog and message box the window shows goes through Dialogs, so
// that tests can answer them. QtDialogs shows the real ones.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace eitool::gui {

// A file dialog as the window describes it.
struct FileDialogSetup {
  QString title;
  QStringList filters;     // "Text files (*.txt)", ...
  QString default_suffix;  // appended to a name typed without one ("" for none)
};

struct OpenResult {
  QStringList files;  // full paths, in the order the dialog returns them
  int filter = 1;     // the file type chosen, 1-based
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Several existing files; starts with file type `filter` (1-based).
  virtual std::optional<OpenResult> OpenFiles(QWidget* parent, const FileDialogSetup& setup,
                                              int filter) = 0;
  // One file to write; asks before an existing file is replaced.
  virtual std::optional<QString> SaveFile(QWidget* parent, const FileDialogSetup& setup) = 0;
  // A target folder, starting at `start`. A folder that does not exist yet
  // is returned only after the user agreed to create it (the caller
  // creates it).
  virtual std::optional<QString> TargetFolder(QWidget* parent, const QString& start) = 0;
  virtual void Information(QWidget* parent, const QString& text, const QString& caption) = 0;
  virtual void Error(QWidget* parent, const QString& text) = 0;
  virtual bool Confirm(QWidget* parent, const QString& text, const QString& caption) = 0;
};

class QtDialogs : public Dialogs {
 public:
  std::optional<OpenResult> OpenFiles(QWidget* parent, const FileDialogSetup& setup,
                                      int filter) override;
  std::optional<QString> SaveFile(QWidget* parent, const FileDialogSetup& setup) override;
  std::optional<QString> TargetFolder(QWidget* parent, const QString& start) override;
  void Information(QWidget* parent, const QString& text, const QString& caption) override;
  void Error(QWidget* parent, const QString& text) override;
  bool Confirm(QWidget* parent, const QString& text, const QString& caption) override;
};

}  // namespace eitool::gui
