#include "app/ui/GroupManagerTree.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

#include "app/engine/KestroGlobal.h"
#include "app/engine/SafeFile.h"
#include "app/ui/Limits.h"
#include "platform/classes/Exception.h"
#include "platform/fs/Files.h"
#include "platform/widgets/TreeViews.h"

namespace {

constexpr int DefaultNewArticles = 20;

// The bare group name of a line of the full list: up to its first blank, else up to its first
// '*' (the mark of a subscribed group), else the whole line.
std::string_view BareGroupName(std::string_view Line) {
    auto End = Line.find(' ');
    if (End == std::string_view::npos) End = Line.find('*');
    return Line.substr(0, End);
}

// The order of a string list that ignores case: ASCII letters as capitals, then the length.
int CompareGroupNames(std::string_view A, std::string_view B) {
    const size_t Shorter = std::min(A.size(), B.size());
    for (size_t I = 0; I < Shorter; ++I) {
        unsigned char CA = static_cast<unsigned char>(A[I]);
        unsigned char CB = static_cast<unsigned char>(B[I]);
        if (CA >= 'a' && CA <= 'z') CA -= 32;
        if (CB >= 'a' && CB <= 'z') CB -= 32;
        if (CA != CB) return CA < CB ? -1 : 1;
    }
    return A.size() == B.size() ? 0 : (A.size() < B.size() ? -1 : 1);
}

// The list's order: as a string list sorts, and names that differ only in case by their bytes,
// so that a name listed twice as spelt stands beside itself.
int CompareGroupSpellings(std::string_view A, std::string_view B) {
    const int NoCase = CompareGroupNames(A, B);
    if (NoCase != 0) return NoCase;
    const int Bytes = A.compare(B);
    return (Bytes > 0) - (Bytes < 0);
}

int DotCount(std::string_view Text) {
    return int(std::count(Text.begin(), Text.end(), '.'));
}

// The caption of the folder at depth Depth over the group Name: the wildcard pattern of the
// groups below it, its first Depth + 1 parts.
std::string FolderCaption(std::string_view Name, int Depth) {
    size_t End = 0;
    for (int I = 0; I <= Depth; ++I) End = Name.find('.', End) + 1;
    return std::string(Name.substr(0, End)) + "*";
}

// The header a list without one gets when its first group begins with '!': that group would be
// read back as the header otherwise. Like a list without a header, it names no time of a fetch
// to ask the server for newer groups since.
constexpr const char* kPlainHeader = "!";

// A group's line in the full list as written back: a name holding a '*' ends at a blank, as
// the server's lines do, so that reading it again does not cut it at its '*'.
void AddGroupLine(std::string& Text, std::string_view Name, bool Subscribed) {
    Text += Name;
    if (Name.find('*') != std::string_view::npos) Text += ' ';
    if (Subscribed) Text += '*';
    Text += "\r\n";
}

int NewArticleCount(const std::string& Text) {
    int Value = 0;
    const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
    if (Error != std::errc() || End != Text.data() + Text.size() || Text.empty() || Value < 0)
        return DefaultNewArticles;
    return Value;
}

// A node that stands for a group: not the root (the file), not a folder.
bool IsGroup(const TTreeNode* Node) {
    return Node && Node->Parent() && !Node->HasChildren();
}

void SetSubscribed(TTreeNode* Node, bool Value) {
    Node->SetStateIndex(Value ? siSubscribed : siNone);
}

}  // namespace

int CommonGroupLevel(std::string_view A, std::string_view B) {
    const size_t Shorter = std::min(A.size(), B.size());
    size_t Common = 0;
    while (Common < Shorter && A[Common] == B[Common]) ++Common;
    if (Common == Shorter && Shorter > 0) --Common;
    return DotCount(A.substr(0, Common));
}

void TGroupNames::Assign(TStringList& Lines, int First) {
    Clear();
    size_t Size = 0;
    for (int I = First; I < Lines.Count(); ++I) Size += BareGroupName(Lines[I]).size();
    FText.reserve(Size);
    FStarts.reserve(size_t(std::max(Lines.Count() - First, 0)));
    for (int I = First; I < Lines.Count(); ++I) {
        FStarts.push_back(FText.size());
        FText += BareGroupName(Lines[I]);
    }
    Lines.Clear();
}

