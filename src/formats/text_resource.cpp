// Text resources. A description (*.trc, read through the sectioned text
// store) names blocks Block#0, Block#1, ... until the first missing one:
//
//   Source=game file           Table offset=0x...   Table limit=0x...
//   Target=edited dump         Data begin=0x...     Data limit=0x...
//   Align=0x...
//
// The pointer table holds (limit - offset) / 4 little-endian slots; the low
// 24 bits of a slot are the file offset of a NUL-terminated text (0: none),
// the high byte is 0x10 once written back. The dump lists, per slot with a
// text, "[%08X]" (the slot's index), the text, and "[########]", each line
// ended by CR LF.

#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

#include "app/run_state.h"
#include "formats/handlers.h"
#include "platform/coding.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "support/uini.h"

namespace eitool {
namespace {

constexpr std::uint32_t kOffsetBits = 0xFFFFFF;
constexpr std::uint32_t kWrittenTag = 0x10000000;
constexpr std::size_t kTextWindow = 4096;
constexpr std::uint64_t kAddressable = 0x1000000;  // what 24-bit offsets reach
constexpr std::string_view kTerminator = "[########]";

std::string SectionName(std::uint32_t n) { return "Block#" + std::to_string(n); }

// "[" + the index as 8 upper-case hexadecimal digits + "]".
std::string HeaderLine(std::uint32_t index) {
  std::string line = "[00000000]";
  for (int i = 8; i >= 1; --i, index >>= 4) line[i] = "0123456789ABCDEF"[index & 0xF];
  return line;
}

// The results-pane line for block n: "Block 2 greater by 300 bytes."
std::string BlockLine(std::uint32_t n, const std::string& says) {
  return "Block " + std::to_string(n) + " " + says + ".";
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A number as the descriptions write them: "0x" and hexadecimal digits of
// either case; what follows the last digit is ignored. False when the value
// does not start that way or does not fit 32 bits.
bool ParseNumber(std::string_view value, std::uint32_t& number) {
  if (value.size() < 3 || value[0] != '0' || value[1] != 'x' || HexDigit(value[2]) < 0)
    return false;
  std::uint64_t result = 0;
  for (std::size_t i = 2; i < value.size() && HexDigit(value[i]) >= 0; ++i) {
    result = result * 16 + static_cast<std::uint64_t>(HexDigit(value[i]));
    if (result > 0xFFFFFFFFu) return false;
  }
  number = static_cast<std::uint32_t>(result);
  return true;
}

// Reads the numeric keys of a block in the order given. Every key is read
// before any is judged, so a section without its end line fails the same
// way whichever value is bad. Returns what is wrong, or "".
std::string ReadNumbers(const Uini& ini, const std::string& section,
                        std::initializer_list<std::pair<const char*, std::uint32_t*>> keys) {
  std::vector<std::string> values;
  for (const auto& key : keys) values.push_back(ini.IniReadValue(section, key.first));
  std::size_t i = 0;
  for (const auto& key : keys) {
    if (!ParseNumber(values[i++], *key.second))
      return std::string("has no valid ") + key.first + " (a number like 0x1A0 expected)";
  }
  return "";
}

// Sets the per-file bar to a percentage, letting the front end catch up
// each time the percentage changes.
class ProgressMeter {
 public:
  explicit ProgressMeter(RunView& view) : view_(view) { view_.SetProgress(0, 100); }
  void Show(std::uint64_t done, std::uint64_t count) {
    int percent = static_cast<int>(done * 100 / count);
    if (percent == shown_) return;
    shown_ = percent;
    view_.SetProgress(percent, 100);
    view_.ProcessMessages();
  }

 private:
  RunView& view_;
  int shown_ = 0;
};

std::vector<std::uint32_t> ReadTable(FileStream& game, std::uint32_t offset, std::uint32_t count) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count) * 4);
  game.Seek(offset);
  game.Read(bytes.data(), bytes.size());
  std::vector<std::uint32_t> table(count);
  for (std::size_t k = 0; k < count; ++k) table[k] = GetU32(bytes, 4 * k);
  return table;
}

