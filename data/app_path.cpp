#include "data/app_path.h"

namespace zandreth {

std::string AppPath;

} // namespace zandreth
