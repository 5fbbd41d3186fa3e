#include "tests/components/dcedit/DCEditTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include "components/dcedit/Register.h"
#include "platform/controls/Controls.h"

using namespace GuiTest;

namespace DCEditTest {

void TDCEditTestForm::FormCreate(TObject*) {
    First = dynamic_cast<TEdit*>(FindComponent("First"));
    SpoolDir = dynamic_cast<TDCDirectoryEdit*>(FindComponent("SpoolDir"));
    ExtractDir = dynamic_cast<TDCDirectoryEdit*>(FindComponent("ExtractDir"));
    Last = dynamic_cast<TButton*>(FindComponent("Last"));
}

void StartEditControls() {
    Forms.Initialize();
    InitStandardControls();
    RegisterDCEditClasses();
}

TForm* ShownForm(const TRect& Bounds, const std::string& Caption) {
    auto* Form = new TForm(nullptr);
    Form->SetBoundsRect(Bounds);
    Form->SetCaption(Caption);
    Form->Show();
    Drain();
    return Form;
}

void DCEditFixture::SetUp() {
    StartEditControls();
    static const bool Registered = [] {
        RegisterClass<TDCEditTestForm, TForm>("TDCEditTestForm")
            .Method("FormCreate", &TDCEditTestForm::FormCreate)
            .Method("SpoolDirChange", &TDCEditTestForm::SpoolDirChange)
            .Method("ExtractDirChange", &TDCEditTestForm::ExtractDirChange)
            .Method("ExtractDirDropFiles", &TDCEditTestForm::ExtractDirDropFiles);
        return true;
    }();
    (void)Registered;
    auto Scripted = std::make_unique<TScriptedDialogService>();
    FDialogs = Scripted.get();
    SetDialogService(std::move(Scripted));
    Drain();
}

void DCEditFixture::TearDown() {
    while (Screen->FormCount() > 0) Screen->Forms(0)->Free();
    Drain();
    SetDialogService(nullptr);
}

TDCEditTestForm* DCEditFixture::ShowForm() {
    TDCEditTestForm* Form = CreateForm<TDCEditTestForm>(&Forms);
    Form->Show();
    Drain();
    Form->First->SetFocus();
    Drain();
    return Form;
}

std::string Picture(const std::string& Name) {
    return std::string(KESTRO_BINARY_DIR) + "/pictures/dcedit/" + Name + ".png";
}

void SaveFormWithPopup(TCustomForm* Form, TCustomDCEdit* Edit, const std::string& Name) {
    RECT FormRect, PopupRect;
    GetWindowRect(Form->Handle(), &FormRect);
    GetWindowRect(Edit->Popup()->Handle(), &PopupRect);
    RECT All;
    UnionRect(&All, &FormRect, &PopupRect);
    QImage Screen(All.right - All.left, All.bottom - All.top, QImage::Format_RGB32);
    Screen.fill(qRgb(0, 128, 128));
    QPainter Painter(&Screen);
    Painter.drawImage(FormRect.left - All.left, FormRect.top - All.top,
                      WindowPicture(Form->Handle()));
    Painter.drawImage(PopupRect.left - All.left, PopupRect.top - All.top,
                      WindowPicture(Edit->Popup()->Handle()));
    Painter.end();
    const QString Path = QString::fromStdString(Picture(Name));
    QDir().mkpath(QFileInfo(Path).path());
    Screen.save(Path);
}

}  // namespace DCEditTest
