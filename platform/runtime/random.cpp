#include "platform/runtime/random.h"
#include "platform/testing/hooks.h"

#include <chrono>
#include <random>

namespace platform {

namespace {

struct RandomState {
    std::mt19937 engine { 327680 };
    std::function<float()> source;
};

RandomState& state()
{
    static RandomState random;
    return random;
}

} // namespace

void Randomize()
{
    auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    state().engine.seed(static_cast<std::mt19937::result_type>(now ^ (now >> 32)));
}

float Rnd()
{
    if (state().source)
        return state().source();
    // 24 random bits give every Single in [0, 1) with the same spacing and
    // never 1 itself.
    return static_cast<float>(state().engine() >> 8) / 16777216.0f;
}

void setRandomSourceForTesting(std::function<float()> source)
{
    state().source = std::move(source);
}

} // namespace platform
