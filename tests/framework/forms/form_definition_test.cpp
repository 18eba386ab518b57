#include "app/framework/forms/form_definition.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace kalvo {
namespace {

const std::string FileName = "forms/test.form";

// A tree as text, with the line of every node after '@', so that one comparison checks
// names, kinds, values, order, nesting and lines, and a failure shows where they differ.
std::string Show(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else if (c == '"' || c == '\\')
            out += std::string("\\") + c;
        else
            out += c;
    }
    return out + "\"";
}

void DumpProperties(std::ostringstream& out, const std::vector<TFormProperty>& properties,
                    int depth);

void DumpValue(std::ostringstream& out, const TFormValue& value, int depth) {
    static const char* const kinds[] = {"integer", "string",  "boolean", "identifier",
                                        "set",     "strings", "binary",  "items"};
    out << kinds[value.Kind] << " @" << value.Line;
    switch (value.Kind) {
    case fvInteger:
        out << " " << value.Integer;
        break;
    case fvString:
    case fvIdentifier:
        out << " " << (value.Kind == fvString ? Show(value.Text) : value.Text);
        break;
    case fvBoolean:
        out << (value.Boolean ? " true" : " false");
        break;
    case fvSet:
    case fvStrings:
        for (const std::string& member : value.List)
            out << " " << (value.Kind == fvStrings ? Show(member) : member);
        break;
    case fvBinary:
        out << std::hex;
        for (const std::uint8_t byte : value.Binary)
            out << " " << int(byte);
        out << std::dec;
        break;
    case fvItems:
        for (const TFormItem& item : value.Items) {
            out << "\n" << std::string(2 * depth + 2, ' ') << "item @" << item.Line;
            DumpProperties(out, item.Properties, depth + 2);
        }
        break;
    }
}

void DumpProperties(std::ostringstream& out, const std::vector<TFormProperty>& properties,
                    int depth) {
    for (const TFormProperty& property : properties) {
        out << "\n"
            << std::string(2 * depth, ' ') << property.Name << " @" << property.Line << " = ";
        DumpValue(out, property.Value, depth);
    }
}

void DumpObject(std::ostringstream& out, const TFormObject& object, int depth) {
    out << "\n"
        << std::string(2 * depth, ' ') << "object " << object.Name << " : " << object.ClassName
        << " @" << object.Line;
    DumpProperties(out, object.Properties, depth + 1);
    for (const TFormObject& child : object.Children)
        DumpObject(out, child, depth + 1);
}

std::string Dump(const TFormObject& object) {
    std::ostringstream out;
    DumpObject(out, object, 0);
    return out.str();
}

TFormObject Parse(const std::string& text) {
    return ParseFormDefinition(text, FileName);
}

// The example of the developers' guide with more of every kind: a property after a child,
// escapes, empty lists, a value on the line after its '='.
const std::string FullExample = R"(# a comment runs to the end of the line
object kalvo_setup : Tkalvo_setup {
    Left = 192
    Caption = "Kalvo.Net - Setup"
    Text = "first part, "
           "second part"                 # adjacent strings concatenate
    Color = 16313565                     # integers: decimal, negative, or 0x hexadecimal
    Visible = false                      # booleans: true, false
    Font.Name = "Tahoma"                 # dotted property paths
    Align = alClient
    OnShow = FormShow
    Anchors = [akLeft, akTop]            # sets (may be empty: [])
    Items = strings { "English" "Русский" }
    Data = hex { 41537A66 0000 ff }
    Images = items {
        item { Name = "glow" Left = 1 }
        item { }
    }
    object sPanel1 : TsPanel {
        Left = 0
    }
    Top = -40
    ShowHint = true
    Hint = "\u{41F}\u{0440}и\n\"q\"\\ \t#"
    Tag = 0x7FFFffff
    Font.Style = []
    Lines = strings { }
    Icon = hex { }
    Panels = items { }
    Width =
        640
    object sButton1 : TsButton {
        Caption = "OK"
        object Glyph : TsImage { }
    }
}
# nothing but comments after the object
)";

