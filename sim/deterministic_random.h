#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <span>

namespace zorvek::sim {

// Random numbers that are the same on every standard library: the Mersenne
// Twister's output is fixed by the standard, the standard distributions are
// not, so the mappings to ranges are our own.
class DeterministicRandom {
  public:
    explicit DeterministicRandom(std::uint32_t seed);

    std::uint32_t Next();
    // Uniform in lo..hi, both included; lo when hi < lo.
    int Between(int lo, int hi);
    // Uniform in [lo, hi).
    double Real(double lo, double hi);
    bool Chance(double probability);
    // An index into weights, drawn in proportion to them; 0 for no weights.
    std::size_t Weighted(std::span<const double> weights);

  private:
    std::mt19937 m_engine;
};

}  // namespace zorvek::sim
