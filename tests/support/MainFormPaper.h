#pragma once
// The paper values stored in the main form's design for its preview component, as the preview uses them
// when no printer is installed.

#include <gtest/gtest.h>

#include "platform/components/StoredDesign.h"

namespace tess::test {

// The paper values of the main form's stored design (no printer installed).
inline const char* kMainFormPaper = R"({"class":"TplPrev","name":"plPrev1","properties":{"DesignPaperValue":)"
                                    R"(["FinePrint","A4","",2100,2970,600,600,0,35,2067,31,2921,9]}})";

inline void LoadMainFormPaper(TComponent& preview) {
  DesignReadReport report = ComponentFromText(preview, kMainFormPaper);
  EXPECT_TRUE(report.Clean());
}

}  // namespace tess::test
