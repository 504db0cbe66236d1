#pragma once

#include <cstddef>
#include <cstdint>

// A small deterministic generator of random bits (SplitMix64) for generated test data.
class SplitMix64 {
  public:
    explicit SplitMix64(std::uint64_t seed) : m_state(seed) {}

    // The next 64 random bits.
    std::uint64_t Next() {
        std::uint64_t z = (m_state += 0x9e3779b97f4a7c15u);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
        return z ^ (z >> 31);
    }

    // A number from 0 to n - 1.
    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }

  private:
    std::uint64_t m_state;
};
