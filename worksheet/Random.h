#pragma once
// The program's one pseudo-random generator. Puzzle choice and the random hints both draw from it; the
// main form seeds it once at start-up from the clock. Scripted runs and tests seed it explicitly.

#include <cstdint>

namespace tess {

// A uniform integer in 0..m-1 (m >= 1; m <= 0 is a programming error and throws std::invalid_argument).
int Random(int m);
// Seeds from the clock.
void Randomize();
// Seeds with a fixed value: the same seed gives the same sequence on every machine.
void RandSeed(std::uint64_t seed);

}  // namespace tess
