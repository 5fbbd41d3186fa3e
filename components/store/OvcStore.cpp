#include "components/store/OvcStore.h"

#include <limits>

void TOvcAbstractStore::Open() {
    ++FOpenCount;
    if (FOpenCount != 1) return;
    try {
        DoOpen();
    } catch (...) {
        // A store that could not be read is not open: the next Open tries again.
        FOpenCount = 0;
        throw;
    }
}

void TOvcAbstractStore::Close() {
    if (FOpenCount == 0) return;
    --FOpenCount;
    if (FOpenCount == 0) DoClose();
}

void TOvcAbstractStore::EraseSection(const std::string&) {}

int32_t TOvcAbstractStore::ReadInteger(const std::string& Section, const std::string& Item,
                                       int32_t Default) {
    return StrToIntDef(ReadString(Section, Item, std::to_string(Default)), Default);
}

void TOvcAbstractStore::WriteInteger(const std::string& Section, const std::string& Item,
                                     int32_t Value) {
    WriteString(Section, Item, std::to_string(Value));
}

int32_t StrToIntDef(const std::string& Text, int32_t Default) {
    size_t At = 0;
    const bool Negative = !Text.empty() && Text[0] == '-';
    if (!Text.empty() && (Text[0] == '-' || Text[0] == '+')) At = 1;
    if (At >= Text.size()) return Default;
    int64_t Value = 0;
    for (; At < Text.size(); ++At) {
        const char C = Text[At];
        if (C < '0' || C > '9') return Default;
        Value = Value * 10 + (C - '0');
        if (Value > int64_t(std::numeric_limits<int32_t>::max()) + 1) return Default;
    }
    if (Negative) Value = -Value;
    if (Value > std::numeric_limits<int32_t>::max()) return Default;
    return int32_t(Value);
}
