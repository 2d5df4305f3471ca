// Not shipped: a program built as tarnvale.exe is, without exceptions, that still uses a
// growing string. The string's own code throws, so the exception runtime comes with it,
// and the imports check must say so.
#include <windows.h>

#include <string>

int main()
{
    const std::wstring line(GetCommandLineW());
    return static_cast<int>(line.size() % 2);
}
