// A stored bar layout that anyone may have edited: the first byte says whether the rest is a
// registry hive file (even) or an INI file (odd). The main window's bars read it. Nothing may
// escape the reading, and what was read must be sound: every link names an item of the manager,
// flags keep their defined bits, ordinals and counts stay in their ranges. Every bar must end
// with the caption, docking, position and visibility that the target's own reading of the file
// finds for it (StoredLayoutModel.h), as the checks below cannot see a value that was never
// taken: the bars then write back what they hold. What was read is then changed as a user would
// (a bar shown or hidden, moved to another row, its rest space and lines switched), written to a
// fresh store, read again (and checked the same way) and written again: the two writings must
// agree, so a layout that reads back as anything but what was written fails.
//
// The window is made from its definition once per process (that took longer than all the rest
// of an input). Before every reading its bars are put back to the definition's own layout, and
// they must then write exactly what they wrote when new; where they do not, the window is made
// again, so every reading starts from the same state.

#include <QCoreApplication>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bars/model/Limits.h"
#include "fuzz/barlayout/StoredLayoutModel.h"
#include "fuzz/support/FuzzInput.h"
#include "fuzz/support/FuzzRegistryDir.h"
#include "platform/core/Application.h"
#include "platform/registry/Registry.h"
#include "tests/bars/BarTestSupport.h"

namespace {

[[noreturn]] void Fail(const std::string& What) {
    std::fprintf(stderr, "%s\n", What.c_str());
    std::abort();
}

const std::string& Dir() {
    return FuzzRegistryDir::Path("barlayout");
}

TBarsForm MainBars() {
    TBarsForm Bars = TBarsForm::FromDefinition("TFormMain");
    static_cast<TComponent*>(Bars.Form())->SetName("FormMain");
    return Bars;
}

// What the bars write as an INI file.
std::string IniText(TBarsForm& Bars) {
    const std::string Name = Dir() + "state.ini";
    Bars.Manager()->SaveToIniFile(Name);
    std::string Text = Fuzz::ReadFile(Name);
    std::filesystem::remove(Name);
    return Text;
}

// The main window's bars, made once and put back to their own layout for every reading.
class TMainBars {
  public:
    // The bars in the state the definition gives them.
    TBarsForm& Fresh() {
        if (!FBars) {
            Make();
            return *FBars;
        }
        Fuzz::WriteFile(Dir() + "own.ini", FOwnLayout);
        try {
            // Bars a layout added are not the definition's: a layout never removes one.
            TdxBars& List = *FBars->Manager()->Bars();
            while (List.Count() > FOwnBarCount) List.Delete(List.Count() - 1);
            FBars->Manager()->LoadFromIniFile(Dir() + "own.ini");
            if (IniText(*FBars) == FOwnLayout) return *FBars;
        } catch (const std::exception&) {
            // Made again below.
        }
        Make();
        return *FBars;
    }

