#pragma once
// An ordered list of text lines (the framework's string list): what a catalogue component owns and what
// stored designs hold as a list of strings.

#include <cstddef>
#include <vector>

#include "platform/core/Cp932String.h"

namespace tess {

class TStringList {
 public:
  int Count() const { return static_cast<int>(FLines.size()); }
  // The line at a zero-based index; out of range is a programming error and throws std::out_of_range.
  const Cp932String& operator[](int index) const { return FLines.at(static_cast<std::size_t>(index)); }
  void Add(Cp932String line) { FLines.push_back(std::move(line)); }
  void Clear() { FLines.clear(); }
  void Assign(const TStringList& other) {
    if (&other != this) FLines = other.FLines;
  }
  const std::vector<Cp932String>& Lines() const { return FLines; }

  friend bool operator==(const TStringList&, const TStringList&) = default;

 private:
  std::vector<Cp932String> FLines;
};

}  // namespace tess