TEST(FormDefinitionReader, ReadsEveryKindOfValueWithItsLine) {
    const TFormObject form = Parse(FullExample);
    EXPECT_EQ(Dump(form), R"(
object kalvo_setup : Tkalvo_setup @2
  Left @3 = integer @3 192
  Caption @4 = string @4 "Kalvo.Net - Setup"
  Text @5 = string @5 "first part, second part"
  Color @7 = integer @7 16313565
  Visible @8 = boolean @8 false
  Font.Name @9 = string @9 "Tahoma"
  Align @10 = identifier @10 alClient
  OnShow @11 = identifier @11 FormShow
  Anchors @12 = set @12 akLeft akTop
  Items @13 = strings @13 "English" "Русский"
  Data @14 = binary @14 41 53 7a 66 0 0 ff
  Images @15 = items @15
    item @16
      Name @16 = string @16 "glow"
      Left @16 = integer @16 1
    item @17
  Top @22 = integer @22 -40
  ShowHint @23 = boolean @23 true
  Hint @24 = string @24 "При\n\"q\"\\ \t#"
  Tag @25 = integer @25 2147483647
  Font.Style @26 = set @26
  Lines @27 = strings @27
  Icon @28 = binary @28
  Panels @29 = items @29
  Width @30 = integer @31 640
  object sPanel1 : TsPanel @19
    Left @20 = integer @20 0
  object sButton1 : TsButton @32
    Caption @33 = string @33 "OK"
    object Glyph : TsImage @34)");
    // The bytes, whatever the encoding of this source file: U+041F and U+0440 from escapes,
    // U+0438 as written; Cyrillic from the file kept as it is.
    EXPECT_EQ(form.Properties.at(14).Value.Text, "\xD0\x9F\xD1\x80\xD0\xB8\n\"q\"\\ \t#");
    EXPECT_EQ(form.Properties.at(9).Value.List.at(1),
              "\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9");
}

struct TValueCase {
    const char* name;
    std::string literal; // written after "V = "
    std::function<bool(const TFormValue&)> check;
};

bool IsInteger(const TFormValue& v, std::int64_t expected) {
    return v.Kind == fvInteger && v.Integer == expected;
}
bool IsString(const TFormValue& v, const std::string& expected) {
    return v.Kind == fvString && v.Text == expected;
}

TEST(FormDefinitionReader, ReadsLiterals) {
    constexpr std::int64_t Max = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t Min = std::numeric_limits<std::int64_t>::min();
    const TValueCase cases[] = {
        {"zero", "0",
         [](auto& v) {
             return IsInteger(v, 0);
         }},
        {"minus zero", "-0",
         [](auto& v) {
             return IsInteger(v, 0);
         }},
        {"leading zeros", "007",
         [](auto& v) {
             return IsInteger(v, 7);
         }},
        {"hex lower", "0xff",
         [](auto& v) {
             return IsInteger(v, 255);
         }},
        {"hex upper prefix", "0XFF",
         [](auto& v) {
             return IsInteger(v, 255);
         }},
        {"negative hex", "-0x10",
         [](auto& v) {
             return IsInteger(v, -16);
         }},
        {"system colour", "0xFF00000F",
         [](auto& v) {
             return IsInteger(v, 0xFF00000F);
         }},
        {"largest", "9223372036854775807",
         [=](auto& v) {
             return IsInteger(v, Max);
         }},
        {"smallest", "-9223372036854775808",
         [=](auto& v) {
             return IsInteger(v, Min);
         }},
        {"largest hex", "0x7FFFFFFFFFFFFFFF",
         [=](auto& v) {
             return IsInteger(v, Max);
         }},
        {"smallest hex", "-0x8000000000000000",
         [=](auto& v) {
             return IsInteger(v, Min);
         }},
        {"empty string", "\"\"",
         [](auto& v) {
             return IsString(v, "");
         }},
        {"escapes", R"("\"\\\n\r\t")",
         [](auto& v) {
             return IsString(v, "\"\\\n\r\t");
         }},
        {"u one digit", R"("\u{41}")",
         [](auto& v) {
             return IsString(v, "A");
         }},
        {"u nul", R"("a\u{0}b")",
         [](auto& v) {
             return IsString(v, std::string("a\0b", 3));
         }},
        {"u two bytes", R"("\u{7FF}")",
         [](auto& v) {
             return IsString(v, "\xDF\xBF");
         }},
        {"u three bytes", R"("\u{FFFD}")",
         [](auto& v) {
             return IsString(v, "\xEF\xBF\xBD");
         }},
        {"u four bytes", R"("\u{1F600}")",
         [](auto& v) {
             return IsString(v, "\xF0\x9F\x98\x80");
         }},
        {"u six digits", R"("\u{10FFFF}")",
         [](auto& v) {
             return IsString(v, "\xF4\x8F\xBF\xBF");
         }},
        {"u after surrogates", R"("\u{E000}")",
         [](auto& v) {
             return IsString(v, "\xEE\x80\x80");
         }},
        {"raw four-byte UTF-8", "\"\xF0\x9F\x98\x80\"",
         [](auto& v) {
             return IsString(v, "\xF0\x9F\x98\x80");
         }},
        {"hash in a string", R"("#1")",
         [](auto& v) {
             return IsString(v, "#1");
         }},
        {"joined over a comment", "\"a\" # note\n  \"b\"\n  \"\" \"c\"",
         [](auto& v) {
             return IsString(v, "abc");
         }},
        {"string list entries stay apart", R"(strings { "a" "b" "" })",
         [](auto& v) {
             return v.Kind == fvStrings && v.List == std::vector<std::string>{"a", "b", ""};
         }},
        {"words are identifiers without a brace", "strings",
         [](auto& v) {
             return v.Kind == fvIdentifier && v.Text == "strings";
         }},
        {"hex without a brace", "hex",
         [](auto& v) {
             return v.Kind == fvIdentifier;
         }},
        {"items without a brace", "items",
         [](auto& v) {
             return v.Kind == fvIdentifier;
         }},
        {"identifier with digits", "_cl3D",
         [](auto& v) {
             return v.Text == "_cl3D";
         }},
        {"set over lines", "[\n a ,\n b # c\n ]",
         [](auto& v) {
             return v.Kind == fvSet && v.List == std::vector<std::string>{"a", "b"};
         }},
        {"binary groups and comments", "hex {\n 0a0B # one\n ff\n 00 }",
         [](auto& v) {
             return v.Kind == fvBinary && v.Binary == std::vector<std::uint8_t>{10, 11, 255, 0};
         }},
        {"binary in one group", "hex{0123456789abcdefABCDEF}",
         [](auto& v) {
             return v.Binary == std::vector<std::uint8_t>{0x01, 0x23, 0x45, 0x67, 0x89, 0xab,
                                                          0xcd, 0xef, 0xAB, 0xCD, 0xEF};
         }},
    };
    for (const TValueCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TFormObject form = Parse("object a : T {\n    V = " + c.literal + "\n}\n");
        ASSERT_EQ(form.Properties.size(), 1u);
        EXPECT_EQ(form.Properties[0].Name, "V");
        EXPECT_TRUE(c.check(form.Properties[0].Value)) << Dump(form);
    }
}

