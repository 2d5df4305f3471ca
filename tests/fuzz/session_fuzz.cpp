// Start-up, the watchdog and shutdown over the fake window system, driven by an
// arbitrary command line and an arbitrary sequence of window events.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "text/command_line.h"
#include "app/main_window.h"
#include "attach/desktop.h"
#include "fake_window_system.h"
#include "require.h"

namespace {

using tarnvale::MainWindow;
using tarnvale::NotifyIconMessage;
using tarnvale::WindowHandle;
using tarnvale::testing::FakeWindowSystem;

constexpr WindowHandle kSelf = 0x77;
constexpr tarnvale::IconHandle kIcon = 0x55;

// Few names, so that windows, texts and the desktop's class meet often.
const std::vector<std::wstring> kNames = {L"Foo", L"foo", L"Bar", L"Foo ", L"\"Foo\"", L"\t",
                                          L"", L"progman", L"Program Manager"};

std::wstring Name(FuzzedDataProvider& data)
{
    if (data.ConsumeBool())
        return kNames[data.ConsumeIntegralInRange<std::size_t>(0, kNames.size() - 1)];
    std::wstring text;
    const std::size_t length = data.ConsumeIntegralInRange<std::size_t>(0, 6);
    for (std::size_t i = 0; i < length; ++i)
        text += static_cast<wchar_t>(data.ConsumeIntegralInRange<int>(0x09, 0x7e));
    return text;
}

class World {
public:
    World() : main_(fake_, kSelf, kIcon) { fake_.onMainWindowClose = [this] { main_.OnClosing(); }; }

    void Run(FuzzedDataProvider& data)
    {
        desktop_ = data.ConsumeBool() ? Add(L"Progman", L"Program Manager") : 0;
        const int windows = data.ConsumeIntegralInRange<int>(0, 4);
        for (int i = 0; i < windows; ++i)
            Add(Name(data), Name(data));

        const std::wstring commandLine = L"tarnvale.exe " + Name(data);
        if (main_.Start(commandLine) == MainWindow::StartResult::Ended) {
            Require(fake_.notifications.empty());
            Require(fake_.endProcessCalls == 1);
            return;
        }
        CheckStart();
        // The text is the program's own copy, whole.
        Require(main_.target().targetText.view() == tarnvale::TargetTextView(commandLine));

        while (data.remaining_bytes() > 0 && !closed_)
            Step(data);
        if (closed_)
            return;
        Tick();
        CheckShutdown();
    }

private:
    WindowHandle Add(const std::wstring& className, const std::wstring& title)
    {
        const WindowHandle window = fake_.AddWindow(className, title);
        alive_.push_back(window);
        return window;
    }

    WindowHandle Pick(FuzzedDataProvider& data) const
    {
        if (alive_.empty())
            return 0;
        return alive_[data.ConsumeIntegralInRange<std::size_t>(0, alive_.size() - 1)];
    }

    void Forget(WindowHandle window)
    {
        std::erase(alive_, window);
        fake_.Destroy(window);
    }

    void Step(FuzzedDataProvider& data)
    {
        const WindowHandle target = main_.target().targetWindow;
        switch (data.ConsumeIntegralInRange<int>(0, 13)) {
        case 0:
            Add(Name(data), Name(data));
            break;
        case 1:
            if (const WindowHandle window = Pick(data); window && window != desktop_)
                Forget(window);
            break;
        case 2:  // the target destroyed: closed, or its process killed
            if (target && std::count(alive_.begin(), alive_.end(), target))
                Forget(target);
            break;
        case 3:  // detached from outside
            if (target && std::count(alive_.begin(), alive_.end(), target))
                fake_.At(target).parent = 0;
            break;
        case 4:
            if (const WindowHandle window = Pick(data))
                fake_.At(window).exStyle = data.ConsumeBool() ? 0x8 : data.ConsumeIntegral<std::int32_t>();
            break;
        case 5:
            fake_.SetForeground(data.ConsumeBool() ? target : Pick(data));
            break;
        case 6:  // the shell restarts: the old "progman" window goes, perhaps a new one comes
            if (desktop_)
                Forget(desktop_);
            desktop_ = data.ConsumeBool() ? Add(L"Progman", L"Program Manager") : 0;
            break;
        case 7:  // some other window becomes the target's parent
            if (target && std::count(alive_.begin(), alive_.end(), target))
                fake_.At(target).parent = Pick(data);
            break;
        case 8:
            fake_.menuChoice = data.ConsumeBool() ? tarnvale::MenuChoice::About
                                                  : tarnvale::MenuChoice::None;
            main_.OnIconCallback(data.ConsumeIntegral<std::uint32_t>());
            CheckCalls();
            break;
        case 9: {  // the session is about to end, or its end was cancelled
            const bool announced = !sessionEnding_;
            sessionEnding_ = data.ConsumeBool();
            if (sessionEnding_)
                main_.OnSessionEnding();
            else
                main_.OnSessionEndCancelled();
            CheckCalls();
            if (sessionEnding_ && announced && target && Alive(target) && fake_.At(target).answers)
                Require(fake_.At(target).parent == 0);
            break;
        }
        case 11:  // the shell makes its notification area anew, after a restart or not
            if (data.ConsumeBool())
                fake_.RestartShell();
            main_.OnTaskbarCreated();
            CheckCalls();
            break;
        case 12:  // the target's program stops answering, or answers again
            if (target && Alive(target))
                fake_.At(target).answers = data.ConsumeBool();
            break;
        case 10:  // a tick's change outlasts its wait, and the user chooses Exit meanwhile
            if (target && Alive(target))
                fake_.At(target).stallsInNextChange = true;
            fake_.calls.clear();
            main_.OnTimerTick();
            CheckCalls();
            if (target && Alive(target))
                fake_.At(target).stallsInNextChange = false;
            if (fake_.changesUnderWay.empty())
                break;  // the tick changed nothing
            fake_.menuChoice = tarnvale::MenuChoice::Exit;
            main_.OnIconCallback(0x204);
            fake_.FinishChangesUnderWay();
            closed_ = true;
            Require(Deleted());
            Require(fake_.icons.empty());
            // Given back after the tick's change was made.
            if (const WindowHandle closedOn = main_.target().targetWindow;
                closedOn != 0 && Alive(closedOn) && fake_.At(closedOn).answers)
                Require(fake_.At(closedOn).parent == 0);
            break;
        default:
            Tick();
            break;
        }
    }