void TGroupNames::Clear() {
    FText.clear();
    FText.shrink_to_fit();
    FStarts.clear();
    FStarts.shrink_to_fit();
}

std::string_view TGroupNames::operator[](int Index) const {
    const size_t I = size_t(Index);
    const uint64_t End = I + 1 < FStarts.size() ? FStarts[I + 1] : FText.size();
    return std::string_view(FText).substr(FStarts[I], End - FStarts[I]);
}

void TGroupNames::Sort() {
    std::vector<uint32_t> Order(FStarts.size());
    for (size_t I = 0; I < Order.size(); ++I) Order[I] = uint32_t(I);
    std::stable_sort(Order.begin(), Order.end(), [this](uint32_t A, uint32_t B) {
        return CompareGroupSpellings((*this)[int(A)], (*this)[int(B)]) < 0;
    });
    std::string Text;
    Text.reserve(FText.size());
    std::vector<uint64_t> Starts;
    Starts.reserve(FStarts.size());
    for (const uint32_t I : Order) {
        Starts.push_back(Text.size());
        Text += (*this)[int(I)];
    }
    FText = std::move(Text);
    FStarts = std::move(Starts);
}

void TGroupNames::DropRepeated() {
    // In place: a name kept moves to where the names before it end, which is never behind it.
    const size_t Total = FStarts.size();
    size_t Kept = 0, End = 0;
    for (size_t I = 0; I < Total; ++I) {
        const size_t From = FStarts[I];
        const size_t Size = (I + 1 < Total ? FStarts[I + 1] : FText.size()) - From;
        const std::string_view Name(FText.data() + From, Size);
        if (Kept > 0) {
            const size_t Last = FStarts[Kept - 1];
            if (std::string_view(FText.data() + Last, End - Last) == Name) continue;
        }
        if (End != From) std::memmove(FText.data() + End, FText.data() + From, Size);
        FStarts[Kept++] = End;
        End += Size;
    }
    FText.resize(End);
    FStarts.resize(Kept);
}

namespace {

// The first index whose name does not sort before Name in the order Compare gives (the list's
// order, or one it refines).
template <typename TCompare>
int FirstNotBefore(const TGroupNames& Names, std::string_view Name, TCompare Compare) {
    int Low = 0, High = Names.Count();
    while (Low < High) {
        const int Mid = Low + (High - Low) / 2;
        if (Compare(Names[Mid], Name) < 0)
            Low = Mid + 1;
        else
            High = Mid;
    }
    return Low;
}

}  // namespace

bool TGroupNames::Find(std::string_view Name, int& Index) const {
    Index = FirstNotBefore(*this, Name, CompareGroupSpellings);
    return Index < Count() && (*this)[Index] == Name;
}

bool TGroupNames::FindNoCase(std::string_view Name, int& Index) const {
    Index = FirstNotBefore(*this, Name, CompareGroupNames);
    return Index < Count() && CompareGroupNames((*this)[Index], Name) == 0;
}

void TGroupTree::Load(const std::string& GroupListFile, const TProgress& Progress) {
    FGroupListFile = GroupListFile;
    FSubscriptionFile = ChangeFileExt(GroupListFile, ".rc");
    try {
        ReadLists(Progress);
    } catch (...) {
        FGroups.Clear();
        FLinesOf.clear();
        FSubscriptionLines.clear();
        throw;
    }
}

