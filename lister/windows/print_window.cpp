#include "lister/windows/print_window.h"

namespace tarnvale::lister {

void PrintTexts(Output& out, const WindowTexts& texts)
{
    out.Text("class ").Bracketed(texts.Class()).Text("  title ").Bracketed(texts.Title());
    if (texts.titleCut)
        out.Text(" (cut short)");
    out.Line();
}

void PrintWindow(Output& out, HWND window)
{
    WindowTexts texts;
    ReadTexts(window, texts);
    PrintTexts(out, texts);
}

}  // namespace tarnvale::lister
