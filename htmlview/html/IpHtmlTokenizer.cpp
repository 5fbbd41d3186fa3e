#include "htmlview/html/IpHtmlTokenizer.h"

#include "netlib/base/IpBase.h"
#include "platform/classes/Classes.h"

namespace {

constexpr size_t kReadChunk = 65536;

bool IsLetter(char C) {
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z');
}

char UpperAscii(char C) {
    return C >= 'a' && C <= 'z' ? char(C - 'a' + 'A') : C;
}

std::string UpperAscii(const std::string& Text) {
    std::string Result = Text;
    for (char& C : Result) C = UpperAscii(C);
    return Result;
}

bool SameTextAscii(const std::string& A, const std::string& B) {
    if (A.size() != B.size()) return false;
    for (size_t I = 0; I < A.size(); ++I)
        if (UpperAscii(A[I]) != UpperAscii(B[I])) return false;
    return true;
}

}  // namespace

TIpHtmlTokenizer::TIpHtmlTokenizer() = default;
TIpHtmlTokenizer::~TIpHtmlTokenizer() = default;

void TIpHtmlTokenizer::Start(TStream& Source) {
    FStream = &Source;
    FStartPosition = Source.Position();
    FBuffer.resize(kReadChunk);
    ResetReader();
    PreformattedDepth = 0;
    BodyTextDepth = 0;
}

void TIpHtmlTokenizer::Restart() {
    if (FStream) FStream->SetPosition(FStartPosition);
    ResetReader();
}

void TIpHtmlTokenizer::Finish() {
    FStream = nullptr;
    FBuffer.clear();
    FBuffer.shrink_to_fit();
    FBufferPos = FBufferLen = 0;
}

// Everything read so far is forgotten: the line count starts again with the text, so positions
// in error messages point into it.
void TIpHtmlTokenizer::ResetReader() {
    FBufferPos = FBufferLen = 0;
    FAtEnd = false;
    FCharStackCount = 0;
    FHaveToken = false;
    FLastWasSpace = false;
    FLastWasClose = false;
    FCurToken = ttEof;
    FTokenText.clear();
    FAttributeNames.clear();
    FAttributeValues.clear();
    FCharCount = 0;
    FLine = 1;
    FColumn = 0;
}

char TIpHtmlTokenizer::ReadRaw() {
    if (FAtEnd) return 0;
    if (FBufferPos >= FBufferLen) {
        const int64_t Read = FStream ? FStream->Read(FBuffer.data(), int64_t(FBuffer.size())) : 0;
        if (Read <= 0) {
            FAtEnd = true;
            return 0;
        }
        FBufferLen = size_t(Read);
        FBufferPos = 0;
    }
    const char C = FBuffer[FBufferPos++];
    ++FCharCount;
    if (C == '\n') {
        ++FLine;
        FColumn = 0;
    } else {
        ++FColumn;
    }
    if (C == 0) FAtEnd = true;  // a NUL byte ends the input for good
    return C;
}

void TIpHtmlTokenizer::PutChar(char C) {
    if (FCharStackCount >= HtmlLimits::kMaxCharPushBack)
        throw EIpHtmlException("Character stack overflow");
    FCharStack[FCharStackCount++] = C;
}

void TIpHtmlTokenizer::PutToken(TIpHtmlToken Token) {
    if (FHaveToken) throw EIpHtmlException("Token stack overflow");
    FTokenStack = Token;
    FHaveToken = true;
}

// Outside preformatted text every run of white characters becomes one blank, and a line break
// right after a tag vanishes together with the indentation that follows it.
char TIpHtmlTokenizer::GetChar() {
    const auto Next = [this] {
        return FCharStackCount > 0 ? FCharStack[--FCharStackCount] : ReadRaw();
    };
    char C = Next();
    if (PreformattedDepth > 0 || FCurToken == ttPRE) return C;
    for (;;) {
        const auto Code = uint8_t(C);
        if (Code >= 33 || Code == 0) {
            FLastWasSpace = false;
            break;
        }
        if (FLastWasClose && Code <= 31) {
            do C = Next();
            while (uint8_t(C) >= 1 && uint8_t(C) <= 32);
            continue;
        }
        if (!FLastWasSpace) {
            FLastWasSpace = true;
            C = ' ';
            break;
        }
        C = Next();
    }
    FLastWasClose = C == '>';
    return C;
}