    bool Deleted() const
    {
        return std::any_of(fake_.notifications.begin(), fake_.notifications.end(),
                           [](const auto& sent) { return sent.first == NotifyIconMessage::Delete; });
    }

    bool Alive(WindowHandle window) const
    {
        return std::count(alive_.begin(), alive_.end(), window) != 0;
    }

    WindowHandle CurrentDesktop()
    {
        return fake_.FindWindowA(tarnvale::kDesktopClass, std::nullopt);
    }

    void Tick()
    {
        fake_.calls.clear();
        main_.OnTimerTick();
        CheckCalls();
        if (closed_ || Deleted())
            return;  // closed inside this tick: checked by its caller
        if (sessionEnding_) {
            // Nothing is looked up or attached until the end of the session is known.
            Require(fake_.calls.empty());
            return;
        }

        const WindowHandle target = main_.target().targetWindow;
        if (target == 0) {
            // Nothing was found, so nothing by that text exists as a top-level window.
            Require(tarnvale::FindTargetWindow(fake_, main_.target().targetText.view()) == 0);
            return;
        }
        Require(Alive(target));
        const auto& window = fake_.At(target);
        const bool spared = (window.exStyle & 0x8) != 0 || fake_.GetForegroundWindow() == target;
        // A topmost or foreground target is never moved.
        if (spared)
            Require(std::none_of(fake_.calls.begin(), fake_.calls.end(), [](const std::string& call) {
                return call.rfind("SetParent(", 0) == 0;
            }));
        const WindowHandle desktop = CurrentDesktop();
        // A target that is itself the desktop window cannot be its own child; one whose
        // program does not answer stays as it is.
        if (!spared && window.answers && target != desktop &&
            target != main_.target().desktopWindow)
            Require(window.parent == desktop);
    }

    // What must never happen, whatever the events: a change of parent of no window, a
    // second icon, or an icon sent with another record than the first.
    void CheckCalls() const
    {
        for (const std::string& call : fake_.calls)
            Require(call.rfind("SetParent(0,", 0) != 0);
        Require(fake_.icons.size() <= 1);
        const auto& first = fake_.notifications.front().second;
        for (const auto& [message, record] : fake_.notifications)
            Require(std::memcmp(&record, &first, sizeof record) == 0);
    }

    void CheckStart()
    {
        const auto& calls = fake_.calls;
        const auto add = std::find(calls.begin(), calls.end(), "Shell_NotifyIconA(NIM_ADD)");
        Require(add != calls.end());
        const auto attach = std::find_if(calls.begin(), add, [](const std::string& call) {
            return call.rfind("SetParent(", 0) == 0;
        });
        Require(attach != add);
        CheckCalls();
    }

    void CheckShutdown()
    {
        const WindowHandle target = main_.target().targetWindow;
        fake_.calls.clear();
        main_.OnMenuExit();
        main_.OnClosing();  // the end of the session may close it a second time
        CheckCalls();
        Require(fake_.notifications.front().first == NotifyIconMessage::Add);
        Require(fake_.notifications.back().first == NotifyIconMessage::Delete);
        Require(fake_.icons.empty());
        std::size_t detaches = 0;
        for (const std::string& call : fake_.calls)
            detaches += call.rfind("SetParent(", 0) == 0;
        // Given back once: when the end of the session was announced, else now; again now
        // if the program did not answer then.
        Require(detaches <= (target != 0 ? 1u : 0u));
        if (!sessionEnding_ && target != 0 && Alive(target) && fake_.At(target).answers)
            Require(fake_.At(target).parent == 0);
    }

    FakeWindowSystem fake_;
    MainWindow main_;
    std::vector<WindowHandle> alive_;
    WindowHandle desktop_ = 0;
    bool closed_ = false;
    bool sessionEnding_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    FuzzedDataProvider data(bytes, size);
    World world;
    world.Run(data);
    return 0;
}
