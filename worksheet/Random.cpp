#include "worksheet/Random.h"

#include <chrono>
#include <limits>
#include <stdexcept>

namespace tess {
namespace {

// xoshiro256** seeded through splitmix64: small, fast, and the same sequence everywhere (the standard
// library's distributions may differ between library versions, which would break fixed seeds).
class Generator {
 public:
  void Seed(std::uint64_t seed) {
    for (std::uint64_t& word : FS) {
      seed += 0x9E3779B97F4A7C15ull;
      std::uint64_t z = seed;
      z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
      z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
      word = z ^ (z >> 31);
    }
  }

  std::uint64_t Next() {
    const std::uint64_t result = Rotl(FS[1] * 5, 7) * 9;
    const std::uint64_t t = FS[1] << 17;
    FS[2] ^= FS[0];
    FS[3] ^= FS[1];
    FS[1] ^= FS[2];
    FS[0] ^= FS[3];
    FS[2] ^= t;
    FS[3] = Rotl(FS[3], 45);
    return result;
  }

 private:
  static std::uint64_t Rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
  std::uint64_t FS[4]{1, 2, 3, 4};
};

Generator& TheGenerator() {
  static Generator generator = [] {
    Generator g;
    g.Seed(0);
    return g;
  }();
  return generator;
}

}  // namespace

int Random(int m) {
  if (m <= 0) throw std::invalid_argument("Random needs a positive range");
  // Rejection sampling: drop the top partial block so every value of 0..m-1 is equally likely.
  const std::uint64_t range = static_cast<std::uint64_t>(m);
  const std::uint64_t limit =
      std::numeric_limits<std::uint64_t>::max() - std::numeric_limits<std::uint64_t>::max() % range;
  std::uint64_t draw;
  do {
    draw = TheGenerator().Next();
  } while (draw >= limit);
  return static_cast<int>(draw % range);
}

void Randomize() {
  auto now = std::chrono::system_clock::now().time_since_epoch();
  RandSeed(static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
}

void RandSeed(std::uint64_t seed) {
  TheGenerator().Seed(seed);
}

}  // namespace tess
