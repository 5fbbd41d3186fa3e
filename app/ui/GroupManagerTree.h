#pragma once
// The newsgroup manager's lists apart from its window: the box's full group list (.bl) and its
// subscription list (.rc) read into a tree of dotted group names, shown in a tree view's nodes,
// and written back from the subscribed groups. The groups' state is kept here, so a large list
// makes the nodes of a folder only when it is first expanded.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/ui/Limits.h"
#include "platform/classes/Classes.h"

class TTreeNode;
class TTreeNodes;

// The rest of a subscription line after its group name: the last article number and any flags.
class TNodeData {
  public:
    std::string Text;
};

// Images of the tree: a selected node shows its normal image + 1.
enum : int { giGroup = 0, giFolder = 2, siSubscribed = 2, siNone = -1 };

// Depth of the names two neighbours in the sorted list share: the dots in their common prefix
// (for names one of which begins with the other, the shorter one less its last character).
int CommonGroupLevel(std::string_view A, std::string_view B);

// The bare names of a full group list, in the order a string list sorts them (ASCII letters
// compared as capitals), names that differ only in case in the order of their bytes. Group names
// are case-sensitive: "de.Test" and "de.test" are two groups. A large server lists a million
// groups: one block of text with the start of each name holds them in less than half of what a
// string of each would take.
class TGroupNames {
  public:
    // Takes the names of Lines from First on, then empties Lines.
    void Assign(TStringList& Lines, int First);
    void Clear();
    void Sort();
    // Drops every name equal to the one before it: a group the list names twice is one group.
    void DropRepeated();
    int Count() const { return int(FStarts.size()); }
    std::string_view operator[](int Index) const;
    // The name spelt as Name; else false, and Index where it would stand.
    bool Find(std::string_view Name, int& Index) const;
    // The first name equal to Name ignoring case, as TStringList::Find.
    bool FindNoCase(std::string_view Name, int& Index) const;

  private:
    std::string FText;
    std::vector<uint64_t> FStarts;  // each name ends where the next begins
};

enum TSubtreeCommand { scSubscribe = 1, scUnsubscribe = 2, scInvert = 3 };

class TGroupTree {
  public:
    // Told a caption to show while reading and building: the reading steps and the progress.
    using TProgress = std::function<void(const std::string& Caption)>;

    // A list of up to this many groups gets every node when it is built; a larger one gets the
    // nodes below a folder when the folder is first expanded (Fill).
    int NodesAtOnce = UiLimits::kGroupNodesAtOnce;

    // Reads the group list file and the subscription file beside it (a missing .rc means nothing
    // is subscribed). Raises on a file that cannot be read; then nothing is kept. A group the
    // list names twice is one group; names that differ in case are two. A subscription line
    // belongs to the group spelt as it names it, else to the first that matches ignoring case.
    void Load(const std::string& GroupListFile, const TProgress& Progress);
    // Adds the root node and the groups' folders and nodes under it (see NodesAtOnce).
    void Build(TTreeNodes& Nodes, const TProgress& Progress);
    // Makes the nodes below a folder (or the root) that has none yet; for the tree's
    // OnExpanding. Other nodes are left alone.
    void Fill(TTreeNode* Node);

    // A group node between subscribed and not, keeping what its subscription line said.
    void Toggle(TTreeNode* Node);
    // Every group of the subtree (the node included), as a new subscription or none; the
    // subtree is expanded fully.
    void ApplyToSubtree(TTreeNode* Node, TSubtreeCommand Command);
    static bool Subscribed(const TTreeNode* Node);

    // Writes the .rc and the .bl from the subscribed groups. NewArticles is the text of the
    // article count for new subscriptions (20 when it is no count). A subscribed group keeps
    // every line that named it, under the list's spelling: the exchange reads each line as one
    // fetch, and a second line may be the user's own.
    // Lines of the .rc whose group the full list lacks are written back as they were; a .rc left
    // with no line is deleted. Each file is replaced whole (through a temporary file) or kept;
    // a failure raises EWriteError naming the file and the reason.
    void Save(const std::string& NewArticles, bool HeaderOnly);

    const std::string& GroupListFile() const { return FGroupListFile; }
    const std::string& SubscriptionFile() const { return FSubscriptionFile; }
    int GroupCount() const { return FGroups.Count(); }

  private:
    // One line of the subscription file, cut at its first blank.
    struct TSubscription {
        std::string Line;
        TNodeData* Data = nullptr;
        bool Listed = false;  // a group of the tree took it
    };
    // The line of group Group as written back from the rest of a line that named it.
    std::string SubscriptionLine(uint32_t Group, const TNodeData* Data) const;
    // The tree as the nodes would list it, a folder before what lies below it: the root first,
    // then folders and groups. Nodes are made from these as far as they are needed.
    struct TEntry {
        uint32_t Group;  // a group's index in the sorted list; a folder's: of its first group
        uint32_t End;    // the entry after the subtree
        uint8_t Depth;   // a folder's (its caption has Depth + 1 parts), kGroupEntry or kRootEntry
    };
    static constexpr uint8_t kGroupEntry = 0xFF;
    static constexpr uint8_t kRootEntry = 0xFE;

    void ReadLists(const TProgress& Progress);
    // False for a name too deep for the tree: it gets no entry.
    bool AddGroupEntry(uint32_t Group, int Level, std::vector<uint32_t>& DepthEntries,
                       std::vector<uint32_t>& Path);
    void Claim(uint32_t Group);
    // Makes the nodes of the entries right below Entry under its node Node.
    void MakeChildren(TTreeNode* Node, uint32_t Entry);
    // The same for the whole subtree: every node below Node made. (A node's children stand in
    // the order of their entries: the manager's tree is not sorted.)
    void MakeSubtree(TTreeNode* Node, uint32_t Entry);
    // Sets the group nodes of a made subtree from the groups' state.
    void ShowSubtree(TTreeNode* Node, uint32_t Entry);
    void ShowGroup(TTreeNode* Node, uint32_t Group) const;
    // The entry of the root's or a folder's node; the index of a group node's group. False for
    // other nodes.
    bool FolderEntry(const TTreeNode* Node, uint32_t& Entry) const;
    bool GroupOf(const TTreeNode* Node, uint32_t& Group) const;
    // The full list as written back: the header line, then every group, subscribed ones with '*'.
    std::string MarkedGroupList() const;

    std::string FGroupListFile;
    std::string FSubscriptionFile;
    TGroupNames FGroups;
    // Of each group the subscription file names: its lines, in the file's order.
    std::unordered_map<uint32_t, std::vector<TSubscription*>> FLinesOf;
    std::string FHeaderLine;
    bool FHeaderRemoved = false;
    std::vector<std::unique_ptr<TSubscription>> FSubscriptionLines;
    std::vector<std::unique_ptr<TNodeData>> FNodeData;

    std::vector<TEntry> FEntries;
    // Of each group in the list: whether it is subscribed, and the rest of its former
    // subscription line while it keeps it. A name too deep for the tree is never subscribed.
    std::vector<uint8_t> FSubscribed;
    std::unordered_map<uint32_t, TNodeData*> FDataOf;
    // The further lines naming a group, while it keeps its former lines.
    std::unordered_map<uint32_t, std::vector<const TSubscription*>> FMoreLinesOf;
    // The root's and the folders' nodes made so far, with their entries.
    std::unordered_map<const TTreeNode*, uint32_t> FFolderEntries;
    TTreeNodes* FNodes = nullptr;
};
