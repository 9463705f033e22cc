// Made-up sample game files for trying the tool (nothing in them comes
// from a real game).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace eitool {

// A sound library holding `sounds` in order: header, directory, then the
// data packed from DataStart = 128 + 24 * count, with nothing after it.
// Each entry's 16 leading bytes carry `names[n]` (cut to 15 characters)
// when given; bytes 4..11 of the header carry a made-up stamp.
std::string MakeSoundLibrary(const std::vector<std::string>& sounds,
                             const std::vector<std::string>& names = {});

// A valid RIFF WAVE file: 8-bit mono PCM at 11025 Hz, `milliseconds` long,
// a square tone of `frequency` Hz that fades out.
std::string MakeTone(int frequency, int milliseconds);

// Text tables laid out as text insertion packs them: each text at the
// offset in its table slot (tagged 0x10 in the high byte), NUL-terminated
// and padded with zeros to a multiple of 4, packed from `data_begin`.
// A slot with an empty optional stays 0. Returns the records and slots
// written into `game` (grown as needed).
struct SampleTable {
  std::uint32_t table_offset;
  std::uint32_t data_begin;
  std::vector<std::string> texts;  // "" + absent: see `empty_slots`
  std::vector<bool> empty_slots;   // true: the slot stays 0 (no text)
};
void PutTextTable(std::string& game, const SampleTable& table);

// Writes the sample files into `dir` (created when missing) and returns
// their paths.
std::vector<std::string> WriteSamples(const std::string& dir);

}  // namespace eitool
