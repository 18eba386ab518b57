#include "app/framework/automation/automation_runner.h"

#include "app/framework/application.h"
#include "app/framework/automation/automation_dump.h"
#include "app/framework/automation/automation_script.h"
#include "app/framework/class_info.h"
#include "app/framework/form.h"
#include "app/framework/platform/text_convert.h"
#include "imaging/png_writer.h"
#include "imaging/window_capture_win32.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <set>
#include <stdexcept>
#include <windows.h>

namespace kalvo {

namespace {

// Messages of the runner's own message-only window. They travel through the queue behind
// the input a step posts, so they are handled in the same order as that input.
enum : UINT {
    WM_AUTOMATION_MARKER = WM_APP + 0x3A41,   // wParam: the number of the step's marker
    WM_AUTOMATION_KEYSTATE = WM_APP + 0x3A42, // wParam: modifier bits; lParam: 1 down, 0 up
    WM_AUTOMATION_IDLE = WM_APP + 0x3A43,     // a probe of wait-idle
    WM_AUTOMATION_TIMEOUT = WM_APP + 0x3A44,  // from the watchdog thread
};

constexpr WPARAM ModShift = 1;
constexpr WPARAM ModCtrl = 2;
constexpr WPARAM ModAlt = 4;

constexpr UINT TickMs = 20;
// After the timeout has been posted, how long the watchdog gives the program's thread to
// handle it before it ends the process itself.
constexpr DWORD StuckGraceMs = 3000;

class EStepFailed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void StepFailed(const std::string& message) {
    throw EStepFailed(message);
}

ULONGLONG Now() {
    return GetTickCount64();
}

// Milliseconds since the process was created.
long long ProcessAgeMs() {
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return -1;
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return (ticks(now) - ticks(created)) / 10000; // 100 ns units
}

// The runner reads and writes its files with the C library's wide functions rather than
// with streams, which would bring the whole locale machinery into the program.
std::string ReadWholeFile(const std::wstring& path) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file)
        throw std::runtime_error("cannot open " + WideToUtf8(path));
    std::string bytes;
    char buffer[8192];
    std::size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, read);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        throw std::runtime_error("cannot read " + WideToUtf8(path));
    return bytes;
}

void WriteWholeFile(const std::string& utf8_path, const void* data, std::size_t size) {
    const std::wstring path = Utf8ToWide(utf8_path);
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file)
        throw std::runtime_error("cannot create " + utf8_path);
    const bool written = std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written)
        throw std::runtime_error("cannot write " + utf8_path);
}

std::string WindowClassName(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return WideToUtf8(name);
}

// Window class names compare without regard to case.
bool SameText(const std::string& a, const char* b) {
    return CompareStringOrdinal(Utf8ToWide(a).c_str(), -1, Utf8ToWide(b).c_str(), -1, TRUE) ==
           CSTR_EQUAL;
}

// ---- Finding components by name ----

// Top-level forms: the active window's first, then the application's, then any other
// top-level window of the thread that is a form.
std::vector<TForm*> Forms() {
    std::vector<TForm*> forms;
    const auto add = [&forms](TComponent* component) {
        auto* form = dynamic_cast<TForm*>(component);
        if (form && !form->Parent() && std::find(forms.begin(), forms.end(), form) == forms.end())
            forms.push_back(form);
    };
    add(TWinControl::FromHandle(GetActiveWindow()));
    if (Application)
        for (TComponent* component : Application->Components())
            add(component);
    for (HWND window : ThreadWindows())
        add(TWinControl::FromHandle(window));
    return forms;
}

TForm* FormNamed(const std::string& name) {
    for (TForm* form : Forms())
        if (form->Name() == name)
            return form;
    return nullptr;
}

// The nearest component of that name among what `root` owns and what it parents, at any
// depth.
TComponent* FindIn(TComponent& root, const std::string& name) {
    std::deque<TComponent*> queue{&root};
    std::set<TComponent*> seen{&root};
    const auto visit = [&](TComponent* component) {
        if (seen.insert(component).second)
            queue.push_back(component);
    };
    while (!queue.empty()) {
        TComponent* component = queue.front();
        queue.pop_front();
        if (component != &root && component->Name() == name)
            return component;
        for (TComponent* owned : component->Components())
            visit(owned);
        if (auto* parent = dynamic_cast<TWinControl*>(component))
            for (TControl* child : parent->Controls())
                visit(child);
    }
    return nullptr;
}

