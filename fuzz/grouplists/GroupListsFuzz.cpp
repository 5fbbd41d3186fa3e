// Feeds arbitrary bytes to the newsgroup manager's reading of a box's full group list (<box>.bl)
// and its subscriptions (<box>.rc): the input up to the first 0x1E is the .bl, the rest (when
// there is a 0x1E) the .rc. The lists are read or refused; what is read is built into the tree.
// Every group the .bl names (its first line left out when it starts with '!'; a line's name ends
// at its first blank, else at its first '*'; names that differ in case are two groups) is one
// group node. A line of the .rc belongs to the group spelt as it names it, else to the first
// (in the list's order) that matches ignoring case; a group some line belongs to is shown
// subscribed, and only such a group. OK without a change writes every subscription line again:
// a listed group's lines under the list's spelling with their rests (its first line without a
// rest as a new subscription), the others as they were. The .bl written names every group once
// and marks with '*' exactly the subscribed ones. Read again, the written lists give the same
// tree, and written again, the same bytes. The first reading builds the tree as for a large list
// (nodes made as folders open), the second as for a small one: both give the same tree.
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
#include <optional>
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

// The group names a full list holds, each once: a name listed again as spelt is the same group.
// With Shown, the names too deep for the tree are left out.
std::set<std::string> ListedGroups(const std::string& Text, bool Shown) {
    std::vector<std::string> All = Lines(Text);
    std::set<std::string> Out;
    for (size_t I = 0; I < All.size(); ++I) {
        if (I == 0 && All[0].starts_with("!")) continue;
        const std::string Name = NameOf(All[I], '*');
        if (!Shown || std::count(Name.begin(), Name.end(), '.') <= UiLimits::kMaxGroupDots)
            Out.insert(Name);
    }
    return Out;
}

// The listed group a subscription line's name belongs to: the one spelt so, else of those equal
// to it ignoring case the first in the list's order (which puts capitals before small letters).
std::optional<std::string> GroupOfLine(const std::string& Name,
                                       const std::set<std::string>& Listed) {
    if (Listed.count(Name)) return Name;
    std::optional<std::string> First;
    for (const std::string& Group : Listed)
        if (Upper(Group) == Upper(Name) && (!First || Group < *First)) First = Group;
    return First;
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

    const std::set<std::string> Listed = ListedGroups(List, true);
    if (Shown.Groups != std::multiset<std::string>(Listed.begin(), Listed.end()))
        Fail("the tree's groups are not the list's groups");

    // The lines OK without a change writes, and the groups shown subscribed.
    std::multiset<std::string> Expected;
    std::set<std::string> Subscribed;
    for (const std::string& Line : Lines(Rc)) {
        const size_t Blank = Line.find(' ');
        const auto Group = GroupOfLine(NameOf(Line, 0), Listed);
        if (!Group) {
            if (!Line.empty()) Expected.insert(Line);
            continue;
        }
        const bool First = Subscribed.insert(*Group).second;
        Expected.insert(*Group + (Blank != std::string::npos ? Line.substr(Blank)
                                  : First                    ? " -20"
                                                             : ""));
    }
    if (Shown.Subscribed != std::multiset<std::string>(Subscribed.begin(), Subscribed.end()))
        Fail("the groups shown subscribed are not the ones the .rc names");
    const std::vector<std::string> Saved = Lines(Fuzz::ReadFile(RcFile));
    if (std::multiset<std::string>(Saved.begin(), Saved.end()) != Expected)
        Fail("OK without a change does not write the subscription lines again");
    if (Expected.empty() && std::filesystem::exists(RcFile)) Fail("a .rc written with no line");

    // The .bl written: every group once (a name holding a '*' ends at a blank), '*' after the
    // subscribed ones and no other.
    std::vector<std::string> Written = Lines(Fuzz::ReadFile(Bl));
    if (!Written.empty() && Written[0].starts_with("!")) Written.erase(Written.begin());
    std::multiset<std::string> WrittenGroups, Marked;
    for (const std::string& Line : Written) {
        const std::string Name = NameOf(Line, '*');
        WrittenGroups.insert(Name);
        if (Line.find('*', Name.size()) != std::string::npos) Marked.insert(Name);
    }
    const std::set<std::string> All = ListedGroups(List, false);
    if (WrittenGroups != std::multiset<std::string>(All.begin(), All.end()))
        Fail("the .bl written does not name every group once");
    if (Marked != std::multiset<std::string>(Subscribed.begin(), Subscribed.end()))
        Fail("the .bl written does not mark exactly the subscribed groups");

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
