#pragma once
// The newsgroup manager's lists apart from its window: the box's full group list (.bl) and its
// subscription list (.rc) read into a tree of dotted group names, and written back from the tree's
// subscribed groups.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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
// compared as capitals). A large server lists a million groups: one block of text with the start
// of each name holds them in less than half of what a string of each would take.
class TGroupNames {
  public:
    // Takes the names of Lines from First on, then empties Lines.
    void Assign(TStringList& Lines, int First);
    void Clear();
    void Sort();
    int Count() const { return int(FStarts.size()); }
    std::string_view operator[](int Index) const;
    // The first name equal to Name, as TStringList::Find.
    bool Find(std::string_view Name, int& Index) const;

  private:
    std::string FText;
    std::vector<uint64_t> FStarts;  // each name ends where the next begins
};

enum TSubtreeCommand { scSubscribe = 1, scUnsubscribe = 2, scInvert = 3 };

class TGroupTree {
  public:
    // Told a caption to show while reading and building: the reading steps and the progress.
    using TProgress = std::function<void(const std::string& Caption)>;

    // Reads the group list file and the subscription file beside it (a missing .rc means nothing
    // is subscribed). Raises on a file that cannot be read; then nothing is kept.
    void Load(const std::string& GroupListFile, const TProgress& Progress);
    // Adds the root node and a node for every group under it.
    void Build(TTreeNodes& Nodes, const TProgress& Progress);

    // A group node between subscribed and not, keeping what its subscription line said.
    static void Toggle(TTreeNode* Node);
    // Every group of the subtree (the node included), as a new subscription or none.
    static void ApplyToSubtree(TTreeNode* Node, TSubtreeCommand Command);
    static bool Subscribed(const TTreeNode* Node);

    // Writes the .rc and the .bl from the tree's subscribed groups. NewArticles is the text of the
    // article count for new subscriptions (20 when it is no count).
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
        bool Listed = false;  // a tree node took it
    };
    void ReadLists(const TProgress& Progress);
    void AddGroupNode(TTreeNodes& Nodes, const std::string& Name, int Level);
    TTreeNode* NewNode(TTreeNodes& Nodes, TTreeNode* Parent, const std::string& Caption, int Image);
    // Adds the subscription line of every subscribed group of the subtree and marks the group
    // in Marked (by its index in the full list).
    void CollectSubscribed(const TTreeNode* Node, const std::string& NewLineTail,
                           TStringList& Lines, std::vector<bool>& Marked) const;
    // The full list as written back: the header line, then every group, marked ones with '*'.
    std::string MarkedGroupList(const std::vector<bool>& Marked) const;

    std::string FGroupListFile;
    std::string FSubscriptionFile;
    TGroupNames FGroups;
    TStringList FSubscriptions;  // objects: the TSubscription of each name
    std::string FHeaderLine;
    bool FHeaderRemoved = false;
    std::vector<std::unique_ptr<TSubscription>> FSubscriptionLines;
    std::vector<std::unique_ptr<TNodeData>> FNodeData;
    TTreeNode* FRoot = nullptr;
    std::vector<TTreeNode*> FDepthNodes;
};
