#include "app/framework/automation/automation_runner.h"
#include "app/framework/class_info.h"
#include "app/framework/controls/button.h"
#include "app/framework/form.h"
#include "app/framework/platform/text_convert.h"
#include "imaging/file_bytes.h"
#include "tests/framework/support/framework_fixture.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>
#include <zlib.h>

namespace kalvo {
namespace {

namespace fs = std::filesystem;

// ---- A small JSON reader, to read the dump back independently of its writer ----

struct Json {
    enum Kind { Null, Boolean, Number, String, Array, Object } kind = Null;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<Json> items;
    std::vector<std::pair<std::string, Json>> members;

    const Json* Find(const std::string& key) const {
        for (const auto& [name, value] : members)
            if (name == key)
                return &value;
        return nullptr;
    }
    const Json& operator[](const std::string& key) const {
        if (const Json* value = Find(key))
            return *value;
        throw std::runtime_error("no member " + key);
    }
};

class JsonReader {
public:
    explicit JsonReader(std::string_view text) : text_(text) {}

    Json Document() {
        Json value = Value();
        Blanks();
        if (at_ != text_.size())
            Fail("text after the value");
        return value;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw std::runtime_error("JSON: " + what + " at " + std::to_string(at_));
    }
    void Blanks() {
        while (at_ < text_.size() && std::strchr(" \t\r\n", text_[at_]))
            ++at_;
    }
    bool Take(char ch) {
        Blanks();
        if (at_ < text_.size() && text_[at_] == ch) {
            ++at_;
            return true;
        }
        return false;
    }
    void Expect(char ch) {
        if (!Take(ch))
            Fail(std::string("expected ") + ch);
    }
    bool Word(std::string_view word) {
        if (text_.substr(at_, word.size()) != word)
            return false;
        at_ += word.size();
        return true;
    }
    Json Value() {
        Blanks();
        Json value;
        if (at_ >= text_.size())
            Fail("no value");
        const char ch = text_[at_];
        if (ch == '{') {
            value.kind = Json::Object;
            ++at_;
            if (!Take('}')) {
                do {
                    Blanks();
                    std::string key = Text();
                    Expect(':');
                    value.members.emplace_back(std::move(key), Value());
                } while (Take(','));
                Expect('}');
            }
        } else if (ch == '[') {
            value.kind = Json::Array;
            ++at_;
            if (!Take(']')) {
                do
                    value.items.push_back(Value());
                while (Take(','));
                Expect(']');
            }
        } else if (ch == '"') {
            value.kind = Json::String;
            value.text = Text();
        } else if (Word("true") || Word("false")) {
            value.kind = Json::Boolean;
            value.boolean = text_[at_ - 1] == 'e' && text_[at_ - 2] == 'u';
        } else if (Word("null")) {
        } else {
            value.kind = Json::Number;
            const std::size_t start = at_;
            while (at_ < text_.size() && std::strchr("+-0123456789.eE", text_[at_]))
                ++at_;
            if (start == at_)
                Fail("unexpected character");
            value.number = std::stod(std::string(text_.substr(start, at_ - start)));
        }
        return value;
    }
    unsigned Hex4() {
        if (at_ + 4 > text_.size())
            Fail("short \\u escape");
        const unsigned code = unsigned(std::stoul(std::string(text_.substr(at_, 4)), nullptr, 16));
        at_ += 4;
        return code;
    }
    std::string Text() {
        if (at_ >= text_.size() || text_[at_] != '"')
            Fail("expected a string");
        ++at_;
        std::string out;
        while (true) {
            if (at_ >= text_.size())
                Fail("unterminated string");
            const char ch = text_[at_++];
            if (ch == '"')
                return out;
            if (static_cast<unsigned char>(ch) < 0x20)
                Fail("raw control character in a string");
            if (ch != '\\') {
                out += ch;
                continue;
            }
            const char escape = at_ < text_.size() ? text_[at_++] : '\0';
            switch (escape) {
            case '"':
            case '\\':
            case '/':
                out += escape;
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                unsigned code = Hex4();
                if (code >= 0xD800 && code < 0xDC00 && Word("\\u"))
                    code = 0x10000 + ((code - 0xD800) << 10) + (Hex4() - 0xDC00);
                out += WideToUtf8(code < 0x10000
                                      ? std::wstring(1, wchar_t(code))
                                      : std::wstring{wchar_t(0xD800 + ((code - 0x10000) >> 10)),
                                                     wchar_t(0xDC00 + (code & 0x3FF))});
                break;
            }
            default:
                Fail("bad escape");
            }
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

Json ReadJson(const fs::path& file) {
    const std::vector<std::uint8_t> bytes = ReadFileBytes(file);
    return JsonReader(std::string(bytes.begin(), bytes.end())).Document();
}

// The object of that component name, searching the whole tree.
const Json* FindNamed(const Json& node, const std::string& name) {
    if (node.kind == Json::Object && node.Find("name") && node["name"].text == name)
        return &node;
    const std::vector<Json>* list = node.kind == Json::Array ? &node.items : nullptr;
    if (node.kind == Json::Object && node.Find("children"))
        list = &node["children"].items;
    if (list)
        for (const Json& item : *list)
            if (const Json* found = FindNamed(item, name))
                return found;
    return nullptr;
}

std::vector<std::string> ChildNames(const Json& object) {
    std::vector<std::string> names;
    for (const Json& child : object["children"].items)
        names.push_back(child["name"].text);
    return names;
}

std::vector<int> Bounds(const Json& object) {
    std::vector<int> bounds;
    for (const Json& number : object["bounds"].items)
        bounds.push_back(int(number.number));
    return bounds;
}

std::vector<int> WindowBounds(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {int(r.left), int(r.top), int(r.right - r.left), int(r.bottom - r.top)};
}

// ---- PNG files as the screenshot writes them (8-bit RGB rows) ----

struct Png {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rows; // a filter byte, then R, G, B per pixel

    TColor Pixel(int x, int y) const {
        const std::uint8_t* p =
            rows.data() + std::size_t(y) * (std::size_t(width) * 3 + 1) + 1 + std::size_t(x) * 3;
        return RGBColor(p[0], p[1], p[2]);
    }
};

Png ReadPng(const fs::path& file) {
    const std::vector<std::uint8_t> bytes = ReadFileBytes(file);
    const auto u32 = [&bytes](std::size_t at) {
        return std::uint32_t(bytes.at(at)) << 24 | std::uint32_t(bytes.at(at + 1)) << 16 |
               std::uint32_t(bytes.at(at + 2)) << 8 | bytes.at(at + 3);
    };
    if (bytes.size() < 8 || std::memcmp(bytes.data(), "\x89PNG\r\n\x1a\n", 8) != 0)
        throw std::runtime_error("not a PNG file");
    Png png;
    std::vector<std::uint8_t> packed;
    for (std::size_t at = 8; at + 8 <= bytes.size();) {
        const std::uint32_t length = u32(at);
        const std::string type(bytes.begin() + long(at) + 4, bytes.begin() + long(at) + 8);
        const std::size_t data = at + 8;
        if (type == "IHDR") {
            png.width = int(u32(data));
            png.height = int(u32(data + 4));
            if (bytes.at(data + 8) != 8 || bytes.at(data + 9) != 2)
                throw std::runtime_error("not 8-bit RGB");
        } else if (type == "IDAT") {
            packed.insert(packed.end(), bytes.begin() + long(data),
                          bytes.begin() + long(data + length));
        }
        at = data + length + 4;
    }
    uLongf size = uLongf((std::size_t(png.width) * 3 + 1) * std::size_t(png.height));
    png.rows.resize(size);
    if (uncompress(png.rows.data(), &size, packed.data(), uLong(packed.size())) != Z_OK ||
        size != png.rows.size())
        throw std::runtime_error("bad image data");
    return png;
}

// ---- Controls of the test ----

// A windowless control that fills itself with one colour. It publishes the properties the
// dump reports where a class has them.
class TSwatch : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    static const TClassInfo& StaticClassInfo() {
        static const TClassInfo info =
            TClassBuilder<TSwatch>("TSwatch", &TGraphicControl::StaticClassInfo())
                .Boolean(
                    "Checked", [](const TSwatch& s) { return s.checked; },
                    [](TSwatch& s, bool on) { s.checked = on; })
                .Integer(
                    "ItemIndex", [](const TSwatch& s) { return s.item_index; },
                    [](TSwatch& s, int index) { s.item_index = index; })
                .Integer(
                    "Position", [](const TSwatch& s) { return s.position; },
                    [](TSwatch& s, int position) { s.position = position; })
                .Property({"Items",
                           pkStrings,
                           nullptr,
                           {},
                           [](const TComponent& c) {
                               std::string text = "strings {";
                               for (const std::wstring& item : static_cast<const TSwatch&>(c).items)
                                   text += " " + QuoteString(item);
                               return text + " }";
                           }})
                .Build();
        return info;
    }
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    TColor colour = RGBColor(255, 0, 0);
    bool checked = false;
    int item_index = -1;
    int position = 0;
    std::vector<std::wstring> items;

protected:
    void Paint(HDC dc) override {
        RECT all{0, 0, Width(), Height()};
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
};

// A control over a system class chosen by the test, with what its notifications said.
class TSystemWindow : public TWinControl {
public:
    TSystemWindow(TComponent* owner, const wchar_t* window_class, DWORD style)
        : TWinControl(owner), window_class_(window_class), style_(style) {
        TabStop = true;
    }
    std::vector<std::wstring> entries;
    std::vector<int> notified; // the selection when each selection notification came

protected:
    void CreateParams(TCreateParams& params) override {
        TWinControl::CreateParams(params);
        params.ClassName = window_class_;
        params.Style |= style_;
    }
    void CreateWnd() override {
        TWinControl::CreateWnd();
        const bool combo = window_class_ == L"COMBOBOX";
        for (const std::wstring& entry : entries)
            SendMessageW(Handle(), combo ? CB_ADDSTRING : LB_ADDSTRING, 0, LPARAM(entry.c_str()));
    }
    void WndProc(TMessage& message) override {
        if (message.Msg == CN_COMMAND &&
            (HIWORD(message.WParam) == CBN_SELCHANGE || HIWORD(message.WParam) == LBN_SELCHANGE))
            notified.push_back(int(SendMessageW(
                Handle(), window_class_ == L"COMBOBOX" ? CB_GETCURSEL : LB_GETCURSEL, 0, 0)));
        TWinControl::WndProc(message);
    }

private:
    std::wstring window_class_;
    DWORD style_;
};

// The main form of most tests:
//   Back, Front  windowless swatches, Front partly over Back
//   Go, Stop     buttons; Hidden (invisible) and Disabled buttons
//   Field        an EDIT window
//   Choice       a drop-down list (COMBOBOX); List, a list box with LBS_NOTIFY
struct Scene {
    TForm main{nullptr};
    TSwatch back{&main};
    TButton go{&main};
    TSwatch front{&main};
    TButton stop{&main};
    TSystemWindow field{&main, L"EDIT", WS_BORDER | ES_AUTOHSCROLL};
    TButton hidden{&main};
    TButton disabled{&main};
    TSystemWindow choice{&main, L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL};
    TSystemWindow list{&main, L"LISTBOX", WS_BORDER | LBS_NOTIFY};
    std::map<std::string, int> clicks;

    Scene() {
        main.SetName("Main");
        main.SetText(L"Automation");
        main.BorderStyle = bsSingle;
        main.SetBounds(40, 40, 0, 0);
        main.SetClientSize(400, 260);
        Place(back, "Back", {10, 10, 60, 40});
        Place(go, "Go", {100, 10, 75, 25});
        Place(front, "Front", {50, 35, 40, 30});
        Place(stop, "Stop", {100, 50, 75, 25});
        Place(field, "Field", {10, 100, 150, 22});
        Place(hidden, "Hidden", {200, 10, 75, 25});
        Place(disabled, "Disabled", {200, 50, 75, 25});
        Place(choice, "Choice", {200, 100, 120, 120});
        Place(list, "List", {200, 140, 120, 80});
        front.colour = RGBColor(0, 0, 255);
        go.SetText(L"Go");
        stop.SetText(L"Stop");
        hidden.SetVisible(false);
        disabled.SetEnabled(false);
        choice.entries = {L"red", L"green", L"blue"};
        list.entries = {L"one", L"two", L"three", L"four"};
    }
    void Place(TControl& control, const char* name, RECT bounds) {
        control.SetName(name);
        control.SetBounds(bounds.left, bounds.top, bounds.right, bounds.bottom);
        control.SetParent(&main);
        control.OnClick = [this, name](TComponent*) {
            ++clicks[name];
        };
    }
};

std::string Quoted(const fs::path& path) {
    return "\"" + WideToUtf8(path.generic_wstring()) + "\"";
}

class AutomationTest : public test::FrameworkTest {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("kalvo-automation-" +
                   std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override {
        StopAutomation();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    fs::path File(const char* name) const { return folder_ / name; }

    // Runs a script in this process through the loop of `loop` (made the application for the
    // time of the run) until it ends; the log starts empty.
    TAutomationOutcome RunWith(TApplication& loop, const std::string& script,
                               TAutomationOptions options = {}) {
        TApplication* const saved = Application;
        Application = &loop;
        fs::remove(File("log.txt"));
        std::optional<TAutomationOutcome> outcome;
        options.ExitOnFailure = false;
        options.LogPath = File("log.txt").wstring();
        options.OnFinished = [&](const TAutomationOutcome& result) {
            outcome = result;
            finished_ = true;
        };
        finished_ = false;
        StartAutomation(Utf8ToWide(script), std::move(options));
        while (!loop.Terminated())
            loop.HandleMessage(true);
        EXPECT_FALSE(AutomationRunning());
        StopAutomation();
        Application = saved;
        return outcome.value_or(TAutomationOutcome{false, -1, "the script did not end"});
    }
    // The same with a loop of its own.
    TAutomationOutcome Run(const std::string& script, TAutomationOptions options = {}) {
        TApplication loop;
        return RunWith(loop, script, std::move(options));
    }

    std::string RawLog() const {
        const std::vector<std::uint8_t> bytes = ReadFileBytes(File("log.txt"));
        return std::string(bytes.begin(), bytes.end());
    }
    // The log without its two timing lines (the process's age and the time from the
    // script's start, which vary), when it has them.
    std::string Log() const {
        std::string log = RawLog();
        for (const char* timing : {"process age at the first step: ",
                                   "time from the script's start to the first step: "}) {
            if (log.rfind(timing, 0) != 0)
                break;
            const std::size_t end = log.find('\n');
            log = end == std::string::npos ? std::string() : log.substr(end + 1);
        }
        return log;
    }

    fs::path folder_;
    bool finished_ = false;
};

#define EXPECT_PASSED(outcome)                                                                     \
    EXPECT_TRUE((outcome).Passed) << (outcome).Line << ": " << (outcome).Message

// Clicks reach windowed and windowless controls; an unqualified name is looked up in the
// active form first (Other stays on top of the z-order but is not active), a qualified one in
// its form only.
TEST_F(AutomationTest, ClickReachesWindowedAndWindowlessControlsByName) {
    Scene scene;
    TForm other(nullptr);
    other.SetName("Other");
    other.FormStyle = fsStayOnTop;
    other.SetBounds(500, 40, 200, 120);
    TButton other_go(&other);
    other_go.SetName("Go");
    other_go.SetParent(&other);
    int other_clicks = 0;
    other_go.OnClick = [&](TComponent*) {
        ++other_clicks;
    };
    other.Show();
    scene.main.Show();
    SetForegroundWindow(scene.main.Handle());
    ASSERT_EQ(GetActiveWindow(), scene.main.Handle());

    const TAutomationOutcome outcome = Run("click Go\n"
                                           "click Other.Go\n"
                                           "click Other.Go\n"
                                           "click Back\n"
                                           "click Main.Front\n"
                                           "wait-idle\n"
                                           "quit\n");
    EXPECT_PASSED(outcome);
    EXPECT_EQ(scene.clicks["Go"], 1);
    EXPECT_EQ(other_clicks, 2);
    EXPECT_EQ(scene.clicks["Back"], 1);
    EXPECT_EQ(scene.clicks["Front"], 1);
    // The log opens with the process's age and the time from the script's start, each a
    // number of milliseconds.
    std::string log = RawLog();
    for (const std::string timing : {"process age at the first step: ",
                                     "time from the script's start to the first step: "}) {
        ASSERT_EQ(log.rfind(timing, 0), 0u) << log;
        const std::size_t ms = log.find(" ms\n");
        ASSERT_NE(ms, std::string::npos) << log;
        const std::string number = log.substr(timing.size(), ms - timing.size());
        EXPECT_FALSE(number.empty());
        EXPECT_EQ(number.find_first_not_of("0123456789"), std::string::npos) << number;
        log = log.substr(ms + 4);
    }
    EXPECT_EQ(log, "1: click Go\n2: click Other.Go\n3: click Other.Go\n4: click Back\n"
                   "5: click Main.Front\n6: wait-idle\n7: quit\nautomation: passed\n");
}

// Characters arrive in an EDIT window one UTF-16 unit at a time (the last character needs
// two), and the control has the focus afterwards.
TEST_F(AutomationTest, TypeSendsTheTextToTheControlsWindow) {
    Scene scene;
    scene.main.Show();
    // As the script writes it: quotes escaped, non-ASCII as UTF-8.
    const std::string text = "\"Gr\xC3\xBC\xC3\x9F"
                             "e \\\"x\\\" \xF0\x9F\x98\x80\"";
    const std::string script = "type Main.Field " + text + "\n" + "wait-idle\n" +
                               "expect Main.Field.Text = " + text + "\n" +
                               "expect Field.Focused = true\n"
                               "expect Go.Focused = false\n"
                               "expect Back.Focused = false\n"
                               "expect Main.Caption = \"Automation\"\n"
                               "expect Main.Font.Name = \"Tahoma\"\n"
                               "expect Main.Go.Anchors = [akLeft, akTop]\n"
                               "expect Hidden.Showing = false\n"
                               "expect Go.Showing = true\n"
                               "quit\n";
    const TAutomationOutcome outcome = Run(script);
    EXPECT_PASSED(outcome);
    EXPECT_EQ(scene.field.Text(), L"Gr\u00FC\u00DFe \"x\" \xD83D\xDE00");
    EXPECT_EQ(GetFocus(), scene.field.Handle());
}

// pick selects and notifies as a user's pick does: a combo box and a list box with
// LBS_NOTIFY tell their parent, with the selection already made.
TEST_F(AutomationTest, PickSelectsAnEntryAndNotifies) {
    Scene scene;
    scene.main.Show();
    const TAutomationOutcome outcome = Run("pick Choice 2\n"
                                           "pick Main.List 1\n"
                                           "pick List 3\n"
                                           "wait-idle\n"
                                           "quit\n");
    EXPECT_PASSED(outcome);
    EXPECT_EQ(SendMessageW(scene.choice.Handle(), CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(SendMessageW(scene.list.Handle(), LB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(scene.choice.notified, std::vector<int>{2});
    EXPECT_EQ(scene.list.notified, (std::vector<int>{1, 3}));
}

// A click opens a modal form; the script goes on inside its loop and the keys reach the
// form's default and cancel buttons, or close it (Alt+F4, mrCancel without a click).
TEST_F(AutomationTest, KeysReachAModalFormOpenedByAClick) {
    struct Case {
        const char* key;
        int result;
        int ok_clicks;
        int cancel_clicks;
    };
    for (const Case c : {Case{"Enter", mrOk, 1, 0}, Case{"Escape", mrCancel, 0, 1},
                         Case{"Alt+F4", mrCancel, 0, 0}}) {
        SCOPED_TRACE(c.key);
        TApplication loop;
        Scene scene;
        // The dialog belongs to the application, which is where the runner finds it.
        TForm* dialog = loop.CreateForm<TForm>();
        dialog->SetName("Dialog");
        dialog->BorderStyle = bsDialog;
        dialog->SetBounds(120, 120, 260, 120);
        TButton* ok = new TButton(dialog);
        TButton* cancel = new TButton(dialog);
        int ok_clicks = 0, cancel_clicks = 0;
        for (auto [button, name, counter] :
             {std::tuple{ok, "Ok", &ok_clicks}, std::tuple{cancel, "Cancel", &cancel_clicks}}) {
            button->SetName(name);
            button->SetParent(dialog);
            button->OnClick = [counter = counter](TComponent*) {
                ++*counter;
            };
        }
        ok->SetBounds(20, 40, 75, 25);
        ok->SetDefault(true);
        ok->ModalResult = mrOk;
        cancel->SetBounds(110, 40, 75, 25);
        cancel->SetCancel(true);
        cancel->ModalResult = mrCancel;
        int result = -1;
        scene.go.OnClick = [&](TComponent*) {
            result = dialog->ShowModal();
        };
        scene.main.Show();

        EXPECT_PASSED(RunWith(loop, std::string("click Main.Go\n"
                                                "wait-idle\n"
                                                "expect Dialog.Showing = true\n"
                                                "expect Ok.Focused = true\n") +
                                        "key " + c.key +
                                        "\n"
                                        "wait-idle\n"
                                        "expect Dialog.Showing = false\n"
                                        "quit\n"));
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(ok_clicks, c.ok_clicks);
        EXPECT_EQ(cancel_clicks, c.cancel_clicks);
    }
}

// Tab and Shift+Tab move the focus through the form as in a dialog; letters become characters
// once (the loop translates the keys, Shift making capitals); Space presses the focused
// button.
TEST_F(AutomationTest, TabAndShiftTabMoveTheFocus) {
    Scene scene;
    scene.main.Show();
    const TAutomationOutcome outcome = Run("click Stop\n"
                                           "wait-idle\n"
                                           "expect Stop.Focused = true\n"
                                           "key Shift+Tab\n"
                                           "wait-idle\n"
                                           "expect Go.Focused = true\n"
                                           "key Tab\n"
                                           "key Tab\n"
                                           "wait-idle\n"
                                           "expect Field.Focused = true\n"
                                           "key Shift+G\n"
                                           "key o\n"
                                           "key 1\n"
                                           "wait-idle\n"
                                           "expect Field.Text = \"Go1\"\n"
                                           "key Shift+Tab\n"
                                           "key Space\n"
                                           "wait-idle\n"
                                           "quit\n");
    EXPECT_PASSED(outcome);
    EXPECT_EQ(scene.clicks["Stop"], 2) << "the click, then Space";
    EXPECT_EQ(scene.clicks["Go"], 0);
    EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0) << "Shift is released afterwards";
}

// A message box opened by a click runs its own loop; the script dumps it and answers it.
TEST_F(AutomationTest, KeysAnswerAMessageBoxOpenedByAClick) {
    struct Case {
        const char* key;
        int answer;
    };
    for (const Case c : {Case{"Enter", IDOK}, Case{"Escape", IDCANCEL}}) {
        SCOPED_TRACE(c.key);
        Scene scene;
        int answer = 0;
        scene.go.OnClick = [&](TComponent*) {
            answer = MessageBoxW(scene.main.Handle(), L"Continue?", L"Question", MB_OKCANCEL);
        };
        scene.main.Show();
        EXPECT_PASSED(Run("click Go\nwait-idle\ndump " + Quoted(File("box.json")) + "\nkey " +
                          c.key + "\nwait-idle\nquit\n"));
        EXPECT_EQ(answer, c.answer);

        // The box is in the dump with its buttons; the form it belongs to is disabled.
        const Json windows = ReadJson(File("box.json"));
        const Json* box = nullptr;
        for (const Json& window : windows.items)
            if (window["class"].text == "#32770")
                box = &window;
        ASSERT_NE(box, nullptr);
        EXPECT_EQ((*box)["text"].text, "Question");
        EXPECT_TRUE((*box)["visible"].boolean);
        std::vector<std::string> buttons;
        bool message_shown = false;
        for (const Json& child : (*box)["children"].items) {
            if (child["class"].text == "Button")
                buttons.push_back(child["text"].text);
            message_shown |= child["text"].text == "Continue?";
        }
        std::sort(buttons.begin(), buttons.end()); // their stacking is the system's affair
        EXPECT_EQ(buttons, (std::vector<std::string>{"Cancel", "OK"}));
        EXPECT_TRUE(message_shown);
        const Json* main = FindNamed(windows, "Main");
        ASSERT_NE(main, nullptr);
        EXPECT_FALSE((*main)["enabled"].boolean);
    }
}

// The dump: every form with bounds, state and published values; children from the back to
// the front (windowless first, then windows in the window manager's order); text escaped.
TEST_F(AutomationTest, DumpDescribesEveryWindowAndControl) {
    Scene scene;
    scene.back.checked = true;
    scene.back.item_index = 2;
    scene.back.position = 42;
    scene.back.items = {L"one", L"two \"2\" \\ \u00E9"};
    const std::wstring awkward = L"Stop \"now\" \\ \x01\t\n \u00FC \xD83D\xDE00";
    TForm other(nullptr);
    other.SetName("Other");
    other.FormStyle = fsStayOnTop;
    other.SetBounds(500, 40, 200, 120);
    other.Show();
    scene.main.Show();
    SetWindowTextW(scene.stop.Handle(), awkward.c_str());
    // The windows' stacking, from the back: Stop, Field, Hidden, Disabled, Choice, List, Go.
    for (TWinControl* control : std::initializer_list<TWinControl*>{
             &scene.stop, &scene.field, &scene.hidden, &scene.disabled, &scene.choice, &scene.list,
             &scene.go})
        SetWindowPos(control->Handle(), HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    const TAutomationOutcome outcome =
        Run("type Field abc\nwait-idle\ndump " + Quoted(File("windows.json")) + "\nquit\n");
    EXPECT_PASSED(outcome);
    const Json windows = ReadJson(File("windows.json"));
    ASSERT_EQ(windows.kind, Json::Array);

    const Json* main = FindNamed(windows, "Main");
    const Json* other_json = FindNamed(windows, "Other");
    ASSERT_NE(main, nullptr);
    ASSERT_NE(other_json, nullptr);
    EXPECT_EQ((*main)["class"].text, "TForm");
    EXPECT_EQ((*main)["text"].text, "Automation");
    EXPECT_EQ(Bounds(*main), WindowBounds(scene.main.Handle()));
    EXPECT_FALSE((*main)["topmost"].boolean);
    EXPECT_TRUE((*other_json)["topmost"].boolean);
    EXPECT_EQ(Bounds(*other_json), WindowBounds(other.Handle()));
    EXPECT_EQ(ChildNames(*main),
              (std::vector<std::string>{"Back", "Front", "Stop", "Field", "Hidden", "Disabled",
                                        "Choice", "List", "Go"}));

    const Json& back = *FindNamed(*main, "Back");
    EXPECT_EQ(back["class"].text, "TSwatch");
    EXPECT_EQ(Bounds(back), (std::vector<int>{10, 10, 60, 40}));
    EXPECT_TRUE(back["checked"].boolean);
    EXPECT_EQ(back["itemIndex"].number, 2);
    EXPECT_EQ(back["position"].number, 42);
    ASSERT_EQ(back["items"].items.size(), 2u);
    EXPECT_EQ(back["items"].items[1].text, "two \"2\" \\ \xC3\xA9");
    EXPECT_EQ(back.Find("children"), nullptr);
    EXPECT_EQ(back.Find("topmost"), nullptr);
    EXPECT_EQ(FindNamed(*main, "Front")->Find("checked")->boolean, false);

    const Json& go = *FindNamed(*main, "Go");
    EXPECT_EQ(go["class"].text, "TButton");
    EXPECT_EQ(go["text"].text, "Go");
    EXPECT_EQ(Bounds(go), (std::vector<int>{100, 10, 75, 25}));
    EXPECT_TRUE(go["visible"].boolean);
    EXPECT_TRUE(go["enabled"].boolean);
    EXPECT_FALSE(go["focused"].boolean);
    EXPECT_EQ(go.Find("checked"), nullptr);
    EXPECT_EQ(go["children"].items.size(), 0u);
    EXPECT_EQ(FindNamed(*main, "Stop")->operator[]("text").text, WideToUtf8(awkward));
    EXPECT_FALSE(FindNamed(*main, "Hidden")->operator[]("visible").boolean);
    EXPECT_FALSE(FindNamed(*main, "Disabled")->operator[]("enabled").boolean);
    EXPECT_TRUE(FindNamed(*main, "Field")->operator[]("focused").boolean);
    EXPECT_EQ(FindNamed(*main, "Field")->operator[]("text").text, "abc");
}

// Screenshots of the active window, of a form and of a windowless control (the part of its
// parent where it is, Front included where it covers Back).
TEST_F(AutomationTest, ScreenshotsWriteWhatTheWindowShows) {
    Scene scene;
    scene.main.Show();
    const TAutomationOutcome outcome =
        Run("screenshot " + Quoted(File("active.png")) + "\n" + "screenshot " +
            Quoted(File("form.png")) + " Main\n" + "screenshot " + Quoted(File("back.png")) +
            " Back\n" + "screenshot " + Quoted(File("go.png")) + " Main.Go\n" + "quit\n");
    EXPECT_PASSED(outcome);
    const std::vector<int> bounds = WindowBounds(scene.main.Handle());
    for (const char* name : {"active.png", "form.png"}) {
        const Png png = ReadPng(File(name));
        EXPECT_EQ(png.width, bounds[2]) << name;
        EXPECT_EQ(png.height, bounds[3]) << name;
    }
    const Png back = ReadPng(File("back.png"));
    ASSERT_EQ(back.width, 60);
    ASSERT_EQ(back.height, 40);
    EXPECT_EQ(back.Pixel(0, 0), RGBColor(255, 0, 0));
    EXPECT_EQ(back.Pixel(39, 24), RGBColor(255, 0, 0));
    EXPECT_EQ(back.Pixel(40, 25), RGBColor(0, 0, 255)) << "Front covers this corner";
    EXPECT_EQ(back.Pixel(59, 39), RGBColor(0, 0, 255));
    const Png go = ReadPng(File("go.png"));
    EXPECT_EQ(go.width, 75);
    EXPECT_EQ(go.height, 25);
}

// The first failing step ends the script: it is reported with its line, the steps before it
// ran, the steps after it did not, and the log has every step run and the failure.
TEST_F(AutomationTest, FailuresNameTheLineAndStopTheScript) {
    struct Case {
        std::string step;
        std::string message;
        unsigned timeout_ms = 60000;
    };
    const Case cases[] = {
        {"click Nobody", "no form has a component named Nobody"},
        {"click Missing.Go", "there is no form named Missing"},
        {"click Main.Nobody", "the form Main has no component named Nobody"},
        {"click Main.Hidden", "Main.Hidden is not showing"},
        {"click Main.Disabled", "Main.Disabled is disabled"},
        {"type Main.Back x", "Main.Back has no window to type into"},
        {"pick Main.Go 0", "Main.Go is not a combo box or list box"},
        {"pick Choice 3", "Choice has 3 entries, no entry 3"},
        {"expect Main.Go.Caption = \"Stop\"",
         "expect Main.Go.Caption: expected \"Stop\", found \"Go\""},
        {"expect Go.Visible = false", "expect Go.Visible: expected false, found true"},
        {"expect Main.Stop.Focused = true", "expect Main.Stop.Focused: expected true, found false"},
        {"expect Go.Nothing = 1", "Go (TButton) has no published property Nothing"},
        {"expect Main.Go.OnClick = x", "the property OnClick of TButton cannot be read"},
        {"sleep 5000", "the script timed out after 400 ms", 400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        Scene scene;
        scene.main.Show();
        TAutomationOptions options;
        options.TimeoutMs = c.timeout_ms;
        const TAutomationOutcome outcome =
            Run("# before\n\nclick Main.Go\n" + c.step + "\nclick Main.Go\nquit\n", options);
        EXPECT_FALSE(outcome.Passed);
        EXPECT_EQ(outcome.Line, 4);
        EXPECT_EQ(outcome.Message, c.message);
        EXPECT_EQ(scene.clicks["Go"], 1);
        EXPECT_EQ(Log(), "3: click Main.Go\n4: " + c.step + "\nautomation: 4: " + c.message + "\n");
    }
}

// What fails before or after the steps: a script that cannot be read, one that ends without
// quit.
TEST_F(AutomationTest, ScriptsThatCannotRunOrDoNotQuitFail) {
    Scene scene;
    scene.main.Show();
    struct Case {
        std::string script;
        int line;
        std::string message;
    };
    const Case cases[] = {
        {"click Go\n\nkey Entr\nquit\n", 3, "unknown key 'Entr'"},
        {"click Go\n\n# nothing more\n", 3, "the script ended without quit"},
        {"", 0, "the script ended without quit"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const TAutomationOutcome outcome = Run(c.script);
        EXPECT_FALSE(outcome.Passed);
        EXPECT_EQ(outcome.Line, c.line);
        EXPECT_EQ(outcome.Message, c.message);
        EXPECT_NE(Log().find("automation: " + std::to_string(c.line) + ": " + c.message + "\n"),
                  std::string::npos);
    }
    // A file name is read as a script file.
    const fs::path file = File("script.txt");
    const std::string text = "click Go\nquit\n";
    WriteFileBytes(file, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    EXPECT_PASSED(Run(WideToUtf8(file.wstring())));
    EXPECT_EQ(scene.clicks["Go"], 2);
}

// A program that keeps posting itself work never lets a timer message through, and so never
// idle: the overall timeout still ends the script (it does not depend on the timer), and
// wait-idle gives up after its own bound.
TEST_F(AutomationTest, TimeoutsHoldWhileTheQueueNeverEmpties) {
    constexpr UINT Work = WM_APP + 9;
    struct Case {
        const char* script;
        bool flood_on_first_runner_message; // else: the click on Go starts it
        std::string message;
    };
    const Case cases[] = {
        {"click Go\nquit\n", false, "the script timed out after 600 ms"},
        // The runner's first message in this script is wait-idle's first probe.
        {"wait-idle\nquit\n", true, "the program did not become idle within 300 ms"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        Scene scene;
        bool flooding = false;
        const auto flood = [&] {
            flooding = true;
            PostMessageW(scene.main.Handle(), Work, 0, 0);
        };
        scene.main.HookWindowProc([&](TMessage& message, const TWndMethod& next) {
            if (message.Msg != Work)
                return next(message);
            if (!finished_)
                PostMessageW(scene.main.Handle(), Work, 0, 0);
        });
        scene.go.OnClick = [&](TComponent*) {
            flood();
        };
        scene.main.Show();
        TApplication loop;
        loop.OnMessage = [&](MSG& msg) {
            wchar_t name[64] = {};
            if (c.flood_on_first_runner_message && !flooding && msg.hwnd &&
                GetClassNameW(msg.hwnd, name, 64) && std::wstring(name) == L"KalvoAutomation")
                flood();
            return false;
        };
        TAutomationOptions options;
        options.TimeoutMs = 600;
        options.IdleTimeoutMs = 300;
        const TAutomationOutcome outcome = RunWith(loop, c.script, options);
        EXPECT_TRUE(flooding);
        EXPECT_FALSE(outcome.Passed);
        EXPECT_EQ(outcome.Line, 1);
        EXPECT_EQ(outcome.Message, c.message);
    }
}

// The way in of the real program: the script named by KALVO_AUTOMATION runs in a process of
// its own (this test program, running only AutomationChild), which ends with the script's
// status: 0 after quit, 3 on failure, even while a message box waits for an answer.
TEST_F(AutomationTest, EnvironmentScriptEndsTheProcessWithItsStatus) {
    SetEnvironmentVariableW(L"KALVO_AUTOMATION", nullptr);
    EXPECT_FALSE(StartAutomationFromEnvironment());
    EXPECT_FALSE(AutomationRunning());

    struct Case {
        const char* script;
        const wchar_t* timeout_ms;
        DWORD exit_code;
        std::string last_line;
    };
    const Case cases[] = {
        {"click Go\nwait-idle\nexpect Main.Go.Caption = \"Nope\"\nquit\n", L"30000", 3,
         "automation: 3: expect Main.Go.Caption: expected \"Nope\", found \"Go\""},
        {"click Go\nwait-idle\nsleep 5000\nquit\n", L"1500", 3,
         "automation: 3: the script timed out after 1500 ms"},
        {"click Go\nwait-idle\nkey Enter\nwait-idle\nexpect Main.Go.Caption = \"Go\"\nquit\n",
         L"30000", 0, "automation: passed"},
    };
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const std::string script = c.script;
        WriteFileBytes(File("script.txt"),
                       {reinterpret_cast<const std::uint8_t*>(script.data()), script.size()});
        fs::remove(File("log.txt"));
        SetEnvironmentVariableW(L"KALVO_AUTOMATION", File("script.txt").wstring().c_str());
        SetEnvironmentVariableW(L"KALVO_AUTOMATION_LOG", File("log.txt").wstring().c_str());
        SetEnvironmentVariableW(L"KALVO_AUTOMATION_TIMEOUT", c.timeout_ms);
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE error = CreateFileW(File("stderr.txt").wstring().c_str(), GENERIC_WRITE, 0, &inherit,
                                   CREATE_ALWAYS, 0, nullptr);
        HANDLE output = CreateFileW(File("stdout.txt").wstring().c_str(), GENERIC_WRITE, 0,
                                    &inherit, CREATE_ALWAYS, 0, nullptr);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output;
        startup.hStdError = error;
        std::wstring command = L"\"" + std::wstring(program) +
                               L"\" --gtest_filter=AutomationChild.RunsTheScriptFromTheEnvironment";
        PROCESS_INFORMATION process{};
        const BOOL started = CreateProcessW(program, command.data(), nullptr, nullptr, TRUE, 0,
                                            nullptr, nullptr, &startup, &process);
        for (const wchar_t* name :
             {L"KALVO_AUTOMATION", L"KALVO_AUTOMATION_LOG", L"KALVO_AUTOMATION_TIMEOUT"})
            SetEnvironmentVariableW(name, nullptr);
        CloseHandle(error);
        CloseHandle(output);
        ASSERT_TRUE(started);
        EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
        DWORD exit_code = 0;
        GetExitCodeProcess(process.hProcess, &exit_code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        EXPECT_EQ(exit_code, c.exit_code);
        const std::string log = Log();
        EXPECT_EQ(log.substr(0, 15), "1: click Go\n2: ") << log;
        EXPECT_NE(log.find("\n" + c.last_line + "\n"), std::string::npos) << log;
        const std::vector<std::uint8_t> errors = ReadFileBytes(File("stderr.txt"));
        const bool reported =
            std::string(errors.begin(), errors.end()).find(c.last_line) != std::string::npos;
        EXPECT_EQ(reported, c.exit_code != 0) << "stderr has the failure, and only a failure";
    }
}

// The program's side of the test above.
TEST(AutomationChild, RunsTheScriptFromTheEnvironment) {
    if (!GetEnvironmentVariableW(L"KALVO_AUTOMATION", nullptr, 0))
        GTEST_SKIP() << "runs as the child process of EnvironmentScriptEndsTheProcessWithItsStatus";
    TApplication application;
    Scene scene;
    scene.go.OnClick = [&](TComponent*) {
        MessageBoxW(scene.main.Handle(), L"Continue?", L"Question", MB_OKCANCEL);
    };
    scene.main.Show();
    ASSERT_TRUE(StartAutomationFromEnvironment());
    while (!application.Terminated())
        application.HandleMessage(true);
    StopAutomation();
}

} // namespace
} // namespace kalvo
