// The dialog's controls of the Win32 forms backend, made through the seam
// (createControl) on a plain window of the test's own that hands its
// children's notifications back as a form does. Each control's events go to
// a recorder: what the user does must come back as exactly the events the
// rules expect, and what code sets must not come back at all.

#include "platform/forms/backend.h"
#include "platform/forms/win32/win32_control.h"
#include "platform/system/win32/wide_text.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

namespace platform::backend {

namespace {
int dispatchDepth = 0;
} // namespace

// The runtime's own scope counts dispatches for its error boundary; here it
// tells the user's events from the reports of what code did.
DispatchScope::DispatchScope() { ++dispatchDepth; }
DispatchScope::~DispatchScope() { --dispatchDepth; }

} // namespace platform::backend

namespace platform::win32 {

// The kinds this test does not make; they live with the forms.
std::unique_ptr<Win32Control> createLabel(HWND, backend::NativeEvents&) { return nullptr; }
std::unique_ptr<Win32Control> createImage(HWND, backend::NativeEvents&) { return nullptr; }
std::unique_ptr<Win32Control> createPictureBox(HWND, backend::NativeEvents&) { return nullptr; }
std::unique_ptr<Win32Control> createLine(HWND, backend::NativeEvents&) { return nullptr; }

} // namespace platform::win32

namespace {

using platform::backend::ControlKind;
using platform::backend::NativeControl;
using platform::backend::NativeEvents;
using platform::backend::PixelRect;
using platform::win32::Win32Control;
using Events = std::vector<std::string>;

// What a control reported, in order; the mouse is left out. What the user
// did comes inside a dispatch of the window system; what code did comes
// inside that code, marked "(by code)".
class Recorder final : public NativeEvents {
public:
    Events seen;

    void nativeClicked() override { note("clicked"); }
    void nativeValueChanged(int value) override { note("value " + std::to_string(value)); }
    void nativeTextChanged(const std::string& text) override { note("text " + text); }
    void nativeTextEdited() override { note("edited"); }
    void nativeFocusLost() override { note("focus lost"); }

    Events take()
    {
        Events taken;
        taken.swap(seen);
        return taken;
    }

private:
    void note(const std::string& event)
    {
        seen.push_back(platform::backend::dispatchDepth > 0 ? event : event + " (by code)");
    }
};

constexpr wchar_t kFormClass[] = L"Zandreth.TestForm";

// A form's part in the notifications: each goes back to the control that
// sent it.
LRESULT CALLBACK formProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (platform::win32::reflectToControl(message, wParam, lParam, result))
        return result;
    return DefWindowProcW(window, message, wParam, lParam);
}