// NAME: in the active form, then in the other forms, then a form of that name.
// FORM.NAME: in that form only.
TComponent& Resolve(const std::string& name) {
    const std::size_t dot = name.find('.');
    if (dot != std::string::npos) {
        const std::string form_name = name.substr(0, dot);
        const std::string component_name = name.substr(dot + 1);
        TForm* form = FormNamed(form_name);
        if (!form)
            StepFailed("there is no form named " + form_name);
        TComponent* component = FindIn(*form, component_name);
        if (!component)
            StepFailed("the form " + form_name + " has no component named " + component_name);
        return *component;
    }
    for (TForm* form : Forms())
        if (TComponent* component = FindIn(*form, name))
            return *component;
    if (TForm* form = FormNamed(name))
        return *form;
    StepFailed("no form has a component named " + name);
}

TControl& ResolveControl(const std::string& name) {
    auto* control = dynamic_cast<TControl*>(&Resolve(name));
    if (!control)
        StepFailed(name + " is not a control");
    return *control;
}

// The window that shows the control: its own, or its parent's for a windowless one.
HWND ShowingWindow(TControl& control) {
    if (auto* windowed = dynamic_cast<TWinControl*>(&control))
        return windowed->HandleAllocated() ? windowed->Handle() : nullptr;
    TWinControl* parent = control.Parent();
    return parent && parent->HandleAllocated() ? parent->Handle() : nullptr;
}

// What a user can see and reach: shown on the screen, and enabled along with every parent,
// control and window (a window that a modal loop disabled takes no input).
void RequireShowing(TControl& control, const std::string& name) {
    HWND window = ShowingWindow(control);
    if (!control.Showing() || !window || !IsWindowVisible(window))
        StepFailed(name + " is not showing");
}

void RequireUsable(TControl& control, const std::string& name) {
    RequireShowing(control, name);
    for (const TControl* item = &control; item; item = item->Parent())
        if (!item->Enabled())
            StepFailed(
                name + " is disabled" +
                (item == &control ? std::string() : " (its parent " + item->Name() + " is)"));
    HWND desktop = GetDesktopWindow();
    for (HWND window = ShowingWindow(control); window && window != desktop;
         window = GetAncestor(window, GA_PARENT))
        if (!IsWindowEnabled(window))
            StepFailed(name + " cannot take input: its window or a parent window is disabled");
}

// ---- Keys ----

// The lParam of a key message: repeat count 1, the scan code, the extended flag, the ALT
// context code and, for releases, the previous state and the transition flag.
LPARAM KeyData(UINT virtual_key, bool extended, bool up, bool alt_context) {
    DWORD data = 1 | ((MapVirtualKeyW(virtual_key, MAPVK_VK_TO_VSC) & 0xFF) << 16);
    if (extended)
        data |= 1u << 24;
    if (alt_context)
        data |= 1u << 29;
    if (up)
        data |= (1u << 30) | (1u << 31);
    return LPARAM(data);
}

void SetModifierState(WPARAM modifiers, bool down) {
    BYTE state[256];
    if (!GetKeyboardState(state))
        return;
    const auto set = [&](std::initializer_list<int> keys) {
        for (const int key : keys)
            state[key] = down ? BYTE(state[key] | 0x80) : BYTE(state[key] & ~0x80);
    };
    if (modifiers & ModShift)
        set({VK_SHIFT, VK_LSHIFT});
    if (modifiers & ModCtrl)
        set({VK_CONTROL, VK_LCONTROL});
    if (modifiers & ModAlt)
        set({VK_MENU, VK_LMENU});
    SetKeyboardState(state);
}

// Where typed keys go: the focus, or the active window, in a top-level window that is
// visible and enabled.
HWND KeyboardTarget() {
    const auto usable = [](HWND window) {
        if (!window)
            return false;
        HWND root = GetAncestor(window, GA_ROOT);
        return IsWindowVisible(root) && IsWindowEnabled(root);
    };
    if (HWND focus = GetFocus(); usable(focus))
        return focus;
    if (HWND active = GetActiveWindow(); usable(active))
        return active;
    StepFailed("no window of the program has the keyboard focus");
}

