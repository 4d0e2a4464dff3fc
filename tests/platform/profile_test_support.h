#pragma once

// Files for the settings-file tests: fixtures by name, whole-file reads and
// writes, and a temporary folder that removes itself, so no test ever
// touches a real settings file.

#include "support/fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace profile_test {

using testing_support::fixturePath;
using testing_support::readFile;
using testing_support::writeFile;

// The fixture's bytes; fails the test when the fixture is missing.
inline std::string readFixture(const std::string& name) { return testing_support::fixture(name); }

class TemporaryDirectory {
public:
    TemporaryDirectory()
    {
        path_ = testing_support::makeTemporaryFolder("zandreth-profile-");
        if (path_.empty())
            ADD_FAILURE() << "cannot create a temporary folder";
    }
    ~TemporaryDirectory()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

    // Names in the folder, sorted, hidden ones (temporary files) included.
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string path_;
};

} // namespace profile_test