bool TIpHtmlTokenizer::IsWhiteSpace() const {
    for (char C : FTokenText)
        if (uint8_t(C) > 32) return false;
    return true;
}

void TIpHtmlTokenizer::NextToken() {
    if (FHaveToken) {
        FCurToken = FTokenStack;
        FHaveToken = false;
        return;
    }
    while (!ReadOneToken()) {
    }
}

// One token; false when it is dropped (comments, declarations, white text outside body text).
bool TIpHtmlTokenizer::ReadOneToken() {
    FTokenText.clear();
    FAttributeNames.clear();
    FAttributeValues.clear();
    const char C = GetChar();
    if (C == 0) {
        FCurToken = ttEof;
        return true;
    }
    if (C == '<') {
        ReadTag();
        return FCurToken != ttComment;
    }
    ReadText(C);
    if (FCurToken == ttComment) return false;
    return !(IsWhiteSpace() && BodyTextDepth == 0 && PreformattedDepth == 0);
}

void TIpHtmlTokenizer::ReadText(char C) {
    bool SawBreak = false;
    while (C != 0) {
        if (C == '<') {
            char Next = GetChar();
            while (uint8_t(Next) >= 1 && uint8_t(Next) <= 31) Next = GetChar();
            if (Next == '!' || Next == '/' || IsLetter(Next)) {
                PutChar(Next);
                PutChar('<');
                break;
            }
            FTokenText += '<';  // 'a < b' stays text
            if (Next == 0) break;
            if (Next == '<') {
                FTokenText += '<';
                C = GetChar();
                continue;
            }
            C = Next;
        }
        if (C == '\n' || C == '\r') {
            SawBreak = true;
            if (PreformattedDepth > 0) FTokenText += C;
        } else {
            FTokenText += C;
        }
        C = GetChar();
    }
    FCurToken = ttText;
    if (PreformattedDepth == 0 && SawBreak && IsWhiteSpace()) FCurToken = ttComment;
}

void TIpHtmlTokenizer::ReadTag() {
    char C = GetChar();
    if (C == '!') {
        if (GetChar() == '-') {
            if (GetChar() != '-' && FlagErrors) ReportError("- expected");
            SkipComment();
        } else {
            SkipDeclaration();
        }
        FCurToken = ttComment;
        return;
    }
    while (uint8_t(C) > 32 && C != '>') {
        FTokenText += UpperAscii(C);
        C = GetChar();
    }
    if (C != '>') ReadAttributes();
    LookUpTag();
}

// A comment ends at two dashes followed by ">" in which the dashes pair up: "-->" and "---->"
// close it, "--->" does not. The end of input ends it too.
void TIpHtmlTokenizer::SkipComment() {
    char C = GetChar();
    for (;;) {
        while (C != '-' && C != 0) C = GetChar();
        if (C == 0) return;
        C = GetChar();
        if (C != '-') continue;
        C = GetChar();
        if (C == '>' || C == 0) return;
    }
}

// The character after "<!" was taken unseen; the declaration runs to the next ">".
void TIpHtmlTokenizer::SkipDeclaration() {
    char C;
    do C = GetChar();
    while (C != '>' && C != 0);
}

void TIpHtmlTokenizer::AddAttribute(const std::string& Name, const std::string& Value) {
    FAttributeNames.push_back(Name);
    FAttributeValues.push_back(Value);
}

