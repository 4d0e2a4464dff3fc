// The About box: its texts, its closing keys, and its modal opening from the
// settings dialog.

#include "about/frm_about.h"

#include "data/app_path.h"
#include "platform/forms/app.h"
#include "platform/forms/runtime.h"
#include "platform/testing/hooks.h"
#include "support/form_drivers.h"
#include "settings/setting.h"
#include "support/message_box_recorder.h"
#include "support/program_state.h"
#include "support/fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testing_support::MessageBoxRecorder;
using testing_support::TempDir;
using zandreth::frmAbout;

class AboutTest : public testing_support::FreshProgramState<> {
protected:
    void TearDown() override
    {
        EXPECT_FALSE(platform::Runtime::current().ended()) << "a handler raised a run-time error";
        FreshProgramState::TearDown();
    }
};

void expectAboutTexts(frmAbout& about)
{
    EXPECT_EQ(about.caption(), "ZandrethVersion Information");
    EXPECT_EQ(about.lblTitle.caption(), "Zandreth");
    EXPECT_EQ(about.lblVersion.caption(), "Version 1.0.0");
    EXPECT_FALSE(about.lblDescription.caption().empty());
    // Two Japanese sentences with nothing between them.
    const std::string& notice = about.Label1.caption();
    const std::string fullStop = "。";
    auto first = notice.find(fullStop);
    ASSERT_NE(first, std::string::npos) << notice;
    auto second = notice.find(fullStop, first + fullStop.size());
    ASSERT_NE(second, std::string::npos) << notice;
    EXPECT_EQ(second + fullStop.size(), notice.size()) << notice;
    EXPECT_NE(notice.substr(first + fullStop.size(), 1), " ");
}

TEST_F(AboutTest, ShowsTitleVersionAndNotices)
{
    frmAbout about;
    about.show();
    expectAboutTexts(about);
}

TEST_F(AboutTest, ASecondOpeningShowsTheSameTexts)
{
    for (int opening = 0; opening < 2; ++opening) {
        SCOPED_TRACE("opening " + std::to_string(opening + 1));
        frmAbout about;
        about.show();
        expectAboutTexts(about);
        about.cmdOK.click();
        EXPECT_FALSE(about.loaded());
    }
}

// Enter and Esc close the box wherever the focus is.
struct CloseKeyCase {
    const char* name;
    int16_t keyCode;
    platform::Control& (*focus)(frmAbout&);
};

void PrintTo(const CloseKeyCase& c, std::ostream* out) { *out << c.name; }

class AboutCloseKeys : public AboutTest, public testing::WithParamInterface<CloseKeyCase> { };

TEST_P(AboutCloseKeys, CloseTheBox)
{
    frmAbout about;
    about.show();
    platform::Runtime::current().processPendingEvents();
    GetParam().focus(about).setFocus();
    platform::pressKeyForTesting(about, GetParam().keyCode);
    EXPECT_FALSE(about.loaded());
}

platform::Control& okButton(frmAbout& about) { return about.cmdOK; }
platform::Control& icon(frmAbout& about) { return about.picIcon; }
platform::Control& notice(frmAbout& about) { return about.Label1; }
platform::Control& version(frmAbout& about) { return about.lblVersion; }

const CloseKeyCase kCloseKeys[] {
    { "EnterOnOk", 13, okButton },   { "EscOnOk", 27, okButton },       { "EnterOnIcon", 13, icon },
    { "EscOnIcon", 27, icon },       { "EnterOnNotice", 13, notice },   { "EscOnNotice", 27, notice },
    { "EnterOnVersion", 13, version }, { "EscOnVersion", 27, version }, { "SpaceOnOk", 32, okButton },
};

INSTANTIATE_TEST_SUITE_P(About, AboutCloseKeys, testing::ValuesIn(kCloseKeys),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AboutTest, OtherKeysLeaveItOpen)
{
    frmAbout about;
    about.show();
    about.cmdOK.setFocus();
    platform::pressKeyForTesting(about, 'A');
    platform::pressKeyForTesting(about, 9);
    EXPECT_TRUE(about.loaded());
}

TEST_F(AboutTest, TheSettingsDialogOpensAFreshBoxModallyEachTime)
{
    TempDir folder;
    folder.write("zandreth.ini", testing_support::fixture("six_cities.ini"));
    platform::setAppPathForTesting(folder.path().string());
    zandreth::AppPath = folder.path().string();
    MessageBoxRecorder boxes;

    zandreth::Setting dialog;
    dialog.show();
    dialog.Check1(0).setValue(1);
    dialog.Combo1(0).setListIndex(2);

    std::vector<std::string> versions;
    platform::setModalShowObserverForTesting([&](platform::Form& form) {
        auto* about = dynamic_cast<frmAbout*>(&form);
        ASSERT_NE(about, nullptr);
        EXPECT_TRUE(about->shown());
        expectAboutTexts(*about);
        versions.push_back(about->lblVersion.caption());
        platform::pressKeyForTesting(*about, 27);
    });
    dialog.Command3.click();
    dialog.Command3.click();

    EXPECT_EQ(versions, (std::vector<std::string> { "Version 1.0.0", "Version 1.0.0" }));
    EXPECT_TRUE(dialog.loaded());
    EXPECT_EQ(dialog.Check1(0).value(), 1);
    EXPECT_EQ(dialog.Combo1(0).listIndex(), 2);
    EXPECT_TRUE(boxes.shown.empty());
    dialog.Command2.click();
}

} // namespace
