#pragma once
// What the tests of the common control classes share: an image list that is a component (as the
// program's image lists are), a form to put controls on, what a window shows read back through
// its messages, and pictures under pictures/widgets in the build tree.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/controls/Limits.h"
#include "platform/widgets/ComCtrls.h"
#include "platform/widgets/Forms.h"
#include "tests/support/GuiTestSupport.h"

namespace ComCtrlsTest {

using namespace GuiTest;

// An image list placed on a form, named by the controls' image properties in definitions.
class TTestImageList : public TComponent, public TCustomImageList {
  public:
    explicit TTestImageList(TComponent* AOwner) : TComponent(AOwner) {}
    int ListWidth() const { return Width(); }
    void SetListWidth(int Value) { SetWidth(Value); }
    int ListHeight() const { return Height(); }
    void SetListHeight(int Value) { SetHeight(Value); }
    // Adds a picture per colour: a framed sheet of paper with a band in that colour.
    void AddPictures(const std::vector<TColor>& Colours) {
        for (TColor C : Colours) {
            TBitmap Picture(Width(), Height());
            TCanvas& Canvas = Picture.Canvas();
            Canvas.Brush().SetColor(clFuchsia);
            Canvas.FillRect(Rect(0, 0, Width(), Height()));
            const int Margin = Width() / 8;
            Canvas.Brush().SetColor(clBlack);
            Canvas.FillRect(Rect(Margin, 0, Width() - Margin, Height()));
            Canvas.Brush().SetColor(clWhite);
            Canvas.FillRect(Rect(Margin + 1, 1, Width() - Margin - 1, Height() - 1));
            Canvas.Brush().SetColor(C);
            Canvas.FillRect(Rect(Margin + 1, Height() / 4, Width() - Margin - 1, Height() * 3 / 4));
            AddMasked(Picture, clFuchsia);
        }
    }
    // Adds the pictures of a state image list: nothing (the window never shows picture 0), an
    // empty check box and a checked one.
    void AddCheckBoxes() {
        for (int State = 0; State < 3; ++State) {
            TBitmap Picture(Width(), Height());
            TCanvas& Canvas = Picture.Canvas();
            Canvas.Brush().SetColor(clFuchsia);
            Canvas.FillRect(Rect(0, 0, Width(), Height()));
            if (State > 0) {
                const TRect Box = Rect(1, 2, 14, 15);
                Canvas.Brush().SetColor(clWindow);
                Canvas.FillRect(Box);
                Canvas.Brush().SetColor(clBtnShadow);
                Canvas.FrameRect(Box);
            }
            if (State == 2) {
                Canvas.Pen().SetColor(clWindowText);
                for (int Y = 0; Y < 3; ++Y) {
                    Canvas.MoveTo(4, 7 + Y);
                    Canvas.LineTo(6, 9 + Y);
                    Canvas.LineTo(11, 4 + Y);
                }
            }
            AddMasked(Picture, clFuchsia);
        }
    }
};

inline void RegisterTestImageList() {
    static const bool Done = [] {
        RegisterClass<TTestImageList, TComponent>("TTestImageList")
            .Property("Width", &TTestImageList::ListWidth, &TTestImageList::SetListWidth)
            .Property("Height", &TTestImageList::ListHeight, &TTestImageList::SetListHeight);
        return true;
    }();
    (void)Done;
}

class TComCtrlsTest : public testing::Test {
  protected:
    void SetUp() override {
        Forms.Initialize();
        InitStandardControls();
        RegisterTestImageList();
        Drain();
    }
    void TearDown() override {
        while (Screen->FormCount() > 0) Screen->Forms(0)->Free();
        Drain();
    }
    // A shown form without a definition for controls made by the test.
    TForm* HostForm(int Width = 420, int Height = 320) {
        TForm* Form = CreateForm<TForm>(&Forms);
        Form->SetBounds(80, 60, Width, Height);
        Form->Show();
        Drain();
        return Form;
    }
    // A control of the form, on Parent (the form itself when none), at the given place.
    template <class T>
    T* Make(TCustomForm* Form, TWinControl* Parent = nullptr, TRect Bounds = {8, 8, 308, 208}) {
        auto* Control = new T(Form);
        Control->SetBoundsRect(Bounds);
        Control->SetParent(Parent ? Parent : Form);
        return Control;
    }
};

inline std::string WidgetPicturePath(const std::string& Name) {
    return std::string(KESTRO_BINARY_DIR) + "/pictures/widgets/" + Name + ".png";
}

}  // namespace ComCtrlsTest
