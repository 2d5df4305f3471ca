#include "harness/popup_menu.h"

#include "harness/harness.h"

namespace e2e {

namespace {

constexpr UINT kGetMenuHandle = 0x01E1;  // MN_GETHMENU

}  // namespace

void PostIconCallback(HWND main, UINT mouseMessage)
{
    PostMessageW(main, kIconCallbackMessage, 0, static_cast<LPARAM>(mouseMessage));
}

HWND FindPopupMenuOf(DWORD processId)
{
    for (HWND menu = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); menu;
         menu = FindWindowExW(nullptr, menu, L"#32768", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(menu, &owner);
        if (owner == processId && IsWindowVisible(menu))
            return menu;
    }
    return nullptr;
}

MenuView ReadPopupMenu(HWND menu)
{
    MenuView view;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(menu, kGetMenuHandle, 0, 0, SMTO_ABORTIFHUNG, 2000, &result))
        return view;
    const auto handle = reinterpret_cast<HMENU>(result);
    const int count = handle ? GetMenuItemCount(handle) : -1;
    if (count < 0)
        return view;
    view.readable = true;
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        GetMenuItemInfoW(handle, static_cast<UINT>(i), TRUE, &info);
        if (info.fType & MFT_SEPARATOR) {
            view.items.emplace_back(L"-");
            continue;
        }
        wchar_t text[128] = {};
        GetMenuStringW(handle, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        view.items.emplace_back(text);
    }
    return view;
}

std::string Describe(const MenuView& menu)
{
    if (!menu.readable)
        return "menu (items not readable from another process)";
    std::string line = "menu items:";
    for (const std::wstring& item : menu.items)
        line += " \"" + Narrow(item) + "\"";
    return line;
}

void PressKey(HWND menu, WPARAM virtualKey)
{
    PostMessageW(menu, WM_KEYDOWN, virtualKey, 1);
    PostMessageW(menu, WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001));
}

void PressEscape(HWND menu)
{
    PressKey(menu, VK_ESCAPE);
}

void ChooseByMnemonic(HWND menu, wchar_t mnemonic)
{
    PostMessageW(menu, WM_CHAR, mnemonic, 1);
}

}  // namespace e2e
