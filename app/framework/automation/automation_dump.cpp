#include "app/framework/automation/automation_dump.h"

#include "app/framework/class_info.h"
#include "app/framework/platform/text_convert.h"
#include "app/framework/win_control.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <set>
#include <string_view>
#include <vector>

namespace kalvo {

namespace {

// Writes JSON with two blanks of indentation per level; short arrays of numbers and strings
// stay on one line.
class TJsonWriter {
public:
    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }

    void Key(std::string_view key) {
        Separate();
        Quote(key);
        out_ += ": ";
        after_key_ = true;
    }
    void String(std::string_view text) {
        Separate();
        Quote(text);
    }
    void Integer(long long value) {
        Separate();
        out_ += std::to_string(value);
    }
    void Boolean(bool value) {
        Separate();
        out_ += value ? "true" : "false";
    }
    template <std::size_t N> void Integers(const std::array<int, N>& values) {
        Separate();
        out_ += '[';
        for (std::size_t i = 0; i < values.size(); ++i)
            out_ += (i ? ", " : "") + std::to_string(values[i]);
        out_ += ']';
    }
    void Strings(const std::vector<std::string>& values) {
        Separate();
        out_ += '[';
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i)
                out_ += ", ";
            Quote(values[i]);
        }
        out_ += ']';
    }

    std::string Take() { return std::move(out_) + "\n"; }

private:
    void Open(char bracket) {
        Separate();
        out_ += bracket;
        empty_.push_back(true);
    }
    void Close(char bracket) {
        const bool empty = empty_.back();
        empty_.pop_back();
        if (!empty)
            NewLine();
        out_ += bracket;
    }
    // Before a key or a value: the comma and line break, unless a key was just written.
    void Separate() {
        if (after_key_) {
            after_key_ = false;
            return;
        }
        if (empty_.empty())
            return;
        if (!empty_.back())
            out_ += ',';
        empty_.back() = false;
        NewLine();
    }
    void NewLine() {
        out_ += '\n';
        out_.append(empty_.size() * 2, ' ');
    }
    void Quote(std::string_view text) {
        out_ += '"';
        for (const char ch : text) {
            switch (ch) {
            case '"':
                out_ += "\\\"";
                break;
            case '\\':
                out_ += "\\\\";
                break;
            case '\b':
                out_ += "\\b";
                break;
            case '\f':
                out_ += "\\f";
                break;
            case '\n':
                out_ += "\\n";
                break;
            case '\r':
                out_ += "\\r";
                break;
            case '\t':
                out_ += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(ch) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(ch));
                    out_ += escaped;
                } else {
                    out_ += ch; // UTF-8 bytes go as they are
                }
            }
        }
        out_ += '"';
    }

    std::string out_;
    std::vector<bool> empty_; // per open object or array: nothing written in it yet
    bool after_key_ = false;
};

std::string WindowClass(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return WideToUtf8(name);
}

std::string WindowText(HWND window) {
    std::wstring text(std::size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(window, text.data(), int(text.size()))));
    return WideToUtf8(text);
}

bool IsTopLevel(HWND window) {
    return !(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD);
}

std::array<int, 4> WindowBounds(HWND window) {
    RECT bounds{};
    GetWindowRect(window, &bounds);
    if (!IsTopLevel(window))
        MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&bounds), 2);
    return {int(bounds.left), int(bounds.top), int(bounds.right - bounds.left),
            int(bounds.bottom - bounds.top)};
}

// Child windows from the back of the z-order to the front.
std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> children;
    HWND top = GetWindow(parent, GW_CHILD);
    for (HWND child = top ? GetWindow(top, GW_HWNDLAST) : nullptr; child;
         child = GetWindow(child, GW_HWNDPREV))
        children.push_back(child);
    return children;
}

class TDumper {
public:
    void Window(HWND window) {
        if (TWinControl* control = TWinControl::FromHandle(window))
            Control(*control);
        else
            PlainWindow(window);
    }

