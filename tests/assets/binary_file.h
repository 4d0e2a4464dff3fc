#pragma once

// Reads a whole file and picks little- and big-endian integers out of it,
// for the tests that check the shipped pictures byte by byte.

#include "support/fixture.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace asset_test {

class BinaryFile {
public:
    explicit BinaryFile(const std::string& path)
    {
        if (!std::filesystem::is_regular_file(path))
            throw std::runtime_error("cannot open " + path);
        bytes_ = testing_support::readFile(path);
    }

    std::size_t size() const { return bytes_.size(); }

    uint8_t byte(std::size_t at) const { return static_cast<uint8_t>(bytes_.at(at)); }

    uint16_t le16(std::size_t at) const { return static_cast<uint16_t>(byte(at) | byte(at + 1) << 8); }
    uint32_t le32(std::size_t at) const { return le16(at) | static_cast<uint32_t>(le16(at + 2)) << 16; }
    int32_t le32Signed(std::size_t at) const { return static_cast<int32_t>(le32(at)); }
    uint32_t be32(std::size_t at) const
    {
        return static_cast<uint32_t>(byte(at)) << 24 | byte(at + 1) << 16 | byte(at + 2) << 8 | byte(at + 3);
    }

    std::string text(std::size_t at, std::size_t length) const { return bytes_.substr(at, length); }

private:
    std::string bytes_;
};

} // namespace asset_test
