#include "gui/main_form.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <deque>
#include <semaphore>

#include "app/dispatch.h"
#include "app/samples.h"
#include "platform/file_system.h"
#include "test_support.h"

namespace eitool::gui {
namespace {

using testing::ReadFile;
using testing::WriteFile;

// Answers the window's dialogs from queues filled by the test, and records
// what the window asked and showed.
class FakeDialogs : public Dialogs {
 public:
  std::optional<OpenResult> OpenFiles(QWidget*, const FileDialogSetup& setup, int filter) override {
    asked_filter = filter;
    open_setup = setup;
    if (on_open) on_open();
    return Next(open_answers);
  }
  std::optional<QString> SaveFile(QWidget*, const FileDialogSetup& setup) override {
    save_setups.push_back(setup);
    return Next(save_answers);
  }
  std::optional<QString> TargetFolder(QWidget*, const QString& start) override {
    folder_starts.push_back(start);
    return Next(folder_answers);
  }
  void Information(QWidget*, const QString& text, const QString& caption) override {
    boxes.emplace_back(caption, text);
  }
  void Error(QWidget*, const QString& text) override { errors.push_back(text); }
  bool Confirm(QWidget*, const QString&, const QString&) override { return Next(confirm_answers); }

  template <typename T>
  static T Next(std::deque<T>& answers) {
    T answer{};
    if (!answers.empty()) {
      answer = std::move(answers.front());
      answers.pop_front();
    }
    return answer;
  }

  std::deque<std::optional<OpenResult>> open_answers;
  std::deque<std::optional<QString>> save_answers, folder_answers;
  std::deque<bool> confirm_answers;
  std::function<void()> on_open;
  int asked_filter = 0;
  FileDialogSetup open_setup;
  std::vector<FileDialogSetup> save_setups;
  QStringList folder_starts;
  std::vector<std::pair<QString, QString>> boxes;  // caption, text
  QStringList errors;
};

class MainFormTest : public testing::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    auto dialogs = std::make_unique<FakeDialogs>();
    dialogs_ = dialogs.get();
    form_ = std::make_unique<TMainForm>(std::move(dialogs));
    form_->show();
  }
  void TearDown() override {
    form_.reset();
    TempDirTest::TearDown();
  }

  // Presses Add and answers the dialog with `files` of file type `filter`
  // (nullopt: cancel).
  void Add(std::optional<QStringList> files, int filter) {
    dialogs_->open_answers.push_back(files ? std::optional<OpenResult>(OpenResult{*files, filter})
                                           : std::nullopt);
    QTest::mouseClick(form_->BAddLog, Qt::LeftButton);
  }
  QStringList Entries() const {
    QStringList entries;
    for (int row = 0; row < form_->LogList->count(); ++row) entries << form_->LogList->item(row)->text();
    return entries;
  }
  // The enabled state of Save list, Remove, Process and Clear all.
  std::vector<bool> Commands() const {
    return {form_->BSaveList->isEnabled(), form_->BRemLog->isEnabled(), form_->BProcess->isEnabled(),
            form_->BClearAll->isEnabled()};
  }
  // Presses Process, answers the folder dialog, and waits for the run.
  void Process(const QString& target) {
    QSignalSpy ended(form_.get(), &TMainForm::runEnded);
    dialogs_->folder_answers.push_back(target);
    QTest::mouseClick(form_->BProcess, Qt::LeftButton);
    if (ended.isEmpty()) {
      ASSERT_TRUE(ended.wait(20000));
    }
  }
  QString Q(const std::string& path) const { return QString::fromStdString(path); }

  FakeDialogs* dialogs_ = nullptr;
  std::unique_ptr<TMainForm> form_;
};

