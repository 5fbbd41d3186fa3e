#pragma once
// Taking POP3 reply lines apart; no socket involved, so the rules can be tested on their own.
#include <cstdint>
#include <string>

struct TPop3Reply {
    // "+OK", "-ERR", or "000" for a line that is neither.
    std::string Code;
    // The line after the code and its blank; "Unknown response" or "Empty" for other lines.
    std::string Text;
};

TPop3Reply SplitPop3Reply(const std::string& line);

// The decimal number the text holds (an optional "-" and digits only), or fallback when it holds
// none or one outside [-max, max].
int64_t Pop3Number(const std::string& text, int64_t fallback, int64_t max);

// The greeting's APOP time stamp: from the first "<" to the first ">" after it, both included;
// empty when there is none.
std::string Pop3Timestamp(const std::string& greeting);
