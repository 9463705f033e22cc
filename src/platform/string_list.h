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

// Reads the lines of a text in order, by the rules above, as views into it.
class LineReader {
 public:
  explicit LineReader(std::string_view text);
  // Stores the next line and returns true, or returns false at the end.
  bool Next(std::string_view& line);
  // The text as read: up to its first NUL.
  std::string_view text() const { return text_; }

 private:
  std::string_view text_;
  std::size_t start_ = 0;
  // The next CR and LF, each found once with memchr and kept until passed,
  // so that the text is scanned once.
  std::size_t next_cr_ = 0, next_lf_ = 0;
};

// Splits `text` by the rules above into views of it, appended to `lines`.
void SplitLines(std::string_view text, std::vector<std::string_view>& lines);

// Reads a whole file into memory; raises EFOpenError (naming the file as
// `shown` when given) or EReadError.
std::string ReadWholeFile(const std::string& path, const std::string& shown = "");

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
  void LoadFromFile(const std::string& path, const std::string& shown = "");
  void SaveToFile(const std::string& path) const;

  const std::vector<std::string>& lines() const { return lines_; }

 private:
  void Check(std::int64_t index) const;
  std::vector<std::string> lines_;
};

}  // namespace eitool
