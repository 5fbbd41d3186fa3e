// The image list component: images stored in a definition read back exactly, stored data that
// is damaged refused with a clear error (the list keeps what it had), the image type and the
// change notifications the controls repaint by.
#include "platform/forms/Errors.h"
#include "platform/forms/Filer.h"
#include "platform/gdi/Gdi.h"
#include "tests/platform/widgets/ListsTestSupport.h"

using namespace ListsTest;
using namespace GuiTest;

namespace {

// The three icons of the test form: a red square, a green disc and a blue triangle on magenta,
// which is transparent.
void AddIcons(TCustomImageList& List) {
    TBitmap Strip(48, 16, pf24bit);
    TCanvas& C = Strip.Canvas();
    C.Brush().SetColor(clFuchsia);
    C.FillRect(TRect{0, 0, 48, 16});
    C.Pen().SetColor(clBlack);
    C.Brush().SetColor(clRed);
    C.Rectangle(2, 2, 14, 14);
    C.Brush().SetColor(clLime);
    C.Ellipse(18, 1, 31, 14);
    C.Brush().SetColor(clBlue);
    C.Polygon({TPoint{40, 1}, TPoint{46, 14}, TPoint{34, 14}});
    List.AddMasked(Strip, clFuchsia);
}

// One image drawn as the list keeps it (Style ILD_IMAGE) or as its mask (ILD_MASK).
QImage Drawn(TCustomImageList& List, int Index, UINT Style) {
    TBitmap Out(List.Width(), List.Height(), pf24bit);
    ImageList_DrawEx(List.Handle(), Index, Out.Canvas().Handle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE,
                     Style);
    return Out.Image();
}

std::string StoredData(TCustomImageList& List) {
    TStringStream S;
    WriteImageListData(List, S);
    return S.DataString();
}

void Put32(std::string& Bytes, size_t At, std::uint32_t Value) {
    for (int I = 0; I < 4; ++I) Bytes[At + size_t(I)] = char(Value >> (8 * I));
}

TEST_F(ListsFixture, TheDefinitionsImagesAreTheOnesItWasMadeOf) {
    TTestListsForm* Form = CreateForm<TTestListsForm>(&Forms);
    TCustomImageList Made;
    AddIcons(Made);
    ASSERT_EQ(Form->Icons->Count(), 3);
    for (int I = 0; I < 3; ++I) {
        SCOPED_TRACE(I);
        EXPECT_EQ(Drawn(*Form->Icons, I, ILD_IMAGE), Drawn(Made, I, ILD_IMAGE));
        EXPECT_EQ(Drawn(*Form->Icons, I, ILD_MASK), Drawn(Made, I, ILD_MASK));
    }
    // Written again, the data is what was read.
    EXPECT_EQ(StoredData(*Form->Icons), StoredData(Made));
    // An unmasked list stores no masks and reads back unmasked.
    TCustomImageList Plain;
    Plain.SetMasked(false);
    AddIcons(Plain);
    TCustomImageList Back;
    TStringStream Data(StoredData(Plain));
    ReadImageListData(Back, Data);
    EXPECT_FALSE(Back.Masked());
    EXPECT_EQ(Back.Count(), 3);
    EXPECT_EQ(Drawn(Back, 1, ILD_NORMAL), Drawn(Plain, 1, ILD_NORMAL));
}

TEST_F(ListsFixture, DamagedImageDataIsRefusedAndTheListKeepsItsImages) {
    TCustomImageList Made;
    AddIcons(Made);
    const std::string Good = StoredData(Made);
    const std::uint32_t FirstSize = std::uint32_t(std::uint8_t(Good[20])) |
                                    std::uint32_t(std::uint8_t(Good[21])) << 8 |
                                    std::uint32_t(std::uint8_t(Good[22])) << 16;
    // An 8 x 8 bitmap where a 16 x 16 one belongs.
    std::string Small;
    {
        TBitmap B(8, 8, pf24bit);
        TStringStream S;
        B.SaveToStream(S);
        Small = S.DataString();
    }
    struct TCase {
        const char* Name;
        std::function<std::string()> Data;
        const char* Message;
    };
    const TCase Cases[] = {
        {"empty", [] { return std::string(); }, "it is cut short"},
        {"header cut", [&] { return Good.substr(0, 10); }, "it is cut short"},
        {"other data", [&] { return "BM" + Good.substr(2); }, "it is not image list data"},
        {"width 0",
         [&] {
             auto D = Good;
             Put32(D, 4, 0);
             return D;
         },
         "an image size of 0 x 16"},
        {"height too big",
         [&] {
             auto D = Good;
             Put32(D, 8, 40000);
             return D;
         },
         "an image size of 16 x 40000"},
        {"too many images",
         [&] {
             auto D = Good;
             Put32(D, 12, 70000);
             return D;
         },
         "70000 images"},
        {"too many pixels",
         [&] {
             auto D = Good;
             Put32(D, 4, 4096);
             Put32(D, 8, 4096);
             Put32(D, 12, 3);
             return D;
         },
         "3 images of 4096 x 4096 are too many pixels"},
        {"unknown flags",
         [&] {
             auto D = Good;
             Put32(D, 16, 3);
             return D;
         },
         "unknown flags 3"},
        {"image past the end",
         [&] {
             auto D = Good;
             Put32(D, 20, 0x7FFFFFFF);
             return D;
         },
         "image 0 is cut short"},
        {"image cut", [&] { return Good.substr(0, 24 + FirstSize / 2); }, "image 0 is cut short"},
        {"not a bitmap",
         [&] {
             auto D = Good;
             D[24] = 'X';
             return D;
         },
         "image 0: "},
        {"wrong size",
         [&] {
             std::string D = Good.substr(0, 12);
             D += std::string("\1\0\0\0\0\0\0\0", 8);
             D += std::string(4, '\0');
             Put32(D, 20, std::uint32_t(Small.size()));
             return D + Small;
         },
         "image 0 is 8 x 8, not 16 x 16"},
        {"more after the images", [&] { return Good + "x"; }, "it goes on after the last image"},
    };
    TCustomImageList List;
    AddIcons(List);
    List.SetBkColor(clWhite);
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TStringStream Data(C.Data());
        const std::string Error = ErrorOf<EInvalidGraphic>([&] { ReadImageListData(List, Data); });
        EXPECT_EQ(Error.rfind("Image list data is damaged: ", 0), 0u) << Error;
        EXPECT_NE(Error.find(C.Message), std::string::npos) << Error;
        EXPECT_EQ(List.Count(), 3);
        EXPECT_EQ(List.Width(), 16);
    }
    // Good data replaces the images and keeps the list's own colour.
    TStringStream Data(Good);
    ReadImageListData(List, Data);
    EXPECT_EQ(List.BkColor(), clWhite);

