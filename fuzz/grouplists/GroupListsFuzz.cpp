// Feeds arbitrary bytes to the newsgroup manager's reading of a box's full group list (<box>.bl)
// and its subscriptions (<box>.rc): the input up to the first 0x1E is the .bl, the rest (when
// there is a 0x1E) the .rc. The lists are read or refused; what is read is built into the tree.
// Every group the .bl names (its first line left out when it starts with '!'; a line's name ends
// at its first blank, else at its first '*') is one group node; a group the .rc names is shown
// subscribed, and only such a group. OK without a change keeps every subscription line: as it
// was, or (for a listed group) under the list's spelling of the name with the same rest; a
// listed group keeps one line. Read again, the written lists give the same tree, and written
// again, the same bytes. The first reading builds the tree as for a large list (nodes made as
// folders open), the second as for a small one: both give the same tree.
#include <unistd.h>
#include <QCoreApplication>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/ui/GroupManagerTree.h"
#include "app/ui/Limits.h"
#include "fuzz/support/FuzzInput.h"
#include "platform/classes/Exception.h"
#include "platform/core/Application.h"
#include "platform/widgets/TreeViews.h"

namespace {

using Fuzz::Fail;

const std::string& Dir() {
    static const std::string Made = Fuzz::OwnDir("grouplists");
    return Made;
}

// The lines of a text file: ended by CR LF, LF or CR.
std::vector<std::string> Lines(const std::string& Text) {
    std::vector<std::string> Out;
    size_t At = 0;
    while (At < Text.size()) {
        size_t End = At;
        while (End < Text.size() && Text[End] != '\r' && Text[End] != '\n') ++End;
        Out.push_back(Text.substr(At, End - At));
        At =
            End < Text.size() && Text[End] == '\r' && End + 1 < Text.size() && Text[End + 1] == '\n'
                ? End + 2
                : End + 1;
    }
    return Out;
}

std::string Upper(std::string S) {
    for (char& C : S)
        if (C >= 'a' && C <= 'z') C = char(C - 'a' + 'A');
    return S;
}

std::string NameOf(const std::string& Line, char Mark) {
    size_t End = Line.find(' ');
    if (End == std::string::npos && Mark) End = Line.find(Mark);
    return Line.substr(0, End);
}

// The group names a full list holds, as the manager shows them: a name listed again (in any
// case) once, as first spelt; deeper names left out.
std::multiset<std::string> ListedGroups(const std::string& Text) {
    std::vector<std::string> All = Lines(Text);
    std::multiset<std::string> Out;
    std::set<std::string> Seen;
    for (size_t I = 0; I < All.size(); ++I) {
        if (I == 0 && All[0].starts_with("!")) continue;
        const std::string Name = NameOf(All[I], '*');
        if (!Seen.insert(Upper(Name)).second) continue;
        if (std::count(Name.begin(), Name.end(), '.') <= UiLimits::kMaxGroupDots) Out.insert(Name);
    }
    return Out;
}

struct TShown {
    std::multiset<std::string> Groups;
    std::multiset<std::string> Subscribed;
};

void Walk(const TTreeNode* Node, TShown& Shown) {
    if (Node->Parent() && !Node->HasChildren()) {
        Shown.Groups.insert(Node->Text());
        if (TGroupTree::Subscribed(Node)) Shown.Subscribed.insert(Node->Text());
    }
    for (int I = 0; I < Node->Count(); ++I) Walk(Node->Item(I), Shown);
}

// Reads the lists at Dir()/box.bl (and box.rc), builds the tree and, unless Refused, writes the
// lists back as OK without a change does. False when the reading refused them. Lazy: the tree
// is built as a large list is, its folders' nodes made as they are expanded, and then expanded
// fully before it is looked at.
bool LoadBuildSave(TTreeView& Tree, TShown& Shown, bool Lazy) {
    TGroupTree Groups;
    if (Lazy) Groups.NodesAtOnce = 0;
    const auto Quiet = [](const std::string&) {};
    try {
        Groups.Load(Dir() + "box.bl", Quiet);
    } catch (const Exception&) {
        return false;
    }
    Tree.Items()->Clear();
    Groups.Build(*Tree.Items(), Quiet);
    if (Tree.Items()->Count() == 0) Fail("the tree has no root");
    if (Lazy) {
        Tree.OnExpanding = [&Groups](TObject*, TTreeNode* Node, bool&) { Groups.Fill(Node); };
        Tree.FullExpand();
        Tree.OnExpanding = nullptr;
    }
    Walk(Tree.Items()->Item(0), Shown);
    try {
        Groups.Save("20", false);
    } catch (const Exception& E) {
        Fail("lists read cannot be written back: " + E.Message());
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static std::unique_ptr<QCoreApplication> App = TApplication::InitializeQt(*Argc, *Argv, true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string Input(reinterpret_cast<const char*>(Data), Size);
    const size_t Cut = Input.find(Fuzz::kPieceMark);
    const std::string List = Input.substr(0, Cut);
    const bool HasRc = Cut != std::string::npos;
    const std::string Rc = HasRc ? Input.substr(Cut + 1) : std::string();
    const std::string Bl = Dir() + "box.bl", RcFile = Dir() + "box.rc";
    std::filesystem::remove(RcFile);
    Fuzz::WriteFile(Bl, List);
    if (HasRc) Fuzz::WriteFile(RcFile, Rc);

    static TTreeView* Tree = new TTreeView(nullptr);
    TShown Shown;
    if (!LoadBuildSave(*Tree, Shown, true)) {
        if (Fuzz::ReadFile(Bl) != List || (HasRc && Fuzz::ReadFile(RcFile) != Rc))
            Fail("refused lists were changed");
        return 0;
    }

    if (Shown.Groups != ListedGroups(List)) Fail("the tree's groups are not the list's groups");
    std::multiset<std::string> RcNames, RcUpper;
    std::vector<std::string> RcLines;
    for (const std::string& Line : Lines(Rc)) {
        RcNames.insert(NameOf(Line, 0));
        RcUpper.insert(Upper(NameOf(Line, 0)));
        if (!Line.empty()) RcLines.push_back(Line);
    }
    std::multiset<std::string> ShownUpper;
    for (const std::string& Group : Shown.Groups) {
        const bool Subscribed = Shown.Subscribed.count(Group) > 0;
        if (RcNames.count(Group) && !Subscribed)
            Fail("group " + Group + " of the .rc not subscribed");
        if (Subscribed && !RcUpper.count(Upper(Group)))
            Fail("group " + Group + " subscribed that the .rc does not name");
        ShownUpper.insert(Upper(Group));
    }

    // OK without a change: every subscription line is still there, the name perhaps spelt as
    // the list spells it; a line without a rest takes the count of a new subscription.
    const std::vector<std::string> Saved = Lines(Fuzz::ReadFile(RcFile));
    std::multiset<std::string> SavedUpper;
    for (const std::string& Line : Saved) SavedUpper.insert(Upper(Line));
    // A group the .rc names twice keeps the first line; the others are dropped.
    // (An empty line names the group "", when there is one.)
    std::set<std::string> Taken;
    for (const std::string& Line : Lines(Rc)) {
        const std::string Name = NameOf(Line, 0);
        const bool Listed = ShownUpper.count(Upper(Name)) > 0;
        if (Listed && !Taken.insert(Upper(Name)).second) continue;
        if (Line.empty() && !Listed) continue;
        const std::string Kept = Listed && Line.size() == Name.size() ? Line + " -20" : Line;
        if (!SavedUpper.count(Upper(Kept)) && !SavedUpper.count(Upper(Line)))
            Fail("the subscription line " + Line + " is lost");
    }
    std::set<std::string> Written;
    for (const std::string& Line : Saved) {
        const std::string Name = NameOf(Line, 0);
        if (ShownUpper.count(Upper(Name)) && !Written.insert(Upper(Name)).second)
            Fail("the group " + Name + " has a second subscription line");
    }
    if (RcLines.empty() && Shown.Subscribed.empty() && std::filesystem::exists(RcFile))
        Fail("a .rc written with no subscription");

    // Every list reads back to itself: also a name holding a '*', one listed twice and one
    // beginning with '!'.
    const std::string FirstBl = Fuzz::ReadFile(Bl), FirstRc = Fuzz::ReadFile(RcFile);
    TShown Again;
    if (!LoadBuildSave(*Tree, Again, false)) Fail("lists written are refused when read again");
    if (Again.Groups != Shown.Groups) Fail("the written list reads back to other groups");
    if (Again.Subscribed != Shown.Subscribed)
        Fail("the written lists read back to other subscriptions");
    if (Fuzz::ReadFile(Bl) != FirstBl) Fail("the .bl written again differs");
    if (Fuzz::ReadFile(RcFile) != FirstRc) Fail("the .rc written again differs");
    return 0;
}
