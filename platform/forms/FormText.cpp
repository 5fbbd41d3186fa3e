#include "platform/forms/FormText.h"

#include <QString>

#include <charconv>
#include <cmath>
#include <cstring>

#include "platform/classes/CodePages.h"
#include "platform/forms/Component.h"
#include "platform/forms/Limits.h"

// ---- values --------------------------------------------------------------------------------

TFormValue TFormValue::MakeInteger(std::int64_t Value) {
    TFormValue V;
    V.Kind = TValueKind::Integer;
    V.Integer = Value;
    return V;
}

TFormValue TFormValue::MakeFloat(double Value) {
    TFormValue V;
    V.Kind = TValueKind::Float;
    V.Float = Value;
    return V;
}

TFormValue TFormValue::MakeString(std::string Value) {
    TFormValue V;
    V.Kind = TValueKind::String;
    V.Text = std::move(Value);
    return V;
}

TFormValue TFormValue::MakeIdent(std::string Value) {
    TFormValue V;
    V.Kind = TValueKind::Ident;
    V.Text = std::move(Value);
    return V;
}

TFormValue TFormValue::MakeBinary(std::string Bytes) {
    TFormValue V;
    V.Kind = TValueKind::Binary;
    V.Text = std::move(Bytes);
    return V;
}

TFormValue TFormValue::MakeSet(const std::vector<std::string>& Idents) {
    TFormValue V;
    V.Kind = TValueKind::Set;
    for (const std::string& Ident : Idents) V.Elements.push_back(MakeIdent(Ident));
    return V;
}

TFormValue TFormValue::MakeList(std::vector<TFormValue> Values) {
    TFormValue V;
    V.Kind = TValueKind::List;
    V.Elements = std::move(Values);
    return V;
}

bool operator==(const TFormValue& A, const TFormValue& B) {
    if (A.Kind != B.Kind) return false;
    switch (A.Kind) {
        case TValueKind::Integer:
            return A.Integer == B.Integer;
        case TValueKind::Float:
            return A.Float == B.Float;
        case TValueKind::String:
        case TValueKind::Ident:
        case TValueKind::Binary:
            return A.Text == B.Text;
        case TValueKind::Set:
        case TValueKind::List:
            return A.Elements == B.Elements;
        case TValueKind::Collection:
            return A.Items == B.Items;
    }
    return false;
}

bool operator==(const TFormObject& A, const TFormObject& B) {
    return A.Kind == B.Kind && A.Name == B.Name && A.ClassName == B.ClassName &&
           A.ChildPos == B.ChildPos && A.Properties == B.Properties && A.Children == B.Children;
}

// ---- lexer ---------------------------------------------------------------------------------

namespace {

enum class TTokenKind { End, Ident, Integer, Float, String, Symbol };

struct TToken {
    TTokenKind Kind = TTokenKind::End;
    std::string Text;  // Ident: the name; String: decoded bytes; Symbol: the character
    std::int64_t Integer = 0;
    double Float = 0;
    TTextPos Pos;
};

bool IsLetter(char C) {
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_';
}

bool IsDigit(char C) {
    return C >= '0' && C <= '9';
}

int HexDigit(char C) {
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    return -1;
}

// Windows-1252 byte for a Unicode character; '?' when the code page has none.
char CodePointToCp1252(char32_t CodePoint) {
    if (CodePoint < 0x80) return char(CodePoint);
    const std::string Byte = UnicodeToCp1252(QString::fromUcs4(&CodePoint, 1));
    return Byte.size() == 1 ? Byte[0] : '?';
}

class TLexer {
  public:
    TLexer(std::string_view Text, const std::string& Origin) : FText(Text), FOrigin(Origin) {
        // A byte-order mark some editors put at the start of UTF-8 files.
        if (FText.substr(0, 3) == "\xEF\xBB\xBF") FPos = 3;
    }

    [[noreturn]] void Fail(const std::string& What, TTextPos Pos) const {
        throw EParserError(What, Pos, FOrigin);
    }

    TTextPos Here() const { return {FLine, int(FPos - FLineStart) + 1}; }

