// Fonts by the names the forms give, in points at the system's DPI. A face
// that is not installed (the Japanese faces of Windows, under another
// system) is replaced by an installed Japanese Gothic face.

#include "platform/forms/win32/win32_control.h"
#include "platform/forms/win32/win32_forms.h"

#include "platform/system/win32/wide_text.h"

#include <cmath>
#include <map>
#include <tuple>

namespace platform::win32 {

namespace {

int CALLBACK noteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

} // namespace

bool faceInstalled(const std::wstring& face)
{
    LOGFONTW wanted {};
    wanted.lfCharSet = DEFAULT_CHARSET;
    face.copy(wanted.lfFaceName, LF_FACESIZE - 1);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, &noteFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

// The name itself when installed, else the first installed Japanese Gothic
// face (proportional for a proportional name).
std::wstring installedFace(const std::wstring& name)
{
    if (name.empty() || faceInstalled(name))
        return name;
    bool proportional = name.find(L'P') != std::wstring::npos || name.find(L'Ｐ') != std::wstring::npos
        || name.find(L"UI") != std::wstring::npos;
    const wchar_t* candidates[] = { proportional ? L"IPAPGothic" : L"IPAGothic", L"IPAGothic", L"IPAPGothic",
                                    L"MS UI Gothic", L"Meiryo UI" };
    for (const wchar_t* candidate : candidates)
        if (faceInstalled(candidate))
            return candidate;
    return name;
}

int screenDotsPerInch()
{
    HDC screen = GetDC(nullptr);
    if (screen == nullptr)
        return 0;
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

double monitorScale(HMONITOR monitor)
{
    constexpr double kStandardDpi = 96;
    using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor = [] {
        HMODULE shcore = LoadLibraryW(L"shcore.dll");
        return shcore ? reinterpret_cast<GetDpiForMonitorFunction>(
                   reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                      : nullptr;
    }();
    constexpr int kEffectiveDpi = 0;
    UINT dpiX = 0;
    UINT dpiY = 0;
    if (monitor && getDpiForMonitor && getDpiForMonitor(monitor, kEffectiveDpi, &dpiX, &dpiY) == S_OK && dpiX > 0)
        return dpiX / kStandardDpi;
    int dpi = screenDotsPerInch();
    return dpi > 0 ? dpi / kStandardDpi : 1;
}

HFONT fontFor(const Font& font)
{
    using Key = std::tuple<std::string, double, bool, int>;
    static std::map<Key, HFONT> made;
    Key key { font.name, font.size, font.bold, font.charset };
    if (auto found = made.find(key); found != made.end())
        return found->second;

    LOGFONTW description {};
    int dpi = screenDotsPerInch();
    description.lfHeight = -static_cast<LONG>(std::lround(font.size * (dpi > 0 ? dpi : 96) / 72.0));
    description.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    description.lfCharSet = static_cast<BYTE>(font.charset);
    description.lfQuality = DEFAULT_QUALITY;
    installedFace(widen(font.name)).copy(description.lfFaceName, LF_FACESIZE - 1);
    HFONT handle = CreateFontIndirectW(&description);
    made.emplace(key, handle);
    return handle;
}

} // namespace platform::win32
