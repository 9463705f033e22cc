#include "platform/string_list.h"

#include <algorithm>

#include "platform/errors.h"
#include "platform/file_stream.h"

namespace eitool {
namespace {

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

void StringList::Check(std::int64_t index) const {
  if (index < 0 || index >= Count()) throw EListError(index);
}

const std::string& StringList::Get(std::int64_t index) const {
  Check(index);
  return lines_[static_cast<std::size_t>(index)];
}

void StringList::Put(std::int64_t index, std::string line) {
  Check(index);
  lines_[static_cast<std::size_t>(index)] = std::move(line);
}

void StringList::Delete(std::int64_t index) {
  Check(index);
  lines_.erase(lines_.begin() + index);
}

std::int64_t StringList::IndexOf(std::string_view line) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const std::string& candidate = lines_[i];
    if (candidate.size() == line.size() &&
        std::equal(candidate.begin(), candidate.end(), line.begin(),
                   [](char a, char b) { return FoldAscii(a) == FoldAscii(b); }))
      return static_cast<std::int64_t>(i);
  }
  return -1;
}

void SplitLines(std::string_view text, std::vector<std::string_view>& lines) {
  std::string_view::size_type nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  std::string_view::size_type start = 0;
  while (start < text.size()) {
    std::string_view::size_type end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
}

std::string ReadWholeFile(const std::string& path) {
  FileStream file(path, FileStream::Mode::kOpenRead);
  std::string text(static_cast<std::size_t>(file.Size()), '\0');
  file.Read(text.data(), text.size());
  return text;
}

void StringList::SetText(std::string_view text) {
  std::vector<std::string_view> views;
  SplitLines(text, views);
  lines_.assign(views.begin(), views.end());
}

std::string StringList::Text() const {
  std::string text;
  for (const std::string& line : lines_) {
    text += line;
    text += "\r\n";
  }
  return text;
}

void StringList::LoadFromFile(const std::string& path) { SetText(ReadWholeFile(path)); }

void StringList::SaveToFile(const std::string& path) const {
  FileStream file(path, FileStream::Mode::kCreate);
  file.Write(Text());
}

}  // namespace eitool
