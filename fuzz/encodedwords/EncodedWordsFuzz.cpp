// Feeds arbitrary header values to the decoder of encoded words. Whatever the value, what is
// shown is never longer than what came (a word always decodes to fewer characters than it is
// written in), carries no control character that the value did not hold as text, and a value
// without "=?" comes back as it is. A value that a reading of RFC 2047 written here covers (below)
// is shown as that reading shows it.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "netlib/mime/EncodedWords.h"

namespace {

[[noreturn]] void Fail(const char* What, const std::string& Value) {
    std::fprintf(stderr, "%s: %s\n", What, Value.c_str());
    std::abort();
}

std::array<size_t, 32> ControlCounts(const std::string& Text) {
    std::array<size_t, 32> Counts{};
    for (const char C : Text)
        if (static_cast<unsigned char>(C) < 32) ++Counts[static_cast<unsigned char>(C)];
    return Counts;
}

// --- The reading to compare with ------------------------------------------------------------
// Values of blank-separated tokens, each either text without "=?" or one whole encoded word
// "=?charset[*language]?Q|B?text?=" (no "?" in the text) in one of the charsets below. The
// characters come from ICU's converters (through Qt's converters by name), and are shown in
// Windows-1252, "?" for one it has no place for; texts labelled Latin-1 or ASCII are shown as
// their bytes (Windows-1252 is what their mailers write). Between two words only blanks go;
// adjacent words of one charset are one text. Any other value is not covered.

struct TModelCharset {
    const char* Name;
    const char* Converter;  // nullptr: the bytes are shown as they came
};
constexpr TModelCharset kModelCharsets[] = {
    {"utf-8", "UTF-8"},    {"iso-8859-15", "ISO-8859-15"}, {"iso-8859-1", nullptr},
    {"us-ascii", nullptr}, {"windows-1252", nullptr},
};

bool IsBlank(char C) {
    return C == ' ' || C == '\t' || C == '\r' || C == '\n';
}

std::string Lower(std::string Text) {
    for (char& C : Text)
        if (C >= 'A' && C <= 'Z') C = char(C - 'A' + 'a');
    return Text;
}

const TModelCharset* ModelCharset(const std::string& Name) {
    for (const TModelCharset& C : kModelCharsets)
        if (Lower(Name) == C.Name) return &C;
    return nullptr;
}

int Hex(char C) {
    const std::string Digits = "0123456789abcdef";
    const size_t At = Digits.find(Lower(std::string(1, C))[0]);
    return At == std::string::npos ? -1 : int(At);
}

std::optional<std::string> ModelQ(const std::string& Text) {
    std::string Out;
    for (size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] == '_') {
            Out += ' ';
        } else if (Text[I] != '=') {
            Out += Text[I];
        } else if (I + 2 < Text.size() && Hex(Text[I + 1]) >= 0 && Hex(Text[I + 2]) >= 0) {
            Out += char(Hex(Text[I + 1]) * 16 + Hex(Text[I + 2]));
            I += 2;
        } else {
            return std::nullopt;
        }
    }
    return Out;
}

// Padding may be left out; a text one character past whole groups is none.
std::optional<std::string> ModelB(std::string Text) {
    while (!Text.empty() && Text.back() == '=') Text.pop_back();
    const std::string Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    if (Text.size() % 4 == 1 || Text.find_first_not_of(Alphabet) != std::string::npos)
        return std::nullopt;
    while (Text.size() % 4) Text += '=';
    return QByteArray::fromBase64(QByteArray::fromStdString(Text)).toStdString();
}

struct TModelWord {
    const TModelCharset* Charset;
    std::string Bytes;
};

