// Glyph buttons: where glyph and caption go, the kinds of bitmap button, speed buttons alone and
// in groups, and the disabled look of both.
#include "tests/platform/widgets/StdCtrlsFixture.h"

namespace {

using namespace StdTest;

TEST(ButtonLayout, GlyphAndCaptionArePlacedByLayoutMarginAndSpacing) {
    struct TCase {
        const char* Name;
        TRect Client;
        TSize Glyph;
        TSize Text;
        TButtonLayout Layout;
        int Margin;
        int Spacing;
        TPoint GlyphAt;
        TPoint TextAt;
    };
    const TRect Wide{0, 0, 75, 25};
    const TRect Tall{0, 0, 60, 60};
    const TSize G{16, 16};
    const TSize T{20, 13};
    const TCase Cases[] = {
        // Centred together, the spacing between them.
        {"left", Wide, G, T, blGlyphLeft, -1, 4, {18, 5}, {38, 6}},
        {"right", Wide, G, T, blGlyphRight, -1, 4, {41, 5}, {17, 6}},
        {"top", Tall, G, T, blGlyphTop, -1, 4, {22, 14}, {20, 34}},
        {"bottom", Tall, G, T, blGlyphBottom, -1, 4, {22, 30}, {20, 13}},
        // A margin; the caption centred in what is left.
        {"margin", Wide, G, T, blGlyphLeft, 2, -1, {2, 5}, {36, 6}},
        // Margin and spacing shared evenly.
        {"even", Wide, G, T, blGlyphLeft, -1, -1, {13, 5}, {42, 6}},
        // Alone, each is centred; no spacing is kept.
        {"no caption", Wide, G, {0, 0}, blGlyphLeft, -1, 4, {30, 5}, {46, 13}},
        {"no glyph", Wide, {0, 0}, T, blGlyphLeft, -1, 4, {28, 13}, {28, 6}},
        // Inside a frame.
        {"offset client", TRect{3, 2, 78, 27}, G, T, blGlyphLeft, -1, 4, {21, 7}, {41, 8}},
    };
    for (const TCase& C : Cases) {
        const TButtonPlacement P =
            PlaceButtonContent(C.Client, {0, 0}, C.Glyph, C.Text, C.Layout, C.Margin, C.Spacing);
        EXPECT_EQ(P.GlyphPos.X, C.GlyphAt.X) << C.Name;
        EXPECT_EQ(P.GlyphPos.Y, C.GlyphAt.Y) << C.Name;
        EXPECT_EQ(P.TextBounds.Left, C.TextAt.X) << C.Name;
        EXPECT_EQ(P.TextBounds.Top, C.TextAt.Y) << C.Name;
        EXPECT_EQ(P.TextBounds.Width(), C.Text.cx) << C.Name;
    }
    // A pushed button moves both.
    const TButtonPlacement Pushed = PlaceButtonContent(Wide, {1, 1}, G, T, blGlyphLeft, -1, 4);
    EXPECT_EQ(Pushed.GlyphPos.X, 19);
    EXPECT_EQ(Pushed.TextBounds.Top, 7);
}

TEST(BitBtnKinds, EveryKindHasItsCaptionResultRoleAndGlyph) {
    struct TCase {
        TBitBtnKind Kind;
        const char* Caption;
        TModalResult Result;
        bool Default;
        bool Cancel;
    };
    const TCase Cases[] = {
        {TBitBtnKind::bkOK, "OK", mrOk, true, false},
        {TBitBtnKind::bkCancel, "Cancel", mrCancel, false, true},
        {TBitBtnKind::bkHelp, "&Help", mrNone, false, false},
        {TBitBtnKind::bkYes, "&Yes", mrYes, true, false},
        {TBitBtnKind::bkNo, "&No", mrNo, false, true},
        {TBitBtnKind::bkClose, "&Close", mrNone, false, false},
        {TBitBtnKind::bkAbort, "Abort", mrAbort, false, false},
        {TBitBtnKind::bkRetry, "&Retry", mrRetry, false, false},
        {TBitBtnKind::bkIgnore, "&Ignore", mrIgnore, false, false},
        {TBitBtnKind::bkAll, "&All", mrAll, false, false},
    };
    for (const TCase& C : Cases) {
        const TBitBtnKindInfo& I = BitBtnKindInfo(C.Kind);
        EXPECT_STREQ(I.Caption, C.Caption);
        EXPECT_EQ(I.Result, C.Result) << C.Caption;
        EXPECT_EQ(I.Default, C.Default) << C.Caption;
        EXPECT_EQ(I.Cancel, C.Cancel) << C.Caption;
        TBitmap Glyph;
        LoadBitBtnGlyph(C.Kind, Glyph);
        EXPECT_EQ(Glyph.Width(), 16) << C.Caption;
        // The transparent colour is in the corner, and the picture is more than that.
        EXPECT_EQ(Glyph.TransparentColor(), clOlive) << C.Caption;
        const QImage Image = Glyph.Image();
        int Drawn = 0;
        for (int Y = 0; Y < Image.height(); ++Y)
            for (int X = 0; X < Image.width(); ++X)
                if ((Image.pixel(X, Y) & 0xFFFFFF) != 0x808000) ++Drawn;
        EXPECT_GT(Drawn, 20) << C.Caption;
    }
    TBitmap None;
    LoadBitBtnGlyph(TBitBtnKind::bkCustom, None);
    EXPECT_TRUE(None.Empty());
}

TEST_F(StdForm, ABitBtnKindGivesWayToWhatIsChanged) {
    TBitBtn* B = Form->BitHelp;
    B->SetKind(TBitBtnKind::bkOK);
    EXPECT_EQ(B->Caption(), "OK");
    EXPECT_TRUE(B->Default());
    EXPECT_EQ(B->ModalResult(), mrOk);
    // A caption of its own keeps the kind; another result does not.
    B->SetCaption("Weiter");
    EXPECT_EQ(B->Kind(), TBitBtnKind::bkOK);
    EXPECT_TRUE(B->IsCustomCaption());
    B->SetModalResult(mrYes);
    EXPECT_EQ(B->Kind(), TBitBtnKind::bkCustom);
    B->SetKind(TBitBtnKind::bkNo);
    EXPECT_TRUE(B->Cancel());
    EXPECT_FALSE(B->Default());
    TBitmap Own(8, 8);
    B->SetGlyph(&Own);
    EXPECT_EQ(B->Kind(), TBitBtnKind::bkCustom);
}

TEST_F(StdForm, ABitBtnClicksLikeAButtonAndCloseClosesItsForm) {
    ShowForm();
    Click(Form->BitHelp);
    EXPECT_EQ(Form->ModalResult(), mrNone);
    // Disabled, it takes no click.
    Click(Form->BitAbort);
    EXPECT_EQ(Form->ModalResult(), mrNone);
    Form->BitAbort->SetEnabled(true);
    Drain();
    Click(Form->BitAbort);
    EXPECT_EQ(Form->ModalResult(), mrAbort);
    int Clicks = 0;
    Form->BitHelp->OnClick = [&](TObject*) { ++Clicks; };
    Form->BitHelp->SetKind(TBitBtnKind::bkClose);
    Click(Form->BitHelp);
    EXPECT_EQ(Clicks, 1);
    EXPECT_FALSE(Form->Visible());
}

// Counts the pixels of a colour in a control's rectangle on its form's picture.
int PixelsOf(TTestStdForm* Form, TControl* C, TColor Color) {
    const QImage Picture = WindowPicture(Form->Handle());
    RECT Window;
    GetWindowRect(Form->Handle(), &Window);
    const TPoint At = C->ClientToScreen(TPoint{0, 0});
    const QRgb Want = ColorOf(ColorToRGB(Color));
    int Count = 0;
    for (int Y = 0; Y < C->Height(); ++Y)
        for (int X = 0; X < C->Width(); ++X)
            if ((Picture.pixel(At.X - Window.left + X, At.Y - Window.top + Y) | 0xFF000000u) ==
                Want)
                ++Count;
    return Count;
}

TEST_F(StdForm, DisabledGlyphsAreEmbossedAndEnabledOnesInColour) {
    ShowForm();
    // The abort glyph is red while enabled and shadow and highlight while disabled.
    EXPECT_EQ(PixelsOf(Form, Form->BitAbort, clRed), 0);
    EXPECT_GT(PixelsOf(Form, Form->BitAbort, clBtnShadow), 60);
    Form->BitAbort->SetEnabled(true);
    Drain();
    EXPECT_GT(PixelsOf(Form, Form->BitAbort, clRed), 60);
    // The disabled speed button's folder shows no yellow; the enabled one does.
    EXPECT_EQ(PixelsOf(Form, Form->SpeedOff, clYellow), 0);
    EXPECT_GT(PixelsOf(Form, Form->SpeedOpen, clYellow), 60);
    EXPECT_EQ(Form->SpeedOff->State(), bsDisabled);
}

TEST_F(StdForm, SpeedButtonsOfAGroupStayDownOneAtATime) {
    ShowForm();
    Click(Form->SpeedRight);
    EXPECT_TRUE(Form->SpeedRight->Down());
    EXPECT_FALSE(Form->SpeedLeft->Down());
    // The one button down stays down without AllowAllUp.
    Click(Form->SpeedRight);
    EXPECT_TRUE(Form->SpeedRight->Down());
    Form->SpeedLeft->SetAllowAllUp(true);
    EXPECT_TRUE(Form->SpeedRight->AllowAllUp());
    Click(Form->SpeedRight);
    EXPECT_FALSE(Form->SpeedRight->Down());
    EXPECT_FALSE(Form->SpeedLeft->Down());
    // A button of no group clicks and comes up again.
    Click(Form->SpeedOpen);
    EXPECT_FALSE(Form->SpeedOpen->Down());
    EXPECT_EQ(Form->SpeedOpen->State(), bsUp);
    Form->SpeedOpen->SetDown(true);
    EXPECT_FALSE(Form->SpeedOpen->Down());
    EXPECT_EQ(Form->Log,
              (std::vector<std::string>{"SpeedRight", "SpeedRight", "SpeedRight", "SpeedOpen"}));
    // A press dragged off the button clicks nothing.
    const TPoint In = Form->SpeedOpen->ClientToScreen(TPoint{5, 5});
    const TPoint Out = Form->SpeedOpen->ClientToScreen(TPoint{5, 60});
    MousePress(Form->Handle(), POINT{In.X, In.Y});
    Drain();
    EXPECT_EQ(Form->SpeedOpen->State(), bsDown);
    MouseMove(Form->Handle(), POINT{Out.X, Out.Y});
    MouseRelease(Form->Handle(), POINT{Out.X, Out.Y});
    Drain();
    EXPECT_EQ(Form->SpeedOpen->State(), bsUp);
    EXPECT_EQ(Form->Log.size(), 4u);
}

TEST_F(StdForm, AFlatSpeedButtonShowsItsBevelOnlyUnderTheMouse) {
    ShowForm();
    TSpeedButton* F = Form->SpeedFlat;
    const int Flat = PixelsOf(Form, F, clBtnHighlight);
    const TPoint Over = F->ClientToScreen(TPoint{5, 5});
    MouseMove(Form->Handle(), POINT{Over.X, Over.Y});
    Drain();
    EXPECT_GT(PixelsOf(Form, F, clBtnHighlight), Flat + 20);
    ASSERT_TRUE(SaveWindowPicture(Form->Handle(), WidgetPicture("speedbuttons")));
    const TPoint Away = Form->EditName->ClientToScreen(TPoint{5, 5});
    MouseMove(Form->Handle(), POINT{Away.X, Away.Y});
    Drain();
    EXPECT_EQ(PixelsOf(Form, F, clBtnHighlight), Flat);
}

}  // namespace
