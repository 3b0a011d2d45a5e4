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
#include <iterator>
#include <random>

#include "app/file_bytes_test.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

using testfiles::FileBytes;

std::string Get(const IniDocument& doc, std::string_view section, std::string_view key) {
  std::string out = "<missing>";
  IniGetString(doc, section, key, &out);
  return out;
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

TEST(IniWrite, LinesEscapesAndIntegersAreExact) {
  IniDocument doc;
  IniPutString(&doc, "GENERAL INFO", "FILE TYPE:", "Parameter File");
  IniPutInt(&doc, "GENERAL INFO", "OFFSET", -42);
  IniPutInt(&doc, "PARAMETER", "LOWEST", LONG_MIN);
  IniPutString(&doc, "PARAMETER", "EMPTY", "");
  IniPutString(&doc, "PARAMETER", "K", "a\"b\\c\td\ne\rf\x01g\x1f\x7f\x80\xff"s + '\0');
  EXPECT_EQ(IniSerialize(doc), "[GENERAL INFO]\r\nFILE TYPE: = \"Parameter File\"\r\nOFFSET = -42\r\n\r\n"
                               "[PARAMETER]\r\nLOWEST = -9223372036854775808\r\nEMPTY = \"\"\r\n"s +
                                   R"(K = "a\"b\\c\td\ne\rf\x01g\x1f\x7f)" + "\x80\xff" + R"(\x00")" + "\r\n\r\n");
  EXPECT_EQ(IniSerialize(IniDocument{}), "");
}

TEST(IniWrite, LongValueIsSplitBeforeEscapingIntoNumberedPieces) {
  IniDocument doc;
  IniPutString(&doc, "S", "PANEL ID", std::string(80, 'a') + std::string(80, 'b') + std::string(40, 'c'));
  IniPutString(&doc, "S", "EXACTLY 80", std::string(80, 'e'));
  IniPutString(&doc, "S", "NEWLINES", std::string(81, '\n'));
  std::string escaped80;
  for (int i = 0; i < 80; ++i) escaped80 += "\\n";
  EXPECT_EQ(IniSerialize(doc), "[S]\r\nPANEL ID Line0001 = \"" + std::string(80, 'a') +
                                   "\"\r\nPANEL ID Line0002 = \"" + std::string(80, 'b') +
                                   "\"\r\nPANEL ID Line0003 = \"" + std::string(40, 'c') +
                                   "\"\r\nEXACTLY 80 = \"" + std::string(80, 'e') +
                                   "\"\r\nNEWLINES Line0001 = \"" + escaped80 +
                                   "\"\r\nNEWLINES Line0002 = \"\\n\"\r\n\r\n");
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

TEST(IniRoundTrip, ReadingWhatWasWrittenGivesTheSameDocumentAndBytes) {
  IniDocument doc;
  std::string everyByte;
  for (int i = 0; i < 256; ++i) everyByte += static_cast<char>(i);  // every escape, over 4 pieces
  IniPutString(&doc, "GENERAL INFO", "PANEL ID:", "C:\\dir \"x\"\t");
  IniPutString(&doc, "GENERAL INFO", "BLANKS", "  padded  ");
  IniPutInt(&doc, "PANEL POSITION", "MAINPANEL LEFT", -10);
  IniPutString(&doc, "PANEL POSITION", "LONG", everyByte);
  const std::string bytes = IniSerialize(doc);
  const IniDocument back = IniParse(bytes);
  ASSERT_EQ(back.sections.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    const IniItem& x = doc.sections[0].items[i];
    const IniItem& y = back.sections[0].items[i];
    EXPECT_TRUE(x.key == y.key && x.value == y.value && x.quoted == y.quoted) << x.key;
  }
  EXPECT_FALSE(back.sections[1].items[0].quoted);
  EXPECT_EQ(Get(back, "PANEL POSITION", "LONG"), everyByte);  // joined from its pieces
  EXPECT_EQ(IniSerialize(back), bytes);
}

TEST(IniRoundTrip, ParameterFileHas305LinesAndReadsBack) {
  const std::string bytes = IniSerialize(ParameterFileDocument());
  std::size_t lines = 0;
  for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2)) ++lines;
  EXPECT_EQ(lines, 305u);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n') + std::count(bytes.begin(), bytes.end(), '\r'), 610);
  EXPECT_EQ(bytes.substr(0, 47), "[GENERAL INFO]\r\nFILE TYPE: = \"Parameter File\"\r\n");
  EXPECT_NE(bytes.find("\r\n\r\n[TEACH VECTOR 30]\r\nCELL 0 = 300\r\n"), std::string::npos);
  const std::string tail = "CELL 4 = 304\r\nGROUP  = 0\r\nHOLD  = 65505\r\n\r\n";
  EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);

  const IniDocument back = IniParse(bytes);
  EXPECT_EQ(Get(back, "GENERAL INFO", "SCOPE VERSION:"), "CHROMIK4-ANA-Scope V1.2");
  EXPECT_EQ(Get(back, "PARAMETER", "ANALOG ZOOM"), "1019");
  long group = -1, hold = -1;
  for (int r = 0; r <= 30; ++r) {
    const std::string section = "TEACH VECTOR " + std::to_string(r);
    ASSERT_TRUE(IniGetInt(back, section, "GROUP", &group) && IniGetInt(back, section, "HOLD", &hold)) << r;
    EXPECT_TRUE(group == r % 3 && hold == 65535 - r) << r;
  }
}