TEST(FormDefinitionReader, ReadsTheLayoutVariants) {
    // A byte order mark, CR LF line ends, no blanks where none are needed, a property
    // called object, dotted paths that start with it, and comments everywhere.
    const std::string text = "\xEF\xBB\xBF# start\r\n"
                             "object a:T{x=1 object=2\r\n"
                             "object.Visible=true#c\r\n"
                             "object b:U{}object c:V{y=\"s\"}\r\n"
                             "Items=items{item{object=3}item{}}}#end";
    EXPECT_EQ(Dump(Parse(text)), R"(
object a : T @2
  x @2 = integer @2 1
  object @2 = integer @2 2
  object.Visible @3 = boolean @3 true
  Items @5 = items @5
    item @5
      object @5 = integer @5 3
    item @5
  object b : U @4
  object c : V @4
    y @4 = string @4 "s")");
}

// Objects nested `levels` deep; with items, the deepest level is an item of a collection.
std::string Nested(int levels, bool items) {
    std::string text;
    for (int i = 1; i < levels; ++i)
        text += "object o" + std::to_string(i) + " : T {\n";
    text += items ? "P = items { item { Q = 1 } }\n" : "object last : T { }\n";
    for (int i = 1; i < levels; ++i)
        text += "}\n";
    return text;
}

TEST(FormDefinitionReader, ReadsNestingUpToTheLimit) {
    for (const bool items : {false, true}) {
        SCOPED_TRACE(items ? "an item at the deepest level" : "an object at the deepest level");
        const TFormObject form = Parse(Nested(MaxFormNesting, items));
        const TFormObject* deepest = &form;
        int levels = 1;
        while (!deepest->Children.empty()) {
            deepest = &deepest->Children.back();
            ++levels;
        }
        if (items) {
            ASSERT_EQ(deepest->Properties.size(), 1u);
            EXPECT_EQ(deepest->Properties[0].Value.Items.size(), 1u);
            ++levels;
        }
        EXPECT_EQ(levels, MaxFormNesting);
    }
}

struct TErrorCase {
    const char* name;
    std::string text;
    int line;
    std::string message; // a part of the reason
};