TBitmap Crop(const TBitmap& source, RECT area) {
    area.left = std::max(area.left, LONG(0));
    area.top = std::max(area.top, LONG(0));
    area.right = std::min(area.right, LONG(source.Width()));
    area.bottom = std::min(area.bottom, LONG(source.Height()));
    if (area.right <= area.left || area.bottom <= area.top)
        StepFailed("the control lies outside its parent's client area");
    TBitmap part(int(area.right - area.left), int(area.bottom - area.top), pf24bit);
    const int bytes = source.BytesPerPixel();
    for (int y = 0; y < part.Height(); ++y) {
        const std::uint8_t* from = source.ScanLine(int(area.top) + y) + area.left * bytes;
        std::uint8_t* to = part.ScanLine(y);
        for (int x = 0; x < part.Width(); ++x, from += bytes, to += 3)
            std::memcpy(to, from, 3);
    }
    return part;
}

class TAutomationRunner;
TAutomationRunner* CurrentRunner = nullptr;

constexpr wchar_t RunnerWindowClass[] = L"KalvoAutomation";

class TAutomationRunner {
public:
    explicit TAutomationRunner(TAutomationOptions options) : options_(std::move(options)) {}
    TAutomationRunner(const TAutomationRunner&) = delete;
    TAutomationRunner& operator=(const TAutomationRunner&) = delete;

    ~TAutomationRunner() {
        if (stop_)
            SetEvent(stop_);
        if (watchdog_) {
            WaitForSingleObject(watchdog_, INFINITE);
            CloseHandle(watchdog_);
        }
        if (stop_)
            CloseHandle(stop_);
        if (timer_)
            KillTimer(nullptr, timer_);
        if (window_)
            DestroyWindow(window_);
    }

    // `error`: why the script could not be read, if it could not.
    void Start(const std::string& text, const std::string& error) {
        started_ = true;
        started_at_ = GetTickCount64();
        CreateRunnerWindow();
        if (!window_) {
            Fail(0, "cannot create the automation window");
            return;
        }
        if (!error.empty()) {
            Fail(0, error);
            return;
        }
        try {
            script_ = ParseAutomationScript(text);
        } catch (const EAutomationScriptError& parse_error) {
            Fail(parse_error.Line(), parse_error.Reason());
            return;
        }
        stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        watchdog_ = CreateThread(nullptr, 0, &WatchdogProc, this, 0, nullptr);
        timer_ = SetTimer(nullptr, 0, TickMs, &TimerProc);
        if (!stop_ || !watchdog_ || !timer_)
            Fail(0, "cannot start the automation timer");
    }

    bool Running() const { return started_ && !finished_; }

private:
    enum TWait { wNone, wMarker, wSleep, wIdle };

    void CreateRunnerWindow() {
        static const bool registered = [] {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof wc;
            wc.lpfnWndProc = &WindowProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = RunnerWindowClass;
            return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
        }();
        if (!registered)
            return;
        window_ = CreateWindowExW(0, RunnerWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        if (window_)
            SetWindowLongPtrW(window_, GWLP_USERDATA, LONG_PTR(this));
    }

    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
        if (CurrentRunner && CurrentRunner->timer_ == id)
            CurrentRunner->Tick();
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
        auto* runner =
            reinterpret_cast<TAutomationRunner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (!runner)
            return DefWindowProcW(window, msg, wparam, lparam);
        switch (msg) {
        case WM_AUTOMATION_MARKER:
            runner->markers_seen_ = std::max(runner->markers_seen_, wparam);
            return 0;
        case WM_AUTOMATION_KEYSTATE:
            SetModifierState(wparam, lparam != 0);
            return 0;
        case WM_AUTOMATION_IDLE:
            runner->probe_posted_ = false;
            if (!runner->finished_ && runner->wait_ == wIdle)
                runner->CheckIdle();
            return 0;
        case WM_AUTOMATION_TIMEOUT:
            runner->TimedOut();
            return 0;
        default:
            return DefWindowProcW(window, msg, wparam, lparam);
        }
    }

