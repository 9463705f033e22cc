#include <gtest/gtest.h>

#include "app/dispatch.h"
#include "app/replay.h"
#include "app/run.h"
#include "app/run_state.h"
#include "app/samples.h"
#include "formats/handlers.h"
#include "platform/coding.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "test_support.h"

namespace eitool {
namespace {

using testing::ListDir;
using testing::MarkReadOnly;
using testing::ReadFile;
using testing::RecordingView;
using testing::WriteFile;
using Strings = std::vector<std::string>;

void SetWord(std::string& bytes, std::size_t at, std::uint32_t value) {
  SetU32({reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()}, at, value);
}

std::uint32_t Word(const std::string& bytes, std::size_t at) {
  return GetU32({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, at);
}

// The Offset and Size fields of entry n.
constexpr std::size_t OffsetAt(std::size_t n) { return 128 + 24 * n + 16; }
constexpr std::size_t SizeAt(std::size_t n) { return OffsetAt(n) + 4; }

const Strings kSounds = {"first sound", "", "third, the longest sound of all"};
const Strings kNames = {"one", "two", "three"};

class SoundLibraryTest : public testing::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    ForceDirectories(Path("game"));
    ForceDirectories(Path("x"));
    ForceDirectories(Path("out"));
  }

  // Extracts `libraries` in one run into folder x.
  RunState& Extract(const Strings& libraries) {
    run_ = std::make_unique<RunState>(view_);
    run_->TargetDir = Path("x");
    run_->ListKind = fkLIB;
    run_->ListTag = "LIB";
    run_->LogList = libraries;
    PrepareRun(*run_);
    ExecuteRun(*run_);
    return *run_;
  }

  // Replays the work log `log` with target folder `target`.
  void Insert(const std::string& log, const std::string& target) {
    run_ = std::make_unique<RunState>(view_);
    run_->TargetDir = target;
    run_->ListKind = fkLog;
    run_->LogList = {log};
    ExecuteRun(*run_);
  }

  std::string LibraryPath() const { return Path("game/s.lib"); }

