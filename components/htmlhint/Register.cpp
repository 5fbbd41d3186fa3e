#include "components/htmlhint/Register.h"

#include "components/htmlhint/HTMLHint.h"
#include "platform/forms/ClassRegistry.h"
#include "platform/forms/Filer.h"
#include "platform/forms/StandardClasses.h"
#include "platform/widgets/Register.h"

void RegisterHTMLHintClasses() {
    static const bool Done = [] {
        RegisterWidgetClasses();
        RegisterEnum<THintStyle>({"hsRectangle", "hsRounded"});
        // A picture's data is its file as it was read.
        RegisterClass<THTMLPicture>("THTMLPicture")
            .DefineProperties([](THTMLPicture& P, TFiler& F) {
                F.DefineBinaryProperty(
                    "Data", [&P](TStream& S) { P.LoadFromStream(S); },
                    [&P](TStream& S) { P.SaveToStream(S); }, !P.Empty());
            });
        RegisterClass<TPictureItem, TCollectionItem>("TPictureItem")
            .Object("Picture", [](TPictureItem& I) { return &I.Picture(); })
            .Property("Name", &TPictureItem::Name, &TPictureItem::SetName)
            .Property("Tag", &TPictureItem::Tag, &TPictureItem::SetTag, Default(0));
        RegisterClass<TPictureContainer, TComponent>("TPictureContainer")
            .Object("Items", [](TPictureContainer& C) { return &C.Items(); });
        // Images is set by code until the image list is a component.
        RegisterClass<THTMLHint, TComponent>("THTMLHint")
            .Property("Ellipsis", &THTMLHint::Ellipsis, &THTMLHint::SetEllipsis, Default(false))
            .Property("HintColor", &THTMLHint::HintColor, &THTMLHint::SetHintColor,
                      Idents(ColorIdents()), Default(TColor(clInfoBk)))
            .Object("HintFont", &THTMLHint::HintFont)
            .Property("HintStyle", &THTMLHint::HintStyle, &THTMLHint::SetHintStyle,
                      Default(hsRectangle))
            .Property("PictureContainer", &THTMLHint::PictureContainer,
                      &THTMLHint::SetPictureContainer)
            .Property("ShadowColor", &THTMLHint::ShadowColor, &THTMLHint::SetShadowColor,
                      Idents(ColorIdents()), Default(TColor(clBlack)))
            .Property("ShadowOffset", &THTMLHint::ShadowOffset, &THTMLHint::SetShadowOffset,
                      Default(0))
            .Property("URLColor", &THTMLHint::URLColor, &THTMLHint::SetURLColor,
                      Idents(ColorIdents()), Default(TColor(clBlack)))
            .Property("XMargin", &THTMLHint::XMargin, &THTMLHint::SetXMargin, Default(0))
            .Property("YMargin", &THTMLHint::YMargin, &THTMLHint::SetYMargin, Default(0))
            .Field("OnShowHint", &THTMLHint::OnShowHint);
        return true;
    }();
    (void)Done;
}
