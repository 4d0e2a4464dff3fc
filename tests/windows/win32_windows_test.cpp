// The windows of the Win32 backend of the forms runtime, run under Wine on
// a display of their own (Wine makes no window without one): forms and
// their frames, keys through controls, the tab order and the form, modal
// forms, controls drawn, and the message box as the user sees it.

#include "platform/forms/win32/win32_control.h"
#include "platform/forms/win32/win32_forms.h"

#include "platform/forms/backend.h"
#include "support/backend_drivers.h"
#include "support/win32/dib_canvas.h"
#include "platform/forms/form.h"
#include "platform/runtime/message_box.h"
#include "platform/system/win32/wide_text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>

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

struct SeenBox {
    std::wstring title;
    std::wstring text;
    bool icon = false;
};

BOOL CALLBACK noteBoxChild(::HWND child, LPARAM seen)
{
    auto& box = *reinterpret_cast<SeenBox*>(seen);
    wchar_t className[32] = {};
    GetClassNameW(child, className, 32);
    if (std::wstring(className) != L"Static")
        return TRUE;
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        box.icon = true;
        return TRUE;
    }
    wchar_t text[256] = {};
    GetWindowTextW(child, text, 256);
    if (text[0] != 0)
        box.text = text;
    return TRUE;
}

// Looks for the message box the test thread shows, reads it, and presses OK.
SeenBox answerMessageBox(DWORD thread)
{
    SeenBox seen;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        ::HWND box = nullptr;
        EnumThreadWindows(
            thread,
            [](::HWND window, LPARAM found) {
                wchar_t className[32] = {};
                GetClassNameW(window, className, 32);
                if (std::wstring(className) == L"#32770" && IsWindowVisible(window)) {
                    *reinterpret_cast<::HWND*>(found) = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&box));
        if (box != nullptr) {
            wchar_t title[256] = {};
            GetWindowTextW(box, title, 256);
            seen.title = title;
            EnumChildWindows(box, &noteBoxChild, reinterpret_cast<LPARAM>(&seen));
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return seen;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return seen;
}

TEST_F(Win32Forms, TheMessageBoxShowsTheTextAndTitleInUnicodeAndWaitsForOk)
{
    const MessageBoxRequest request { "zandreth.ini が見つかりません。", "ザンドレス", MessageBoxIcon::Critical };
    SeenBox seen;
    std::thread user([&seen, thread = GetCurrentThreadId()] { seen = answerMessageBox(thread); });
    backend::showMessageBox(request);
    user.join();
    EXPECT_EQ(seen.title, L"ザンドレス");
    EXPECT_EQ(seen.text, L"zandreth.ini が見つかりません。");
    EXPECT_TRUE(seen.icon);
}

// --- Forms and controls ---------------------------------------------------------------

struct RecordedEvents : backend::NativeEvents {
    std::vector<int16_t> keysDown;
    std::vector<int16_t> keysPressed;
    bool useKeys = false;
    int closeRequests = 0;

    bool nativeKeyPressed(int16_t keyCode, int16_t) override
    {
        keysPressed.push_back(keyCode);
        return useKeys;
    }
    void nativeKeyDown(int16_t keyCode, int16_t) override { keysDown.push_back(keyCode); }
    void nativeCloseRequested() override { ++closeRequests; }
};

FormDesign dialogDesign()
{
    FormDesign design;
    design.caption = "Zandreth";
    design.borderStyle = BorderStyle::FixedDialog;
    return design;
}

TEST_F(Win32Forms, AFormHasTheClientAreaAskedForWhereverItIsPlaced)
{
    RecordedEvents events;
    auto form = backend::createForm(dialogDesign(), 511, 446, PixelRect { 120, 90, 511, 446 }, events);
    PixelRect client = form->clientArea();
    EXPECT_EQ(client.width, 511);
    EXPECT_EQ(client.height, 446);
    PixelRect outer = form->outerArea();
    PixelRect expected = outerRectFor(windowStylesFor(dialogDesign()), { 120, 90, 511, 446 });
    EXPECT_EQ(outer.width, expected.width);
    EXPECT_EQ(outer.height, expected.height);

    form->setClientSize(300, 200);
    EXPECT_EQ(form->clientArea().width, 300);
    EXPECT_EQ(form->clientArea().height, 200);
    form->placeOuter(40, 50);
    EXPECT_EQ(form->outerArea().x, 40);
    EXPECT_EQ(form->outerArea().y, 50);

    wchar_t caption[64] = {};
    GetWindowTextW(windowOf(*form), caption, 64);
    EXPECT_STREQ(caption, L"Zandreth");
    form->setCaption("設定");
    GetWindowTextW(windowOf(*form), caption, 64);
    EXPECT_STREQ(caption, L"設定");
}

TEST_F(Win32Forms, TheCloseBoxAsksTheForm)
{
    RecordedEvents events;
    auto form = backend::createForm(dialogDesign(), 200, 100, std::nullopt, events);
    SendMessageW(windowOf(*form), WM_CLOSE, 0, 0);
    EXPECT_EQ(events.closeRequests, 1);
    EXPECT_TRUE(IsWindow(windowOf(*form))) << "the form decides whether its window goes";
}

// Alt+F4 asks the form as the close box does, whether a control has the
// focus or the form's window itself.
TEST_F(Win32Forms, AltF4AsksTheForm)
{
    RecordedEvents events;
    auto form = backend::createForm(dialogDesign(), 200, 100, std::nullopt, events);
    RecordedEvents controlEvents;
    auto control = backend::createControl(backend::ControlKind::Label, *form, controlEvents);
    form->show(backend::WindowDisplay::Normal, false);
    const LPARAM altDown = static_cast<LPARAM>(KF_ALTDOWN) << 16 | 1;
    for (::HWND focus : { windowOf(*control), windowOf(*form) }) {
        MSG press { focus, WM_SYSKEYDOWN, VK_F4, altDown, 0, {} };
        deliverMessage(press);
        // The window system posts the close to the top window.
        backend::processPendingEvents();
    }
    EXPECT_EQ(events.closeRequests, 2);
    EXPECT_EQ(controlEvents.keysPressed, std::vector<int16_t>({ 115 }));
    form->hide();
}

TEST_F(Win32Forms, KeysGoToTheControlThenTheTabOrderThenTheForm)
{
    RecordedEvents formEvents;
    auto form = backend::createForm(dialogDesign(), 300, 200, std::nullopt, formEvents);
    RecordedEvents firstEvents;
    RecordedEvents secondEvents;
    auto first = backend::createControl(backend::ControlKind::Label, *form, firstEvents);
    auto second = backend::createControl(backend::ControlKind::Label, *form, secondEvents);
    first->setGeometry({ 10, 10, 50, 20 });
    second->setGeometry({ 10, 40, 50, 20 });
    form->setTabOrder({ first.get(), second.get() });
    form->show(backend::WindowDisplay::Normal, false);

    first->setFocus(true);
    ASSERT_TRUE(first->hasFocus());
    backend::pressKey(*form, VK_TAB);
    EXPECT_TRUE(second->hasFocus()) << "Tab moves on";
    backend::pressKey(*form, VK_TAB);
    EXPECT_TRUE(first->hasFocus()) << "Tab goes round";
    EXPECT_TRUE(formEvents.keysDown.empty());

    backend::pressKey(*form, VK_ESCAPE);
    EXPECT_EQ(firstEvents.keysPressed, std::vector<int16_t>({ 9, 27 }));
    EXPECT_EQ(formEvents.keysDown, std::vector<int16_t>({ 27 })) << "a key the control leaves goes to the form";

    firstEvents.useKeys = true;
    backend::pressKey(*form, VK_RETURN);
    EXPECT_EQ(formEvents.keysDown, std::vector<int16_t>({ 27 })) << "a key the control used stops there";
    EXPECT_EQ(secondEvents.keysPressed, std::vector<int16_t>({ 9 })) << "the second control saw only the Tab it had the focus for";
    form->hide();
}

TEST_F(Win32Forms, AFormWithoutControlsTakesTheKeysItself)
{
    RecordedEvents events;
    FormDesign design;
    design.borderStyle = BorderStyle::None;
    auto form = backend::createForm(design, 200, 100, std::nullopt, events);
    form->show(backend::WindowDisplay::Normal, false);
    form->setFocus(false);
    backend::pressKey(*form, 'A');
    EXPECT_EQ(events.keysDown, std::vector<int16_t>({ 65 }));
    form->hide();
}

TEST_F(Win32Forms, AModalFormHoldsTheOtherWindowsUntilHidden)
{
    RecordedEvents events;
    auto owner = backend::createForm(dialogDesign(), 200, 100, std::nullopt, events);
    auto modal = backend::createForm(dialogDesign(), 100, 50, std::nullopt, events);
    owner->show(backend::WindowDisplay::Normal, false);
    modal->show(backend::WindowDisplay::Normal, true);
    EXPECT_FALSE(IsWindowEnabled(windowOf(*owner)));
    EXPECT_TRUE(IsWindowEnabled(windowOf(*modal)));
    modal->hide();
    EXPECT_TRUE(IsWindowEnabled(windowOf(*owner)));
    owner->hide();
}

// "/C:HWND": the settings dialog belongs to the window of the screen-saver
// settings that started it, which waits while the dialog is shown.
TEST_F(Win32Forms, AnOwnerWindowOfAnotherProgramWaitsWhileTheFormIsShown)
{
    ::HWND settings = CreateWindowExW(0, L"STATIC", L"settings", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(settings, nullptr);
    RecordedEvents events;
    auto dialog = backend::createForm(dialogDesign(), 200, 100, std::nullopt, events);
    dialog->setOwner(reinterpret_cast<uintptr_t>(settings));
    EXPECT_EQ(GetWindow(windowOf(*dialog), GW_OWNER), settings);
    dialog->show(backend::WindowDisplay::Normal, false);
    EXPECT_FALSE(IsWindowEnabled(settings)) << "the owner waits";
    dialog->hide();
    EXPECT_TRUE(IsWindowEnabled(settings)) << "and takes input again once the form is gone";

    dialog->setOwner(0x7FFFFFF0u);
    EXPECT_EQ(GetWindow(windowOf(*dialog), GW_OWNER), settings) << "a number that names no window changes nothing";

    dialog->show(backend::WindowDisplay::Normal, false);
    dialog.reset();
    EXPECT_TRUE(IsWindowEnabled(settings)) << "a form unloaded while shown gives the owner back";
    DestroyWindow(settings);
}

TEST_F(Win32Forms, TheFocusComesBackToItsControlWithTheWindow)
{
    RecordedEvents events;
    auto dialog = backend::createForm(dialogDesign(), 200, 100, std::nullopt, events);
    auto other = backend::createForm(dialogDesign(), 200, 100, std::nullopt, events);
    auto first = backend::createControl(backend::ControlKind::Label, *dialog, events);
    auto second = backend::createControl(backend::ControlKind::Label, *dialog, events);
    dialog->show(backend::WindowDisplay::Normal, false);
    second->setFocus(false);
    other->show(backend::WindowDisplay::Normal, false);
    EXPECT_FALSE(second->hasFocus());
    SetActiveWindow(windowOf(*dialog));
    EXPECT_TRUE(second->hasFocus());
    other->hide();
    dialog->hide();
}

// A host's window (the preview pane of a screen-saver host): the form
// becomes a child window filling it, reports the host window's size (none
// once it is gone) and takes a new one; a window that does not exist is a
// run-time error.
TEST_F(Win32Forms, AHostedFormFillsTheHostsWindow)
{
    RecordedEvents events;
    auto host = backend::createForm(dialogDesign(), 152, 112, std::nullopt, events);
    FormDesign design;
    design.borderStyle = BorderStyle::None;
    auto form = backend::createForm(design, 740, 400, std::nullopt, events);
    form->hostIn(reinterpret_cast<uintptr_t>(windowOf(*host)));
    form->showInHost();
    EXPECT_EQ(GetParent(windowOf(*form)), windowOf(*host));
    RECT client;
    GetClientRect(windowOf(*form), &client);
    EXPECT_EQ(client.right, 152);
    EXPECT_EQ(client.bottom, 112);
    PixelRect hostArea = form->hostArea();
    EXPECT_EQ(hostArea.width, 152);
    EXPECT_EQ(hostArea.height, 112);

    host->setClientSize(300, 200);
    EXPECT_EQ(form->hostArea().width, 300);
    EXPECT_EQ(form->hostArea().height, 200);
    form->followHost(300, 200);
    GetClientRect(windowOf(*form), &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);

    host.reset();
    hostArea = form->hostArea();
    EXPECT_EQ(hostArea.width, 0) << "the host's window is gone";
    EXPECT_EQ(hostArea.height, 0);

    auto lost = backend::createForm(design, 740, 400, std::nullopt, events);
    EXPECT_ANY_THROW(lost->hostIn(0x7FFFFFF0u));
}

// A form covering the screen reports the screen's monitors, which together
// make up the virtual screen; a form that does not cover it reports none.
TEST_F(Win32Forms, ACoveringFormReportsTheMonitorsOfTheVirtualScreen)
{
    RecordedEvents events;
    FormDesign design;
    design.borderStyle = BorderStyle::None;
    auto form = backend::createForm(design, 200, 100, std::nullopt, events);
    EXPECT_TRUE(form->monitorAreas().empty());

    form->coverScreen();
    auto monitors = form->monitorAreas();
    ASSERT_FALSE(monitors.empty());
    RECT all {};
    for (const auto& [monitor, scale] : monitors) {
        EXPECT_GE(scale, 1);
        RECT area { monitor.x, monitor.y, monitor.x + monitor.width, monitor.y + monitor.height };
        UnionRect(&all, &all, &area);
    }
    EXPECT_EQ(all.left, GetSystemMetrics(SM_XVIRTUALSCREEN));
    EXPECT_EQ(all.top, GetSystemMetrics(SM_YVIRTUALSCREEN));
    EXPECT_EQ(all.right - all.left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(all.bottom - all.top, GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

// Pixels of the drawn controls: the line in its colour and pen width, the
// label in its back colour.
TEST_F(Win32Forms, ALineAndALabelDrawInTheirColours)
{
    RecordedEvents events;
    FormDesign design;
    design.borderStyle = BorderStyle::None;
    design.backColor = 0x000000;
    auto form = backend::createForm(design, 200, 100, std::nullopt, events);
    auto line = backend::createControl(backend::ControlKind::Line, *form, events);
    line->setGeometry({ 10, 10, 100, 6 });
    line->setLineStyle(0x0000FFu, 3);
    auto label = backend::createControl(backend::ControlKind::Label, *form, events);
    label->setGeometry({ 10, 40, 60, 20 });
    label->setBackColor(0xFF0000u);
    label->setForeColor(0xFFFFFFu);
    form->show(backend::WindowDisplay::Normal, false);
    backend::processPendingEvents();

    auto lineRows = backend::grabPixels(*line);
    ASSERT_EQ(lineRows.size(), 6u);
    EXPECT_EQ(lineRows[0][50], 0xFFFF0000u) << "red, 3 pixels high";
    EXPECT_EQ(lineRows[2][50], 0xFFFF0000u);

    auto labelRows = backend::grabPixels(*label);
    ASSERT_EQ(labelRows.size(), 20u);
    EXPECT_EQ(labelRows[0][0], 0xFF0000FFu) << "the back colour &H00FF0000& is blue";
    form->hide();
}

TEST_F(Win32Forms, TheMapAndTheIconComeFromTheResources)
{
    RecordedEvents events;
    auto form = backend::createForm(dialogDesign(), 800, 400, std::nullopt, events);
    auto image = backend::createControl(backend::ControlKind::Image, *form, events);
    PixelRect map = image->setPicture("map");
    EXPECT_EQ(map.width, 740);
    EXPECT_EQ(map.height, 370);
    // The same map at twice the size, for screens of two device pixels per
    // pixel.
    PixelRect doubled = image->setPicture("map-2x");
    EXPECT_EQ(doubled.width, 1480);
    EXPECT_EQ(doubled.height, 740);
    auto icon = backend::createControl(backend::ControlKind::PictureBox, *form, events);
    PixelRect size = icon->setProgramIcon();
    EXPECT_EQ(size.width, 32);
    EXPECT_EQ(size.height, 32);
}

// The map's pixels read back from the bitmap, and pixels of the program's
// own (the map with its night side darkened) shown in its place, each pixel
// as given.
TEST_F(Win32Forms, TheMapsPixelsAreReadAndOthersShownInItsPlace)
{
    RecordedEvents events;
    FormDesign design;
    design.borderStyle = BorderStyle::None;
    design.backColor = 0x000000;
    auto form = backend::createForm(design, 800, 400, std::nullopt, events);
    auto image = backend::createControl(backend::ControlKind::Image, *form, events);
    image->setGeometry({ 0, 0, 740, 370 });
    image->setPicture("map");
    form->show(backend::WindowDisplay::Normal, false);
    backend::processPendingEvents();

    PixelPicture map = image->picturePixels();
    ASSERT_EQ(map.width, 740);
    ASSERT_EQ(map.height, 370);
    ASSERT_EQ(map.pixels.size(), 740u * 370u);
    EXPECT_EQ(map.pixels[0], 0x00D8D8D8u) << "the map's light grey edge";
    auto drawn = backend::grabPixels(*image);
    ASSERT_EQ(drawn.size(), 370u);
    EXPECT_EQ(drawn[185][370] & 0x00FFFFFFu, map.pixels[185 * 740 + 370]);

    // Every pixel different: the right half darkened, colours by place.
    PixelPicture shaded = map;
    for (int y = 0; y < 370; ++y)
        for (int x = 370; x < 740; ++x) {
            uint32_t& pixel = shaded.pixels[static_cast<std::size_t>(y) * 740 + x];
            pixel = (pixel >> 1 & 0x007F7F7Fu) ^ static_cast<uint32_t>((x & 1) << 16 | (y & 1));
        }
    image->setPicturePixels(shaded);
    backend::processPendingEvents();
    drawn = backend::grabPixels(*image);
    ASSERT_EQ(drawn.size(), 370u);
    int differing = 0;
    for (int y = 0; y < 370; ++y) {
        ASSERT_EQ(drawn[static_cast<std::size_t>(y)].size(), 740u);
        for (int x = 0; x < 740; ++x)
            differing += (drawn[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] & 0x00FFFFFFu)
                != shaded.pixels[static_cast<std::size_t>(y) * 740 + x];
    }
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(image->picturePixels(), map) << "the picture's own pixels, whatever is shown in their place";
    form->hide();
}

// The map fills its window in device pixels: wider than its own pixels, it
// is drawn from its finer copy (exactly where the window has that copy's
// size), and its pixels read are that copy's.
TEST_F(Win32Forms, TheMapFillsItsWindowFromTheCopyThatSuitsItsSize)
{
    const struct {
        int width;
        int height;
        int copyWidth;
    } cases[] = { { 740, 370, 740 }, { 1110, 555, 1480 }, { 1480, 740, 1480 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " pixels wide");
        RecordedEvents events;
        FormDesign design;
        design.borderStyle = BorderStyle::None;
        design.backColor = 0x000000;
        auto form = backend::createForm(design, 1500, 760, PixelRect { 0, 0, 1500, 760 }, events);
        auto image = backend::createControl(backend::ControlKind::Image, *form, events);
        image->setGeometry({ 0, 0, c.width, c.height });
        PixelRect own = image->setPicture("map");
        EXPECT_EQ(own.width, 740) << "the picture's own pixels, whatever the copy drawn";
        EXPECT_EQ(own.height, 370);
        form->show(backend::WindowDisplay::Normal, false);
        backend::processPendingEvents();

        PixelPicture copy = image->picturePixels();
        ASSERT_EQ(copy.width, c.copyWidth);
        ASSERT_EQ(copy.height, c.copyWidth / 2);
        auto drawn = backend::grabPixels(*image);
        ASSERT_EQ(drawn.size(), static_cast<std::size_t>(c.height));
        ASSERT_EQ(drawn[0].size(), static_cast<std::size_t>(c.width));
        auto similar = [](uint32_t a, uint32_t b) {
            for (int shift : { 0, 8, 16 })
                if (std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)) > 16)
                    return false;
            return true;
        };
        // The map's grey edge on every side of the window: it fills it.
        const std::size_t right = static_cast<std::size_t>(c.width - 1);
        const std::size_t bottom = static_cast<std::size_t>(c.height - 1);
        for (auto [x, y] : { std::pair<std::size_t, std::size_t> { 0, 0 }, { right, 0 }, { 0, bottom }, { right, bottom } })
            EXPECT_TRUE(similar(drawn[y][x] & 0x00FFFFFFu, copy.pixels[0])) << x << ", " << y;
        if (c.width == c.copyWidth) {
            int differing = 0;
            for (int y = 0; y < c.height; ++y)
                for (int x = 0; x < c.width; ++x)
                    differing += (drawn[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] & 0x00FFFFFFu)
                        != copy.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(c.width)
                                       + static_cast<std::size_t>(x)];
            EXPECT_EQ(differing, 0) << "the copy of the window's size, pixel for pixel";
        }
        form->hide();
    }
}

// The icon fills its window from the size of the program's icon that suits
// it (not its 32 x 32 pixels enlarged).
TEST_F(Win32Forms, TheProgramsIconIsDrawnAtItsWindowsSize)
{
    constexpr int kSize = 64;
    RecordedEvents events;
    auto form = backend::createForm(dialogDesign(), 200, 100, std::nullopt, events);
    auto icon = backend::createControl(backend::ControlKind::PictureBox, *form, events);
    icon->setGeometry({ 0, 0, kSize, kSize });
    PixelRect size = icon->setProgramIcon();
    EXPECT_EQ(size.width, 32);
    form->show(backend::WindowDisplay::Normal, false);
    backend::processPendingEvents();
    auto drawn = backend::grabPixels(*icon);
    ASSERT_EQ(drawn.size(), static_cast<std::size_t>(kSize));

    // The icon's own 64 x 64 picture over the window's ground.
    testing_support::win32::DibCanvas expected(kSize, kSize);
    RECT all { 0, 0, kSize, kSize };
    FillRect(expected.dc(), &all, GetSysColorBrush(COLOR_BTNFACE));
    auto own = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON, kSize, kSize, 0));
    ASSERT_NE(own, nullptr);
    DrawIconEx(expected.dc(), 0, 0, own, kSize, kSize, 0, nullptr, DI_NORMAL);
    expected.flush();
    int differing = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            differing += (drawn[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] & 0x00FFFFFFu)
                != (expected.at(x, y) & 0x00FFFFFFu);
    DestroyIcon(own);
    EXPECT_EQ(differing, 0);
    form->hide();
}

// A monitor of another scale under the window (WM_DPICHANGED with the
// rectangle Windows suggests): a window covering the screen keeps the whole
// screen, any other window takes the rectangle.
TEST_F(Win32Forms, ANewScaleKeepsACoveringFormAndMovesAnyOtherToTheSuggestedPlace)
{
    RecordedEvents events;
    FormDesign covering;
    covering.borderStyle = BorderStyle::None;
    auto cover = backend::createForm(covering, 200, 100, std::nullopt, events);
    cover->coverScreen();
    cover->show(backend::WindowDisplay::CoverScreen, false);
    auto dialog = backend::createForm(dialogDesign(), 200, 100, PixelRect { 40, 30, 200, 100 }, events);
    dialog->show(backend::WindowDisplay::Normal, false);
    backend::processPendingEvents();

    RECT suggested { 50, 60, 50 + 300, 60 + 150 };
    for (auto* form : { cover.get(), dialog.get() })
        SendMessageW(windowOf(*form), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    SendMessageW(windowOf(*dialog), WM_DPICHANGED, MAKEWPARAM(144, 144), 0);
    backend::processPendingEvents();

    RECT covered;
    GetWindowRect(windowOf(*cover), &covered);
    EXPECT_EQ(covered.left, GetSystemMetrics(SM_XVIRTUALSCREEN));
    EXPECT_EQ(covered.top, GetSystemMetrics(SM_YVIRTUALSCREEN));
    EXPECT_EQ(covered.right - covered.left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(covered.bottom - covered.top, GetSystemMetrics(SM_CYVIRTUALSCREEN));
    RECT moved;
    GetWindowRect(windowOf(*dialog), &moved);
    EXPECT_EQ(moved.left, suggested.left);
    EXPECT_EQ(moved.top, suggested.top);
    EXPECT_EQ(moved.right, suggested.right);
    EXPECT_EQ(moved.bottom, suggested.bottom);
    cover->hide();
    dialog->hide();
}

TEST_F(Win32Forms, AnAutoSizedLabelMeasuresItsCaptionInItsFont)
{
    RecordedEvents events;
    auto form = backend::createForm(dialogDesign(), 300, 100, std::nullopt, events);
    auto label = backend::createControl(backend::ControlKind::Label, *form, events);
    label->setFont(Font { "Times New Roman", 12, false, 0 });
    label->setText("00:00");
    PixelRect short_ = label->textExtent();
    label->setText("00:00 00:00");
    PixelRect wide = label->textExtent();
    EXPECT_GT(short_.width, 0);
    EXPECT_GT(wide.width, short_.width + short_.width / 2);
    EXPECT_EQ(wide.height, short_.height);
    label->setText("");
    EXPECT_EQ(label->textExtent().width, 0);
    EXPECT_EQ(label->textExtent().height, short_.height) << "an empty caption is one line high";
}

} // namespace
