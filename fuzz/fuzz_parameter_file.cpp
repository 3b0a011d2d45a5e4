// The parameter file: arbitrary bytes as the file GET reads with FILE selected.
#include <cstddef>
#include <cstdint>

#include "app/program_state.h"
#include "fuzz/fuzz_program.h"
#include "parameters/transfer.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzprog::StartProgram();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzprog::BeginRun(nullptr, 0);
  const std::string path = fuzzprog::ScratchDir() + "/Parameter.ini";
  if (!fuzzprog::WriteBytes(path, data, size)) return 0;
  fuzzprog::SetFileAnswer(path);
  State.MemorySelection = MEMORY_FILE;
  GetParameters();
  return 0;
}
