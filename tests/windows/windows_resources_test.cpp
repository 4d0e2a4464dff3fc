// The resources zandreth.scr carries, read back through the system's own
// calls from a program that links them: the description the screen-saver
// settings list, the icon, the version of the About box and the manifest,
// whose effects (common controls 6, per-monitor DPI awareness) the loader
// applies to this very process.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include <windows.h>

namespace {

std::string resourceBytes(const wchar_t* type, const wchar_t* name)
{
    HRSRC found = ::FindResourceW(nullptr, name, type);
    if (found == nullptr)
        return "";
    HGLOBAL loaded = ::LoadResource(nullptr, found);
    auto data = static_cast<const char*>(::LockResource(loaded));
    return data ? std::string(data, ::SizeofResource(nullptr, found)) : "";
}

std::string resourceBytes(const wchar_t* type, int id) { return resourceBytes(type, MAKEINTRESOURCEW(id)); }

std::string fileBytes(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), {});
}

unsigned le16(const std::string& bytes, std::size_t at)
{
    return static_cast<unsigned char>(bytes.at(at)) | static_cast<unsigned char>(bytes.at(at + 1)) << 8;
}

TEST(WindowsResources, TheDescriptionIsStringOne)
{
    const wchar_t* text = nullptr;
    // A length of 0 asks for a pointer to the resource's own text.
    int length = ::LoadStringW(::GetModuleHandleW(nullptr), 1, reinterpret_cast<wchar_t*>(&text), 0);
    ASSERT_GT(length, 0);
    EXPECT_EQ(std::wstring(text, static_cast<std::size_t>(length)), L"Zandreth");
}

TEST(WindowsResources, TheIconIsTheGlobeWithAllItsSizes)
{
    std::ifstream file(ZANDRETH_SOURCE_DIR "/assets/zandreth.ico", std::ios::binary);
    std::string ico((std::istreambuf_iterator<char>(file)), {});
    ASSERT_GE(ico.size(), 6u);
    auto countOf = [](const std::string& directory) {
        return static_cast<unsigned>(static_cast<unsigned char>(directory[4]))
               | static_cast<unsigned>(static_cast<unsigned char>(directory[5])) << 8;
    };

    std::string group = resourceBytes(RT_GROUP_ICON, 1);
    ASSERT_GE(group.size(), 6u) << "icon group 1 is missing";
    EXPECT_EQ(countOf(group), countOf(ico)) << "every image of the .ico";
    for (int size : { 16, 24, 32, 48, 64, 128, 256 }) {
        SCOPED_TRACE(size);
        HANDLE icon = ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0);
        EXPECT_NE(icon, nullptr);
        if (icon)
            ::DestroyIcon(static_cast<HICON>(icon));
    }

    // The group's entries (GRPICONDIRENTRY, 14 bytes each): every image is
    // 32-bit with alpha; the 256-pixel one (a width of 0) is a PNG picture.
    const std::size_t count = countOf(group);
    ASSERT_GE(group.size(), 6 + 14 * count);
    bool found256 = false;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = 6 + 14 * i;
        const int width = static_cast<unsigned char>(group[at]);
        SCOPED_TRACE(width);
        EXPECT_EQ(le16(group, at + 6), 32u) << "bits per pixel";
        const std::string image = resourceBytes(RT_ICON, static_cast<int>(le16(group, at + 12)));
        ASSERT_GE(image.size(), 8u);
        if (width == 0) {
            found256 = true;
            EXPECT_EQ(image.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
        } else {
            EXPECT_EQ(le16(image, 14), 32u) << "the image's own header";
        }
    }
    EXPECT_TRUE(found256) << "a 256-pixel image";
}