void TGroupTree::ReadLists(const TProgress& Progress) {
    Progress("Lese Liste der Newsgroups");
    {
        TStringList Full;
        LoadListFile(Full, FGroupListFile);
        if (Full.Count() > 0) FHeaderLine = Full[0];
        FHeaderRemoved = Full.Count() > 0 && Full[0].starts_with("!");
        FGroups.Assign(Full, FHeaderRemoved ? 1 : 0);
    }
    TStringList Lines;
    if (FileExists(FSubscriptionFile)) LoadListFile(Lines, FSubscriptionFile);

    Progress("Sortiere Liste der Newsgroups");
    FGroups.Sort();
    // A group listed twice would get two nodes, and the second a new subscription line at
    // every OK.
    FGroups.DropRepeated();

    for (int I = 0; I < Lines.Count(); ++I) {
        const std::string& Line = Lines[I];
        auto Entry = std::make_unique<TSubscription>();
        Entry->Line = Line;
        const auto Blank = Line.find(' ');
        if (Blank != std::string::npos) {
            FNodeData.push_back(std::make_unique<TNodeData>(TNodeData{Line.substr(Blank + 1)}));
            Entry->Data = FNodeData.back().get();
        }
        // A line spelt otherwise than every group (a point program that writes names in its own
        // case) still belongs to its group.
        const std::string_view Name = std::string_view(Line).substr(0, Blank);
        int Group = 0;
        if (FGroups.Find(Name, Group) || FGroups.FindNoCase(Name, Group))
            FLinesOf[uint32_t(Group)].push_back(Entry.get());
        FSubscriptionLines.push_back(std::move(Entry));
    }
}

void TGroupTree::Build(TTreeNodes& Nodes, const TProgress& Progress) {
    FNodes = &Nodes;
    FEntries.clear();
    FFolderEntries.clear();
    FDataOf.clear();
    FMoreLinesOf.clear();
    FSubscribed.assign(size_t(FGroups.Count()), 0);
    for (auto& Entry : FSubscriptionLines) Entry->Listed = false;

    FEntries.push_back(TEntry{0, 0, kRootEntry});
    std::vector<uint32_t> DepthEntries(UiLimits::kMaxGroupDots + 1, 0);
    std::vector<uint32_t> Path{0};
    const int Count = FGroups.Count();
    // The group placed last: a name too deep for the tree in between places nothing.
    int Last = -1;
    if (Count > 0 && AddGroupEntry(0, 0, DepthEntries, Path)) Last = 0;
    const int Step = Count / 300 + 1;
    for (int I = 1; I < Count; ++I) {
        if (I % Step == 1)
            Progress("Erstelle Baum mit den Newsgroups (" + std::to_string(I * 100 / Count + 1) +
                     "%)");
        const int Level = Last < 0 ? 0 : CommonGroupLevel(FGroups[Last], FGroups[I]);
        if (AddGroupEntry(uint32_t(I), Level, DepthEntries, Path)) Last = I;
    }
    for (const uint32_t Open : Path) FEntries[Open].End = uint32_t(FEntries.size());

    Nodes.BeginUpdate();
    TTreeNode* Root = Nodes.Add(nullptr, ExtractFileName(FGroupListFile));
    const int Image = FEntries.size() > 1 ? giFolder : giGroup;
    Root->SetImageIndex(Image);
    Root->SetSelectedIndex(Image + 1);
    FFolderEntries[Root] = 0;
    if (Count <= NodesAtOnce)
        MakeSubtree(Root, 0);
    else
        MakeChildren(Root, 0);
    Root->Expand(false);
    Nodes.EndUpdate();
}

bool TGroupTree::AddGroupEntry(uint32_t Group, int Level, std::vector<uint32_t>& DepthEntries,
                               std::vector<uint32_t>& Path) {
    const std::string_view Name = FGroups[int(Group)];
    const int Dots = DotCount(Name);
    if (Dots > UiLimits::kMaxGroupDots) return false;
    Level = std::min(Level, Dots);
    uint32_t Parent = Level > 0 ? DepthEntries[size_t(Level - 1)] : 0;
    // Entries are added in the order of the tree: what the path holds below the parent is
    // complete.
    const auto Close = [this, &Path](uint32_t Below) {
        while (Path.back() != Below) {
            FEntries[Path.back()].End = uint32_t(FEntries.size());
            Path.pop_back();
        }
    };
    Close(Parent);
    // At most two folders per group: one where it leaves its neighbour, one right above it.
    for (int I = Level; I < Dots; ++I) {
        if (I == Level || I == Dots - 1) {
            Parent = uint32_t(FEntries.size());
            FEntries.push_back(TEntry{Group, 0, uint8_t(I)});
            Path.push_back(Parent);
        }
        DepthEntries[size_t(I)] = Parent;
    }
    FEntries.push_back(TEntry{Group, uint32_t(FEntries.size()) + 1, kGroupEntry});
    Claim(Group);
    return true;
}

