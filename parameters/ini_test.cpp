#include "parameters/ini.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

std::string Get(const IniDocument& doc, std::string_view section, std::string_view key) {
  std::string out = "<missing>";
  IniGetString(doc, section, key, &out);
  return out;
}

std::size_t CountLines(const std::string& bytes) {
  std::size_t n = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i) n += (bytes[i] == '\r' && bytes[i + 1] == '\n');
  return n;
}

void ExpectSameDocument(const IniDocument& a, const IniDocument& b) {
  ASSERT_EQ(a.sections.size(), b.sections.size());
  for (std::size_t s = 0; s < a.sections.size(); ++s) {
    EXPECT_EQ(a.sections[s].name, b.sections[s].name);
    ASSERT_EQ(a.sections[s].items.size(), b.sections[s].items.size()) << a.sections[s].name;
    for (std::size_t i = 0; i < a.sections[s].items.size(); ++i) {
      const IniItem& x = a.sections[s].items[i];
      const IniItem& y = b.sections[s].items[i];
      EXPECT_EQ(x.key, y.key);
      EXPECT_EQ(x.value, y.value) << x.key;
      EXPECT_EQ(x.quoted, y.quoted) << x.key;
    }
  }
}

// The parameter file as the program builds it: 20 parameters, 31 teach rows.
IniDocument ParameterFileDocument() {
  static const char* const keys[20] = {"POWER", "POWER MODE", "AVERAGE", "EVALUATION MODE", "HOLD FAIL",
                                       "INTLIM", "MAX VEC NO", "DIGITAL OUTMODE", "TRIGGER", "EXTERN TEACH",
                                       "CALCULATION MODE", "DYNWIN LO", "DYNWIN HI", "COLOR GROUP", "LED MODE",
                                       "GAIN", "INTEGRAL", "ANALOG OUTMODE", "ANALOG OUT", "ANALOG ZOOM"};
  IniDocument doc;
  IniPutString(&doc, "GENERAL INFO", "FILE TYPE:", "Parameter File");
  IniPutString(&doc, "GENERAL INFO", "SCOPE VERSION:", "CHROMIK4-ANA-Scope V1.2");
  for (int w = 0; w < 20; ++w) IniPutInt(&doc, "PARAMETER", keys[w], 1000 + w);
  for (int r = 0; r <= 30; ++r) {
    const std::string section = "TEACH VECTOR " + std::to_string(r);
    for (int c = 0; c < 5; ++c) IniPutInt(&doc, section, "CELL " + std::to_string(c), r * 10 + c);
    IniPutInt(&doc, section, "GROUP ", r % 3);
    IniPutInt(&doc, section, "HOLD ", 65535 - r);
  }
  return doc;
}

}  // namespace

// [SECTION] Writing

TEST(IniWrite, SectionsItemsAndLineEndsAreExact) {
  IniDocument doc;
  IniPutString(&doc, "GENERAL INFO", "FILE TYPE:", "Parameter File");
  IniPutInt(&doc, "GENERAL INFO", "OFFSET", -42);
  IniPutInt(&doc, "PARAMETER", "POWER", 500);
  IniPutInt(&doc, "PARAMETER", "LOWEST", LONG_MIN);
  IniPutString(&doc, "PARAMETER", "EMPTY", "");
  EXPECT_EQ(IniSerialize(doc),
            "[GENERAL INFO]\r\n"
            "FILE TYPE: = \"Parameter File\"\r\n"
            "OFFSET = -42\r\n"
            "\r\n"
            "[PARAMETER]\r\n"
            "POWER = 500\r\n"
            "LOWEST = -9223372036854775808\r\n"
            "EMPTY = \"\"\r\n"
            "\r\n");
  EXPECT_EQ(IniSerialize(IniDocument{}), "");
}

TEST(IniWrite, EveryEscapeAndHighBytesPassUnchanged) {
  IniDocument doc;
  IniPutString(&doc, "S", "K", "a\"b\\c\td\ne\rf\x01g\x1f\x7f\x80\xff"s + '\0' + "z");
  EXPECT_EQ(IniSerialize(doc), "[S]\r\n"s + R"(K = "a\"b\\c\td\ne\rf\x01g\x1f\x7f)" + "\x80\xff" +
                                   R"(\x00z")" + "\r\n\r\n");
}

