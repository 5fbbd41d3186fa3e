// The window controls of the form and frame nodes: how each node makes its control of the class
// library, places it where the layout put the node, and reads and resets it for its form.
#include <algorithm>
#include <string>
#include <utility>

#include "htmlview/html/IpHtml.h"
#include "htmlview/html/IpHtmlEntities.h"
#include "netlib/base/IpUtils.h"
#include "platform/shell/Dialogs.h"
#include "platform/widgets/Buttons.h"
#include "platform/widgets/ComboBoxes.h"
#include "platform/widgets/ListBoxes.h"
#include "platform/widgets/StdCtrlsMemo.h"

namespace {

// The text a node shows from its first text child, as options show it.
std::string FirstText(TIpHtmlNodeMulti& Node) {
    for (int I = 0; I < Node.ChildCount(); ++I)
        if (auto* Text = dynamic_cast<TIpHtmlNodeText*>(Node.ChildNode(I)))
            return TrimSpaces(NormalizeText(Text->ANSIText()));
    return std::string();
}

// The handlers of a control the node set up reach the node: they go before the control does.
void FreeControl(TWinControl* Control) {
    Control->OnClick = nullptr;
    if (auto* Edit = dynamic_cast<TCustomEdit*>(Control)) Edit->OnChange = nullptr;
    Control->Free();
}

// Glyphs keep this colour out: it marks the pixels of the button's face.
constexpr TColor kGlyphTransparentColor = 0xFEFEFE;

// One question of a page: the radio buttons of one form that share a NAME, as a submission
// sends one value per name. A button without a name stands alone.
class TIpHtmlRadioButton : public TRadioButton {
  public:
    TIpHtmlRadioButton(const TIpHtmlNode* Form, std::string Name)
        : TRadioButton(nullptr), FForm(Form), FName(std::move(Name)) {}

  protected:
    bool SharesGroupWith(const TRadioButton& Other) const override {
        const auto* Question = dynamic_cast<const TIpHtmlRadioButton*>(&Other);
        return Question && !FName.empty() && Question->FForm == FForm && Question->FName == FName;
    }

  private:
    const TIpHtmlNode* FForm;
    std::string FName;
};

const TIpHtmlNode* EnclosingForm(const TIpHtmlNode& Node) {
    for (const TIpHtmlNode* Up = Node.ParentNode(); Up; Up = Up->ParentNode())
        if (dynamic_cast<const TIpHtmlNodeFORM*>(Up)) return Up;
    return nullptr;
}

constexpr const char* kSubmitCaption = "Submit";
constexpr const char* kResetCaption = "Reset";
constexpr const char* kBrowseCaption = "Browse...";

}  // namespace

// --- every control ---

TIpHtmlNodeControl::TIpHtmlNodeControl(TIpHtmlNode* Parent) : TIpHtmlNodeAlignInline(Parent) {
    SetAlign(TIpHtmlImageAlign::hiaBottom);
    Owner()->FControls.push_back(this);
}

TIpHtmlNodeControl::~TIpHtmlNodeControl() {
    if (FControl && FOwnsControl) FreeControl(FControl);
    if (!Owner()->Destroying()) Owner()->Unregister<TIpHtmlNode>(Owner()->FControls, this);
}

void TIpHtmlNodeControl::SetControl(TWinControl* Control, bool Owned) {
    if (FControl && FOwnsControl && FControl != Control) FreeControl(FControl);
    FControl = Control;
    FOwnsControl = Owned;
}

void TIpHtmlNodeControl::AdoptControl(TWinControl* Control, TWinControl* Parent,
                                      const std::string& Hint) {
    SetControl(Control, true);
    Control->SetVisible(false);
    Control->SetParent(Parent);
    Owner()->ControlCreate(this);
    if (!Hint.empty()) {
        Control->SetHint(Hint);
        Control->SetShowHint(true);
    }
}

void TIpHtmlNodeControl::ControlClicked() {
    Owner()->ControlClick(this);
}

