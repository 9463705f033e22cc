// An ordered list of text lines, loaded from and saved to line files.
// Reading: CR LF, LF and CR each end a line, a NUL byte ends the text, and a
// last line without a break still counts. Saving: CR LF after every line,
// the last included; an empty list saves as an empty file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace eitool {

// Splits `text` by the rules above into views of it, appended to `lines`.
void SplitLines(std::string_view text, std::vector<std::string_view>& lines);

// Reads a whole file into memory; raises EFOpenError or EReadError.
std::string ReadWholeFile(const std::string& path);

class StringList {
 public:
  std::int64_t Count() const { return static_cast<std::int64_t>(lines_.size()); }
  bool Empty() const { return lines_.empty(); }

  // Get, Put and Delete raise EListError for an index outside 0..Count-1.
  const std::string& Get(std::int64_t index) const;
  void Put(std::int64_t index, std::string line);
  void Delete(std::int64_t index);
  void Add(std::string line) { lines_.push_back(std::move(line)); }
  void Clear() { lines_.clear(); }

  // Index of the first line equal to `line` ignoring ASCII case, or -1.
  std::int64_t IndexOf(std::string_view line) const;

  void SetText(std::string_view text);
  std::string Text() const;

  // Raise EFOpenError / EFCreateError, EReadError / EWriteError.
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path) const;

  const std::vector<std::string>& lines() const { return lines_; }

 private:
  void Check(std::int64_t index) const;
  std::vector<std::string> lines_;
};

}  // namespace eitool
