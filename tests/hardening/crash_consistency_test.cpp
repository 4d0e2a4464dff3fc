// A save of the settings lands whole or not at all. A child process saves
// again and again and is killed (SIGKILL) at random moments: the file is
// then always byte for byte the old text or the new one, never a mixture or
// a truncated file, and whatever temporary file a kill leaves behind is never
// read as the settings, does not stop the next save and is removed by it. Saves that fail (a
// read-only file, a folder that refuses new files, a full disk, a failing
// device, a missing folder) return false, say which file and why, and leave
// the file as it was.

#include "data/app_path.h"
#include "data/city_catalogue.h"
#include "data/saved_settings.h"
#include "platform/system/file_replace.h"
#include "platform/testing/hooks.h"
#include "support/fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sched.h>
#include <signal.h>
#include <string>
#include <atomic>
#include <new>
#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using platform::FileReplaceStep;
using zandreth::LoadSaveSettings;

// Which values a save writes: two sets that differ in every field.
struct Values {
    int16_t base;
    int32_t interval;
};
constexpr Values kOld { 1, 60 };
constexpr Values kNew { 2, 5 };
constexpr Values kLater { 3, 17 };

void apply(const Values& values)
{
    zandreth::Settings.HomeCity = values.base;
    for (int i = 0; i < zandreth::kDisplayRows; ++i) {
        zandreth::SelectedCity[i].SelectNo = static_cast<int16_t>(values.base * 100 + i);
        zandreth::SelectedCity[i].MarkNo = static_cast<int16_t>((values.base + i) % 2);
    }
    zandreth::Settings.RndInterval = values.interval;
    zandreth::Settings.MarkInterval = values.base;
    zandreth::Settings.LangSelect = { static_cast<int16_t>(-(values.base % 2)), static_cast<int16_t>(values.base % 2 - 1) };
    zandreth::Settings.PrintName = zandreth::Settings.LangSelect;
}

bool holds(const Values& values)
{
    return zandreth::Settings.HomeCity == values.base && zandreth::Settings.RndInterval == values.interval
        && zandreth::SelectedCity[9].SelectNo == values.base * 100 + 9;
}

// A settings file with a catalogue of `records` records, so a save moves
// megabytes and takes long enough for a kill to land in its middle.
std::string catalogueFile(int records)
{
    std::string file = "[MAP_INFO]\r\nNUMBER_OF_CITY=" + std::to_string(records - 1) + "\r\n";
    for (int i = 0; i < records; ++i)
        file += "CODE_" + std::to_string(i) + "=アメリカ合衆国,ロサンゼルス,United States,Los Angeles,-28800,-118.24,-34.05\r\n";
    return file + "\r\n[SELECT_CITY]\r\nTimeZone=0\r\n\r\n[PROC_INFO]\r\nRND_INTERVAL=60\r\n";
}

std::vector<std::string> temporaryFiles(const testing_support::TempDir& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        std::string name = entry.path().filename().string();
        if (name != zandreth::kSettingsFileName)
            names.push_back(name);
    }
    return names;
}

// Where two texts first differ, for a report that does not print megabytes.
std::string firstDifference(const std::string& actual, const std::string& expected)
{
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    return "size " + std::to_string(actual.size()) + " (expected " + std::to_string(expected.size())
        + "), first difference at byte " + std::to_string(at);
}

class CrashConsistency : public testing::Test {
protected:
    void SetUp() override
    {
        zandreth::AppPath = folder.path().string();
        platform::clearFileReplaceFaultsForTesting();
    }
    void TearDown() override { platform::clearFileReplaceFaultsForTesting(); }

    std::string settingsPath() const { return folder.file(zandreth::kSettingsFileName); }
    std::string settingsBytes() const { return folder.read(zandreth::kSettingsFileName); }

