// Tessarine start-up.
#include "platform/Runtime.h"

int main(int argc, char** argv) {
  tess::EnsurePlatformStarted(argc, argv);
  return 0;
}