std::optional<TModelWord> ModelWord(const std::string& Token) {
    if (Token.size() < 8 || Token.size() > 1000 || Token.compare(0, 2, "=?") != 0 ||
        Token.compare(Token.size() - 2, 2, "?=") != 0)
        return std::nullopt;
    const std::string Inner = Token.substr(2, Token.size() - 4);
    const size_t First = Inner.find('?');
    if (First == std::string::npos || First + 2 >= Inner.size() || Inner[First + 2] != '?')
        return std::nullopt;
    const std::string Text = Inner.substr(First + 3);
    if (Text.find('?') != std::string::npos) return std::nullopt;
    const std::string Name = Inner.substr(0, First);
    const TModelCharset* Charset = ModelCharset(Name.substr(0, Name.find('*')));
    if (!Charset) return std::nullopt;
    const char Encoding = Inner[First + 1];
    std::optional<std::string> Bytes = Encoding == 'Q' || Encoding == 'q'   ? ModelQ(Text)
                                       : Encoding == 'B' || Encoding == 'b' ? ModelB(Text)
                                                                            : std::nullopt;
    if (!Bytes) return std::nullopt;
    return TModelWord{Charset, *Bytes};
}

// One character in Windows-1252 by ICU's table of it, "?" where it has none.
char InWindows1252(char32_t Character) {
    static std::map<char32_t, char> Known;
    if (const auto Found = Known.find(Character); Found != Known.end()) return Found->second;
    QStringEncoder Encoder("windows-1252");
    const QByteArray Bytes = Encoder.encode(QString::fromUcs4(&Character, 1));
    const char Shown = Encoder.hasError() || Bytes.size() != 1 ? '?' : Bytes[0];
    return Known[Character] = Shown;
}

std::string ModelShown(const TModelWord& Run) {
    std::string Out = Run.Bytes;
    if (Run.Charset->Converter) {
        // Each text stands alone: a character cut at its end is malformed, not awaited.
        QStringDecoder Decoder(Run.Charset->Converter, QStringConverter::Flag::Stateless);
        const QString Text = Decoder.decode(QByteArray::fromStdString(Run.Bytes));
        Out.clear();
        for (const char32_t Character : Text.toUcs4())
            if (Character != 0xFEFF) Out += InWindows1252(Character);  // a byte order mark
    }
    for (char& C : Out)
        if (static_cast<unsigned char>(C) < 0x20 || C == 0x7F) C = ' ';
    return Out;
}

std::optional<std::string> ModelValue(const std::string& Value) {
    std::string Out, Blanks;
    TModelWord Run{nullptr, {}};  // the adjacent words of one charset not yet shown
    const auto Flush = [&] {
        if (Run.Charset) Out += ModelShown(Run);
        Run = TModelWord{nullptr, {}};
    };
    for (size_t I = 0; I < Value.size();) {
        size_t End = I;
        const bool Blank = IsBlank(Value[I]);
        while (End < Value.size() && IsBlank(Value[End]) == Blank) ++End;
        const std::string Token = Value.substr(I, End - I);
        I = End;
        if (Blank) {
            (Run.Charset ? Blanks : Out) += Token;
        } else if (Token.find("=?") == std::string::npos) {
            Flush();
            Out += Blanks + Token;
            Blanks.clear();
        } else {
            std::optional<TModelWord> Word = ModelWord(Token);
            if (!Word) return std::nullopt;
            if (Run.Charset != Word->Charset) Flush();
            Run.Charset = Word->Charset;
            Run.Bytes += Word->Bytes;
            Blanks.clear();
        }
    }
    Flush();
    return Out + Blanks;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string Value(reinterpret_cast<const char*>(Data), Size);
    const std::string Shown = DecodeEncodedWords(Value);
    if (Shown.size() > Value.size()) Fail("the shown text is longer than the value", Value);
    const std::array<size_t, 32> Before = ControlCounts(Value);
    const std::array<size_t, 32> After = ControlCounts(Shown);
    for (size_t C = 0; C < 32; ++C)
        if (After[C] > Before[C]) Fail("a decoded word brought a control character", Value);
    if (Value.find("=?") == std::string::npos && Shown != Value)
        Fail("a value without encoded words changed", Value);
    if (const std::optional<std::string> Expected = ModelValue(Value);
        Expected && Shown != *Expected)
        Fail("shown otherwise than RFC 2047 reads it", Value + " | " + Shown + " | " + *Expected);
    return 0;
}
