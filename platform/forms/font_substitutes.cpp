#include "platform/forms/font_substitutes.h"

namespace platform {

const std::vector<FontSubstitute>& fontSubstitutes()
{
    static const std::vector<const char*> gothic { "IPAGothic", "IPAexGothic", "Noto Sans CJK JP", "VL Gothic",
                                                   "TakaoGothic" };
    static const std::vector<const char*> proportionalGothic { "IPAPGothic", "IPAexGothic", "IPAGothic",
                                                               "Noto Sans CJK JP", "VL PGothic" };
    static const std::vector<FontSubstitute> substitutes {
        { "MS UI Gothic", proportionalGothic },
        { "ＭＳ Ｐゴシック", proportionalGothic },
        { "ＭＳ ゴシック", gothic },
        { "Times New Roman", { "Liberation Serif", "DejaVu Serif", "IPAPMincho" } },
    };
    return substitutes;
}

} // namespace platform
