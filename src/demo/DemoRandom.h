#pragma once

#include <cstdint>
#include <initializer_list>

// A small deterministic generator (splitmix64): the same seed and keys give
// the same demo catalogue and the same page images on every machine, which
// the standard library's distributions do not promise.
class DemoRandom
{
public:
    // Mixes the seed with keys such as book, chapter and page numbers.
    DemoRandom(std::uint64_t seed, std::initializer_list<std::uint64_t> keys = {});

    std::uint64_t next();
    // Uniform in [low, high], both included.
    int range(int low, int high);
    // Uniform in [0, 1).
    double unit();
    // True with the given probability.
    bool chance(double probability);

private:
    std::uint64_t state_;
};