class TestForm final : public platform::backend::NativeWindow, public platform::win32::Win32Window {
public:
    TestForm()
    {
        window_ = CreateWindowExW(0, kFormClass, L"Controls", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0,
                                  640, 480, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~TestForm() override { DestroyWindow(window_); }
    TestForm(const TestForm&) = delete;
    TestForm& operator=(const TestForm&) = delete;

    HWND handle() const override { return window_; }
    void setFocus(bool) override { SetFocus(window_); }

private:
    HWND window_ = nullptr;
};

class WindowClass : public testing::Environment {
public:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls { sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES };
        InitCommonControlsEx(&controls);
        WNDCLASSW form {};
        form.lpfnWndProc = &formProcedure;
        form.hInstance = GetModuleHandleW(nullptr);
        form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        form.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        form.lpszClassName = kFormClass;
        ASSERT_NE(RegisterClassW(&form), 0);
    }
};

const auto* const windowClass = testing::AddGlobalTestEnvironment(new WindowClass);

// Delivers what was posted (the list's items reach its native list then).
void deliverPosted()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

class Win32Controls : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(form_.handle(), nullptr) << "no window: Wine needs a display driver";
        SetForegroundWindow(form_.handle());
    }

    void TearDown() override
    {
        controls_.clear();
        deliverPosted();
    }

    // A control of `kind` on `parent`, at `rect`, reporting to `events`.
    NativeControl& make(ControlKind kind, platform::backend::NativeWindow& parent, Recorder& events,
                        PixelRect rect = { 8, 8, 160, 24 })
    {
        controls_.push_back(platform::backend::createControl(kind, parent, events));
        NativeControl& control = *controls_.back();
        control.setGeometry(rect);
        return control;
    }

    static HWND windowOf(const NativeControl& control) { return platform::win32::windowOf(control); }

    static bool checked(const NativeControl& control)
    {
        return SendMessageW(windowOf(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }

    static void click(const NativeControl& control) { SendMessageW(windowOf(control), BM_CLICK, 0, 0); }

    static void pressSpace(const NativeControl& control)
    {
        SendMessageW(windowOf(control), WM_KEYDOWN, VK_SPACE, 0x00390001);
        SendMessageW(windowOf(control), WM_CHAR, L' ', 0x00390001);
        SendMessageW(windowOf(control), WM_KEYUP, VK_SPACE, 0xC0390001);
    }

    TestForm form_;
    std::vector<std::unique_ptr<NativeControl>> controls_;
};

// --- Check box -----------------------------------------------------------------

TEST_F(Win32Controls, CheckBoxSetByCodeReportsNothing)
{
    Recorder events;
    NativeControl& box = make(ControlKind::CheckBox, form_, events);
    box.setChecked(true);
    EXPECT_TRUE(checked(box));
    box.setChecked(false);
    EXPECT_FALSE(checked(box));
    EXPECT_EQ(events.take(), Events {});
}

TEST_F(Win32Controls, CheckBoxClickedOrSpacedTurnsOverOnceAndReportsTheNewState)
{
    Recorder events;
    NativeControl& box = make(ControlKind::CheckBox, form_, events);
    click(box);
    EXPECT_TRUE(checked(box));
    EXPECT_EQ(events.take(), Events { "value 1" });
    click(box);
    EXPECT_FALSE(checked(box));
    EXPECT_EQ(events.take(), Events { "value 0" });
    SetFocus(windowOf(box));
    pressSpace(box);
    EXPECT_TRUE(checked(box));
    EXPECT_EQ(events.take(), Events { "value 1" });
}

// --- Option button ---------------------------------------------------------------

TEST_F(Win32Controls, OptionButtonClickSelectsAndASecondClickLeavesItSelected)
{
    Recorder events;
    NativeControl& option = make(ControlKind::OptionButton, form_, events);
    click(option);
    EXPECT_TRUE(checked(option));
    EXPECT_EQ(events.take(), Events { "value 1" });
    click(option);
    EXPECT_TRUE(checked(option));
    EXPECT_EQ(events.take(), Events { "value 1" });
}

TEST_F(Win32Controls, OptionButtonsAreNotExclusiveByThemselves)
{
    Recorder firstEvents;
    Recorder secondEvents;
    NativeControl& first = make(ControlKind::OptionButton, form_, firstEvents, { 8, 8, 100, 24 });
    NativeControl& second = make(ControlKind::OptionButton, form_, secondEvents, { 8, 40, 100, 24 });
    first.setChecked(true);
    click(second);
    // Clearing the other button of the group is the rules' business.
    EXPECT_TRUE(checked(first));
    EXPECT_TRUE(checked(second));
    second.setChecked(false);
    EXPECT_FALSE(checked(second));
    EXPECT_EQ(firstEvents.take(), Events {});
    EXPECT_EQ(secondEvents.take(), Events { "value 1" });
}

TEST_F(Win32Controls, OptionButtonGettingTheFocusIsNotSelected)
{
    Recorder events;
    Recorder otherEvents;
    make(ControlKind::CheckBox, form_, otherEvents, { 8, 40, 100, 24 }).setFocus(false);
    NativeControl& option = make(ControlKind::OptionButton, form_, events);
    option.setFocus(true);
    EXPECT_TRUE(option.hasFocus());
    EXPECT_FALSE(checked(option));
    EXPECT_EQ(events.take(), Events {});
    pressSpace(option);
    EXPECT_TRUE(checked(option));
    EXPECT_EQ(events.take(), Events { "value 1" });
}

// A click and then a double click: two turns of a check box; an option
// button tells of the second as a double click, which selects it as well.
TEST_F(Win32Controls, ClickThenDoubleClick)
{
    struct Case {
        ControlKind kind;
        Events expected;
        bool checkedAfter;
    };
    const Case cases[] = {
        { ControlKind::CheckBox, { "value 1", "value 0" }, false },
        { ControlKind::OptionButton, { "value 1", "value 1" }, true },
    };
    for (const Case& test : cases) {
        Recorder events;
        NativeControl& button = make(test.kind, form_, events);
        HWND window = windowOf(button);
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
        SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, 4));
        SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
        EXPECT_EQ(checked(button), test.checkedAfter);
        EXPECT_EQ(events.take(), test.expected);
    }
}

