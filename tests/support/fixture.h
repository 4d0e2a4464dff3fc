#pragma once

// Whole files as bytes: any file by its path, and the fixture files of the
// test's own folder (tests/<area>/fixtures) by name.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace testing_support {

// The file's bytes; empty when it cannot be read.
inline std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

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
