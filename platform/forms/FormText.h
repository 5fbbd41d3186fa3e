#pragma once
// The text form of definitions: a tree of objects with their properties and nested objects,
// parsed from text and printed back.
//
//   object FormMain: TFormMain            header: object | inherited | inline, an optional name,
//     Left = 192                          the class and an optional child position "[2]"
//     Caption = 'Orvalin'#13#10'x'        strings: quoted runs ('' is a quote) and #nnn codes
//     Font.Name = 'MS Sans Serif'         dotted property paths
//     Items.Strings = (                   lists of values
//       'a'
//       'b')
//     Bars = <                            collections of items
//       item
//         Caption = 'Main Menu'
//       end>
//     Anchors = [akLeft, akTop]           sets; identifiers (True, alClient, nil, FormCreate);
//     Data = {0A0B}                       binary data in hex; integers (decimal, hex $FF) and
//     object Child: TPanel                floats (1.5, 2E10); 'long' +  'continued' strings
//     end
//   end
//
// Text and bytes: a definition is ASCII or UTF-8 text. Strings are kept as Windows-1252 bytes:
// #0..#255 are those bytes, higher #nnnn codes and non-ASCII characters inside quotes are
// Unicode characters, mapped to Windows-1252 ('?' when it has no such character). Printing writes
// every byte outside 32..126 as #nnn, so printed definitions are plain ASCII.
//
// Canonical form (what PrintFormText writes, and what parses and prints back unchanged): two
// blanks of indentation per level, LF line ends, integers in decimal, floats in their shortest
// exact form with a '.', strings of more than 64 bytes cut into 64-byte pieces on lines of their
// own joined by " +", lists and collections with one entry per line, binary data 32 bytes a line.
//
// Limits (FormsLimits): text size, nesting, string and binary lengths, identifier length, entries
// per list and object count. Every violation is an EParserError with its line and column.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms/Errors.h"

struct TFormItem;

enum class TValueKind { Integer, Float, String, Ident, Set, List, Binary, Collection };

struct TFormValue {
    TValueKind Kind = TValueKind::Integer;
    std::int64_t Integer = 0;
    double Float = 0;
    // String: the bytes; Ident: the identifier, dots included ("Form2.ImageList1"); Binary: the
    // bytes.
    std::string Text;
    // Set: its identifiers; List: its values.
    std::vector<TFormValue> Elements;
    // Collection: its items.
    std::vector<TFormItem> Items;
    TTextPos Pos;

    static TFormValue MakeInteger(std::int64_t Value);
    static TFormValue MakeFloat(double Value);
    static TFormValue MakeString(std::string Value);
    static TFormValue MakeIdent(std::string Value);
    static TFormValue MakeBinary(std::string Bytes);
    static TFormValue MakeSet(const std::vector<std::string>& Idents);
    static TFormValue MakeList(std::vector<TFormValue> Values);

    // Equal values, wherever they stand in a text.
    friend bool operator==(const TFormValue& A, const TFormValue& B);
};

struct TFormProperty {
    std::string Name;
    TFormValue Value;
    TTextPos Pos;
    friend bool operator==(const TFormProperty& A, const TFormProperty& B) {
        return A.Name == B.Name && A.Value == B.Value;
    }
};

struct TFormItem {
    std::vector<TFormProperty> Properties;
    TTextPos Pos;
    friend bool operator==(const TFormItem& A, const TFormItem& B) {
        return A.Properties == B.Properties;
    }
};

enum class TObjectKind { Object, Inherited, Inline };

struct TFormObject {
    TObjectKind Kind = TObjectKind::Object;
    std::string Name;  // empty for an unnamed component
    std::string ClassName;
    std::optional<int> ChildPos;
    std::vector<TFormProperty> Properties;
    std::vector<TFormObject> Children;
    TTextPos Pos;
    friend bool operator==(const TFormObject& A, const TFormObject& B);
};

// Parses one definition (one root object, nothing but blanks after its "end"). Origin names the
// text in error messages. EParserError for malformed text.
TFormObject ParseFormText(std::string_view Text, const std::string& Origin = {});

// Prints the tree in canonical form. A value the text form cannot hold (a float that is not
// finite, a name that is not an identifier) raises EFormWriteError.
std::string PrintFormText(const TFormObject& Root);

// Reads just the header of a definition ("object Name: TClass"): the class name, or nothing when
// the text does not start with a header.
std::optional<std::string> FormTextClassName(std::string_view Text);
