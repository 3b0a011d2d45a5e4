// The INI dialect shared by every settings file of the program (panel settings,
// parameter file, table attributes, hardware initial file).
//
// Written form, byte for byte (every line ends with CR LF, the empty ones too):
//
//   [SECTION NAME]
//   KEY = 123                      integer, "%ld"
//   OTHER KEY = "text \"quoted\""  string, escaped
//   LONG KEY Line0001 = "...80 bytes..."
//   LONG KEY Line0002 = "...the rest"
//   <empty line>                   after the last item of each section
//
// String escapes: \" \\ \t \n \r, \xHH (lower-case hex) for the other bytes
// below 0x20 and for 0x7F; bytes from 0x80 up pass unchanged. A value longer than
// 80 bytes is cut into pieces of at most 80 bytes before escaping, each written
// under the key followed by " Line" and a four-digit counter from 0001.
//
// Reading is lenient and never fails: a UTF-8 byte-order mark at the start is skipped;
// lines end at CR LF, LF or CR; a line is a
// comment (";"), a section header ("[" ... "]"), an item (non-empty key "="
// non-empty value) or ignored. Lookups ignore letter case and surrounding blanks;
// the first matching section and key win.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One "key = value" line as read or put; split pieces stay separate items when read.
struct IniItem {
  std::string key;    // key as written (may carry blanks, e.g. "GROUP ")
  std::string value;  // raw value: unescaped string contents or integer/unquoted text
  bool quoted = false;  // true: written as a quoted, escaped string
};

// One section with its items in insertion order.
struct IniSection {
  std::string name;            // name between "[" and "]"
  std::vector<IniItem> items;  // items in the order they were put or read
};

// A whole settings file: its sections in insertion order.
struct IniDocument {
  std::vector<IniSection> sections;  // sections in the order they were put or read
};

// Longest value written on one line; longer ones are split into " LineNNNN" pieces.
constexpr std::size_t INI_MAX_LINE_VALUE = 80;
// IniReadFile reads at most this many bytes of a file; the rest is not looked at.
constexpr std::size_t INI_MAX_FILE_BYTES = 2u * 1024u * 1024u;

// Name comparison of the lookups: ASCII letter case and leading/trailing blanks ignored.
bool IniNameMatches(std::string_view a, std::string_view b);

// First section matching `name`, or null.
const IniSection* IniFindSection(const IniDocument& doc, std::string_view name);
// First item of `section` whose key matches `key`, or null. Pieces are not joined.
const IniItem* IniFindItem(const IniSection& section, std::string_view key);

// Put a string / integer. The first section matching `section` is used (appended when
// there is none). An item with a matching key is replaced in place, together with any
// " LineNNNN" pieces of it; otherwise the item is appended.
void IniPutString(IniDocument* doc, std::string_view section, std::string_view key, std::string_view value);
void IniPutInt(IniDocument* doc, std::string_view section, std::string_view key, long value);

// Value of `key` in the first section matching `section`. A key that is not present
// itself but has " Line0001", " Line0002" ... pieces yields the pieces joined in
// counter order, up to the first missing number. Returns false when not found;
// *out is then left as it was.
bool IniGetString(const IniDocument& doc, std::string_view section, std::string_view key, std::string* out);
// As IniGetString, and the value must be an integer: optional sign, decimal digits,
// within the range of long. Returns false when missing or not an integer (*out unchanged).
bool IniGetInt(const IniDocument& doc, std::string_view section, std::string_view key, long* out);

// The document as file bytes.
std::string IniSerialize(const IniDocument& doc);
// Whatever the bytes hold, as a document (binary, empty and malformed input included).
IniDocument IniParse(std::string_view bytes);

// Writes the whole document to `path` through a temporary file in the same directory
// (IniTemporaryPath of the target) that then replaces the target. 1 on success; -1 on
// failure, the old file untouched. Writers of the same target take turns on the
// temporary's lock. Failures are reported by the callers, not here.
int IniWriteFile(const IniDocument& doc, const std::string& path);
// The same for bytes of any other format (the scope's CSV file).
int ReplaceFileContents(const std::string& path, std::string_view bytes);
// The temporary file IniWriteFile writes before it replaces `target`: `target` + ".tmp".
// A write that was cut off (the process killed) leaves it behind; the next write reuses it.
std::string IniTemporaryPath(const std::string& target);
// Reads `path` into *doc. -1 when the file cannot be opened or read; *doc is then empty.
int IniReadFile(const std::string& path, IniDocument* doc);
