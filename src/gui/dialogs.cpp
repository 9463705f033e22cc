#include "gui/dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace eitool::gui {
namespace {

// The target folder of a run: typed, or chosen with Browse; a folder that
// does not exist yet is accepted once the user agrees to create it.
class TargetFolderDialog : public QDialog {
 public:
  TargetFolderDialog(QWidget* parent, const QString& start) : QDialog(parent) {
    setWindowTitle(tr("Select target folder"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Folder that receives the results of the run:")));
    auto* row = new QHBoxLayout;
    path_ = new QLineEdit(QDir::toNativeSeparators(start));
    path_->setMinimumWidth(380);
    auto* browse = new QPushButton(tr("Browse..."));
    row->addWidget(path_);
    row->addWidget(browse);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    connect(browse, &QPushButton::clicked, this, [this] {
      QString chosen = QFileDialog::getExistingDirectory(this, windowTitle(), path_->text());
      if (!chosen.isEmpty()) path_->setText(QDir::toNativeSeparators(chosen));
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &TargetFolderDialog::Check);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  }

  QString folder() const { return QDir::cleanPath(QDir::fromNativeSeparators(path_->text().trimmed())); }

 private:
  void Check() {
    const QString chosen = folder();
    if (chosen.isEmpty()) return;
    QFileInfo info(chosen);
    if (info.exists() && !info.isDir()) {
      QMessageBox::warning(this, windowTitle(), tr("%1\nis a file, not a folder.").arg(chosen));
      return;
    }
    if (!info.exists() &&
        QMessageBox::question(this, windowTitle(),
                              tr("The folder %1 does not exist.\nCreate it?").arg(chosen)) !=
            QMessageBox::Yes)
      return;
    accept();
  }

  QLineEdit* path_;
};

}  // namespace

std::optional<OpenResult> QtDialogs::OpenFiles(QWidget* parent, const FileDialogSetup& setup,
                                               int filter) {
  QFileDialog dialog(parent, setup.title);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setNameFilters(setup.filters);
  if (filter >= 1 && filter <= setup.filters.size()) dialog.selectNameFilter(setup.filters[filter - 1]);
  dialog.setDirectory(QDir::currentPath());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return OpenResult{dialog.selectedFiles(),
                    static_cast<int>(setup.filters.indexOf(dialog.selectedNameFilter())) + 1};
}

std::optional<QString> QtDialogs::SaveFile(QWidget* parent, const FileDialogSetup& setup) {
  QFileDialog dialog(parent, setup.title);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(setup.filters);
  dialog.setDefaultSuffix(setup.default_suffix);
  dialog.setDirectory(QDir::currentPath());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first();
}

std::optional<QString> QtDialogs::TargetFolder(QWidget* parent, const QString& start) {
  TargetFolderDialog dialog(parent, start);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.folder();
}

void QtDialogs::Information(QWidget* parent, const QString& text, const QString& caption) {
  QMessageBox::information(parent, caption, text);
}

void QtDialogs::Error(QWidget* parent, const QString& text) {
  QMessageBox::critical(parent, QStringLiteral("Extract\\Insert Tool"), text);
}

bool QtDialogs::Confirm(QWidget* parent, const QString& text, const QString& caption) {
  return QMessageBox::question(parent, caption, text) == QMessageBox::Yes;
}

}  // namespace eitool::gui
