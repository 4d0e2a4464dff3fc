#pragma once

// The settings-file tests use the shared file helpers: fixtures by name,
// whole-file reads and writes, and a temporary folder that removes itself,
// so no test ever touches a real settings file.

#include "support/fixture.h"
#include "support/temp_dir.h"

namespace profile_test {

using testing_support::fixturePath;
using testing_support::readFile;
using testing_support::writeFile;
inline std::string readFixture(const std::string& name) { return testing_support::fixture(name); }
using TemporaryDirectory = testing_support::TempDir;

} // namespace profile_test
