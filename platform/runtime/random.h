#pragma once

namespace platform {

// Randomize: reseeds the random generator from the clock.
void Randomize();
// Rnd: a uniform random number in [0, 1).
float Rnd();

} // namespace platform
