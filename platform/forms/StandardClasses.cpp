#include "platform/forms/StandardClasses.h"

#include <array>
#include <utility>

#include "platform/forms/Filer.h"
#include "platform/gdi/GdiConst.h"
#include "platform/gdi/Graphics.h"

void DefineStrings(TStrings& List, TFiler& Filer) {
    Filer.DefineProperty(
        "Strings",
        [&List](TReader& Reader) {
            List.Clear();
            Reader.ReadListBegin();
            while (!Reader.EndOfList()) List.Add(Reader.ReadString());
            Reader.ReadListEnd();
        },
        [&List](TWriter& Writer) {
            Writer.WriteListBegin();
            for (int I = 0; I < List.Count(); ++I) Writer.WriteString(List.Get(I));
            Writer.WriteListEnd();
        },
        List.Count() > 0);
}

namespace {

// A face name ends at a NUL, as the font keeps it; one that is empty then keeps the current name
// (as an empty name does), so that what is read is what is written back.
void SetFontName(TFont& Font, const std::string& Name) {
    Font.SetName(Name.substr(0, Name.find('\0')));
}

}  // namespace

const TIdentMap& ColorIdents() {
    static const TIdentMap Map{[](const std::string& Ident) -> std::optional<std::int64_t> {
                                   TColor Color = 0;
                                   if (!IdentToColor(Ident, Color)) return std::nullopt;
                                   return Color;
                               },
                               [](std::int64_t Value) -> std::optional<std::string> {
                                   if (Value < INT32_MIN || Value > INT32_MAX) return std::nullopt;
                                   std::string Name = ColorToString(TColor(Value));
                                   if (Name.rfind("cl", 0) != 0)
                                       return std::nullopt;  // a number, not a name
                                   return Name;
                               }};
    return Map;
}

const TIdentMap& CharsetIdents() {
    static const std::array<std::pair<int, const char*>, 4> Names{{
        {ANSI_CHARSET, "ANSI_CHARSET"},
        {DEFAULT_CHARSET, "DEFAULT_CHARSET"},
        {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
        {OEM_CHARSET, "OEM_CHARSET"},
    }};
    static const TIdentMap Map{[](const std::string& Ident) -> std::optional<std::int64_t> {
                                   for (const auto& [Value, Name] : Names)
                                       if (SameText(Name, Ident)) return Value;
                                   return std::nullopt;
                               },
                               [](std::int64_t Value) -> std::optional<std::string> {
                                   for (const auto& [Known, Name] : Names)
                                       if (Known == Value) return std::string(Name);
                                   return std::nullopt;
                               }};
    return Map;
}

void RegisterStandardClasses() {
    RegisterClass<TPersistent>("TPersistent").DefineProperties([](TPersistent& Obj, TFiler& Filer) {
        TFiler::DefinePersistent(Obj, Filer);
    });
    // The name stands in the header of a component's definition, never among its properties.
    RegisterClass<TComponent, TPersistent>("TComponent")
        .Property("Name", &TComponent::Name, &TComponent::SetName, NotStored)
        .Property("Tag", &TComponent::Tag, &TComponent::SetTag, Default(0));
    RegisterClass<TCollectionItem, TPersistent>("TCollectionItem");
    RegisterClass<TCollection, TPersistent>("TCollection");

    // Every list stores its lines as "Strings": a string list, and the lists that controls keep
    // their lines in (a memo's, a list box's).
    RegisterClass<TStrings>("TStrings").DefineProperties(DefineStrings);
    RegisterClass<TStringList, TStrings>("TStringList");

    RegisterEnum<TFontStyle>({"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
    RegisterEnum<TFontPitch>({"fpDefault", "fpVariable", "fpFixed"});
    // Height is what is stored; Size is the same value in points.
    RegisterClass<TFont>("TFont")
        .Property("Charset", &TFont::Charset, &TFont::SetCharset, Idents(CharsetIdents()))
        .Property("Color", &TFont::Color, &TFont::SetColor, Idents(ColorIdents()))
        .Property("Height", &TFont::Height, &TFont::SetHeight)
        .Property("Name", &TFont::Name, SetFontName)
        .Property("Pitch", &TFont::Pitch, &TFont::SetPitch, Default(fpDefault))
        .Property("Size", &TFont::Size, &TFont::SetSize, NotStored)
        .Property("Style", &TFont::Style, &TFont::SetStyle);
}
