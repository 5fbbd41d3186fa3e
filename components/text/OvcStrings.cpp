#include "components/text/OvcStrings.h"

#include "resources/ResourceData.h"

std::string LookupOvcString(int32_t id) {
    // Ids are 16-bit values; the table is kept in ascending id order.
    const int32_t wanted = id & 0xFFFF;
    const std::span<const TResourceString> table = FindStringTable("OVC_MESSAGES");
    int64_t low = 0;
    int64_t high = int64_t(table.size()) - 1;
    while (low <= high) {
        const int64_t middle = (low + high) / 2;
        const TResourceString& row = table[size_t(middle)];
        if (row.Id == wanted) return row.Text;
        if (row.Id <= wanted)
            low = middle + 1;
        else
            high = middle - 1;
    }
    return std::string();
}

std::string OvcStringOrUnknown(int32_t id) {
    std::string text = LookupOvcString(id);
    return text.empty() ? std::string("Unknown") : text;
}

namespace {

// A one-character text of the table, else the fallback.
char OneCharText(int32_t id, char fallback) {
    const std::string text = LookupOvcString(id);
    return text.size() == 1 ? text[0] : fallback;
}

}  // namespace

TOvcIntlSup::TOvcIntlSup()
    : TrueChar(OneCharText(SCTrue, 'T')),
      FalseChar(OneCharText(SCFalse, 'F')),
      YesChar(OneCharText(SCYes, 'Y')),
      NoChar(OneCharText(SCNo, 'N')) {}

const TOvcIntlSup& OvcIntlSup() {
    static const TOvcIntlSup kIntlSup;
    return kIntlSup;
}
