#include "parameters/ini.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

constexpr std::size_t NOT_FOUND = static_cast<std::size_t>(-1);
constexpr std::string_view PIECE_MARK = " Line";  // between a key and its piece counter
constexpr std::size_t PIECE_DIGITS = 4;           // counter width as written

// [SECTION] Names and lookup

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsWhite(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }  // blank, LF, VT, FF, CR
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view TrimWhite(std::string_view s) {
  while (!s.empty() && IsWhite(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsWhite(s.back())) s.remove_suffix(1);
  return s;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  // Names of a kind often differ only at the end ("TEACH VECTOR 12", "CELL 3"): check that first.
  if (!a.empty() && LowerAscii(a.back()) != LowerAscii(b.back())) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

// IniNameMatches with `want` already trimmed; trimming can only shorten `candidate`,
// so most mismatches are settled by the lengths alone.
bool MatchesTrimmed(std::string_view candidate, std::string_view want) {
  if (candidate.size() < want.size()) return false;
  if (candidate.size() > want.size()) candidate = TrimWhite(candidate);
  return EqualNoCase(candidate, want);
}

// True when `itemKey` is a split piece of `key` ("KEY Line0003"); *counter gets its number.
// `key` is already trimmed.
bool IsPieceOf(std::string_view itemKey, std::string_view key, unsigned long* counter) {
  if (itemKey.size() < key.size() + PIECE_MARK.size() + PIECE_DIGITS) return false;
  std::string_view t = TrimWhite(itemKey);
  std::size_t digits = 0;
  while (digits < t.size() && IsDigit(t[t.size() - 1 - digits])) ++digits;
  // More than 9 digits cannot come from a writer and would overflow the counter.
  if (digits < PIECE_DIGITS || digits > 9 || t.size() < digits + PIECE_MARK.size()) return false;
  const std::size_t mark = t.size() - digits - PIECE_MARK.size();
  if (!EqualNoCase(t.substr(mark, PIECE_MARK.size()), PIECE_MARK)) return false;
  if (!MatchesTrimmed(t.substr(0, mark), key)) return false;
  unsigned long n = 0;
  for (char c : t.substr(t.size() - digits)) n = n * 10 + static_cast<unsigned long>(c - '0');
  *counter = n;
  return true;
}

IniSection* FindSectionForPut(IniDocument* doc, std::string_view name) {
  const std::string_view want = TrimWhite(name);
  for (IniSection& s : doc->sections) {
    if (MatchesTrimmed(s.name, want)) return &s;
  }
  doc->sections.push_back(IniSection{std::string(name), {}});
  return &doc->sections.back();
}

// Replaces the first item of `key` (or, lacking one, its first piece) by `item`, drops
// the key's other pieces, or appends `item` when the key is not there at all.
void PutItem(IniDocument* doc, std::string_view section, IniItem item) {
  std::vector<IniItem>& items = FindSectionForPut(doc, section)->items;
  const std::string key(TrimWhite(item.key));  // a copy: `item` is moved from below
  std::size_t plain = NOT_FOUND;
  std::size_t firstPiece = NOT_FOUND;
  unsigned long counter = 0;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (plain == NOT_FOUND && MatchesTrimmed(items[i].key, key)) plain = i;
    if (firstPiece == NOT_FOUND && IsPieceOf(items[i].key, key, &counter)) firstPiece = i;
  }
  if (plain == NOT_FOUND && firstPiece == NOT_FOUND) {
    items.push_back(std::move(item));
    return;
  }
  const std::size_t slot = (plain != NOT_FOUND) ? plain : firstPiece;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i == slot) {
      items[kept++] = std::move(item);
    } else if (!IsPieceOf(items[i].key, key, &counter)) {
      if (kept != i) items[kept] = std::move(items[i]);
      ++kept;
    }
  }
  items.resize(kept);
}

// Value text of `key`, direct or joined from its pieces.
bool GetText(const IniDocument& doc, std::string_view section, std::string_view key, std::string* out) {
  const IniSection* s = IniFindSection(doc, section);
  if (s == nullptr) return false;
  if (const IniItem* item = IniFindItem(*s, key)) {
    *out = item->value;
    return true;
  }
  std::vector<std::pair<unsigned long, std::size_t>> pieces;  // counter, item index
  unsigned long counter = 0;
  const std::string_view want = TrimWhite(key);
  for (std::size_t i = 0; i < s->items.size(); ++i) {
    if (IsPieceOf(s->items[i].key, want, &counter)) pieces.emplace_back(counter, i);
  }
  // Stable: of two pieces with the same number the first one wins.
  std::stable_sort(pieces.begin(), pieces.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::string joined;
  unsigned long next = 1;
  for (const auto& [number, index] : pieces) {
    if (number > next) break;
    if (number < next) continue;
    joined += s->items[index].value;
    ++next;
  }
  if (next == 1) return false;
  *out = std::move(joined);
  return true;
}

// Optional sign and decimal digits only, within the range of long.
bool ParseInteger(std::string_view s, long* out) {
  std::size_t i = 0;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) i = 1;
  if (i == s.size()) return false;
  for (std::size_t k = i; k < s.size(); ++k) {
    if (!IsDigit(s[k])) return false;
  }
  if (s[0] == '+') s.remove_prefix(1);  // from_chars takes "-" but not "+"
  long v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return false;
  *out = v;
  return true;
}

