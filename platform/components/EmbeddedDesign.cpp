#include "platform/components/EmbeddedDesign.h"

namespace tess {
namespace {

std::vector<EmbeddedDesign>& Registry() {
  static std::vector<EmbeddedDesign> designs;
  return designs;
}

}  // namespace

bool RegisterEmbeddedDesign(const EmbeddedDesign& design) {
  Registry().push_back(design);
  return true;
}

const std::vector<EmbeddedDesign>& EmbeddedDesigns() {
  return Registry();
}

}  // namespace tess
