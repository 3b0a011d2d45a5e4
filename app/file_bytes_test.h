// Reading a whole file back in tests.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

namespace testfiles {

// The bytes of the file at `path`, exactly as stored; empty when it cannot be read.
inline std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace testfiles