TEST(IniWrite, LongValueIsSplitBeforeEscapingIntoNumberedPieces) {
  IniDocument doc;
  IniPutString(&doc, "S", "PANEL ID", std::string(80, 'a') + std::string(80, 'b') + std::string(40, 'c'));
  IniPutString(&doc, "S", "EXACTLY 80", std::string(80, 'e'));
  IniPutString(&doc, "S", "NEWLINES", std::string(100, '\n'));
  std::string newlines1, newlines2;
  for (int i = 0; i < 80; ++i) newlines1 += "\\n";
  for (int i = 0; i < 20; ++i) newlines2 += "\\n";
  EXPECT_EQ(IniSerialize(doc), "[S]\r\n"
                               "PANEL ID Line0001 = \"" + std::string(80, 'a') + "\"\r\n"
                               "PANEL ID Line0002 = \"" + std::string(80, 'b') + "\"\r\n"
                               "PANEL ID Line0003 = \"" + std::string(40, 'c') + "\"\r\n"
                               "EXACTLY 80 = \"" + std::string(80, 'e') + "\"\r\n"
                               "NEWLINES Line0001 = \"" + newlines1 + "\"\r\n"
                               "NEWLINES Line0002 = \"" + newlines2 + "\"\r\n"
                               "\r\n");
}

TEST(IniWrite, PuttingAnExistingKeyReplacesItInPlace) {
  IniDocument doc;
  IniPutInt(&doc, "S", "A", 1);
  IniPutInt(&doc, "S", "B", 2);
  IniPutInt(&doc, "s ", " a", 3);  // same section and key by the lookup rules
  EXPECT_EQ(IniSerialize(doc), "[S]\r\n a = 3\r\nB = 2\r\n\r\n");

  // A value read as pieces is replaced as a whole, at the place of its first piece.
  doc = IniParse("[S]\r\nX = 0\r\nID Line0001 = \"ab\"\r\nY = 1\r\nID Line0002 = \"cd\"\r\n");
  IniPutString(&doc, "S", "ID", "new");
  EXPECT_EQ(IniSerialize(doc), "[S]\r\nX = 0\r\nID = \"new\"\r\nY = 1\r\n\r\n");
}

// [SECTION] Round trips

TEST(IniRoundTrip, ReadingWhatWasWrittenGivesTheSameDocument) {
  IniDocument doc;
  IniPutString(&doc, "GENERAL INFO", "FILE TYPE:", "Panel Settings");
  IniPutString(&doc, "GENERAL INFO", "PANEL ID:", "line 1\nline 2\t\"quoted\" C:\\dir " "\x01\x7f\xc3\xa4"s + '\0');
  IniPutString(&doc, "GENERAL INFO", "EMPTY", "");
  IniPutString(&doc, "GENERAL INFO", "BLANKS", "  padded  ");
  IniPutInt(&doc, "PANEL POSITION", "MAINPANEL LEFT", -10);
  IniPutInt(&doc, "PANEL POSITION", "MAINPANEL WIDTH", 790);
  const std::string bytes = IniSerialize(doc);
  const IniDocument back = IniParse(bytes);
  ExpectSameDocument(doc, back);
  EXPECT_EQ(IniSerialize(back), bytes);
}

TEST(IniRoundTrip, SplitValuesJoinAgainAndRewriteByteIdentical) {
  IniDocument doc;
  std::string escapes;
  for (int i = 0; i < 300; ++i) escapes += static_cast<char>(i % 128);  // every escape, over 4 pieces
  IniPutString(&doc, "S", "PANEL ID", escapes);
  IniPutString(&doc, "S", "TEXT", std::string(200, 'x'));
  const std::string bytes = IniSerialize(doc);
  const IniDocument back = IniParse(bytes);
  EXPECT_EQ(Get(back, "S", "PANEL ID"), escapes);
  EXPECT_EQ(Get(back, "S", "text"), std::string(200, 'x'));
  EXPECT_EQ(IniSerialize(back), bytes);
}

