#include "app/framework/forms/form_definition.h"

#include <climits>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <utility>

namespace kalvo {

EFormDefinitionError::EFormDefinitionError(const std::string& file_name, int line,
                                           const std::string& reason)
    : std::runtime_error(file_name + ":" + std::to_string(line) + ": " + reason),
      file_name_(file_name), line_(line), reason_(reason) {}

namespace {

// Names and other pieces of the file quoted in messages are cut to this many bytes.
constexpr std::size_t MaxQuoted = 40;

constexpr std::size_t BinaryBytesPerLine = 32;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool IsNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool IsNameChar(char c) {
    return IsNameStart(c) || IsDigit(c);
}

int HexValue(char c) {
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}

bool IsName(std::string_view s) {
    if (s.empty() || !IsNameStart(s[0]))
        return false;
    for (const char c : s)
        if (!IsNameChar(c))
            return false;
    return true;
}

bool IsPath(std::string_view s) {
    for (;;) {
        const std::size_t dot = s.find('.');
        if (!IsName(s.substr(0, dot)))
            return false;
        if (dot == std::string_view::npos)
            return true;
        s.remove_prefix(dot + 1);
    }
}

// The length of the well-formed UTF-8 sequence at text[pos], or 0 if there is none there:
// no overlong forms, no surrogates, nothing above U+10FFFF.
std::size_t Utf8Length(std::string_view text, std::size_t pos) {
    const auto byte = [&](std::size_t i) {
        return std::uint8_t(text[pos + i]);
    };
    const std::uint8_t b0 = byte(0);
    if (b0 < 0x80)
        return 1;
    std::size_t length = 0;
    std::uint8_t low = 0x80; // range of the second byte
    std::uint8_t high = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0)
            low = 0xA0;
        else if (b0 == 0xED)
            high = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0)
            low = 0x90;
        else if (b0 == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() - pos < length)
        return 0;
    if (byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = Utf8Length(text, pos);
        if (length == 0)
            return false;
        pos += length;
    }
    return true;
}

