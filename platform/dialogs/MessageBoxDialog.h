#pragma once
// The message box on the screen: its icon, the text (wrapped, the box sized to it), the buttons
// of the flags with the default button of MB_DEFBUTTONn, placed over the active window or in the
// middle of the screen. Enter clicks the default (or focused) button, the arrows move between
// the buttons, Alt with a button's letter (or the letter alone) clicks it, and Esc and the close
// box answer Cancel, or OK in a box whose only button is OK; other boxes have no close box.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/dialogs/DialogIcons.h"
#include "platform/dialogs/DialogWindow.h"

class TMessageBoxDialog : public TDialogWindow {
  public:
    // Text and Caption: UTF-8.
    TMessageBoxDialog(const std::string& Text, const std::string& Caption, uint32_t Flags);

    // RunModal returns the answer (IDOK, IDYES, ...).

  protected:
    SIZE Build() override;
    void Command(WORD Id, WORD Code, HWND Control) override;
    void Paint(HDC DC) override;
    bool CanCancel() const override { return EscapeAnswer() != 0; }
    int QuitAnswer() const override;

  private:
    // The answer of Esc and the close box; 0 when the box has neither.
    int EscapeAnswer() const;

    std::string FText;  // Windows-1252, as drawn
    uint32_t FFlags;
    std::vector<int> FAnswers;
    TMessageIcon FIcon;
    RECT FTextRect{};
};