// --- Command button --------------------------------------------------------------

TEST_F(Win32Controls, CommandButtonReportsClicksAndSpaceButNotEnter)
{
    Recorder events;
    NativeControl& button = make(ControlKind::CommandButton, form_, events);
    button.setDefault(true);
    EXPECT_EQ(GetWindowLongPtrW(windowOf(button), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    click(button);
    EXPECT_EQ(events.take(), Events { "clicked" });
    button.setFocus(false);
    pressSpace(button);
    EXPECT_EQ(events.take(), Events { "clicked" });
    SendMessageW(windowOf(button), WM_KEYDOWN, VK_RETURN, 0x001C0001);
    SendMessageW(windowOf(button), WM_CHAR, L'\r', 0x001C0001);
    SendMessageW(windowOf(button), WM_KEYUP, VK_RETURN, 0xC01C0001);
    EXPECT_EQ(events.take(), Events {});
    button.setDefault(false);
    EXPECT_EQ(GetWindowLongPtrW(windowOf(button), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_EQ(events.take(), Events {});
}

// --- Frame -----------------------------------------------------------------------

TEST_F(Win32Controls, FrameHandsItsControlsNotificationsOnNestedFramesToo)
{
    Recorder frameEvents;
    Recorder innerFrameEvents;
    Recorder boxEvents;
    Recorder buttonEvents;
    Recorder barEvents;
    NativeControl& frame = make(ControlKind::Frame, form_, frameEvents, { 8, 8, 400, 300 });
    NativeControl& innerFrame = make(ControlKind::Frame, frame, innerFrameEvents, { 16, 100, 300, 150 });
    NativeControl& box = make(ControlKind::CheckBox, frame, boxEvents, { 16, 24, 100, 24 });
    NativeControl& button = make(ControlKind::CommandButton, innerFrame, buttonEvents, { 16, 24, 100, 30 });
    NativeControl& bar = make(ControlKind::HScrollBar, innerFrame, barEvents, { 16, 64, 100, 17 });
    EXPECT_EQ(GetParent(windowOf(box)), windowOf(frame));
    EXPECT_EQ(GetParent(windowOf(button)), windowOf(innerFrame));
    bar.setRange(0, 10);
    click(box);
    click(button);
    SendMessageW(windowOf(innerFrame), WM_HSCROLL, SB_RIGHT, reinterpret_cast<LPARAM>(windowOf(bar)));
    EXPECT_EQ(boxEvents.take(), Events { "value 1" });
    EXPECT_EQ(buttonEvents.take(), Events { "clicked" });
    EXPECT_EQ(barEvents.take(), Events { "value 10" });
    EXPECT_EQ(frameEvents.take(), Events {});
    EXPECT_EQ(innerFrameEvents.take(), Events {});
}

TEST_F(Win32Controls, AClickOnAFrameLeavesTheFocusWhereItWas)
{
    Recorder frameEvents;
    Recorder boxEvents;
    NativeControl& frame = make(ControlKind::Frame, form_, frameEvents, { 8, 8, 200, 100 });
    NativeControl& box = make(ControlKind::CheckBox, form_, boxEvents, { 8, 120, 100, 24 });
    box.setFocus(false);
    SendMessageW(windowOf(frame), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 50));
    SendMessageW(windowOf(frame), WM_LBUTTONUP, 0, MAKELPARAM(100, 50));
    EXPECT_TRUE(box.hasFocus());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(SendMessageW(windowOf(frame), WM_NCHITTEST, 0, 0), HTCLIENT);
}

// A box as it paints itself, one COLORREF per pixel, row after row.
std::vector<COLORREF> paintedPixels(HWND window, int width, int height)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, picture);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(GetPixel(memory, x, y));
    SelectObject(memory, previous);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// The row's in-use box has no caption: with the focus it shows a rectangle
// around its box (at its left, centred from top to bottom), and nowhere
// else does it change.
TEST_F(Win32Controls, ACheckBoxWithoutCaptionShowsItsFocusAroundItsBox)
{
    constexpr int kWidth = 33;
    constexpr int kHeight = 25;
    Recorder events;
    Recorder otherEvents;
    NativeControl& other = make(ControlKind::CheckBox, form_, otherEvents, { 8, 40, 100, 24 });
    NativeControl& box = make(ControlKind::CheckBox, form_, events, { 8, 8, kWidth, kHeight });
    other.setFocus(true);
    auto without = paintedPixels(windowOf(box), kWidth, kHeight);
    box.setFocus(true);
    ASSERT_TRUE(box.hasFocus());
    auto with = paintedPixels(windowOf(box), kWidth, kHeight);

    int changed = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            auto at = static_cast<std::size_t>(y * kWidth + x);
            if (with[at] == without[at])
                continue;
            ++changed;
            // The 13-pixel box from (0, 6), a pixel of space around it:
            // the rectangle's sides are x 0 and 14, y 4 and 20.
            bool onTheRectangle = x >= 0 && x <= 14 && y >= 4 && y <= 20 && (x == 0 || x == 14 || y == 4 || y == 20);
            EXPECT_TRUE(onTheRectangle) << "pixel " << x << ", " << y;
        }
    }
    EXPECT_GT(changed, 20) << "a dotted rectangle shows the focus";
    EXPECT_EQ(events.take(), Events {});
}

