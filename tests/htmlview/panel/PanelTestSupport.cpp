#include "tests/htmlview/panel/PanelTestSupport.h"

#include <QDir>

#include "platform/controls/Controls.h"
#include "platform/core/WindowPicture.h"

namespace {

std::string BodyOf(TIpMimeEntity& Entity) {
    std::string Bytes(size_t(Entity.Body.Size()), '\0');
    Entity.Body.SetPosition(0);
    if (!Bytes.empty()) Entity.Body.Read(Bytes.data(), int64_t(Bytes.size()));
    if (!Bytes.empty() && Bytes.back() != '\n' && Bytes.back() != '\r') Bytes += "\r\n";
    return Bytes;
}

void ReplaceAll(std::string& Text, const std::string& From, const std::string& To) {
    if (From.empty()) return;
    for (size_t At = Text.find(From); At != std::string::npos; At = Text.find(From, At + To.size()))
        Text.replace(At, From.size(), To);
}

void WriteEntity(TIpMimeEntity& Entity, std::string& Out) {
    if (!Entity.ParentBoundary.empty()) {
        Out += "--" + Entity.ParentBoundary + "\r\n";
        for (const std::string& Line : Entity.HeaderLines()) Out += Line + "\r\n";
        Out += "\r\n";
    }
    Out += BodyOf(Entity);
    for (int I = 0; I < Entity.Parts.Count(); ++I) WriteEntity(*Entity.Parts.Items(I), Out);
    if (Entity.Parts.Count() > 0)
        Out += "--" + Entity.Parts.Items(Entity.Parts.Count() - 1)->ParentBoundary + "--\r\n";
}

void CollectBoundaries(TIpMimeEntity& Entity, int Depth, std::vector<std::string>& Out) {
    if (!Entity.Boundary.empty()) {
        if (Out.size() <= size_t(Depth)) Out.resize(size_t(Depth) + 1);
        Out[size_t(Depth)] = Entity.Boundary;
    }
    for (int I = 0; I < Entity.Parts.Count(); ++I)
        CollectBoundaries(*Entity.Parts.Items(I), Depth + 1, Out);
}

}  // namespace

std::string TRecordingProvider::EntityBytes(TIpMimeEntity& Entity) {
    std::string Out;
    WriteEntity(Entity, Out);
    std::vector<std::string> Boundaries;
    CollectBoundaries(Entity, 0, Boundaries);
    for (size_t Depth = 0; Depth < Boundaries.size(); ++Depth)
        ReplaceAll(Out, Boundaries[Depth], "BOUNDARY" + std::to_string(Depth));
    return Out;
}

TIpHtmlPictureRef SolidPicture(int Width, int Height, QRgb Color) {
    QImage Image(Width, Height, QImage::Format_RGB32);
    Image.fill(Color);
    TBitmap Bitmap;
    Bitmap.SetImage(Image);
    auto Picture = std::make_shared<TPicture>();
    Picture->SetGraphic(&Bitmap);
    return Picture;
}

void TPanelFixture::SetUp() {
    Forms.Initialize();
    InitStandardControls();
    RegisterHtmlViewClasses();
    Form = new TForm(nullptr);
    Form->AfterConstruction();
    Form->SetBounds(30, 30, 640, 480);
    Provider = new TRecordingProvider(Form);
    Panel = new TIpHtmlPanel(Form);
    Panel->SetParent(Form);
    Panel->SetBounds(0, 0, 600, 420);
    Panel->SetDataProvider(Provider);
    Panel->OnHotClick = [this](TObject*) { ++HotClicks; };
    Panel->OnClick = [this](TObject*) { ++Clicks; };
    Form->Show();
    GuiTest::Drain();
}

void TPanelFixture::TearDown() {
    Form->Free();
    GuiTest::Drain();
}

void TPanelFixture::Open(const std::string& URL) {
    Panel->OpenURL(std::string(), URL);
    GuiTest::Drain();
}

TIpHtmlInternalPanel& TPanelFixture::Inner() {
    TIpHtmlFrame* Frame = Panel->MasterFrame();
    if (!Frame || !Frame->HyperPanel()) throw Exception("the panel shows no document");
    return *Frame->HyperPanel();
}

TIpHtml& TPanelFixture::Doc() {
    return Panel->MasterFrame()->Html();
}

TIpHtmlRect TPanelFixture::WordRect(const std::string& Word, int N) {
    for (const LayoutElement* Element : Doc().Body()->Elements())
        if (Element->ElementType == TElementType::Word && Element->AnsiWord == Word && N-- == 0)
            return Element->WordRect;
    throw Exception("no word " + Word);
}

POINT TPanelFixture::ScreenPoint(const TIpHtmlRect& R) {
    const TIpHtmlPoint Origin = Inner().ViewOrigin();
    POINT P{(R.Left + R.Right) / 2 - Origin.X, (R.Top + R.Bottom) / 2 - Origin.Y};
    ClientToScreen(Inner().Handle(), &P);
    return P;
}

QImage TPanelFixture::Picture(const std::string& Name) {
    GuiTest::Drain();
    QDir().mkpath(KESTRO_BINARY_DIR "/pictures/htmlview");
    SaveWindowPicture(Panel->Handle(),
                      std::string(KESTRO_BINARY_DIR) + "/pictures/htmlview/" + Name + ".png");
    return WindowPicture(Panel->Handle());
}