// The map and the map at twice the size, for screens of two device pixels
// per pixel, are the assets' bitmaps (without their file header), each at
// its size.
TEST(WindowsResources, TheMapIsThereAtOneAndTwoDevicePixelsPerPixel)
{
    struct MapCase {
        const wchar_t* name;
        const char* file;
        int width;
        int height;
    };
    const MapCase cases[] = { { L"MAP", ZANDRETH_SOURCE_DIR "/assets/map.bmp", 740, 370 },
                              { L"MAP-2X", ZANDRETH_SOURCE_DIR "/assets/map-2x.bmp", 1480, 740 } };
    for (const MapCase& map : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(map.name)));
        constexpr std::size_t kFileHeader = 14;
        EXPECT_EQ(resourceBytes(RT_BITMAP, map.name), fileBytes(map.file).substr(kFileHeader));
        HANDLE bitmap = ::LoadImageW(::GetModuleHandleW(nullptr), map.name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        ASSERT_NE(bitmap, nullptr);
        BITMAP info {};
        ASSERT_NE(::GetObjectW(bitmap, sizeof info, &info), 0);
        EXPECT_EQ(info.bmWidth, map.width);
        EXPECT_EQ(info.bmHeight, map.height);
        ::DeleteObject(bitmap);
    }
}

TEST(WindowsResources, TheVersionIsTheProjects)
{
    wchar_t program[MAX_PATH * 2];
    ::GetModuleFileNameW(nullptr, program, MAX_PATH * 2);
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeW(program, &ignored);
    ASSERT_GT(size, 0u) << "no version information";
    std::vector<char> info(size);
    ASSERT_TRUE(::GetFileVersionInfoW(program, 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), ZANDRETH_VERSION_MAJOR);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), ZANDRETH_VERSION_MINOR);
    EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), ZANDRETH_VERSION_PATCH);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);

    const std::wstring expected = std::to_wstring(ZANDRETH_VERSION_MAJOR) + L"." + std::to_wstring(ZANDRETH_VERSION_MINOR)
                                  + L"." + std::to_wstring(ZANDRETH_VERSION_PATCH);
    for (const wchar_t* name : { L"FileVersion", L"ProductVersion", L"ProductName", L"FileDescription" }) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(name)));
        wchar_t* value = nullptr;
        std::wstring query = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
        ASSERT_TRUE(::VerQueryValueW(info.data(), query.c_str(), reinterpret_cast<void**>(&value), &length));
        std::wstring text(value);
        bool isVersion = std::wstring(name).find(L"Version") != std::wstring::npos;
        EXPECT_EQ(text, isVersion ? expected : L"Zandreth");
    }
}

TEST(WindowsResources, TheManifestAsksForCommonControlsSixAndPerMonitorDpi)
{
    std::string manifest = resourceBytes(RT_MANIFEST, 1);
    ASSERT_FALSE(manifest.empty()) << "manifest 1 is missing";
    for (const char* part : { "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                              "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2",
                              "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm",
                              "level=\"asInvoker\"" })
        EXPECT_NE(manifest.find(part), std::string::npos) << part;

    // The loader has applied it to this process: its activation context
    // sends comctl32.dll to the side-by-side common controls of version 6 ...
    ACTCTX_SECTION_KEYED_DATA redirection {};
    redirection.cbSize = sizeof redirection;
    EXPECT_TRUE(::FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll",
                                           &redirection))
        << "comctl32.dll is not redirected to the common controls of version 6";

    // ... and the process is aware of each monitor's DPI.
    HMODULE user = ::GetModuleHandleW(L"user32.dll");
    auto threadContext = reinterpret_cast<void*(WINAPI*)()>(
        reinterpret_cast<void*>(::GetProcAddress(user, "GetThreadDpiAwarenessContext")));
    auto awarenessOf = reinterpret_cast<int(WINAPI*)(void*)>(
        reinterpret_cast<void*>(::GetProcAddress(user, "GetAwarenessFromDpiAwarenessContext")));
    ASSERT_TRUE(threadContext && awarenessOf);
    constexpr int kPerMonitorAware = 2; // DPI_AWARENESS_PER_MONITOR_AWARE
    EXPECT_EQ(awarenessOf(threadContext()), kPerMonitorAware);
}

} // namespace
