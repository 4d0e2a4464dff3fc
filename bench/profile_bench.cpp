// Time and peak memory of the settings file's load and whole save on large
// files, each measured in a child process of its own so that its peak
// resident memory is its own:
// - many sections: 2,000,000 empty sections (about 23 MB) after a small
//   catalogue; the settings dialog's load (catalogue, then the saved
//   settings) and the whole save of its apply button;
// - many keys: 10,000,000 short keys (about 110 MB) in the catalogue's
//   section; the catalogue load of preview mode ("/P").
// Run on demand: build/bench/profile_bench [--small]
// (--small: a tenth of each size, for a quick look.)

#include "data/app_path.h"
#include "data/city_catalogue.h"
#include "data/saved_settings.h"

#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

std::string makeFolder()
{
    std::string folder = (std::filesystem::temp_directory_path() / "zandreth-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data()))
        return {};
    return folder;
}

void writeCatalogueStart(std::ofstream& out)
{
    out << "[MAP_INFO]\r\nNUMBER_OF_CITY=1\r\n"
           "CODE_0=協定世界時,UTC,UTC,UTC,0,0,-52.5\r\n"
           "CODE_1=日本,東京,Japan,Tokyo,32400,139.69,-35.68\r\n";
}

std::string manySections(const std::string& folder, int sections)
{
    std::ofstream out(folder + "/zandreth.ini", std::ios::binary);
    writeCatalogueStart(out);
    for (int i = 0; i < sections; ++i)
        out << "[S" << i << "]\r\n";
    return folder + "/zandreth.ini";
}

std::string manyKeys(const std::string& folder, int keys)
{
    std::ofstream out(folder + "/zandreth.ini", std::ios::binary);
    writeCatalogueStart(out);
    for (int i = 0; i < keys; ++i)
        out << "K" << i << "=1\r\n";
    return folder + "/zandreth.ini";
}

// Runs `work` in a child process; prints its wall time and peak memory.
void measure(const char* what, const std::string& path, const std::function<bool()>& work)
{
    double megabytes = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    std::fflush(stdout); // the child must not print what the parent has not yet
    pid_t child = fork();
    if (child == 0) {
        auto started = std::chrono::steady_clock::now();
        bool ok = work();
        double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
        std::printf("%-44s %8.1f MB file %10.1f ms", what, megabytes, ms);
        std::fflush(stdout);
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    rusage usage {};
    wait4(child, &status, 0, &usage);
    std::printf("  peak RSS %8.1f MB%s\n", static_cast<double>(usage.ru_maxrss) / 1024,
                WIFEXITED(status) && WEXITSTATUS(status) == 0 ? "" : "  FAILED");
}

} // namespace

int main(int argc, char** argv)
{
    int scale = argc > 1 && std::strcmp(argv[1], "--small") == 0 ? 10 : 1;
    std::string folder = makeFolder();
    if (folder.empty())
        return 1;
    zandreth::AppPath = folder;

    std::string path = manySections(folder, 2000000 / scale);
    measure("many sections: dialog load (catalogue, settings)", path, [] {
        return zandreth::LoadCityTable() == -1 && zandreth::LoadSaveSettings(zandreth::kFalse);
    });
    measure("many sections: whole save", path, [] { return zandreth::LoadSaveSettings(zandreth::kTrue); });

    path = manyKeys(folder, 10000000 / scale);
    measure("many keys: preview load (catalogue)", path, [] { return zandreth::LoadCityTable() == -1; });
    measure("many keys: whole save", path, [] { return zandreth::LoadSaveSettings(zandreth::kTrue); });

    std::filesystem::remove_all(folder);
    return 0;
}
