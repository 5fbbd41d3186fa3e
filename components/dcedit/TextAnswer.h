#pragma once
// Controls that keep their text in a value of their own (a list's selection, a drawn colour,
// a check state) answer the window-text questions from it.
#include <string>

#include "platform/core/Messages.h"

// Answers WM_GETTEXT (copies as much as the buffer takes, with its NUL) and WM_GETTEXTLENGTH
// with Text; false, and nothing answered, for any other message.
bool AnswerTextMessage(TMessage& Message, const std::string& Text);
// The text a WM_SETTEXT carries (empty for none).
std::string SetTextOf(const TMessage& Message);
