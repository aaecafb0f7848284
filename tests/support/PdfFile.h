#pragma once
// Checks of a PDF's own structure that readers do not make (they rebuild a broken cross-reference table
// silently): every object is where the table says, and every font's name is its descriptor's.

#include <cstdlib>
#include <string>
#include <vector>

namespace tess::test {

// Empty when the last cross-reference table finds every object it lists in use and startxref finds the
// table; else what is wrong.
inline std::string CrossReferenceProblem(const std::string& pdf) {
  const std::size_t table = pdf.rfind("\nxref");
  if (table == std::string::npos) return "no cross-reference table";
  const std::size_t start = pdf.find("startxref", table);
  if (start == std::string::npos || std::strtoull(pdf.c_str() + start + 9, nullptr, 10) != table + 1) {
    return "startxref does not find the table";
  }
  char* end = nullptr;
  const unsigned long long first = std::strtoull(pdf.c_str() + table + 6, &end, 10);
  const unsigned long long count = std::strtoull(end, &end, 10);
  std::size_t at = pdf.find('\n', static_cast<std::size_t>(end - pdf.c_str())) + 1;
  for (unsigned long long k = 0; k < count; ++k, at += 20) {
    if (at + 20 > pdf.size()) return "the table ends early";
    if (pdf[at + 17] != 'n') continue;
    const std::size_t offset = std::strtoull(pdf.c_str() + at, nullptr, 10);
    const std::string object = std::to_string(first + k) + " 0 obj";
    if (pdf.compare(offset, object.size(), object) != 0) return "the table does not find object " + object;
  }
  return {};
}

// The names after every occurrence of `key` ("/BaseFont /", "/FontName /").
inline std::vector<std::string> NamesAfter(const std::string& pdf, const std::string& key) {
  std::vector<std::string> names;
  for (std::size_t at = pdf.find(key); at != std::string::npos; at = pdf.find(key, at + 1)) {
    const std::size_t from = at + key.size();
    names.push_back(pdf.substr(from, pdf.find_first_of(" \n\r/>", from) - from));
  }
  return names;
}

}  // namespace tess::test
