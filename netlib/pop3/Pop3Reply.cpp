#include "netlib/pop3/Pop3Reply.h"

TPop3Reply SplitPop3Reply(const std::string& line) {
    if (line.empty()) return {"000", "Empty"};
    if (line[0] == '+') return {line.substr(0, 3), line.size() > 4 ? line.substr(4) : ""};
    if (line[0] == '-') return {line.substr(0, 4), line.size() > 5 ? line.substr(5) : ""};
    return {"000", "Unknown response"};
}

int64_t Pop3Number(const std::string& text, int64_t fallback, int64_t max) {
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) i = 1;
    if (i >= text.size()) return fallback;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return fallback;
        if (value > (max - (c - '0')) / 10) return fallback;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

TPop3Stat ParsePop3Stat(const std::string& Text) {
    // Counts and sizes are never negative: a "-" makes the word no number at all.
    auto UnsignedWord = [](const std::string& Word, int64_t Max) {
        return !Word.empty() && Word[0] != '-' ? Pop3Number(Word, -1, Max) : int64_t(-1);
    };
    const size_t CountEnd = Text.find(' ');
    TPop3Stat Stat;
    Stat.Count = int32_t(UnsignedWord(Text.substr(0, CountEnd), INT32_MAX));
    if (CountEnd == std::string::npos) return Stat;
    const size_t SizeEnd = Text.find(' ', CountEnd + 1);
    Stat.Size = UnsignedWord(Text.substr(CountEnd + 1, SizeEnd - CountEnd - 1), INT64_MAX);
    return Stat;
}

std::string Pop3Timestamp(const std::string& greeting) {
    const size_t open = greeting.find('<');
    if (open == std::string::npos) return std::string();
    const size_t close = greeting.find('>', open);
    if (close == std::string::npos) return std::string();
    return greeting.substr(open, close - open + 1);
}