    void Control(TControl& control) {
        auto* windowed = dynamic_cast<TWinControl*>(&control);
        HWND window = windowed && windowed->HandleAllocated() ? windowed->Handle() : nullptr;
        json.BeginObject();
        json.Key("class");
        json.String(control.ClassName());
        json.Key("name");
        json.String(control.Name());
        json.Key("text");
        json.String(WideToUtf8(control.Text()));
        json.Key("bounds");
        json.Integers(window ? WindowBounds(window)
                             : std::array<int, 4>{control.Left(), control.Top(), control.Width(),
                                                  control.Height()});
        json.Key("visible");
        json.Boolean(window ? (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0
                            : control.Visible());
        json.Key("enabled");
        json.Boolean(window ? IsWindowEnabled(window) != FALSE : control.Enabled());
        json.Key("focused");
        json.Boolean(window && window == focus_);
        Published(control, "checked", "Checked");
        Published(control, "itemIndex", "ItemIndex");
        Published(control, "items", "Items");
        Published(control, "position", "Position");
        if (window && IsTopLevel(window))
            Topmost(window);
        if (windowed)
            Children(*windowed, window);
        json.EndObject();
    }

    TJsonWriter json;

private:
    void PlainWindow(HWND window) {
        json.BeginObject();
        json.Key("class");
        json.String(WindowClass(window));
        json.Key("name");
        json.String("");
        json.Key("text");
        json.String(WindowText(window));
        json.Key("bounds");
        json.Integers(WindowBounds(window));
        json.Key("visible");
        json.Boolean((GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0);
        json.Key("enabled");
        json.Boolean(IsWindowEnabled(window) != FALSE);
        json.Key("focused");
        json.Boolean(window == focus_);
        if (IsTopLevel(window))
            Topmost(window);
        json.Key("children");
        json.BeginArray();
        for (HWND child : ChildWindows(window))
            Window(child);
        json.EndArray();
        json.EndObject();
    }

    // Top-level windows also say where their client area starts on the screen, which tests
    // that give real input through the display need.
    void Topmost(HWND window) {
        json.Key("topmost");
        json.Boolean((GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        json.Key("clientOrigin");
        json.Integers(std::array<int, 2>{int(origin.x), int(origin.y)});
    }

    // Windowless children are painted by the parent, under every child window; the windows
    // stack as the window manager has them.
    void Children(TWinControl& parent, HWND window) {
        json.Key("children");
        json.BeginArray();
        for (TControl* child : parent.Controls())
            if (!dynamic_cast<TWinControl*>(child))
                Control(*child);
        std::set<TControl*> listed;
        if (window)
            for (HWND child_window : ChildWindows(window)) {
                TWinControl* child = TWinControl::FromHandle(child_window);
                if (child && child->Parent() == &parent && listed.insert(child).second)
                    Control(*child);
            }
        // Children whose windows do not exist yet, in the order they were added.
        for (TControl* child : parent.Controls())
            if (dynamic_cast<TWinControl*>(child) && !listed.count(child))
                Control(*child);
        json.EndArray();
    }

    // The value a published property's getter writes (the notation of form definitions),
    // read back with the definition parser and written as the JSON value it stands for.
    void Published(TComponent& component, const char* key, const char* property) {
        const TPropertyInfo* info = component.ClassInfo().FindProperty(property);
        if (!info || !info->Get)
            return;
        const std::string notation = info->Get(component);
        json.Key(key);
        try {
            const TFormObject object = ParseFormDefinition(
                "object Value : TValue {\n    Value = " + notation + "\n}\n", "value");
            if (object.Properties.size() == 1 && object.Children.empty()) {
                const TFormValue& value = object.Properties[0].Value;
                switch (value.Kind) {
                case fvInteger:
                    json.Integer(value.Integer);
                    return;
                case fvBoolean:
                    json.Boolean(value.Boolean);
                    return;
                case fvString:
                case fvIdentifier:
                    json.String(value.Text);
                    return;
                case fvStrings:
                case fvSet:
                    json.Strings(value.List);
                    return;
                default:
                    break;
                }
            }
        } catch (const EFormDefinitionError&) {
            // Not in the notation: the text as it is.
        }
        json.String(notation);
    }

    HWND focus_ = GetFocus();
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> ThreadWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, LPARAM(&windows));
    return windows;
}

std::string DumpWindowsJson() {
    std::vector<HWND> windows = ThreadWindows();
    // The enumeration runs from the front to the back.
    std::reverse(windows.begin(), windows.end());
    TDumper dumper;
    dumper.json.BeginArray();
    for (HWND window : windows)
        if (TWinControl::FromHandle(window) || WindowClass(window) == "#32770")
            dumper.Window(window);
    dumper.json.EndArray();
    return dumper.json.Take();
}

std::string DumpControlJson(TControl& control) {
    TDumper dumper;
    dumper.Control(control);
    return dumper.json.Take();
}

} // namespace kalvo
