#include "platform/system/program.h"

#include "platform/system/text.h"
#include "program.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::system {

namespace {

// The path of an existing file with every link and "." or ".." resolved;
// empty when there is no such file.
std::string canonicalPath(const std::string& path)
{
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
        return {};
    std::string canonical(resolved);
    std::free(resolved);
    return canonical;
}

bool isExecutableFile(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// The folder part of an absolute path.
std::string folderOf(const std::string& path)
{
    std::size_t slash = path.find_last_of('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

// An argument's bytes as UTF-8 text: a byte that starts no well-formed
// character becomes U+FFFD, so the program's text stays UTF-8 throughout.
void appendAsUtf8(std::string& text, const std::string& bytes)
{
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t length = utf8CharacterLength(bytes, at);
        if (length == 0) {
            text += "\xEF\xBF\xBD";
            ++at;
        } else {
            text.append(bytes, at, length);
            at += length;
        }
    }
}

} // namespace

std::string executableNamed(const std::string& name, std::string_view searchPath)
{
    if (name.empty())
        return {};
    if (name.find('/') != std::string::npos)
        return canonicalPath(name);
    for (;;) {
        std::size_t colon = searchPath.find(':');
        std::string folder(searchPath.substr(0, colon));
        std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
        if (isExecutableFile(candidate))
            return canonicalPath(candidate);
        if (colon == std::string_view::npos)
            return {};
        searchPath.remove_prefix(colon + 1);
    }
}

std::string programFolder(const std::vector<std::string>& arguments)
{
    // Linux names the executable itself, whatever link or folder it was
    // started through.
    std::string executable = canonicalPath("/proc/self/exe");
    if (executable.empty() && !arguments.empty()) {
        const char* searchPath = std::getenv("PATH");
        executable = executableNamed(arguments.front(), searchPath != nullptr ? searchPath : "");
    }
    return executable.empty() ? "." : folderOf(executable);
}

std::string commandTail(const std::vector<std::string>& arguments)
{
    std::string tail;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (i > 1)
            tail += ' ';
        appendAsUtf8(tail, arguments[i]);
    }
    return tail;
}

InformationRequest informationRequested(const std::vector<std::string>& arguments)
{
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == "--help")
            return InformationRequest::Help;
        if (arguments[i] == "--version")
            return InformationRequest::Version;
    }
    return InformationRequest::None;
}

} // namespace platform::system