// Names keep the case they were typed in when "=" follows them directly and are upper-cased
// otherwise; an attribute without "=" gets its own upper-case name as value; an attribute whose
// quoted value is empty is dropped; a value that is not quoted ends at a blank.
void TIpHtmlTokenizer::ReadAttributes() {
    bool InName = false, InValue = false, InQuote = false;
    bool SeenEquals = false, ValueQuoted = false;
    char Quote = 0;
    std::string Pending, Buffer;
    for (;;) {
        const char C = GetChar();
        const auto Code = uint8_t(C);
        if (Code == 0) break;
        if (C == '<' || C == '>') {
            if (InQuote) {
                Buffer += C;
                continue;
            }
            if (InValue && !Pending.empty()) AddAttribute(Pending, Buffer);
            break;
        }
        if (C == '=') {
            SeenEquals = true;
            if (InName) {
                Pending = Buffer;
                Buffer.clear();
                InName = false;
            } else if (InValue) {
                Buffer += C;
            }
        } else if (C == '"' || C == '\'') {
            if (!InQuote) {
                InQuote = ValueQuoted = true;
                Quote = C;
            } else if (C == Quote) {
                InQuote = false;
            } else {
                Buffer += C;
            }
        } else if (Code == 32 && InQuote) {
            Buffer += C;
        } else if (Code <= 32) {
            if (InName) {
                Pending = UpperAscii(Buffer);
                Buffer.clear();
                InName = SeenEquals = false;
            } else if (InValue) {
                if (!Pending.empty()) AddAttribute(Pending, Buffer);
                Pending.clear();
                Buffer.clear();
                InValue = SeenEquals = ValueQuoted = false;
            }
        } else if (InName || InValue) {
            Buffer += C;
        } else if (SeenEquals && (InQuote || !ValueQuoted)) {
            InValue = true;
            Buffer += C;
        } else {
            if (!Pending.empty() && !ValueQuoted) AddAttribute(Pending, Pending);
            Pending.clear();
            Buffer.assign(1, C);
            SeenEquals = ValueQuoted = InValue = false;
            InName = true;
        }
    }
    if (InName) {
        Pending = UpperAscii(Buffer);
        if (!Pending.empty()) AddAttribute(Pending, Pending);
    } else if (!Pending.empty() && !InValue && !SeenEquals && !ValueQuoted) {
        // A flag followed by a blank before the end of the tag ('<td nowrap >') still counts.
        AddAttribute(Pending, Pending);
    }
}

// "<p/>" is P then /P; "<br/>" is BR only, BR having no end tag.
void TIpHtmlTokenizer::LookUpTag() {
    bool SelfClosing = false;
    if (!FTokenText.empty() && FTokenText.back() == '/') {
        FTokenText.pop_back();
        SelfClosing = true;
    }
    FCurToken = HtmlTokenOfName(FTokenText);
    if (SelfClosing && FCurToken != ttUnknown && IsHtmlEndTag(FCurToken + 1))
        PutToken(TIpHtmlToken(FCurToken + 1));
}

std::string TIpHtmlTokenizer::FindAttribute(const std::string& Name) const {
    for (size_t I = 0; I < FAttributeNames.size(); ++I)
        if (SameTextAscii(FAttributeNames[I], Name)) return FAttributeValues[I];
    return std::string();
}

void TIpHtmlTokenizer::SkipTextTokens() {
    do NextToken();
    while (FCurToken == ttText);
}

void TIpHtmlTokenizer::SkipWhiteText() {
    NextToken();
    while (FCurToken == ttText && IsWhiteSpace()) NextToken();
}

void TIpHtmlTokenizer::SkipTextWhileCurrent() {
    while (FCurToken == ttText) NextToken();
}

void TIpHtmlTokenizer::ReportError(const std::string& Message) const {
    throw Exception("Error \"" + Message + "\" at line " + std::to_string(FLine) + ", position " +
                    std::to_string(FColumn));
}

void TIpHtmlTokenizer::ReportExpected(const std::string& What) const {
    ReportError(What + " expected");
}

void TIpHtmlTokenizer::ReportExpectedToken(TIpHtmlToken Token) const {
    ReportExpected(HtmlTokenName(Token));
}
