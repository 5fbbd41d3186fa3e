#include "htmlview/png/PngStrings.h"

#include <cstdio>
#include <span>
#include <vector>

#include "resources/ResourceData.h"

std::string PngString(int32_t Id) {
    for (const TResourceString& Row : FindStringTable("IPPNGIMG_MESSAGES"))
        if (Row.Id == Id) return Row.Text;
    return std::string();
}

namespace {

// Appends the text one directive stands for; false when the argument does not fit it.
bool FormatOne(char Directive, const TPngFormatArg& Arg, std::string& Out) {
    char Buffer[64];
    switch (Directive) {
        case 'd':
        case 'x':
            if (const int64_t* Value = std::get_if<int64_t>(&Arg)) {
                std::snprintf(Buffer, sizeof Buffer, Directive == 'd' ? "%lld" : "%llX",
                              static_cast<long long>(*Value));
                Out += Buffer;
                return true;
            }
            return false;
        case 'f':
            if (const double* Value = std::get_if<double>(&Arg)) {
                std::snprintf(Buffer, sizeof Buffer, "%.2f", *Value);
                Out += Buffer;
                return true;
            }
            return false;
        case 's':
            if (const std::string* Value = std::get_if<std::string>(&Arg)) {
                Out += *Value;
                return true;
            }
            return false;
        default:
            return false;
    }
}

}  // namespace

std::string PngFormat(std::string_view Pattern, std::initializer_list<TPngFormatArg> Args) {
    std::string Out;
    const TPngFormatArg* Next = Args.begin();
    for (size_t At = 0; At < Pattern.size(); ++At) {
        const char C = Pattern[At];
        if (C != '%' || At + 1 == Pattern.size()) {
            Out += C;
            continue;
        }
        const char Directive = Pattern[At + 1];
        if (Directive == '%') {
            Out += '%';
            ++At;
        } else if (Next != Args.end() && FormatOne(Directive, *Next, Out)) {
            ++Next;
            ++At;
        } else {
            Out += C;
        }
    }
    return Out;
}
