// Files and folders as a whole: existence, the working folder, creating
// folders, renaming and removing.
#pragma once

#include <string>

#include "platform/file_stream.h"

namespace eitool {

// True when something (a file or a folder) exists at `path`.
bool PathExists(const std::string& path);
// True when a file that is not a folder exists at `path`.
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// When a file that is not a folder exists at `path`, stores its size and
// returns true; otherwise returns false and leaves `size` alone.
bool FileSizeIfExists(const std::string& path, std::uint64_t& size);

// The identity of the file at `path`; false when there is none.
bool IdentityOf(const std::string& path, FileIdentity& identity);

std::string GetCurrentDir();
// Returns false when the working folder could not be changed.
bool SetCurrentDir(const std::string& path);

// Creates `path` and its missing parents; raises EFCreateError on failure.
void ForceDirectories(const std::string& path);

// Raises EFCreateError when a file created at `path` could not replace
// what is there: a folder, or a file marked read-only (see FileStream).
void CheckReplaceable(const std::string& path);

// Renames `from` to `to`, replacing `to`; raises EFCreateError naming `to`.
void RenameFile(const std::string& from, const std::string& to);
// Removes a file; failure is ignored (used to clean up).
void RemoveFileQuietly(const std::string& path);

// Creates a new, empty file next to `near` with a unique name and returns
// its path; raises EFCreateError naming `near` when it cannot.
std::string CreateTempFileNear(const std::string& near);

}  // namespace eitool
