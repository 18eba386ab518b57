// Form definition files: the text that describes the windows of the program.
//
// A file holds one object, usually a form, with its properties and its child objects
// (controls and non-visual components), nested as deep as MaxFormNesting:
//
//     # a comment runs to the end of the line
//     object SetupForm : TSetupForm {
//         Left = 192                         # integer: decimal, negative or 0x hexadecimal
//         Caption = "Setup"                  # string
//         Text = "first part, "
//                "second part"               # adjacent strings make one string
//         Visible = false                    # boolean: true or false
//         Font.Name = "Tahoma"               # a dotted property path
//         Align = alClient                   # identifier
//         Anchors = [akLeft, akTop]          # set of identifiers, may be empty: []
//         Lines = strings { "one" "two" }    # list of strings: each literal is one entry
//         Data = hex { 41537A66 0000 ff }    # binary data
//         Panels = items {                   # collection: items with their own properties
//             item { Width = 100 }
//             item { }
//         }
//         object Panel1 : TPanel {
//             Left = 0
//         }
//     }
//
// The rules, in full:
// - The file is UTF-8; a byte order mark at its start is skipped. Blanks are spaces, tabs
//   and line ends (LF or CR LF). '#' starts a comment that runs to the end of the line.
// - Names (of objects, classes, property path parts and identifiers) are
//   [A-Za-z_][A-Za-z0-9_]*. A property path is names joined by dots, with no blanks around
//   the dots.
// - "object NAME : CLASS { ... }" holds properties "PATH = VALUE" and child objects, in any
//   mix; the reader keeps the properties in file order and the children in file order.
//   Inside an object, the word object starts a child unless an '=' follows it, so a property
//   may be called object.
// - Values: integers (decimal or 0x hexadecimal, either with a leading '-', within 64 bits);
//   strings; true and false; identifiers; sets "[a, b]" of names; string lists
//   "strings { ... }"; binary data "hex { ... }"; collections "items { item { ... } ... }",
//   whose items hold properties (and no objects). The words strings, hex and items start
//   those values only when '{' follows, so they are ordinary identifiers otherwise; true and
//   false are always booleans.
// - Strings are in double quotes and end on the line where they start. Their bytes are kept
//   as they are, and must be valid UTF-8. Escapes: \" \\ \n \r \t and \u{X} with 1 to 6 hex
//   digits naming a Unicode scalar value (not a surrogate), stored as UTF-8. Adjacent string
//   literals after '=' join into one string; inside a string list each literal is an entry.
// - Binary data is hex digits, either case, two per byte; blanks and comments may come
//   between bytes, not inside one.
// - One object per file, with nothing but blanks and comments after it.
//
// Every node carries the 1-based line where it starts. A file that breaks a rule raises
// EFormDefinitionError with a message "FILE:LINE: what is wrong".
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kalvo {

// Objects, and items of collections, nest at most this deep (the top object is level 1,
// the items of a collection are one level below the object or item that holds it).
inline constexpr int MaxFormNesting = 64;

// With a fixed underlying type, so that a tree built elsewhere can hold any int here; the
// writer refuses kinds it does not know.
enum TFormValueKind : int {
    fvInteger,
    fvString,
    fvBoolean,
    fvIdentifier,
    fvSet,
    fvStrings,
    fvBinary,
    fvItems
};

struct TFormProperty;

// One item of a collection (fvItems).
struct TFormItem {
    int Line = 0;
    std::vector<TFormProperty> Properties;
};

// The field that holds the value depends on Kind; the other fields stay empty.
struct TFormValue {
    TFormValueKind Kind = fvInteger;
    int Line = 0;
    std::int64_t Integer = 0;         // fvInteger
    bool Boolean = false;             // fvBoolean
    std::string Text;                 // fvString (UTF-8), fvIdentifier
    std::vector<std::string> List;    // fvSet (names), fvStrings (UTF-8)
    std::vector<std::uint8_t> Binary; // fvBinary
    std::vector<TFormItem> Items;     // fvItems
};

struct TFormProperty {
    std::string Name; // a dotted path, such as Font.Name
    TFormValue Value;
    int Line = 0;
};

struct TFormObject {
    std::string Name;
    std::string ClassName;
    int Line = 0;
    std::vector<TFormProperty> Properties;
    std::vector<TFormObject> Children;
};

class EFormDefinitionError : public std::runtime_error {
public:
    EFormDefinitionError(const std::string& file_name, int line, const std::string& reason);

    const std::string& FileName() const { return file_name_; }
    int Line() const { return line_; }
    // The message without the file name and line.
    const std::string& Reason() const { return reason_; }

private:
    std::string file_name_;
    int line_;
    std::string reason_;
};

// Reads a whole file; file_name only appears in error messages.
TFormObject ParseFormDefinition(std::string_view text, const std::string& file_name);

// Text that ParseFormDefinition reads back to the same tree (SameFormContent), indented by
// four spaces per level. Strings keep non-ASCII characters as UTF-8 and escape quotes,
// backslashes and control characters; a string with line breaks is written as adjacent
// literals, one per line. Binary data longer than 32 bytes goes in lines of 32 bytes.
// Throws std::invalid_argument for a tree that no file can hold: a malformed name or path,
// an identifier true or false, invalid UTF-8 in a string, an unknown Kind, or nesting
// deeper than MaxFormNesting.
std::string WriteFormDefinition(const TFormObject& object);

// Whether two trees hold the same objects, properties and values, whatever their line
// numbers. Values compare by Kind and the field of that kind only.
bool SameFormContent(const TFormObject& a, const TFormObject& b);
bool SameFormContent(const TFormValue& a, const TFormValue& b);

} // namespace kalvo
