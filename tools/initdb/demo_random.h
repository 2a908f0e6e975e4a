#pragma once
// A small generator of our own, so that one seed gives the same demo books with any standard
// library (the std distributions differ between implementations).
#include <cstdint>

class CDemoRandom {
public:
    explicit CDemoRandom(std::uint64_t seed) : m_state(seed) {}

    // splitmix64
    std::uint64_t Next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // In [0, 1).
    double Fraction() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
    // In [low, high], both included.
    int Between(int low, int high) {
        if (high <= low)
            return low;
        const auto span = static_cast<std::uint64_t>(high - low) + 1;
        return low + static_cast<int>(Next() % span);
    }
    bool Chance(double probability) { return Fraction() < probability; }

private:
    std::uint64_t m_state;
};