    TToken Next() {
        SkipBlanks();
        TToken Token;
        Token.Pos = Here();
        if (AtEnd()) return Token;
        const char C = FText[FPos];
        if (IsLetter(C)) return ReadIdent(Token);
        if (IsDigit(C) || ((C == '-' || C == '+') && IsDigit(PeekAt(1)))) return ReadNumber(Token);
        if (C == '$') return ReadHex(Token);
        if (C == '\'' || C == '#') return ReadString(Token);
        Token.Kind = TTokenKind::Symbol;
        Token.Text = std::string(1, C);
        ++FPos;
        return Token;
    }

    // The hex digits of a binary value up to its '}' (the '{' is read); blanks and line ends may
    // stand between the digits.
    std::string ReadBinary(TTextPos Start) {
        std::string Bytes;
        int High = -1;
        for (;;) {
            SkipBlanks();
            if (AtEnd()) Fail("Unexpected end of the definition in binary data", Here());
            const char C = FText[FPos];
            if (C == '}') {
                ++FPos;
                break;
            }
            const int Digit = HexDigit(C);
            if (Digit < 0) Fail("Invalid character in binary data", Here());
            ++FPos;
            if (High < 0) {
                High = Digit;
                continue;
            }
            if (Bytes.size() >= FormsLimits::kMaxBinaryLength)
                Fail("Binary value longer than " + std::to_string(FormsLimits::kMaxBinaryLength) +
                         " bytes",
                     Start);
            Bytes += char(High * 16 + Digit);
            High = -1;
        }
        if (High >= 0) Fail("Odd number of hex digits in binary data", Start);
        return Bytes;
    }

  private:
    bool AtEnd() const { return FPos >= FText.size(); }
    char PeekAt(size_t Offset) const {
        return FPos + Offset < FText.size() ? FText[FPos + Offset] : '\0';
    }

    void SkipBlanks() {
        while (!AtEnd()) {
            const char C = FText[FPos];
            if (C == '\n' || (C == '\r' && PeekAt(1) != '\n')) {
                ++FPos;
                ++FLine;
                FLineStart = FPos;
            } else if (C == ' ' || C == '\t' || C == '\r' || C == '\f') {
                ++FPos;
            } else {
                break;
            }
        }
    }

    TToken& ReadIdent(TToken& Token) {
        const size_t Start = FPos;
        while (!AtEnd() && (IsLetter(FText[FPos]) || IsDigit(FText[FPos]))) ++FPos;
        if (FPos - Start > FormsLimits::kMaxIdentifierLength)
            Fail("Identifier longer than " + std::to_string(FormsLimits::kMaxIdentifierLength) +
                     " characters",
                 Token.Pos);
        Token.Kind = TTokenKind::Ident;
        Token.Text = std::string(FText.substr(Start, FPos - Start));
        return Token;
    }

    TToken& ReadNumber(TToken& Token) {
        const size_t Start = FPos;
        if (FText[FPos] == '-' || FText[FPos] == '+') ++FPos;
        while (IsDigit(PeekAt(0))) ++FPos;
        bool IsFloat = false;
        if (PeekAt(0) == '.' && IsDigit(PeekAt(1))) {
            IsFloat = true;
            ++FPos;
            while (IsDigit(PeekAt(0))) ++FPos;
        }
        if ((PeekAt(0) == 'e' || PeekAt(0) == 'E') &&
            (IsDigit(PeekAt(1)) ||
             ((PeekAt(1) == '+' || PeekAt(1) == '-') && IsDigit(PeekAt(2))))) {
            IsFloat = true;
            FPos += 2;
            while (IsDigit(PeekAt(0))) ++FPos;
        }
        if (IsLetter(PeekAt(0))) Fail("Invalid number", Token.Pos);
        // from_chars takes no leading '+'.
        const size_t From = FText[Start] == '+' ? Start + 1 : Start;
        const char* First = FText.data() + From;
        const char* Last = FText.data() + FPos;
        std::from_chars_result Result;
        if (IsFloat) {
            Token.Kind = TTokenKind::Float;
            Result = std::from_chars(First, Last, Token.Float);
        } else {
            Token.Kind = TTokenKind::Integer;
            Result = std::from_chars(First, Last, Token.Integer);
        }
        if (Result.ec != std::errc() || Result.ptr != Last) Fail("Number out of range", Token.Pos);
        return Token;
    }

