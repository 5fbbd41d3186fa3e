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

// The numbers of a STAT reply's text ("2 320"): the message count and the mailbox size in bytes,
// each -1 when its word is missing or no number in range (a sign, 20 digits). Words after the
// size are the server's own and are ignored.
struct TPop3Stat {
    int32_t Count = -1;
    int64_t Size = -1;
};
TPop3Stat ParsePop3Stat(const std::string& Text);

// The greeting's APOP time stamp: from the first "<" to the first ">" after it, both included;
// empty when there is none.
std::string Pop3Timestamp(const std::string& greeting);
