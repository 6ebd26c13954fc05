// Deterministic randomness for the sample generator: the same seed gives the
// same numbers on every machine and with every standard library (the
// standard distributions are not used, their results differ between
// libraries).
#pragma once

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace tervan::sample {

// The SplitMix64 finaliser: a good 64-bit mix of one value.
constexpr std::uint64_t Mix64(std::uint64_t z)
{
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// A hash of several values, for choices that must not depend on the order in
// which things are generated (the program of a race day, for instance).
inline std::uint64_t Hash(std::initializer_list<std::uint64_t> values)
{
    std::uint64_t h = 0x243F6A8885A308D3ull;
    for (std::uint64_t v : values)
        h = Mix64(h ^ Mix64(v));
    return h;
}

class Rng {
public:
    explicit Rng(std::uint64_t seed)
        : m_state(Mix64(seed))
    {
    }

    std::uint64_t Next()
    {
        m_state += 0x9E3779B97F4A7C15ull;
        return Mix64(m_state);
    }

    // Uniform in [lo, hi] (both included).
    int Int(int lo, int hi)
    {
        if (hi <= lo)
            return lo;
        const std::uint64_t span = static_cast<std::uint64_t>(hi - lo) + 1;
        return lo + static_cast<int>(Next() % span);
    }

    // Uniform in [0, 1).
    double Real() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

    bool Chance(double p) { return Real() < p; }

    // Standard normal (Box-Muller).
    double Normal()
    {
        double u = Real();
        if (u < 1e-12)
            u = 1e-12;
        const double v = Real();
        return std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * v);
    }

    // An index chosen with the given weights (all >= 0, not all 0).
    int Pick(const std::vector<double>& weights)
    {
        double total = 0;
        for (double w : weights)
            total += w;
        double x = Real() * total;
        for (std::size_t i = 0; i < weights.size(); ++i) {
            if (x < weights[i])
                return static_cast<int>(i);
            x -= weights[i];
        }
        return static_cast<int>(weights.size()) - 1;
    }

    template <class T>
    const T& Of(const std::vector<T>& items)
    {
        return items[static_cast<std::size_t>(Int(0, static_cast<int>(items.size()) - 1))];
    }

    template <class T>
    void Shuffle(std::vector<T>& items)
    {
        for (std::size_t i = items.size(); i > 1; --i) {
            const std::size_t j = static_cast<std::size_t>(Next() % i);
            std::swap(items[i - 1], items[j]);
        }
    }

private:
    std::uint64_t m_state;
};

} // namespace tervan::sample
