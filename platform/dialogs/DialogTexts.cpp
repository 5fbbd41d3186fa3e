#include "platform/dialogs/DialogTexts.h"

#include <QString>

#include "platform/classes/CodePages.h"
#include "platform/shell/Dialogs.h"

std::string InUserLanguage(const TDialogText& Text) {
    return GermanDialogs() ? Text.German : Text.English;
}

std::string Shown(const TDialogText& Text) {
    return ShownText(InUserLanguage(Text));
}

std::string FormatDialogText(const TDialogText& Pattern, const std::string& Value) {
    return FormatDialogText(InUserLanguage(Pattern).c_str(), Value);
}

std::string FormatDialogText(const char* Pattern, const std::string& Value) {
    std::string Out = Pattern;
    const size_t At = Out.find("%s");
    if (At != std::string::npos) Out.replace(At, 2, Value);
    return Out;
}

std::string ShownText(const std::string& Utf8) {
    return UnicodeToCp1252(QString::fromUtf8(Utf8.data(), qsizetype(Utf8.size())));
}

std::string TypedText(const std::string& Cp1252) {
    return Cp1252ToUnicode(Cp1252).toStdString();
}
