#include "platform/paths.h"

#include <gtest/gtest.h>

namespace eitool {
namespace {

TEST(PathsTest, FileNameIsThePartAfterTheLastDelimiter) {
  static const struct {
    const char* path;
    const char* name;
  } kCases[] = {
      {"/a/b/c.lib", "c.lib"},  {"c:\\x\\y.log", "y.log"}, {"a/b\\c", "c"},
      {"plain", "plain"},       {"dir/", ""},              {"", ""},
      {"/a/ b.lib", " b.lib"},
  };
  for (const auto& c : kCases) EXPECT_EQ(FileNameOf(c.path), c.name) << c.path;
}

TEST(PathsTest, ChangeFileExtReplacesFromTheLastDotOfTheName) {
  static const struct {
    const char* path;
    const char* ext;
    const char* result;
  } kCases[] = {
      {"a.trc", ".txt", "a.txt"},
      {"a.b.trc", ".txt", "a.b.txt"},
      {"noext", ".txt", "noext.txt"},
      {"dir.d/noext", ".txt", "dir.d/noext.txt"},
      {"x.lib", "", "x"},
      {".lib", "", ""},
  };
  for (const auto& c : kCases) EXPECT_EQ(ChangeFileExt(c.path, c.ext), c.result) << c.path;
}

TEST(PathsTest, JoinAndResolve) {
  EXPECT_EQ(JoinPath("/t", "0.wav"), "/t/0.wav");
  EXPECT_EQ(JoinPath("/t/", "0.wav"), "/t//0.wav");  // no test for a trailing separator
  EXPECT_EQ(ResolvePath("/t", "a/b"), "/t/a/b");
  EXPECT_EQ(ResolvePath("/t", "/abs"), "/abs");
  EXPECT_EQ(ResolvePath("/t", ""), "");
  EXPECT_EQ(ResolvePath("/t", " x"), "/t/ x");
}

}  // namespace
}  // namespace eitool
