#pragma once

#include <stdexcept>
#include <string>

namespace platform {

// The run-time errors of the forms runtime. Code raises them as C++
// exceptions; the runtime catches them where it delivers an event or runs
// start-up, shows the report and ends the program with the cursor and the
// input method given back and nothing written.
//
// The numbers are the classic run-time error numbers, so a report reads the
// way users of such programs know it.
enum class RuntimeErrorKind {
    Overflow = 6,
    SubscriptOutOfRange = 9,
    TypeMismatch = 13,
    Other = 5,
};

class RuntimeError : public std::runtime_error {
public:
    // `detail` says in words what went wrong: which key, which value.
    RuntimeError(RuntimeErrorKind kind, std::string detail);

    RuntimeErrorKind kind() const { return kind_; }
    const std::string& detail() const { return detail_; }

    // "Run-time error '9': Subscript out of range" and so on.
    std::string heading() const;
    // The heading, a blank line and the detail: what the report shows.
    std::string report() const;

    // A copy of this error whose detail is prefixed with where it happened,
    // e.g. "City_SelectNo3 = 250: " + detail.
    RuntimeError withContext(const std::string& context) const;

private:
    RuntimeErrorKind kind_;
    std::string detail_;
};

[[noreturn]] void raiseOverflow(const std::string& detail);
[[noreturn]] void raiseSubscript(const std::string& detail);
[[noreturn]] void raiseTypeMismatch(const std::string& detail);

// The report of any exception that reaches an event boundary.
std::string describeException(const std::exception& error);

} // namespace platform
