// The .reg reader and writer on their own, from bytes to bytes.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "settings/store/RegFile.h"

using namespace lumora;

namespace {

const QString kLumora = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\LUMORA");

QByteArray utf16le(const QString& text) {
  QByteArray out("\xFF\xFE", 2);
  for (QChar c : text) {
    out.append(char(c.unicode() & 0xFF));
    out.append(char(c.unicode() >> 8));
  }
  return out;
}

RegFile parse(const QByteArray& bytes) {
  std::optional<RegFile> f = RegFile::Parse(bytes);
  EXPECT_TRUE(f.has_value()) << bytes.left(200).toStdString();
  return f.value_or(RegFile{});
}

// Whatever was read must come back the same after a write and a second read.
void expectRoundTrip(const RegFile& f) {
  const QByteArray once = f.serialize();
  std::optional<RegFile> again = RegFile::Parse(once);
  ASSERT_TRUE(again.has_value()) << once.toStdString();
  EXPECT_EQ(*again, f) << once.toStdString();
  EXPECT_EQ(again->serialize(), once);
}

}  // namespace

TEST(RegFile, WritesTheVersion5TextWithEscapesAndDwords) {
  RegFile f;
  RegFile::Section& s = f.createSection(QStringLiteral("\\HKEY_LOCAL_MACHINE\\SOFTWARE\\LUMORA\\"));
  s.set(QStringLiteral("FileDir"), RegValue::Text(QStringLiteral("C:\\Bilder \"neu\"\\")));
  s.set(QStringLiteral("FontSize"), RegValue::Number(26));
  s.set(QStringLiteral("Text"), RegValue::Text(QStringLiteral("Grüße")));
  s.set(QStringLiteral("fontsize"), RegValue::Number(-1));  // same value, other case
  EXPECT_EQ(QString::fromUtf8(f.serialize()),
            QStringLiteral("Windows Registry Editor Version 5.00\n\n"
                           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\LUMORA]\n"
                           "\"FileDir\"=\"C:\\\\Bilder \\\"neu\\\"\\\\\"\n"
                           "\"FontSize\"=dword:ffffffff\n"
                           "\"Text\"=\"Grüße\"\n\n"));
}

TEST(RegFile, ReadsAUtf16RegeditExportWithEveryValueKind) {
  const QString text = QStringLiteral(
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "; exported by hand\r\n"
      "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
      "@=\"default\"\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\LUMORA]\r\n"
      "\"FileDescription\"=\"Bildschirm\"\r\n"
      "\"FileDir\"=hex(2):43,00,3a,00,5c,00,25,00,54,00,45,00,4d,00,50,00,25,00,5c,\\\r\n"
      "  00,00\r\n"
      "\"Lines\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
      "\"Big\"=hex(b):01,00,00,00,00,00,00,00\r\n"
      "\"Blob\"=hex:de,ad,\\\r\n    be,ef\r\n"
      "\"FontSize\"=dword:0000000E\r\n"
      "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Gone]\r\n");
  const RegFile f = parse(utf16le(text));
  ASSERT_TRUE(f.hasKey(QStringLiteral("hkey_local_machine\\software\\lumora\\")));
  const RegFile::Section* s = f.findSection(kLumora);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->find(QStringLiteral("filedescription"))->asText(), QStringLiteral("Bildschirm"));
  EXPECT_EQ(s->find(QStringLiteral("FileDir"))->type, uint32_t(RegType::ExpandSz));
  EXPECT_EQ(s->find(QStringLiteral("FileDir"))->asText(), QStringLiteral("C:\\%TEMP%\\"));  // nothing expanded
  EXPECT_EQ(s->find(QStringLiteral("Lines"))->type, uint32_t(RegType::MultiSz));
  EXPECT_EQ(s->find(QStringLiteral("Big"))->type, uint32_t(RegType::Qword));
  EXPECT_EQ(s->find(QStringLiteral("Big"))->asNumber(), std::nullopt);
  EXPECT_EQ(s->find(QStringLiteral("Blob"))->data, QByteArray::fromHex("deadbeef"));
  EXPECT_EQ(s->find(QStringLiteral("FontSize"))->asNumber(), 14);
  EXPECT_EQ(f.findSection(QStringLiteral("HKEY_CURRENT_USER\\Software\\Other"))->find(QString())->asText(),
            QStringLiteral("default"));
  EXPECT_EQ(f.preamble, QStringList{QStringLiteral("; exported by hand")});
  EXPECT_FALSE(f.hasKey(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Gone")));
  expectRoundTrip(f);
}

TEST(RegFile, ReadsRegedit4InWindows1252) {
  // 0xFC is "ü", 0x80 the euro sign; hex(2) bytes are ANSI in this format too.
  const QByteArray bytes("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\LUMORA]\r\n"
                         "\"Text\"=\"Gr\xFCn \x80\"\r\n\"Dir\"=hex(2):46,fc,00\r\n");
  const RegFile f = parse(bytes);
  const RegFile::Section* s = f.findSection(kLumora);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->find(QStringLiteral("Text"))->asText(), QStringLiteral("Grün €"));
  EXPECT_EQ(s->find(QStringLiteral("Dir"))->asText(), QStringLiteral("Fü"));
  expectRoundTrip(f);
}