TEST_F(Win32Controls, FrameAndItsCheckBoxPaintTheirBackColour)
{
    constexpr platform::Colour kRed = 0x0000FF;
    constexpr platform::Colour kGreen = 0x00FF00;
    Recorder frameEvents;
    Recorder boxEvents;
    NativeControl& frame = make(ControlKind::Frame, form_, frameEvents, { 8, 8, 200, 100 });
    NativeControl& box = make(ControlKind::CheckBox, frame, boxEvents, { 16, 24, 100, 24 });
    frame.setBackColor(kRed);
    box.setBackColor(kGreen);

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, 200, 100);
    HGDIOBJ previous = SelectObject(memory, picture);
    SendMessageW(windowOf(frame), WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0);
    EXPECT_EQ(GetPixel(memory, 100, 50), RGB(255, 0, 0));

    // The frame answers its check box's colour question with the box's own.
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(windowOf(frame), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(memory),
                                                       reinterpret_cast<LPARAM>(windowOf(box))));
    ASSERT_NE(brush, nullptr);
    RECT area { 0, 0, 10, 10 };
    FillRect(memory, &area, brush);
    EXPECT_EQ(GetPixel(memory, 5, 5), RGB(0, 255, 0));
    EXPECT_EQ(GetBkColor(memory), RGB(0, 255, 0));

    SelectObject(memory, previous);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(frameEvents.take(), Events {});
    EXPECT_EQ(boxEvents.take(), Events {});
}

// --- Combo box -------------------------------------------------------------------

class Win32ComboBox : public Win32Controls {
protected:
    static COMBOBOXINFO partsOf(const NativeControl& list)
    {
        COMBOBOXINFO parts {};
        parts.cbSize = sizeof parts;
        GetComboBoxInfo(windowOf(list), &parts);
        return parts;
    }

    static HWND editOf(const NativeControl& list) { return partsOf(list).hwndItem; }
    static HWND listPartOf(const NativeControl& list) { return partsOf(list).hwndList; }

    std::string nativeItem(const NativeControl& list, int row)
    {
        auto length = SendMessageW(windowOf(list), CB_GETLBTEXTLEN, static_cast<WPARAM>(row), 0);
        if (length < 0)
            return "(none)";
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(windowOf(list), CB_GETLBTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(length));
        return platform::win32::narrow(text);
    }

