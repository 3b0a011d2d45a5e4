// The table attributes file: arbitrary bytes as the file the table attributes page loads.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_program.h"
#include "teach/table_attributes.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzprog::StartProgram();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzprog::BeginRun(nullptr, 0);
  const std::string path = fuzzprog::ScratchDir() + "/TableAttributes.ini";
  if (!fuzzprog::WriteBytes(path, data, size)) return 0;
  fuzzprog::SetFileAnswer(path);
  LoadTableAttributes();
  return 0;
}
