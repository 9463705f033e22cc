#include "gui/main_form.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QThread>
#include <QToolButton>

#include "app/dispatch.h"
#include "gui/glyphs.h"
#include "gui/rtf_writer.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/string_list.h"

namespace eitool::gui {
namespace {

constexpr int kClientWidth = 688;
constexpr int kClientHeight = 464;
constexpr int kToolBarHeight = 26;
constexpr int kListHeight = 189;
constexpr int kGroupHeight = 66;

std::string ToStd(const QString& text) { return text.toStdString(); }
QString ToQ(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TMainForm::TMainForm(std::unique_ptr<Dialogs> dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtDialogs>()) {
  FormCreate();
}

TMainForm::~TMainForm() { FormDestroy(); }

void TMainForm::FormCreate() {
  BuildComponents();
  OnProcessFile = DispatchFile;
  run_ = std::make_unique<RunState>(view_);
  ConnectView();
}

void TMainForm::FormDestroy() {
  if (worker_ != nullptr) {
    view_.RequestStop();
    worker_->wait();
  }
  run_.reset();
}

void TMainForm::BuildComponents() {
  setWindowTitle(kCaption);
  setFixedSize(kClientWidth, kClientHeight);
  setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
  setWindowIcon(QIcon(MakeGlyphs(false)[3]));

  Enabled = MakeGlyphs(false);
  Disabled = MakeGlyphs(true);

  ToolBar1 = new QFrame(this);
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setFrameShape(QFrame::Box);
  ToolBar1->setFrameShadow(QFrame::Sunken);
  ToolBar1->setGeometry(0, 0, kClientWidth, kToolBarHeight);
  auto tool = [this](const char* name, int left, int image, bool enabled) {
    auto* button = new QToolButton(ToolBar1);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    QIcon icon;
    icon.addPixmap(Enabled[image], QIcon::Normal);
    icon.addPixmap(Disabled[image], QIcon::Disabled);
    button->setIcon(icon);
    button->setIconSize(QSize(16, 16));
    button->setGeometry(left + 1, 2, 23, 22);
    button->setEnabled(enabled);
    return button;
  };
  BAddLog = tool("BAddLog", 0, 0, true);
  BSaveList = tool("BSaveList", 23, 1, false);
  BRemLog = tool("BRemLog", 46, 2, false);
  BClearAll = tool("BClearAll", 69, 5, false);
  BProcess = tool("BProcess", 92, 3, false);
  BExit = tool("BExit", 115, 4, true);

  LogList = new QListWidget(this);
  LogList->setObjectName("LogList");
  LogList->setGeometry(0, kToolBarHeight, kClientWidth, kListHeight);
  LogList->setSelectionMode(QAbstractItemView::ExtendedSelection);

  Results = new QTextEdit(this);
  Results->setObjectName("Results");
  Results->setGeometry(0, kToolBarHeight + kListHeight, kClientWidth,
                       kClientHeight - kToolBarHeight - kListHeight - kGroupHeight);
  Results->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Results->setAcceptRichText(false);

  GroupBox1 = new QGroupBox(QStringLiteral(" Process "), this);
  GroupBox1->setObjectName("GroupBox1");
  GroupBox1->setGeometry(0, kClientHeight - kGroupHeight, kClientWidth, kGroupHeight);
  // The caption sits on the frame's top line, which leaves the whole box
  // to the controls placed in it.
  GroupBox1->setStyleSheet(QStringLiteral(
      "QGroupBox#GroupBox1 { border: 1px solid palette(mid); margin-top: 6px; }"
      "QGroupBox#GroupBox1::title { subcontrol-origin: margin; left: 8px; top: 0px; }"));
  CurrentMessage = new QLabel(GroupBox1);
  CurrentMessage->setObjectName("CurrentMessage");
  CurrentMessage->setGeometry(12, 16, 316, 14);
  Extracted = new QLabel(QStringLiteral("Extracted: 0"), GroupBox1);
  Extracted->setObjectName("Extracted");
  Extracted->setGeometry(334, 14, 168, 14);
  SaveLog = new QPushButton(QStringLiteral("Save results"), GroupBox1);
  SaveLog->setObjectName("SaveLog");
  SaveLog->setFlat(true);
  SaveLog->setGeometry(506, 10, 105, 19);
  SaveLog->setEnabled(false);
  Stop = new QPushButton(QStringLiteral("Stop"), GroupBox1);
  Stop->setObjectName("Stop");
  Stop->setFlat(true);
  Stop->setGeometry(612, 10, 71, 19);
  Stop->setEnabled(false);
  auto bar = [this](const char* name, int top) {
    auto* progress = new QProgressBar(GroupBox1);
    progress->setObjectName(name);
    progress->setGeometry(12, top, 671, 13);
    progress->setRange(0, 100);
    progress->setValue(0);
    progress->setTextVisible(false);
    return progress;
  };
  Progress = bar("Progress", 32);
  Total = bar("Total", 48);

  SelectLog = {QStringLiteral("Select file..."),
               {QStringLiteral("Text resource files (*.trc)"), QStringLiteral("Mono Fonts (*.gft)"),
                QStringLiteral("Alpha Fonts (*.txf *.tfd)"), QStringLiteral("LIB Files (*.lib)"),
                QStringLiteral("Project list files (*.lst)"), QStringLiteral("Log files (*.log)")},
               QString()};
  SaveLST = {QStringLiteral("Select file..."), {QStringLiteral("Project list files (*.lst)")},
             QStringLiteral("lst")};
  SaveRes = {QStringLiteral("Select target..."), {QStringLiteral("Text files (*.txt)")},
             QStringLiteral("txt")};

  connect(BAddLog, &QToolButton::clicked, this, &TMainForm::BAddLogClick);
  connect(BRemLog, &QToolButton::clicked, this, &TMainForm::BRemLogClick);
  connect(BClearAll, &QToolButton::clicked, this, &TMainForm::BClearAllClick);
  connect(BSaveList, &QToolButton::clicked, this, &TMainForm::BSaveListClick);
  connect(BProcess, &QToolButton::clicked, this, &TMainForm::BProcessClick);
  connect(BExit, &QToolButton::clicked, this, &TMainForm::BExitClick);
  connect(Stop, &QPushButton::clicked, this, &TMainForm::StopClick);
  connect(SaveLog, &QPushButton::clicked, this, &TMainForm::SaveLogClick);
}

void TMainForm::ConnectView() {
  connect(&view_, &WindowView::currentMessage, CurrentMessage, &QLabel::setText);
  connect(&view_, &WindowView::extractedText, Extracted, &QLabel::setText);
  connect(&view_, &WindowView::progress, this, [this](int position, int max) {
    Progress->setRange(0, max);
    Progress->setValue(position);
  });
  connect(&view_, &WindowView::stepProgress, this, [this] {
    if (Progress->value() < Progress->maximum()) Progress->setValue(Progress->value() + 1);
  });
  connect(&view_, &WindowView::total, this, [this](int position, int max) {
    Total->setRange(0, max);
    Total->setValue(position);
  });
  connect(&view_, &WindowView::clearResults, Results, &QTextEdit::clear);
  connect(&view_, &WindowView::addResult, Results, &QTextEdit::append);
  connect(&view_, &WindowView::fileStarted, this, [this] {
    Results->setFocus();
    SaveLog->setEnabled(false);
    Stop->setEnabled(true);
  });
  connect(&view_, &WindowView::fileFinished, this, [this] {
    Stop->setEnabled(false);
    if (!Results->toPlainText().isEmpty()) SaveLog->setEnabled(true);
  });
}

void TMainForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!centred_ && screen() != nullptr) {
    centred_ = true;
    move(screen()->availableGeometry().center() - rect().center());
  }
}

void TMainForm::Guarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& error) {
    dialogs_->Error(this, ToQ(error.what()));
  }
}