    NativeControl& listOf(int count, Recorder& events)
    {
        NativeControl& list = make(ControlKind::ComboBox, form_, events, { 8, 8, 177, 21 });
        for (int row = 0; row < count; ++row)
            list.setItem(row, "City " + std::to_string(row));
        return list;
    }

    void type(const NativeControl& list, const std::string& keys)
    {
        for (char key : keys)
            SendMessageW(editOf(list), WM_CHAR, static_cast<WPARAM>(key), 1);
    }
};

TEST_F(Win32ComboBox, TenThousandItemsThenASelectionByCodeShowItsTextWithoutEvents)
{
    Recorder events;
    NativeControl& list = listOf(10000, events);
    list.selectItem(4321);
    EXPECT_EQ(list.text(), "City 4321");
    EXPECT_EQ(list.selectedItem(), 4321);
    EXPECT_EQ(events.take(), Events {});

    deliverPosted();
    EXPECT_EQ(SendMessageW(windowOf(list), CB_GETCOUNT, 0, 0), 10000);
    EXPECT_EQ(nativeItem(list, 0), "City 0");
    EXPECT_EQ(nativeItem(list, 4321), "City 4321");
    EXPECT_EQ(nativeItem(list, 9999), "City 9999");
    EXPECT_EQ(SendMessageW(windowOf(list), CB_GETCURSEL, 0, 0), 4321);
    EXPECT_FALSE(IsWindowVisible(listPartOf(list)));
    list.selectItem(-1);
    EXPECT_EQ(list.text(), "");
    EXPECT_EQ(list.selectedItem(), -1);
    EXPECT_EQ(events.take(), Events {});
}

// Rewriting a few items or all of them: the native list gets the new texts,
// the selected item stays selected and its field shows its new text.
TEST_F(Win32ComboBox, RewrittenItemsReachTheNativeListAndTheSelectedOneItsField)
{
    for (int rewritten : { 3, 1000 }) {
        SCOPED_TRACE(rewritten);
        Recorder events;
        NativeControl& list = listOf(1000, events);
        list.selectItem(2);
        deliverPosted();
        for (int row = 0; row < rewritten; ++row)
            list.setItem(row, "Town " + std::to_string(row));
        EXPECT_EQ(list.text(), "Town 2");
        EXPECT_EQ(list.selectedItem(), 2);
        EXPECT_EQ(events.take(), Events { "text Town 2 (by code)" });
        deliverPosted();
        EXPECT_EQ(SendMessageW(windowOf(list), CB_GETCOUNT, 0, 0), 1000);
        EXPECT_EQ(nativeItem(list, 0), "Town 0");
        EXPECT_EQ(nativeItem(list, rewritten - 1), "Town " + std::to_string(rewritten - 1));
        EXPECT_EQ(nativeItem(list, rewritten), rewritten < 1000 ? "City " + std::to_string(rewritten) : "(none)");
        EXPECT_EQ(SendMessageW(windowOf(list), CB_GETCURSEL, 0, 0), 2);
        EXPECT_EQ(list.text(), "Town 2");
        // The same text again changes nothing.
        list.setItem(2, "Town 2");
        EXPECT_EQ(events.take(), Events {});
    }
}

// The mouse over the edit field is the field's: the tip is its too. A new tip
// replaces the old one, a longer one as well as a shorter one.
TEST_F(Win32ComboBox, TheToolTipShowsOverTheEditField)
{
    Recorder events;
    NativeControl& list = listOf(3, events);
    HWND tips = nullptr;
    auto tipOf = [&](HWND tool) {
        std::wstring text(512, L'\0');
        TOOLINFOW info {};
        info.cbSize = sizeof info;
        info.hwnd = GetParent(tool);
        info.uId = reinterpret_cast<UINT_PTR>(tool);
        info.lpszText = text.data();
        if (SendMessageW(tips, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info)) == 0)
            return std::wstring(L"(none)");
        return std::wstring(text.c_str());
    };
    const std::string longTip(300, 'x');
    for (const std::string& tip : { std::string("Pick a city"), longTip, std::string("Short") }) {
        list.setToolTip(tip);
        tips = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
        while (tips != nullptr && GetWindow(tips, GW_OWNER) != form_.handle())
            tips = FindWindowExW(nullptr, tips, TOOLTIPS_CLASSW, nullptr);
        ASSERT_NE(tips, nullptr);
        std::wstring expected = platform::win32::widen(tip);
        EXPECT_EQ(tipOf(windowOf(list)), expected);
        EXPECT_EQ(tipOf(editOf(list)), expected);
    }
    list.setToolTip("");
    EXPECT_EQ(tipOf(windowOf(list)), L"(none)");
    EXPECT_EQ(tipOf(editOf(list)), L"(none)");
}

