// Sound libraries: a 128-byte header, a directory of 24-byte entries and
// the entries' data. All words are 32-bit little-endian.
//
//   header  0: LastIndex (entry count - 1, modulo 2^32)
//          12: DataStart (length of header + directory that insertion keeps)
//   entry  16: Offset of the data from the start of the file
//          20: Size of the data
//
// Extraction writes each entry's data unchanged to <n>.wav and lists the
// files in the work log; insertion rebuilds the library in the target
// folder, taking each entry from its wave file when that exists.

#include <algorithm>
#include <cstdio>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

#include "app/run_state.h"
#include "formats/handlers.h"
#include "platform/coding.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/parallel.h"
#include "platform/paths.h"
#include "platform/replacing_file.h"

namespace eitool {
namespace {

constexpr std::uint64_t kHeaderSize = 128;
constexpr std::uint64_t kEntrySize = 24;
constexpr std::uint64_t kDataStartAt = 12;
constexpr std::uint64_t kEntryFieldsAt = 16;  // Offset and Size within an entry
constexpr std::uint64_t kMaxWord = 0xFFFFFFFFu;
constexpr std::uint64_t kEntriesPerBatch = 4096;

struct LibEntry {
  std::uint32_t offset;
  std::uint32_t size;
};

std::uint64_t EntryPosition(std::uint64_t n) { return kHeaderSize + kEntrySize * n; }

std::string Hex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

// Reads the directory in batches, so that memory stays small whatever the
// entry count, and calls `visit` with the index of each batch's first entry
// and its raw bytes. `visit` may move the library's position.
void ForEachBatch(FileStream& library, std::uint64_t count,
                  const std::function<void(std::uint64_t, std::span<std::uint8_t>)>& visit) {
  std::vector<std::uint8_t> batch;
  for (std::uint64_t first = 0; first < count; first += kEntriesPerBatch) {
    batch.resize(static_cast<std::size_t>(std::min(kEntriesPerBatch, count - first) * kEntrySize));
    library.Seek(EntryPosition(first));
    library.Read(batch.data(), batch.size());
    visit(first, batch);
  }
}

std::size_t FieldsAt(std::uint64_t k) { return static_cast<std::size_t>(k * kEntrySize + kEntryFieldsAt); }

// Calls `visit` for every directory entry in order.
void ForEachEntry(FileStream& library, std::uint64_t count,
                  const std::function<void(std::uint64_t, const LibEntry&)>& visit) {
  ForEachBatch(library, count, [&](std::uint64_t first, std::span<std::uint8_t> batch) {
    for (std::uint64_t k = 0; k < batch.size() / kEntrySize; ++k)
      visit(first + k, LibEntry{GetU32(batch, FieldsAt(k)), GetU32(batch, FieldsAt(k) + 4)});
  });
}

// Checks that the header and the whole directory are present and that
// every entry's data lies inside the file. Returns the entry count.
std::uint64_t CheckLibrary(FileStream& library, const std::string& name) {
  const std::uint64_t file_size = library.Size();
  if (file_size < kHeaderSize)
    throw EDataError(name + ": too short for a sound library header (" +
                     std::to_string(file_size) + " bytes, 128 needed)");
  library.Seek(0);
  const std::uint64_t count = (library.ReadU32() + std::uint64_t{1}) & kMaxWord;
  const std::uint64_t directory_end = EntryPosition(count);
  if (directory_end > file_size)
    throw EDataError(name + ": the directory of " + std::to_string(count) +
                     " entries runs past the end of the file (it ends at " +
                     std::to_string(directory_end) + ", file size " + std::to_string(file_size) +
                     ")");
  ForEachEntry(library, count, [&](std::uint64_t n, const LibEntry& entry) {
    if (std::uint64_t{entry.offset} + entry.size > file_size)
      throw EDataError(name + ": entry " + std::to_string(n) +
                       " runs past the end of the file (offset " + Hex(entry.offset) +
                       ", size " + std::to_string(entry.size) + ", file size " +
                       std::to_string(file_size) + ")");
  });
  return count;
}

// The folder that receives a library's wave files: the target folder for a
// run of one library, otherwise a subfolder named after the library, made
// unique within the run, so that libraries do not replace each other's files.
std::string WaveFolder(RunState& run, const std::string& path) {
  if (run.LogList.size() < 2) return run.TargetDir;
  std::string base = ChangeFileExt(FileNameOf(path), "");
  if (base.empty()) base = "library";
  std::string name = base;
  for (int suffix = 2; run.LibraryFolders.count(name) != 0; ++suffix)
    name = base + "_" + std::to_string(suffix);
  run.LibraryFolders.insert(name);
  std::string folder = JoinPath(run.TargetDir, name);
  ForceDirectories(folder);
  return folder;
}

// One stream per worker on the same file: worker 0 uses the caller's
// stream, the others open their own when they first need one.
class StreamPerWorker {
 public:
  StreamPerWorker(FileStream& first, FileStream::Mode mode)
      : first_(first), mode_(mode), others_(static_cast<std::size_t>(WorkerCount())) {}
  FileStream& For(int worker) {
    if (worker == 0) return first_;
    auto& own = others_[static_cast<std::size_t>(worker)];
    if (!own) own = std::make_unique<FileStream>(first_.path(), mode_);
    return *own;
  }