void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | code >> 6);
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | code >> 12);
        out += char(0x80 | (code >> 6 & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | code >> 18);
        out += char(0x80 | (code >> 12 & 0x3F));
        out += char(0x80 | (code >> 6 & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

std::string HexByte(std::uint8_t byte) {
    const char* digits = "0123456789ABCDEF";
    return std::string{digits[byte >> 4], digits[byte & 15]};
}

// A piece of the file (ASCII) for a message, in quotes.
std::string Quoted(std::string_view s) {
    if (s.size() > MaxQuoted)
        return "'" + std::string(s.substr(0, MaxQuoted)) + "...'";
    return "'" + std::string(s) + "'";
}

// ----------------------------------------------------------------------------------------
// Reading

enum class TTokenKind { End, Name, Integer, String, Punctuation };

struct TToken {
    TTokenKind Kind = TTokenKind::End;
    int Line = 1;
    std::string Text; // a name or path, the decoded string, or the punctuation character
    std::int64_t Integer = 0;
};

// Lexer and recursive descent parser in one. The parser looks one token ahead (token_);
// where the next step depends on the character after that token (the '{' after hex,
// strings and items, the '=' after a property called object), it looks at the text itself.
class TReader {
public:
    TReader(std::string_view text, const std::string& file_name)
        : text_(text), file_name_(file_name) {}

    TFormObject ReadFile();

private:
    [[noreturn]] void Fail(int line, const std::string& reason) const {
        throw EFormDefinitionError(file_name_, line, reason);
    }

    // Lexing.
    bool AtEnd() const { return pos_ >= text_.size(); }
    int EndLine() const;
    std::string DescribeCharacter() const;
    void SkipBlanks();
    char NextCharacter(); // after blanks and comments; '\0' at the end of the text
    void Advance() { token_ = Lex(); }
    TToken Lex();
    TToken LexName();
    TToken LexInteger();
    TToken LexString();
    void LexEscape(std::string& out);

    // Parsing.
    bool TokenIs(TTokenKind kind, std::string_view text) const {
        return token_.Kind == kind && token_.Text == text;
    }
    bool TokenIsWord(std::string_view word) const { return TokenIs(TTokenKind::Name, word); }
    bool TokenIsPunctuation(char c) const {
        return TokenIs(TTokenKind::Punctuation, std::string_view(&c, 1));
    }
    std::string DescribeToken() const;
    std::string PlainName(const char* what);
    [[noreturn]] void FailUnclosed(const std::string& what, int line, char closer) const;
    void CheckDepth(int depth, int line) const;

    TFormObject ReadObject(int depth);
    TFormProperty ReadProperty(int depth);
    TFormValue ReadValue(const std::string& property, int equals_line, int depth);
    void ReadSet(TFormValue& value, const std::string& property);
    void ReadStrings(TFormValue& value, const std::string& property);
    void ReadBinary(TFormValue& value, const std::string& property);
    void ReadItems(TFormValue& value, const std::string& property, int depth);

    std::string_view text_;
    const std::string& file_name_;
    std::size_t pos_ = 0;
    int line_ = 1;
    TToken token_;
};

// The line of the end of the text: the last line, where a final line break starts none.
int TReader::EndLine() const {
    if (!text_.empty() && text_.back() == '\n' && line_ > 1)
        return line_ - 1;
    return line_;
}

// The character at pos_ for a message: itself if printable, else its bytes in hex.
std::string TReader::DescribeCharacter() const {
    const char c = text_[pos_];
    if (c > ' ' && c < 0x7F)
        return c == '\'' ? "\"'\"" : "'" + std::string(1, c) + "'";
    const std::size_t length = Utf8Length(text_, pos_);
    if (length > 1)
        return "'" + std::string(text_.substr(pos_, length)) + "'";
    return "byte 0x" + HexByte(std::uint8_t(c));
}

void TReader::SkipBlanks() {
    while (!AtEnd()) {
        const char c = text_[pos_];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++pos_;
        } else if (c == '\n') {
            ++pos_;
            ++line_;
        } else if (c == '#') {
            while (!AtEnd() && text_[pos_] != '\n') {
                const std::size_t length = Utf8Length(text_, pos_);
                if (length == 0)
                    Fail(line_, "invalid UTF-8 in a comment (byte 0x" +
                                    HexByte(std::uint8_t(text_[pos_])) + ")");
                pos_ += length;
            }
        } else {
            return;
        }
    }
}

char TReader::NextCharacter() {
    SkipBlanks();
    return AtEnd() ? '\0' : text_[pos_];
}

TToken TReader::Lex() {
    SkipBlanks();
    TToken token;
    token.Line = line_;
    if (AtEnd()) {
        token.Line = EndLine();
        return token;
    }
    const char c = text_[pos_];
    if (IsNameStart(c))
        return LexName();
    if (IsDigit(c) || c == '-')
        return LexInteger();
    if (c == '"')
        return LexString();
    if (c == '{' || c == '}' || c == '[' || c == ']' || c == '=' || c == ':' || c == ',') {
        ++pos_;
        token.Kind = TTokenKind::Punctuation;
        token.Text = std::string(1, c);
        return token;
    }
    Fail(line_, "unexpected character " + DescribeCharacter());
}

TToken TReader::LexName() {
    TToken token;
    token.Kind = TTokenKind::Name;
    token.Line = line_;
    const std::size_t start = pos_;
    for (;;) {
        while (!AtEnd() && IsNameChar(text_[pos_]))
            ++pos_;
        if (AtEnd() || text_[pos_] != '.')
            break;
        if (pos_ + 1 >= text_.size() || !IsNameStart(text_[pos_ + 1]))
            Fail(line_, "expected a name after the '.' in " +
                            Quoted(text_.substr(start, pos_ + 1 - start)));
        ++pos_;
    }
    token.Text = std::string(text_.substr(start, pos_ - start));
    return token;
}

TToken TReader::LexInteger() {
    TToken token;
    token.Kind = TTokenKind::Integer;
    token.Line = line_;
    const std::size_t start = pos_;
    const bool negative = text_[pos_] == '-';
    if (negative) {
        ++pos_;
        if (AtEnd() || !IsDigit(text_[pos_]))
            Fail(line_, "expected digits after '-'");
    }
    int base = 10;
    if (text_[pos_] == '0' && pos_ + 1 < text_.size() &&
        (text_[pos_ + 1] == 'x' || text_[pos_ + 1] == 'X')) {
        base = 16;
        pos_ += 2;
    }
    const std::size_t digits = pos_;
    while (!AtEnd() && (base == 16 ? IsHexDigit(text_[pos_]) : IsDigit(text_[pos_])))
        ++pos_;
    const bool glued = !AtEnd() && (IsNameChar(text_[pos_]) || text_[pos_] == '.');
    if (pos_ == digits || glued) {
        while (!AtEnd() && (IsNameChar(text_[pos_]) || text_[pos_] == '.'))
            ++pos_;
        Fail(line_, "invalid number " + Quoted(text_.substr(start, pos_ - start)) +
                        ": integers are decimal, or hexadecimal after 0x");
    }
    // The magnitude may reach 2^63 for a negative number.
    const std::uint64_t limit = negative ? std::uint64_t(1) << 63 : (std::uint64_t(1) << 63) - 1;
    std::uint64_t magnitude = 0;
    for (std::size_t i = digits; i < pos_; ++i) {
        const std::uint64_t digit = std::uint64_t(HexValue(text_[i]));
        if (magnitude > (limit - digit) / std::uint64_t(base))
            Fail(line_, "integer " + Quoted(text_.substr(start, pos_ - start)) +
                            " does not fit in 64 bits");
        magnitude = magnitude * std::uint64_t(base) + digit;
    }
    // Two's complement of the magnitude; exact for -2^63 too.
    token.Integer = negative ? std::int64_t(~magnitude + 1) : std::int64_t(magnitude);
    return token;
}

TToken TReader::LexString() {
    TToken token;
    token.Kind = TTokenKind::String;
    token.Line = line_;
    ++pos_; // the opening quote
    for (;;) {
        if (AtEnd())
            Fail(token.Line, "unterminated string: the file ends before its closing '\"'");
        const char c = text_[pos_];
        if (c == '"') {
            ++pos_;
            return token;
        }
        if (c == '\n' || c == '\r')
            Fail(token.Line, "unterminated string: a string must end on the line where it "
                             "starts (write \\n for a line break inside it)");
        if (c == '\\') {
            LexEscape(token.Text);
            continue;
        }
        const std::size_t length = Utf8Length(text_, pos_);
        if (length == 0)
            Fail(line_, "invalid UTF-8 in a string (byte 0x" + HexByte(std::uint8_t(c)) + ")");
        token.Text.append(text_.substr(pos_, length));
        pos_ += length;
    }
}

void TReader::LexEscape(std::string& out) {
    const std::string known = "the escapes are \\\" \\\\ \\n \\r \\t and \\u{XXXX}";
    ++pos_; // the backslash
    if (AtEnd())
        Fail(line_, "unterminated string: the file ends before its closing '\"'");
    const char c = text_[pos_];
    switch (c) {
    case '"':
    case '\\':
        out += c;
        ++pos_;
        return;
    case 'n':
        out += '\n';
        ++pos_;
        return;
    case 'r':
        out += '\r';
        ++pos_;
        return;
    case 't':
        out += '\t';
        ++pos_;
        return;
    case 'u':
        break;
    default:
        if (c > ' ' && c < 0x7F)
            Fail(line_, std::string("bad escape '\\") + c + "' in a string; " + known);
        Fail(line_, "bad escape: a backslash followed by " + DescribeCharacter() +
                        " in a string; " + known);
    }
    ++pos_; // the u
    const std::string form = "bad escape: \\u needs 1 to 6 hex digits in braces, as in \\u{44F}";
    if (AtEnd() || text_[pos_] != '{')
        Fail(line_, form);
    ++pos_;
    const std::size_t digits = pos_;
    std::uint32_t code = 0;
    while (!AtEnd() && IsHexDigit(text_[pos_]) && pos_ - digits < 6) {
        code = code * 16 + std::uint32_t(HexValue(text_[pos_]));
        ++pos_;
    }
    if (pos_ == digits || AtEnd() || text_[pos_] != '}')
        Fail(line_, form);
    ++pos_;
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        Fail(line_, "bad escape \\u{" + std::string(text_.substr(digits, pos_ - 1 - digits)) +
                        "}: not a Unicode character (surrogates and values above 10FFFF are "
                        "not allowed)");
    AppendUtf8(out, code);
}

std::string TReader::DescribeToken() const {
    switch (token_.Kind) {
    case TTokenKind::End:
        return "the end of the file";
    case TTokenKind::String:
        return "a string";
    case TTokenKind::Integer:
        return "the number " + std::to_string(token_.Integer);
    case TTokenKind::Name:
    case TTokenKind::Punctuation:
        break;
    }
    return Quoted(token_.Text);
}

// The current token as an object or class name: a name without dots.
std::string TReader::PlainName(const char* what) {
    if (token_.Text.find('.') != std::string::npos)
        Fail(token_.Line, std::string("the ") + what + " " + Quoted(token_.Text) +
                              " must be a single name, without dots");
    std::string name = std::move(token_.Text);
    Advance();
    return name;
}

void TReader::FailUnclosed(const std::string& what, int line, char closer) const {
    Fail(EndLine(), what + " (line " + std::to_string(line) + ") is not closed: expected '" +
                        closer + "' before the end of the file");
}

void TReader::CheckDepth(int depth, int line) const {
    if (depth > MaxFormNesting)
        Fail(line, "objects and items are nested more than " + std::to_string(MaxFormNesting) +
                       " levels deep");
}

TFormObject TReader::ReadFile() {
    if (text_.size() >= std::size_t(INT_MAX))
        Fail(1, "the file is too large");
    if (text_.substr(0, 3) == "\xEF\xBB\xBF")
        pos_ = 3;
    Advance();
    if (token_.Kind == TTokenKind::End)
        Fail(token_.Line, "the file defines no object; it must hold 'object NAME : CLASS { ... }'");
    if (!TokenIsWord("object"))
        Fail(token_.Line, "expected 'object' at the start of the file, found " + DescribeToken());
    TFormObject object = ReadObject(1);
    if (token_.Kind != TTokenKind::End) {
        if (TokenIsWord("object"))
            Fail(token_.Line, "a second top-level object; a file holds one object, and the "
                              "others go inside it");
        Fail(token_.Line, "unexpected " + DescribeToken() + " after the end of object " +
                              Quoted(object.Name) + "; nothing but comments may follow it");
    }
    return object;
}

// At the word object; reads up to and including the closing brace.
TFormObject TReader::ReadObject(int depth) {
    TFormObject object;
    object.Line = token_.Line;
    CheckDepth(depth, object.Line);
    Advance();
    if (token_.Kind != TTokenKind::Name)
        Fail(token_.Line, "expected an object name after 'object', found " + DescribeToken());
    object.Name = PlainName("object name");
    if (!TokenIsPunctuation(':'))
        Fail(token_.Line, "expected ':' and a class name after object name " + Quoted(object.Name) +
                              ", found " + DescribeToken());
    Advance();
    if (token_.Kind != TTokenKind::Name)
        Fail(token_.Line, "expected a class name after " + Quoted(object.Name + " :") + ", found " +
                              DescribeToken());
    object.ClassName = PlainName("class name");
    if (!TokenIsPunctuation('{'))
        Fail(token_.Line, "expected '{' after " +
                              Quoted("object " + object.Name + " : " + object.ClassName) +
                              ", found " + DescribeToken());
    Advance();
    for (;;) {
        if (TokenIsPunctuation('}')) {
            Advance();
            return object;
        }
        if (token_.Kind == TTokenKind::End)
            FailUnclosed("object " + Quoted(object.Name), object.Line, '}');
        if (token_.Kind != TTokenKind::Name)
            Fail(token_.Line, "expected a property, 'object' or '}' in object " +
                                  Quoted(object.Name) + ", found " + DescribeToken());
        if (TokenIsWord("object") && NextCharacter() != '=')
            object.Children.push_back(ReadObject(depth + 1));
        else
            object.Properties.push_back(ReadProperty(depth));
    }
}

// At the property path; depth is the level of the object or item that holds the property.
TFormProperty TReader::ReadProperty(int depth) {
    TFormProperty property;
    property.Line = token_.Line;
    property.Name = std::move(token_.Text);
    Advance();
    if (!TokenIsPunctuation('='))
        Fail(property.Line, "expected '=' after property name " + Quoted(property.Name) +
                                ", found " + DescribeToken());
    const int equals_line = token_.Line;
    Advance();
    property.Value = ReadValue(property.Name, equals_line, depth);
    return property;
}

// A missing value is reported on the line of the '=', where it belongs.
TFormValue TReader::ReadValue(const std::string& property, int equals_line, int depth) {
    TFormValue value;
    value.Line = token_.Line;
    switch (token_.Kind) {
    case TTokenKind::Integer:
        value.Kind = fvInteger;
        value.Integer = token_.Integer;
        Advance();
        return value;
    case TTokenKind::String:
        value.Kind = fvString;
        value.Text = std::move(token_.Text);
        Advance();
        while (token_.Kind == TTokenKind::String) {
            value.Text += token_.Text;
            Advance();
        }
        return value;
    case TTokenKind::Punctuation:
        if (TokenIsPunctuation('[')) {
            ReadSet(value, property);
            return value;
        }
        break;
    case TTokenKind::Name:
        if (TokenIsWord("true") || TokenIsWord("false")) {
            value.Kind = fvBoolean;
            value.Boolean = TokenIsWord("true");
            Advance();
            return value;
        }
        if ((TokenIsWord("strings") || TokenIsWord("hex") || TokenIsWord("items")) &&
            NextCharacter() == '{') {
            if (TokenIsWord("strings"))
                ReadStrings(value, property);
            else if (TokenIsWord("hex"))
                ReadBinary(value, property);
            else
                ReadItems(value, property, depth);
            return value;
        }
        if (token_.Text.find('.') != std::string::npos)
            Fail(token_.Line, "the value " + Quoted(token_.Text) + " of property " +
                                  Quoted(property) + " is not a single name (no dots allowed)");
        value.Kind = fvIdentifier;
        value.Text = std::move(token_.Text);
        Advance();
        return value;
    case TTokenKind::End:
        break;
    }
    Fail(equals_line, "expected a value for property " + Quoted(property) + " after '=', found " +
                          DescribeToken());
}

// At '['.
void TReader::ReadSet(TFormValue& value, const std::string& property) {
    value.Kind = fvSet;
    Advance();
    if (TokenIsPunctuation(']')) {
        Advance();
        return;
    }
    for (;;) {
        if (token_.Kind == TTokenKind::End)
            FailUnclosed("the set of property " + Quoted(property), value.Line, ']');
        if (token_.Kind != TTokenKind::Name || token_.Text.find('.') != std::string::npos)
            Fail(token_.Line, "expected a name in the set of property " + Quoted(property) +
                                  ", found " + DescribeToken());
        value.List.push_back(std::move(token_.Text));
        Advance();
        if (TokenIsPunctuation(']')) {
            Advance();
            return;
        }
        if (TokenIsPunctuation(','))
            Advance();
        else if (token_.Kind == TTokenKind::End)
            FailUnclosed("the set of property " + Quoted(property), value.Line, ']');
        else
            Fail(token_.Line, "expected ',' or ']' in the set of property " + Quoted(property) +
                                  ", found " + DescribeToken());
    }
}

// At the word strings, with '{' next in the text.
void TReader::ReadStrings(TFormValue& value, const std::string& property) {
    value.Kind = fvStrings;
    Advance(); // to the '{'
    Advance();
    for (;;) {
        if (TokenIsPunctuation('}')) {
            Advance();
            return;
        }
        if (token_.Kind == TTokenKind::End)
            FailUnclosed("the string list of property " + Quoted(property), value.Line, '}');
        if (token_.Kind != TTokenKind::String)
            Fail(token_.Line, "expected a string or '}' in the string list of property " +
                                  Quoted(property) + ", found " + DescribeToken());
        value.List.push_back(std::move(token_.Text));
        Advance();
    }
}

// At the word hex, with '{' at pos_. The digits are read straight from the text: a group
// such as 0ff would not lex as one token.
void TReader::ReadBinary(TFormValue& value, const std::string& property) {
    value.Kind = fvBinary;
    const std::string where = "in the binary data of property " + Quoted(property);
    ++pos_; // the '{'
    for (;;) {
        SkipBlanks();
        if (AtEnd())
            FailUnclosed("the binary data of property " + Quoted(property), value.Line, '}');
        const char c = text_[pos_];
        if (c == '}') {
            ++pos_;
            break;
        }
        if (!IsNameChar(c))
            Fail(line_, "unexpected character " + DescribeCharacter() + " " + where +
                            "; expected hex digits or '}'");
        const std::size_t start = pos_;
        while (!AtEnd() && IsNameChar(text_[pos_])) {
            if (!IsHexDigit(text_[pos_]))
                Fail(line_, DescribeCharacter() + " is not a hex digit (" + where + ")");
            ++pos_;
        }
        if ((pos_ - start) % 2 != 0)
            Fail(line_, "odd number of hex digits in " + Quoted(text_.substr(start, pos_ - start)) +
                            " " + where + "; each byte takes two digits");
        for (std::size_t i = start; i < pos_; i += 2)
            value.Binary.push_back(std::uint8_t(HexValue(text_[i]) * 16 + HexValue(text_[i + 1])));
    }
    Advance();
}

// At the word items, with '{' next in the text; depth is the level of the holder.
void TReader::ReadItems(TFormValue& value, const std::string& property, int depth) {
    value.Kind = fvItems;
    Advance(); // to the '{'
    Advance();
    for (;;) {
        if (TokenIsPunctuation('}')) {
            Advance();
            return;
        }
        if (token_.Kind == TTokenKind::End)
            FailUnclosed("the items of property " + Quoted(property), value.Line, '}');
        if (!TokenIsWord("item"))
            Fail(token_.Line, "expected 'item' or '}' in the items of property " +
                                  Quoted(property) + ", found " + DescribeToken());
        TFormItem item;
        item.Line = token_.Line;
        CheckDepth(depth + 1, item.Line);
        Advance();
        if (!TokenIsPunctuation('{'))
            Fail(token_.Line, "expected '{' after 'item', found " + DescribeToken());
        Advance();
        for (;;) {
            if (TokenIsPunctuation('}')) {
                Advance();
                break;
            }
            if (token_.Kind == TTokenKind::End)
                FailUnclosed("an item of property " + Quoted(property), item.Line, '}');
            if (token_.Kind != TTokenKind::Name)
                Fail(token_.Line, "expected a property or '}' in an item of property " +
                                      Quoted(property) + ", found " + DescribeToken());
            if (TokenIsWord("object") && NextCharacter() != '=')
                Fail(token_.Line, "an item of property " + Quoted(property) +
                                      " cannot hold objects, only properties");
            item.Properties.push_back(ReadProperty(depth + 1));
        }
        value.Items.push_back(std::move(item));
    }
}

// ----------------------------------------------------------------------------------------
// Writing

class TWriter {
public:
    std::string Write(const TFormObject& object) {
        WriteObject(object, 0, 1);
        return std::move(out_);
    }

private:
    [[noreturn]] static void Fail(const std::string& reason) {
        throw std::invalid_argument("Cannot write the form definition: " + reason);
    }

    void Indent(int level) { out_.append(std::size_t(level) * 4, ' '); }
    static void CheckDepth(int depth);
    // level: indentation; depth: nesting level of the object or item being written, or
    // holding the properties.
    void WriteObject(const TFormObject& object, int level, int depth);
    void WriteProperties(const std::vector<TFormProperty>& properties, int level, int depth);
    void WriteValue(const TFormValue& value, const std::string& property, int level, int depth);
    static std::string Quote(std::string_view text, const std::string& property);

    std::string out_;
};

void TWriter::CheckDepth(int depth) {
    if (depth > MaxFormNesting)
        Fail("objects and items are nested more than " + std::to_string(MaxFormNesting) +
             " levels deep");
}

void TWriter::WriteObject(const TFormObject& object, int level, int depth) {
    CheckDepth(depth);
    if (!IsName(object.Name))
        Fail("the object name " + Quoted(object.Name) + " is not a name");
    if (!IsName(object.ClassName))
        Fail("the class name " + Quoted(object.ClassName) + " of object " + Quoted(object.Name) +
             " is not a name");
    Indent(level);
    out_ += "object " + object.Name + " : " + object.ClassName + " {\n";
    WriteProperties(object.Properties, level + 1, depth);
    for (const TFormObject& child : object.Children)
        WriteObject(child, level + 1, depth + 1);
    Indent(level);
    out_ += "}\n";
}

void TWriter::WriteProperties(const std::vector<TFormProperty>& properties, int level, int depth) {
    for (const TFormProperty& property : properties) {
        if (!IsPath(property.Name))
            Fail("the property name " + Quoted(property.Name) + " is not a name or dotted path");
        Indent(level);
        out_ += property.Name + " = ";
        WriteValue(property.Value, property.Name, level, depth);
        out_ += '\n';
    }
}

void TWriter::WriteValue(const TFormValue& value, const std::string& property, int level,
                         int depth) {
    switch (value.Kind) {
    case fvInteger:
        out_ += std::to_string(value.Integer);
        return;
    case fvBoolean:
        out_ += value.Boolean ? "true" : "false";
        return;
    case fvIdentifier:
        if (!IsName(value.Text) || value.Text == "true" || value.Text == "false")
            Fail("the identifier " + Quoted(value.Text) + " of property " + Quoted(property) +
                 " is not a name, or reads back as a boolean");
        out_ += value.Text;
        return;
    case fvString: {
        // One literal per line of the text, each but the last ending in \n.
        std::string_view rest = value.Text;
        for (bool first = true;; first = false) {
            const std::size_t end = rest.find('\n');
            const std::size_t length =
                end == std::string_view::npos || end + 1 == rest.size() ? rest.size() : end + 1;
            if (!first) {
                out_ += '\n';
                Indent(level + 1);
            }
            out_ += Quote(rest.substr(0, length), property);
            rest.remove_prefix(length);
            if (rest.empty())
                return;
        }
    }
    case fvSet:
        out_ += '[';
        for (std::size_t i = 0; i < value.List.size(); ++i) {
            if (!IsName(value.List[i]))
                Fail("the set member " + Quoted(value.List[i]) + " of property " +
                     Quoted(property) + " is not a name");
            out_ += (i ? ", " : "") + value.List[i];
        }
        out_ += ']';
        return;
    case fvStrings:
        if (value.List.empty()) {
            out_ += "strings { }";
            return;
        }
        out_ += "strings {\n";
        for (const std::string& line : value.List) {
            Indent(level + 1);
            out_ += Quote(line, property) + '\n';
        }
        Indent(level);
        out_ += '}';
        return;
    case fvBinary:
        if (value.Binary.size() <= BinaryBytesPerLine) {
            out_ += "hex { ";
            for (const std::uint8_t byte : value.Binary)
                out_ += HexByte(byte);
            out_ += value.Binary.empty() ? "}" : " }";
            return;
        }
        out_ += "hex {";
        for (std::size_t i = 0; i < value.Binary.size(); ++i) {
            if (i % BinaryBytesPerLine == 0) {
                out_ += '\n';
                Indent(level + 1);
            }
            out_ += HexByte(value.Binary[i]);
        }
        out_ += '\n';
        Indent(level);
        out_ += '}';
        return;
    case fvItems:
        CheckDepth(depth + 1);
        if (value.Items.empty()) {
            out_ += "items { }";
            return;
        }
        out_ += "items {\n";
        for (const TFormItem& item : value.Items) {
            Indent(level + 1);
            if (item.Properties.empty()) {
                out_ += "item { }\n";
                continue;
            }
            out_ += "item {\n";
            WriteProperties(item.Properties, level + 2, depth + 1);
            Indent(level + 1);
            out_ += "}\n";
        }
        Indent(level);
        out_ += '}';
        return;
    }
    Fail("property " + Quoted(property) + " has an unknown kind of value (" +
         std::to_string(int(value.Kind)) + ")");
}

std::string TWriter::Quote(std::string_view text, const std::string& property) {
    if (!IsValidUtf8(text))
        Fail("a string of property " + Quoted(property) + " is not valid UTF-8");
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (std::uint8_t(c) < 0x20 || c == 0x7F) {
                const std::string hex = HexByte(std::uint8_t(c));
                out += "\\u{" + hex + "}";
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

// ----------------------------------------------------------------------------------------
// Comparing

bool SameProperties(const std::vector<TFormProperty>& a, const std::vector<TFormProperty>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].Name != b[i].Name || !SameFormContent(a[i].Value, b[i].Value))
            return false;
    return true;
}

} // namespace

TFormObject ParseFormDefinition(std::string_view text, const std::string& file_name) {
    return TReader(text, file_name).ReadFile();
}

std::string WriteFormDefinition(const TFormObject& object) {
    return TWriter().Write(object);
}

bool SameFormContent(const TFormValue& a, const TFormValue& b) {
    if (a.Kind != b.Kind)
        return false;
    switch (a.Kind) {
    case fvInteger:
        return a.Integer == b.Integer;
    case fvBoolean:
        return a.Boolean == b.Boolean;
    case fvString:
    case fvIdentifier:
        return a.Text == b.Text;
    case fvSet:
    case fvStrings:
        return a.List == b.List;
    case fvBinary:
        return a.Binary == b.Binary;
    case fvItems:
        if (a.Items.size() != b.Items.size())
            return false;
        for (std::size_t i = 0; i < a.Items.size(); ++i)
            if (!SameProperties(a.Items[i].Properties, b.Items[i].Properties))
                return false;
        return true;
    }
    return false;
}

bool SameFormContent(const TFormObject& a, const TFormObject& b) {
    if (a.Name != b.Name || a.ClassName != b.ClassName || a.Children.size() != b.Children.size() ||
        !SameProperties(a.Properties, b.Properties))
        return false;
    for (std::size_t i = 0; i < a.Children.size(); ++i)
        if (!SameFormContent(a.Children[i], b.Children[i]))
            return false;
    return true;
}

} // namespace kalvo
