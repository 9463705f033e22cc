#include "gui/rtf_writer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace eitool::gui {
namespace {

QByteArray Body(const QString& text) {
  QByteArray rtf = PlainTextToRtf(text);
  const QByteArray start = "\\f0\\fs16 ";
  return rtf.mid(rtf.indexOf(start) + start.size());
}

TEST(RtfWriterTest, EscapesAndEncodesEveryCharacter) {
  static const struct {
    const char* name;
    QString text;
    QByteArray body;
  } kCases[] = {
      {"plain lines", QStringLiteral("Block 2 greater by 300 bytes.\nnext"),
       "Block 2 greater by 300 bytes.\\par\r\nnext\\par\r\n}\r\n"},
      {"RTF specials", QStringLiteral("a\\b{c}"), "a\\\\b\\{c\\}\\par\r\n}\r\n"},
      {"code page 1252", QString::fromUtf8("é€"), "\\'e9\\'80\\par\r\n}\r\n"},
      {"beyond the code page", QString::fromUtf8("Ж"), "\\u1046?\\par\r\n}\r\n"},
      {"negative unit", QString(QChar(0xFF21)), "\\u-223?\\par\r\n}\r\n"},
      {"empty", QString(), "\\par\r\n}\r\n"},
  };
  for (const auto& c : kCases) EXPECT_EQ(Body(c.text), c.body) << c.name;
  EXPECT_TRUE(PlainTextToRtf(QString()).startsWith("{\\rtf1\\ansi\\ansicpg1252"));
}

// Word processors read it back: LibreOffice converts it to the same text.
TEST(RtfWriterTest, LibreOfficeReadsTheTextBack) {
  QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
  if (office.isEmpty()) office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
  if (office.isEmpty()) GTEST_SKIP() << "LibreOffice is not installed";
  QTemporaryDir dir;
  const QString text = QString::fromUtf8("Block 0 greater by 4 bytes.\nPfad C:\\Spiele\\{x}\nÜber € Ж");
  QFile rtf(dir.filePath(QStringLiteral("results.txt")));
  ASSERT_TRUE(rtf.open(QIODevice::WriteOnly));
  rtf.write(PlainTextToRtf(text));
  rtf.close();
  QFile::copy(rtf.fileName(), dir.filePath(QStringLiteral("results.rtf")));
  QProcess convert;
  convert.start(office, {QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                         QStringLiteral("txt:Text (encoded):UTF8"), QStringLiteral("--outdir"),
                         dir.filePath(QStringLiteral("out")), dir.filePath(QStringLiteral("results.rtf"))});
  ASSERT_TRUE(convert.waitForFinished(120000));
  QFile out(dir.filePath(QStringLiteral("out/results.txt")));
  ASSERT_TRUE(out.open(QIODevice::ReadOnly)) << convert.readAllStandardError().toStdString();
  QString back = QString::fromUtf8(out.readAll());
  back.remove(QChar(0xFEFF));
  back.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  EXPECT_EQ(back.trimmed(), text);
}

}  // namespace
}  // namespace eitool::gui