    // The overall timeout. The timer cannot see it when the program's thread stops taking
    // timer messages (a flood of posted messages, a loop that never returns), so a thread of
    // its own watches the clock: it posts the timeout to the runner's window and, when
    // failures end the process and nothing happens, ends it itself.
    static DWORD WINAPI WatchdogProc(void* parameter) {
        auto* runner = static_cast<TAutomationRunner*>(parameter);
        if (WaitForSingleObject(runner->stop_, runner->options_.TimeoutMs) != WAIT_TIMEOUT)
            return 0;
        PostMessageW(runner->window_, WM_AUTOMATION_TIMEOUT, 0, 0);
        if (!runner->options_.ExitOnFailure ||
            WaitForSingleObject(runner->stop_, StuckGraceMs) != WAIT_TIMEOUT)
            return 0;
        runner->Report(runner->line_, "the script timed out after " +
                                          std::to_string(runner->options_.TimeoutMs) +
                                          " ms and the program does not answer");
        ExitProcess(AutomationFailureExitCode);
    }

    void TimedOut() {
        const std::string after = std::to_string(options_.TimeoutMs) + " ms";
        if (!finished_) {
            Fail(line_, "the script timed out after " + after);
        } else if (passed_ && options_.ExitOnFailure) {
            Report(line_, "the program was still running " + after +
                              " after the script began, "
                              "though the script had ended with quit");
            ExitProcess(AutomationFailureExitCode);
        }
    }

    // One step per tick, never two at once: a step that runs a nested loop (which the
    // posting of input avoids) holds the later ticks back until it returns.
    void Tick() {
        if (finished_ || in_tick_)
            return;
        in_tick_ = true;
        struct TReset {
            bool& flag;
            ~TReset() { flag = false; }
        } reset{in_tick_};
        if (wait_ != wNone) {
            if (WaitOver())
                wait_ = wNone;
            // Either way the next step starts on a later tick, so that the loop running now
            // has had a moment with an empty queue (a dialog shows itself then).
            return;
        }
        if (next_ >= script_.Steps.size()) {
            Fail(script_.LineCount, "the script ended without quit");
            return;
        }
        // How long the program took to be ready for its user: tests of start-up times read it.
        // The second line leaves out the system's time to start the process: it holds only
        // what the program itself did between starting the script and its first idle moment.
        if (next_ == 0) {
            Log("process age at the first step: " + std::to_string(ProcessAgeMs()) + " ms");
            Log("time from the script's start to the first step: " +
                std::to_string(GetTickCount64() - started_at_) + " ms");
        }
        const TScriptStep& step = script_.Steps[next_++];
        line_ = step.Line;
        Log(std::to_string(step.Line) + ": " + step.Source);
        try {
            Run(step);
        } catch (const std::exception& error) {
            Fail(step.Line, error.what());
        } catch (...) {
            Fail(step.Line, "an unknown error");
        }
    }

    bool WaitOver() {
        switch (wait_) {
        case wMarker:
            if (markers_seen_ >= markers_posted_)
                return true;
            if (Now() >= deadline_)
                Fail(line_, "the program did not take this step's input from its queue within " +
                                std::to_string(options_.IdleTimeoutMs) + " ms");
            return false;
        case wSleep:
            return Now() >= deadline_;
        case wIdle:
            CheckIdle();
            return wait_ == wNone;
        case wNone:
            break;
        }
        return true;
    }

    // Idle: no input, paint, posted or sent message waits. Posted messages come out of the
    // queue before timer messages do, so while they keep coming a probe posted behind them
    // checks again; input and paint come before timer messages too, and the next tick sees
    // them gone.
    void CheckIdle() {
        const DWORD waiting =
            HIWORD(GetQueueStatus(QS_INPUT | QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE));
        if (!waiting) {
            wait_ = wNone;
            return;
        }
        if (Now() >= deadline_) {
            Fail(line_, "the program did not become idle within " +
                            std::to_string(options_.IdleTimeoutMs) + " ms");
            return;
        }
        if ((waiting & QS_POSTMESSAGE) && !probe_posted_)
            probe_posted_ = PostMessageW(window_, WM_AUTOMATION_IDLE, 0, 0) != FALSE;
    }

