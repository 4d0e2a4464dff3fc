// The entry for xscreensaver's settings tool: the tool finds it by the
// program's name, starts the program the way hack mode expects and shows the
// description, which sends the user to the program's own settings dialog.

#include "binary_file.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace {

std::string config()
{
    asset_test::BinaryFile file(std::string(ZANDRETH_SOURCE_DIR) + "/assets/zandreth.xml");
    return file.text(0, file.size());
}

TEST(XscreensaverConfig, NamesTheProgramStartsItOnTheRootAndPointsToItsSettingsDialog)
{
    std::string text = config();
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", 0), 0u);
    EXPECT_NE(text.find("<screensaver name=\"zandreth\" _label=\"Zandreth\">"), std::string::npos);
    EXPECT_NE(text.find("<command arg=\"--root\"/>"), std::string::npos);
    EXPECT_NE(text.find("\"zandreth /C\""), std::string::npos);
    EXPECT_NE(text.find("</screensaver>"), std::string::npos);
    // Plain ASCII: the file declares ISO-8859-1.
    for (char c : text)
        EXPECT_TRUE(static_cast<unsigned char>(c) < 0x80) << "a byte outside ASCII";
    // Every element that opens is closed, in order.
    std::regex tag("<(/?)([A-Za-z_][-A-Za-z_]*)[^>]*?(/?)>");
    std::vector<std::string> open;
    for (std::sregex_iterator it(text.begin(), text.end(), tag), end; it != end; ++it) {
        const auto& match = *it;
        if (match[3].length() > 0)
            continue;
        if (match[1].length() == 0) {
            open.push_back(match[2]);
        } else {
            ASSERT_FALSE(open.empty()) << "</" << match[2] << "> closes nothing";
            EXPECT_EQ(open.back(), match[2]);
            open.pop_back();
        }
    }
    EXPECT_TRUE(open.empty());
}

} // namespace