    TToken& ReadHex(TToken& Token) {
        ++FPos;
        std::uint64_t Value = 0;
        int Digits = 0;
        while (HexDigit(PeekAt(0)) >= 0) {
            if (++Digits > 16) Fail("Number out of range", Token.Pos);
            Value = Value * 16 + std::uint64_t(HexDigit(FText[FPos]));
            ++FPos;
        }
        if (Digits == 0 || IsLetter(PeekAt(0))) Fail("Invalid hex number", Token.Pos);
        Token.Kind = TTokenKind::Integer;
        Token.Integer = std::int64_t(Value);
        return Token;
    }

    // A string token: quoted runs and #codes with nothing between them.
    TToken& ReadString(TToken& Token) {
        Token.Kind = TTokenKind::String;
        while (!AtEnd() && (FText[FPos] == '\'' || FText[FPos] == '#')) {
            if (FText[FPos] == '\'')
                ReadQuoted(Token.Text);
            else
                ReadCode(Token.Text);
            if (Token.Text.size() > FormsLimits::kMaxStringLength)
                Fail("String longer than " + std::to_string(FormsLimits::kMaxStringLength) +
                         " bytes",
                     Token.Pos);
        }
        return Token;
    }

    void ReadQuoted(std::string& Out) {
        const TTextPos Start = Here();
        ++FPos;
        for (;;) {
            if (AtEnd()) Fail("Unexpected end of the definition in a string", Start);
            const char C = FText[FPos];
            if (C == '\n' || C == '\r') Fail("Unterminated string", Start);
            if (C == '\'') {
                if (PeekAt(1) != '\'') {
                    ++FPos;
                    return;
                }
                Out += '\'';
                FPos += 2;
                continue;
            }
            if (static_cast<unsigned char>(C) < 0x80) {
                Out += C;
                ++FPos;
                continue;
            }
            Out += CodePointToCp1252(ReadUtf8());
            if (Out.size() > FormsLimits::kMaxStringLength) return;  // the caller reports it
        }
    }

    char32_t ReadUtf8() {
        const TTextPos Start = Here();
        const auto Lead = static_cast<unsigned char>(FText[FPos]);
        int Length = Lead >= 0xF0 && Lead < 0xF5 ? 4 : Lead >= 0xE0 ? 3 : Lead >= 0xC2 ? 2 : 0;
        if (Lead >= 0xF5) Length = 0;
        if (Length == 0 || FPos + size_t(Length) > FText.size())
            Fail("Invalid UTF-8 in a string", Start);
        char32_t CodePoint = Lead & (0x7F >> Length);
        for (int I = 1; I < Length; ++I) {
            const auto Next = static_cast<unsigned char>(FText[FPos + size_t(I)]);
            if ((Next & 0xC0) != 0x80) Fail("Invalid UTF-8 in a string", Start);
            CodePoint = (CodePoint << 6) | (Next & 0x3F);
        }
        const char32_t Least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (CodePoint < Least[Length] || CodePoint > 0x10FFFF ||
            (CodePoint >= 0xD800 && CodePoint <= 0xDFFF))
            Fail("Invalid UTF-8 in a string", Start);
        FPos += size_t(Length);
        return CodePoint;
    }

    void ReadCode(std::string& Out) {
        const TTextPos Start = Here();
        ++FPos;
        std::uint32_t Code = 0;
        int Digits = 0;
        if (PeekAt(0) == '$') {
            ++FPos;
            while (HexDigit(PeekAt(0)) >= 0) {
                if (++Digits > 6) Fail("Character code out of range", Start);
                Code = Code * 16 + std::uint32_t(HexDigit(FText[FPos++]));
            }
        } else {
            while (IsDigit(PeekAt(0))) {
                if (++Digits > 7) Fail("Character code out of range", Start);
                Code = Code * 10 + std::uint32_t(FText[FPos++] - '0');
            }
        }
        if (Digits == 0) Fail("Invalid character code", Start);
        if (Code > 0x10FFFF) Fail("Character code out of range", Start);
        // #0..#255 are the code page's bytes themselves; larger codes are Unicode characters.
        Out += Code <= 0xFF ? char(Code) : CodePointToCp1252(char32_t(Code));
    }

