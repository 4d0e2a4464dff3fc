#pragma once

#include <functional>

namespace platform {

// Randomize: reseeds the random generator from the clock.
void Randomize();
// Rnd: a uniform random number in [0, 1).
float Rnd();

// Replaces the generator's draws (tests); an empty source restores it.
void setRandomSourceForTesting(std::function<float()> source);

} // namespace platform
