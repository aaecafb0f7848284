// libcups loaded at run time: a library that is missing or lacks a function is refused with the reason,
// never half loaded; the installed one has every function the printer system calls.
#include <gtest/gtest.h>

#include <string>

#include "platform/printing/Printers.h"

namespace tess {
namespace {

TEST(CupsLibrary, MissingOrIncompleteLibrariesAreRefusedWithTheReasonAndTheInstalledOneServes) {
  const std::string missing = CupsLibraryProblem("libtessarine-no-such-library.so.9");
  EXPECT_NE(missing.find("libtessarine-no-such-library.so.9"), std::string::npos) << missing;
  // The C library loads but has none of the functions: the first one it lacks is named.
  EXPECT_EQ(CupsLibraryProblem("libc.so.6"), "libc.so.6: cupsAddDest");
  EXPECT_EQ(CupsLibraryProblem("libcups.so.2"), "");
}

}  // namespace
}  // namespace tess