    std::string_view FText;
    const std::string& FOrigin;
    size_t FPos = 0;
    int FLine = 1;
    size_t FLineStart = 0;
};

// ---- parser --------------------------------------------------------------------------------

std::string Describe(const TToken& Token) {
    switch (Token.Kind) {
        case TTokenKind::End:
            return "end of the definition";
        case TTokenKind::Ident:
            return "'" + Token.Text + "'";
        case TTokenKind::Integer:
        case TTokenKind::Float:
            return "a number";
        case TTokenKind::String:
            return "a string";
        case TTokenKind::Symbol:
            return "'" + Token.Text + "'";
    }
    return "?";
}

class TParser {
  public:
    TParser(std::string_view Text, const std::string& Origin) : FLexer(Text, Origin) { Advance(); }

    TFormObject ParseRoot() {
        TFormObject Root = ParseObject();
        if (FToken.Kind != TTokenKind::End)
            Fail("End of the definition expected but " + Describe(FToken) + " found");
        return Root;
    }

    // The class name of the header; the parser stops there.
    std::string ParseHeaderClass() {
        TFormObject Header;
        ParseHeader(Header);
        return Header.ClassName;
    }

  private:
    [[noreturn]] void Fail(const std::string& What) const { FLexer.Fail(What, FToken.Pos); }

    void Advance() { FToken = FLexer.Next(); }

    bool IsSymbol(char C) const { return FToken.Kind == TTokenKind::Symbol && FToken.Text[0] == C; }

    bool IsKeyword(const char* Word) const {
        return FToken.Kind == TTokenKind::Ident && SameText(FToken.Text, Word);
    }

    void Expect(char C) {
        if (!IsSymbol(C))
            Fail(std::string("'") + C + "' expected but " + Describe(FToken) + " found");
        Advance();
    }

    std::string ExpectIdent(const char* What) {
        if (FToken.Kind != TTokenKind::Ident)
            Fail(std::string(What) + " expected but " + Describe(FToken) + " found");
        std::string Text = FToken.Text;
        Advance();
        return Text;
    }

    // A name with dots ("Font.Name", "Form2.ImageList1").
    std::string ExpectQualified(const char* What) {
        std::string Text = ExpectIdent(What);
        while (IsSymbol('.')) {
            Advance();
            Text += '.';
            Text += ExpectIdent("Identifier");
        }
        if (Text.size() > FormsLimits::kMaxIdentifierLength * 4) Fail("Property path too long");
        return Text;
    }

    // Counts one level of nesting for the scope's life.
    class TDepth {
      public:
        explicit TDepth(TParser& Parser) : FParser(Parser) {
            if (++FParser.FDepth > FormsLimits::kMaxNestingDepth)
                FParser.Fail("Nesting deeper than " +
                             std::to_string(FormsLimits::kMaxNestingDepth) + " levels");
        }
        ~TDepth() { --FParser.FDepth; }
        TDepth(const TDepth&) = delete;
        TDepth& operator=(const TDepth&) = delete;

      private:
        TParser& FParser;
    };

    template <class T>
    void CheckRoom(const std::vector<T>& List, const char* What) const {
        if (List.size() >= FormsLimits::kMaxListItems)
            Fail(std::string("More than ") + std::to_string(FormsLimits::kMaxListItems) + " " +
                 What);
    }

    void ParseHeader(TFormObject& Object) {
        Object.Pos = FToken.Pos;
        if (IsKeyword("object"))
            Object.Kind = TObjectKind::Object;
        else if (IsKeyword("inherited"))
            Object.Kind = TObjectKind::Inherited;
        else if (IsKeyword("inline"))
            Object.Kind = TObjectKind::Inline;
        else
            Fail("'object' expected but " + Describe(FToken) + " found");
        Advance();
        std::string First = ExpectIdent("Component name or class");
        if (IsSymbol(':')) {
            Advance();
            Object.Name = std::move(First);
            Object.ClassName = ExpectIdent("Class name");
        } else {
            Object.ClassName = std::move(First);
        }
        if (IsSymbol('[')) {
            Advance();
            if (FToken.Kind != TTokenKind::Integer || FToken.Integer < 0 ||
                FToken.Integer > std::int64_t(FormsLimits::kMaxListItems))
                Fail("Child position expected but " + Describe(FToken) + " found");
            Object.ChildPos = int(FToken.Integer);
            Advance();
            Expect(']');
        }
    }

