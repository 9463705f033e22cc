#include "test_support.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace eitool::testing {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << path;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  ASSERT_TRUE(out.good()) << "cannot write " << path;
  out << bytes;
}

void MarkReadOnly(const std::string& path) { ::chmod(path.c_str(), 0444); }

std::vector<std::string> ListDir(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void TempDirTest::SetUp() {
  std::string pattern = (std::filesystem::temp_directory_path() / "eitool-test-XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  dir_ = pattern;
  saved_cwd_ = std::filesystem::current_path().string();
}

void TempDirTest::TearDown() {
  // Runs change the working folder; give the next test the one it had.
  std::filesystem::current_path(saved_cwd_);
  std::error_code ignored;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_, ignored))
    ::chmod(entry.path().c_str(), 0755);
  std::filesystem::remove_all(dir_, ignored);
}

}  // namespace eitool::testing
