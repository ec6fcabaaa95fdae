#include "sim/deterministic_random.h"

namespace zorvek::sim {

DeterministicRandom::DeterministicRandom(std::uint32_t seed) : m_engine(seed) {}

std::uint32_t DeterministicRandom::Next() { return static_cast<std::uint32_t>(m_engine()); }

int DeterministicRandom::Between(int lo, int hi) {
    if (hi <= lo) return lo;
    const std::uint64_t span = static_cast<std::uint64_t>(static_cast<std::int64_t>(hi) - lo) + 1;
    return static_cast<int>(lo + static_cast<std::int64_t>(Next() % span));
}

double DeterministicRandom::Real(double lo, double hi) {
    return lo + (hi - lo) * (static_cast<double>(Next()) / 4294967296.0);
}

bool DeterministicRandom::Chance(double probability) { return Real(0.0, 1.0) < probability; }

std::size_t DeterministicRandom::Weighted(std::span<const double> weights) {
    double total = 0.0;
    for (double w : weights) total += w;
    double pick = Real(0.0, total);
    for (std::size_t i = 0; i < weights.size(); ++i) {
        if (pick < weights[i]) return i;
        pick -= weights[i];
    }
    return weights.empty() ? 0 : weights.size() - 1;
}

}  // namespace zorvek::sim
