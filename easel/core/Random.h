// The host's seedable random source: FloatRnd is uniform in [0, 1) and the
// same seed always gives the same sequence, bit for bit, on every machine.
#pragma once

#include <cstdint>
#include <random>

namespace easel {

class Random {
public:
    explicit Random(int32_t seed = 1) { reseed(seed); }
    void reseed(int32_t seed) {
        seed_ = seed;
        engine_.seed(static_cast<uint32_t>(seed));
    }
    int32_t seed() const { return seed_; }
    // 24 random bits scaled by 2^-24: every value is an exact float below 1.
    float next() { return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f); }

private:
    std::mt19937 engine_;
    int32_t seed_ = 1;
};

}  // namespace easel
