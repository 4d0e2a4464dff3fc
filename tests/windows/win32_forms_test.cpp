// The Win32 backend of the forms runtime, run under Wine without a display:
// the pieces of arithmetic and text it hands the system (key codes,
// colours, fonts, frames, message-box flags) and its event loops and their
// end.

#include "platform/forms/win32/win32_control.h"
#include "platform/forms/win32/win32_forms.h"

#include "platform/forms/backend.h"
#include "platform/forms/form.h"
#include "platform/runtime/message_box.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace platform;
using namespace platform::win32;
using backend::PixelRect;

class Win32Forms : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        int argc = 0;
        backend::startApplication(argc, nullptr);
    }
};

// --- Key codes, colours, fonts ------------------------------------------------

TEST_F(Win32Forms, VirtualKeysAreTheProgramsKeyCodes)
{
    struct Case {
        WPARAM virtualKey;
        int16_t keyCode;
    };
    const Case cases[] = { { VK_RETURN, 13 }, { VK_ESCAPE, 27 }, { VK_TAB, 9 }, { VK_SPACE, 32 },
                           { 'A', 65 },       { '0', 48 },       { VK_LEFT, 37 }, { VK_DOWN, 40 },
                           { VK_F1, 112 },    { VK_F4, 115 },    { VK_DELETE, 46 } };
    for (const Case& c : cases)
        EXPECT_EQ(keyCodeOf(c.virtualKey), c.keyCode) << "virtual key " << c.virtualKey;
}

TEST_F(Win32Forms, ColoursAreBgrValuesOrSystemColours)
{
    struct Case {
        Colour colour;
        COLORREF expected;
    };
    const Case cases[] = {
        { 0x00000000u, RGB(0, 0, 0) },
        { 0x00FF8040u, RGB(0x40, 0x80, 0xFF) },
        { 0x00FFFF80u, RGB(0x80, 0xFF, 0xFF) },
        { 0x8000000Fu, GetSysColor(COLOR_BTNFACE) },
        { 0x80000008u, GetSysColor(COLOR_WINDOWTEXT) },
        { 0x80000005u, GetSysColor(COLOR_WINDOW) },
    };
    for (const Case& c : cases)
        EXPECT_EQ(colorRefOf(c.colour), c.expected) << std::hex << c.colour;
}

std::wstring faceOf(HFONT font)
{
    LOGFONTW description {};
    GetObjectW(font, sizeof description, &description);
    return description.lfFaceName;
}

// The forms name the faces of Japanese Windows; where they are missing, an
// installed Japanese Gothic face draws their text (proportional for the
// proportional names), so that Japanese never shows as empty boxes.
TEST_F(Win32Forms, MissingJapaneseFacesAreReplacedByAnInstalledGothicFace)
{
    if (!faceInstalled(L"IPAGothic") || !faceInstalled(L"IPAPGothic"))
        GTEST_SKIP() << "the IPA Gothic faces are not installed";
    struct Case {
        const wchar_t* name;
        const wchar_t* drawnWith;
    };
    const Case cases[] = {
        { L"ＭＳ Ｐゴシック", L"IPAPGothic" },
        { L"MS UI Gothic", L"IPAPGothic" },
        { L"ＭＳ ゴシック", L"IPAGothic" },
        { L"IPAGothic", L"IPAGothic" },
    };
    for (const Case& c : cases) {
        if (faceInstalled(c.name) && std::wstring(c.name) != c.drawnWith)
            continue;
        EXPECT_EQ(installedFace(c.name), c.drawnWith);
    }
    HFONT font = fontFor(Font { "ＭＳ Ｐゴシック", 9.75, false, 128 });
    EXPECT_TRUE(faceInstalled(faceOf(font)));
    EXPECT_EQ(font, fontFor(Font { "ＭＳ Ｐゴシック", 9.75, false, 128 })) << "a font is made once";
}

TEST_F(Win32Forms, FontSizesArePointsAtTheSystemsResolution)
{
    HFONT font = fontFor(Font { "Times New Roman", 12, true, 0 });
    LOGFONTW description {};
    GetObjectW(font, sizeof description, &description);
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(description.lfHeight, -MulDiv(12, dpi, 72));
    EXPECT_EQ(description.lfWeight, FW_BOLD);
}

// --- Frames --------------------------------------------------------------------

