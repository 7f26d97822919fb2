// The generator's random numbers: a small fixed algorithm (splitmix64), so
// that a seed gives the same guide on every machine and with every
// standard library.
#ifndef TENTARIA_TOOLS_MAKE_GUIDE_RANDOM_H_
#define TENTARIA_TOOLS_MAKE_GUIDE_RANDOM_H_

#include <cstdint>
#include <span>

namespace tentaria::make_guide {

class Random {
 public:
  // One stream per seed and campsite number, so that a campsite does not
  // depend on the campsites made before it.
  Random(uint64_t seed, uint64_t stream) : state_(seed * 0x9E3779B97F4A7C15u ^ stream) { Next(); }

  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
  }
  // A number from low to high inclusive.
  int Between(int low, int high) {
    return low + static_cast<int>(Next() % static_cast<uint64_t>(high - low + 1));
  }
  // True with the given chance in percent.
  bool Percent(int chance) { return Between(0, 99) < chance; }

  template <typename T>
  const T& Pick(std::span<const T> items) {
    return items[Next() % items.size()];
  }
  template <typename T, size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Next() % N];
  }

 private:
  uint64_t state_;
};

}  // namespace tentaria::make_guide

#endif  // TENTARIA_TOOLS_MAKE_GUIDE_RANDOM_H_
