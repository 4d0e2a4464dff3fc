// Prints what another program's windows say: the texts of every visible
// top-level window whose caption is the first argument, and of all their
// child windows, in UTF-8, one a line (a text may hold line ends of its
// own). Exit status 0 when such a window was found, 1 when none was.
//
// The whole-program tests of zandreth.scr run it in the same Wine prefix to
// read a label's caption or a message's text, which pixels cannot tell.

#include <cstdio>
#include <string>
#include <windows.h>

namespace {

std::string utf8(const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::wstring textOf(HWND window)
{
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

void printText(HWND window)
{
    std::string line = utf8(textOf(window)) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
}

struct Search {
    std::wstring caption;
    bool found = false;
};

BOOL CALLBACK printChild(HWND child, LPARAM)
{
    printText(child);
    return TRUE;
}

BOOL CALLBACK visitTopLevel(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<Search*>(parameter);
    if (IsWindowVisible(window) && textOf(window) == search->caption) {
        search->found = true;
        printText(window);
        EnumChildWindows(window, &printChild, 0);
    }
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fputs("usage: window_texts CAPTION\n", stderr);
        return 2;
    }
    Search search { argv[1] };
    EnumWindows(&visitTopLevel, reinterpret_cast<LPARAM>(&search));
    std::fflush(stdout);
    return search.found ? 0 : 1;
}
