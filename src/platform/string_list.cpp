#include "platform/string_list.h"

#include <algorithm>
#include <cstring>

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
  // The next CR and the next LF are each found by memchr and remembered
  // until passed, so the text is scanned once (find_first_of with a set of
  // two would look the set up for every byte).
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  auto next = [end](const char* from, char c) {
    const void* found = std::memchr(from, c, static_cast<std::size_t>(end - from));
    return found ? static_cast<const char*>(found) : end;
  };
  const char* next_cr = next(begin, '\r');
  const char* next_lf = next(begin, '\n');
  const char* start = begin;
  while (start < end) {
    if (next_cr < start) next_cr = next(start, '\r');
    if (next_lf < start) next_lf = next(start, '\n');
    const char* stop = std::min(next_cr, next_lf);
    lines.emplace_back(start, static_cast<std::size_t>(stop - start));
    if (stop == end) break;
    start = stop + 1;
    if (*stop == '\r' && start < end && *start == '\n') ++start;
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
