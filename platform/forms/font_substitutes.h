#pragma once

// The program's forms name the fonts of Japanese Windows. On a system
// without them, the installed Japanese Gothic faces stand in for them (the
// first of each list that is installed), so Japanese renders with the same
// look.

#include <vector>

namespace platform {

struct FontSubstitute {
    const char* family; // UTF-8
    std::vector<const char*> faces;
};

const std::vector<FontSubstitute>& fontSubstitutes();

} // namespace platform