TEST(IniRoundTrip, ParameterFileHas305LinesAndReadsBack) {
  const std::string bytes = IniSerialize(ParameterFileDocument());
  EXPECT_EQ(CountLines(bytes), 305u);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 305);  // no bare LF
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), 305);  // no bare CR
  EXPECT_EQ(bytes.substr(0, 50), "[GENERAL INFO]\r\nFILE TYPE: = \"Parameter File\"\r\nSCO");
  EXPECT_NE(bytes.find("\r\n\r\n[TEACH VECTOR 30]\r\nCELL 0 = 300\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\nGROUP  = 0\r\nHOLD  = 65505\r\n\r\n"), std::string::npos);
  EXPECT_EQ(bytes.substr(bytes.size() - 4), "\r\n\r\n");

  const IniDocument back = IniParse(bytes);
  EXPECT_EQ(Get(back, "GENERAL INFO", "SCOPE VERSION:"), "CHROMIK4-ANA-Scope V1.2");
  long v = 0;
  ASSERT_TRUE(IniGetInt(back, "PARAMETER", "ANALOG ZOOM", &v));
  EXPECT_EQ(v, 1019);
  for (int r = 0; r <= 30; ++r) {
    const std::string section = "TEACH VECTOR " + std::to_string(r);
    ASSERT_TRUE(IniGetInt(back, section, "CELL 4", &v));
    EXPECT_EQ(v, r * 10 + 4);
    ASSERT_TRUE(IniGetInt(back, section, "GROUP", &v)) << section;  // written as "GROUP "
    EXPECT_EQ(v, r % 3);
    ASSERT_TRUE(IniGetInt(back, section, "HOLD", &v)) << section;
    EXPECT_EQ(v, 65535 - r);
  }
  ASSERT_EQ(back.sections.size(), 33u);
  EXPECT_EQ(back.sections[1].items.size(), 20u);
  EXPECT_EQ(back.sections[32].items.size(), 7u);
}

// [SECTION] Lenient reading

TEST(IniRead, CommentsBlanksCaseJunkAndBrokenHeaders) {
  const IniDocument doc = IniParse(
      "orphan = 1\r\n"  // before any section
      "; comment = 2\r\n"
      "  \t[ General Info  ]  trailing text\r\n"
      "\tFILE TYPE:   =   \"Parameter File\"   \r\n"
      "GROUP  = 0\n"
      "no equals sign\n"
      "= no key\n"
      "EMPTY =   \n"
      "[broken header\r"
      "[still = general\r"
      "Open = \"unterminated \\\"text\r\n"
      "After = \"closed\" junk\r\n"
      "Odd = \"\\q\\x4\\xZZ\\x41\\\"\r\n"
      "Unquoted = a \"b\" c\r\n"
      "[GENERAL INFO]\n"
      "FILE TYPE: = \"shadowed\"\n"
      "[Second]\n"
      "Key = 1\n"
      "KEY = 2\n");
  ASSERT_EQ(doc.sections.size(), 3u);
  EXPECT_EQ(doc.sections[0].name, " General Info");
  EXPECT_EQ(Get(doc, "general info", " FILE TYPE: "), "Parameter File");
  EXPECT_TRUE(doc.sections[0].items[0].quoted);
  long v = -1;
  EXPECT_TRUE(IniGetInt(doc, "GENERAL INFO", "group", &v));
  EXPECT_EQ(v, 0);
  EXPECT_EQ(Get(doc, "GENERAL INFO", "EMPTY"), "<missing>");
  EXPECT_EQ(Get(doc, "GENERAL INFO", "orphan"), "<missing>");
  EXPECT_EQ(Get(doc, "GENERAL INFO", "[still"), "general");
  EXPECT_EQ(Get(doc, "GENERAL INFO", "Open"), "unterminated \"text");
  EXPECT_EQ(Get(doc, "GENERAL INFO", "After"), "closed");
  EXPECT_EQ(Get(doc, "GENERAL INFO", "Odd"), R"(\q\x4\xZZA")");
  EXPECT_EQ(Get(doc, "GENERAL INFO", "Unquoted"), "a \"b\" c");
  EXPECT_EQ(doc.sections[0].items.size(), 7u);
  EXPECT_TRUE(IniGetInt(doc, "SECOND", "key", &v));
  EXPECT_EQ(v, 1);
  EXPECT_EQ(Get(doc, "Third", "Key"), "<missing>");
}

