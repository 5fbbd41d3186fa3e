// The folder browser with real keys inside its loop: it opens on the folder asked for (inside
// its root), reads a folder's subfolders only when it is opened, walks the tree by the arrows
// and answers the selected folder with OK, nothing with Esc or the close box.
#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QScrollBar>

#include <sys/stat.h>
#include <QTemporaryDir>

#include "platform/core/Wrapping.h"
#include "platform/dialogs/DialogKeys.h"
#include "platform/dialogs/FolderDialog.h"
#include "platform/fs/Files.h"
#include "tests/platform/dialogs/DialogTestSupport.h"

using namespace DialogTest;

namespace {

class FolderDialogs : public testing::Test {
  protected:
    void SetUp() override {
        InitStandardControls();
        Drain();
        ASSERT_TRUE(Temp.isValid());
        Root = Temp.path().toStdString();
        for (const char* Dir : {"/a", "/a/b", "/a/c", "/z", "/.versteckt"})
            mkdir((Root + Dir).c_str(), 0755);
        WriteFile(Root + "/a/datei.txt", "f");
    }
    void TearDown() override {
        ReleaseModifiers();
        Drain();
    }

    TFolderDialogAnswer Run(const TFolderDialogRequest& R,
                            std::vector<std::function<void()>> Steps) {
        return RunWith(std::move(Steps), [&] {
            TFolderDialog Dialog(R);
            return Dialog.RunModal() == IDOK ? Dialog.Answer() : TFolderDialogAnswer{};
        });
    }
    TFolderDialogRequest Request(const std::string& Selected) {
        TFolderDialogRequest R;
        R.Title = "Select Directory";
        R.Root = Root;
        R.Selected = Selected;
        return R;
    }

    static HWND Tree(HWND D) { return GetDlgItem(D, TFolderDialog::kFolderTree); }
    static HTREEITEM Next(HWND D, WPARAM Kind, HTREEITEM From = 0) {
        return HTREEITEM(SendMessage(Tree(D), TVM_GETNEXTITEM, Kind, LPARAM(From)));
    }
    static std::string TextOf(HWND D, HTREEITEM Item) {
        char Buffer[256] = {};
        TVITEM It;
        It.mask = TVIF_HANDLE | TVIF_TEXT;
        It.hItem = Item;
        It.pszText = Buffer;
        It.cchTextMax = sizeof Buffer;
        SendMessage(Tree(D), TVM_GETITEM, 0, LPARAM(&It));
        return Buffer;
    }
    static std::vector<std::string> ChildrenOf(HWND D, HTREEITEM Item) {
        std::vector<std::string> Out;
        for (HTREEITEM C = Next(D, TVGN_CHILD, Item); C; C = Next(D, TVGN_NEXT, C))
            Out.push_back(TextOf(D, C));
        return Out;
    }
    static std::string Selected(HWND D) { return TextOf(D, Next(D, TVGN_CARET)); }

    QTemporaryDir Temp;
    std::string Root;
    HWND D = 0;
};

using TNames = std::vector<std::string>;

}  // namespace

TEST_F(FolderDialogs, OpensOnTheSelectedFolderAndOkAnswersIt) {
    const TFolderDialogAnswer A = Run(Request(Root + "/a/b/"), {[&] {
                                          D = TopDialog();
                                          EXPECT_EQ(GetWindowText(D), "Browse for Folder");
                                          EXPECT_EQ(Selected(D), "b");
                                          EXPECT_EQ(GetFocus(), Tree(D));
                                          const HTREEITEM Top = Next(D, TVGN_ROOT);
                                          EXPECT_EQ(TextOf(D, Top), Root);
                                          // Hidden folders and files are not offered.
                                          EXPECT_EQ(ChildrenOf(D, Top), (TNames{"a", "z"}));
                                          Drain();
                                          Picture(D, "folder");
                                          Key(D, Qt::Key_Return);
                                      }});
    EXPECT_TRUE(A.Accepted);
    EXPECT_EQ(A.Folder, Root + "/a/b");
}