void TIpHtmlNodeControl::PaintInline(TIpHtmlNodeBlock&) {
    if (!FControl) return;
    TIpHtml& Doc = *Owner();
    const TIpHtmlRect& At = Element()->WordRect;
    TIpHtmlRect R;
    if (!Doc.PageRectToTarget(At, R)) return;
    PlaceControl(R);
    if (Doc.PrintState.Printing) return;
    if (!FControl->Visible()) FControl->Show();
    FShown = true;
}

void TIpHtmlNodeControl::PlaceControl(const TIpHtmlRect& R) {
    FControl->SetBounds(R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top);
}

void TIpHtmlNodeControl::HideUnmarkedControl() {
    if (FControl && !FShown && FControl->Visible()) FControl->Hide();
}

// --- INPUT ---

void TIpHtmlNodeINPUT::MakeControl(TWinControl* Parent) {
    using enum TIpHtmlInputType;
    FInitialValue = Value;
    FInitialChecked = Checked;
    switch (InputType) {
        case hitText:
        case hitPassword:
            return MakeEdit(Parent);
        case hitCheckbox:
        case hitRadio:
            return MakeCheck(Parent);
        case hitSubmit:
        case hitReset:
        case hitButton:
            return MakeButton(Parent);
        case hitFile:
            return MakeFile(Parent);
        case hitImage:
            return MakeImageButton(Parent);
        case hitHidden:
            return;
    }
}

void TIpHtmlNodeINPUT::MakeEdit(TWinControl* Parent) {
    auto* Edit = new TEdit(nullptr);
    Edit->SetAutoSize(false);
    Edit->SetText(Value);
    if (MaxLength > 0) Edit->SetMaxLength(MaxLength);
    Edit->SetEnabled(!Disabled);
    Edit->SetReadOnly(ReadOnly);
    if (InputType == TIpHtmlInputType::hitPassword) Edit->SetPasswordChar('*');
    Edit->OnChange = [this, Edit](TObject*) {
        Value = Edit->Text();
        ControlClicked();
    };
    AdoptControl(Edit, Parent, Alt);
}

// All controls of a page share one window, so a radio button turns off only the others of its
// question; the state a submission reads is the control's.
void TIpHtmlNodeINPUT::MakeCheck(TWinControl* Parent) {
    TButtonControl* Box = InputType == TIpHtmlInputType::hitCheckbox
                              ? static_cast<TButtonControl*>(new TCheckBox(nullptr))
                              : new TIpHtmlRadioButton(EnclosingForm(*this), Name);
    Box->SetChecked(Checked);
    Box->SetEnabled(!Disabled && !ReadOnly);
    if (InputType == TIpHtmlInputType::hitRadio && FProps->BgColor() != kHtmlNoColor) {
        Box->SetParentColor(false);
        Box->SetColor(TColor(FProps->BgColor()));
    }
    Box->OnClick = [this, Box](TObject*) {
        Checked = Box->Checked();
        ControlClicked();
    };
    AdoptControl(Box, Parent, Alt);
}

void TIpHtmlNodeINPUT::MakeButton(TWinControl* Parent) {
    using enum TIpHtmlInputType;
    auto* Button = new TButton(nullptr);
    std::string Caption = Value;
    if (Caption.empty() && InputType == hitSubmit) Caption = kSubmitCaption;
    if (Caption.empty() && InputType == hitReset) Caption = kResetCaption;
    Button->SetCaption(Caption);
    Button->OnClick = [this](TObject*) {
        if (InputType == hitSubmit)
            SubmitForm();
        else if (InputType == hitReset)
            ResetForm();
        else
            ControlClicked();
    };
    AdoptControl(Button, Parent, Alt);
}