TEST(IniRead, EveryLineEndAndAMissingLastOne) {
  const IniDocument doc = IniParse("[S]\rA = 1\rB = 2\n\rC = 3\r\n\nD = 4");
  long a = 0, b = 0, c = 0, d = 0;
  EXPECT_TRUE(IniGetInt(doc, "S", "A", &a) && IniGetInt(doc, "S", "B", &b) && IniGetInt(doc, "S", "C", &c) &&
              IniGetInt(doc, "S", "D", &d));
  EXPECT_EQ(a + b + c + d, 10);
  EXPECT_EQ(doc.sections[0].items.size(), 4u);
}

TEST(IniRead, IntegersAreSignAndDigitsWithinLong) {
  struct Case {
    const char* text;
    bool ok;
    long value;
  };
  const Case cases[] = {{"0", true, 0},       {"-42", true, -42},  {"+7", true, 7},       {"007", true, 7},
                        {"9223372036854775807", true, LONG_MAX}, {"-9223372036854775808", true, LONG_MIN},
                        {"\"42\"", true, 42}, {"9223372036854775808", false, 0},         {"12a", false, 0},
                        {"1 2", false, 0},    {"-", false, 0},     {"+-1", false, 0},     {"0x10", false, 0},
                        {"1.5", false, 0},    {"\" 42\"", false, 0}};
  for (const Case& c : cases) {
    const IniDocument doc = IniParse("[S]\nK = "s + c.text + "\n");
    long v = 99;
    EXPECT_EQ(IniGetInt(doc, "S", "K", &v), c.ok) << c.text;
    EXPECT_EQ(v, c.ok ? c.value : 99) << c.text;  // untouched when not an integer
  }
  long v = 99;
  EXPECT_FALSE(IniGetInt(IniDocument{}, "S", "K", &v));
  EXPECT_EQ(v, 99);
}

TEST(IniRead, PiecesJoinInCounterOrderUpToTheFirstGap) {
  const IniDocument doc = IniParse(
      "[S]\n"
      "ID Line0002 = \"b\"\n"
      "id line0001 = \"a\"\n"
      "ID Line0001 = \"shadowed\"\n"
      "ID Line0004 = \"d\"\n"
      "N Line0001 = 12\n"
      "N Line0002 = 34\n"
      "DIRECT = \"direct\"\n"
      "DIRECT Line0001 = \"piece\"\n");
  EXPECT_EQ(Get(doc, "S", "ID"), "ab");
  EXPECT_EQ(Get(doc, "S", "DIRECT"), "direct");
  long n = 0;
  EXPECT_TRUE(IniGetInt(doc, "S", "N", &n));
  EXPECT_EQ(n, 1234);
  EXPECT_EQ(Get(doc, "S", "Line0001"), "<missing>");
}

TEST(IniRead, BinaryEmptyAndHugeInputsYieldWhatTheyCan) {
  EXPECT_TRUE(IniParse("").sections.empty());
  EXPECT_TRUE(IniParse("[").sections.empty());
  EXPECT_TRUE(IniParse("\r\n\r\n\n\r").sections.empty());

  const IniDocument nul = IniParse("[S]\0junk\r\nK\0EY = va\0lue\r\n\0\0\0 = \0"s);
  EXPECT_EQ(Get(nul, "S", "K\0EY"s), "va\0lue"s);
  EXPECT_EQ(nul.sections[0].items.size(), 2u);

  const std::string mega(1 << 20, 'x');
  const IniDocument big = IniParse("[S]\r\nBIG = \"" + mega + "\"\r\nAFTER = 1\r\n" + mega);
  EXPECT_EQ(Get(big, "S", "BIG"), mega);
  EXPECT_EQ(Get(big, "S", "AFTER"), "1");

  // 10 MB of junk made of the dialect's own characters: parsing must stay linear.
  std::mt19937 rng(4711);
  const char alphabet[] = "[]=\";\\\r\n \tAx0\x01\x80";
  std::string junk(10u << 20, '\0');
  for (char& c : junk) c = alphabet[rng() % (sizeof alphabet - 1)];
  const auto start = std::chrono::steady_clock::now();
  const IniDocument doc = IniParse(junk);
  std::string out;
  IniGetString(doc, "GENERAL INFO", "FILE TYPE:", &out);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_FALSE(doc.sections.empty());
  EXPECT_LT(seconds, 10.0);  // linear is well under a second; quadratic would be hours
}

