#include "app/ui/GroupManagerTree.h"

#include <algorithm>
#include <cerrno>
#include <charconv>

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

int DotCount(std::string_view Text) {
    return int(std::count(Text.begin(), Text.end(), '.'));
}

// The caption of the folder at depth Depth: the wildcard pattern of the groups below it.
std::string FolderCaption(const std::vector<std::string>& Parts, int Depth) {
    std::string Caption;
    for (int I = 0; I <= Depth; ++I) Caption += Parts[size_t(I)] + ".";
    return Caption + "*";
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
        return CompareGroupNames((*this)[int(A)], (*this)[int(B)]) < 0;
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

bool TGroupNames::Find(std::string_view Name, int& Index) const {
    int Low = 0, High = Count();
    while (Low < High) {
        const int Mid = Low + (High - Low) / 2;
        if (CompareGroupNames((*this)[Mid], Name) < 0)
            Low = Mid + 1;
        else
            High = Mid;
    }
    Index = Low;
    return Low < Count() && CompareGroupNames((*this)[Low], Name) == 0;
}

void TGroupTree::Load(const std::string& GroupListFile, const TProgress& Progress) {
    FGroupListFile = GroupListFile;
    FSubscriptionFile = ChangeFileExt(GroupListFile, ".rc");
    try {
        ReadLists(Progress);
    } catch (...) {
        FGroups.Clear();
        FSubscriptions.Clear();
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

    for (int I = 0; I < Lines.Count(); ++I) {
        const std::string& Line = Lines[I];
        auto Entry = std::make_unique<TSubscription>();
        Entry->Line = Line;
        const auto Blank = Line.find(' ');
        if (Blank != std::string::npos) {
            FNodeData.push_back(std::make_unique<TNodeData>(TNodeData{Line.substr(Blank + 1)}));
            Entry->Data = FNodeData.back().get();
        }
        FSubscriptions.AddObject(Line.substr(0, Blank), Entry.get());
        FSubscriptionLines.push_back(std::move(Entry));
    }
    FSubscriptions.Sort();
}

void TGroupTree::Build(TTreeNodes& Nodes, const TProgress& Progress) {
    Nodes.BeginUpdate();
    FRoot = NewNode(Nodes, nullptr, ExtractFileName(FGroupListFile), giGroup);
    FDepthNodes.assign(UiLimits::kMaxGroupDots + 1, nullptr);
    const int Count = FGroups.Count();
    if (Count > 0) AddGroupNode(Nodes, std::string(FGroups[0]), 0);
    const int Step = Count / 300 + 1;
    for (int I = 1; I < Count; ++I) {
        if (I % Step == 1)
            Progress("Erstelle Baum mit den Newsgroups (" + std::to_string(I * 100 / Count + 1) +
                     "%)");
        AddGroupNode(Nodes, std::string(FGroups[I]), CommonGroupLevel(FGroups[I - 1], FGroups[I]));
    }
    FRoot->Expand(false);
    Nodes.EndUpdate();
}

TTreeNode* TGroupTree::NewNode(TTreeNodes& Nodes, TTreeNode* Parent, const std::string& Caption,
                               int Image) {
    TTreeNode* Node = Parent ? Nodes.AddChild(Parent, Caption) : Nodes.Add(nullptr, Caption);
    Node->SetImageIndex(Image);
    Node->SetSelectedIndex(Image + 1);
    if (Parent && Parent->ImageIndex() != giFolder) {
        Parent->SetImageIndex(giFolder);
        Parent->SetSelectedIndex(giFolder + 1);
    }
    return Node;
}

void TGroupTree::AddGroupNode(TTreeNodes& Nodes, const std::string& Name, int Level) {
    const int Dots = DotCount(Name);
    if (Dots > UiLimits::kMaxGroupDots) return;
    std::vector<std::string> Parts;
    size_t Start = 0;
    for (int I = 0; I < Dots; ++I) {
        const size_t Dot = Name.find('.', Start);
        Parts.push_back(Name.substr(Start, Dot - Start));
        Start = Dot + 1;
    }
    Level = std::min(Level, Dots);
    TTreeNode* Parent = Level > 0 ? FDepthNodes[size_t(Level - 1)] : FRoot;
    if (!Parent) Parent = FRoot;
    // At most two folders per group: one where it leaves its neighbour, one right above it.
    for (int I = Level; I < Dots; ++I) {
        if (I == Level || I == Dots - 1)
            Parent = NewNode(Nodes, Parent, FolderCaption(Parts, I), giFolder);
        FDepthNodes[size_t(I)] = Parent;
    }
    TTreeNode* Group = NewNode(Nodes, Parent, Name, giGroup);
    int Index = 0;
    if (FSubscriptions.Find(Name, Index)) {
        auto* Entry = static_cast<TSubscription*>(FSubscriptions.Objects(Index));
        SetSubscribed(Group, true);
        Group->SetData(Entry->Data);
        Entry->Data = nullptr;
        Entry->Listed = true;
    }
}

bool TGroupTree::Subscribed(const TTreeNode* Node) {
    return Node->StateIndex() == siSubscribed;
}

void TGroupTree::Toggle(TTreeNode* Node) {
    if (IsGroup(Node)) SetSubscribed(Node, !Subscribed(Node));
}

void TGroupTree::ApplyToSubtree(TTreeNode* Node, TSubtreeCommand Command) {
    if (!Node) return;
    TTreeNodes* Nodes = Node->Owner();
    Nodes->BeginUpdate();
    const auto Apply = [Command](TTreeNode* Leaf) {
        SetSubscribed(
            Leaf, Command == scSubscribe || (Command == scInvert && !TGroupTree::Subscribed(Leaf)));
        Leaf->SetData(nullptr);
    };
    const std::function<void(TTreeNode*)> Walk = [&](TTreeNode* N) {
        if (IsGroup(N)) Apply(N);
        for (int I = 0; I < N->Count(); ++I) Walk(N->Item(I));
    };
    Walk(Node);
    Node->Expand(true);
    Nodes->EndUpdate();
}

void TGroupTree::CollectSubscribed(const TTreeNode* Node, const std::string& NewLineTail,
                                   TStringList& Lines, std::vector<bool>& Marked) const {
    if (IsGroup(Node) && Subscribed(Node)) {
        const std::string& Name = Node->Text();
        auto* Data = static_cast<const TNodeData*>(Node->Data());
        Lines.Add(Data ? Name + " " + Data->Text : Name + NewLineTail);
        int Index = 0;
        if (FGroups.Find(Name, Index)) Marked[size_t(Index)] = true;
    }
    for (int I = 0; I < Node->Count(); ++I)
        CollectSubscribed(Node->Item(I), NewLineTail, Lines, Marked);
}

std::string TGroupTree::MarkedGroupList(const std::vector<bool>& Marked) const {
    std::string Text;
    // The header line goes back only where reading took it off; a first line that was a group
    // is in the list already.
    if (FHeaderRemoved) Text += FHeaderLine + "\r\n";
    for (int I = 0; I < FGroups.Count(); ++I) {
        Text += FGroups[I];
        if (Marked[size_t(I)]) Text += '*';
        Text += "\r\n";
    }
    return Text;
}

void TGroupTree::Save(const std::string& NewArticles, bool HeaderOnly) {
    const std::string Tail =
        " -" + std::to_string(NewArticleCount(NewArticles)) + (HeaderOnly ? " HdrOnly" : "");
    TStringList Lines;
    std::vector<bool> Marked(size_t(FGroups.Count()), false);
    if (FRoot) CollectSubscribed(FRoot, Tail, Lines, Marked);
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
    WriteFileAtomic(FGroupListFile, MarkedGroupList(Marked));
}