void TGroupTree::Claim(uint32_t Group) {
    const auto Lines = FLinesOf.find(Group);
    if (Lines == FLinesOf.end()) return;
    // The group takes every line naming it: the first one is its node's, the others follow it.
    FSubscribed[Group] = 1;
    const TSubscription* First = Lines->second.front();
    if (First->Data) FDataOf[Group] = First->Data;
    for (TSubscription* Line : Lines->second) {
        Line->Listed = true;
        if (Line != First) FMoreLinesOf[Group].push_back(Line);
    }
}

void TGroupTree::MakeChildren(TTreeNode* Node, uint32_t Entry) {
    const TEntry& Folder = FEntries[Entry];
    for (uint32_t Child = Entry + 1; Child < Folder.End; Child = FEntries[Child].End) {
        const TEntry& Below = FEntries[Child];
        const std::string_view Name = FGroups[int(Below.Group)];
        if (Below.Depth == kGroupEntry) {
            TTreeNode* Group = FNodes->AddChild(Node, std::string(Name));
            Group->SetImageIndex(giGroup);
            Group->SetSelectedIndex(giGroup + 1);
            ShowGroup(Group, Below.Group);
            continue;
        }
        TTreeNode* Sub = FNodes->AddChild(Node, FolderCaption(Name, Below.Depth));
        Sub->SetImageIndex(giFolder);
        Sub->SetSelectedIndex(giFolder + 1);
        // Shows its button until its nodes are made.
        Sub->SetHasChildren(true);
        FFolderEntries[Sub] = Child;
    }
}

void TGroupTree::MakeSubtree(TTreeNode* Node, uint32_t Entry) {
    if (FEntries[Entry].Depth == kGroupEntry) return;
    if (Node->Count() == 0) MakeChildren(Node, Entry);
    uint32_t Child = Entry + 1;
    for (int I = 0; I < Node->Count(); ++I, Child = FEntries[Child].End)
        MakeSubtree(Node->Item(I), Child);
}

void TGroupTree::ShowSubtree(TTreeNode* Node, uint32_t Entry) {
    const TEntry& Here = FEntries[Entry];
    if (Here.Depth == kGroupEntry) {
        ShowGroup(Node, Here.Group);
        return;
    }
    uint32_t Child = Entry + 1;
    for (int I = 0; I < Node->Count(); ++I, Child = FEntries[Child].End)
        ShowSubtree(Node->Item(I), Child);
}

void TGroupTree::ShowGroup(TTreeNode* Node, uint32_t Group) const {
    SetSubscribed(Node, FSubscribed[Group] != 0);
    const auto Data = FDataOf.find(Group);
    Node->SetData(Data == FDataOf.end() ? nullptr : Data->second);
}

void TGroupTree::Fill(TTreeNode* Node) {
    uint32_t Entry = 0;
    if (!Node || Node->Count() > 0 || !FolderEntry(Node, Entry)) return;
    FNodes->BeginUpdate();
    MakeChildren(Node, Entry);
    FNodes->EndUpdate();
}

bool TGroupTree::FolderEntry(const TTreeNode* Node, uint32_t& Entry) const {
    const auto Found = FFolderEntries.find(Node);
    if (Found == FFolderEntries.end()) return false;
    Entry = Found->second;
    return true;
}

bool TGroupTree::GroupOf(const TTreeNode* Node, uint32_t& Group) const {
    if (!IsGroup(Node) || FFolderEntries.count(Node)) return false;
    int Index = 0;
    if (!FGroups.Find(Node->Text(), Index) || size_t(Index) >= FSubscribed.size()) return false;
    Group = uint32_t(Index);
    return true;
}