// An edited dump as lines, kept as views into one buffer so that memory
// stays near the file's size.
struct Dump {
  std::unique_ptr<char[]> text;  // not zeroed first: the file fills it
  std::vector<std::string_view> lines;

  std::string_view Line(std::size_t i) const {
    if (i >= lines.size()) throw EListError(static_cast<std::int64_t>(i));
    return lines[i];
  }
};

Dump LoadDump(const std::string& path) {
  FileStream file(path, FileStream::Mode::kOpenRead);
  const auto size = static_cast<std::size_t>(file.Size());
  Dump dump;
  dump.text.reset(new char[size]);
  file.Read(dump.text.get(), size);
  SplitLines({dump.text.get(), size}, dump.lines);
  return dump;
}

// The size the block's texts need by the size check: every entry counted
// from a line containing "[000" to its terminator, its lines joined by LF,
// plus a NUL, rounded up to a multiple of `align`. A stray terminator
// counts as an empty entry. An entry with text lines but no terminator at
// the end of the dump raises EListError.
std::uint64_t CheckedSize(const Dump& dump, std::uint32_t align) {
  std::uint64_t total = 0, length = 0;
  bool in_entry = false;
  for (std::size_t i = 0; i < dump.lines.size(); ++i) {
    std::string_view line = dump.lines[i];
    if (line == kTerminator) {
      total += (length + 1 + align - 1) / align * align;
      length = 0;
      in_entry = false;
    }
    if (in_entry) {
      length += line.size();
      if (dump.Line(i + 1) != kTerminator) ++length;
    }
    if (line.find("[000") != std::string_view::npos) in_entry = true;
  }
  return total;
}

// True for a header line "[" + 8 hexadecimal digits (either case) + "]";
// stores the index it names.
bool ParseHeader(std::string_view line, std::uint32_t& index) {
  if (line.size() != 10 || line.front() != '[' || line.back() != ']') return false;
  std::uint32_t value = 0;
  for (char c : line.substr(1, 8)) {
    if (HexDigit(c) < 0) return false;
    value = value * 16 + static_cast<std::uint32_t>(HexDigit(c));
  }
  index = value;
  return true;
}

// The line of each table entry's first header, whatever the case of its
// digits; headers of indexes beyond the table are of no use to the writer.
class HeaderIndex {
 public:
  HeaderIndex(const Dump& dump, std::size_t count) : first_(count, -1) {
    std::uint32_t index = 0;
    for (std::size_t i = 0; i < dump.lines.size(); ++i)
      if (ParseHeader(dump.lines[i], index) && index < count && first_[index] < 0)
        first_[index] = static_cast<std::int64_t>(i);
  }
  // The line of entry `index`'s first header, or -1.
  std::int64_t Find(std::uint32_t index) const { return first_[index]; }

 private:
  std::vector<std::int64_t> first_;
};

// One block of a description, with its keys read and checked.
struct Block {
  std::string source, target;
  std::uint32_t table_offset = 0, table_limit = 0, data_begin = 0, data_limit = 0, align = 0;
  std::uint32_t count() const { return (table_limit - table_offset) >> 2; }
};