    void Run(const TScriptStep& step) {
        switch (step.Command) {
        case scClick:
            Click(step.Target);
            break;
        case scType:
            Type(step.Target, Utf8ToWide(step.Text));
            break;
        case scKey:
            Key(step.Key);
            break;
        case scPick:
            Pick(step.Target, WPARAM(step.Number));
            break;
        case scWaitIdle:
            wait_ = wIdle;
            deadline_ = Now() + options_.IdleTimeoutMs;
            probe_posted_ = PostMessageW(window_, WM_AUTOMATION_IDLE, 0, 0) != FALSE;
            break;
        case scSleep:
            wait_ = wSleep;
            deadline_ = Now() + ULONGLONG(step.Number);
            break;
        case scDump: {
            const std::string json = DumpWindowsJson();
            WriteWholeFile(step.Text, json.data(), json.size());
            break;
        }
        case scScreenshot:
            Screenshot(step.Text, step.Target);
            break;
        case scExpect:
            Expect(step);
            break;
        case scQuit:
            Finish({true, step.Line, ""});
            break;
        }
    }

    // Input is posted, not sent: it waits in the queue as the user's would and is dispatched
    // by whatever loop runs, so a handler that opens a modal loop does so from the program's
    // own dispatch and the script goes on from inside that loop.
    void Post(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
        if (!PostMessageW(window, msg, wparam, lparam))
            StepFailed("cannot post a message to the window");
    }

    // A marker behind the step's input: the next step waits until it has been handled.
    void EndInput() {
        ++markers_posted_;
        Post(window_, WM_AUTOMATION_MARKER, markers_posted_, 0);
        wait_ = wMarker;
        deadline_ = Now() + options_.IdleTimeoutMs;
    }

    // The mouse as a user moves and presses it: WM_MOUSEMOVE, then the left button down and
    // up, in the client coordinates of the window under the pointer. A windowless control is
    // clicked through its parent's window, whose routing hands it the messages.
    void Click(const std::string& name) {
        TControl& control = ResolveControl(name);
        RequireUsable(control, name);
        HWND window = ShowingWindow(control);
        POINT at{};
        if (dynamic_cast<TWinControl*>(&control)) {
            RECT client{};
            GetClientRect(window, &client);
            if (client.right <= 0 || client.bottom <= 0)
                StepFailed(name + " has no size");
            at = {client.right / 2, client.bottom / 2};
        } else {
            if (control.Width() <= 0 || control.Height() <= 0)
                StepFailed(name + " has no size");
            at = {control.Left() + control.Width() / 2, control.Top() + control.Height() / 2};
            // The user's click lands on whatever is on top at that point.
            HWND child = ChildWindowFromPointEx(
                window, at, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED | CWP_SKIPTRANSPARENT);
            if (child && child != window) {
                TWinControl* cover = TWinControl::FromHandle(child);
                StepFailed(name + " is covered by the window of " +
                           (cover ? cover->Name() : WindowClassName(child)));
            }
            TControl* hit = control.Parent()->GraphicControlAt(at);
            if (hit != &control)
                StepFailed(name + " is covered by " + (hit ? hit->Name() : std::string("?")));
        }
        const LPARAM position = MAKELPARAM(at.x, at.y);
        Post(window, WM_MOUSEMOVE, 0, position);
        Post(window, WM_LBUTTONDOWN, MK_LBUTTON, position);
        Post(window, WM_LBUTTONUP, 0, position);
        EndInput();
    }

    // Characters as they arrive after the message loop translated the keys: WM_CHAR, one per
    // UTF-16 unit, to the window that has the focus once the control took it (a control may
    // give it to a child window of its own, as a combo box does to its edit).
    void Type(const std::string& name, const std::wstring& text) {
        TControl& control = ResolveControl(name);
        auto* windowed = dynamic_cast<TWinControl*>(&control);
        if (!windowed)
            StepFailed(name + " has no window to type into");
        RequireUsable(control, name);
        HWND window = windowed->Handle();
        ::SetFocus(window);
        HWND focus = GetFocus();
        if (!focus || (focus != window && !IsChild(window, focus)))
            StepFailed(name + " does not take the keyboard focus");
        for (const wchar_t unit : text)
            Post(focus, WM_CHAR, WPARAM(unit), 1);
        EndInput();
    }