TEST(FormDefinitionReader, RefusesMalformedFiles) {
    const std::string head = "object a : T {\n"; // line 1
    const TErrorCase cases[] = {
        // The file as a whole.
        {"empty file", "", 1, "the file defines no object"},
        {"only comments", "# one\n# two\n", 2, "the file defines no object"},
        {"no object word", "form a : T {\n}\n", 1,
         "expected 'object' at the start of the file, found 'form'"},
        {"unclosed object", head + "    Left = 1\n", 2,
         "object 'a' (line 1) is not closed: expected '}' before the end of the file"},
        {"missing inner brace", head + "  object b : U {\n    Left = 1\n}\n", 4,
         "object 'a' (line 1) is not closed"},
        {"trailing garbage", head + "}\nLeft = 1\n", 3,
         "unexpected 'Left' after the end of object 'a'"},
        {"extra closing brace", head + "}\n\n}\n", 4, "unexpected '}' after the end of object 'a'"},
        {"two top objects", head + "}\nobject b : T {\n}\n", 3, "a second top-level object"},
        {"unexpected character", head + "  Left = 1;\n}", 2, "unexpected character ';'"},
        {"control character", head + "  \x01\n}", 2, "unexpected character byte 0x01"},
        {"non-ASCII outside strings", head + "  \xD0\x96 = 1\n}", 2,
         "unexpected character '\xD0\x96'"},
        {"invalid UTF-8 in a comment", head + "# \xFF\n}", 2, "invalid UTF-8 in a comment"},
        // Object headers.
        {"object without a name", "object : T {\n}", 1,
         "expected an object name after 'object', found ':'"},
        {"missing colon", "object a T {\n}", 1,
         "expected ':' and a class name after object name 'a'"},
        {"missing class name", "object a : {\n}", 1,
         "expected a class name after 'a :', found '{'"},
        {"missing opening brace", "object a : T\n  Left = 1\n}", 2,
         "expected '{' after 'object a : T', found 'Left'"},
        {"dotted object name", "object a.b : T {\n}", 1, "object name 'a.b' must be a single name"},
        {"dotted class name", "object a : U.T {\n}", 1, "class name 'U.T' must be a single name"},
        {"child without a name", head + "  object { }\n}", 2,
         "expected an object name after 'object'"},
        {"string in an object", head + "  \"x\"\n}", 2,
         "expected a property, 'object' or '}' in object 'a', found a string"},
        // Properties.
        {"missing equals", head + "  Left 192\n}", 2,
         "expected '=' after property name 'Left', found the number 192"},
        {"missing equals at the end", head + "  Left", 2,
         "expected '=' after property name 'Left'"},
        {"missing value", head + "  Left =\n}", 2,
         "expected a value for property 'Left' after '=', found '}'"},
        {"value cut off by the end", head + "  Left =", 2,
         "expected a value for property 'Left' after '=', found the end of the file"},
        {"path ending in a dot", head + "  Font. = 1\n}", 2,
         "expected a name after the '.' in 'Font.'"},
        {"path with two dots", head + "  Font..Name = 1\n}", 2,
         "expected a name after the '.' in 'Font.'"},
        {"dotted identifier", head + "  Align = al.Client\n}", 2,
         "the value 'al.Client' of property 'Align' is not a single name"},
        // Integers.
        {"integer overflow", head + "  Tag = 9223372036854775808\n}", 2,
         "integer '9223372036854775808' does not fit in 64 bits"},
        {"negative overflow", head + "  Tag = -9223372036854775809\n}", 2,
         "does not fit in 64 bits"},
        {"hex overflow", head + "  Tag = 0x8000000000000000\n}", 2,
         "integer '0x8000000000000000' does not fit in 64 bits"},
        {"long overflow", head + "  Tag = 123456789012345678901234567890123456789012345\n}", 2,
         "integer '1234567890123456789012345678901234567890...' does not fit"},
        {"letters after digits", head + "  Tag = 12abc\n}", 2, "invalid number '12abc'"},
        {"fraction", head + "  Tag = 1.5\n}", 2, "invalid number '1.5'"},
        {"hex without digits", head + "  Tag = 0x\n}", 2, "invalid number '0x'"},
        {"bad hex digit in an integer", head + "  Tag = 0x1G\n}", 2, "invalid number '0x1G'"},
        {"lone minus", head + "  Tag = - 1\n}", 2, "expected digits after '-'"},
        // Strings.
        {"unterminated string at the end", head + "  Caption = \"abc", 2,
         "unterminated string: the file ends before its closing '\"'"},
        {"line break in a string", head + "\n  Caption = \"abc\n  def\"\n}", 3,
         "unterminated string: a string must end on the line"},
        {"CR in a string", head + "  Caption = \"abc\r\n\"\n}", 2, "unterminated string"},
        {"backslash at the end", head + "  Caption = \"abc\\", 2, "unterminated string"},
        {"bad escape", head + "  Caption = \"a\\qb\"\n}", 2, "bad escape '\\q' in a string"},
        {"escaped line break", head + "  Caption = \"a\\\nb\"\n}", 2,
         "bad escape: a backslash followed by byte 0x0A"},
        {"u without braces", head + "  Caption = \"\\u41\"\n}", 2,
         "\\u needs 1 to 6 hex digits in braces"},
        {"u without digits", head + "  Caption = \"\\u{}\"\n}", 2,
         "\\u needs 1 to 6 hex digits in braces"},
        {"u with seven digits", head + "  Caption = \"\\u{0000041}\"\n}", 2,
         "\\u needs 1 to 6 hex digits in braces"},
        {"u unclosed", head + "  Caption = \"\\u{41\"\n}", 2,
         "\\u needs 1 to 6 hex digits in braces"},
        {"u surrogate", head + "  Caption = \"\\u{D800}\"\n}", 2,
         "bad escape \\u{D800}: not a Unicode character"},
        {"u above the range", head + "  Caption = \"\\u{110000}\"\n}", 2,
         "bad escape \\u{110000}: not a Unicode character"},
        {"invalid UTF-8 byte", head + "  Caption = \"a\xC3(\"\n}", 2,
         "invalid UTF-8 in a string (byte 0xC3)"},
        {"overlong UTF-8", head + "  Caption = \"\xC0\xAF\"\n}", 2,
         "invalid UTF-8 in a string (byte 0xC0)"},
        {"overlong three bytes", head + "  Caption = \"\xE0\x80\xAF\"\n}", 2,
         "invalid UTF-8 in a string"},
        {"encoded surrogate", head + "  Caption = \"\xED\xA0\x80\"\n}", 2,
         "invalid UTF-8 in a string (byte 0xED)"},
        {"above U+10FFFF", head + "  Caption = \"\xF4\x90\x80\x80\"\n}", 2,
         "invalid UTF-8 in a string (byte 0xF4)"},
        {"lone continuation byte", head + "  Caption = \"\x80\"\n}", 2,
         "invalid UTF-8 in a string (byte 0x80)"},
        {"UTF-8 cut by the quote", head + "  Caption = \"\xE2\x82\"\n}", 2,
         "invalid UTF-8 in a string (byte 0xE2)"},
        {"UTF-8 cut by the end", head + "  Caption = \"\xE2\x82", 2,
         "invalid UTF-8 in a string (byte 0xE2)"},
        // Sets.
        {"set without comma", head + "  Anchors = [akLeft akTop]\n}", 2,
         "expected ',' or ']' in the set of property 'Anchors', found 'akTop'"},
        {"set with trailing comma", head + "  Anchors = [akLeft,]\n}", 2,
         "expected a name in the set of property 'Anchors', found ']'"},
        {"number in a set", head + "  Anchors = [1]\n}", 2,
         "expected a name in the set of property 'Anchors', found the number 1"},
        {"unclosed set", head + "  Anchors = [akLeft,\n  akTop\n", 3,
         "the set of property 'Anchors' (line 2) is not closed: expected ']'"},
        // String lists.
        {"number in a string list", head + "  Items = strings { \"a\" 5 }\n}", 2,
         "expected a string or '}' in the string list of property 'Items', found the number 5"},
        {"unclosed string list", head + "  Items = strings {\n  \"a\"\n", 3,
         "the string list of property 'Items' (line 2) is not closed"},
        // Binary data.
        {"odd hex digit count", head + "  Data = hex { 415 }\n}", 2,
         "odd number of hex digits in '415' in the binary data of property 'Data'"},
        {"blank inside a byte", head + "  Data = hex { 41 5 3 }\n}", 2,
         "odd number of hex digits in '5'"},
        {"non-hex digit", head + "  Data = hex {\n 41\n 4G }\n}", 4,
         "'G' is not a hex digit (in the binary data of property 'Data')"},
        {"comma in binary data", head + "  Data = hex { 41, 42 }\n}", 2,
         "unexpected character ',' in the binary data of property 'Data'; expected hex digits or "
         "'}'"},
        {"string in binary data", head + "  Data = hex { \"41\" }\n}", 2,
         "unexpected character '\"' in the binary data"},
        {"unclosed binary data", head + "  Data = hex { 41\n 42\n", 3,
         "the binary data of property 'Data' (line 2) is not closed: expected '}'"},
        // Collections.
        {"not an item", head + "  Images = items {\n    thing { }\n  }\n}", 3,
         "expected 'item' or '}' in the items of property 'Images', found 'thing'"},
        {"item without brace", head + "  Images = items { item Name = 1 }\n}", 2,
         "expected '{' after 'item', found 'Name'"},
        {"object in an item", head + "  Images = items { item {\n object b : T { } } }\n}", 3,
         "an item of property 'Images' cannot hold objects"},
        {"string in an item", head + "  Images = items { item { \"x\" } }\n}", 2,
         "expected a property or '}' in an item of property 'Images', found a string"},
        {"unclosed item", head + "  Images = items {\n  item {\n", 3,
         "an item of property 'Images' (line 3) is not closed"},
        {"unclosed items", head + "  Images = items {\n  item { }\n", 3,
         "the items of property 'Images' (line 2) is not closed"},
        // Nesting.
        {"objects too deep", Nested(MaxFormNesting + 1, false), MaxFormNesting + 1,
         "objects and items are nested more than 64 levels deep"},
        {"items too deep", Nested(MaxFormNesting + 1, true), MaxFormNesting + 1,
         "objects and items are nested more than 64 levels deep"},
        {"items inside items too deep",
         [] {
             std::string text = "object a : T {\n";
             for (int i = 0; i < MaxFormNesting; ++i)
                 text += "P = items { item {\n";
             for (int i = 0; i < MaxFormNesting; ++i)
                 text += "} }\n";
             return text + "}\n";
         }(),
         MaxFormNesting + 1, "nested more than 64 levels deep"},
    };
    for (const TErrorCase& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            const TFormObject form = Parse(c.text);
            ADD_FAILURE() << "no error; read" << Dump(form);
        } catch (const EFormDefinitionError& e) {
            EXPECT_EQ(e.Line(), c.line) << e.what();
            EXPECT_EQ(e.FileName(), FileName);
            EXPECT_NE(e.Reason().find(c.message), std::string::npos) << e.what();
            EXPECT_EQ(std::string(e.what()),
                      FileName + ":" + std::to_string(c.line) + ": " + e.Reason());
        }
    }
}