TEST_F(FolderDialogs, TheArrowsWalkTheTreeAndFoldersAreReadWhenOpened) {
    HTREEITEM A = 0;
    const TFolderDialogAnswer Answer =
        Run(Request(Root), {[&] {
                                D = TopDialog();
                                EXPECT_EQ(Selected(D), Root);
                                Key(D, Qt::Key_Down);
                            },
                            [&] {
                                EXPECT_EQ(Selected(D), "a");
                                A = Next(D, TVGN_CARET);
                                // Not read until it is opened.
                                EXPECT_TRUE(ChildrenOf(D, A).empty());
                                Key(D, Qt::Key_Right);
                            },
                            [&] {
                                EXPECT_EQ(ChildrenOf(D, A), (TNames{"b", "c"}));
                                Key(D, Qt::Key_Down);
                                Key(D, Qt::Key_Down);
                            },
                            [&] {
                                EXPECT_EQ(Selected(D), "c");
                                // Tab to OK, and the space bar.
                                Key(D, Qt::Key_Tab);
                            },
                            [&] {
                                EXPECT_EQ(GetFocus(), GetDlgItem(D, IDOK));
                                Key(D, Qt::Key_Space);
                            }});
    EXPECT_EQ(Answer.Folder, Root + "/a/c");
}

TEST_F(FolderDialogs, OutsideItsRootOrWithoutAFolderItOpensWhereItCan) {
    // A folder outside the root: the root is selected.
    TFolderDialogRequest Outside = Request("/usr");
    EXPECT_EQ(Run(Outside, {[&] {
                      D = TopDialog();
                      EXPECT_EQ(Selected(D), Root);
                      Key(D, Qt::Key_Return);
                  }})
                  .Folder,
              Root);
    // No folder given: the working directory.
    const std::string Was = GetCurrentDir();
    ASSERT_TRUE(SetCurrentDir(Root + "/z"));
    const TFolderDialogAnswer Here = Run(Request(""), {[&] { Key(TopDialog(), Qt::Key_Return); }});
    SetCurrentDir(Was);
    EXPECT_EQ(Here.Folder, Root + "/z");
    // A folder without subfolders has no button.
    Run(Request(Root + "/z"), {[&] {
            D = TopDialog();
            TVITEM It;
            It.mask = TVIF_HANDLE | TVIF_CHILDREN;
            It.hItem = Next(D, TVGN_CARET);
            SendMessage(Tree(D), TVM_GETITEM, 0, LPARAM(&It));
            EXPECT_EQ(It.cChildren, 0);
            Key(D, Qt::Key_Escape);
        }});
}

TEST_F(FolderDialogs, EscAndTheCloseBoxAnswerNothing) {
    EXPECT_FALSE(Run(Request(Root), {[&] { Key(TopDialog(), Qt::Key_Escape); }}).Accepted);
    EXPECT_FALSE(Run(Request(Root), {[&] { PostMessage(TopDialog(), WM_SYSCOMMAND, SC_CLOSE, 0); }})
                     .Accepted);
}

TEST_F(FolderDialogs, UnderAGermanLanguageItSpeaksGermanAndItsTreeScrollsSideways) {
    TLanguage German("de_DE.UTF-8");
    const std::string Long(120, 'l');
    mkdir((Root + "/a/" + Long).c_str(), 0755);
    Run(Request(Root + "/a/" + Long), {[&] {
            D = TopDialog();
            EXPECT_EQ(ControlText(D), "Ordner suchen");
            EXPECT_EQ(ControlText(GetDlgItem(D, IDOK)), "OK");
            EXPECT_EQ(ControlText(GetDlgItem(D, IDCANCEL)), "Abbrechen");
            // Long names are not cut: the tree scrolls sideways to them.
            EXPECT_EQ(Selected(D), Long);
            Drain();
            auto* View = qobject_cast<QAbstractScrollArea*>(AttachedWidget(Tree(D)));
            ASSERT_NE(View, nullptr);
            EXPECT_GT(View->horizontalScrollBar()->maximum(), 0);
            Picture(D, "folder-german-long-name");
            Key(D, Qt::Key_Escape);
        }});
}
