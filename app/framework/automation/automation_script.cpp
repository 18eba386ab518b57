#include "app/framework/automation/automation_script.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace kalvo {

EAutomationScriptError::EAutomationScriptError(int line, const std::string& reason)
    : std::runtime_error(std::to_string(line) + ": " + reason), line_(line), reason_(reason) {}

namespace {

bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char Lower(char ch) {
    return ch >= 'A' && ch <= 'Z' ? char(ch - 'A' + 'a') : ch;
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

// Well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool ValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        std::uint32_t code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

bool IsIdentifier(std::string_view text) {
    if (text.empty())
        return false;
    const auto letter = [](char ch) {
        return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || ch == '_';
    };
    if (!letter(text.front()))
        return false;
    return std::all_of(text.begin(), text.end(),
                       [&](char ch) { return letter(ch) || (ch >= '0' && ch <= '9'); });
}

// Identifiers joined by dots: at least `least` and at most `most` of them.
bool IsDottedPath(std::string_view text, std::size_t least, std::size_t most) {
    std::size_t parts = 0;
    while (true) {
        const std::size_t dot = text.find('.');
        if (!IsIdentifier(text.substr(0, dot)))
            return false;
        ++parts;
        if (dot == std::string_view::npos)
            break;
        text.remove_prefix(dot + 1);
    }
    return parts >= least && parts <= most;
}

struct TKeyName {
    const char* Name;
    std::uint16_t VirtualKey;
    bool Extended;
};

// Virtual-key codes as Windows numbers them.
constexpr TKeyName KeyNames[] = {
    {"Enter", 0x0D, false}, {"Escape", 0x1B, false},    {"Tab", 0x09, false},
    {"Space", 0x20, false}, {"Backspace", 0x08, false}, {"Delete", 0x2E, true},
    {"Insert", 0x2D, true}, {"Home", 0x24, true},       {"End", 0x23, true},
    {"PageUp", 0x21, true}, {"PageDown", 0x22, true},   {"Left", 0x25, true},
    {"Up", 0x26, true},     {"Right", 0x27, true},      {"Down", 0x28, true},
};
constexpr std::uint16_t VirtualKeyF1 = 0x70;

class TLineReader {
public:
    TLineReader(int line, std::string_view text) : line_(line), rest_(text) {}

    [[noreturn]] void Fail(const std::string& reason) const {
        throw EAutomationScriptError(line_, reason);
    }

    // The next argument, unquoted and unescaped; false at the end of the line.
    bool Next(std::string& argument) {
        rest_ = Trim(rest_);
        if (rest_.empty())
            return false;
        argument.clear();
        if (rest_.front() != '"') {
            const auto end = std::find_if(rest_.begin(), rest_.end(), IsBlank);
            argument.assign(rest_.begin(), end);
            if (argument.find('"') != std::string::npos)
                Fail("a quote inside an argument: quote the whole argument");
            rest_.remove_prefix(argument.size());
            return true;
        }
        std::size_t i = 1;
        for (;; ++i) {
            if (i >= rest_.size())
                Fail("the quoted argument has no closing quote");
            const char ch = rest_[i];
            if (ch == '"')
                break;
            if (ch != '\\') {
                argument += ch;
                continue;
            }
            if (++i >= rest_.size())
                Fail("the quoted argument has no closing quote");
            switch (rest_[i]) {
            case '"':
                argument += '"';
                break;
            case '\\':
                argument += '\\';
                break;
            case 'n':
                argument += '\n';
                break;
            default:
                Fail(std::string("unknown escape \\") + rest_[i] + " (use \\\", \\\\ or \\n)");
            }
        }
        rest_.remove_prefix(i + 1);
        if (!rest_.empty() && !IsBlank(rest_.front()))
            Fail("a blank must follow the closing quote");
        return true;
    }

    std::vector<std::string> All() {
        std::vector<std::string> arguments;
        std::string argument;
        while (Next(argument))
            arguments.push_back(argument);
        return arguments;
    }

    std::string_view Rest() const { return rest_; }

private:
    int line_;
    std::string_view rest_;
};

std::int64_t Number(const TLineReader& reader, const std::string& text, const char* what) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < 0)
        reader.Fail(std::string(what) + " must be a whole number from 0, not '" + text + "'");
    return value;
}

void CheckName(const TLineReader& reader, const std::string& name) {
    if (!IsDottedPath(name, 1, 2))
        reader.Fail("'" + name + "' is not a control name (NAME or FORM.NAME)");
}

