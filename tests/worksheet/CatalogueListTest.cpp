#include <gtest/gtest.h>

#include "platform/components/StoredDesign.h"
#include "worksheet/CatalogueList.h"

namespace tess {
namespace {

TEST(TCStringList, AssignmentCopiesLinesAndNothingLeavesThemAlone) {
  TCStringList catalogue(nullptr);
  TStringList lines;
  lines.Add("12,1,4,5,2,7,3,6");
  catalogue.SetStrings(&lines);
  lines.Add("12,1,2,6,3,5,4,7");  // the component holds a copy, not the caller's list
  EXPECT_EQ(catalogue.Strings().Count(), 1);
  catalogue.SetStrings(nullptr);
  EXPECT_EQ(catalogue.Strings().Count(), 1);
}

TEST(TCStringList, LinesRoundTripThroughTheStoredForm) {
  TCStringList catalogue(nullptr);
  TStringList lines;
  lines.Add("12,1,4,5,2,7,3,6");
  lines.Add("18,7,4,2,5,1,6,3");
  catalogue.SetStrings(&lines);
  TCStringList copy(nullptr);
  EXPECT_TRUE(ComponentFromText(copy, ComponentToText(catalogue)).Clean());
  EXPECT_EQ(copy.Strings(), lines);
}

}  // namespace
}  // namespace tess
