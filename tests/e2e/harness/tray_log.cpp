#include "harness/tray_log.h"

#include <cwchar>
#include <sstream>

#include "harness/harness.h"

namespace e2e {

namespace {

TrayEvent Parse(const std::wstring& line)
{
    TrayEvent event;
    wchar_t message[8] = {};
    unsigned long window = 0, id = 0, flags = 0, callback = 0;
    int consumed = 0;
    if (std::swscanf(line.c_str(), L"%7ls %lx %lu %lu %lu %n", message, &window, &id, &flags,
                     &callback, &consumed) >= 5) {
        event.message = Narrow(message);
        event.window = window;
        event.id = id;
        event.flags = flags;
        event.callback = callback;
        if (consumed > 0 && static_cast<std::size_t>(consumed) <= line.size())
            event.tip = line.substr(static_cast<std::size_t>(consumed));
    }
    return event;
}

}  // namespace

HWND FindTray()
{
    return FindWindowW(kTrayClass, nullptr);
}

std::vector<TrayEvent> TrayEvents()
{
    std::vector<TrayEvent> events;
    const HWND tray = FindTray();
    if (!tray)
        return events;
    // The log may be long; ask its length first.
    const int length = GetWindowTextLengthW(tray);
    std::wstring log(static_cast<std::size_t>(length) + 1, L'\0');
    log.resize(static_cast<std::size_t>(GetWindowTextW(tray, log.data(), length + 1)));
    std::size_t start = 0;
    while (start < log.size()) {
        std::size_t end = log.find(L'|', start);
        if (end == std::wstring::npos)
            end = log.size();
        events.push_back(Parse(log.substr(start, end - start)));
        start = end + 1;
    }
    return events;
}

std::vector<TrayEvent> TrayEventsOf(HWND main)
{
    const auto handle = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(main));
    std::vector<TrayEvent> mine;
    for (const TrayEvent& event : TrayEvents())
        if (event.window == handle)
            mine.push_back(event);
    return mine;
}

int IconsShownFor(HWND main)
{
    int shown = 0;
    for (const TrayEvent& event : TrayEventsOf(main))
        shown += event.message == "add" ? 1 : event.message == "del" ? -1 : 0;
    return shown;
}

std::string Describe(const std::vector<TrayEvent>& events)
{
    if (events.empty())
        return "tray: (no events)";
    std::ostringstream line;
    line << "tray:";
    for (const TrayEvent& event : events)
        line << " [" << event.message << " hwnd=" << std::hex << event.window << std::dec
             << " id=" << event.id << " flags=" << event.flags << " callback=" << event.callback
             << " tip=\"" << Narrow(event.tip) << "\"]";
    return line.str();
}

}  // namespace e2e
