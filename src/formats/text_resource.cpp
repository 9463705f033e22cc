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
#include <string_view>
#include <vector>

#include "app/run_state.h"
#include "formats/handlers.h"
#include "platform/coding.h"
#include "platform/errors.h"
#include "platform/mapped_file.h"
#include "platform/paths.h"
#include "platform/replacing_file.h"
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

// One block of a description, with its keys read and checked.
struct Block {
  std::string source, target;
  std::uint32_t table_offset = 0, table_limit = 0, data_begin = 0, data_limit = 0, align = 0;
  std::uint32_t count() const { return (table_limit - table_offset) >> 2; }
};

std::vector<std::uint32_t> DecodeTable(std::string_view bytes) {
  std::vector<std::uint32_t> table(bytes.size() / 4);
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  for (std::size_t k = 0; k < table.size(); ++k) table[k] = GetU32({data, bytes.size()}, 4 * k);
  return table;
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

// Where a table entry's text lies in the dump: the bytes from the line
// after its first header line to its terminator line.
struct Extent {
  enum State : std::uint8_t { kNoHeader, kNoTerminator, kComplete };
  State state = kNoHeader;
  std::uint32_t lines = 0;   // text lines
  std::size_t begin = 0, end = 0;
  std::uint64_t length = 0;  // of the text, its lines joined by LF
};

// What one pass over an edited dump finds.
struct DumpScan {
  std::uint64_t checked_size = 0;  // the size check's total
  std::vector<Extent> extents;     // one per table entry
};

// The size check counts every entry from a line containing "[000" to its
// terminator: its lines joined by LF, plus a NUL, rounded up to a multiple
// of `align` (a stray terminator counts as an empty entry); an entry with
// text lines but no terminator at the end of the dump raises EListError.
// In the same pass each table entry's first header gets its extent, which
// ends at the next terminator or, when that is missing, at the next header.
DumpScan ScanDump(std::string_view bytes, std::uint32_t align, std::uint32_t count) {
  DumpScan scan;
  scan.extents.resize(count);
  LineReader reader(bytes);
  const std::string_view text = reader.text();
  auto offset = [&](std::string_view line) { return static_cast<std::size_t>(line.data() - text.data()); };

  std::uint64_t length = 0;
  bool in_entry = false;
  Extent* open = nullptr;
  std::string_view line, following;
  bool has_line = reader.Next(line);
  for (std::int64_t i = 0; has_line; ++i) {
    const bool has_following = reader.Next(following);
    const bool terminator = line == kTerminator;
    if (terminator) {
      scan.checked_size += (length + 1 + align - 1) / align * align;
      length = 0;
      in_entry = false;
    }
    if (in_entry) {
      if (!has_following) throw EListError(i + 1);
      length += line.size() + (following != kTerminator ? 1 : 0);
    }
    if (line.find("[000") != std::string_view::npos) in_entry = true;

    std::uint32_t index = 0;
    if (terminator && open != nullptr) {
      open->end = offset(line);
      open->state = Extent::kComplete;
      open = nullptr;
    } else if (!terminator && ParseHeader(line, index)) {
      open = nullptr;  // an entry still open has no terminator
      if (index < count && scan.extents[index].state == Extent::kNoHeader) {
        open = &scan.extents[index];
        open->state = Extent::kNoTerminator;
        open->begin = has_following ? offset(following) : text.size();
      }
    } else if (open != nullptr) {
      open->length += line.size() + (open->lines > 0 ? 1 : 0);
      ++open->lines;
    }
    line = following;
    has_line = has_following;
  }
  return scan;
}

// Calls `piece` with the pieces of an entry's text: its lines, joined by
// single LF bytes, whatever line breaks the dump has.
template <typename Piece>
void ForEachTextPiece(std::string_view dump, const Extent& extent, Piece piece) {
  if (extent.lines <= 1) {  // the common case: the text is the first line as it stands
    piece(dump.substr(extent.begin, static_cast<std::size_t>(extent.length)));
    return;
  }
  LineReader reader(dump.substr(extent.begin, extent.end - extent.begin));
  std::string_view line;
  bool first = true;
  while (reader.Next(line)) {
    if (!first) piece(std::string_view("\n"));
    piece(line);
    first = false;
  }
}

std::uint64_t RecordSize(std::uint64_t length) { return (length + 1 + 3) / 4 * 4; }

// Checks that a block's entries can be written whole into its data area
// and lays them out: `table` gets, for each slot that receives a record,
// the record's offset tagged 0x10. Returns what keeps the block from being
// written, or "".
std::string LayOutBlock(const Block& block, const DumpScan& scan, ProgressMeter& progress,
                        std::vector<std::uint32_t>& table) {
  const std::uint64_t space = block.data_limit - block.data_begin;
  std::uint64_t used = 0;
  for (std::uint32_t k = 0; k < table.size(); ++k) {
    progress.Show(k, table.size());
    if (table[k] == 0) continue;
    const Extent& extent = scan.extents[k];
    if (extent.state == Extent::kNoHeader) {
      // A slot whose offset bits are 0 had no text when it was extracted.
      if ((table[k] & kOffsetBits) == 0) continue;
      return "misses entry " + HeaderLine(k) + " in its dump " + block.target;
    }
    if (extent.state == Extent::kNoTerminator)
      return "has no terminator line after entry " + HeaderLine(k) + " in its dump " + block.target;
    table[k] = static_cast<std::uint32_t>((block.data_begin + used) & kOffsetBits) | kWrittenTag;
    used += RecordSize(extent.length);
  }
  if (used > space) return "greater by " + std::to_string(used - space) + " bytes";
  return "";
}

// Writes the records of a laid-out block from Data begin, then zeros up to
// Data limit.
void WriteRecords(const Block& block, std::string_view dump, const DumpScan& scan,
                  const std::vector<std::uint32_t>& table, FileStream& game) {
  BufferedWriter out(game, block.data_begin);
  static constexpr char kZeros[4] = {};
  for (std::uint32_t k = 0; k < table.size(); ++k) {
    const Extent& extent = scan.extents[k];
    if (table[k] == 0 || extent.state != Extent::kComplete) continue;
    ForEachTextPiece(dump, extent, [&](std::string_view piece) { out.Append(piece); });
    out.Append(std::string_view(kZeros, static_cast<std::size_t>(RecordSize(extent.length) -
                                                                 extent.length)));
  }
  out.AppendZeros(std::uint64_t{block.data_limit} - block.data_begin - out.written());
  out.Flush();
}

// The dump of an extraction, put in place by Commit(); dropped when the
// extraction fails.
class DumpFile {
 public:
  explicit DumpFile(const std::string& path) : file_(path), out_(file_.stream(), 0) {}
  // The header line of entry `index`, the text, the terminator line.
  void Entry(std::uint32_t index, std::string_view text) {
    char header[12] = {'[', '0', '0', '0', '0', '0', '0', '0', '0', ']', '\r', '\n'};
    for (int i = 8; i >= 1; --i, index >>= 4) header[i] = "0123456789ABCDEF"[index & 0xF];
    out_.Append({header, sizeof header});
    out_.Append(text);
    out_.Append("\r\n[########]\r\n");
  }
  void Commit() {
    out_.Flush();
    file_.Commit();
  }

 private:
  ReplacingFile file_;
  BufferedWriter out_;
};

}  // namespace

