// Test main shared by every test executable: the platform is started once (offscreen), then GoogleTest runs.
#include <gtest/gtest.h>

#include "platform/Runtime.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  tess::EnsurePlatformStarted(argc, argv);
  return RUN_ALL_TESTS();
}
