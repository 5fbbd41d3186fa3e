#include "bars/customize/dxBarDesignCopy.h"

#include <cctype>
#include <vector>

#include "bars/model/dxBarManager.h"
#include "platform/forms/ClassRegistry.h"
#include "platform/forms/Filer.h"
#include "platform/widgets/Forms.h"

namespace {

std::vector<std::string_view> SplitLines(std::string_view Text) {
    std::vector<std::string_view> Lines;
    while (!Text.empty()) {
        const size_t End = Text.find('\n');
        std::string_view Line = Text.substr(0, End);
        if (!Line.empty() && Line.back() == '\r') Line.remove_suffix(1);
        Lines.push_back(Line);
        if (End == std::string_view::npos) break;
        Text.remove_prefix(End + 1);
    }
    return Lines;
}

std::string_view Trimmed(std::string_view Line) {
    const size_t First = Line.find_first_not_of(" \t");
    if (First == std::string_view::npos) return {};
    const size_t Last = Line.find_last_not_of(" \t");
    return Line.substr(First, Last - First + 1);
}

// The form's own size properties, indented one level.
bool IsSizeLine(std::string_view Line) {
    for (std::string_view Name : {"Width =", "Height =", "ClientWidth =", "ClientHeight ="})
        if (Line.size() >= 2 + Name.size() && Line.substr(0, 2) == "  " &&
            Line.substr(2, Name.size()) == Name)
            return true;
    return false;
}

// The screen cursor is the hourglass while the copy is read, as for any long step.
struct THourglass {
    TCursor Saved = Screen ? Screen->Cursor() : crDefault;
    THourglass() {
        if (Screen) Screen->SetCursor(crHourGlass);
    }
    ~THourglass() {
        if (Screen) Screen->SetCursor(Saved);
    }
};

struct TLoadingCopy {
    TLoadingCopy() { LoadingDesignTimeCopy = true; }
    ~TLoadingCopy() { LoadingDesignTimeCopy = false; }
};

}  // namespace

bool IsEventLine(std::string_view Line) {
    const std::string_view Text = Trimmed(Line);
    return Text.size() > 2 && Text.substr(0, 2) == "On" &&
           std::isupper(static_cast<unsigned char>(Text[2]));
}

bool IsImageListLine(std::string_view Line) {
    const std::string_view Text = Trimmed(Line);
    for (std::string_view Name : {"Images = ", "HotImages = ", "LargeImages = "})
        if (Text.substr(0, Name.size()) == Name) return true;
    return false;
}

std::optional<std::string> DesignTimeCopyText(std::string_view Definition, const std::string& Name,
                                              const std::string& ClassName) {
    const std::vector<std::string_view> Lines = SplitLines(Definition);
    std::vector<std::string_view> Sizes;
    for (size_t J = 1; J < Lines.size() && Sizes.size() < 2; ++J)
        if (IsSizeLine(Lines[J])) Sizes.push_back(Lines[J]);
    const std::string Header = "object " + Name + ": " + ClassName;
    size_t Begin = 1;
    while (Begin < Lines.size() && Trimmed(Lines[Begin]) != Header) ++Begin;
    if (Begin >= Lines.size()) return std::nullopt;
    const std::string End =
        std::string(Lines[Begin].substr(0, Lines[Begin].find('o'))) + std::string("end");
    std::string Text = "object TempForm: TdxBarTempForm\n";
    for (std::string_view Line : Sizes) Text.append(Line).append("\n");
    for (size_t J = Begin; J < Lines.size(); ++J) {
        if (!IsEventLine(Lines[J]) && !IsImageListLine(Lines[J]))
            Text.append(Lines[J]).append("\n");
        if (J > Begin && Lines[J] == End) break;
    }
    return Text + "end\n";
}

TCustomForm* CreateDesignTimeCopy(TdxBarManager& Manager) {
    TCustomForm* Owner = Manager.OwnerForm();
    if (!Owner || Owner->DefinitionText().empty()) return nullptr;
    const TInstance Inst = InstanceOf(&Manager);
    const std::string ClassName = Inst ? Inst.Info->Name : std::string("TdxBarManager");
    THourglass Hourglass;
    const std::optional<std::string> Text =
        DesignTimeCopyText(Owner->DefinitionText(), Manager.Name(), ClassName);
    if (!Text) return nullptr;
    // Freed when the read fails.
    TDesignCopy Copy(CreateForm<TForm>(nullptr));
    {
        TLoadingCopy Loading;
        ReadComponentFromText(*Text, Copy.get(), "the design of " + Owner->Name());
    }
    if (TdxBarManager* Design = CopyManager(Copy, Manager)) {
        Design->StoreInIniFile = false;
        Design->StoreInRegistry = false;
    }
    return Copy.release();
}
