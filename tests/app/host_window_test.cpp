// Which window a screen-saver host gave the program, from the command line
// and XSCREENSAVER_WINDOW.

#include "app/host_window.h"

#include "platform/runtime/runtime_error.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using zandreth::HostWindow;
using zandreth::StartedByHost;

struct HostCase {
    const char* name;
    const char* command;
    const char* environment;
    std::optional<uint64_t> window;
};

class HostWindowChoice : public testing::TestWithParam<HostCase> { };

TEST_P(HostWindowChoice, FromTheCommandLineAndTheEnvironment)
{
    EXPECT_EQ(HostWindow(GetParam().command, GetParam().environment), GetParam().window);
    EXPECT_EQ(StartedByHost(GetParam().command, GetParam().environment), GetParam().window.has_value());
}

const HostCase kHostCases[] = {
    // No host: the screen-saver switches as before.
    { "NoSwitch", "", nullptr, std::nullopt },
    { "RunSwitch", "/S", nullptr, std::nullopt },
    { "RunSwitchWithANumber", "/s 1234", nullptr, std::nullopt },
    { "DashRun", "-s", nullptr, std::nullopt },
    { "EmptyVariable", "", "", std::nullopt },
    // xscreensaver's variable, hexadecimal as it writes it, or decimal.
    { "VariableInHexadecimal", "", "0x1a00007", 0x1a00007 },
    { "VariableInDecimal", "", "27262983", 27262983 },
    { "VariableBesideRunSwitch", "/S", "0x1A00007", 0x1a00007 },
    // It names the window for --root too.
    { "RootWithVariable", "--root", "0x1a00007", 0x1a00007 },
    { "SingleDashRoot", "-root", nullptr, 0 },
    { "DoubleDashRoot", "--root", nullptr, 0 },
    // An explicit window wins over the variable.
    { "WindowIdOverVariable", "--window-id 0x400001", "0x1a00007", 0x400001 },
    { "SingleDashWindowId", "-window-id 4194305", nullptr, 4194305 },
    { "WindowIdAfterRoot", "-root -window-id 0x400001", nullptr, 0x400001 },
    // The settings dialog and preview keep their switches under a host.
    { "DialogUnderAHost", "/C", "0x1a00007", std::nullopt },
    { "DialogWithOwnerUnderAHost", "/c:1234", "0x1a00007", std::nullopt },
    { "PreviewUnderAHost", "/P 5", "0x1a00007", std::nullopt },
};

INSTANTIATE_TEST_SUITE_P(Cases, HostWindowChoice, testing::ValuesIn(kHostCases),
                         [](const testing::TestParamInfo<HostCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(HostWindowId, ThatIsNotAWindowIdIsATypeMismatch)
{
    struct BadCase {
        const char* command;
        const char* environment;
    };
    const BadCase cases[] = {
        { "--window-id", nullptr },        { "--window-id abc", nullptr }, { "--window-id 0x", nullptr },
        { "-window-id 12z", nullptr },     { "--window-id 0", nullptr },   { "--window-id -5", nullptr },
        { "--window-id 0x100000000", nullptr }, { "", "window" },          { "--root", "0x1g" },
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(StartedByHost(c.command, c.environment)) << "a host started " << c.command;
        try {
            HostWindow(c.command, c.environment);
            ADD_FAILURE() << "accepted " << c.command << " / " << (c.environment ? c.environment : "");
        } catch (const platform::RuntimeError& error) {
            EXPECT_EQ(error.kind(), platform::RuntimeErrorKind::TypeMismatch) << c.command;
        }
    }
}

} // namespace