    // In a definition the error names the property and its place.
    const std::string Error = ErrorOf<EFormReadError>([] {
        ReadComponentFromText("object Broken: TImageList\n  Bitmap = {4B494C31}\nend\n", nullptr,
                              "broken.dfm");
    });
    EXPECT_NE(Error.find("Error reading property Bitmap: Image list data is damaged: it is cut "
                         "short"),
              std::string::npos)
        << Error;
    const std::string SizeError = ErrorOf<EFormReadError>([] {
        ReadComponentFromText("object Broken: TImageList\n  Width = 0\nend\n", nullptr, "w.dfm");
    });
    EXPECT_NE(SizeError.find("Image size 0 is not between 1 and 32768"), std::string::npos)
        << SizeError;
}

TEST_F(ListsFixture, ChangesAreAnnouncedAndTheImageTypeIsDrawn) {
    TTestListsForm* Form = CreateForm<TTestListsForm>(&Forms);
    TImageList* Icons = Form->Icons;
    int Linked = 0, Notified = 0;
    TObject* Sender = nullptr;
    TChangeLink Link;
    Link.OnChange = [&](TCustomImageList*) { ++Linked; };
    Icons->RegisterChanges(&Link);
    Icons->OnChange = [&](TObject* S) {
        ++Notified;
        Sender = S;
    };
    AddIcons(*Icons);
    EXPECT_EQ(Icons->Count(), 6);
    EXPECT_EQ(Linked, 1);
    EXPECT_EQ(Notified, 1);
    EXPECT_EQ(Sender, static_cast<TObject*>(Icons));
    TStringStream Data(StoredData(*Icons));
    ReadImageListData(*Icons, Data);
    EXPECT_EQ(Linked, 2);

    // itMask draws the mask wherever the list is drawn from.
    Icons->SetImageType(itMask);
    TBitmap Out(16, 16, pf24bit);
    static_cast<TCustomImageList*>(Icons)->Draw(Out.Canvas(), 0, 0, 0);
    EXPECT_EQ(Out.Image(), Drawn(*Icons, 0, ILD_MASK));
    // Freed with its form, it leaves the links without a list.
    Form->Free();
    EXPECT_EQ(Link.Sender(), nullptr);
}

TEST_F(ListsFixture, TheFormIsWrittenBackInTheClassicTerms) {
    TTestListsForm* Form = ShowForm();
    const std::string Text = WriteComponentToText(Form);
    for (const char* Part : {"Style = lbOwnerDrawFixed",
                             "ItemHeight = 34",
                             "Items.Strings = (",
                             "MultiSelect = True",
                             "Sorted = True",
                             "AllowGrayed = True",
                             "Style = csDropDownList",
                             "ItemIndex = 1",
                             "Style = csOwnerDrawFixed",
                             "DropDownCount = 2",
                             "Associate = Count",
                             "Increment = 2",
                             "Position = 5",
                             "Panels = <",
                             "Width = 263",
                             "Alignment = taRightJustify",
                             "Bevel = pbRaised",
                             "Style = psOwnerDraw",
                             "Bitmap = {",
                             "OnDrawPanel = StatusBarDrawPanel",
                             "OnClickCheck = ChecksClickCheck"})
        EXPECT_NE(Text.find(Part), std::string::npos) << Part;
    // Read into a new form, the text makes the same form.
    Form->Free();
    auto* Copy = new TTestListsForm(&Forms);
    ReadComponentFromText(Text, Copy, "written.dfm");
    Copy->FormCreate(nullptr);
    EXPECT_EQ(WriteComponentToText(Copy), Text);
    EXPECT_EQ(Copy->Icons->Count(), 3);
    EXPECT_EQ(Copy->Kinds->ItemIndex(), 1);
    EXPECT_EQ(Copy->StatusBar->Panels()->Count(), 5);
}

}  // namespace
