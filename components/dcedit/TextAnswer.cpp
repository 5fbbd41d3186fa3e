#include "components/dcedit/TextAnswer.h"

#include "platform/controls/ItemTexts.h"

bool AnswerTextMessage(TMessage& Message, const std::string& Text) {
    if (Message.Msg == WM_GETTEXTLENGTH) {
        Message.Result = LRESULT(Text.size());
        return true;
    }
    if (Message.Msg != WM_GETTEXT) return false;
    Message.Result = ItemTextTo(Text, reinterpret_cast<char*>(Message.LParam),
                                static_cast<std::int64_t>(Message.WParam));
    return true;
}

std::string SetTextOf(const TMessage& Message) {
    const auto* Text = reinterpret_cast<const char*>(Message.LParam);
    return Text ? std::string(Text) : std::string();
}