// [SECTION] Lenient reading

TEST(IniRead, CommentsBlanksCaseJunkAndBrokenHeaders) {
  const IniDocument doc = IniParse(
      "orphan = 1\r\n"  // before any section
      "; comment = 2\r\n"
      "  \t[ General Info  ]  trailing text\r\n"
      "\tFILE TYPE:   =   \"Parameter File\"   \r\n"
      "GROUP  = 0\n"
      "no equals sign\n= no key\nEMPTY =   \n[broken header\r"
      "[still = general\r"
      "Open = \"unterminated \\\"text\r\n"
      "After = \"closed\" junk\r\n"
      "Odd = \"\\q\\x4\\xZZ\\x41\\\"\r\n"
      "Unquoted = a \"b\" c\r\n"
      "[GENERAL INFO]\nFILE TYPE: = \"shadowed\"\n"
      "[Second]\nKey = 1\nKEY = 2\n");
  ASSERT_EQ(doc.sections.size(), 3u);
  EXPECT_EQ(doc.sections[0].name, " General Info");
  EXPECT_EQ(doc.sections[0].items.size(), 7u);
  EXPECT_EQ(Get(doc, "general info", " FILE TYPE: "), "Parameter File");
  EXPECT_EQ(Get(doc, "GENERAL INFO", "group"), "0");
  EXPECT_EQ(Get(doc, "GENERAL INFO", "[still"), "general");
  EXPECT_EQ(Get(doc, "GENERAL INFO", "Open"), "unterminated \"text");
  EXPECT_EQ(Get(doc, "GENERAL INFO", "After"), "closed");
  EXPECT_EQ(Get(doc, "GENERAL INFO", "Odd"), R"(\q\x4\xZZA")");
  EXPECT_EQ(Get(doc, "GENERAL INFO", "Unquoted"), "a \"b\" c");
  EXPECT_EQ(Get(doc, "SECOND", "key"), "1");
  EXPECT_EQ(Get(doc, "GENERAL INFO", "orphan") + Get(doc, "GENERAL INFO", "EMPTY"), "<missing><missing>");

  const IniDocument ends = IniParse("[S]\rA = 1\rB = 2\n\rC = 3\r\n\nD = 4");
  EXPECT_EQ(Get(ends, "S", "A") + Get(ends, "S", "B") + Get(ends, "S", "C") + Get(ends, "S", "D"), "1234");
}

TEST(IniRead, IntegersAreSignAndDigitsWithinLong) {
  const struct {
    const char* text;
    bool ok;
    long value;
  } cases[] = {{"-42", true, -42}, {"+7", true, 7}, {"007", true, 7}, {"\"42\"", true, 42},
               {"9223372036854775807", true, LONG_MAX}, {"-9223372036854775808", true, LONG_MIN},
               {"9223372036854775808", false, 0}, {"12a", false, 0}, {"1 2", false, 0}, {"-", false, 0},
               {"+-1", false, 0}, {"0x10", false, 0}, {"1.5", false, 0}};
  for (const auto& c : cases) {
    long v = 99;
    EXPECT_EQ(IniGetInt(IniParse("[S]\nK = "s + c.text), "S", "K", &v), c.ok) << c.text;
    EXPECT_EQ(v, c.ok ? c.value : 99) << c.text;  // untouched when not an integer
  }
}

TEST(IniRead, PiecesJoinInCounterOrderUpToTheFirstGap) {
  const IniDocument doc = IniParse(
      "[S]\nID Line0002 = \"b\"\nid line0001 = \"a\"\nID Line0001 = \"shadowed\"\nID Line0004 = \"d\"\n"
      "N Line0001 = 12\nN Line0002 = 34\nDIRECT = \"direct\"\nDIRECT Line0001 = \"piece\"\n");
  EXPECT_EQ(Get(doc, "S", "ID"), "ab");
  EXPECT_EQ(Get(doc, "S", "DIRECT"), "direct");
  long n = 0;
  EXPECT_TRUE(IniGetInt(doc, "S", "N", &n));
  EXPECT_EQ(n, 1234);
}

TEST(IniRead, BinaryEmptyAndHugeInputsYieldWhatTheyCan) {
  EXPECT_TRUE(IniParse("").sections.empty());
  EXPECT_TRUE(IniParse("[\r\n\n\r").sections.empty());
  const IniDocument nul = IniParse("[S]\0junk\r\nK\0EY = va\0lue\r\n\0 = \0"s);
  EXPECT_EQ(Get(nul, "S", "K\0EY"s), "va\0lue"s);
  EXPECT_EQ(Get(nul, "S", "\0"s), "\0"s);

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
  EXPECT_EQ(Get(doc, "GENERAL INFO", "FILE TYPE:"), "<missing>");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));  // linear: well under 1 s
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
  std::size_t Entries() const { return std::distance(fs::directory_iterator(path), fs::directory_iterator()); }
};