TEST_F(MainFormTest, ComponentsAreWhereTheWindowPutsThem) {
  EXPECT_EQ(form_->windowTitle(), QStringLiteral("Extract\\Insert Tool"));
  EXPECT_EQ(form_->size(), QSize(688, 464));
  EXPECT_EQ(form_->minimumSize(), form_->maximumSize());
  static const struct {
    const char* name;
    QRect geometry;  // relative to the parent (the tool bar, the window, the group box)
  } kCases[] = {
      {"ToolBar1", {0, 0, 688, 26}},   {"LogList", {0, 26, 688, 189}},
      {"Results", {0, 215, 688, 183}}, {"GroupBox1", {0, 398, 688, 66}},
      {"SaveLog", {506, 10, 105, 19}}, {"Stop", {612, 10, 71, 19}},
      {"Progress", {12, 32, 671, 13}}, {"Total", {12, 48, 671, 13}},
  };
  for (const auto& c : kCases) {
    auto* widget = form_->findChild<QWidget*>(c.name);
    ASSERT_NE(widget, nullptr) << c.name;
    EXPECT_EQ(widget->geometry(), c.geometry) << c.name;
  }
  static const struct {
    const char* name;
    int left;
  } kButtons[] = {{"BAddLog", 0}, {"BSaveList", 23}, {"BRemLog", 46},
                  {"BClearAll", 69}, {"BProcess", 92}, {"BExit", 115}};
  for (const auto& b : kButtons)
    EXPECT_EQ(form_->findChild<QToolButton*>(b.name)->x(), b.left + 1) << b.name;
  EXPECT_EQ(form_->CurrentMessage->pos(), QPoint(12, 16));
  EXPECT_EQ(form_->Extracted->pos(), QPoint(334, 14));
  EXPECT_EQ(form_->Extracted->text(), QStringLiteral("Extracted: 0"));
  EXPECT_EQ(form_->CurrentMessage->text(), QString());
  EXPECT_EQ(form_->GroupBox1->title(), QStringLiteral(" Process "));
  EXPECT_EQ(form_->SaveLog->text(), QStringLiteral("Save results"));
  EXPECT_EQ(form_->Stop->text(), QStringLiteral("Stop"));
  EXPECT_FALSE(form_->SaveLog->isEnabled());
  EXPECT_FALSE(form_->Stop->isEnabled());
  EXPECT_EQ(form_->Progress->maximum(), 100);
  EXPECT_EQ(form_->Total->value(), 0);
  EXPECT_EQ(form_->LogList->selectionMode(), QAbstractItemView::ExtendedSelection);
  EXPECT_EQ(form_->Enabled.size(), 6);
  EXPECT_EQ(form_->Disabled.size(), 6);
  EXPECT_EQ(form_->Enabled[0].size(), QSize(16, 16));
  EXPECT_EQ(form_->SelectLog.title, QStringLiteral("Select file..."));
  EXPECT_EQ(form_->SelectLog.filters.size(), 6);
  EXPECT_EQ(form_->SelectLog.filters[3], QStringLiteral("LIB Files (*.lib)"));
  EXPECT_EQ(form_->SaveLST.default_suffix, QStringLiteral("lst"));
  EXPECT_EQ(form_->SaveRes.title, QStringLiteral("Select target..."));
  EXPECT_EQ(form_->SaveRes.filters, QStringList{QStringLiteral("Text files (*.txt)")});
}

TEST_F(MainFormTest, ButtonStatesFollowTheTable) {
  const std::vector<bool> off = {false, false, false, false};
  const std::vector<bool> on = {true, true, true, true};
  EXPECT_EQ(Commands(), off) << "window created";
  EXPECT_TRUE(form_->BAddLog->isEnabled());
  EXPECT_TRUE(form_->BExit->isEnabled());

  // Add pressed: the three go off before the dialog shows; Clear all stays.
  Add(QStringList{Q(Path("a.lib"))}, 4);
  EXPECT_EQ(Commands(), on) << "Add ends with entries";
  std::vector<bool> while_open;
  dialogs_->on_open = [&] { while_open = Commands(); };
  Add(std::nullopt, 4);
  EXPECT_EQ(while_open, (std::vector<bool>{false, false, false, true})) << "Add pressed";
  EXPECT_EQ(Commands(), on) << "Add cancelled with entries";

  // Remove leaving entries changes nothing; emptying the list turns all off.
  Add(QStringList{Q(Path("b.lib"))}, 4);
  form_->LogList->item(0)->setSelected(true);
  QTest::mouseClick(form_->BRemLog, Qt::LeftButton);
  EXPECT_EQ(Commands(), on) << "Remove leaves entries";
  form_->LogList->selectAll();
  QTest::mouseClick(form_->BRemLog, Qt::LeftButton);
  EXPECT_EQ(Commands(), off) << "Remove empties the list";

  // Add ending with an empty list leaves Clear all as it was.
  Add(std::nullopt, 4);
  EXPECT_EQ(Commands(), off) << "Add ends, list empty";
  Add(QStringList{Q(Path("a.lib"))}, 4);
  QTest::mouseClick(form_->BClearAll, Qt::LeftButton);
  EXPECT_EQ(Commands(), off) << "Clear all";

  // Save list, Stop and a cancelled Process leave them alone.
  Add(QStringList{Q(Path("a.lib"))}, 4);
  dialogs_->save_answers.push_back(std::nullopt);
  QTest::mouseClick(form_->BSaveList, Qt::LeftButton);
  EXPECT_EQ(Commands(), on) << "Save list";
  form_->StopClick();
  EXPECT_EQ(Commands(), on) << "Stop";
}

