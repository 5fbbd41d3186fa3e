#pragma once
// The HTML tokenizer: a character reader with a push-back stack and line counting, the
// whitespace filter, and the tokenizer that turns the characters into one token at a time (a tag
// with its attributes, a run of text, or the end of input), with a one-token push-back.
//
// It reads bytes; a NUL byte ends the input. Nothing is transcoded and nothing bounds a token:
// token text and attribute values grow with what the document holds, so an entity reference is
// never cut in two.
#include <cstdint>
#include <string>
#include <vector>

#include "htmlview/html/IpHtmlTokens.h"
#include "htmlview/html/Limits.h"

class TStream;

class TIpHtmlTokenizer {
  public:
    TIpHtmlTokenizer();
    ~TIpHtmlTokenizer();
    TIpHtmlTokenizer(const TIpHtmlTokenizer&) = delete;
    TIpHtmlTokenizer& operator=(const TIpHtmlTokenizer&) = delete;

    // Reads Source from its current position: counters, push-backs, flags and depths restart.
    void Start(TStream& Source);
    // Back to where Start began, as if nothing had been read yet.
    void Restart();
    // Lets go of the stream.
    void Finish();

    // Makes the next token current.
    void NextToken();
    TIpHtmlToken CurToken() const { return FCurToken; }
    // For a tag its name in upper case, for text the characters as collected.
    const std::string& TokenString() const { return FTokenText; }
    // Pushes one token back; a second before it was taken raises "Token stack overflow".
    void PutToken(TIpHtmlToken Token);
    // Pushes a character back; a ninth raises "Character stack overflow".
    void PutChar(char C);
    // The next character after push-back and whitespace filtering; 0 at the end of input.
    char GetChar();
    // Whether every character of the token text is at most 32 (an empty text counts as white).
    bool IsWhiteSpace() const;

    // Reads tokens while the current one is text, at least once.
    void SkipTextTokens();
    // Reads at least once, then while the current token is white text.
    void SkipWhiteText();
    // Reads only while the current token is text.
    void SkipTextWhileCurrent();

    // The attributes of the last tag read, in the order they appear.
    int AttributeCount() const { return int(FAttributeNames.size()); }
    const std::string& AttributeName(int Index) const { return FAttributeNames.at(size_t(Index)); }
    const std::string& AttributeValue(int Index) const {
        return FAttributeValues.at(size_t(Index));
    }
    // The value of the first attribute of that name (ignoring case), empty when there is none.
    std::string FindAttribute(const std::string& Name) const;

    // Raise the plain Exception "Error "<message>" at line <n>, position <n>".
    [[noreturn]] void ReportError(const std::string& Message) const;
    [[noreturn]] void ReportExpected(const std::string& What) const;
    [[noreturn]] void ReportExpectedToken(TIpHtmlToken Token) const;

    // When set, structural errors raise; when clear, the parser recovers silently.
    bool FlagErrors = false;
    // Above 0 while a PRE element's content is read: characters pass unfiltered.
    int PreformattedDepth = 0;
    // Above 0 while body text is read: white text tokens are kept.
    int BodyTextDepth = 0;

    int64_t LineNumber() const { return FLine; }
    int64_t LinePosition() const { return FColumn; }
    int64_t CharCount() const { return FCharCount; }

  private:
    char ReadRaw();
    void ResetReader();
    bool ReadOneToken();
    void ReadText(char C);
    void ReadTag();
    void SkipComment();
    void SkipDeclaration();
    void ReadAttributes();
    void AddAttribute(const std::string& Name, const std::string& Value);
    void LookUpTag();

    TStream* FStream = nullptr;
    int64_t FStartPosition = 0;
    std::vector<char> FBuffer;
    size_t FBufferPos = 0;
    size_t FBufferLen = 0;
    bool FAtEnd = false;

    char FCharStack[HtmlLimits::kMaxCharPushBack];
    int FCharStackCount = 0;
    bool FHaveToken = false;
    TIpHtmlToken FTokenStack = ttEof;
    bool FLastWasSpace = false;
    bool FLastWasClose = false;

    TIpHtmlToken FCurToken = ttEof;
    std::string FTokenText;
    std::vector<std::string> FAttributeNames;
    std::vector<std::string> FAttributeValues;

    int64_t FCharCount = 0;
    int64_t FLine = 1;
    int64_t FColumn = 0;
};
