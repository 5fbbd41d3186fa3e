#include "components/dcedit/TextAnswer.h"

#include <algorithm>
#include <cstring>

bool AnswerTextMessage(TMessage& Message, const std::string& Text) {
    if (Message.Msg == WM_GETTEXTLENGTH) {
        Message.Result = LRESULT(Text.size());
        return true;
    }
    if (Message.Msg != WM_GETTEXT) return false;
    char* Buffer = reinterpret_cast<char*>(Message.LParam);
    Message.Result = 0;
    if (Buffer == nullptr || Message.WParam == 0) return true;
    const size_t Count = std::min(Text.size(), size_t(Message.WParam) - 1);
    std::memcpy(Buffer, Text.data(), Count);
    Buffer[Count] = '\0';
    Message.Result = LRESULT(Count);
    return true;
}

std::string SetTextOf(const TMessage& Message) {
    const auto* Text = reinterpret_cast<const char*>(Message.LParam);
    return Text ? std::string(Text) : std::string();
}