TEST_F(MainFormTest, AddKeepsOneKindAndProjectListsReplaceTheList) {
  Add(QStringList{Q(Path("a.lib")), Q(Path("b.lib"))}, 4);
  Add(QStringList{Q(Path("a.lib"))}, 4);
  EXPECT_EQ(Entries(), (QStringList{Q(Path("a.lib")), Q(Path("b.lib")), Q(Path("a.lib"))}));
  EXPECT_EQ(form_->ListKind, fkLIB);
  EXPECT_EQ(dialogs_->asked_filter, 4) << "the dialog starts at the last file type";

  Add(QStringList{Q(Path("d.trc"))}, 1);
  EXPECT_EQ(Entries(), QStringList{Q(Path("d.trc"))}) << "another kind starts a new list";
  EXPECT_EQ(form_->ListKind, fkTRC);

  WriteFile(Path("p.lst"), "one.log\r\n\r\ntwo.log\r\n");
  WriteFile(Path("q.lst"), "three.log\n");
  Add(QStringList{Q(Path("p.lst")), Q(Path("q.lst"))}, 5);
  EXPECT_EQ(Entries(), (QStringList{"one.log", "", "two.log"})) << "first list only, blanks kept";
  EXPECT_EQ(form_->ListKind, fkList);
  Add(QStringList{Q(Path("q.lst"))}, 5);
  EXPECT_EQ(Entries(), QStringList{"three.log"}) << "a list replaces a list";

  WriteFile(Path("empty.lst"), "");
  Add(QStringList{Q(Path("empty.lst"))}, 5);
  EXPECT_TRUE(Entries().isEmpty());
  EXPECT_EQ(Commands(), (std::vector<bool>{false, false, false, true}));

  Add(QStringList{Q(Path("w.log"))}, 6);
  EXPECT_EQ(form_->ListKind, fkLog);
  QTest::mouseClick(form_->BClearAll, Qt::LeftButton);
  Add(QStringList{Q(Path("x.log"))}, 6);
  EXPECT_EQ(Entries(), QStringList{Q(Path("x.log"))});
  EXPECT_EQ(form_->ListKind, fkLog);

  Add(QStringList{Q(Path("missing.lst"))}, 5);
  ASSERT_EQ(dialogs_->errors.size(), 1u);
  EXPECT_TRUE(dialogs_->errors[0].startsWith("Cannot open file " + Q(Path("missing.lst"))));
}

TEST_F(MainFormTest, RemoveDeletesEverySelectedEntry) {
  Add(QStringList{"a", "b", "c", "d", "e"}, 6);
  form_->LogList->item(1)->setSelected(true);
  form_->LogList->item(2)->setSelected(true);
  form_->LogList->item(4)->setSelected(true);
  QTest::mouseClick(form_->BRemLog, Qt::LeftButton);
  QStringList names;
  for (const QString& entry : Entries()) names << entry.section('/', -1);
  EXPECT_EQ(names, (QStringList{"a", "d"}));
  EXPECT_EQ(form_->LogList->currentRow(), 1);
}

TEST_F(MainFormTest, SavedListIsReadBackByAdd) {
  Add(QStringList{Q(Path("one.log")), Q(Path("two words.log"))}, 6);
  dialogs_->save_answers.push_back(Q(Path("saved.lst")));
  QTest::mouseClick(form_->BSaveList, Qt::LeftButton);
  EXPECT_EQ(ReadFile(Path("saved.lst")), Path("one.log") + "\r\n" + Path("two words.log") + "\r\n");
  EXPECT_EQ(dialogs_->save_setups.back().title, QStringLiteral("Select file..."));
  const QStringList before = Entries();
  Add(QStringList{Q(Path("saved.lst"))}, 5);
  EXPECT_EQ(Entries(), before);
}

