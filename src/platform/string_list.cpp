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

LineReader::LineReader(std::string_view text) : text_(text.substr(0, text.find('\0'))) {
  next_cr_ = std::min(text_.find('\r'), text_.size());
  next_lf_ = std::min(text_.find('\n'), text_.size());
}

bool LineReader::Next(std::string_view& line) {
  const std::size_t size = text_.size();
  if (start_ >= size) return false;
  auto next = [&](char c) {
    const void* found = std::memchr(text_.data() + start_, c, size - start_);
    return found ? static_cast<std::size_t>(static_cast<const char*>(found) - text_.data()) : size;
  };
  if (next_cr_ < start_) next_cr_ = next('\r');
  if (next_lf_ < start_) next_lf_ = next('\n');
  const std::size_t stop = std::min(next_cr_, next_lf_);
  line = text_.substr(start_, stop - start_);
  start_ = stop + 1;
  if (stop < size && text_[stop] == '\r' && start_ < size && text_[start_] == '\n') ++start_;
  return true;
}

void SplitLines(std::string_view text, std::vector<std::string_view>& lines) {
  LineReader reader(text);
  std::string_view line;
  while (reader.Next(line)) lines.push_back(line);
}

std::string ReadWholeFile(const std::string& path, const std::string& shown) {
  FileStream file(path, FileStream::Mode::kOpenRead, shown);
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

void StringList::LoadFromFile(const std::string& path, const std::string& shown) {
  SetText(ReadWholeFile(path, shown));
}

void StringList::SaveToFile(const std::string& path) const {
  FileStream file(path, FileStream::Mode::kCreate);
  file.Write(Text());
}

}  // namespace eitool
