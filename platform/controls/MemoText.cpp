#include "platform/controls/MemoText.h"

#include "platform/classes/CodePages.h"
#include "platform/gdi/Gdi.h"

QString MemoTextOf(std::string_view Bytes) {
    std::string Lines;
    Lines.reserve(Bytes.size());
    for (size_t I = 0; I < Bytes.size(); ++I) {
        const char C = Bytes[I];
        if (C != '\r') {
            Lines.push_back(C);
            continue;
        }
        Lines.push_back('\n');
        if (I + 1 < Bytes.size() && Bytes[I + 1] == '\n') ++I;
    }
    return Cp1252ToUnicode(Lines);
}

std::string MemoBytesOf(QString Raw) {
    Raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    Raw.replace(QChar::LineSeparator, QLatin1Char('\n'));
    const std::string Bytes = UnicodeToCp1252(Raw);
    std::string Out;
    Out.reserve(Bytes.size() + Bytes.size() / 16);
    for (const char C : Bytes) {
        if (C == '\n') Out.push_back('\r');
        Out.push_back(C);
    }
    return Out;
}

std::string WithCrLf(std::string_view Bytes) {
    std::string Out;
    Out.reserve(Bytes.size() + Bytes.size() / 16);
    for (size_t I = 0; I < Bytes.size(); ++I) {
        const char C = Bytes[I];
        if (C != '\r' && C != '\n') {
            Out.push_back(C);
            continue;
        }
        Out += "\r\n";
        if (C == '\r' && I + 1 < Bytes.size() && Bytes[I + 1] == '\n') ++I;
    }
    return Out;
}