    TFormObject ParseObject() {
        TDepth Depth(*this);
        if (++FObjects > FormsLimits::kMaxObjects)
            Fail("More than " + std::to_string(FormsLimits::kMaxObjects) + " objects");
        TFormObject Object;
        ParseHeader(Object);
        while (FToken.Kind == TTokenKind::Ident && !IsObjectStart() && !IsKeyword("end")) {
            CheckRoom(Object.Properties, "properties");
            Object.Properties.push_back(ParseProperty());
        }
        while (IsObjectStart()) {
            CheckRoom(Object.Children, "children");
            Object.Children.push_back(ParseObject());
        }
        if (!IsKeyword("end")) {
            if (FToken.Kind == TTokenKind::End) Fail("Unexpected end of the definition");
            Fail("'end' expected but " + Describe(FToken) + " found");
        }
        Advance();
        return Object;
    }

    bool IsObjectStart() const {
        return IsKeyword("object") || IsKeyword("inherited") || IsKeyword("inline");
    }

    TFormProperty ParseProperty() {
        TFormProperty Property;
        Property.Pos = FToken.Pos;
        Property.Name = ExpectQualified("Property name");
        Expect('=');
        Property.Value = ParseValue();
        return Property;
    }

    TFormValue ParseValue() {
        TFormValue Value;
        Value.Pos = FToken.Pos;
        switch (FToken.Kind) {
            case TTokenKind::End:
                Fail("Unexpected end of the definition");
            case TTokenKind::Integer:
                Value.Kind = TValueKind::Integer;
                Value.Integer = FToken.Integer;
                Advance();
                return Value;
            case TTokenKind::Float:
                Value.Kind = TValueKind::Float;
                Value.Float = FToken.Float;
                Advance();
                return Value;
            case TTokenKind::String:
                Value.Kind = TValueKind::String;
                ParseStringValue(Value.Text, Value.Pos);
                return Value;
            case TTokenKind::Ident:
                Value.Kind = TValueKind::Ident;
                Value.Text = ExpectQualified("Identifier");
                return Value;
            case TTokenKind::Symbol:
                break;
        }
        switch (FToken.Text[0]) {
            case '[':
                ParseSet(Value);
                return Value;
            case '(':
                ParseList(Value);
                return Value;
            case '{': {
                Value.Kind = TValueKind::Binary;
                Value.Text = FLexer.ReadBinary(Value.Pos);
                Advance();
                return Value;
            }
            case '<':
                ParseCollection(Value);
                return Value;
            default:
                Fail("Value expected but " + Describe(FToken) + " found");
        }
    }

    // String tokens joined by '+'.
    void ParseStringValue(std::string& Out, TTextPos Start) {
        Out = std::move(FToken.Text);
        Advance();
        while (IsSymbol('+')) {
            Advance();
            if (FToken.Kind != TTokenKind::String)
                Fail("String expected but " + Describe(FToken) + " found");
            Out += FToken.Text;
            if (Out.size() > FormsLimits::kMaxStringLength)
                FLexer.Fail("String longer than " + std::to_string(FormsLimits::kMaxStringLength) +
                                " bytes",
                            Start);
            Advance();
        }
    }

    void ParseSet(TFormValue& Value) {
        Value.Kind = TValueKind::Set;
        Advance();
        if (IsSymbol(']')) {
            Advance();
            return;
        }
        for (;;) {
            CheckRoom(Value.Elements, "set elements");
            TFormValue Element;
            Element.Pos = FToken.Pos;
            Element.Kind = TValueKind::Ident;
            Element.Text = ExpectIdent("Set element");
            Value.Elements.push_back(std::move(Element));
            if (IsSymbol(']')) break;
            Expect(',');
        }
        Advance();
    }

