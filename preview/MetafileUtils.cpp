#include "preview/MetafileUtils.h"

namespace tess {

std::unique_ptr<TMetafile> FixMetafileFor9X(const TMetafile& source,
                                            const TDeviceDescription* /*referenceDevice*/) {
  // TMetafile copies share nothing with their source, so later changes to the working recording never
  // reach a stored page.
  return std::make_unique<TMetafile>(source);
}

}  // namespace tess
