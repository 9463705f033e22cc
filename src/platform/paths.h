// Path text helpers. The work log and descriptions name files by path
// strings; these helpers treat them as text, the way the original tool did.
#pragma once

#include <string>

namespace eitool {

// The separator used to form paths: "/" here ("\" on Windows).
char PathSeparator();
// True for the characters after which a file's name starts: "\" and "/"
// everywhere, and ":" on Windows.
bool IsNameDelimiter(char c);
bool IsAbsolutePath(const std::string& path);

// dir + separator + name, without looking for a trailing separator.
std::string JoinPath(const std::string& dir, const std::string& name);

// The part of `path` after its last name delimiter.
std::string FileNameOf(const std::string& path);
// Replaces the part of the file's name from its last "." on with `ext`
// (which carries its own "."), or appends `ext` when the name has no ".".
std::string ChangeFileExt(const std::string& path, const std::string& ext);

// `path` as is when absolute or empty, otherwise joined to `base`.
std::string ResolvePath(const std::string& base, const std::string& path);

}  // namespace eitool