// An edit and a button in a panel; the edit starts empty whatever the markup says, so that only
// a file the user names is ever sent.
void TIpHtmlNodeINPUT::MakeFile(TWinControl* Parent) {
    auto* Panel = new TPanel(nullptr);
    Panel->SetBevelOuter(bvNone);
    Panel->SetCaption("");
    auto* Button = new TButton(Panel);
    Button->SetCaption(kBrowseCaption);
    Button->SetParent(Panel);
    Button->SetEnabled(!Disabled && !ReadOnly);
    Button->OnClick = [this](TObject*) { Browse(); };
    auto* Edit = new TEdit(Panel);
    Edit->SetAutoSize(false);
    Edit->SetParent(Panel);
    Edit->SetEnabled(!Disabled);
    FFileEdit = Edit;
    FBrowseButton = Button;
    AdoptControl(Panel, Parent, Alt);
}

// The button at the panel's right edge, the edit filling the rest; measured while painting,
// when the node's font can be measured.
void TIpHtmlNodeINPUT::PlaceControl(const TIpHtmlRect& R) {
    TIpHtmlNodeControl::PlaceControl(R);
    if (!FFileEdit || !FBrowseButton) return;
    const int32_t Width = R.Right - R.Left, Height = R.Bottom - R.Top;
    const TIpHtmlSize Caption = MeasureText(kBrowseCaption);
    const int32_t ButtonWidth = Caption.Width + 40;
    FBrowseButton->SetBounds(Width - ButtonWidth, 1, ButtonWidth, Caption.Height + 10);
    FFileEdit->SetBounds(1, 1, std::max(Width - ButtonWidth - 2, 1), std::max(Height - 2, 1));
}

void TIpHtmlNodeINPUT::Browse() {
    TFileDialogRequest Request;
    Request.Kind = TFileDialogKind::Open;
    Request.FileMustExist = true;
    const TFileDialogAnswer Answer = ExecuteFileDialog(Request);
    if (Answer.Accepted && FFileEdit) FFileEdit->SetText(Answer.FileName());
}

std::string TIpHtmlNodeINPUT::FileName() const {
    return FFileEdit ? FFileEdit->Text() : std::string();
}

void TIpHtmlNodeINPUT::MakeImageButton(TWinControl* Parent) {
    auto* Button = new TBitBtn(nullptr);
    Button->SetCaption(Value);
    Button->SetEnabled(!Disabled && !ReadOnly);
    Button->OnClick = [this](TObject*) { SubmitForm(); };
    AdoptControl(Button, Parent, Alt);
    UpdateGlyph();
}

// The picture on a bitmap of its size whose transparent colour is one pictures hardly use. The
// picture is drawn non-transparent and then left as it was: the images of the page that show the
// same picture go on showing it transparent.
void TIpHtmlNodeINPUT::UpdateGlyph() {
    auto* Button = dynamic_cast<TBitBtn*>(Control());
    if (!Button) return;
    const TIpHtmlPictureRef& Shown = ButtonPicture();
    if (!Shown || !Shown->Graphic()) return;
    TGraphic& Graphic = *Shown->Graphic();
    TBitmap Glyph(std::max(Graphic.Width(), 1), std::max(Graphic.Height(), 1), pf24bit);
    Glyph.Canvas().Brush().SetColor(kGlyphTransparentColor);
    Glyph.Canvas().FillRect(Rect(0, 0, Glyph.Width(), Glyph.Height()));
    const bool Transparent = Graphic.Transparent();
    Graphic.SetTransparent(false);
    Glyph.Canvas().Draw(0, 0, Graphic);
    Graphic.SetTransparent(Transparent);
    Glyph.SetTransparentMode(tmFixed);
    Glyph.SetTransparentColor(kGlyphTransparentColor);
    Button->SetGlyph(&Glyph);
}

void TIpHtmlNodeINPUT::PictureArrived(const TIpHtmlPictureRef& Picture) {
    TIpHtml::CheckPicture(Picture);
    FPicture = Picture ? Picture : Owner()->DefaultPicture();
    UpdateGlyph();
    ResetSize();
}

