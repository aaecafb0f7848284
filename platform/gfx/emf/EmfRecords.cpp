#include "platform/gfx/emf/EmfRecords.h"

namespace tess::emf {

std::vector<std::uint8_t> MakeSaveDCRecord() {
  std::vector<std::uint8_t> out;
  Append(out, MakeRecord<EmrSaveDC>(EMR_SAVEDC));
  return out;
}

std::vector<std::uint8_t> MakeRestoreDCRecord(std::int32_t relative) {
  auto r = MakeRecord<EmrOneValue>(EMR_RESTOREDC);
  r.value = static_cast<std::uint32_t>(relative);
  std::vector<std::uint8_t> out;
  Append(out, r);
  return out;
}

std::vector<std::uint8_t> MakeSetBkModeRecord(std::uint32_t mode) {
  auto r = MakeRecord<EmrOneValue>(EMR_SETBKMODE);
  r.value = mode;
  std::vector<std::uint8_t> out;
  Append(out, r);
  return out;
}

}  // namespace tess::emf