    // A key as the keyboard delivers it: the modifiers go down, the key goes down and up, the
    // modifiers go up. The message loop translates the key into its character (WM_CHAR or
    // WM_SYSCHAR), as it does for real keys, so no character is posted here: it would arrive
    // twice. The keyboard state that GetKeyState reports (Shift+Tab in dialog navigation)
    // is set by messages posted in the same stream, so it changes when the keys are taken
    // from the queue rather than when they are posted. With Alt held (and not Ctrl), the keys
    // are system keys; Alt itself goes up as a plain key after a combination, as the
    // keyboard sends it, so that no menu mode starts.
    void Key(const TKeyStroke& stroke) {
        HWND target = KeyboardTarget();
        const WPARAM modifiers =
            (stroke.Shift ? ModShift : 0) | (stroke.Ctrl ? ModCtrl : 0) | (stroke.Alt ? ModAlt : 0);
        const bool system = stroke.Alt && !stroke.Ctrl;
        const UINT down = system ? WM_SYSKEYDOWN : WM_KEYDOWN;
        const UINT up = system ? WM_SYSKEYUP : WM_KEYUP;
        Post(window_, WM_AUTOMATION_KEYSTATE, modifiers, 1);
        if (stroke.Ctrl)
            Post(target, WM_KEYDOWN, VK_CONTROL, KeyData(VK_CONTROL, false, false, false));
        if (stroke.Alt)
            Post(target, down, VK_MENU, KeyData(VK_MENU, false, false, system));
        if (stroke.Shift)
            Post(target, down, VK_SHIFT, KeyData(VK_SHIFT, false, false, system));
        Post(target, down, stroke.VirtualKey,
             KeyData(stroke.VirtualKey, stroke.Extended, false, system));
        Post(target, up, stroke.VirtualKey,
             KeyData(stroke.VirtualKey, stroke.Extended, true, system));
        if (stroke.Shift)
            Post(target, up, VK_SHIFT, KeyData(VK_SHIFT, false, true, system));
        if (stroke.Alt)
            Post(target, WM_KEYUP, VK_MENU, KeyData(VK_MENU, false, true, false));
        if (stroke.Ctrl)
            Post(target, WM_KEYUP, VK_CONTROL, KeyData(VK_CONTROL, false, true, false));
        Post(window_, WM_AUTOMATION_KEYSTATE, modifiers, 0);
        EndInput();
    }

