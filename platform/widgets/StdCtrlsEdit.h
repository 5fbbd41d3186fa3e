#pragma once
// The single-line edit control of the class library, over the EDIT class (platform/controls/
// Edit.h). The text, the selection and the modified flag live in the window; while there is
// none, the control keeps them and hands them to the next window.
#include <string>

#include "platform/widgets/Control.h"

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TCustomEdit : public TWinControl {
  public:
    explicit TCustomEdit(TComponent* AOwner);
    ~TCustomEdit() override;

    // Select the whole text when the edit is entered by keyboard (not by a click into it).
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    // bsSingle (a sunken frame) or bsNone.
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    // Converts what is typed and set (Windows-1252 letters, umlauts too).
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    // Keep the selection shown while another control has the focus when false.
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    // What may be typed or pasted at most; 0: as much as the edit takes.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    // Accepted from definitions; texts are Windows-1252 throughout, nothing needs converting.
    bool OEMConvert() const { return FOEMConvert; }
    void SetOEMConvert(bool Value) { FOEMConvert = Value; }
    // Shown for every character (0: the text itself). Never copied to the clipboard.
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // The text was changed by the user since it was set.
    bool Modified();
    void SetModified(bool Value);

    // The selection; the window is made when there is none yet.
    int SelStart();
    void SetSelStart(int Value);
    int SelLength();
    void SetSelLength(int Value);
    std::string SelText();
    void SetSelText(const std::string& Value);
    void SelectAll();
    void Clear();
    void ClearSelection();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    bool CanUndo();
    void Undo();
    void ClearUndo();

    // The text changed (typed, pasted or set), not while the window is being made.
    TNotifyEvent OnChange;

  protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void KeyPress(char& Key) override;
    void SetTextValue(const std::string& Value) override;
    void Loaded() override;
    // With AutoSize: the height of a line of the font and the frame.
    void AdjustSize() override;
    virtual void Change();
    // The window is being made (or given back its state): its notifications are not changes.
    bool Creating() const { return FCreating; }
    // Sends a message to the window, made first when needed.
    LRESULT Send(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);

  private:
    std::string Cased(std::string Text) const;

    bool FAutoSelect = true;
    TFormBorderStyle FBorderStyle = bsSingle;
    TEditCharCase FCharCase = ecNormal;
    bool FHideSelection = true;
    int FMaxLength = 0;
    bool FOEMConvert = false;
    char FPasswordChar = 0;
    bool FReadOnly = false;
    bool FModified = false;
    bool FCreating = false;
    // A left press on the edit is being handled: it focuses the edit without selecting all.
    bool FPressing = false;
};

class TEdit : public TCustomEdit {
  public:
    using TCustomEdit::TCustomEdit;
};