TEST_F(Win32ComboBox, TheDroppedListShowsEveryItemWrittenAndTakesEnterAndEsc)
{
    Recorder events;
    NativeControl& list = listOf(300, events);
    auto& control = dynamic_cast<Win32Control&>(list);
    list.setFocus(false);
    EXPECT_FALSE(control.usesKey(VK_RETURN));
    SendMessageW(windowOf(list), CB_SHOWDROPDOWN, TRUE, 0);
    EXPECT_TRUE(IsWindowVisible(listPartOf(list)));
    EXPECT_EQ(SendMessageW(listPartOf(list), LB_GETCOUNT, 0, 0), 300);
    EXPECT_TRUE(control.usesKey(VK_RETURN));
    EXPECT_TRUE(control.usesKey(VK_ESCAPE));
    SendMessageW(windowOf(list), CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_FALSE(IsWindowVisible(listPartOf(list)));
    EXPECT_EQ(events.take(), Events {});
}

TEST_F(Win32ComboBox, TypingReportsEachNewTextThenThatItWasTyped)
{
    Recorder events;
    NativeControl& list = listOf(5, events);
    list.selectItem(1);
    list.setFocus(false);
    type(list, "Os");
    EXPECT_EQ(list.text(), "City 1Os");
    EXPECT_EQ(events.take(), (Events { "text City 1O", "edited", "text City 1Os", "edited" }));
    // Typing leaves the selected item to the rules.
    EXPECT_EQ(list.selectedItem(), 1);
    SendMessageW(editOf(list), WM_CHAR, VK_BACK, 1);
    EXPECT_EQ(events.take(), (Events { "text City 1O", "edited" }));
}

TEST_F(Win32ComboBox, TextSetByCodeIsReportedButNotAsTyped)
{
    Recorder events;
    NativeControl& list = listOf(5, events);
    list.setEditText("Osaka");
    EXPECT_EQ(list.text(), "Osaka");
    EXPECT_EQ(events.take(), Events { "text Osaka (by code)" });
    list.setEditText("Osaka");
    EXPECT_EQ(events.take(), Events {});
    list.setEditText("大阪");
    EXPECT_EQ(list.text(), "大阪");
    EXPECT_EQ(events.take(), Events { "text 大阪 (by code)" });
}

TEST_F(Win32ComboBox, ATypedItemIsSelectedWithTheCursorWhereItWas)
{
    Recorder events;
    NativeControl& list = listOf(5, events);
    list.setFocus(false);
    type(list, "City 3");
    events.take();
    DWORD start = 0;
    SendMessageW(editOf(list), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    list.selectTypedItem(3);
    DWORD after = 0;
    SendMessageW(editOf(list), EM_GETSEL, reinterpret_cast<WPARAM>(&after), 0);
    EXPECT_EQ(after, start);
    EXPECT_EQ(list.selectedItem(), 3);
    EXPECT_EQ(list.text(), "City 3");
    EXPECT_EQ(events.take(), Events {});
}

TEST_F(Win32ComboBox, AnItemChosenInTheListIsSelectedAndItsTextReported)
{
    Recorder events;
    NativeControl& list = listOf(10, events);
    list.selectItem(5);
    list.setFocus(false);
    deliverPosted();
    SendMessageW(editOf(list), WM_KEYDOWN, VK_DOWN, 0x01500001);
    EXPECT_EQ(list.selectedItem(), 6);
    EXPECT_EQ(list.text(), "City 6");
    EXPECT_EQ(events.take(), Events { "text City 6" });
}

TEST_F(Win32ComboBox, AfterTypingTheArrowsMoveOnFromTheSelectedItem)
{
    Recorder events;
    NativeControl& list = listOf(10, events);
    list.selectItem(5);
    list.setFocus(false);
    type(list, "x");
    events.take();
    SendMessageW(editOf(list), WM_KEYDOWN, VK_DOWN, 0x01500001);
    EXPECT_EQ(list.selectedItem(), 6);
    EXPECT_EQ(list.text(), "City 6");
    EXPECT_EQ(events.take(), Events { "text City 6" });
}

TEST_F(Win32ComboBox, AnItemClickedInTheDroppedListIsSelectedAndItsTextReportedOnce)
{
    Recorder events;
    NativeControl& list = listOf(10, events);
    list.selectItem(1);
    list.setFocus(false);
    SendMessageW(windowOf(list), CB_SHOWDROPDOWN, TRUE, 0);
    RECT item {};
    SendMessageW(listPartOf(list), LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&item));
    LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageW(listPartOf(list), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(listPartOf(list), WM_LBUTTONUP, 0, at);
    EXPECT_FALSE(IsWindowVisible(listPartOf(list)));
    EXPECT_EQ(list.selectedItem(), 3);
    EXPECT_EQ(list.text(), "City 3");
    EXPECT_EQ(events.take(), Events { "text City 3" });
}

TEST_F(Win32ComboBox, FocusLostOnlyToAnotherControlOfTheForm)
{
    Recorder events;
    Recorder boxEvents;
    NativeControl& list = listOf(5, events);
    NativeControl& box = make(ControlKind::CheckBox, form_, boxEvents, { 8, 40, 100, 24 });
    list.setFocus(false);
    ASSERT_TRUE(list.hasFocus());

    HWND other = CreateWindowExW(0, kFormClass, L"Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    SetFocus(other);
    EXPECT_EQ(events.take(), Events {});
    DestroyWindow(other);

    SetForegroundWindow(form_.handle());
    list.setFocus(false);
    events.take();
    box.setFocus(true);
    EXPECT_FALSE(list.hasFocus());
    EXPECT_EQ(events.take(), Events { "focus lost" });
}

TEST_F(Win32ComboBox, FocusByTabSelectsTheTextByCodePutsTheCursorAfterIt)
{
    Recorder events;
    NativeControl& list = listOf(5, events);
    list.selectItem(2);
    for (bool byTab : { true, false }) {
        list.setFocus(byTab);
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(editOf(list), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, byTab ? 0u : 6u) << byTab;
        EXPECT_EQ(end, 6u) << byTab;
    }
}

TEST_F(Win32ComboBox, UsesTheKeysItActsOnAndLeavesEnterEscAndTabToTheForm)
{
    struct Case {
        int16_t key;
        bool used;
    };
    const Case cases[] = {
        { VK_RETURN, false }, { VK_ESCAPE, false }, { VK_TAB, false }, { VK_F1, false }, { VK_F5, false },
        { VK_DOWN, true },    { VK_UP, true },      { VK_LEFT, true }, { VK_HOME, true }, { VK_END, true },
        { VK_PRIOR, true },   { VK_NEXT, true },    { VK_BACK, true }, { VK_DELETE, true }, { 'A', true },
        { '7', true },        { VK_SPACE, true },   { VK_OEM_MINUS, true }, { VK_F4, true },
    };
    Recorder events;
    auto& list = dynamic_cast<Win32Control&>(listOf(3, events));
    for (const Case& test : cases)
        EXPECT_EQ(list.usesKey(test.key), test.used) << "key " << test.key;
}

// --- Horizontal scroll bar -------------------------------------------------------------

TEST_F(Win32Controls, ScrollBarSetByCodeReportsNothing)
{
    Recorder events;
    NativeControl& bar = make(ControlKind::HScrollBar, form_, events, { 8, 8, 97, 17 });
    bar.setRange(5, 60);
    bar.setSteps(1, 10);
    bar.setValue(42);
    int min = 0;
    int max = 0;
    GetScrollRange(windowOf(bar), SB_CTL, &min, &max);
    EXPECT_EQ(min, 5);
    EXPECT_EQ(max, 60);
    EXPECT_EQ(GetScrollPos(windowOf(bar), SB_CTL), 42);
    EXPECT_EQ(events.take(), Events {});
}

TEST_F(Win32Controls, ScrollBarTurnsTheUsersScrollingIntoValuesWithinItsRange)
{
    struct Case {
        const char* name;
        int min, max, small, large, start;
        WORD code;
        int16_t thumb;
        int expected;
    };
    const Case cases[] = {
        { "arrow right", 5, 60, 1, 10, 30, SB_LINERIGHT, 0, 31 },
        { "arrow left", 5, 60, 1, 10, 30, SB_LINELEFT, 0, 29 },
        { "arrow left at the low end", 5, 60, 1, 10, 5, SB_LINELEFT, 0, 5 },
        { "arrow right at the high end", 5, 60, 1, 10, 60, SB_LINERIGHT, 0, 60 },
        { "arrow right past the high end", 5, 60, 4, 10, 58, SB_LINERIGHT, 0, 60 },
        { "trough right", 5, 60, 1, 10, 30, SB_PAGERIGHT, 0, 40 },
        { "trough left past the low end", 5, 60, 1, 10, 9, SB_PAGELEFT, 0, 5 },
        { "trough right past the high end", 1, 10, 1, 20, 2, SB_PAGERIGHT, 0, 10 },
        { "to the left end", 5, 60, 1, 10, 30, SB_LEFT, 0, 5 },
        { "to the right end", 5, 60, 1, 10, 30, SB_RIGHT, 0, 60 },
        { "thumb dragged", 5, 60, 1, 10, 30, SB_THUMBTRACK, 47, 47 },
        { "thumb dropped", 5, 60, 1, 10, 30, SB_THUMBPOSITION, 12, 12 },
        { "thumb at a negative value", -100, 100, 1, 10, 0, SB_THUMBTRACK, -40, -40 },
        { "thumb at the low end of a wide range", -32768, 32767, 1, 10, 0, SB_THUMBTRACK, -32768, -32768 },
        { "thumb at the high end of a wide range", -32768, 32767, 1, 10, 0, SB_THUMBTRACK, 32767, 32767 },
        { "thumb where it was", 5, 60, 1, 10, 30, SB_THUMBPOSITION, 30, 30 },
        { "scrolling ended", 5, 60, 1, 10, 30, SB_ENDSCROLL, 0, 30 },
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        Recorder events;
        NativeControl& bar = make(ControlKind::HScrollBar, form_, events, { 8, 8, 97, 17 });
        bar.setRange(test.min, test.max);
        bar.setSteps(test.small, test.large);
        bar.setValue(test.start);
        WPARAM scroll = MAKEWPARAM(test.code, static_cast<WORD>(test.thumb));
        SendMessageW(form_.handle(), WM_HSCROLL, scroll, reinterpret_cast<LPARAM>(windowOf(bar)));
        EXPECT_EQ(GetScrollPos(windowOf(bar), SB_CTL), test.expected);
        Events expected;
        if (test.expected != test.start)
            expected.push_back("value " + std::to_string(test.expected));
        EXPECT_EQ(events.take(), expected);
    }
}

TEST_F(Win32Controls, ScrollBarLeavesItsKeysToTheRules)
{
    Recorder events;
    NativeControl& bar = make(ControlKind::HScrollBar, form_, events, { 8, 8, 97, 17 });
    bar.setRange(1, 10);
    bar.setValue(5);
    bar.setFocus(false);
    for (WPARAM key : { VK_RIGHT, VK_LEFT, VK_HOME, VK_END, VK_NEXT, VK_PRIOR }) {
        SendMessageW(windowOf(bar), WM_KEYDOWN, key, 1);
        SendMessageW(windowOf(bar), WM_KEYUP, key, 0xC0000001);
    }
    EXPECT_EQ(GetScrollPos(windowOf(bar), SB_CTL), 5);
    EXPECT_EQ(events.take(), Events {});
}

} // namespace
