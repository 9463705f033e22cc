#include "support/uini.h"

#include "platform/file_system.h"

namespace eitool {

void Uini::IniOpen(const std::string& file_name) {
  IniClose();
  StringList lines;
  if (PathExists(file_name)) lines.LoadFromFile(file_name);
  IniLines = std::move(lines);
  IniFileName = file_name;
}

void Uini::IniClose() {
  if (!IniLines) return;
  StringList lines = std::move(*IniLines);
  IniLines.reset();
  lines.SaveToFile(IniFileName);
}

bool Uini::IniSectionExists(const std::string& section) const {
  return IniLines && IniLines->IndexOf("[" + section + "]") >= 0;
}

std::string Uini::IniReadValue(const std::string& section, const std::string& key) const {
  if (!IniLines) return "";
  std::int64_t header = IniLines->IndexOf("[" + section + "]");
  if (header < 0) return "";
  const std::string end_line = "[END OF " + section + "]";
  const std::string search = key + "=";
  for (std::int64_t i = header + 1;; ++i) {
    const std::string& line = IniLines->Get(i);  // past the last line: EListError
    if (line == end_line) return "";
    if (line.find(search) != std::string::npos) return line.substr(key.size() + 1);
  }
}

}  // namespace eitool
