#include "platform/file_stream.h"

#include <gtest/gtest.h>

#include "platform/coding.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/mapped_file.h"
#include "test_support.h"

namespace eitool {
namespace {

using testing::MarkReadOnly;
using testing::ReadFile;
using testing::WriteFile;

class FileStreamTest : public testing::TempDirTest {};

// Runs `action`, which must raise E, and returns the message.
template <typename E, typename F>
std::string MessageOf(F action) {
  try {
    action();
  } catch (const E& e) {
    return e.what();
  }
  ADD_FAILURE() << "expected an error";
  return "";
}

TEST_F(FileStreamTest, OpenAndCreateFailuresNameTheFile) {
  const std::string missing = Path("missing.lib");
  const std::string in_missing_dir = Path("nodir/x.wav");
  ::mkdir(Path("folder").c_str(), 0755);
  static const auto open = FileStream::Mode::kOpenRead;
  EXPECT_EQ(MessageOf<EFOpenError>([&] { FileStream f(missing, open); })
                .rfind("Cannot open file " + missing, 0), 0u);
  EXPECT_EQ(MessageOf<EFOpenError>([&] { FileStream f(Path("folder"), open); })
                .rfind("Cannot open file " + Path("folder"), 0), 0u);
  EXPECT_EQ(MessageOf<EFOpenError>([&] { FileStream f("", open); }).rfind("Cannot open file ", 0), 0u);
  EXPECT_EQ(MessageOf<EFCreateError>([&] {
              FileStream f(in_missing_dir, FileStream::Mode::kCreate);
            }).rfind("Cannot create file " + in_missing_dir, 0), 0u);
}

TEST_F(FileStreamTest, ReadOnlyMarkedFileRefusesWritingModesAndKeepsItsBytes) {
  const std::string path = Path("locked.lib");
  WriteFile(path, "keep me");
  MarkReadOnly(path);
  EXPECT_THROW(FileStream(path, FileStream::Mode::kOpenReadWrite), EFOpenError);
  EXPECT_THROW(FileStream(path, FileStream::Mode::kCreate), EFCreateError);
  EXPECT_NO_THROW(FileStream(path, FileStream::Mode::kOpenRead));
  EXPECT_EQ(ReadFile(path), "keep me");
}

TEST_F(FileStreamTest, ShortReadIsAStreamReadError) {
  WriteFile(Path("short"), "abc");
  FileStream f(Path("short"), FileStream::Mode::kOpenRead);
  char buffer[8];
  EXPECT_EQ(MessageOf<EReadError>([&] { f.Read(buffer, 4); }), "Stream read error");
  f.Seek(1);
  EXPECT_EQ(f.ReadSome(buffer, 8), 2u);
  EXPECT_EQ(f.Position(), 3u);
  f.Seek(0);
  EXPECT_THROW(f.ReadU32(), EReadError);
}

TEST_F(FileStreamTest, CopyFromMovesExactRangesAcrossChunks) {
  std::string data(3 * (1 << 20) / 2 + 7, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 131 % 251);
  WriteFile(Path("src"), data);
  FileStream source(Path("src"), FileStream::Mode::kOpenRead);
  FileStream target(Path("dst"), FileStream::Mode::kCreate);
  source.Seek(5);
  target.CopyFrom(source, data.size() - 10);
  EXPECT_EQ(source.Position(), data.size() - 5);
  EXPECT_EQ(target.Position(), data.size() - 10);
  EXPECT_EQ(ReadFile(Path("dst")), data.substr(5, data.size() - 10));
  EXPECT_THROW(target.CopyFrom(source, 6), EReadError);
}

TEST_F(FileStreamTest, WriteSeekTruncateAndSize) {
  FileStream f(Path("w"), FileStream::Mode::kCreate);
  f.Write(std::string("0123456789"));
  f.Seek(2);
  f.WriteU32(0x41424344);
  EXPECT_EQ(f.Size(), 10u);
  f.Truncate(8);
  EXPECT_EQ(f.Size(), 8u);
  EXPECT_EQ(ReadFile(Path("w")), "01DCBA67");
  EXPECT_EQ(f.Identity(), [&] {
    FileIdentity id;
    EXPECT_TRUE(IdentityOf(Path("./w"), id));
    return id;
  }());
}

TEST(CodingTest, LittleEndianFieldsAndShortBuffers) {
  std::string out;
  PutU32(out, 0x12345678);
  PutU16(out, 0xBEEF);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(out.data());
  std::span<const std::uint8_t> span(bytes, out.size());
  EXPECT_EQ(out, std::string("\x78\x56\x34\x12\xEF\xBE", 6));
  EXPECT_EQ(GetU32(span, 0), 0x12345678u);
  EXPECT_EQ(GetU16(span, 4), 0xBEEFu);
  EXPECT_THROW(GetU32(span, 3), EReadError);
  EXPECT_THROW(GetU16(span, 5), EReadError);
}

}  // namespace
}  // namespace eitool

namespace eitool {
namespace {

class MappedFileTest : public testing::TempDirTest {};

TEST_F(MappedFileTest, MapsWholeFilesAndRefusesFolders) {
  WriteFile(Path("data"), std::string("a\0b", 3));
  WriteFile(Path("empty"), "");
  EXPECT_EQ(MappedFile(Path("data")).bytes(), std::string_view("a\0b", 3));
  EXPECT_EQ(MappedFile(Path("empty")).bytes(), "");
  ::mkdir(Path("folder").c_str(), 0755);
  EXPECT_THROW(MappedFile(Path("folder")), EFOpenError);
  EXPECT_THROW(MappedFile(Path("missing")), EFOpenError);
}

TEST_F(MappedFileTest, BufferedWriterKeepsOrderAcrossFlushes) {
  FileStream out(Path("out"), FileStream::Mode::kCreate);
  out.Write(std::string("head"));
  BufferedWriter writer(out, 4, 8);
  writer.Append("abc");
  writer.Append("defghij");        // passes the capacity: flushed first
  writer.Append("0123456789AB");   // larger than the buffer: written directly
  writer.AppendZeros(10);
  writer.Append("z");
  EXPECT_EQ(writer.written(), 33u);
  writer.Flush();
  EXPECT_EQ(ReadFile(Path("out")),
            "headabcdefghij0123456789AB" + std::string(10, '\0') + "z");
}

}  // namespace
}  // namespace eitool