TScriptStep ParseLine(int line, std::string_view text) {
    TLineReader reader(line, text);
    TScriptStep step;
    step.Line = line;
    step.Source = std::string(text);
    std::string command;
    reader.Next(command);

    if (command == "expect") {
        // The value is the rest of the line as written: it may hold blanks, quotes and commas.
        const std::string_view rest = reader.Rest();
        const std::size_t equals = rest.find('=');
        if (equals == std::string_view::npos)
            reader.Fail("expect takes NAME.PROPERTY = VALUE");
        step.Command = scExpect;
        step.Target = std::string(Trim(rest.substr(0, equals)));
        step.Text = std::string(Trim(rest.substr(equals + 1)));
        if (!IsDottedPath(step.Target, 2, std::numeric_limits<std::size_t>::max()))
            reader.Fail("'" + step.Target + "' is not NAME.PROPERTY");
        if (step.Text.empty())
            reader.Fail("expect needs a value after '='");
        return step;
    }

    const std::vector<std::string> args = reader.All();
    const auto arity = [&](std::size_t least, std::size_t most, const char* usage) {
        if (args.size() < least || args.size() > most)
            reader.Fail(command + " takes " + usage);
    };
    if (command == "click") {
        arity(1, 1, "NAME");
        step.Command = scClick;
        step.Target = args[0];
        CheckName(reader, step.Target);
    } else if (command == "type") {
        arity(2, 2, "NAME TEXT (quote a text with blanks)");
        step.Command = scType;
        step.Target = args[0];
        step.Text = args[1];
        CheckName(reader, step.Target);
    } else if (command == "key") {
        arity(1, 1, "KEY");
        step.Command = scKey;
        try {
            step.Key = ParseKeyStroke(args[0]);
        } catch (const std::invalid_argument& error) {
            reader.Fail(error.what());
        }
    } else if (command == "pick") {
        arity(2, 2, "NAME INDEX");
        step.Command = scPick;
        step.Target = args[0];
        CheckName(reader, step.Target);
        step.Number = Number(reader, args[1], "INDEX");
        if (step.Number > std::numeric_limits<std::int32_t>::max())
            reader.Fail("INDEX " + args[1] + " is too large");
    } else if (command == "wait-idle") {
        arity(0, 0, "no arguments");
        step.Command = scWaitIdle;
    } else if (command == "sleep") {
        arity(1, 1, "MS");
        step.Command = scSleep;
        step.Number = Number(reader, args[0], "MS");
        if (step.Number > 3600000)
            reader.Fail("sleep takes at most 3600000 ms");
    } else if (command == "dump") {
        arity(1, 1, "FILE.json");
        step.Command = scDump;
        step.Text = args[0];
    } else if (command == "screenshot") {
        arity(1, 2, "FILE.png [NAME]");
        step.Command = scScreenshot;
        step.Text = args[0];
        if (args.size() == 2) {
            step.Target = args[1];
            CheckName(reader, step.Target);
        }
    } else if (command == "quit") {
        arity(0, 0, "no arguments");
        step.Command = scQuit;
    } else {
        reader.Fail("unknown command '" + command + "'");
    }
    if ((step.Command == scDump || step.Command == scScreenshot) && step.Text.empty())
        reader.Fail(command + " needs a file name");
    return step;
}

} // namespace

TKeyStroke ParseKeyStroke(std::string_view text) {
    TKeyStroke stroke;
    std::string_view key = text;
    // Modifiers come first, each once; a '+' key itself is not among the names.
    for (std::size_t plus; (plus = key.find('+')) != std::string_view::npos;) {
        const std::string_view modifier = key.substr(0, plus);
        bool* flag = SameText(modifier, "Shift")  ? &stroke.Shift
                     : SameText(modifier, "Ctrl") ? &stroke.Ctrl
                     : SameText(modifier, "Alt")  ? &stroke.Alt
                                                  : nullptr;
        if (!flag)
            throw std::invalid_argument("unknown modifier '" + std::string(modifier) +
                                        "' (Shift, Ctrl or Alt)");
        if (*flag)
            throw std::invalid_argument("the modifier " + std::string(modifier) + " is repeated");
        *flag = true;
        key.remove_prefix(plus + 1);
    }
    for (const TKeyName& name : KeyNames)
        if (SameText(key, name.Name)) {
            stroke.VirtualKey = name.VirtualKey;
            stroke.Extended = name.Extended;
            return stroke;
        }
    if (key.size() == 1) {
        const char ch = key.front();
        if (ch >= '0' && ch <= '9') {
            stroke.VirtualKey = std::uint16_t(ch);
            return stroke;
        }
        if ((ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z')) {
            stroke.VirtualKey = std::uint16_t(Lower(ch) - 'a' + 'A');
            return stroke;
        }
    }
    if (key.size() >= 2 && Lower(key.front()) == 'f') {
        int number = 0;
        const auto [stop, error] = std::from_chars(key.data() + 1, key.data() + key.size(), number);
        if (error == std::errc() && stop == key.data() + key.size() && number >= 1 &&
            number <= 12 && key[1] != '0') {
            stroke.VirtualKey = std::uint16_t(VirtualKeyF1 + number - 1);
            return stroke;
        }
    }
    throw std::invalid_argument("unknown key '" + std::string(key) + "'");
}

TAutomationScript ParseAutomationScript(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    TAutomationScript script;
    int line = 0;
    while (!text.empty()) {
        ++line;
        const std::size_t end = text.find('\n');
        std::string_view source = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!source.empty() && source.back() == '\r')
            source.remove_suffix(1);
        if (!ValidUtf8(source))
            throw EAutomationScriptError(line, "the line is not valid UTF-8");
        source = Trim(source);
        if (source.empty() || source.front() == '#')
            continue;
        script.Steps.push_back(ParseLine(line, source));
    }
    script.LineCount = line;
    return script;
}

} // namespace kalvo
