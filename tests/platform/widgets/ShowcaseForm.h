#pragma once
// The showcase form (forms/TestShowcaseForm.dfm): one of each control of the class library on a
// sizeable dialog with a tool bar, a tree beside a splitter, a page control, a row of buttons and
// a status bar. The offscreen tests and the ones on a real X server share it.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/core/Input.h"
#include "platform/widgets/Buttons.h"
#include "platform/widgets/ComCtrls.h"
#include "platform/widgets/ComboBoxes.h"
#include "platform/widgets/ExtCtrls.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/ImgList.h"
#include "platform/widgets/ListBoxes.h"
#include "platform/widgets/Mask.h"
#include "platform/widgets/StatusBars.h"
#include "platform/widgets/StdCtrls.h"
#include "platform/widgets/UpDowns.h"
#include "tests/support/GuiTestSupport.h"

namespace Showcase {

class TTestShowcaseForm : public TForm {
  public:
    using TForm::TForm;
    TPanel* ToolBar = nullptr;
    TSpeedButton* SpeedOpen = nullptr;
    TSpeedButton* SpeedLeft = nullptr;
    TStatusBar* StatusBar = nullptr;
    TPanel* ButtonPanel = nullptr;
    TBitBtn* BitHelp = nullptr;
    TButton* ButtonOk = nullptr;
    TButton* ButtonCancel = nullptr;
    TButton* ButtonApply = nullptr;
    TTreeView* Tree = nullptr;
    TSplitter* Splitter = nullptr;
    TPageControl* Pages = nullptr;
    TTabSheet* SheetGeneral = nullptr;
    TTabSheet* SheetList = nullptr;
    TLabel* LabelName = nullptr;
    TEdit* EditName = nullptr;
    TMaskEdit* MaskDate = nullptr;
    TEdit* EditPort = nullptr;
    TUpDown* UpDownPort = nullptr;
    TComboBox* ComboHost = nullptr;
    TComboBox* ComboKind = nullptr;
    TMemo* MemoNotes = nullptr;
    TListBox* ListGroups = nullptr;
    TCheckListBox* CheckOptions = nullptr;
    TCheckBox* CheckSave = nullptr;
    TRadioButton* RadioPop = nullptr;
    TRadioGroup* RadioSort = nullptr;
    TImage* Envelope = nullptr;
    TListView* ListView = nullptr;
    int Applied = 0;

    template <class T>
    T* Find(const char* Name) {
        auto* C = dynamic_cast<T*>(FindComponent(Name));
        EXPECT_NE(C, nullptr) << Name;
        return C;
    }
    void FormCreate(TObject*) {
        ToolBar = Find<TPanel>("ToolBar");
        SpeedOpen = Find<TSpeedButton>("SpeedOpen");
        SpeedLeft = Find<TSpeedButton>("SpeedLeft");
        StatusBar = Find<TStatusBar>("StatusBar");
        ButtonPanel = Find<TPanel>("ButtonPanel");
        BitHelp = Find<TBitBtn>("BitHelp");
        ButtonOk = Find<TButton>("ButtonOk");
        ButtonCancel = Find<TButton>("ButtonCancel");
        ButtonApply = Find<TButton>("ButtonApply");
        Tree = Find<TTreeView>("Tree");
        Splitter = Find<TSplitter>("Splitter");
        Pages = Find<TPageControl>("Pages");
        SheetGeneral = Find<TTabSheet>("SheetGeneral");
        SheetList = Find<TTabSheet>("SheetList");
        LabelName = Find<TLabel>("LabelName");
        EditName = Find<TEdit>("EditName");
        MaskDate = Find<TMaskEdit>("MaskDate");
        EditPort = Find<TEdit>("EditPort");
        UpDownPort = Find<TUpDown>("UpDownPort");
        ComboHost = Find<TComboBox>("ComboHost");
        ComboKind = Find<TComboBox>("ComboKind");
        MemoNotes = Find<TMemo>("MemoNotes");
        ListGroups = Find<TListBox>("ListGroups");
        CheckOptions = Find<TCheckListBox>("CheckOptions");
        CheckSave = Find<TCheckBox>("CheckSave");
        RadioPop = Find<TRadioButton>("RadioPop");
        RadioSort = Find<TRadioGroup>("RadioSort");
        Envelope = Find<TImage>("Envelope");
        ListView = Find<TListView>("ListView");
        FillTree();
        FillList();
        CheckOptions->SetChecked(0, true);
        CheckOptions->SetChecked(2, true);
        ListGroups->SetItemIndex(1);
    }
    void ButtonApplyClick(TObject*) { ++Applied; }

