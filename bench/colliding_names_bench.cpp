// Loading a catalogue whose section holds 100,000 key names chosen to meet
// in one run of the name index's probes, against one of 100,000 random
// names of the same length: the two should take about as long.
//
// The colliding names are made for the index's former hash, which had no
// key and could be inverted: for each name of two 8-byte words, the second
// word is computed from the first so that every name ends with the same
// hash. With that hash, 20,000 such names (0.4 MB) took 7.4 s to load in
// preview mode ("/P") and 24 s as the settings dialog ("/C"), against 3 ms
// and 14 ms for random names; 100,000 took minutes. The hash is now keyed per
// process, so these names land apart like any others; no file can be made
// to collide without knowing the key.
//
// Each load runs in a child process of its own.
// Run on demand: build/bench/colliding_names_bench [NAMES]

#include "data/app_path.h"
#include "data/city_catalogue.h"
#include "data/saved_settings.h"

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr uint64_t kMixMultiplier = 0xFF51AFD7ED558CCDull;
constexpr uint64_t kFinalMultiplier = 0xBF58476D1CE4E5B9ull;

// The inverse of an odd number modulo 2^64 (Newton's iteration).
uint64_t inverse(uint64_t odd)
{
    uint64_t x = odd;
    for (int i = 0; i < 6; ++i)
        x *= 2 - odd * x;
    return x;
}

// The former hash of a name of words that need no folding.
uint64_t formerHash(const std::string& name)
{
    uint64_t hash = 0x9E3779B97F4A7C15ull ^ name.size();
    for (std::size_t at = 0; at < name.size(); at += 8) {
        uint64_t word = 0;
        std::memcpy(&word, name.data() + at, std::min<std::size_t>(8, name.size() - at));
        hash = (hash ^ word) * kMixMultiplier;
        hash ^= hash >> 32;
    }
    hash ^= hash >> 29;
    return hash * kFinalMultiplier;
}

// A byte that a key name of 16 bytes may hold where the folding of the
// name leaves it as it is: no line break, '=', blank, NUL or capital.
bool usableByte(unsigned char byte)
{
    return byte != 0 && byte != '\r' && byte != '\n' && byte != '=' && byte != ' ' && byte != '\t'
           && !(byte >= 'A' && byte <= 'Z');
}

// `count` names of 16 bytes whose former hash is `target`.
std::vector<std::string> collidingNames(int count, uint64_t target)
{
    // The second word that takes the state after the first word to the
    // target: undo the final step, then the second word's mix.
    uint64_t y = target * inverse(kFinalMultiplier);
    uint64_t beforeFinal = y ^ (y >> 29) ^ (y >> 58);
    uint64_t mixed = beforeFinal ^ (beforeFinal >> 32);
    uint64_t product = mixed * inverse(kMixMultiplier);
    std::vector<std::string> names;
    char first[32];
    for (uint64_t counter = 0; static_cast<int>(names.size()) < count; ++counter) {
        std::snprintf(first, sizeof first, "k%07llu", static_cast<unsigned long long>(counter % 10000000));
        uint64_t word = 0;
        std::memcpy(&word, first, 8);
        uint64_t state = ((0x9E3779B97F4A7C15ull ^ 16) ^ word) * kMixMultiplier;
        state ^= state >> 32;
        uint64_t second = state ^ product;
        std::string name(first, 8);
        name.append(reinterpret_cast<const char*>(&second), 8);
        bool usable = true;
        for (std::size_t at = 8; at < 16; ++at)
            usable = usable && usableByte(static_cast<unsigned char>(name[at]));
        if (usable && formerHash(name) == target)
            names.push_back(name);
    }
    return names;
}

std::vector<std::string> randomNames(int count)
{
    std::mt19937_64 random(12345);
    std::vector<std::string> names;
    char first[32];
    for (int i = 0; i < count; ++i) {
        std::snprintf(first, sizeof first, "k%07d", i % 10000000);
        std::string name(first, 8);
        while (name.size() < 16) {
            auto byte = static_cast<unsigned char>(random());
            if (usableByte(byte))
                name += static_cast<char>(byte);
        }
        names.push_back(name);
    }
    return names;
}

std::string writeCatalogue(const std::string& folder, const std::vector<std::string>& names)
{
    std::string path = folder + "/zandreth.ini";
    std::ofstream out(path, std::ios::binary);
    // Enough records that the loader's lookups have the section's keys
    // indexed rather than searched line by line.
    out << "[MAP_INFO]\r\nNUMBER_OF_CITY=15\r\n";
    for (int record = 0; record <= 15; ++record)
        out << "CODE_" << record << "=Japan,Tokyo,Japan,Tokyo,32400,139.69,-35.68\r\n";
    for (const std::string& name : names)
        out << name << "=1\r\n";
    return path;
}

// Runs `work` in a child process; its wall time in milliseconds, or -1.
double measure(const std::function<bool()>& work)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return -1;
    pid_t child = ::fork();
    if (child == 0) {
        auto started = std::chrono::steady_clock::now();
        bool ok = work();
        double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
        ssize_t written = ::write(pipeEnds[1], &ms, sizeof ms);
        ::_exit(ok && written == sizeof ms ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    double ms = -1;
    if (::read(pipeEnds[0], &ms, sizeof ms) != sizeof ms)
        ms = -1;
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ms : -1;
}

} // namespace

int main(int argc, char** argv)
{
    int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    std::string folder = (std::filesystem::temp_directory_path() / "zandreth-bench-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr)
        return 1;
    zandreth::AppPath = folder;

    struct Kind {
        const char* name;
        std::vector<std::string> names;
    };
    const Kind kinds[] = {
        { "random names", randomNames(count) },
        { "names colliding in the former hash", collidingNames(count, 0x0123456789ABCDEFull) },
    };
    double preview[2] = {};
    double dialog[2] = {};
    for (int k = 0; k < 2; ++k) {
        std::string path = writeCatalogue(folder, kinds[k].names);
        double megabytes = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
        // Preview mode ("/P") loads the catalogue once; the settings dialog
        // ("/C") loads it in start-up, before the dialog and in the dialog's
        // load, then reads the saved settings.
        preview[k] = measure([] { return zandreth::LoadCityTable(); });
        dialog[k] = measure([] {
            return zandreth::LoadCityTable() && zandreth::LoadCityTable() && zandreth::LoadCityTable()
                   && zandreth::LoadSaveSettings(0);
        });
        std::printf("%-36s %7d names %5.1f MB   /P %9.1f ms   /C %9.1f ms\n", kinds[k].name, count, megabytes,
                    preview[k], dialog[k]);
    }
    if (preview[0] > 0 && dialog[0] > 0)
        std::printf("colliding / random: /P %.2f, /C %.2f\n", preview[1] / preview[0], dialog[1] / dialog[0]);
    std::filesystem::remove_all(folder);
    return 0;
}
