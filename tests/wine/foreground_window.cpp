// Prints the title of the window that has the foreground, in UTF-8, so that
// a script on the Linux side can tell which program Windows put in front.
#include <windows.h>

#include <cstdio>
#include <iterator>

int main()
{
    wchar_t title[256] = L"";
    if (const HWND window = GetForegroundWindow())
        GetWindowTextW(window, title, int(std::size(title)));
    char text[1024] = "";
    WideCharToMultiByte(CP_UTF8, 0, title, -1, text, int(sizeof text), nullptr, nullptr);
    std::printf("%s\n", text);
    return 0;
}
