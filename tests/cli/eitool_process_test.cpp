// Drives the eitool program as a process: what users and scripts see.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "app/samples.h"
#include "platform/coding.h"
#include "test_support.h"

namespace eitool {
namespace {

using testing::ReadFile;
using testing::WriteFile;

struct Result {
  int status;
  std::string out, err;
};

class EitoolProcessTest : public testing::TempDirTest {
 protected:
  // Runs eitool with `args` (shell words) from the test's folder.
  Result Eitool(const std::string& args) {
    std::string command = "cd '" + dir_ + "' && '" EITOOL_BINARY "' " + args + " >'" +
                          Path("stdout") + "' 2>'" + Path("stderr") + "' </dev/null";
    int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(Path("stdout")),
            ReadFile(Path("stderr"))};
  }
};

std::string LastLine(const std::string& text) {
  std::string trimmed = text.substr(0, text.find_last_not_of('\n') + 1);
  return trimmed.substr(trimmed.find_last_of('\n') + 1);
}

std::uint32_t Word(const std::string& bytes, std::size_t at) {
  return GetU32({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, at);
}

TEST_F(EitoolProcessTest, SamplesExtractEditInsertRoundTrip) {
  Result samples = Eitool("samples samples");
  ASSERT_EQ(samples.status, 0) << samples.err;
  EXPECT_EQ(samples.out.rfind(Path("samples/sounds.lib") + "\n", 0), 0u) << samples.out;
  const std::string original = ReadFile(Path("samples/sounds.lib"));
  ASSERT_GT(original.size(), 128u);
  ASSERT_EQ(original.substr(Word(original, 128 + 16), 4), "RIFF");

  Result extract = Eitool("extract --kind lib --target work samples/sounds.lib");
  ASSERT_EQ(extract.status, 0) << extract.err;
  EXPECT_EQ(extract.out, "");
  EXPECT_EQ(LastLine(extract.err), "Operation complete!");
  const std::uint32_t count = Word(original, 0) + 1;
  std::string log = "#Format: LIB\r\n#Source: " + Path("samples/sounds.lib") + "\r\n";
  for (std::uint32_t n = 0; n < count; ++n) log += Path("work/" + std::to_string(n) + ".wav") + "\r\n";
  EXPECT_EQ(ReadFile(Path("work/result.log")), log);

  // Edit one wave: a different, longer sound.
  const std::string edited = MakeTone(523, 300);
  WriteFile(Path("work/1.wav"), edited);
  Result insert = Eitool("insert --target rebuilt work/result.log");
  ASSERT_EQ(insert.status, 0) << insert.err;
  EXPECT_EQ(insert.out, "");
  EXPECT_EQ(LastLine(insert.err), "Operation complete!");

  // Expected: the original's leading part with the directory rewritten, then
  // the data packed in entry order from DataStart.
  const std::uint32_t data_start = Word(original, 12);
  std::string expected = original.substr(0, data_start);
  std::string data;
  for (std::uint32_t n = 0; n < count; ++n) {
    std::string sound = n == 1 ? edited
                               : original.substr(Word(original, 128 + 24 * n + 16),
                                                 Word(original, 128 + 24 * n + 20));
    std::string fields;
    PutU32(fields, data_start + static_cast<std::uint32_t>(data.size()));
    PutU32(fields, static_cast<std::uint32_t>(sound.size()));
    expected.replace(128 + 24 * n + 16, 8, fields);
    data += sound;
  }
  EXPECT_EQ(ReadFile(Path("rebuilt/sounds.lib")), expected + data);
  EXPECT_EQ(ReadFile(Path("samples/sounds.lib")), original);
}

TEST_F(EitoolProcessTest, SampleTextsRoundTrip) {
  ASSERT_EQ(Eitool("samples samples").status, 0);
  const std::string game = ReadFile(Path("samples/game.dat"));
  Result extract = Eitool("extract --kind trc --target work samples/texts.trc");
  ASSERT_EQ(extract.status, 0) << extract.err;
  EXPECT_EQ(ReadFile(Path("work/result.log")),
            "#Format: TRC\r\n#Source: " + Path("samples/texts.trc") + "\r\n");
  const std::string dump = ReadFile(Path("work/texts.txt"));
  ASSERT_NE(dump.find("[00000001]\r\nContinue\r\n[########]"), std::string::npos) << dump;

  // Unedited, the game file comes back byte for byte.
  Result same = Eitool("insert --target work work/result.log");
  ASSERT_EQ(same.status, 0) << same.err;
  EXPECT_EQ(same.out, "");
  EXPECT_EQ(ReadFile(Path("samples/game.dat")), game);

  // Edited, the new text is read back by the next extraction.
  std::string edited = dump;
  edited.replace(edited.find("Continue"), 8, "Resume the journey");
  WriteFile(Path("work/texts.txt"), edited);
  ASSERT_EQ(Eitool("insert --target work work/result.log").status, 0);
  ASSERT_EQ(Eitool("extract --kind trc --target again samples/texts.trc").status, 0);
  EXPECT_EQ(ReadFile(Path("again/texts.txt")), edited);

  // Too long: reported on stdout, the game file untouched.
  const std::string before = ReadFile(Path("samples/game.dat"));
  edited.replace(edited.find("Options"), 7, std::string(2000, 'O'));
  WriteFile(Path("work/texts.txt"), edited);
  Result too_long = Eitool("insert --target work work/result.log");
  EXPECT_EQ(too_long.status, 0);
  EXPECT_EQ(too_long.out.rfind("Block 0 greater by ", 0), 0u) << too_long.out;
  EXPECT_EQ(ReadFile(Path("samples/game.dat")), before);
}

TEST_F(EitoolProcessTest, ResultsGoToStdoutAndErrorsEndWithStatusOne) {
  WriteFile(Path("w.log"), "#Format: LIB\r\n#Source: gone.lib\r\n");
  WriteFile(Path("p.lst"), Path("w.log") + "\r\n");
  Result replay = Eitool("insert --target t --list p.lst");
  EXPECT_EQ(replay.status, 0) << replay.err;
  EXPECT_EQ(replay.out, "Source file not found: gone.lib\n");
  EXPECT_EQ(LastLine(replay.err), "Operation complete!");

  Result missing = Eitool("extract --kind lib --target t nothere.lib");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "eitool: Cannot open file " + Path("nothere.lib") +
                             " (No such file or directory)\n");

  Result usage = Eitool("extract --kind lib");
  EXPECT_EQ(usage.status, 2);
  EXPECT_NE(usage.err.find("Usage:"), std::string::npos);
}

}  // namespace
}  // namespace eitool