    // A pick in a list: the control takes the focus, the entry is selected, and the parent is
    // told with the notification the control sends after a pick (CBN_SELCHANGE, or
    // LBN_SELCHANGE from a list box with LBS_NOTIFY). The selection messages do not notify,
    // so this is the one notification, as after a user's pick; it carries the same
    // parameters the control's own WM_COMMAND carries and reaches the same window procedure.
    // It is posted rather than sent for the same reason input is: a handler may open a modal
    // loop. What a pick through the drop-down also sends (CBN_DROPDOWN, CBN_SELENDOK,
    // CBN_CLOSEUP) is not imitated.
    void Pick(const std::string& name, WPARAM index) {
        TControl& control = ResolveControl(name);
        auto* windowed = dynamic_cast<TWinControl*>(&control);
        HWND window = windowed && windowed->HandleAllocated() ? windowed->Handle() : nullptr;
        const std::string window_class = window ? WindowClassName(window) : std::string();
        const bool combo = SameText(window_class, "ComboBox");
        const bool list = SameText(window_class, "ListBox");
        if (!combo && !list)
            StepFailed(name + " is not a combo box or list box");
        RequireUsable(control, name);
        const LRESULT count = SendMessageW(window, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
        if (count < 0 || index >= WPARAM(count))
            StepFailed(name + " has " + std::to_string(count) + " entries, no entry " +
                       std::to_string(index));
        ::SetFocus(window);
        const int id = GetDlgCtrlID(window);
        HWND parent = GetParent(window);
        if (combo) {
            SendMessageW(window, CB_SETCURSEL, index, 0);
            Post(parent, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), LPARAM(window));
        } else {
            const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
            if (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) {
                SendMessageW(window, LB_SETSEL, FALSE, -1);
                SendMessageW(window, LB_SETSEL, TRUE, LPARAM(index));
                SendMessageW(window, LB_SETCARETINDEX, index, FALSE);
            } else {
                SendMessageW(window, LB_SETCURSEL, index, 0);
            }
            if (style & LBS_NOTIFY)
                Post(parent, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), LPARAM(window));
        }
        EndInput();
    }

    // The window as it is on the screen, read through its own device context once pending
    // paints are done: a whole top-level window or windowed control, frame included, or the
    // part of the parent's client area where a windowless control is.
    void Screenshot(const std::string& file, const std::string& name) {
        HWND window = nullptr;
        bool windowless = false;
        RECT area{};
        if (name.empty()) {
            window = GetActiveWindow();
            if (!window || !IsWindowVisible(window))
                StepFailed("no window of the program is active");
        } else {
            TControl& control = ResolveControl(name);
            RequireShowing(control, name);
            window = ShowingWindow(control);
            windowless = !dynamic_cast<TWinControl*>(&control);
            area = control.BoundsRect();
        }
        RedrawWindow(GetAncestor(window, GA_ROOT), nullptr, nullptr,
                     RDW_UPDATENOW | RDW_ALLCHILDREN);
        const TBitmap image =
            windowless ? Crop(CaptureClient(window), area) : CaptureWindow(window);
        const std::vector<std::uint8_t> png = EncodePNG(image);
        WriteWholeFile(file, png.data(), png.size());
    }

    void Expect(const TScriptStep& step) {
        std::vector<std::string> parts;
        for (std::size_t start = 0;;) {
            const std::size_t dot = step.Target.find('.', start);
            parts.push_back(step.Target.substr(start, dot - start));
            if (dot == std::string::npos)
                break;
            start = dot + 1;
        }
        const auto join = [&parts](std::size_t from) {
            std::string joined;
            for (std::size_t i = from; i < parts.size(); ++i)
                joined += (i > from ? "." : "") + parts[i];
            return joined;
        };
        // FORM.NAME.PROPERTY when FORM.NAME names a component; NAME.PROPERTY (the property
        // may have dots itself: Font.Name) otherwise.
        TComponent* target = nullptr;
        std::string property;
        if (parts.size() >= 3)
            if (TForm* form = FormNamed(parts[0]))
                if ((target = FindIn(*form, parts[1])))
                    property = join(2);
        if (!target) {
            target = &Resolve(parts[0]);
            property = join(1);
        }
        const std::string actual = PropertyText(*target, property);
        if (actual != step.Text)
            StepFailed("expect " + step.Target + ": expected " + step.Text + ", found " + actual);
    }

    static std::string PropertyText(TComponent& component, const std::string& property) {
        if (property == "Focused" || property == "Showing") {
            auto* control = dynamic_cast<TControl*>(&component);
            if (!control)
                StepFailed(component.Name() + " is not a control");
            auto* windowed = dynamic_cast<TWinControl*>(control);
            const bool value =
                property == "Showing" ? control->Showing() : windowed && windowed->Focused();
            return value ? "true" : "false";
        }
        const TPropertyInfo* info = component.ClassInfo().FindProperty(property);
        if (!info)
            StepFailed(component.Name() + " (" + component.ClassName() +
                       ") has no published property " + property);
        if (!info->Get)
            StepFailed("the property " + property + " of " + component.ClassName() +
                       " cannot be read");
        return info->Get(component);
    }

    void Fail(int line, const std::string& message) {
        if (finished_)
            return;
        Report(line, message);
        Finish({false, line, message});
    }

    // The failure's message, once, from whichever thread sees it first; when failures end
    // the process, it ends here.
    void Report(int line, const std::string& message) {
        if (reported_.exchange(true))
            return;
        const std::string text = "automation: " + std::to_string(line) + ": " + message;
        HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
        if (error && error != INVALID_HANDLE_VALUE) {
            const std::string output = text + "\n";
            DWORD written = 0;
            WriteFile(error, output.data(), DWORD(output.size()), &written, nullptr);
        }
        Log(text);
        if (options_.ExitOnFailure)
            ExitProcess(AutomationFailureExitCode);
    }

    void Finish(const TAutomationOutcome& outcome) {
        finished_ = true;
        passed_ = outcome.Passed;
        if (timer_) {
            KillTimer(nullptr, timer_);
            timer_ = 0;
        }
        // After quit, a process that ends on failure keeps the watchdog: a program that does
        // not close is a failure too.
        if (stop_ && !(passed_ && options_.ExitOnFailure))
            SetEvent(stop_);
        if (outcome.Passed)
            Log("automation: passed");
        if (options_.OnFinished)
            options_.OnFinished(outcome);
        if (Application)
            Application->Terminate();
        else
            PostQuitMessage(0);
    }

    void Log(const std::string& line) {
        if (options_.LogPath.empty())
            return;
        std::lock_guard<std::mutex> lock(log_mutex_);
        if (FILE* file = _wfopen(options_.LogPath.c_str(), L"ab")) {
            std::fwrite(line.data(), 1, line.size(), file);
            std::fputc('\n', file);
            std::fclose(file);
        }
    }

    TAutomationOptions options_;
    TAutomationScript script_;
    std::size_t next_ = 0;
    HWND window_ = nullptr;
    UINT_PTR timer_ = 0;
    HANDLE stop_ = nullptr;
    HANDLE watchdog_ = nullptr;
    bool started_ = false;
    ULONGLONG started_at_ = 0;
    bool finished_ = false;
    bool passed_ = false;
    bool in_tick_ = false;
    std::atomic<bool> reported_{false};
    std::atomic<int> line_{0}; // the step running or last run
    TWait wait_ = wNone;
    ULONGLONG deadline_ = 0;
    WPARAM markers_posted_ = 0;
    WPARAM markers_seen_ = 0;
    bool probe_posted_ = false;
    std::mutex log_mutex_;
};