    void ParseList(TFormValue& Value) {
        TDepth Depth(*this);
        Value.Kind = TValueKind::List;
        Advance();
        while (!IsSymbol(')')) {
            CheckRoom(Value.Elements, "list entries");
            Value.Elements.push_back(ParseValue());
        }
        Advance();
    }

    void ParseCollection(TFormValue& Value) {
        TDepth Depth(*this);
        Value.Kind = TValueKind::Collection;
        Advance();
        while (!IsSymbol('>')) {
            CheckRoom(Value.Items, "collection items");
            if (!IsKeyword("item")) {
                if (FToken.Kind == TTokenKind::End) Fail("Unexpected end of the definition");
                Fail("'item' expected but " + Describe(FToken) + " found");
            }
            TDepth ItemDepth(*this);
            TFormItem Item;
            Item.Pos = FToken.Pos;
            Advance();
            while (FToken.Kind == TTokenKind::Ident && !IsKeyword("end")) {
                CheckRoom(Item.Properties, "properties");
                Item.Properties.push_back(ParseProperty());
            }
            if (!IsKeyword("end")) {
                if (FToken.Kind == TTokenKind::End) Fail("Unexpected end of the definition");
                Fail("'end' expected but " + Describe(FToken) + " found");
            }
            Advance();
            Value.Items.push_back(std::move(Item));
        }
        Advance();
    }

    TLexer FLexer;
    TToken FToken;
    int FDepth = 0;
    size_t FObjects = 0;
};

// ---- printer -------------------------------------------------------------------------------

constexpr size_t kStringPiece = 64;
constexpr size_t kBinaryLine = 32;

class TPrinter {
  public:
    std::string Print(const TFormObject& Root) {
        PrintObject(Root, 0);
        return std::move(FOut);
    }

  private:
    void Indent(int Level) { FOut.append(size_t(Level) * 2, ' '); }

    void CheckIdent(const std::string& Name, bool Dotted) {
        size_t Start = 0;
        for (;;) {
            const size_t Dot = Dotted ? Name.find('.', Start) : std::string::npos;
            if (!IsValidIdent(Name.substr(Start, Dot - Start)))
                throw EFormWriteError("'" + Name + "' is not an identifier");
            if (Dot == std::string::npos) return;
            Start = Dot + 1;
        }
    }

    void PrintObject(const TFormObject& Object, int Level) {
        Indent(Level);
        FOut += Object.Kind == TObjectKind::Inherited ? "inherited "
                : Object.Kind == TObjectKind::Inline  ? "inline "
                                                      : "object ";
        if (!Object.Name.empty()) {
            CheckIdent(Object.Name, false);
            FOut += Object.Name + ": ";
        }
        CheckIdent(Object.ClassName, false);
        FOut += Object.ClassName;
        if (Object.ChildPos) FOut += " [" + std::to_string(*Object.ChildPos) + "]";
        FOut += '\n';
        for (const TFormProperty& Property : Object.Properties) PrintProperty(Property, Level + 1);
        for (const TFormObject& Child : Object.Children) PrintObject(Child, Level + 1);
        Indent(Level);
        FOut += "end\n";
    }

    void PrintProperty(const TFormProperty& Property, int Level) {
        CheckIdent(Property.Name, true);
        Indent(Level);
        FOut += Property.Name + " =";
        if (!IsLongString(Property.Value)) FOut += ' ';
        PrintValue(Property.Value, Level);
        FOut += '\n';
    }

    static bool IsLongString(const TFormValue& Value) {
        return Value.Kind == TValueKind::String && Value.Text.size() > kStringPiece;
    }

    // Appends the value to the current line; lines it adds are indented for Level + 1.
    void PrintValue(const TFormValue& Value, int Level) {
        switch (Value.Kind) {
            case TValueKind::Integer:
                FOut += std::to_string(Value.Integer);
                return;
            case TValueKind::Float:
                PrintFloat(Value.Float);
                return;
            case TValueKind::String:
                PrintString(Value.Text, Level);
                return;
            case TValueKind::Ident:
                CheckIdent(Value.Text, true);
                FOut += Value.Text;
                return;
            case TValueKind::Set:
                FOut += '[';
                for (size_t I = 0; I < Value.Elements.size(); ++I) {
                    if (Value.Elements[I].Kind != TValueKind::Ident)
                        throw EFormWriteError("A set holds identifiers only");
                    CheckIdent(Value.Elements[I].Text, false);
                    if (I > 0) FOut += ", ";
                    FOut += Value.Elements[I].Text;
                }
                FOut += ']';
                return;
            case TValueKind::List:
                PrintList(Value, Level);
                return;
            case TValueKind::Binary:
                PrintBinary(Value.Text, Level);
                return;
            case TValueKind::Collection:
                PrintCollection(Value, Level);
                return;
        }
    }