void TMainForm::SetListCommands(bool on) {
  BRemLog->setEnabled(on);
  BProcess->setEnabled(on);
  BSaveList->setEnabled(on);
}

void TMainForm::BAddLogClick() {
  SetListCommands(false);
  Guarded([this] {
    if (std::optional<OpenResult> chosen = dialogs_->OpenFiles(this, SelectLog, filter_)) {
      filter_ = std::clamp(chosen->filter, 1, kFilterCount);
      const TFormatKind kind = KindByFilter[filter_ - 1];
      if (kind != ListKind) LogList->clear();
      ListKind = kind;
      run_->ListTag = std::string(FormatTags[filter_ - 1]);
      if (kind == fkList) {
        LogList->clear();
        if (!chosen->files.isEmpty()) {
          StringList lines;
          lines.LoadFromFile(ToStd(chosen->files.first()));
          for (const std::string& line : lines.lines()) LogList->addItem(ToQ(line));
        }
      } else {
        for (const QString& file : chosen->files) LogList->addItem(QDir::toNativeSeparators(file));
      }
    }
  });
  if (LogList->count() > 0) {
    BClearAll->setEnabled(true);
    SetListCommands(true);
  }
}

void TMainForm::BRemLogClick() {
  for (int row = LogList->count() - 1; row >= 0; --row)
    if (LogList->item(row)->isSelected()) delete LogList->takeItem(row);
  if (LogList->count() > 0) {
    LogList->setCurrentRow(LogList->count() - 1, QItemSelectionModel::NoUpdate);
  } else {
    BClearAll->setEnabled(false);
    SetListCommands(false);
    LogList->setCurrentRow(-1, QItemSelectionModel::NoUpdate);
  }
}