TEST_F(MainFormTest, ExtractionAndReplayRunThroughTheWindow) {
  WriteSamples(Path("samples"));
  const std::string library = ReadFile(Path("samples/sounds.lib"));
  Add(QStringList{Q(Path("samples/sounds.lib"))}, 4);
  Process(Q(Path("work")));
  ASSERT_EQ(dialogs_->boxes.size(), 1u);
  EXPECT_EQ(dialogs_->boxes[0], std::make_pair(QStringLiteral("Process status:"),
                                               QStringLiteral("Operation complete!")));
  EXPECT_TRUE(dialogs_->errors.isEmpty()) << dialogs_->errors.join("\n").toStdString();
  EXPECT_EQ(ReadFile(Path("work/result.log")).rfind("#Format: LIB\r\n#Source: " +
                                                        Path("samples/sounds.lib") + "\r\n", 0), 0u);
  EXPECT_EQ(form_->Extracted->text(), QString());
  EXPECT_EQ(form_->Total->value(), 0);
  EXPECT_EQ(form_->CurrentMessage->text(), QString());
  EXPECT_FALSE(form_->Stop->isEnabled());
  EXPECT_EQ(Commands(), (std::vector<bool>{true, true, true, true})) << "restored after the run";
  EXPECT_EQ(GetCurrentDir(), Path("work"));
  EXPECT_EQ(dialogs_->folder_starts.front(), Q(saved_cwd_));

  // Replay the log into another folder: the library comes back as it was.
  Add(QStringList{Q(Path("work/result.log"))}, 6);
  Process(Q(Path("rebuilt")));
  EXPECT_EQ(dialogs_->folder_starts.back(), Q(Path("work"))) << "starts at the last target";
  EXPECT_EQ(ReadFile(Path("rebuilt/sounds.lib")), library);
  EXPECT_FALSE(FileExists(Path("rebuilt/result.log")));
  EXPECT_EQ(form_->run_state().ReplayKind, fkLIB);

  // A source that is gone is reported in the results pane; Save results
  // then becomes available and writes the pane as RTF.
  WriteFile(Path("gone.log"), "#Format: LIB\r\n#Source: " + Path("gone.lib") + "\r\n");
  Add(QStringList{Q(Path("gone.log"))}, 6);
  Process(Q(Path("rebuilt")));
  EXPECT_EQ(form_->Results->toPlainText(), QString::fromStdString("Source file not found: " + Path("gone.lib")));
  EXPECT_TRUE(form_->SaveLog->isEnabled());
  dialogs_->save_answers.push_back(std::nullopt);
  QTest::mouseClick(form_->SaveLog, Qt::LeftButton);
  EXPECT_TRUE(form_->SaveLog->isEnabled()) << "cancelled";
  dialogs_->save_answers.push_back(Q(Path("results.txt")));
  QTest::mouseClick(form_->SaveLog, Qt::LeftButton);
  EXPECT_FALSE(form_->SaveLog->isEnabled());
  EXPECT_EQ(dialogs_->boxes.back(), std::make_pair(QStringLiteral("Operation status"),
                                                   QStringLiteral("results.txt")));
  EXPECT_EQ(ReadFile(Path("results.txt")).rfind("{\\rtf1\\ansi", 0), 0u);
}

TEST_F(MainFormTest, CancelledFolderDialogStillReportsCompletion) {
  form_->BProcessClick();  // an empty list: no dialog, no box
  EXPECT_TRUE(dialogs_->folder_starts.isEmpty());
  EXPECT_TRUE(dialogs_->boxes.empty());

  Add(QStringList{Q(Path("a.lib"))}, 4);
  form_->Results->setPlainText("old");
  QSignalSpy ended(form_.get(), &TMainForm::runEnded);
  dialogs_->folder_answers.push_back(std::nullopt);
  QTest::mouseClick(form_->BProcess, Qt::LeftButton);
  EXPECT_EQ(ended.size(), 1);
  EXPECT_EQ(form_->Results->toPlainText(), QString());
  EXPECT_EQ(dialogs_->boxes.back().second, QStringLiteral("Operation complete!"));
  EXPECT_EQ(form_->Extracted->text(), QStringLiteral("Extracted: 0"));
}

