#pragma once
// The whole content of a file, as bytes in a string (empty when it cannot be read).

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace tess::test {

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace tess::test