 private:
  FileStream& first_;
  FileStream::Mode mode_;
  std::vector<std::unique_ptr<FileStream>> others_;
};

}  // namespace

void ExtractLIB(RunState& run, const std::string& path) {
  FileStream library(run.Resolve(path), FileStream::Mode::kOpenRead, path);
  const std::uint64_t count = CheckLibrary(library, path);
  const std::string folder = WaveFolder(run, path);

  // Creating the waves is bound by per-file system calls, so a batch's waves
  // are written by several workers, each reading the library through its
  // own stream. A wave that cannot be created ends the extraction with the
  // waves before it written and listed, as a one-by-one loop would; the
  // check in entry order below finds such a wave before the workers start.
  StreamPerWorker readers(library, FileStream::Mode::kOpenRead);
  ForEachBatch(library, count, [&](std::uint64_t first, std::span<std::uint8_t> batch) {
    const std::size_t in_batch = batch.size() / kEntrySize;
    std::vector<std::string> waves(in_batch);
    std::size_t ready = in_batch;
    std::exception_ptr refused;
    for (std::size_t k = 0; k < in_batch && !refused; ++k) {
      waves[k] = JoinPath(folder, std::to_string(first + k) + ".wav");
      try {
        CheckReplaceable(waves[k]);
      } catch (...) {
        ready = k;
        refused = std::current_exception();
      }
    }
    std::size_t failed_at = ready;
    try {
      ParallelFor(ready, [&](std::size_t k, int worker) {
        FileStream& reader = readers.For(worker);
        FileStream wave(waves[k], FileStream::Mode::kCreate);
        reader.Seek(GetU32(batch, FieldsAt(k)));
        wave.CopyFrom(reader, GetU32(batch, FieldsAt(k) + 4));
      }, &failed_at);
    } catch (...) {
      for (std::size_t k = 0; k < failed_at; ++k) run.ResultLines.Add(waves[k]);
      throw;
    }
    for (std::size_t k = 0; k < ready; ++k) run.ResultLines.Add(waves[k]);
    if (refused) std::rethrow_exception(refused);
  });
}

std::int64_t InsertLIB(RunState& run, const std::string& output, std::int64_t cursor) {
  const std::string& name = run.SourcePath;
  if (!run.SourceStream) throw EFOpenError(name, "the source is not open");
  FileStream& source = *run.SourceStream;

  // Everything is checked before the output is created.
  const std::uint64_t count = CheckLibrary(source, name);
  source.Seek(kDataStartAt);
  const std::uint64_t data_start = source.ReadU32();
  if (data_start < EntryPosition(count))
    throw EDataError(name + ": DataStart (" + std::to_string(data_start) +
                     ") lies inside the directory, which ends at " +
                     std::to_string(EntryPosition(count)));
  if (data_start > source.Size())
    throw EDataError(name + ": DataStart (" + std::to_string(data_start) +
                     ") is past the end of the file (file size " +
                     std::to_string(source.Size()) + ")");
  const std::int64_t available = run.ReplayLines.Count() - cursor;
  if (available < 0 || static_cast<std::uint64_t>(available) < count)
    throw EDataError("The work log ends after " + std::to_string(std::max<std::int64_t>(available, 0)) +
                     " of the " + std::to_string(count) + " item lines of " + name);

  FileIdentity source_id = source.Identity(), output_id;
  if (IdentityOf(output, output_id) && output_id == source_id)
    throw EDataError("Cannot write " + output +
                     ": it is the source library itself; choose a target folder other than "
                     "the library's own folder");
  CheckReplaceable(output);  // before the longer checks below, as making the output would

  auto wave_path = [&](std::uint64_t n) {
    return run.Resolve(run.ReplayLines.Get(cursor + static_cast<std::int64_t>(n)));
  };
  std::uint64_t end = data_start;
  ForEachEntry(source, count, [&](std::uint64_t n, const LibEntry& entry) {
    std::uint64_t size = entry.size;
    std::string wave = wave_path(n);
    if (FileSizeIfExists(wave, size) && size > kMaxWord)
      throw EDataError(wave + ": " + std::to_string(size) +
                       " bytes is too large for a sound library entry (4 GiB at most)");
    if (end > kMaxWord)
      throw EDataError(name + ": entry " + std::to_string(n) + " would start at " +
                       std::to_string(end) + ", beyond the 4 GiB that a library can address");
    end += size;
  });

  // Written under a temporary name and renamed into place when complete,
  // so that a failure never leaves a partial library behind.
  {
    ReplacingFile file(output);
    FileStream& out = file.stream();
    source.Seek(0);
    out.CopyFrom(source, data_start);
    StreamPerWorker writers(out, FileStream::Mode::kOpenReadWrite);
    StreamPerWorker readers(source, FileStream::Mode::kOpenRead);
    // Per batch of directory entries: lay the entries out (their sizes give
    // every offset), copy their data in parallel, each to its own place,
    // then write the batch's rewritten directory entries in one piece.
    std::uint64_t new_offset = data_start;
    ForEachBatch(source, count, [&](std::uint64_t first, std::span<std::uint8_t> batch) {
      const std::size_t in_batch = batch.size() / kEntrySize;
      std::vector<std::string> waves(in_batch);
      std::vector<std::uint64_t> from(in_batch), sizes(in_batch), offsets(in_batch);
      std::vector<char> edited(in_batch);
      for (std::size_t k = 0; k < in_batch; ++k) {
        waves[k] = wave_path(first + k);
        from[k] = GetU32(batch, FieldsAt(k));
        sizes[k] = GetU32(batch, FieldsAt(k) + 4);
        edited[k] = FileSizeIfExists(waves[k], sizes[k]);
        offsets[k] = new_offset;
        if (new_offset > kMaxWord || sizes[k] > kMaxWord)
          throw EDataError(name + ": entry " + std::to_string(first + k) +
                           " changed while the library was written");
        SetU32(batch, FieldsAt(k), static_cast<std::uint32_t>(new_offset));
        SetU32(batch, FieldsAt(k) + 4, static_cast<std::uint32_t>(sizes[k]));
        new_offset += sizes[k];
      }
      ParallelFor(in_batch, [&](std::size_t k, int worker) {
        FileStream& writer = writers.For(worker);
        writer.Seek(offsets[k]);
        if (edited[k]) {
          FileStream data(waves[k], FileStream::Mode::kOpenRead);
          if (data.Size() != sizes[k])
            throw EDataError(waves[k] + ": the file changed while the library was written");
          writer.CopyFrom(data, sizes[k]);
        } else {
          FileStream& reader = readers.For(worker);
          reader.Seek(from[k]);
          writer.CopyFrom(reader, sizes[k]);
        }
      });
      out.Seek(EntryPosition(first));
      out.Write(batch.data(), batch.size());
    });
    file.Commit();
  }
  return cursor + static_cast<std::int64_t>(count);
}

}  // namespace eitool