    void PrintFloat(double Value) {
        if (!std::isfinite(Value)) throw EFormWriteError("A float that is not finite");
        char Buffer[64];
        const auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, Value);
        std::string Text(Buffer, Result.ptr);
        if (Text.find_first_of(".e") == std::string::npos) Text += ".0";
        FOut += Text;
    }

    void PrintString(const std::string& Bytes, int Level) {
        if (Bytes.size() <= kStringPiece) {
            AppendQuoted(Bytes);
            return;
        }
        for (size_t Start = 0; Start < Bytes.size(); Start += kStringPiece) {
            if (Start > 0) FOut += " +";
            FOut += '\n';
            Indent(Level + 1);
            AppendQuoted(Bytes.substr(Start, kStringPiece));
        }
    }

    // Printable ASCII in quoted runs, every other byte as #nnn.
    void AppendQuoted(const std::string& Bytes) {
        if (Bytes.empty()) {
            FOut += "''";
            return;
        }
        bool InQuotes = false;
        for (const char C : Bytes) {
            const auto Byte = static_cast<unsigned char>(C);
            if (Byte >= 32 && Byte <= 126) {
                if (!InQuotes) FOut += '\'';
                InQuotes = true;
                FOut += C;
                if (C == '\'') FOut += '\'';
                continue;
            }
            if (InQuotes) FOut += '\'';
            InQuotes = false;
            FOut += '#' + std::to_string(Byte);
        }
        if (InQuotes) FOut += '\'';
    }

    void PrintList(const TFormValue& Value, int Level) {
        FOut += '(';
        for (const TFormValue& Element : Value.Elements) {
            // A long string puts each of its pieces on a line of its own.
            if (IsLongString(Element)) {
                PrintString(Element.Text, Level);
                continue;
            }
            FOut += '\n';
            Indent(Level + 1);
            PrintValue(Element, Level + 1);
        }
        FOut += ')';
    }

    void PrintBinary(const std::string& Bytes, int Level) {
        static const char Digits[] = "0123456789ABCDEF";
        FOut += '{';
        for (size_t I = 0; I < Bytes.size(); ++I) {
            if (I % kBinaryLine == 0) {
                FOut += '\n';
                Indent(Level + 1);
            }
            const auto Byte = static_cast<unsigned char>(Bytes[I]);
            FOut += Digits[Byte >> 4];
            FOut += Digits[Byte & 15];
        }
        FOut += '}';
    }

    void PrintCollection(const TFormValue& Value, int Level) {
        FOut += '<';
        for (const TFormItem& Item : Value.Items) {
            FOut += '\n';
            Indent(Level + 1);
            FOut += "item\n";
            for (const TFormProperty& Property : Item.Properties)
                PrintProperty(Property, Level + 2);
            Indent(Level + 1);
            FOut += "end";
        }
        FOut += '>';
    }

    std::string FOut;
};

}  // namespace

TFormObject ParseFormText(std::string_view Text, const std::string& Origin) {
    if (Text.size() > FormsLimits::kMaxDefinitionSize)
        throw EParserError(
            "Definition larger than " + std::to_string(FormsLimits::kMaxDefinitionSize) + " bytes",
            {1, 1}, Origin);
    return TParser(Text, Origin).ParseRoot();
}

std::string PrintFormText(const TFormObject& Root) {
    return TPrinter().Print(Root);
}

std::optional<std::string> FormTextClassName(std::string_view Text) {
    try {
        return TParser(Text.substr(0, std::min(Text.size(), size_t(4096))), std::string())
            .ParseHeaderClass();
    } catch (const EParserError&) {
        return std::nullopt;
    }
}