// Builds a block's new data area and table in memory. Returns what keeps
// the block from being written, or "" when `area` and `table` are ready.
std::string LayOutBlock(const Block& block, const Dump& dump, ProgressMeter& progress,
                        std::vector<std::uint32_t>& table, std::string& area) {
  const HeaderIndex headers(dump, table.size());
  const std::uint64_t space = block.data_limit - block.data_begin;
  area.assign(static_cast<std::size_t>(space), '\0');
  std::uint64_t used = 0;
  for (std::uint32_t k = 0; k < table.size(); ++k) {
    progress.Show(k, table.size());
    if (table[k] == 0) continue;
    std::int64_t header = headers.Find(k);
    if (header < 0) {
      // A slot whose offset bits are 0 had no text when it was extracted.
      if ((table[k] & kOffsetBits) == 0) continue;
      return "misses entry " + HeaderLine(k) + " in its dump " + block.target;
    }
    // The entry's lines run to its terminator; reaching another header or
    // the end of the dump first means the terminator is missing.
    std::size_t end = static_cast<std::size_t>(header) + 1;
    std::uint32_t other = 0;
    while (end < dump.lines.size() && dump.lines[end] != kTerminator &&
           !ParseHeader(dump.lines[end], other))
      ++end;
    if (end == dump.lines.size() || dump.lines[end] != kTerminator)
      return "has no terminator line after entry " + HeaderLine(k) + " in its dump " + block.target;

    // The record: the entry's lines joined by LF, a NUL, zeros up to a
    // multiple of 4. Records that would pass the area are only counted.
    std::uint64_t length = 0;
    for (std::size_t i = static_cast<std::size_t>(header) + 1; i < end; ++i)
      length += dump.lines[i].size() + (i + 1 < end ? 1 : 0);
    const std::uint64_t record = (length + 1 + 3) / 4 * 4;
    if (used + record <= space) {
      char* at = area.data() + used;
      for (std::size_t i = static_cast<std::size_t>(header) + 1; i < end; ++i) {
        at = std::copy(dump.lines[i].begin(), dump.lines[i].end(), at);
        if (i + 1 < end) *at++ = '\n';
      }
    }
    table[k] = static_cast<std::uint32_t>(block.data_begin + used) | kWrittenTag;
    used += record;
  }
  if (used > space) return "greater by " + std::to_string(used - space) + " bytes";
  return "";
}

}  // namespace

void ExtractTRC(RunState& run, const std::string& path) {
  Uini& ini = run.Ini;
  ini.IniOpen(run.Resolve(path));
  run.view.SetCurrentMessage("Processing " + FileNameOf(path) + "...");
  ProgressMeter progress(run.view);
  std::string dump;

  for (std::uint32_t n = 0; ini.IniSectionExists(SectionName(n)); ++n) {
    const std::string section = SectionName(n);
    Block block;
    block.source = ini.IniReadValue(section, "Source");
    std::string problem = ReadNumbers(ini, section, {{"Table offset", &block.table_offset},
                                                     {"Table limit", &block.table_limit}});
    if (problem.empty() && block.table_limit < block.table_offset)
      problem = "has its Table limit below its Table offset";
    if (!problem.empty()) {
      run.view.AddResult(BlockLine(n, problem));
      continue;
    }

    FileStream game(run.Resolve(block.source), FileStream::Mode::kOpenRead);
    const std::vector<std::uint32_t> table = ReadTable(game, block.table_offset, block.count());

    // The texts are read in one piece: from the lowest text offset to 4096
    // bytes past the highest, or to the end of the file.
    std::uint64_t low = kAddressable, high = 0;
    for (std::uint32_t slot : table) {
      if ((slot & kOffsetBits) == 0) continue;
      low = std::min<std::uint64_t>(low, slot & kOffsetBits);
      high = std::max<std::uint64_t>(high, (slot & kOffsetBits) + kTextWindow);
    }
    const std::uint64_t file_size = game.Size();
    high = std::min(high, file_size);
    std::string texts;
    dump.reserve(dump.size() + static_cast<std::size_t>(high > low ? high - low : 0) +
                 table.size() * 26);
    if (low < high) {
      texts.resize(static_cast<std::size_t>(high - low));
      game.Seek(low);
      game.Read(texts.data(), texts.size());
    }

    for (std::uint32_t k = 0; k < table.size(); ++k) {
      const std::uint64_t offset = table[k] & kOffsetBits;
      if (offset != 0) {
        std::string_view text;
        if (offset >= file_size) {
          run.view.AddResult(BlockLine(n, "entry " + HeaderLine(k) +
                                              " points past the end of " + block.source));
        } else {
          text = std::string_view(texts).substr(static_cast<std::size_t>(offset - low), kTextWindow);
          std::string_view::size_type nul = text.find('\0');
          if (nul != std::string_view::npos) {
            text = text.substr(0, nul);
          } else if (text.size() == kTextWindow) {
            run.view.AddResult(BlockLine(n, "entry " + HeaderLine(k) +
                                                " has no end within 4096 bytes; it was cut there"));
          }
        }
        dump += HeaderLine(k) + "\r\n";
        dump.append(text);
        dump += "\r\n";
        dump.append(kTerminator);
        dump += "\r\n";
      }
      progress.Show(k, table.size());
    }
  }

  FileStream out(JoinPath(run.TargetDir, ChangeFileExt(FileNameOf(path), ".txt")),
                 FileStream::Mode::kCreate);
  out.Write(dump);
  ini.IniClose();
}

