#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <sstream>

namespace eitool::cli {
namespace {

using Args = std::vector<std::string>;
using Verb = Command::Verb;

TEST(CommandLineTest, AcceptsTheDocumentedForms) {
  static const struct {
    Args args;
    Verb verb;
    TFormatKind kind;
    const char* target;
    const char* palette;
    const char* list;
    Args files;
  } kCases[] = {
      {{"extract", "--kind", "lib", "--target", "out", "a.lib", "b.lib"},
       Verb::kExtract, fkLIB, "out", "", "", {"a.lib", "b.lib"}},
      {{"extract", "--kind=trc", "--target=out", "--palette", "p.act", "d.trc"},
       Verb::kExtract, fkTRC, "out", "p.act", "", {"d.trc"}},
      {{"--target", "t", "extract", "x.gft", "--kind", "gft"}, Verb::kExtract, fkGFT, "t", "", "",
       {"x.gft"}},
      {{"extract", "--kind", "txf", "--target", "t", "--", "--odd.txf"}, Verb::kExtract, fkTXF,
       "t", "", "", {"--odd.txf"}},
      {{"insert", "--target", "t", "a.log", "b.log"}, Verb::kInsert, 0, "t", "", "",
       {"a.log", "b.log"}},
      {{"insert", "--target", "t", "--list", "p.lst"}, Verb::kInsert, 0, "t", "", "p.lst", {}},
      {{"samples", "dir"}, Verb::kSamples, 0, "dir", "", "", {}},
      {{"--version"}, Verb::kVersion, 0, "", "", "", {}},
      {{"extract", "--help"}, Verb::kHelp, 0, "", "", "", {}},
  };
  for (const auto& c : kCases) {
    std::string shown;
    for (const auto& a : c.args) shown += a + " ";
    Command command = ParseCommandLine(c.args);
    EXPECT_EQ(command.verb, c.verb) << shown;
    EXPECT_EQ(command.kind, c.kind) << shown;
    EXPECT_EQ(command.target, c.target) << shown;
    EXPECT_EQ(command.palette, c.palette) << shown;
    EXPECT_EQ(command.list, c.list) << shown;
    EXPECT_EQ(command.files, c.files) << shown;
  }
}

TEST(CommandLineTest, RefusesWrongUsageWithExitTwo) {
  static const struct {
    Args args;
    const char* says;
  } kCases[] = {
      {{}, "no command"},
      {{"unpack", "x"}, "unknown command"},
      {{"extract", "--target", "t", "a.lib"}, "needs --kind"},
      {{"extract", "--kind", "wav", "--target", "t", "a"}, "unknown kind 'wav'"},
      {{"extract", "--kind", "lib", "a.lib"}, "needs --target"},
      {{"extract", "--kind", "lib", "--target", "t"}, "at least one file"},
      {{"extract", "--kind", "lib", "--target"}, "needs a value"},
      {{"extract", "--kind", "lib", "--target=", "a"}, "needs a value"},
      {{"extract", "--kind", "lib", "--kind", "trc", "--target", "t", "a"}, "given twice"},
      {{"insert", "--target", "t"}, "needs a work log"},
      {{"insert", "--target", "t", "--list", "p.lst", "a.log"}, "not both"},
      {{"insert", "--kind", "lib", "--target", "t", "a.log"}, "--kind belongs to extract"},
      {{"samples"}, "exactly one folder"},
      {{"samples", "a", "b"}, "exactly one folder"},
      {{"extract", "--force", "x"}, "unknown option --force"},
  };
  for (const auto& c : kCases) {
    std::string shown;
    for (const auto& a : c.args) shown += a + " ";
    std::ostringstream out, err;
    EXPECT_EQ(Main(c.args, out, err, false), 2) << shown;
    EXPECT_EQ(out.str(), "") << shown;
    EXPECT_NE(err.str().find(c.says), std::string::npos) << shown << "\n" << err.str();
    EXPECT_NE(err.str().find("Usage: eitool"), std::string::npos) << shown;
  }
}

TEST(CommandLineTest, HelpAndVersionGoToStandardOutput) {
  std::ostringstream out, err;
  EXPECT_EQ(Main({"--help"}, out, err, false), 0);
  EXPECT_NE(out.str().find("Usage: eitool extract"), std::string::npos);
  std::ostringstream out2, err2;
  EXPECT_EQ(Main({"--version"}, out2, err2, false), 0);
  EXPECT_EQ(out2.str().rfind("eitool ", 0), 0u);
  EXPECT_EQ(err.str() + err2.str(), "");
}

}  // namespace
}  // namespace eitool::cli
