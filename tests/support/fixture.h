#pragma once

// Whole files as bytes: any file by its path, and the fixture files of the
// test's own folder (tests/<area>/fixtures) by name.

#include "support/file_bytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace testing_support {

inline std::string fixturePath(const std::string& name)
{
    return std::string(ZANDRETH_FIXTURE_DIR) + "/" + name;
}

// The fixture's bytes; fails the test when the fixture is missing, so an
// empty read never passes for an empty file.
inline std::string fixture(const std::string& name)
{
    std::string path = fixturePath(name);
    if (!std::filesystem::exists(path))
        ADD_FAILURE() << "missing fixture " << path;
    return readFile(path);
}

} // namespace testing_support
