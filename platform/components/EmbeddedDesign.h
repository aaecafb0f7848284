#pragma once
// Stored designs compiled into the program (cmake/EmbedDesign.cmake). Each design registers itself with a
// check that builds its root class from it, so one test can load every design the program holds and fail
// on a broken or unclean one.

#include <memory>
#include <string_view>
#include <vector>

#include "platform/components/StoredDesign.h"

namespace tess {

struct EmbeddedDesign {
  const char* name;       // the design's identifier (tess::designs::<name>())
  const char* rootClass;  // the class the design describes
  std::string_view (*text)();
  // Builds the root class from the design and returns what reading reported; throws when the design
  // cannot be read at all.
  DesignReadReport (*check)();
};

// Called by the generated design sources; returns true so it can initialise a static.
bool RegisterEmbeddedDesign(const EmbeddedDesign& design);
// Every design linked into the program, in registration order.
const std::vector<EmbeddedDesign>& EmbeddedDesigns();

// The check for a form class: a form reads its own design when it is constructed and keeps the report.
template <class TRoot>
DesignReadReport CheckDesignOfForm() {
  auto root = std::make_unique<TRoot>(nullptr);
  return root->DesignReport();
}

}  // namespace tess