std::int64_t InsertTRC(RunState& run, const std::string& output, std::int64_t cursor) {
  run.SourceStream.reset();  // the replay opened it on the description itself
  Uini& ini = run.Ini;
  ini.IniOpen(run.Resolve(run.SourcePath));
  run.view.SetCurrentMessage("Processing " + FileNameOf(output) + "...");
  ProgressMeter progress(run.view);

  for (std::uint32_t n = 0; ini.IniSectionExists(SectionName(n)); ++n) {
    const std::string section = SectionName(n);
    Block block;
    block.source = ini.IniReadValue(section, "Source");
    block.target = ini.IniReadValue(section, "Target");
    std::string problem = ReadNumbers(ini, section, {{"Table offset", &block.table_offset},
                                                     {"Table limit", &block.table_limit},
                                                     {"Data begin", &block.data_begin},
                                                     {"Data limit", &block.data_limit},
                                                     {"Align", &block.align}});
    if (problem.empty() && block.table_limit < block.table_offset)
      problem = "has its Table limit below its Table offset";
    if (problem.empty() && block.data_limit < block.data_begin)
      problem = "has its Data limit below its Data begin";
    if (problem.empty() && block.align == 0) problem = "has Align 0";
    if (!problem.empty()) {
      run.view.AddResult(BlockLine(n, problem));
      continue;
    }

    const Dump dump = LoadDump(run.Resolve(block.target));
    const std::uint64_t space = block.data_limit - block.data_begin;
    const std::uint64_t total = CheckedSize(dump, block.align);
    if (total > space) {
      run.view.AddResult(BlockLine(n, "greater by " + std::to_string(total - space) + " bytes"));
      continue;
    }

    // Everything is checked and built in memory before the first byte of
    // the block is written; a block that fails is left as it was.
    FileStream game(run.Resolve(block.source), FileStream::Mode::kOpenReadWrite);
    const std::uint64_t file_size = game.Size();
    if (std::uint64_t{block.table_offset} + 4ull * block.count() > file_size)
      problem = "has its pointer table outside " + block.source;
    else if (block.data_limit > kAddressable)
      problem = "has its data area beyond the first 16 MB of " + block.source;
    else if (block.data_limit > file_size)
      problem = "has its data area past the end of " + block.source;
    std::vector<std::uint32_t> table;
    std::string area;
    if (problem.empty()) {
      table = ReadTable(game, block.table_offset, block.count());
      problem = LayOutBlock(block, dump, progress, table, area);
    }
    if (!problem.empty()) {
      run.view.AddResult(BlockLine(n, problem));
      continue;
    }

    std::string table_bytes;
    for (std::uint32_t slot : table) PutU32(table_bytes, slot);
    game.Seek(block.data_begin);
    game.Write(area);
    game.Seek(block.table_offset);
    game.Write(table_bytes);
  }

  ini.IniClose();
  return cursor;
}

}  // namespace eitool
