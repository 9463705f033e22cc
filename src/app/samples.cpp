#include "app/samples.h"

#include "platform/coding.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"
#include "platform/paths.h"

namespace eitool {
namespace {

constexpr std::uint32_t kSampleRate = 11025;

}  // namespace

std::string MakeSoundLibrary(const std::vector<std::string>& sounds,
                             const std::vector<std::string>& names) {
  const auto count = static_cast<std::uint32_t>(sounds.size());
  const std::uint32_t data_start = 128 + 24 * count;
  std::string out;
  PutU32(out, count - 1);
  out += "EITOOL01";
  PutU32(out, data_start);
  out.resize(128, '\0');
  std::uint32_t offset = data_start;
  for (std::uint32_t n = 0; n < count; ++n) {
    std::string label = n < names.size() ? names[n].substr(0, 15) : std::string();
    label.resize(16, '\0');
    out += label;
    PutU32(out, offset);
    PutU32(out, static_cast<std::uint32_t>(sounds[n].size()));
    offset += static_cast<std::uint32_t>(sounds[n].size());
  }
  for (const std::string& sound : sounds) out += sound;
  return out;
}

std::string MakeTone(int frequency, int milliseconds) {
  const std::uint32_t samples = kSampleRate * static_cast<std::uint32_t>(milliseconds) / 1000;
  std::string out = "RIFF";
  PutU32(out, 36 + samples);
  out += "WAVEfmt ";
  PutU32(out, 16);
  PutU16(out, 1);  // PCM
  PutU16(out, 1);  // mono
  PutU32(out, kSampleRate);
  PutU32(out, kSampleRate);  // bytes per second
  PutU16(out, 1);            // block align
  PutU16(out, 8);            // bits per sample
  out += "data";
  PutU32(out, samples);
  const std::uint32_t half_period = kSampleRate / (2 * static_cast<std::uint32_t>(frequency));
  for (std::uint32_t i = 0; i < samples; ++i) {
    const int amplitude = static_cast<int>(90 * (samples - i) / samples);
    const bool high = (i / half_period) % 2 == 0;
    out.push_back(static_cast<char>(128 + (high ? amplitude : -amplitude)));
  }
  return out;
}

void PutTextTable(std::string& game, const SampleTable& table) {
  auto put = [&](std::size_t at, const std::string& bytes) {
    if (game.size() < at + bytes.size()) game.resize(at + bytes.size(), '\0');
    game.replace(at, bytes.size(), bytes);
  };
  std::uint32_t position = table.data_begin;
  for (std::size_t k = 0; k < table.texts.size(); ++k) {
    std::string slot;
    bool empty = k < table.empty_slots.size() && table.empty_slots[k];
    PutU32(slot, empty ? 0 : position | 0x10000000u);
    put(table.table_offset + 4 * k, slot);
    if (empty) continue;
    std::string record = table.texts[k];
    record.resize((record.size() + 1 + 3) / 4 * 4, '\0');
    put(position, record);
    position += static_cast<std::uint32_t>(record.size());
  }
}

std::vector<std::string> WriteSamples(const std::string& dir) {
  ForceDirectories(dir);
  std::vector<std::string> written;
  auto write = [&](const std::string& name, const std::string& bytes) {
    std::string path = JoinPath(dir, name);
    FileStream(path, FileStream::Mode::kCreate).Write(bytes);
    written.push_back(path);
  };
  write("sounds.lib", MakeSoundLibrary({MakeTone(440, 250), MakeTone(660, 200), MakeTone(880, 150),
                                        MakeTone(330, 400)},
                                       {"beep", "chime", "click", "low"}));

  // A game data file with two text tables, and a description naming them.
  // Block 0's dump is the one extraction writes (texts.txt, found in the
  // folder the insertion runs in); block 1 has a dump of its own here.
  std::string game = "EIGAME01 made-up game data";
  PutTextTable(game, {0x40, 0x100,
                      {"New game", "Continue", "Options", "The old bridge is out.\nTake the ferry."},
                      {}});
  PutTextTable(game, {0x60, 0x600, {"Sound volume", "", "Music volume"}, {false, true, false}});
  game.resize(0x800, '\0');
  write("game.dat", game);
  const std::string game_path = JoinPath(dir, "game.dat");
  auto block = [&](int n, const std::string& target, const char* table, const char* data) {
    const std::string name = "Block#" + std::to_string(n);
    return "[" + name + "]\r\nSource=" + game_path + "\r\nTarget=" + target + "\r\n" + table +
           data + "Align=0x4\r\n[END OF " + name + "]\r\n";
  };
  write("texts.trc",
        "; made-up text tables of game.dat\r\n" +
            block(0, "texts.txt", "Table offset=0x40\r\nTable limit=0x50\r\n",
                  "Data begin=0x100\r\nData limit=0x600\r\n") +
            block(1, JoinPath(dir, "options.txt"), "Table offset=0x60\r\nTable limit=0x6C\r\n",
                  "Data begin=0x600\r\nData limit=0x800\r\n"));
  write("options.txt",
        "[00000000]\r\nSound volume\r\n[########]\r\n[00000002]\r\nMusic volume\r\n[########]\r\n");
  return written;
}

}  // namespace eitool
