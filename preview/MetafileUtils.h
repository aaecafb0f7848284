#pragma once
// Turning the page recording that has just been closed into the picture kept as a page.

#include <memory>

#include "platform/Canvas.h"
#include "platform/Metafile.h"

namespace tess {

// An independent copy of `source`, made for `referenceDevice` (nullptr: no printer, the screen serves).
// On the NT family the copy is exact. The 9x family's re-recording (text records with per-character
// advances split into single characters) plugs in here; until then it gets the exact copy too.
std::unique_ptr<TMetafile> FixMetafileFor9X(const TMetafile& source,
                                            const TDeviceDescription* referenceDevice);

}  // namespace tess