// [SECTION] Files

namespace {

struct TempDir {
  fs::path path;
  TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "ini_test.XXXXXX").string();
    path = mkdtemp(tmpl.data());
  }
  ~TempDir() {
    std::error_code ec;
    fs::permissions(path, fs::perms::owner_all, ec);
    fs::remove_all(path, ec);
  }
};

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void Spit(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

std::size_t Entries(const fs::path& dir) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

// IniWriteFile into a directory the caller may not write: as root, in a child that gave up root.
int WriteWithoutDirectoryPermission(const IniDocument& doc, const fs::path& target) {
  if (geteuid() != 0) return IniWriteFile(doc, target.string());
  const pid_t child = fork();
  if (child == 0) {
    const bool dropped = setgid(65534) == 0 && setuid(65534) == 0;
    _exit(dropped ? (IniWriteFile(doc, target.string()) == -1 ? 10 : 11) : 12);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 10 ? -1 : 1;
}

}  // namespace

TEST(IniFile, WriteReplacesTheFileWithModeAndReadsBack) {
  TempDir dir;
  const fs::path file = dir.path / "Parameter.ini";
  const IniDocument doc = ParameterFileDocument();
  ASSERT_EQ(IniWriteFile(doc, file.string()), 1);
  EXPECT_EQ(Slurp(file), IniSerialize(doc));
  struct stat st;
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);

  chmod(file.c_str(), 0600);  // an existing file keeps its mode
  IniDocument other;
  IniPutInt(&other, "S", "K", 1);
  ASSERT_EQ(IniWriteFile(other, file.string()), 1);
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(Entries(dir.path), 1u);  // no temporary left behind

  IniDocument back;
  ASSERT_EQ(IniReadFile(file.string(), &back), 1);
  ExpectSameDocument(other, back);

  // Through a symbolic link the link stays and its target is rewritten.
  const fs::path link = dir.path / "link.ini";
  fs::create_symlink(file, link);
  ASSERT_EQ(IniWriteFile(doc, link.string()), 1);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Slurp(file), IniSerialize(doc));
}

TEST(IniFile, FailedWriteLeavesTheOldFileByteIdentical) {
  TempDir dir;
  const fs::path file = dir.path / "PanelSettings.cfg";
  const std::string old = "old contents\n\0\xff"s;
  Spit(file, old);
  IniDocument doc;
  IniPutString(&doc, "GENERAL INFO", "FILE TYPE:", "Panel Settings");

  fs::permissions(dir.path, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
  EXPECT_EQ(WriteWithoutDirectoryPermission(doc, file), -1);
  fs::permissions(dir.path, fs::perms::owner_all);
  EXPECT_EQ(Slurp(file), old);
  EXPECT_EQ(Entries(dir.path), 1u);

  const fs::path sub = dir.path / "a directory";
  fs::create_directory(sub);
  Spit(sub / "inside", "x");
  EXPECT_EQ(IniWriteFile(doc, sub.string()), -1);
  EXPECT_TRUE(fs::is_directory(sub));
  EXPECT_EQ(Slurp(sub / "inside"), "x");
  EXPECT_EQ(Entries(dir.path), 2u);  // the temporary was removed

  EXPECT_EQ(IniWriteFile(doc, (dir.path / "missing" / "x.ini").string()), -1);
  EXPECT_EQ(IniWriteFile(doc, ""), -1);
}

TEST(IniFile, UnreadableFileReadsAsEmpty) {
  TempDir dir;
  IniDocument doc = ParameterFileDocument();
  EXPECT_EQ(IniReadFile((dir.path / "absent.ini").string(), &doc), -1);
  EXPECT_TRUE(doc.sections.empty());
  doc = ParameterFileDocument();
  EXPECT_EQ(IniReadFile(dir.path.string(), &doc), -1);
  EXPECT_TRUE(doc.sections.empty());

  Spit(dir.path / "empty.ini", "");
  EXPECT_EQ(IniReadFile((dir.path / "empty.ini").string(), &doc), 1);
  EXPECT_TRUE(doc.sections.empty());
}