    // Saves `values` and returns the file's bytes afterwards.
    std::string save(const Values& values)
    {
        apply(values);
        EXPECT_TRUE(LoadSaveSettings(zandreth::kTrue)) << zandreth::LastSettingsWriteError();
        return settingsBytes();
    }

    testing_support::TempDir folder;
};

TEST_F(CrashConsistency, KilledSavesLeaveTheOldOrTheNewFileWhole)
{
    folder.write(zandreth::kSettingsFileName, catalogueFile(1500));
    const std::string oldBytes = save(kOld);
    const std::string newBytes = save(kNew);
    ASSERT_NE(oldBytes, newBytes);
    ASSERT_EQ(save(kOld), oldBytes) << "saving the same values gives the same bytes";

    // A kill lands anywhere within about three saves.
    auto started = std::chrono::steady_clock::now();
    save(kNew);
    save(kOld);
    auto perSave = (std::chrono::steady_clock::now() - started) / 2;
    auto longest = std::clamp<std::chrono::steady_clock::duration>(3 * perSave, 2ms, 200ms);

    std::random_device seedSource;
    unsigned seed = seedSource();
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> delay(0, std::chrono::duration_cast<std::chrono::microseconds>(longest).count());
    SCOPED_TRACE("seed " + std::to_string(seed));

    constexpr int kKills = 200;
    // A slow machine gets fewer kills rather than a long test.
    constexpr auto kBudget = 5s;
    int kills = 0;
    int killedMidSave = 0;
    int leftTemporary = 0;
    int sawOld = 0;
    int sawNew = 0;
    // Set by the child while it is inside a save, so the test knows where a
    // kill landed: a kill in the middle of a save leaves no temporary file
    // to show it where the file system creates them without a name.
    void* shared = mmap(nullptr, sizeof(std::atomic<int>), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(shared, MAP_FAILED) << std::strerror(errno);
    auto* inSave = new (shared) std::atomic<int>(0);
    auto deadline = std::chrono::steady_clock::now() + kBudget;
    for (; kills < kKills && std::chrono::steady_clock::now() < deadline; ++kills) {
        pid_t child = fork();
        ASSERT_GE(child, 0) << std::strerror(errno);
        if (child == 0) {
            // Saves the two sets of values in turn until it is killed, and
            // dies with the test should the test die first.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            for (int i = 0; i < 100000; ++i) {
                apply(i % 2 == 0 ? kNew : kOld);
                inSave->store(1);
                LoadSaveSettings(zandreth::kTrue);
                inSave->store(0);
            }
            _exit(0);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended before it was killed";

        std::string bytes = settingsBytes();
        bool isOld = bytes == oldBytes;
        bool isNew = bytes == newBytes;
        ASSERT_TRUE(isOld || isNew) << "after kill " << kills << ": " << firstDifference(bytes, oldBytes);
        sawOld += isOld;
        sawNew += isNew;

        // A temporary file left behind is never read as the settings: the
        // settings read are those of the file itself.
        zandreth::SelectedCity = {};
        zandreth::Settings = {};
        LoadSaveSettings(zandreth::kFalse);
        ASSERT_TRUE(holds(isOld ? kOld : kNew)) << "after kill " << kills;

        killedMidSave += inSave->exchange(0);
        leftTemporary += !temporaryFiles(folder).empty();
    }
    munmap(shared, sizeof(std::atomic<int>));

    std::cout << "a save takes " << std::chrono::duration_cast<std::chrono::microseconds>(perSave).count()
              << " us; " << kills << " kills, " << killedMidSave << " in the middle of a save; a temporary file lay beside the file after "
              << leftTemporary << " of them; the file was "
              << sawOld << " times the old text and " << sawNew << " times the new one\n";
    RecordProperty("kills", kills);
    RecordProperty("killedMidSave", killedMidSave);
    RecordProperty("leftTemporary", leftTemporary);
    EXPECT_GE(kills, 20) << "too few kills in " << kBudget.count() << " s to mean anything";
    EXPECT_GT(killedMidSave, 0) << "no kill landed in the middle of a save; the test did not test";

    // The next save still works, leaves no temporary file of its own and
    // removes what the kills left.
    std::string laterBytes = save(kLater);
    EXPECT_NE(laterBytes, oldBytes);
    EXPECT_EQ(temporaryFiles(folder), std::vector<std::string> {});
    zandreth::SelectedCity = {};
    zandreth::Settings = {};
    LoadSaveSettings(zandreth::kFalse);
    EXPECT_TRUE(holds(kLater));
    zandreth::LoadCityTable();
    EXPECT_EQ(zandreth::CityCount, 1499) << "the catalogue survives every save";
}

// A save that fails at one of its steps returns false, names the file and
// the reason, leaves the file as it was and no temporary file beside it,
// keeps the values in memory, and the next save writes them.
struct FailedStep {
    const char* name;
    FileReplaceStep step;
    int error;
};

void PrintTo(const FailedStep& failure, std::ostream* out) { *out << failure.name; }

class FailedSave : public CrashConsistency, public testing::WithParamInterface<FailedStep> {};

TEST_P(FailedSave, LeavesTheFileAsItWasAndSaysWhy)
{
    folder.write(zandreth::kSettingsFileName, catalogueFile(50));
    const std::string oldBytes = save(kOld);

    apply(kNew);
    platform::failNextFileReplaceStepForTesting(GetParam().step, GetParam().error);
    EXPECT_FALSE(LoadSaveSettings(zandreth::kTrue));
    const std::string& why = zandreth::LastSettingsWriteError();
    EXPECT_NE(why.find(settingsPath()), std::string::npos) << why;
    EXPECT_NE(why.find(std::strerror(GetParam().error)), std::string::npos) << why;
    EXPECT_EQ(settingsBytes(), oldBytes);
    EXPECT_TRUE(temporaryFiles(folder).empty());
    EXPECT_TRUE(holds(kNew)) << "the values in memory stay";

    EXPECT_TRUE(LoadSaveSettings(zandreth::kTrue));
    EXPECT_TRUE(zandreth::LastSettingsWriteError().empty());
    zandreth::Settings = {};
    LoadSaveSettings(zandreth::kFalse);
    EXPECT_TRUE(holds(kNew));
}

INSTANTIATE_TEST_SUITE_P(Steps, FailedSave,
                         testing::Values(
                             // A process that is not root meets EACCES in a
                             // read-only folder; root is let through, so the
                             // refusal is injected.
                             FailedStep { "FolderRefusesNewFiles", FileReplaceStep::CreateTemporary, EACCES },
                             FailedStep { "DiskFull", FileReplaceStep::Write, ENOSPC },
                             FailedStep { "QuotaExceeded", FileReplaceStep::Write, EDQUOT },
                             FailedStep { "DeviceFailsOnWrite", FileReplaceStep::Write, EIO },
                             FailedStep { "DeviceFailsOnFlush", FileReplaceStep::Sync, EIO },
                             FailedStep { "RenameRefused", FileReplaceStep::Rename, EACCES }),
                         [](const testing::TestParamInfo<FailedStep>& info) { return std::string(info.param.name); });

// Read-only by its mode bits, which the save honours even for root.
TEST_F(CrashConsistency, ReadOnlyFileIsLeftAsItWas)
{
    folder.write(zandreth::kSettingsFileName, catalogueFile(50));
    const std::string oldBytes = save(kOld);
    ASSERT_EQ(chmod(settingsPath().c_str(), 0444), 0);

    apply(kNew);
    EXPECT_FALSE(LoadSaveSettings(zandreth::kTrue));
    const std::string& why = zandreth::LastSettingsWriteError();
    EXPECT_NE(why.find(settingsPath()), std::string::npos) << why;
    EXPECT_NE(why.find("read-only"), std::string::npos) << why;
    EXPECT_EQ(settingsBytes(), oldBytes);
    EXPECT_TRUE(temporaryFiles(folder).empty());

    ASSERT_EQ(chmod(settingsPath().c_str(), 0644), 0);
    EXPECT_TRUE(LoadSaveSettings(zandreth::kTrue)) << zandreth::LastSettingsWriteError();
}

TEST_F(CrashConsistency, MissingFolderIsNotCreated)
{
    zandreth::AppPath = folder.file("no-such-folder");
    apply(kNew);
    EXPECT_FALSE(LoadSaveSettings(zandreth::kTrue));
    const std::string& why = zandreth::LastSettingsWriteError();
    EXPECT_NE(why.find(zandreth::SettingsFilePath()), std::string::npos) << why;
    EXPECT_NE(why.find(std::strerror(ENOENT)), std::string::npos) << why;
    EXPECT_FALSE(std::filesystem::exists(folder.file("no-such-folder")));
}

// A real full file system: a small tmpfs, mounted in a mount namespace of
// this test process alone, so it disappears with the process whatever
// happens. Needs the right to mount (root in a system or container that
// allows it); skipped otherwise.
class FullFileSystem : public CrashConsistency {
protected:
    void SetUp() override
    {
        CrashConsistency::SetUp();
        mountPoint = folder.file("small");
        std::filesystem::create_directory(mountPoint);
        if (unshare(CLONE_NEWNS) != 0)
            GTEST_SKIP() << "cannot make a mount namespace here (" << std::strerror(errno)
                         << "); the full-disk case is covered by the injected ENOSPC only";
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
            || mount("tmpfs", mountPoint.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=256k") != 0)
            GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno)
                         << "); the full-disk case is covered by the injected ENOSPC only";
        mounted = true;
        zandreth::AppPath = mountPoint;
    }
    void TearDown() override
    {
        if (mounted)
            umount2(mountPoint.c_str(), MNT_DETACH);
        CrashConsistency::TearDown();
    }

    // Fills the file system to its last byte; returns the filler's path.
    std::string fill()
    {
        std::string filler = mountPoint + "/filler";
        int descriptor = open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        EXPECT_GE(descriptor, 0);
        std::vector<char> block(4096, 'x');
        std::size_t size = block.size();
        while (size > 0) {
            if (write(descriptor, block.data(), size) < 0) {
                EXPECT_EQ(errno, ENOSPC);
                size /= 2;
            }
        }
        close(descriptor);
        return filler;
    }

    std::string mountPoint;
    bool mounted = false;
};

TEST_F(FullFileSystem, SaveOnAFullDiskLeavesTheFileAsItWas)
{
    std::string path = mountPoint + "/" + zandreth::kSettingsFileName;
    {
        std::string bytes = catalogueFile(600); // about 60 kB
        int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(descriptor, 0);
        ASSERT_EQ(write(descriptor, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        close(descriptor);
    }
    apply(kOld);
    ASSERT_TRUE(LoadSaveSettings(zandreth::kTrue)) << zandreth::LastSettingsWriteError();
    const std::string oldBytes = testing_support::readFile(path);

    std::string filler = fill();
    apply(kNew);
    EXPECT_FALSE(LoadSaveSettings(zandreth::kTrue));
    const std::string& why = zandreth::LastSettingsWriteError();
    EXPECT_NE(why.find(path), std::string::npos) << why;
    EXPECT_NE(why.find(std::strerror(ENOSPC)), std::string::npos) << why;
    EXPECT_EQ(testing_support::readFile(path), oldBytes);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(mountPoint))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string> { "filler", "zandreth.ini" })) << "no temporary file is left";

    // With room again, the same save goes through.
    std::filesystem::remove(filler);
    EXPECT_TRUE(LoadSaveSettings(zandreth::kTrue)) << zandreth::LastSettingsWriteError();
    zandreth::Settings = {};
    LoadSaveSettings(zandreth::kFalse);
    EXPECT_TRUE(holds(kNew));
}

} // namespace