  private:
    void Make() {
        FBars.reset();
        FBars = std::make_unique<TBarsForm>(MainBars());
        FOwnLayout = IniText(*FBars);
        FOwnBarCount = FBars->Manager()->Bars()->Count();
    }
    std::unique_ptr<TBarsForm> FBars;
    std::string FOwnLayout;
    int FOwnBarCount = 0;
};

TBarsForm& FreshBars() {
    static TMainBars Bars;
    return Bars.Fresh();
}

void CheckLinks(const TdxBarManager& Manager, const TdxBarItemLinks& Links) {
    if (Links.Count() > BarsLimits::kMaxStoredLinks + 16)
        Fail("more links than stored counts allow");
    for (int K = 0; K < Links.Count(); ++K) {
        TdxBarItemLink* Link = Links.Items(K);
        TdxBarItem* Item = Link->Item();
        if (!Item || Manager.ItemByName(Item->Name()) != Item) Fail("a link names no item");
        if (!(Link->UserDefine() - kAllUserDefines).Empty()) Fail("undefined UserDefine bits");
        if (Link->UserPaintStyle() < psStandard || Link->UserPaintStyle() > psCaptionGlyph)
            Fail("a paint style out of range");
        if (Link->UseCount() < 0 || Link->UseCount() > BarsLimits::kMaxStoredUseCount + 100)
            Fail("a use count out of range");
    }
}

void CheckRead(const TBarsForm& Bars) {
    const TdxBarManager& M = *Bars.Manager();
    if (M.Bars()->Count() > BarsLimits::kMaxStoredBars + 2) Fail("more bars than allowed");
    if (M.MenuAnimations() < maNone || M.MenuAnimations() > maSlide) Fail("animation out of range");
    if (M.UpdateLocked()) Fail("the update lock was left set");
    for (int I = 0; I < M.Bars()->Count(); ++I) {
        TdxBar* Bar = M.Bars()->Items(I);
        if (Bar->DockingStyle() < dsNone || Bar->DockingStyle() > dsBottom ||
            Bar->DockedDockingStyle() < dsNone || Bar->DockedDockingStyle() > dsBottom)
            Fail("a docking style out of range");
        if (Bar->UpdateLocked()) Fail("a bar's update lock was left set");
        CheckLinks(M, *Bar->ItemLinks());
    }
    for (int I = 0; I < M.ItemCount(); ++I)
        if (auto* Sub = dynamic_cast<TCustomdxBarSubItem*>(M.Items(I)))
            CheckLinks(M, *Sub->ItemLinks());
}

// ---- against the target's own reading of the layout -------------------------------------------

BarLayoutModel::TBar ValuesOf(const TdxBar& Bar) {
    BarLayoutModel::TBar Values;
    Values.Caption = Bar.Caption();
    Values.DockedDockingStyle = Bar.DockedDockingStyle();
    Values.DockedLeft = Bar.DockedLeft();
    Values.DockedTop = Bar.DockedTop();
    Values.OneOnRow = Bar.OneOnRow;
    Values.Row = Bar.Row();
    Values.FloatLeft = Bar.FloatLeft;
    Values.FloatTop = Bar.FloatTop;
    Values.FloatClientWidth = Bar.FloatClientWidth;
    Values.FloatClientHeight = Bar.FloatClientHeight;
    Values.DockingStyle = Bar.DockingStyle();
    Values.Visible = Bar.Visible();
    return Values;
}

std::vector<BarLayoutModel::TBar> ValuesOf(const TdxBarManager& Manager) {
    std::vector<BarLayoutModel::TBar> Bars;
    for (int I = 0; I < Manager.Bars()->Count(); ++I)
        Bars.push_back(ValuesOf(*Manager.Bars()->Items(I)));
    return Bars;
}

// What a bar the reading adds starts with.
const BarLayoutModel::TBar& NewBar() {
    static const BarLayoutModel::TBar Values = [] {
        TBarsForm Empty;
        return ValuesOf(*Empty.Manager()->Bars()->Add());
    }();
    return Values;
}

// The bars after reading must be what the target's own reading of the stored layout says.
void CheckValues(const TdxBarManager& Manager, const BarLayoutModel::TStore& Store,
                 const BarLayoutModel::TPlace& Place,
                 const std::vector<BarLayoutModel::TBar>& Start) {
    const auto Expected = BarLayoutModel::Expected(Store, Place, Start, NewBar());
    const auto Found = ValuesOf(Manager);
    if (Found.size() != Expected.size())
        Fail("the layout leaves " + std::to_string(Found.size()) + " bars, not " +
             std::to_string(Expected.size()));
    for (size_t I = 0; I < Found.size(); ++I) {
        const BarLayoutModel::TBar& Want = Expected[I];
        const BarLayoutModel::TBar& Got = Found[I];
        const std::string Bar =
            "bar " + std::to_string(I) +
            (Want.BrokeOffAt.empty() ? std::string() : " (read up to " + Want.BrokeOffAt + ")");
        if (Got.Caption != Want.Caption)
            Fail(Bar + " has the caption \"" + Got.Caption + "\", not \"" + Want.Caption + "\"");
        // A floating bar's window fits its client size to the bar's items: the stored size is
        // where it starts from.
        const bool Fitted = Want.Visible && Want.DockingStyle == dsNone;
        for (const BarLayoutModel::TField& Field : BarLayoutModel::kBarFields) {
            if (!Field.Value || Got.*Field.Value == Want.*Field.Value) continue;
            if (Fitted && Field.Kind == BarLayoutModel::TKind::Size &&
                BarsLimits::kStoredSize.Holds(Got.*Field.Value))
                continue;
            Fail(Bar + " has " + Field.Name + " " + std::to_string(Got.*Field.Value) + ", not " +
                 std::to_string(Want.*Field.Value));
        }
    }
}

// Reads the layout at Where (an INI file, or a path of the registry) into the bars, and checks
// what they read.
void ReadLayout(TBarsForm& Bars, bool Ini, const std::string& Where) {
    TdxBarManager& Manager = *Bars.Manager();
    const auto Start = ValuesOf(Manager);
    const std::string Stored =
        Fuzz::ReadFile(Ini ? Where : TRegistry::HiveFileName(HKEY_CURRENT_USER));
    if (Ini)
        Manager.LoadFromIniFile(Where);
    else
        Manager.LoadFromRegistry(Where);
    CheckRead(Bars);
    if (Ini)
        CheckValues(Manager, *BarLayoutModel::ReadIniFile(Stored),
                    BarLayoutModel::IniPlace(Bars.Form()->Name(), Manager.Name()), Start);
    else
        CheckValues(Manager, *BarLayoutModel::ReadHiveFile(Stored),
                    BarLayoutModel::RegistryPlace(Where), Start);
}

// Changes the layout as a user would, picked by the input's bytes; the bar the first byte picks
// is always shown or hidden, so the layout written is never simply the form's own.
void ChangeAsAUser(TBarsForm& Bars, const uint8_t* Data, size_t Size) {
    TdxBars& List = *Bars.Manager()->Bars();
    if (List.Count() == 0) return;
    const int Picked = int(Data[0] >> 1) % List.Count();
    for (int I = 0; I < List.Count(); ++I) {
        TdxBar* Bar = List.Items(I);
        const uint8_t Choice = Data[size_t(I + 1) % Size] ^ uint8_t(0x5A + I);
        if (I == Picked || (Choice & 1)) Bar->SetVisible(!Bar->Visible());
        // Moved down, as far as a dock site has rows: one per bar at most.
        if (Choice & 2)
            Bar->SetRow(std::min(Bar->Row() + 1 + (Choice >> 6), BarsLimits::kStoredRow.High));
        if (Choice & 4) Bar->SetUseRestSpace(!Bar->UseRestSpace());
        if (Choice & 8) Bar->SetMultiLine(!Bar->MultiLine());
    }
}

// Every key and value under Path, relative to it.
void Walk(TRegistry& Registry, const std::string& Path, const std::string& Relative,
          std::map<std::string, std::string>& Tree) {
    if (!Registry.OpenKeyReadOnly(Path)) Fail("a written key cannot be opened: " + Path);
    for (const std::string& Name : Registry.GetValueNames()) {
        const TRegDataType Type = Registry.GetDataType(Name);
        Tree[Relative + "|" + Name] = Type == rdInteger ? std::to_string(Registry.ReadInteger(Name))
                                      : Type == rdBinary ? "bin:" + Registry.ReadBinary(Name)
                                                         : "str:" + Registry.ReadString(Name);
    }
    for (const std::string& Name : Registry.GetKeyNames())
        Walk(Registry, Path + "\\" + Name, Relative + "\\" + Name, Tree);
}

std::map<std::string, std::string> Written(const std::string& Path) {
    TRegistry Registry;
    std::map<std::string, std::string> Tree;
    Walk(Registry, Path, "", Tree);
    return Tree;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static std::unique_ptr<QCoreApplication> App = TApplication::InitializeQt(*Argc, *Argv, true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 1) return 0;
    FuzzRegistryDir::Clear(Dir());
    const bool Ini = Data[0] & 1;
    const std::string Stored =
        Ini ? Dir() + "layout.ini" : TRegistry::HiveFileName(HKEY_CURRENT_USER);
    Fuzz::WriteFile(Stored, std::string(reinterpret_cast<const char*>(Data + 1), Size - 1));
    try {
        TBarsForm& First = FreshBars();
        ReadLayout(First, Ini, Ini ? Stored : "\\Software\\Kestro\\Bars");
        ChangeAsAUser(First, Data, Size);
        if (Ini) {
            First.Manager()->SaveToIniFile(Dir() + "a.ini");
            TBarsForm& Second = FreshBars();
            ReadLayout(Second, Ini, Dir() + "a.ini");
            Second.Manager()->SaveToIniFile(Dir() + "b.ini");
            if (Fuzz::ReadFile(Dir() + "a.ini") != Fuzz::ReadFile(Dir() + "b.ini"))
                Fail("a layout read back writes differently");
        } else {
            First.Manager()->SaveToRegistry("\\A");
            TBarsForm& Second = FreshBars();
            ReadLayout(Second, Ini, "\\A");
            Second.Manager()->SaveToRegistry("\\B");
            const auto A = Written("\\A"), B = Written("\\B");
            for (const auto& [Name, Value] : A)
                if (!B.count(Name) || B.at(Name) != Value)
                    Fail("a layout read back writes " + Name + " differently");
            if (A.size() != B.size()) Fail("a layout read back writes other values");
        }
    } catch (const std::exception& E) {
        Fail(std::string("an exception escaped: ") + E.what());
    }
    return 0;
}
