#include "components/xml/XpWideStrings.h"

#include <QString>
#include <algorithm>

#include "platform/classes/CodePages.h"
#include "platform/gdi/Gdi.h"

std::u16string XpCopy(const std::u16string& Text, int Index, int Count) {
    const int Size = int(Text.size());
    const int From = std::max(Index, 1);
    if (From > Size || Count <= 0) return u"";
    return Text.substr(size_t(From - 1), size_t(std::min(Count, Size - From + 1)));
}

int XpPos(const std::u16string& Pattern, const std::u16string& Text) {
    if (Pattern.empty()) return 0;
    const std::string P = UnicodeToCp1252(QString::fromStdU16String(Pattern));
    const std::string T = UnicodeToCp1252(QString::fromStdU16String(Text));
    const size_t At = T.find(P);
    return At == std::string::npos ? 0 : int(At) + 1;
}

std::u16string XpReplaceAll(const std::u16string& Text, const std::u16string& Pattern,
                            const std::u16string& Replacement) {
    if (Pattern.empty()) return Text;
    std::u16string Out;
    size_t From = 0;
    for (size_t At = Text.find(Pattern); At != std::u16string::npos;
         At = Text.find(Pattern, From)) {
        Out.append(Text, From, At - From).append(Replacement);
        From = At + Pattern.size();
    }
    return Out.append(Text, From);
}