  RecordingView view_;
  std::unique_ptr<RunState> run_;
};

TEST_F(SoundLibraryTest, ExtractsEveryEntryToANumberedWave) {
  std::string library = MakeSoundLibrary(kSounds, kNames);
  // Entry 3 shares entry 0's data; the header gets a fourth entry.
  SetWord(library, 0, 3);
  library.insert(128 + 24 * 3, library.substr(128, 24));
  for (std::size_t n = 0; n < 4; ++n) SetWord(library, OffsetAt(n), Word(library, OffsetAt(n)) + 24);
  WriteFile(LibraryPath(), library);

  Extract({LibraryPath()});
  Strings waves = {"0.wav", "1.wav", "2.wav", "3.wav", "result.log"};
  EXPECT_EQ(ListDir(Path("x")), waves);
  EXPECT_EQ(ReadFile(Path("x/0.wav")), kSounds[0]);
  EXPECT_EQ(ReadFile(Path("x/1.wav")), "");
  EXPECT_EQ(ReadFile(Path("x/2.wav")), kSounds[2]);
  EXPECT_EQ(ReadFile(Path("x/3.wav")), kSounds[0]);
  EXPECT_EQ(ReadFile(Path("x/result.log")),
            "#Format: LIB\r\n#Source: " + LibraryPath() + "\r\n" + Path("x/0.wav") + "\r\n" +
                Path("x/1.wav") + "\r\n" + Path("x/2.wav") + "\r\n" + Path("x/3.wav") + "\r\n");
  EXPECT_EQ(ReadFile(LibraryPath()), library);
}

TEST_F(SoundLibraryTest, EntryCountWrapsAtThirtyTwoBits) {
  // LastIndex 0: one entry. LastIndex 2^32 - 1: none, so no item lines.
  std::string one = MakeSoundLibrary({"only"});
  WriteFile(LibraryPath(), one);
  Extract({LibraryPath()});
  EXPECT_EQ(run_->ResultLines.lines(), (Strings{"#Format: LIB", "#Source: " + LibraryPath(),
                                                Path("x/0.wav")}));
  std::string none = MakeSoundLibrary({});
  EXPECT_EQ(Word(none, 0), 0xFFFFFFFFu);
  WriteFile(Path("game/none.lib"), none);
  Extract({Path("game/none.lib")});
  EXPECT_EQ(run_->ResultLines.lines(), (Strings{"#Format: LIB", "#Source: " + Path("game/none.lib")}));
}

TEST_F(SoundLibraryTest, ExtractingTwiceReplacesTheWaves) {
  WriteFile(LibraryPath(), MakeSoundLibrary(kSounds));
  WriteFile(Path("x/0.wav"), "an older, longer edit of the first sound");
  Extract({LibraryPath()});
  Strings first = run_->ResultLines.lines();
  Extract({LibraryPath()});
  EXPECT_EQ(run_->ResultLines.lines(), first);
  EXPECT_EQ(ReadFile(Path("x/0.wav")), kSounds[0]);
}

TEST_F(SoundLibraryTest, MalformedLibrariesAreRefusedBeforeAnyWaveIsWritten) {
  const std::string good = MakeSoundLibrary(kSounds);
  static const struct {
    const char* name;
    std::function<void(std::string&)> corrupt;
    const char* message;
  } kCases[] = {
      {"no header", [](std::string& b) { b.resize(100); }, "too short for a sound library header"},
      {"directory cut", [](std::string& b) { b.resize(128 + 24 * 2 + 10); },
       "the directory of 3 entries runs past the end of the file"},
      {"count too large", [](std::string& b) { SetWord(b, 0, 1000); },
       "the directory of 1001 entries runs past the end of the file"},
      {"last entry past end", [](std::string& b) { SetWord(b, SizeAt(2), 1000); },
       "entry 2 runs past the end of the file"},
      {"offset past end", [](std::string& b) { SetWord(b, OffsetAt(1), 5000); },
       "entry 1 runs past the end of the file (offset 0x1388, size 0"},
      {"range wraps 32 bits", [](std::string& b) {
         SetWord(b, OffsetAt(0), 0xFFFFFFF0u);
         SetWord(b, SizeAt(0), 0x20);
       },
       "entry 0 runs past the end of the file (offset 0xFFFFFFF0, size 32"},
  };
  for (const auto& c : kCases) {
    std::string bytes = good;
    c.corrupt(bytes);
    WriteFile(LibraryPath(), bytes);
    try {
      Extract({LibraryPath()});
      ADD_FAILURE() << c.name << ": no error";
    } catch (const EDataError& e) {
      std::string text = e.what();
      EXPECT_EQ(text.rfind(LibraryPath() + ": ", 0), 0u) << c.name << ": " << text;
      EXPECT_NE(text.find(c.message), std::string::npos) << c.name << ": " << text;
    }
    EXPECT_EQ(ListDir(Path("x")), Strings{}) << c.name;
    EXPECT_EQ(ReadFile(LibraryPath()), bytes) << c.name;
  }
}

TEST_F(SoundLibraryTest, ReadOnlyWaveEndsTheRunAfterTheEarlierWaves) {
  WriteFile(LibraryPath(), MakeSoundLibrary(kSounds));
  WriteFile(Path("x/1.wav"), "protected");
  MarkReadOnly(Path("x/1.wav"));
  EXPECT_THROW(Extract({LibraryPath()}), EFCreateError);
  EXPECT_EQ(ReadFile(Path("x/0.wav")), kSounds[0]);
  EXPECT_EQ(ReadFile(Path("x/1.wav")), "protected");
  EXPECT_FALSE(FileExists(Path("x/2.wav")));
}

TEST_F(SoundLibraryTest, SeveralLibrariesGetFoldersOfTheirOwn) {
  ForceDirectories(Path("game/other"));
  WriteFile(Path("game/music.lib"), MakeSoundLibrary({"m0", "m1"}));
  WriteFile(Path("game/other/music.lib"), MakeSoundLibrary({"o0"}));
  WriteFile(Path("game/voice.v1.lib"), MakeSoundLibrary({"v0"}));
  Extract({Path("game/music.lib"), Path("game/other/music.lib"), Path("game/voice.v1.lib")});
  EXPECT_EQ(ListDir(Path("x")), (Strings{"music", "music_2", "result.log", "voice.v1"}));
  EXPECT_EQ(ReadFile(Path("x/music/1.wav")), "m1");
  EXPECT_EQ(ReadFile(Path("x/music_2/0.wav")), "o0");
  EXPECT_EQ(ReadFile(Path("x/voice.v1/0.wav")), "v0");
  Strings expected = {"#Format: LIB", "#Source: " + Path("game/music.lib"),
                      Path("x/music/0.wav"), Path("x/music/1.wav"),
                      "#Format: LIB", "#Source: " + Path("game/other/music.lib"),
                      Path("x/music_2/0.wav"),
                      "#Format: LIB", "#Source: " + Path("game/voice.v1.lib"),
                      Path("x/voice.v1/0.wav")};
  EXPECT_EQ(run_->ResultLines.lines(), expected);

  // The log of such a run rebuilds every library, each from its own waves.
  WriteFile(Path("x/music_2/0.wav"), "edited");
  Insert(Path("x/result.log"), Path("out"));
  EXPECT_EQ(ReadFile(Path("out/music.lib")), MakeSoundLibrary({"edited"}))
      << "the second music.lib replaces the first in the target folder";
  EXPECT_EQ(ReadFile(Path("out/voice.v1.lib")), MakeSoundLibrary({"v0"}));
}

TEST_F(SoundLibraryTest, InsertionWithoutEditsRebuildsTheSameBytes) {
  const std::string library = MakeSoundLibrary(kSounds, kNames);
  WriteFile(LibraryPath(), library);
  Extract({LibraryPath()});
  Insert(Path("x/result.log"), Path("out"));
  EXPECT_EQ(ReadFile(Path("out/s.lib")), library);
  EXPECT_EQ(ListDir(Path("out")), Strings{"s.lib"});
}

TEST_F(SoundLibraryTest, EditedWavesReplaceTheirEntriesAndShiftTheRest) {
  const std::string library = MakeSoundLibrary(kSounds, kNames);
  WriteFile(LibraryPath(), library);
  Extract({LibraryPath()});
  static const struct {
    const char* name;
    Strings waves;  // the edited content of 0.wav, 1.wav, 2.wav
  } kCases[] = {
      {"longer first", {"a much longer first sound than before", "", kSounds[2]}},
      {"empty first", {"", "", kSounds[2]}},
      {"filled empty entry", {kSounds[0], "now it has data", kSounds[2]}},
      {"all changed", {"A", "B", "C"}},
  };
  for (const auto& c : kCases) {
    for (std::size_t n = 0; n < 3; ++n) WriteFile(Path("x/" + std::to_string(n) + ".wav"), c.waves[n]);
    Insert(Path("x/result.log"), Path("out"));
    // Same header stamp, names and count; data packed in entry order.
    EXPECT_EQ(ReadFile(Path("out/s.lib")), MakeSoundLibrary(c.waves, kNames)) << c.name;
  }
  EXPECT_EQ(ReadFile(LibraryPath()), library);
}

TEST_F(SoundLibraryTest, ItemLinesThatNameNoFileKeepTheSourceData) {
  // Shared data ranges, item lines that are blank, keywords or missing
  // paths, and a gap before the data: the output keeps each entry's source
  // data, as separate copies packed from DataStart.
  std::string library = MakeSoundLibrary({"AAAA", "BB"}, kNames);
  SetWord(library, 0, 2);
  library.insert(128 + 48, library.substr(128, 24));  // entry 2 = entry 0's range
  SetWord(library, 12, 128 + 72);
  for (std::size_t n = 0; n < 3; ++n) SetWord(library, OffsetAt(n), Word(library, OffsetAt(n)) + 24);
  library += "trailing bytes after the data";
  WriteFile(LibraryPath(), library);
  WriteFile(Path("x/w.log"), "#Format: LIB\r\n#Source: " + LibraryPath() +
                                 "\r\n\r\n#Format: LIB\r\n" + Path("x/none.wav") + "\r\n");
  Insert(Path("x/w.log"), Path("out"));

  std::string expected = library.substr(0, 128 + 72) + "AAAABBAAAA";
  SetWord(expected, OffsetAt(0), 200);
  SetWord(expected, OffsetAt(1), 204);
  SetWord(expected, OffsetAt(2), 206);
  EXPECT_EQ(ReadFile(Path("out/s.lib")), expected);
}

TEST_F(SoundLibraryTest, RelativeItemPathsResolveInTheTargetFolder) {
  WriteFile(LibraryPath(), MakeSoundLibrary({"old"}));
  WriteFile(Path("out/new.wav"), "new");
  WriteFile(Path("x/w.log"), "#Format: LIB\r\n#Source: " + LibraryPath() + "\r\nnew.wav\r\n");
  Insert(Path("x/w.log"), Path("out"));
  EXPECT_EQ(ReadFile(Path("out/s.lib")), MakeSoundLibrary({"new"}));
}

TEST_F(SoundLibraryTest, ReturnsTheLastItemLineSoTheNextLineIsSkipped) {
  WriteFile(LibraryPath(), MakeSoundLibrary({"a", "b"}));
  RunState run(view_);
  run.TargetDir = Path("out");
  WriteFile(Path("x/w.log"), "#Target\r\n#Format: LIB\r\n#Source: " + LibraryPath() +
                                 "\r\ni0\r\ni1\r\n#Target not examined\r\n#Target examined\r\n");
  ReplayLog(run, Path("x/w.log"));
  EXPECT_EQ(run.ReplayLines.Get(5), "#Target not examined");
  EXPECT_EQ(run.ReplayLines.Get(6), "examined");
  // The handler itself: cursor + N.
  run.SourceStream = std::make_unique<FileStream>(LibraryPath(), FileStream::Mode::kOpenReadWrite);
  run.SourcePath = LibraryPath();
  EXPECT_EQ(InsertLIB(run, Path("out/s.lib"), 3), 5);
}

TEST_F(SoundLibraryTest, FaultyInsertionsFailBeforeWritingAnything) {
  const std::string library = MakeSoundLibrary(kSounds);
  const std::string log_head = "#Format: LIB\r\n#Source: " + LibraryPath() + "\r\n";
  const std::string items = "a\r\nb\r\nc\r\n";
  static const struct {
    const char* name;
    std::function<void(std::string& lib, std::string& log)> corrupt;
    const char* message;
  } kCases[] = {
      {"DataStart inside directory", [](std::string& b, std::string&) { SetWord(b, 12, 150); },
       "DataStart (150) lies inside the directory, which ends at 200"},
      {"DataStart past end", [](std::string& b, std::string&) { SetWord(b, 12, 100000); },
       "DataStart (100000) is past the end of the file"},
      {"short log", [](std::string&, std::string& log) { log.resize(log.size() - 3); },
       "The work log ends after 2 of the 3 item lines of "},
      {"range outside", [](std::string& b, std::string&) { SetWord(b, SizeAt(1), 9999); },
       "entry 1 runs past the end of the file"},
      {"directory cut", [](std::string& b, std::string&) { b.resize(150); },
       "the directory of 3 entries runs past the end of the file"},
  };
  for (const auto& c : kCases) {
    std::string bytes = library, log = log_head + items;
    c.corrupt(bytes, log);
    WriteFile(LibraryPath(), bytes);
    WriteFile(Path("x/w.log"), log);
    WriteFile(Path("out/s.lib"), "previous output");
    try {
      Insert(Path("x/w.log"), Path("out"));
      ADD_FAILURE() << c.name << ": no error";
    } catch (const EDataError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.name << ": " << e.what();
      EXPECT_NE(std::string(e.what()).find(LibraryPath()), std::string::npos) << c.name;
    }
    EXPECT_EQ(ListDir(Path("out")), Strings{"s.lib"}) << c.name;
    EXPECT_EQ(ReadFile(Path("out/s.lib")), "previous output") << c.name;
    EXPECT_EQ(ReadFile(LibraryPath()), bytes) << c.name;
  }
}

TEST_F(SoundLibraryTest, InsertingIntoTheSourceFolderLeavesTheSourceAlone) {
  const std::string library = MakeSoundLibrary(kSounds);
  WriteFile(LibraryPath(), library);
  Extract({LibraryPath()});
  WriteFile(Path("x/0.wav"), "edited");
  for (const std::string& target : {Path("game"), Path("x/../game"), Path("game") + "/."}) {
    try {
      Insert(Path("x/result.log"), target);
      ADD_FAILURE() << target << ": no error";
    } catch (const EDataError& e) {
      EXPECT_NE(std::string(e.what()).find("source library itself"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadFile(LibraryPath()), library) << target;
    EXPECT_EQ(ListDir(Path("game")), Strings{"s.lib"}) << target;
  }
  // A hard link to the source is the source as well.
  ASSERT_EQ(::link(LibraryPath().c_str(), Path("out/s.lib").c_str()), 0);
  EXPECT_THROW(Insert(Path("x/result.log"), Path("out")), EDataError);
  EXPECT_EQ(ReadFile(LibraryPath()), library);
}

TEST_F(SoundLibraryTest, ProtectedSourcesAndOutputsAreOpenAndCreateErrors) {
  const std::string library = MakeSoundLibrary(kSounds);
  WriteFile(LibraryPath(), library);
  Extract({LibraryPath()});

  WriteFile(Path("out/s.lib"), "protected output");
  MarkReadOnly(Path("out/s.lib"));
  EXPECT_THROW(Insert(Path("x/result.log"), Path("out")), EFCreateError);
  EXPECT_EQ(ReadFile(Path("out/s.lib")), "protected output");
  EXPECT_EQ(ListDir(Path("out")), Strings{"s.lib"});

  MarkReadOnly(LibraryPath());
  EXPECT_THROW(Insert(Path("x/result.log"), Path("x")), EFOpenError);
  EXPECT_FALSE(FileExists(Path("x/s.lib")));
}

TEST_F(SoundLibraryTest, MissingSourceIsReportedAndWritesNothing) {
  WriteFile(Path("x/w.log"), "#Format: LIB\r\n#Source: " + Path("game/gone.lib") + "\r\nitem\r\n");
  Insert(Path("x/w.log"), Path("out"));
  EXPECT_EQ(view_.results, Strings{SourceNotFoundLine(Path("game/gone.lib"))});
  EXPECT_EQ(ListDir(Path("out")), Strings{});
}

}  // namespace
}  // namespace eitool
