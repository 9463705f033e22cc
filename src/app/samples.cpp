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
  return written;
}

}  // namespace eitool