bool TGroupTree::Subscribed(const TTreeNode* Node) {
    return Node->StateIndex() == siSubscribed;
}

void TGroupTree::Toggle(TTreeNode* Node) {
    uint32_t Group = 0;
    if (!GroupOf(Node, Group)) return;
    FSubscribed[Group] = !FSubscribed[Group];
    ShowGroup(Node, Group);
}

void TGroupTree::ApplyToSubtree(TTreeNode* Node, TSubtreeCommand Command) {
    if (!Node) return;
    const auto Apply = [this, Command](uint32_t Group) {
        FSubscribed[Group] = Command == scSubscribe || (Command == scInvert && !FSubscribed[Group]);
        FDataOf.erase(Group);
        FMoreLinesOf.erase(Group);
    };
    TTreeNodes* Nodes = Node->Owner();
    Nodes->BeginUpdate();
    uint32_t Entry = 0, Group = 0;
    if (FolderEntry(Node, Entry)) {
        for (uint32_t E = Entry + 1; E < FEntries[Entry].End; ++E)
            if (FEntries[E].Depth == kGroupEntry) Apply(FEntries[E].Group);
        MakeSubtree(Node, Entry);
        ShowSubtree(Node, Entry);
    } else if (GroupOf(Node, Group)) {
        Apply(Group);
        ShowGroup(Node, Group);
    }
    Node->Expand(true);
    Nodes->EndUpdate();
}

std::string TGroupTree::MarkedGroupList() const {
    std::string Text;
    // The header line goes back only where reading took it off; a first line that was a group
    // is in the list already.
    if (FHeaderRemoved)
        Text += FHeaderLine + "\r\n";
    else if (FGroups.Count() > 0 && FGroups[0].starts_with('!'))
        Text += std::string(kPlainHeader) + "\r\n";
    for (int I = 0; I < FGroups.Count(); ++I)
        AddGroupLine(Text, FGroups[I], size_t(I) < FSubscribed.size() && FSubscribed[size_t(I)]);
    return Text;
}

std::string TGroupTree::SubscriptionLine(uint32_t Group, const TNodeData* Data) const {
    std::string Line(FGroups[int(Group)]);
    if (Data) Line += " " + Data->Text;
    return Line;
}

void TGroupTree::Save(const std::string& NewArticles, bool HeaderOnly) {
    const std::string Tail =
        " -" + std::to_string(NewArticleCount(NewArticles)) + (HeaderOnly ? " HdrOnly" : "");
    TStringList Lines;
    // In the order of the tree, which is the order of the sorted list.
    for (size_t I = 0; I < FSubscribed.size(); ++I) {
        if (!FSubscribed[I]) continue;
        const auto Data = FDataOf.find(uint32_t(I));
        Lines.Add(Data != FDataOf.end() ? SubscriptionLine(uint32_t(I), Data->second)
                                        : std::string(FGroups[int(I)]) + Tail);
        const auto More = FMoreLinesOf.find(uint32_t(I));
        if (More != FMoreLinesOf.end())
            for (const TSubscription* Line : More->second)
                Lines.Add(SubscriptionLine(uint32_t(I), Line->Data));
    }
    // Lines of groups the full list does not name (and comment lines) are not ours to drop.
    for (const auto& Entry : FSubscriptionLines)
        if (!Entry->Listed && !Entry->Line.empty()) Lines.Add(Entry->Line);

    // Both lists are replaced whole or not at all: a full disk or a kill while writing leaves
    // the former file, never a cut one (the subscriptions would be lost). Nothing read is
    // changed here, so OK may be tried again once there is room.
    if (Lines.Count() == 0) {
        if (FileExists(FSubscriptionFile) && !DeleteFile(FSubscriptionFile))
            throw EWriteError(WriteFailureText(FSubscriptionFile, errno));
    } else {
        WriteFileAtomic(FSubscriptionFile, Lines.Text());
    }
    WriteFileAtomic(FGroupListFile, MarkedGroupList());
}