// Hostile input: the reader stops at the limit rather than recursing through all of it.
TEST(FormDefinitionReader, StopsDeepNestingAtTheLimit) {
    const std::string objects = "object a : T {\n";
    const std::string items = "P = items { item {\n";
    for (const std::string& level : {objects, items}) {
        std::string text = objects;
        for (int i = 0; i < 1000000; ++i)
            text += level;
        try {
            Parse(text);
            ADD_FAILURE() << "no error";
        } catch (const EFormDefinitionError& e) {
            EXPECT_EQ(e.Line(), MaxFormNesting + 1);
            EXPECT_NE(e.Reason().find("nested more than"), std::string::npos) << e.what();
        }
    }
}

// Trees differing from a base tree by one thing each: SameFormContent tells them apart, and
// the fuzz target relies on that.
TEST(FormDefinitionContent, TellsEveryDifferenceButLines) {
    const TFormObject base = Parse(FullExample);
    TFormObject moved = base;
    moved.Line = 40;
    moved.Properties[0].Line = 41;
    moved.Properties[0].Value.Line = 42;
    moved.Properties[11].Value.Items[0].Line = 43;
    moved.Children[1].Children[0].Line = 44;
    EXPECT_TRUE(SameFormContent(base, moved));

    const std::pair<const char*, std::function<void(TFormObject&)>> changes[] = {
        {"object name",
         [](TFormObject& f) {
             f.Name += "x";
         }},
        {"class name",
         [](TFormObject& f) {
             f.Children[0].ClassName = "TsPanel2";
         }},
        {"deep child",
         [](TFormObject& f) {
             f.Children[1].Children[0].Name = "Glyph2";
         }},
        {"child order",
         [](TFormObject& f) {
             std::swap(f.Children[0], f.Children[1]);
         }},
        {"child removed",
         [](TFormObject& f) {
             f.Children.pop_back();
         }},
        {"property order",
         [](TFormObject& f) {
             std::swap(f.Properties[0], f.Properties[1]);
         }},
        {"property removed",
         [](TFormObject& f) {
             f.Properties.pop_back();
         }},
        {"property name",
         [](TFormObject& f) {
             f.Properties[0].Name = "Right";
         }},
        {"value kind",
         [](TFormObject& f) {
             f.Properties[0].Value.Kind = fvString;
         }},
        {"integer",
         [](TFormObject& f) {
             f.Properties[0].Value.Integer = 193;
         }},
        {"string",
         [](TFormObject& f) {
             f.Properties[1].Value.Text += " ";
         }},
        {"boolean",
         [](TFormObject& f) {
             f.Properties[4].Value.Boolean = true;
         }},
        {"identifier",
         [](TFormObject& f) {
             f.Properties[6].Value.Text = "alTop";
         }},
        {"set",
         [](TFormObject& f) {
             f.Properties[8].Value.List.pop_back();
         }},
        {"strings",
         [](TFormObject& f) {
             f.Properties[9].Value.List[0] = "english";
         }},
        {"binary",
         [](TFormObject& f) {
             f.Properties[10].Value.Binary[6] = 0xFE;
         }},
        {"item count",
         [](TFormObject& f) {
             f.Properties[11].Value.Items.pop_back();
         }},
        {"item property",
         [](TFormObject& f) {
             f.Properties[11].Value.Items[0].Properties[1].Value.Integer = 2;
         }},
        {"child property",
         [](TFormObject& f) {
             f.Children[0].Properties[0].Value.Integer = 5;
         }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        TFormObject changed = base;
        change(changed);
        EXPECT_FALSE(SameFormContent(base, changed));
        EXPECT_FALSE(SameFormContent(changed, base));
    }
}

TEST(FormDefinitionWriter, WritesTheDocumentedLayout) {
    TFormObject form;
    form.Name = "Form1";
    form.ClassName = "TForm";
    const auto add = [](std::vector<TFormProperty>& to, const std::string& name,
                        TFormValueKind kind) -> TFormValue& {
        to.push_back({name, {}, 0});
        to.back().Value.Kind = kind;
        return to.back().Value;
    };
    add(form.Properties, "Left", fvInteger).Integer = -12;
    add(form.Properties, "Caption", fvString).Text = "Say \"hi\"\\\x01\x7F\t\xD0\xAF";
    add(form.Properties, "Text", fvString).Text = "one\ntwo\n\nthree\n";
    add(form.Properties, "Font.Bold", fvBoolean).Boolean = true;
    add(form.Properties, "Align", fvIdentifier).Text = "alClient";
    add(form.Properties, "Anchors", fvSet).List = {"akLeft", "akTop"};
    add(form.Properties, "Empty", fvSet);
    add(form.Properties, "Lines", fvStrings).List = {"a", ""};
    add(form.Properties, "NoLines", fvStrings);
    std::vector<std::uint8_t> bytes(33);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = std::uint8_t(i * 8);
    add(form.Properties, "Long", fvBinary).Binary = bytes;
    add(form.Properties, "Short", fvBinary).Binary = {0xAB, 0x01};
    add(form.Properties, "None", fvBinary);
    TFormValue& items = add(form.Properties, "Columns", fvItems);
    items.Items.resize(2);
    add(items.Items[0].Properties, "Width", fvInteger).Integer = 5;
    add(form.Properties, "NoItems", fvItems);
    form.Children.push_back({"Panel1", "TPanel", 0, {}, {{"Inner", "TLabel", 0, {}, {}}}});

    EXPECT_EQ(WriteFormDefinition(form),
              "object Form1 : TForm {\n"
              "    Left = -12\n"
              "    Caption = \"Say \\\"hi\\\"\\\\\\u{01}\\u{7F}\\t\xD0\xAF\"\n"
              "    Text = \"one\\n\"\n"
              "        \"two\\n\"\n"
              "        \"\\n\"\n"
              "        \"three\\n\"\n"
              "    Font.Bold = true\n"
              "    Align = alClient\n"
              "    Anchors = [akLeft, akTop]\n"
              "    Empty = []\n"
              "    Lines = strings {\n"
              "        \"a\"\n"
              "        \"\"\n"
              "    }\n"
              "    NoLines = strings { }\n"
              "    Long = hex {\n"
              "        00081018202830384048505860687078"
              "80889098A0A8B0B8C0C8D0D8E0E8F0F8\n"
              "        00\n"
              "    }\n"
              "    Short = hex { AB01 }\n"
              "    None = hex { }\n"
              "    Columns = items {\n"
              "        item {\n"
              "            Width = 5\n"
              "        }\n"
              "        item { }\n"
              "    }\n"
              "    NoItems = items { }\n"
              "    object Panel1 : TPanel {\n"
              "        object Inner : TLabel {\n"
              "        }\n"
              "    }\n"
              "}\n");
}

// Writes the tree, reads it back and checks the content, and that writing again gives the
// same text.
testing::AssertionResult RoundTrips(const TFormObject& form) {
    const std::string written = WriteFormDefinition(form);
    TFormObject again;
    try {
        again = ParseFormDefinition(written, "written.form");
    } catch (const EFormDefinitionError& e) {
        return testing::AssertionFailure() << e.what() << " in\n" << written;
    }
    if (!SameFormContent(form, again))
        return testing::AssertionFailure() << "read back as" << Dump(again) << "\nfrom\n"
                                           << written;
    if (WriteFormDefinition(again) != written)
        return testing::AssertionFailure() << "written differently the second time";
    return testing::AssertionSuccess();
}

TEST(FormDefinitionWriter, RoundTripsTheFullExample) {
    EXPECT_TRUE(RoundTrips(Parse(FullExample)));
}

TEST(FormDefinitionWriter, RoundTripsAwkwardValues) {
    const std::string strings[] = {
        "",
        "\"",
        "\\",
        "\\u{41}",
        "\\n",
        "# not a comment",
        "} ] object x : T {",
        std::string("\0", 1),
        std::string("a\0\x01\x1F\x7F", 5),
        "\t\r\n",
        "\n",
        "\n\n",
        "ends with a line break\n",
        "\nstarts with one",
        "\r\nCR LF\r\n",
        "Ру́сский ✓ \xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF \xEF\xBB\xBF",
        std::string(5000, 'x'),
    };
    for (const std::string& s : strings) {
        SCOPED_TRACE(Show(s));
        TFormObject form{"a", "T", 0, {}, {}};
        form.Properties.push_back({"S", {}, 0});
        form.Properties.back().Value.Kind = fvString;
        form.Properties.back().Value.Text = s;
        form.Properties.push_back({"L", {}, 0});
        form.Properties.back().Value.Kind = fvStrings;
        form.Properties.back().Value.List = {s, s};
        EXPECT_TRUE(RoundTrips(form));
    }

    TFormObject form{"object", "items", 0, {}, {}};
    const std::pair<std::string, std::int64_t> integers[] = {
        {"Min", std::numeric_limits<std::int64_t>::min()},
        {"Max", std::numeric_limits<std::int64_t>::max()},
        {"object", 0},
    };
    for (const auto& [name, value] : integers) {
        form.Properties.push_back({name, {}, 0});
        form.Properties.back().Value.Integer = value;
    }
    for (const char* word : {"strings", "hex", "items", "object", "item"}) {
        form.Properties.push_back({"W", {}, 0});
        form.Properties.back().Value.Kind = fvIdentifier;
        form.Properties.back().Value.Text = word;
    }
    std::vector<std::uint8_t> all(256);
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = std::uint8_t(i);
    form.Properties.push_back({"Bytes", {}, 0});
    form.Properties.back().Value.Kind = fvBinary;
    form.Properties.back().Value.Binary = all;
    EXPECT_TRUE(RoundTrips(form));

    for (const bool items : {false, true}) {
        SCOPED_TRACE(items ? "items at the nesting limit" : "objects at the nesting limit");
        EXPECT_TRUE(RoundTrips(Parse(Nested(MaxFormNesting, items))));
    }
}

TEST(FormDefinitionWriter, RefusesTreesNoFileCanHold) {
    const std::pair<const char*, std::function<void(TFormObject&)>> cases[] = {
        {"empty object name",
         [](TFormObject& f) {
             f.Name.clear();
         }},
        {"object name with a blank",
         [](TFormObject& f) {
             f.Name = "a b";
         }},
        {"class name with a dot",
         [](TFormObject& f) {
             f.ClassName = "U.T";
         }},
        {"class name with a digit first",
         [](TFormObject& f) {
             f.ClassName = "1T";
         }},
        {"path with an empty part",
         [](TFormObject& f) {
             f.Properties[0].Name = "Font..Name";
         }},
        {"path ending in a dot",
         [](TFormObject& f) {
             f.Properties[0].Name = "Font.";
         }},
        {"identifier true",
         [](TFormObject& f) {
             f.Properties[1].Value.Text = "true";
         }},
        {"identifier with a dot",
         [](TFormObject& f) {
             f.Properties[1].Value.Text = "a.b";
         }},
        {"empty identifier",
         [](TFormObject& f) {
             f.Properties[1].Value.Text.clear();
         }},
        {"set member not a name",
         [](TFormObject& f) {
             f.Properties[2].Value.List = {"a", "-"};
         }},
        {"invalid UTF-8",
         [](TFormObject& f) {
             f.Properties[3].Value.Text = "\xC3";
         }},
        {"invalid UTF-8 in a list",
         [](TFormObject& f) {
             f.Properties[3].Value.Kind = fvStrings;
             f.Properties[3].Value.List = {"ok", "\xED\xA0\x80"};
         }},
        {"unknown kind",
         [](TFormObject& f) {
             f.Properties[0].Value.Kind = TFormValueKind(99);
         }},
        {"objects too deep",
         [](TFormObject& f) {
             TFormObject* deepest = &f;
             for (int i = 1; i < MaxFormNesting + 1; ++i) {
                 deepest->Children.push_back({"c", "T", 0, {}, {}});
                 deepest = &deepest->Children.back();
             }
         }},
        {"items too deep",
         [](TFormObject& f) {
             TFormObject* deepest = &f;
             for (int i = 1; i < MaxFormNesting; ++i) {
                 deepest->Children.push_back({"c", "T", 0, {}, {}});
                 deepest = &deepest->Children.back();
             }
             deepest->Properties.push_back({"P", {}, 0});
             deepest->Properties.back().Value.Kind = fvItems;
             deepest->Properties.back().Value.Items.resize(1);
         }},
    };
    const TFormObject base = Parse("object a : T {\n"
                                   "  Left = 1\n"
                                   "  Align = alClient\n"
                                   "  Anchors = [akLeft]\n"
                                   "  Caption = \"x\"\n"
                                   "}\n");
    ASSERT_NO_THROW(WriteFormDefinition(base));
    for (const auto& [name, change] : cases) {
        SCOPED_TRACE(name);
        TFormObject changed = base;
        change(changed);
        EXPECT_THROW(WriteFormDefinition(changed), std::invalid_argument);
    }
}

// The fuzzer starts from these files; they are meant to be well-formed.
TEST(FormDefinitionSeeds, ReadAndRoundTrip) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(KALVO_FORM_SEEDS)) {
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
        ASSERT_FALSE(text.empty());
        TFormObject form;
        ASSERT_NO_THROW(form = ParseFormDefinition(text, entry.path().string()));
        EXPECT_TRUE(RoundTrips(form));
        ++count;
    }
    EXPECT_GE(count, 4);
}

} // namespace
} // namespace kalvo
