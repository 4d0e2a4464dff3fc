#pragma once

// The bytes of a fixture file of the test's own folder (tests/<area>/fixtures).

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace testing_support {

inline std::string fixture(const std::string& name)
{
    std::ifstream in(std::string(ZANDRETH_FIXTURE_DIR) + "/" + name, std::ios::binary);
    if (!in)
        ADD_FAILURE() << "missing fixture " << name;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace testing_support