// IniWriteFile into a directory without write permission; as root, from a child that gave root up.
int WriteWithoutPermission(const IniDocument& doc, const fs::path& target) {
  if (geteuid() != 0) return IniWriteFile(doc, target.string());
  const pid_t child = fork();
  if (child == 0) _exit(setgid(65534) == 0 && setuid(65534) == 0 ? IniWriteFile(doc, target.string()) + 10 : 0);
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 9 ? -1 : 1;
}

}  // namespace

TEST(IniFile, WriteReplacesTheFileKeepsItsModeAndReadsBack) {
  TempDir dir;
  const fs::path file = dir.path / "Parameter.ini";
  const IniDocument doc = ParameterFileDocument();
  struct stat st;
  ASSERT_EQ(IniWriteFile(doc, file.string()), 1);
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
  EXPECT_EQ(FileBytes(file), IniSerialize(doc));

  chmod(file.c_str(), 0600);
  IniDocument other;
  IniPutInt(&other, "S", "K", 1);
  ASSERT_EQ(IniWriteFile(other, file.string()), 1);
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(dir.Entries(), 1u);  // no temporary left behind
  IniDocument back;
  ASSERT_EQ(IniReadFile(file.string(), &back), 1);
  EXPECT_EQ(IniSerialize(back), IniSerialize(other));

  const fs::path link = dir.path / "link.ini";  // written through, the link stays a link
  fs::create_symlink(file, link);
  ASSERT_EQ(IniWriteFile(doc, link.string()), 1);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(FileBytes(file), IniSerialize(doc));
}

TEST(IniFile, FailedWriteLeavesTheOldFileByteIdentical) {
  TempDir dir;
  const fs::path file = dir.path / "PanelSettings.cfg";
  const std::string old = "old contents\n\0\xff"s;
  std::ofstream(file, std::ios::binary) << old;
  IniDocument doc;
  IniPutString(&doc, "GENERAL INFO", "FILE TYPE:", "Panel Settings");

  fs::permissions(dir.path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  fs::permissions(dir.path, fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
  EXPECT_EQ(WriteWithoutPermission(doc, file), -1);
  fs::permissions(dir.path, fs::perms::owner_all);
  EXPECT_EQ(FileBytes(file), old);

  const fs::path sub = dir.path / "a directory";
  fs::create_directory(sub);
  EXPECT_EQ(IniWriteFile(doc, sub.string()), -1);
  EXPECT_TRUE(fs::is_directory(sub));
  EXPECT_EQ(dir.Entries(), 2u);  // the temporary was removed
  EXPECT_EQ(IniWriteFile(doc, (dir.path / "missing" / "x.ini").string()), -1);
}

TEST(IniFile, UnreadableFileReadsAsEmpty) {
  TempDir dir;
  IniDocument doc = ParameterFileDocument();
  EXPECT_EQ(IniReadFile((dir.path / "absent.ini").string(), &doc), -1);
  EXPECT_TRUE(doc.sections.empty());
  doc = ParameterFileDocument();
  EXPECT_EQ(IniReadFile(dir.path.string(), &doc), -1);  // a directory
  EXPECT_TRUE(doc.sections.empty());
}

TEST(IniFile, WritersOfTheSameFileTakeTurns) {
  TempDir dir;
  const fs::path file = dir.path / "Shared.ini";
  IniDocument docs[2];
  for (int k = 0; k < 2; ++k) {
    for (int i = 0; i < 400; ++i) IniPutInt(&docs[k], "S", "KEY " + std::to_string(i), k * 1000 + i);
  }
  const std::string bytes[2] = {IniSerialize(docs[0]), IniSerialize(docs[1])};
  ASSERT_EQ(IniWriteFile(docs[0], file.string()), 1);
  pid_t children[2];
  for (int k = 0; k < 2; ++k) {
    children[k] = fork();
    if (children[k] == 0) {
      for (int i = 0; i < 100; ++i) {
        if (IniWriteFile(docs[k], file.string()) != 1) _exit(1);
      }
      _exit(0);
    }
  }
  // Whatever moment the file is read at, it is one writer's file, whole.
  int statuses[2] = {-1, -1};
  for (int reads = 0; statuses[0] == -1 || statuses[1] == -1; ++reads) {
    const std::string now = FileBytes(file);
    ASSERT_TRUE(now == bytes[0] || now == bytes[1]) << "read " << reads << ": " << now.size() << " bytes";
    for (int k = 0; k < 2; ++k) {
      if (statuses[k] == -1 && waitpid(children[k], &statuses[k], WNOHANG) == 0) statuses[k] = -1;
    }
  }
  for (int status : statuses) EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(dir.Entries(), 1u);
}
