// The INI reader: arbitrary bytes as a settings file, the lookups the readers use,
// the file reader against the parser, and any text as a value written and read back.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/fuzz_program.h"
#include "parameters/ini.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

bool SameDocument(const IniDocument& a, const IniDocument& b) {
  if (a.sections.size() != b.sections.size()) return false;
  for (std::size_t s = 0; s < a.sections.size(); ++s) {
    const IniSection &x = a.sections[s], &y = b.sections[s];
    if (x.name != y.name || x.items.size() != y.items.size()) return false;
    for (std::size_t i = 0; i < x.items.size(); ++i) {
      if (x.items[i].key != y.items[i].key || x.items[i].value != y.items[i].value ||
          x.items[i].quoted != y.items[i].quoted)
        return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzprog::StartProgram();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const IniDocument doc = IniParse(bytes);

  // The lookups every reader makes, with the names the document itself carries (the
  // first few of each: every lookup walks the document).
  constexpr std::size_t kLooked = 8;
  for (std::size_t si = 0; si < doc.sections.size() && si < kLooked; ++si) {
    const IniSection& s = doc.sections[si];
    IniFindSection(doc, s.name);
    for (std::size_t ii = 0; ii < s.items.size() && ii < kLooked; ++ii) {
      std::string text;
      long number = 0;
      IniGetString(doc, s.name, s.items[ii].key, &text);
      IniGetInt(doc, s.name, s.items[ii].key, &number);
    }
  }

  // The file reader gives what the parser gives.
  const std::string path = fuzzprog::ScratchDir() + "/fuzz.ini";
  if (fuzzprog::WriteBytes(path, data, size)) {
    IniDocument fromFile;
    if (IniReadFile(path, &fromFile) != 1) Fail("IniReadFile could not read a file just written");
    if (!SameDocument(doc, fromFile)) Fail("IniReadFile and IniParse disagree");
  }

  // Any text put as a string value reads back unchanged, pieces and escapes included.
  IniDocument put;
  IniPutString(&put, "SECTION", "KEY", bytes);
  std::string back;
  if (!IniGetString(IniParse(IniSerialize(put)), "SECTION", "KEY", &back) || back != bytes)
    Fail("a string value did not read back as it was put");

  IniSerialize(doc);
  return 0;
}
