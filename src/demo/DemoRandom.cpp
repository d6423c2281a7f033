#include "demo/DemoRandom.h"

DemoRandom::DemoRandom(std::uint64_t seed, std::initializer_list<std::uint64_t> keys) : state_(seed)
{
    for (std::uint64_t key : keys) {
        state_ ^= key + 0x9e3779b97f4a7c15ULL + (state_ << 6) + (state_ >> 2);
        next();
    }
}

std::uint64_t DemoRandom::next()
{
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

int DemoRandom::range(int low, int high)
{
    if (high <= low)
        return low;
    return low + int(next() % std::uint64_t(high - low + 1));
}

double DemoRandom::unit()
{
    return double(next() >> 11) * (1.0 / 9007199254740992.0);
}

bool DemoRandom::chance(double probability)
{
    return unit() < probability;
}