TEST_F(MainFormTest, FailedRunShowsTheErrorAndWritesNoLog) {
  Add(QStringList{Q(Path("missing.lib"))}, 4);
  Process(Q(Path("work")));
  ASSERT_EQ(dialogs_->errors.size(), 1u);
  EXPECT_TRUE(dialogs_->errors[0].startsWith("Cannot open file " + Q(Path("missing.lib"))));
  EXPECT_TRUE(dialogs_->boxes.empty());
  EXPECT_FALSE(FileExists(Path("work/result.log")));
  EXPECT_TRUE(form_->BProcess->isEnabled());
}

// Holds the first listed file at its start until the test lets it go.
class HeldRun {
 public:
  explicit HeldRun(TMainForm& form) {
    form.OnProcessFile = [this](RunState& run, TFormatKind kind, const std::string& path) {
      if (first_) {
        first_ = false;
        run.view.FileStarted();
        started_.release();
        proceed_.acquire();
      }
      DispatchFile(run, kind, path);
    };
  }
  // Waits (letting the window work) until the first file has started.
  void WaitForStart() {
    while (!started_.try_acquire()) QTest::qWait(5);
    QTest::qWait(20);  // the window shows what the run reported
  }
  void Release() { proceed_.release(); }

 private:
  bool first_ = true;
  std::binary_semaphore started_{0}, proceed_{0};
};

TEST_F(MainFormTest, StopEndsTheRunAfterTheFileUnderWay) {
  WriteSamples(Path("samples"));
  Add(QStringList{Q(Path("samples/sounds.lib")), Q(Path("samples/sounds.lib"))}, 4);
  HeldRun held(*form_);
  QSignalSpy ended(form_.get(), &TMainForm::runEnded);
  dialogs_->folder_answers.push_back(Q(Path("work")));
  QTest::mouseClick(form_->BProcess, Qt::LeftButton);
  held.WaitForStart();
  EXPECT_TRUE(form_->running());
  EXPECT_EQ(Commands(), (std::vector<bool>{false, false, false, false})) << "held during the run";
  EXPECT_FALSE(form_->BAddLog->isEnabled());
  EXPECT_TRUE(form_->BExit->isEnabled());
  ASSERT_TRUE(form_->Stop->isEnabled());
  QTest::mouseClick(form_->Stop, Qt::LeftButton);
  EXPECT_FALSE(form_->Stop->isEnabled());
  held.Release();
  ASSERT_TRUE(ended.wait(20000));
  EXPECT_EQ(dialogs_->boxes.back().second, QStringLiteral("Operation stopped."));
  // The file under way was finished and logged; the second was not started.
  EXPECT_TRUE(FileExists(Path("work/sounds/3.wav")));
  EXPECT_FALSE(FileExists(Path("work/sounds_2")));
  const std::string log = ReadFile(Path("work/result.log"));
  EXPECT_EQ(log.find("#Source:", log.find("#Source:") + 1), std::string::npos);
  EXPECT_EQ(Commands(), (std::vector<bool>{true, true, true, true}));
}

TEST_F(MainFormTest, ExitDuringARunAsksAndStopsIt) {
  WriteSamples(Path("samples"));
  Add(QStringList{Q(Path("samples/sounds.lib")), Q(Path("samples/sounds.lib"))}, 4);
  HeldRun held(*form_);
  dialogs_->folder_answers.push_back(Q(Path("work")));
  QTest::mouseClick(form_->BProcess, Qt::LeftButton);
  held.WaitForStart();
  dialogs_->confirm_answers = {false, true};
  QTest::mouseClick(form_->BExit, Qt::LeftButton);
  EXPECT_TRUE(form_->isVisible()) << "not confirmed";
  QTest::mouseClick(form_->BExit, Qt::LeftButton);
  held.Release();
  for (int i = 0; i < 2000 && form_->isVisible(); ++i) QTest::qWait(10);
  EXPECT_FALSE(form_->isVisible());
  EXPECT_FALSE(form_->running());
  EXPECT_FALSE(FileExists(Path("work/sounds_2")));
}

}  // namespace
}  // namespace eitool::gui