TEST(RegFile, ImportsLikeRegedit) {
  const RegFile f = parse(
      "Windows Registry Editor Version 5.00\n"
      "[HKEY_LOCAL_MACHINE\\A]\n\"x\"=dword:1\n\"y\"=\"1\"\n"
      "[HKEY_LOCAL_MACHINE\\A\\Sub]\n\"z\"=\"\"\n"
      "[hkey_local_machine\\a\\]\n\"X\"=dword:2\n\"Y\"=-\n"   // the same key again
      "[HKEY_LOCAL_MACHINE\\B]\n\"v\"=\"keep\"\n"
      "[-HKEY_LOCAL_MACHINE\\B]\n\"ignored\"=\"under a deletion\"\n"
      "[HKEY_LOCAL_MACHINE\\B]\n\"w\"=\"new\"\n");
  ASSERT_EQ(f.sections.size(), 4u);
  const RegFile::Section* a = f.findSection(QStringLiteral("HKEY_LOCAL_MACHINE\\A"));
  ASSERT_EQ(a->entries.size(), 1u);
  EXPECT_EQ(a->find(QStringLiteral("x"))->asNumber(), 2);
  const RegFile::Section* b = f.findSection(QStringLiteral("HKEY_LOCAL_MACHINE\\B"));
  EXPECT_EQ(b->find(QStringLiteral("v")), nullptr);
  EXPECT_EQ(b->find(QStringLiteral("w"))->asText(), QStringLiteral("new"));
  expectRoundTrip(f);

  RegFile g = f;
  EXPECT_TRUE(g.removeKey(QStringLiteral("HKEY_LOCAL_MACHINE\\A")));
  EXPECT_FALSE(g.hasKey(QStringLiteral("HKEY_LOCAL_MACHINE\\A\\Sub")));
  EXPECT_FALSE(g.removeKey(QStringLiteral("HKEY_LOCAL_MACHINE\\A")));
}

TEST(RegFile, KeepsWhatAQuotedStringCannotCarryAsHex) {
  RegFile f;
  RegFile::Section& s = f.createSection(kLumora);
  s.set(QStringLiteral("Lines"), RegValue::Text(QStringLiteral("eins\nzwei\t")));
  s.set(QStringLiteral("Lone"), RegValue::Text(QString(QChar(0xD800))));
  s.set(QStringLiteral("Odd"), RegValue{uint32_t(RegType::Sz), QByteArray("a\0b", 3)});
  s.set(QStringLiteral("Short"), RegValue{uint32_t(RegType::Dword), QByteArray("\1\0", 2)});
  s.set(QStringLiteral("Long"), RegValue{uint32_t(RegType::Binary), QByteArray(300, '\x5a')});
  s.set(QStringLiteral("Type"), RegValue{0xffff0010u, QByteArray()});
  expectRoundTrip(f);
  for (const QByteArray& line : f.serialize().split('\n')) EXPECT_LE(line.size(), 80) << line.toStdString();
}

TEST(RegFile, RefusesWhatIsNotARegistryFile) {
  struct Case {
    const char* what;
    QByteArray bytes;
  };
  const QByteArray head("Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X]\n");
  const Case cases[] = {
      {"empty", QByteArray()},
      {"no header", QByteArray("[HKEY_LOCAL_MACHINE\\X]\n\"a\"=\"b\"\n")},
      {"value before any key", QByteArray("REGEDIT4\n\"a\"=\"b\"\n")},
      {"key outside the hives", QByteArray("REGEDIT4\n[SOFTWARE\\X]\n")},
      {"unclosed key", QByteArray("REGEDIT4\n[HKEY_LOCAL_MACHINE\\X\n")},
      {"unclosed text", head + "\"a\"=\"b\n"},
      {"text with a tail", head + "\"a\"=\"b\" x\n"},
      {"dword too long", head + "\"a\"=dword:123456789\n"},
      {"dword not hex", head + "\"a\"=dword:12g4\n"},
      {"bad hex byte", head + "\"a\"=hex:01,zz\n"},
      {"three-digit byte", head + "\"a\"=hex:100\n"},
      {"bad hex type", head + "\"a\"=hex(q):01\n"},
      {"continuation at the end", head + "\"a\"=hex:01,\\"},
      {"stray line", head + "a=b\n"},
      {"missing =", head + "\"a\" \"b\"\n"},
      {"invalid UTF-8", head + "\"a\"=\"\xC3\x28\"\n"},
      {"zero byte", head + QByteArray("\"a\"=\"\0\"\n", 8)},
      {"odd UTF-16", QByteArray("\xFF\xFE" "R\0E\0G", 7)},
      {"unpaired surrogate", QByteArray("\xFF\xFE\x00\xD8", 4)},
      {"binary garbage", QByteArray::fromHex("7f454c4602010100000000000000000003003e00")},
      {"truncated export", QByteArray("Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\LUM")},
      {"too large", head + "; " + QByteArray(RegFile::kMaxSize, 'x') + "\n"},
  };
  for (const Case& c : cases) EXPECT_FALSE(RegFile::Parse(c.bytes).has_value()) << c.what;
}

// Inputs the fuzzer once found troublesome stay here for good.
TEST(RegFile, FuzzFindingsStayFixed) {
  const QDir dir(QStringLiteral(LUMORA_SOURCE_DIR "/tests/fuzz/regressions"));
  for (const QString& name : dir.entryList(QDir::Files)) {
    QFile file(dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    const std::optional<RegFile> f = RegFile::Parse(file.readAll());
    if (f) expectRoundTrip(*f);
  }
}
