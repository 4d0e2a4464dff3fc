// Time to load a catalogue of 1,000 and of 32,767 records, and of 32,768
// (NUMBER_OF_CITY at its largest, 32767), from a file generated in a temporary
// folder.
// Run on demand: build/bench/catalogue_bench

#include "data/app_path.h"
#include "data/city_catalogue.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <stdlib.h>

namespace {

std::string makeCatalogueFolder(int upperBound)
{
    std::string folder = (std::filesystem::temp_directory_path() / "zandreth-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data()))
        return {};
    std::ofstream out(folder + "/zandreth.ini", std::ios::binary);
    out << "[MAP_INFO]\r\nNUMBER_OF_CITY=" << upperBound << "\r\n";
    for (int i = 0; i <= upperBound; ++i)
        out << "CODE_" << i << "=日本,東京" << i << ",Japan,Tokyo " << i << "," << (i % 97) * 900 - 43200 << ","
            << (i % 360) - 180 << ".25," << (i % 180) - 90 << ".5\r\n";
    out << "[SELECT_CITY]\r\nTimeZone=1\r\n[PROC_INFO]\r\nRND_INTERVAL=60\r\n";
    return folder;
}

void LoadCatalogue(benchmark::State& state)
{
    int upperBound = static_cast<int>(state.range(0));
    std::string folder = makeCatalogueFolder(upperBound);
    zandreth::AppPath = folder;
    auto bytes = std::filesystem::file_size(folder + "/zandreth.ini");
    for (auto _ : state) {
        if (zandreth::LoadCityTable() != -1)
            state.SkipWithError("the catalogue did not load");
        benchmark::DoNotOptimize(zandreth::CityTable(upperBound));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["records"] = upperBound + 1;
    std::filesystem::remove_all(folder);
}

BENCHMARK(LoadCatalogue)->Arg(999)->Arg(32766)->Arg(32767)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