void TMainForm::BClearAllClick() {
  LogList->clear();
  BClearAll->setEnabled(false);
  SetListCommands(false);
}

void TMainForm::BSaveListClick() {
  Guarded([this] {
    if (std::optional<QString> file = dialogs_->SaveFile(this, SaveLST)) {
      StringList lines;
      for (int row = 0; row < LogList->count(); ++row) lines.Add(ToStd(LogList->item(row)->text()));
      lines.SaveToFile(ToStd(*file));
    }
  });
}

void TMainForm::BExitClick() { close(); }

void TMainForm::closeEvent(QCloseEvent* event) {
  if (worker_ == nullptr) {
    event->accept();
    return;
  }
  event->ignore();
  if (close_after_run_ ||
      !dialogs_->Confirm(this, QStringLiteral("A run is in progress. Stop it and exit?"), kCaption))
    return;
  close_after_run_ = true;
  view_.RequestStop();
}

void TMainForm::StopClick() {
  Stop->setEnabled(false);
  view_.RequestStop();
}

void TMainForm::SaveLogClick() {
  Guarded([this] {
    std::optional<QString> file = dialogs_->SaveFile(this, SaveRes);
    if (!file) return;
    QFile out(*file);
    const QByteArray rtf = PlainTextToRtf(Results->toPlainText());
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) throw EFCreateError(ToStd(*file));
    if (out.write(rtf) != rtf.size() || !out.flush()) throw EWriteError(ToStd(out.errorString()));
    out.close();
    dialogs_->Information(this, ToQ(FileNameOf(ToStd(*file))), QStringLiteral("Operation status"));
    SaveLog->setEnabled(false);
  });
}

void TMainForm::BProcessClick() {
  if (LogList->count() == 0 || worker_ != nullptr) return;
  PrepareRun(*run_);
  run_->TargetDir = GetCurrentDir();
  std::optional<QString> folder = dialogs_->TargetFolder(this, ToQ(run_->TargetDir));
  if (!folder) {
    dialogs_->Information(this, QString::fromUtf8(kCompletedMessage),
                          QStringLiteral("Process status:"));
    emit runEnded();
    return;
  }
  try {
    ForceDirectories(ToStd(*folder));
  } catch (const std::exception& error) {
    dialogs_->Error(this, ToQ(error.what()));
    return;
  }
  run_->TargetDir = ToStd(*folder);
  run_->LogList.clear();
  for (int row = 0; row < LogList->count(); ++row) run_->LogList.push_back(ToStd(LogList->item(row)->text()));
  run_->ListKind = ListKind;
  run_->OnProcessFile = OnProcessFile;

  const auto held = HeldDuringRun();
  for (std::size_t i = 0; i < held.size(); ++i) {
    saved_states_[i] = held[i]->isEnabled();
    held[i]->setEnabled(false);
  }
  view_.ResetStop();
  run_error_ = nullptr;
  worker_ = QThread::create([this] {
    try {
      run_outcome_ = ExecuteRun(*run_);
    } catch (...) {
      run_error_ = std::current_exception();
    }
  });
  connect(worker_, &QThread::finished, this, &TMainForm::RunFinished);
  worker_->start();
}

std::array<QWidget*, 5> TMainForm::HeldDuringRun() const {
  return {BRemLog, BProcess, BSaveList, BClearAll, BAddLog};
}

void TMainForm::RunFinished() {
  worker_->wait();
  worker_->deleteLater();
  worker_ = nullptr;
  const auto held = HeldDuringRun();
  for (std::size_t i = 0; i < held.size(); ++i) held[i]->setEnabled(saved_states_[i]);
  if (close_after_run_) {
    close();
    return;
  }
  if (run_error_) {
    try {
      std::rethrow_exception(run_error_);
    } catch (const std::exception& error) {
      dialogs_->Error(this, ToQ(error.what()));
    }
  } else {
    dialogs_->Information(this,
                          QString::fromUtf8(run_outcome_ == RunOutcome::kCompleted ? kCompletedMessage
                                                                                   : kStoppedMessage),
                          QStringLiteral("Process status:"));
  }
  emit runEnded();
}

}  // namespace eitool::gui