bool TIpHtmlNodeINPUT::IsSuccessful() {
    using enum TIpHtmlInputType;
    if (Name.empty() || Disabled) return false;
    switch (InputType) {
        case hitText:
        case hitPassword:
            return !Value.empty();
        case hitCheckbox:
        case hitRadio: {
            const auto* Box = dynamic_cast<const TButtonControl*>(Control());
            return Box ? Box->Checked() : Checked;
        }
        case hitFile:
            return !FileName().empty();
        default:
            return false;
    }
}

void TIpHtmlNodeINPUT::AddFormValues(TIpHtmlFormValues& Values) {
    using enum TIpHtmlInputType;
    switch (InputType) {
        case hitText:
        case hitPassword:
        case hitCheckbox:
        case hitRadio:
            if (!Value.empty()) Values.push_back({Name, Value});
            return;
        case hitFile:
            if (!FileName().empty()) Values.push_back({Name, "file://" + FileName(), true});
            return;
        default:
            return;
    }
}

// Back to what the markup gave (Value and Checked follow the user's changes).
void TIpHtmlNodeINPUT::ResetControl() {
    using enum TIpHtmlInputType;
    if (!Control()) return;
    if (auto* Edit = dynamic_cast<TCustomEdit*>(Control())) {
        Edit->SetText(FInitialValue);
        Value = FInitialValue;
    } else if (auto* Box = dynamic_cast<TButtonControl*>(Control());
               Box && (InputType == hitCheckbox || InputType == hitRadio)) {
        Box->SetChecked(FInitialChecked);
        Checked = FInitialChecked;
    } else if (FFileEdit) {
        FFileEdit->SetText("");
    }
}

// --- BUTTON ---

std::string TIpHtmlNodeBUTTON::Caption() const {
    if (!Value.empty()) return Value;
    if (ButtonType == TIpHtmlButtonType::hbtSubmit) return kSubmitCaption;
    if (ButtonType == TIpHtmlButtonType::hbtReset) return kResetCaption;
    return std::string();
}

void TIpHtmlNodeBUTTON::MakeControl(TWinControl* Parent) {
    auto* Button = new TButton(nullptr);
    Button->SetCaption(Caption());
    Button->SetEnabled(!Disabled);
    Button->OnClick = [this](TObject*) {
        if (ButtonType == TIpHtmlButtonType::hbtSubmit)
            SubmitForm();
        else if (ButtonType == TIpHtmlButtonType::hbtReset)
            ResetForm();
        else
            ControlClicked();
    };
    AdoptControl(Button, Parent, std::string());
}

// --- SELECT ---

std::vector<TIpHtmlNodeSELECT::TOption> TIpHtmlNodeSELECT::Options() {
    std::vector<TOption> Out;
    ForEachNode([&](TIpHtmlNode* Node) {
        if (auto* Option = dynamic_cast<TIpHtmlNodeOPTION*>(Node))
            Out.push_back({FirstText(*Option), Option->Selected});
    });
    return Out;
}

void TIpHtmlNodeSELECT::MakeControl(TWinControl* Parent) {
    if (!Multiple) {
        auto* Combo = new TComboBox(nullptr);
        Combo->SetStyle(csDropDownList);
        AdoptControl(Combo, Parent, std::string());
        ResetControl();
        Combo->SetEnabled(!Disabled);
        return;
    }
    auto* List = new TListBox(nullptr);
    List->SetMultiSelect(true);
    List->SetIntegralHeight(true);
    AdoptControl(List, Parent, std::string());
    ResetControl();
    List->SetEnabled(!Disabled);
}

