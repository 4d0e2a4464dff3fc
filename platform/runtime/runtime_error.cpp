#include "platform/runtime/runtime_error.h"

#include <typeinfo>

namespace platform {

namespace {

const char* kindName(RuntimeErrorKind kind)
{
    switch (kind) {
    case RuntimeErrorKind::Overflow:
        return "Overflow";
    case RuntimeErrorKind::SubscriptOutOfRange:
        return "Subscript out of range";
    case RuntimeErrorKind::TypeMismatch:
        return "Type mismatch";
    case RuntimeErrorKind::Other:
        break;
    }
    return "Invalid procedure call or argument";
}

} // namespace

RuntimeError::RuntimeError(RuntimeErrorKind kind, std::string detail)
    : std::runtime_error(detail)
    , kind_(kind)
    , detail_(std::move(detail))
{
}

std::string RuntimeError::heading() const
{
    return "Run-time error '" + std::to_string(static_cast<int>(kind_)) + "': " + kindName(kind_);
}

std::string RuntimeError::report() const
{
    if (detail_.empty())
        return heading();
    return heading() + "\n\n" + detail_;
}

RuntimeError RuntimeError::withContext(const std::string& context) const
{
    return RuntimeError(kind_, context + ": " + detail_);
}

void raiseOverflow(const std::string& detail)
{
    throw RuntimeError(RuntimeErrorKind::Overflow, detail);
}

void raiseSubscript(const std::string& detail)
{
    throw RuntimeError(RuntimeErrorKind::SubscriptOutOfRange, detail);
}

void raiseTypeMismatch(const std::string& detail)
{
    throw RuntimeError(RuntimeErrorKind::TypeMismatch, detail);
}

std::string describeException(const std::exception& error)
{
    if (auto* runtimeError = dynamic_cast<const RuntimeError*>(&error))
        return runtimeError->report();
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return "Run-time error '7': Out of memory";
    return std::string("Run-time error: ") + error.what();
}

} // namespace platform
