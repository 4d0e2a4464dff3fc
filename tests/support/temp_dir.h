#pragma once

// A fresh temporary folder for one test, removed with everything in it when
// the test ends. Tests never touch a user's own settings.

#include "support/fixture.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace testing_support {

class TempDir {
public:
    // A new folder of a random name that no other test or process has:
    // create_directory fails on a name that exists, so a clash takes the
    // next name.
    TempDir()
    {
        std::random_device entropy;
        std::mt19937_64 names(entropy() ^ static_cast<uint64_t>(
                                  std::chrono::steady_clock::now().time_since_epoch().count()));
        const auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100; ++attempt) {
            auto candidate = base / ("zandreth-test-" + std::to_string(names() % 1'000'000'000'000ull));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) {
                std::filesystem::permissions(candidate, std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::replace, error);
                path_ = candidate;
                return;
            }
        }
        throw std::runtime_error("cannot make a temporary folder in " + base.string());
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

    void write(const std::string& name, const std::string& bytes) const { writeFile(path_ / name, bytes); }
    std::string read(const std::string& name) const { return readFile(path_ / name); }

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
    std::filesystem::path path_;
};

} // namespace testing_support
