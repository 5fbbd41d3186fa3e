#pragma once
// The masked edit: a single-line edit whose text follows an edit mask (see MaskRules.h for the
// mask language and the editing rules). Text is the value, EditText what the edit shows. Typing
// overwrites, a character that does not suit its place is refused with a beep, and leaving the
// edit with a required place still blank (after the user changed it) puts the focus back and
// reports EDBEditError; Esc takes back the changes made since the edit was entered.
#include <string>

#include "platform/classes/Exception.h"
#include "platform/widgets/MaskRules.h"
#include "platform/widgets/StdCtrlsEdit.h"

// A masked edit left incomplete.
class EDBEditError : public Exception {
  public:
    using Exception::Exception;
};

class TCustomMaskEdit : public TCustomEdit {
  public:
    explicit TCustomMaskEdit(TComponent* AOwner);

    const std::string& EditMask() const { return FEditMask; }
    // A new mask keeps the value as far as it suits the mask.
    void SetEditMask(const std::string& Value);
    bool IsMasked() const { return !FMask.Empty(); }
    // The shown text, literals and blanks included; set, it is made to fit the mask.
    std::string EditText();
    void SetEditText(const std::string& Value);
    // EDBEditError (after moving the caret there) when the user left a required place blank.
    virtual void ValidateEdit();
    // Back to the text the edit had when it was entered.
    void Reset();

  protected:
    std::string GetText() override;
    void SetTextValue(const std::string& Value) override;
    void Dispatch(TMessage& Message) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    [[noreturn]] virtual void ValidateError();

  private:
    bool Editable() const { return IsMasked() && !ReadOnly(); }
    void Apply(const TMaskEditResult& Result);
    void Selection(size_t& Start, size_t& End);
    void Select(size_t Start, size_t End);
    void Paste();
    void EraseSelection();
    // The focus went elsewhere with the text incomplete: back to the edit, then the error.
    void Revalidate();
    // Back to the edit (keeping what Esc returns to), the caret at Place.
    void FocusAt(size_t Place);

    std::string FEditMask;
    TEditMask FMask;
    std::string FOldValue;
    bool FReEntering = false;
};

class TMaskEdit : public TCustomMaskEdit {
  public:
    using TCustomMaskEdit::TCustomMaskEdit;
};
