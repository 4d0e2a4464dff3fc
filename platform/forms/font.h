#pragma once

#include <string>

namespace platform {

// A control's font as a form designer states it. Japanese face names
// ("MS UI Gothic", "ＭＳ Ｐゴシック") are mapped by the runtime onto an
// installed Japanese Gothic face, so the names render with the same look.
struct Font {
    std::string name;
    double size = 9;     // points
    bool bold = false;   // weight 700 when true
    int charset = 0;     // 128 is the Japanese (Shift-JIS) set
};

} // namespace platform