std::wstring EnvironmentVariable(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return {};
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), size));
    return value;
}

void Launch(const std::string& text, const std::string& error, TAutomationOptions options) {
    StopAutomation();
    CurrentRunner = new TAutomationRunner(std::move(options));
    CurrentRunner->Start(text, error);
}

// The script file's text, or why it cannot be read.
std::string ReadScript(const std::wstring& path, std::string& error) {
    try {
        return ReadWholeFile(path);
    } catch (const std::exception& failure) {
        error = failure.what();
        return {};
    }
}

} // namespace

bool StartAutomationFromEnvironment() {
    const std::wstring path = EnvironmentVariable(L"KALVO_AUTOMATION");
    if (path.empty())
        return false;
    TAutomationOptions options;
    options.LogPath = EnvironmentVariable(L"KALVO_AUTOMATION_LOG");
    std::string error;
    const std::wstring timeout = EnvironmentVariable(L"KALVO_AUTOMATION_TIMEOUT");
    if (!timeout.empty()) {
        wchar_t* end = nullptr;
        const unsigned long value = std::wcstoul(timeout.c_str(), &end, 10);
        if (*end || value == 0 || value > 24ul * 3600 * 1000 || timeout.front() == L'-')
            error = "KALVO_AUTOMATION_TIMEOUT must be a number of milliseconds, not " +
                    WideToUtf8(timeout);
        else
            options.TimeoutMs = unsigned(value);
    }
    const std::string text = error.empty() ? ReadScript(path, error) : std::string();
    Launch(text, error, std::move(options));
    return true;
}

int RunWithAutomationFromEnvironment(TApplication& application) {
    const bool scripted = StartAutomationFromEnvironment();
    application.Run();
    if (scripted && AutomationRunning()) {
        std::fputs("automation: the program ended before the script did\n", stderr);
        return AutomationFailureExitCode;
    }
    return 0;
}

void StartAutomation(const std::wstring& script_text_or_path, TAutomationOptions options) {
    const DWORD attributes = script_text_or_path.find(L'\n') == std::wstring::npos
                                 ? GetFileAttributesW(script_text_or_path.c_str())
                                 : INVALID_FILE_ATTRIBUTES;
    const bool file = !script_text_or_path.empty() && attributes != INVALID_FILE_ATTRIBUTES &&
                      !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    std::string error;
    const std::string text =
        file ? ReadScript(script_text_or_path, error) : WideToUtf8(script_text_or_path);
    Launch(text, error, std::move(options));
}

void StopAutomation() {
    delete CurrentRunner;
    CurrentRunner = nullptr;
}

bool AutomationRunning() {
    return CurrentRunner && CurrentRunner->Running();
}

} // namespace kalvo