// [SECTION] Writing

void AppendEscaped(std::string* out, std::string_view raw) {
  static const char HEX[] = "0123456789abcdef";
  for (char ch : raw) {
    const unsigned char c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': *out += "\\\""; break;
      case '\\': *out += "\\\\"; break;
      case '\t': *out += "\\t"; break;
      case '\n': *out += "\\n"; break;
      case '\r': *out += "\\r"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          *out += "\\x";
          *out += HEX[c >> 4];
          *out += HEX[c & 0x0F];
        } else {
          *out += ch;
        }
    }
  }
}

void AppendItemLine(std::string* out, std::string_view key, std::string_view value, bool quoted) {
  *out += key;
  *out += " = ";
  if (quoted) {
    *out += '"';
    AppendEscaped(out, value);
    *out += '"';
  } else {
    *out += value;
  }
  *out += "\r\n";
}

void AppendItem(std::string* out, const IniItem& item) {
  if (item.value.size() <= INI_MAX_LINE_VALUE) {
    AppendItemLine(out, item.key, item.value, item.quoted);
    return;
  }
  std::string_view rest = item.value;
  unsigned long counter = 1;
  char suffix[32];
  while (!rest.empty()) {
    const std::size_t n = std::min(rest.size(), INI_MAX_LINE_VALUE);
    std::snprintf(suffix, sizeof suffix, " Line%04lu", counter++);
    AppendItemLine(out, item.key + suffix, rest.substr(0, n), item.quoted);
    rest.remove_prefix(n);
  }
}

// [SECTION] Reading

// Contents of a quoted value (opening quote already removed) with the escapes undone,
// up to the closing unescaped quote or the end. Unknown escapes are kept as they stand.
std::string Unescape(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '"') break;
    if (c != '\\' || i + 1 == s.size()) {
      out += c;
      continue;
    }
    const char e = s[i + 1];
    switch (e) {
      case '"': out += '"'; ++i; continue;
      case '\\': out += '\\'; ++i; continue;
      case 't': out += '\t'; ++i; continue;
      case 'n': out += '\n'; ++i; continue;
      case 'r': out += '\r'; ++i; continue;
      default: break;
    }
    unsigned value = 0;
    if (e == 'x' && i + 3 < s.size()) {
      const auto [end, ec] = std::from_chars(s.data() + i + 2, s.data() + i + 4, value, 16);
      if (ec == std::errc() && end == s.data() + i + 4) {
        out += static_cast<char>(value);
        i += 3;
        continue;
      }
    }
    out += c;  // a lone backslash
  }
  return out;
}

void ParseLine(std::string_view line, IniDocument* doc, std::size_t* current) {
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  if (line.empty() || line.front() == ';') return;
  if (line.front() == '[') {
    const std::size_t close = line.find(']', 1);
    if (close != std::string_view::npos) {
      std::string_view name = line.substr(1, close - 1);
      while (!name.empty() && IsBlank(name.back())) name.remove_suffix(1);
      doc->sections.push_back(IniSection{std::string(name), {}});
      *current = doc->sections.size() - 1;
      return;
    }
  }
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos || *current == NOT_FOUND) return;
  const std::string_view key = TrimBlanks(line.substr(0, eq));
  const std::string_view value = TrimBlanks(line.substr(eq + 1));
  if (key.empty() || value.empty()) return;
  IniItem item{std::string(key), {}, value.front() == '"'};
  item.value = item.quoted ? Unescape(value.substr(1)) : std::string(value);
  doc->sections[*current].items.push_back(std::move(item));
}

// [SECTION] Files

// A symbolic link is written through, so the link itself survives.
std::string ResolveTarget(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* real = realpath(path.c_str(), nullptr);
  if (real == nullptr) return path;
  std::string resolved(real);
  std::free(real);
  return resolved;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Opens `temporary` for writing, locked against other writers of the same target and
// emptied; -1 on failure. After waiting for the lock the name is checked again: the
// writer that held it may have renamed it to the target meanwhile.
int OpenTemporary(const std::string& temporary) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    // O_NOFOLLOW: a symbolic link of that name was not left by a writer; it is not followed.
    // O_NONBLOCK: a FIFO of that name must not hang the write.
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) return -1;
    // Without lock support (some network file systems) the write goes ahead unlocked.
    while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    struct stat held, named;
    const bool same = fstat(fd, &held) == 0 && stat(temporary.c_str(), &named) == 0 &&
                      held.st_dev == named.st_dev && held.st_ino == named.st_ino;
    if (same && S_ISREG(held.st_mode) && ftruncate(fd, 0) == 0) return fd;
    close(fd);
    if (same) return -1;
  }
  return -1;
}