// The items again, chosen as the markup says: a list its selected options, a drop-down list the
// item of the last selected option's text.
void TIpHtmlNodeSELECT::ResetControl() {
    const std::vector<TOption> Items = Options();
    if (auto* Combo = dynamic_cast<TComboBox*>(Control())) {
        Combo->Items()->Clear();
        int Chosen = -1;
        for (const TOption& Item : Items) Combo->Items()->Add(Item.Text);
        for (const TOption& Item : Items)
            if (Item.Selected) {
                for (int I = 0; I < int(Items.size()); ++I)
                    if (Items[size_t(I)].Text == Item.Text) {
                        Chosen = I;
                        break;
                    }
            }
        Combo->SetItemIndex(Chosen);
    } else if (auto* List = dynamic_cast<TListBox*>(Control())) {
        List->Items()->Clear();
        for (const TOption& Item : Items) List->Items()->Add(Item.Text);
        for (int I = 0; I < int(Items.size()); ++I)
            if (Items[size_t(I)].Selected) List->SetSelected(I, true);
    }
}

std::vector<std::string> TIpHtmlNodeSELECT::ChosenTexts() {
    std::vector<std::string> Texts;
    if (auto* Combo = dynamic_cast<TComboBox*>(Control())) {
        if (Combo->ItemIndex() >= 0) Texts.push_back(Combo->Items()->Get(Combo->ItemIndex()));
    } else if (auto* List = dynamic_cast<TListBox*>(Control())) {
        for (int I = 0; I < List->Items()->Count(); ++I)
            if (List->Selected(I)) Texts.push_back(List->Items()->Get(I));
    } else {
        for (const TOption& Item : Options())
            if (Item.Selected) {
                if (!Multiple) Texts.clear();
                Texts.push_back(Item.Text);
            }
    }
    return Texts;
}

bool TIpHtmlNodeSELECT::IsSuccessful() {
    return !Name.empty() && !Disabled && !ChosenTexts().empty();
}

void TIpHtmlNodeSELECT::AddFormValues(TIpHtmlFormValues& Values) {
    for (const std::string& Text : ChosenTexts()) Values.push_back({Name, Text});
}

// --- TEXTAREA ---

std::vector<std::string> TIpHtmlNodeTEXTAREA::Lines() {
    std::vector<std::string> Out;
    for (int I = 0; I < ChildCount(); ++I)
        if (auto* Text = dynamic_cast<TIpHtmlNodeText*>(ChildNode(I)))
            Out.push_back(TrimSpaces(NormalizeText(Text->ANSIText())));
    return Out;
}

std::string TIpHtmlNodeTEXTAREA::Text() {
    if (auto* Memo = dynamic_cast<TMemo*>(Control())) return Memo->Text();
    std::string Joined;
    for (const std::string& Line : Lines()) Joined += Line + "\r\n";
    return Joined;
}

void TIpHtmlNodeTEXTAREA::MakeControl(TWinControl* Parent) {
    auto* Memo = new TMemo(nullptr);
    Memo->SetEnabled(!Disabled);
    Memo->SetReadOnly(ReadOnly);
    AdoptControl(Memo, Parent, std::string());
    ResetControl();
}

void TIpHtmlNodeTEXTAREA::ResetControl() {
    auto* Memo = dynamic_cast<TMemo*>(Control());
    if (!Memo) return;
    Memo->Lines()->Clear();
    for (const std::string& Line : Lines()) Memo->Lines()->Add(Line);
}

// Whatever its name and state: only an empty text keeps it out.
bool TIpHtmlNodeTEXTAREA::IsSuccessful() {
    return Text().find_first_not_of(" \t\r\n") != std::string::npos;
}

void TIpHtmlNodeTEXTAREA::AddFormValues(TIpHtmlFormValues& Values) {
    Values.push_back({Name, Text()});
}

// --- IFRAME ---

void TIpHtmlNodeIFRAME::MakeControl(TWinControl* Parent) {
    Owner()->ControlCreate(this);
    Owner()->CreateInlineFrame(Parent, this);
}

void TIpHtmlNodeIFRAME::SetFramePanel(TWinControl* Panel) {
    SetControl(Panel, false);
}

// The panel keeps the size its frame gave it; only its place follows the layout.
void TIpHtmlNodeIFRAME::PlaceControl(const TIpHtmlRect& R) {
    Control()->SetBounds(R.Left, R.Top, Control()->Width(), Control()->Height());
}