TEST_F(Win32Forms, EachBorderStyleHasItsFrameAndBoxes)
{
    struct Case {
        BorderStyle border;
        bool minButton;
        bool maxButton;
        DWORD present;
        DWORD absent;
    };
    const Case cases[] = {
        { BorderStyle::None, true, true, WS_POPUP, WS_CAPTION | WS_THICKFRAME | WS_SYSMENU },
        { BorderStyle::FixedDialog, true, true, WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
          WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX },
        { BorderStyle::FixedSingle, false, false, WS_CAPTION | WS_SYSMENU,
          WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX },
        { BorderStyle::FixedSingle, true, false, WS_CAPTION | WS_MINIMIZEBOX, WS_THICKFRAME | WS_MAXIMIZEBOX },
        { BorderStyle::Sizable, true, true, WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, WS_POPUP },
    };
    for (const Case& c : cases) {
        FormDesign design;
        design.borderStyle = c.border;
        design.minButton = c.minButton;
        design.maxButton = c.maxButton;
        WindowStyles styles = windowStylesFor(design);
        EXPECT_EQ(styles.style & c.present, c.present) << static_cast<int>(c.border);
        EXPECT_EQ(styles.style & c.absent, 0u) << static_cast<int>(c.border);
        EXPECT_NE(styles.style & WS_CLIPCHILDREN, 0u);
    }
}

TEST_F(Win32Forms, TheOuterRectangleHoldsTheClientAreaInItsFrame)
{
    FormDesign borderless;
    borderless.borderStyle = BorderStyle::None;
    PixelRect client { 100, 80, 511, 446 };
    PixelRect bare = outerRectFor(windowStylesFor(borderless), client);
    EXPECT_EQ(bare.x, 100);
    EXPECT_EQ(bare.y, 80);
    EXPECT_EQ(bare.width, 511);
    EXPECT_EQ(bare.height, 446);

    FormDesign dialog;
    dialog.borderStyle = BorderStyle::FixedDialog;
    PixelRect framed = outerRectFor(windowStylesFor(dialog), client);
    int caption = GetSystemMetrics(SM_CYCAPTION);
    EXPECT_LT(framed.x, client.x);
    EXPECT_LE(framed.y, client.y - caption);
    EXPECT_GE(framed.x + framed.width, client.x + client.width + (client.x - framed.x));
    EXPECT_GE(framed.y + framed.height, client.y + client.height);
    // The side frames are alike.
    EXPECT_EQ(framed.x + framed.width - (client.x + client.width), client.x - framed.x);
}

// --- Message boxes -----------------------------------------------------------------

TEST_F(Win32Forms, AMessageBoxHasOneOkButtonItsIconAndHoldsEveryWindow)
{
    struct Case {
        MessageBoxIcon icon;
        UINT iconFlag;
    };
    const Case cases[] = { { MessageBoxIcon::Critical, MB_ICONERROR },
                           { MessageBoxIcon::Exclamation, MB_ICONWARNING },
                           { MessageBoxIcon::Information, MB_ICONINFORMATION },
                           { MessageBoxIcon::None, 0 } };
    for (const Case& c : cases) {
        UINT flags = messageBoxFlags(c.icon);
        EXPECT_EQ(flags & MB_TYPEMASK, static_cast<UINT>(MB_OK));
        EXPECT_EQ(flags & MB_ICONMASK, c.iconFlag);
        EXPECT_EQ(flags & MB_MODEMASK, static_cast<UINT>(MB_TASKMODAL));
    }
}

// --- Event loops ----------------------------------------------------------------------

// What a timer does on its tick in these tests.
std::function<void()>& onTick()
{
    static std::function<void()> action;
    return action;
}

void CALLBACK tickOnce(::HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    auto action = onTick();
    if (action)
        action();
}

void after(int milliseconds, std::function<void()> action)
{
    onTick() = std::move(action);
    SetTimer(nullptr, 0, static_cast<UINT>(milliseconds), &tickOnce);
}

TEST_F(Win32Forms, ALoopRunsUntilItIsQuit)
{
    auto loop = backend::createEventLoop();
    bool ticked = false;
    after(20, [&] {
        ticked = true;
        loop->quit();
    });
    loop->run();
    EXPECT_TRUE(ticked);
}

// The end of the program ends every loop, the nested ones and those started
// before the ended loops are cleared, as it does on Qt.
TEST_F(Win32Forms, TheEndOfTheProgramEndsEveryLoopUntilCleared)
{
    auto outer = backend::createEventLoop();
    auto inner = backend::createEventLoop();
    bool innerEnded = false;
    after(20, [&] {
        after(20, [] { backend::exitEventLoops(1); });
        inner->run();
        innerEnded = true;
    });
    outer->run();
    EXPECT_TRUE(innerEnded);

    // Started after the end: ends at once, and so does a message box.
    auto later = backend::createEventLoop();
    later->run();
    backend::showMessageBox({ "never shown", "Zandreth", MessageBoxIcon::Critical });

    backend::clearEndedEventLoops();
    bool ranOn = false;
    auto cleared = backend::createEventLoop();
    after(20, [&] {
        ranOn = true;
        cleared->quit();
    });
    cleared->run();
    EXPECT_TRUE(ranOn);
}

} // namespace
