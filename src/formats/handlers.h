// The extraction and insertion handlers, one pair per resource kind.
// Extraction handlers take the listed file's path; insertion handlers take
// the output path (target folder + the source's file name) and the index
// of the section's first item line, and return the index of its last line.
#pragma once

#include <cstdint>
#include <string>

namespace eitool {

struct RunState;

// Text resources (*.trc): extraction writes one dump per description;
// insertion rewrites the game files the description names, in place.
void ExtractTRC(RunState& run, const std::string& path);
std::int64_t InsertTRC(RunState& run, const std::string& output, std::int64_t cursor);

// Sound libraries (*.lib).
void ExtractLIB(RunState& run, const std::string& path);
std::int64_t InsertLIB(RunState& run, const std::string& output, std::int64_t cursor);

}  // namespace eitool