// Writes and flushes the temporary file, then puts it in the target's place.
bool FinishTemporary(int fd, std::string_view bytes, mode_t mode, const std::string& temporary,
                     const std::string& target) {
  bool ok = WriteAll(fd, bytes);
  ok = ok && (fsync(fd) == 0 || errno == EINVAL);  // EINVAL: the file system has no fsync
  ok = ok && fchmod(fd, mode) == 0;
  return ok && rename(temporary.c_str(), target.c_str()) == 0;
}

}  // namespace

// [SECTION] Lookup

bool IniNameMatches(std::string_view a, std::string_view b) { return EqualNoCase(TrimWhite(a), TrimWhite(b)); }

const IniSection* IniFindSection(const IniDocument& doc, std::string_view name) {
  const std::string_view want = TrimWhite(name);
  for (const IniSection& s : doc.sections) {
    if (MatchesTrimmed(s.name, want)) return &s;
  }
  return nullptr;
}

const IniItem* IniFindItem(const IniSection& section, std::string_view key) {
  const std::string_view want = TrimWhite(key);
  for (const IniItem& item : section.items) {
    if (MatchesTrimmed(item.key, want)) return &item;
  }
  return nullptr;
}

// [SECTION] Put and get

void IniPutString(IniDocument* doc, std::string_view section, std::string_view key, std::string_view value) {
  PutItem(doc, section, IniItem{std::string(key), std::string(value), true});
}

void IniPutInt(IniDocument* doc, std::string_view section, std::string_view key, long value) {
  char text[32];
  std::snprintf(text, sizeof text, "%ld", value);
  PutItem(doc, section, IniItem{std::string(key), std::string(text), false});
}

bool IniGetString(const IniDocument& doc, std::string_view section, std::string_view key, std::string* out) {
  return GetText(doc, section, key, out);
}

bool IniGetInt(const IniDocument& doc, std::string_view section, std::string_view key, long* out) {
  std::string text;
  return GetText(doc, section, key, &text) && ParseInteger(text, out);
}

// [SECTION] Serialize and parse

std::string IniSerialize(const IniDocument& doc) {
  std::string out;
  for (const IniSection& s : doc.sections) {
    out += '[';
    out += s.name;
    out += "]\r\n";
    for (const IniItem& item : s.items) AppendItem(&out, item);
    out += "\r\n";
  }
  return out;
}

IniDocument IniParse(std::string_view bytes) {
  IniDocument doc;
  std::size_t current = NOT_FOUND;  // index of the section items go to
  // A UTF-8 byte-order mark, as editors put before the first line, is not part of it.
  std::size_t pos = bytes.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  while (pos < bytes.size()) {
    std::size_t end = pos;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    ParseLine(bytes.substr(pos, end - pos), &doc, &current);
    pos = end;
    if (pos < bytes.size()) {
      const bool crlf = bytes[pos] == '\r' && pos + 1 < bytes.size() && bytes[pos + 1] == '\n';
      pos += crlf ? 2 : 1;
    }
  }
  return doc;
}

// [SECTION] Files

int IniWriteFile(const IniDocument& doc, const std::string& path) { return ReplaceFileContents(path, IniSerialize(doc)); }

int ReplaceFileContents(const std::string& path, std::string_view bytes) {
  if (path.empty()) return -1;
  const std::string target = ResolveTarget(path);
  mode_t mode = 0644;
  struct stat st;
  if (stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) mode = st.st_mode & 07777;

  // Same directory, so rename() stays atomic. One fixed name per target: a writer that
  // was killed leaves at most this one file, which the next write takes over.
  const std::string temporary = IniTemporaryPath(target);
  const int fd = OpenTemporary(temporary);
  if (fd < 0) return -1;
  if (!FinishTemporary(fd, bytes, mode, temporary, target)) {
    unlink(temporary.c_str());
    close(fd);
    return -1;
  }
  close(fd);  // after the rename: the lock is held until the target is in place
  return 1;
}

std::string IniTemporaryPath(const std::string& target) { return target + ".tmp"; }

int IniReadFile(const std::string& path, IniDocument* doc) {
  doc->sections.clear();
  // O_NONBLOCK: opening a FIFO must not hang; it is refused below as not a regular file.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return -1;
  }
  std::string bytes;
  bytes.resize(std::min<std::size_t>(static_cast<std::size_t>(st.st_size), INI_MAX_FILE_BYTES));
  std::size_t got = 0;
  bool failed = false;
  while (got < bytes.size()) {
    const ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) failed = true;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  close(fd);
  if (failed) return -1;
  bytes.resize(got);  // the file may have shrunk since fstat
  *doc = IniParse(bytes);
  return 1;
}
