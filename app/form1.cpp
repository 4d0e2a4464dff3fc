#include "app/form1.h"

#include "app/host_window.h"
#include "app/screen_saver_command.h"
#include "data/app_path.h"
#include "data/city_catalogue.h"
#include "platform/forms/app.h"
#include "platform/forms/cursor.h"
#include "platform/runtime/message_box.h"
#include "platform/forms/runtime.h"
#include "platform/runtime/text_functions.h"
#include "settings/save_failure_message.h"
#include "settings/setting.h"

#include <cstdlib>
#include <optional>

namespace zandreth {

namespace {

// A mouse-move handler ends the run at its seventh event: the first six only
// count, so a jolt of the desk does not end the screen saver.
constexpr int16_t kMovesBeforeExit = 6;

constexpr platform::Colour kBlack = 0x00000000;
constexpr platform::Colour kBlue = 0x00FF0000;
constexpr platform::Colour kLightBlue = 0x00FF8080;

const platform::FormDesign kDesign {
    .caption = "Form1",
    .borderStyle = platform::BorderStyle::None,
    .scaleMode = platform::ScaleMode::Pixels,
    .clientWidth = 937,
    .clientHeight = 577,
    .backColor = kBlack,
};

// Design positions of the time labels: two rows of five, 56 pixels apart.
constexpr std::array<float, 10> kTimeLabelLeft { 160, 160, 216, 216, 272, 272, 328, 328, 384, 384 };
constexpr std::array<float, 10> kTimeLabelTop { 72, 96, 72, 96, 72, 96, 72, 96, 72, 96 };

const platform::Font kTimeFont { "MS UI Gothic", 9, true, 128 };
const platform::Font kNameFont { "MS UI Gothic", 8.25, true, 128 };
const platform::Font kUtcFont { "MS UI Gothic", 12, true, 128 };

} // namespace

Form1::Form1()
    : platform::Form(kDesign)
{
    Image1.move(152, 112, 740, 370);
    Image1.setPicture("map");

    for (int i = 0; i < 10; ++i) {
        auto& time = Label1(i);
        time.move(kTimeLabelLeft[i], kTimeLabelTop[i], 41, 17);
        time.setCaption("00:00");
        time.setFont(kTimeFont);
        time.setForeColor(kBlack);
        time.setBackColor(kBlue);
        time.setAlignment(platform::Alignment::Center);

        auto& name = Label3(i);
        name.move(160, 240 + 16.0f * i, 22, 17);
        name.setCaption("Tokyo");
        name.setFont(kNameFont);
        name.setForeColor(kBlack);
        name.setBackColor(platform::kButtonFace);
        name.setAlignment(platform::Alignment::Left);
    }

    L_UTCtime.move(128, 24, 745, 16);
    L_UTCtime.setFont(kUtcFont);
    L_UTCtime.setForeColor(kLightBlue);
    L_UTCtime.setBackColor(kBlack);
    L_UTCtime.setAlignment(platform::Alignment::Center);

    // Stacking, from the bottom up: the map under everything, then the UTC
    // line, Label1(0), the name labels and the other time labels.
    Image1.bringToFront();
    L_UTCtime.bringToFront();
    Label1(0).bringToFront();
    for (int i = 0; i <= 9; ++i)
        Label3(i).bringToFront();
    for (int i = 1; i <= 9; ++i)
        Label1(i).bringToFront();

    Timer1.setInterval(900);
    Timer2.setInterval(2000);
    Timer3.setInterval(1000);

    Timer1.onTimer = [this] { Timer1_Timer(); };
    Timer2.onTimer = [this] { Timer2_Timer(); };
    Timer3.onTimer = [this] { Timer3_Timer(); };
    Image1.onMouseDown = [this](int16_t button, int16_t shift, float x, float y) {
        Image1_MouseDown(button, shift, x, y);
    };
    Image1.onMouseMove = [this](int16_t button, int16_t shift, float x, float y) {
        Image1_MouseMove(button, shift, x, y);
    };
}

Form1::~Form1() = default;

void Form1::Form_Load()
{
    // A screen-saver host holds the keyboard and the mouse: from the start
    // on, no message of the program may wait in a box for an answer.
    const char* environmentWindow = std::getenv("XSCREENSAVER_WINDOW");
    // Where the window system has no such hosts, their switches are unknown
    // ones and open the dialog.
    std::optional<uint64_t> host;
    if (platform::hostSwitchesExist() && StartedByHost(platform::Command(), environmentWindow)) {
        platform::Runtime::current().runHosted();
        host = HostWindow(platform::Command(), environmentWindow);
        platform::Runtime::current().setHostWindow(*host);
    }
    AppPath = platform::App.path();
    // A screen-saver host runs one copy per monitor at once: no instance
    // lock for them.
    if (!host && platform::App.prevInstance())
        platform::End();
    // The user's new settings folder did not get its copy of the installed
    // catalogue: where and why, before the catalogue's own message.
    if (auto failure = platform::App.settingsCopyFailure(); failure.cause != platform::FileReplaceCause::None)
        platform::MsgBox(SettingsCopyFailureMessage(AppPath, failure), platform::MessageBoxIcon::Exclamation,
                         platform::App.title());
    SavedImc = platform::ImmAssociateContext(hWnd(), platform::kNullInputContext);

    if (!LoadCityTable()) {
        unload();
        return;
    }

    for (int i = 0; i < 10; ++i) {
        Label1(i).setCaption("");
        Label3(i).setCaption("");
        Label3(i).setAutoSize(true);
    }

    ScreenSaverMode mode = ParseScreenSaverCommand(platform::Command()).mode;
    if (host) {
        // The run-mode picture in the host's window; the host owns the
        // cursor and the input. A small window shows the map with its line
        // scaled down to fit.
        hostIn(*host, Image1.width(), Image1.height() + L_UTCtime.height() + 1);
        SetupCityLabels();
        RelocateMap();
        show(platform::ShowMode::Modeless);
    } else if (mode == ScreenSaverMode::Run) {
        platform::ShowCursor(0);
        // The placements use the whole screen from the first one on.
        coverScreen();
        SetupCityLabels();
        RelocateMap();
        setWindowState(platform::WindowState::Maximized);
        show(platform::ShowMode::Modeless);
    } else if (mode == ScreenSaverMode::Preview) {
        unload();
    } else {
        // "/C", and every text that is not one of the three switches.
        platform::ShowCursor(1);
        if (LoadCityTable())
            showSettingsDialog();
        unload();
    }
}

void Form1::showSettingsDialog()
{
    setting_ = std::make_unique<Setting>();
    // "/C:HWND": the dialog belongs to the window of the screen-saver
    // settings that started it.
    if (auto owner = ParseScreenSaverCommand(platform::Command()).window)
        setting_->setOwnerWindow(*owner);
    setting_->show(platform::ShowMode::Modeless);
}

void Form1::Form_Resize() { RelocateMap(); }

void Form1::Form_Unload(int16_t& cancel)
{
    (void)cancel;
    platform::ShowCursor(1);
    SavedImc = platform::ImmAssociateContext(hWnd(), SavedImc);
}

void Form1::Form_KeyDown(int16_t, int16_t)
{
    unload();
}

void Form1::Form_MouseDown(int16_t, int16_t, float, float)
{
    unload();
}

void Form1::Image1_MouseDown(int16_t, int16_t, float, float)
{
    unload();
}

void Form1::Form_MouseMove(int16_t, int16_t, float, float)
{
    if (MoveCount >= kMovesBeforeExit)
        unload();
    MoveCount = platform::ToInteger(MoveCount + 1, "the mouse-move count");
}

void Form1::Image1_MouseMove(int16_t, int16_t, float, float)
{
    if (ImageMoveCount >= kMovesBeforeExit)
        unload();
    ImageMoveCount = platform::ToInteger(ImageMoveCount + 1, "the mouse-move count");
}

} // namespace zandreth