void ExtractTRC(RunState& run, const std::string& path) {
  Uini& ini = run.Ini;
  ini.IniOpen(run.Resolve(path));
  run.view.SetCurrentMessage("Processing " + FileNameOf(path) + "...");
  ProgressMeter progress(run.view);
  DumpFile dump(JoinPath(run.TargetDir, ChangeFileExt(FileNameOf(path), ".txt")));

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

    // The game file is mapped, so it is read once, whatever the number of
    // texts, and only the pages the table and texts lie on.
    const MappedFile game(run.Resolve(block.source), block.source);
    const std::string_view bytes = game.bytes();
    if (std::uint64_t{block.table_offset} + 4ull * block.count() > bytes.size()) throw EReadError();
    const std::vector<std::uint32_t> table =
        DecodeTable(bytes.substr(block.table_offset, 4ull * block.count()));

    for (std::uint32_t k = 0; k < table.size(); ++k) {
      const std::size_t offset = table[k] & kOffsetBits;
      if (offset != 0) {
        // A text ends at its NUL, after 4096 bytes, or at the end of the file.
        std::string_view text;
        if (offset >= bytes.size()) {
          run.view.AddResult(BlockLine(n, "entry " + HeaderLine(k) +
                                              " points past the end of " + block.source));
        } else {
          text = bytes.substr(offset, kTextWindow);
          std::string_view::size_type nul = text.find('\0');
          if (nul != std::string_view::npos) {
            text = text.substr(0, nul);
          } else if (text.size() == kTextWindow) {
            run.view.AddResult(BlockLine(n, "entry " + HeaderLine(k) +
                                                " has no end within 4096 bytes; it was cut there"));
          }
        }
        dump.Entry(k, text);
      }
      progress.Show(k, table.size());
    }
  }

  dump.Commit();
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

    const MappedFile dump(run.Resolve(block.target), block.target);
    const DumpScan scan = ScanDump(dump.bytes(), block.align, block.count());
    const std::uint64_t space = block.data_limit - block.data_begin;
    if (scan.checked_size > space) {
      run.view.AddResult(
          BlockLine(n, "greater by " + std::to_string(scan.checked_size - space) + " bytes"));
      continue;
    }

    // Everything is checked and laid out before the first byte of the block
    // is written; a block that fails is left as it was.
    FileStream game(run.Resolve(block.source), FileStream::Mode::kOpenReadWrite, block.source);
    const std::uint64_t file_size = game.Size();
    if (std::uint64_t{block.table_offset} + 4ull * block.count() > file_size)
      problem = "has its pointer table outside " + block.source;
    else if (block.data_limit > kAddressable)
      problem = "has its data area beyond the first 16 MB of " + block.source;
    else if (block.data_limit > file_size)
      problem = "has its data area past the end of " + block.source;
    std::vector<std::uint32_t> table;
    if (problem.empty()) {
      std::string table_bytes(4ull * block.count(), '\0');
      game.Seek(block.table_offset);
      game.Read(table_bytes.data(), table_bytes.size());
      table = DecodeTable(table_bytes);
      problem = LayOutBlock(block, scan, progress, table);
    }
    if (!problem.empty()) {
      run.view.AddResult(BlockLine(n, problem));
      continue;
    }

    WriteRecords(block, LineReader(dump.bytes()).text(), scan, table, game);
    std::string table_bytes;
    for (std::uint32_t slot : table) PutU32(table_bytes, slot);
    game.Seek(block.table_offset);
    game.Write(table_bytes);
  }

  ini.IniClose();
  return cursor;
}

}  // namespace eitool