  private:
    // A box with its folders, as the main window lists them.
    void FillTree() {
        TTreeNodes* Nodes = Tree->Items();
        TTreeNode* Box = Nodes->Add(nullptr, "pop.example.org");
        for (const char* Folder : {"Eingang", "Ausgang", "Gesendet"})
            Nodes->AddChild(Box, Folder)->SetImageIndex(1);
        TTreeNode* News = Nodes->Add(nullptr, "news.example.com");
        News->SetImageIndex(2);
        Nodes->AddChild(News, "de.comm.mail")->SetImageIndex(1);
        Box->Expand(false);
        Box->Item(0)->SetSelected(true);
    }
    void FillList() {
        struct TRow {
            const char* Name;
            const char* Size;
            const char* Date;
        };
        for (const TRow& R : {TRow{"Meeting on Monday", "1 KB", "01.02.2004"},
                              TRow{"Re: Meeting on Monday", "20 KB", "01.02.2004"},
                              TRow{"Photos", "1024 KB", "02.02.2004"}}) {
            TListItem* Item = ListView->Items()->Add();
            Item->SetCaption(R.Name);
            Item->SubItems()->Add(R.Size);
            Item->SubItems()->Add(R.Date);
        }
    }
};

inline void RegisterShowcaseClasses() {
    static const bool Done = [] {
        RegisterClass<TTestShowcaseForm, TForm>("TTestShowcaseForm")
            .Method("FormCreate", &TTestShowcaseForm::FormCreate)
            .Method("ButtonApplyClick", &TTestShowcaseForm::ButtonApplyClick);
        return true;
    }();
    (void)Done;
}

// The showcase form created afresh for each test; every form goes at the end.
class ShowcaseFixture : public testing::Test {
  protected:
    void SetUp() override {
        Forms.Initialize();
        InitStandardControls();
        RegisterShowcaseClasses();
        Form = CreateForm<TTestShowcaseForm>(&Forms);
        GuiTest::Drain();
    }
    void TearDown() override {
        while (Screen->FormCount() > 0) Screen->Forms(0)->Free();
        GuiTest::Drain();
    }
    TTestShowcaseForm* Form = nullptr;
};

// Every control of the form with its place in its parent, in creation order.
inline std::string BoundsDump(TCustomForm* Form) {
    std::ostringstream Out;
    for (int I = 0; I < Form->ComponentCount(); ++I)
        if (auto* C = dynamic_cast<TControl*>(Form->Components(I)))
            Out << C->Name() << " " << C->Left() << "," << C->Top() << " " << C->Width() << "x"
                << C->Height() << "\n";
    return Out.str();
}

// Every control's bounds at the designed size (BoundsDump). The page that does not show is laid
// out when it shows.
inline constexpr const char* kDesignedLayout =
    "ToolBar 0,0 600x28\nSpeedOpen 4,2 23x22\nSpeedLeft 34,2 23x22\nSpeedRight 57,2 23x22\n"
    "SpeedFlat 87,2 23x22\nStatusBar 0,401 600x19\nButtonPanel 0,363 600x38\n"
    "BitHelp 8,7 80x25\nButtonOk 344,7 80x25\nButtonCancel 428,7 80x25\n"
    "ButtonApply 512,7 80x25\nTree 0,28 140x335\nSplitter 140,28 4x335\n"
    "Pages 144,28 456x335\nSheetGeneral 4,24 448x307\nLabelName 8,12 36x13\n"
    "LabelDate 8,39 41x13\nLabelPort 8,66 26x13\nEditName 64,8 150x21\nMaskDate 64,35 80x21\n"
    "EditPort 64,62 49x21\nUpDownPort 113,62 16x21\nComboHost 8,90 206x21\n"
    "ComboKind 8,117 206x21\nMemoNotes 8,144 206x60\nListGroups 8,212 100x87\n"
    "CheckOptions 114,212 100x87\nCheckSave 226,8 160x17\nGroupProtocol 226,30 214x66\n"
    "RadioPop 12,18 120x17\nRadioImap 12,40 120x17\nRadioSort 226,100 214x86\n"
    "Line 226,196 214x2\nEnvelope 226,206 32x32\nLabelInfo 266,206 174x32\n"
    "SheetList 0,0 0x0\nListView 0,0 0x0\n";

// The name of the control with the focus (the window's nearest control); a radio group's own
// buttons have none and are named by their group and caption.
inline std::string FocusedName() {
    TWinControl* C = FindControl(GetFocus());
    if (!C) return "(none)";
    if (C->Name().empty() && C->Parent()) return C->Parent()->Name() + ":" + C->Caption();
    return C->Name();
}

}  // namespace Showcase
