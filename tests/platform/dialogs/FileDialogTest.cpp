// The open and save dialogs with real keys and clicks inside their loop: what they list and how
// the type list filters it, folders opened by double click, Enter, typed names and Backspace,
// typed names with the default extension, the question before a file is replaced, the refusal
// of a missing file, several files chosen at once and names the window cannot show.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QTemporaryDir>

#include "platform/dialogs/DialogKeys.h"
#include "platform/dialogs/DialogTexts.h"
#include "platform/dialogs/FileDialog.h"
#include "tests/platform/dialogs/DialogTestSupport.h"

using namespace DialogTest;

namespace {

const char* const kFilter = "Kestro Konfiguration|*.cfg|Crosspoint Boxenkonfiguration|*.bfg";
// A name Windows-1252 cannot show: the window shows "??.cfg".
const char* const kWideName = "\xE6\x97\xA5\xE6\x9C\xAC.cfg";

class FileDialogs : public testing::Test {
  protected:
    void SetUp() override {
        InitStandardControls();
        Drain();
        ASSERT_TRUE(Temp.isValid());
        Dir = Temp.path().toStdString();
        WriteFile(Dir + "/box.cfg", std::string(100, 'b'));
        WriteFile(Dir + "/konfig.cfg", std::string(2000, 'k'));
        WriteFile(Dir + "/other.bfg", "o");
        WriteFile(Dir + "/readme.txt", "r");
        WriteFile(Dir + "/" + kWideName, "w");
        WriteFile(Dir + "/.hidden.cfg", "h");
        mkdir((Dir + "/spool").c_str(), 0755);
        WriteFile(Dir + "/spool/m1.msg", "m");
    }
    void TearDown() override {
        ReleaseModifiers();
        Drain();
    }

    TFileDialogRequest Request(TFileDialogKind Kind, const char* Filter = kFilter) {
        TFileDialogRequest R;
        R.Kind = Kind;
        R.Title =
            Kind == TFileDialogKind::Save ? "Konfiguration speichern" : "Konfiguration öffnen";
        R.Filter = Filter;
        R.InitialDir = Dir;
        return R;
    }
    TFileDialogAnswer Run(const TFileDialogRequest& R, std::vector<std::function<void()>> Steps) {
        return RunWith(std::move(Steps), [&] {
            TFileDialog Dialog(R);
            return Dialog.RunModal() == IDOK ? Dialog.Answer() : TFileDialogAnswer{};
        });
    }

    static HWND List(HWND D) { return GetDlgItem(D, TFileDialog::kFileList); }
    static HWND Name(HWND D) { return GetDlgItem(D, TFileDialog::kNameEdit); }
    static std::string Cell(HWND D, int Item, int Column) {
        char Buffer[256] = {};
        LVITEM It;
        It.iSubItem = Column;
        It.pszText = Buffer;
        It.cchTextMax = sizeof Buffer;
        SendMessage(List(D), LVM_GETITEMTEXT, WPARAM(Item), LPARAM(&It));
        return Buffer;
    }
    // The names the list shows, in order.
    static std::vector<std::string> Listed(HWND D) {
        std::vector<std::string> Out;
        const int N = int(SendMessage(List(D), LVM_GETITEMCOUNT, 0, 0));
        for (int I = 0; I < N; ++I) Out.push_back(Cell(D, I, 0));
        return Out;
    }
    // The folder the "Look in" box shows.
    static std::string Shown(HWND D) {
        return GetWindowText(GetDlgItem(D, TFileDialog::kFolderBox));
    }
    static POINT ItemPoint(HWND D, const std::string& Text) {
        LVFINDINFO Find;
        Find.flags = LVFI_STRING;
        Find.psz = Text.c_str();
        const LRESULT Index = SendMessage(List(D), LVM_FINDITEM, WPARAM(-1), LPARAM(&Find));
        EXPECT_GE(Index, 0) << Text;
        RECT R{};
        R.left = LVIR_LABEL;
        SendMessage(List(D), LVM_GETITEMRECT, WPARAM(Index), LPARAM(&R));
        return ScreenOf(List(D), POINT{R.left + 8, (R.top + R.bottom) / 2});
    }
    static void ClickItem(HWND D, const std::string& Text, Qt::KeyboardModifiers Mods = {}) {
        if (QWindow* W = InputWindow(D))
            QTest::mouseClick(W, Qt::LeftButton, Mods, LocalOf(D, ItemPoint(D, Text)));
    }
    static void DoubleClickItem(HWND D, const std::string& Text) {
        if (InputWindow(D)) MouseDoubleClick(D, ItemPoint(D, Text));
    }

    QTemporaryDir Temp;
    std::string Dir;
    HWND D = 0;
};

using TNames = std::vector<std::string>;

}  // namespace

TEST_F(FileDialogs, ListsFoldersFirstThenTheFilesOfTheChosenTypeWithSizesAndDates) {
    const TFileDialogAnswer A =
        Run(Request(TFileDialogKind::Open),
            {[&] {
                 D = TopDialog();
                 EXPECT_EQ(GetWindowText(D),
                           "Konfiguration \xF6"
                           "ffnen");
                 EXPECT_EQ(Shown(D), Dir);
                 // Hidden files stay hidden; the wide name shows what the window can.
                 EXPECT_EQ(Listed(D), (TNames{"spool", "box.cfg", "konfig.cfg", "??.cfg"}));
                 EXPECT_EQ(Cell(D, 0, 1), "");
                 EXPECT_EQ(Cell(D, 1, 1), "1 KB");
                 EXPECT_EQ(Cell(D, 2, 1), "2 KB");
                 EXPECT_EQ(Cell(D, 1, 2).size(), 16u);  // 2024-03-12 14:05
                 EXPECT_EQ(GetFocus(), Name(D));
                 Picture(D, "open");
                 // The type list, reached by its label's letter.
                 KeyWith(D, Qt::Key_Alt, Qt::Key_T);
             },
             [&] {
                 Release(Qt::Key_Alt);
                 EXPECT_EQ(GetFocus(), GetDlgItem(D, TFileDialog::kTypeBox));
                 Key(D, Qt::Key_Down);
             },
             [&] {
                 EXPECT_EQ(Listed(D), (TNames{"spool", "other.bfg"}));
                 Key(D, Qt::Key_Escape);
             }});
    EXPECT_FALSE(A.Accepted);
}

TEST_F(FileDialogs, TypedNamesGetTheDefaultExtensionAndTheTypeChosen) {
    TFileDialogRequest R = Request(TFileDialogKind::Save);
    R.DefaultExt = "cfg";
    R.FilterIndex = 2;
    const TFileDialogAnswer A = Run(R, {[&] {
                                        D = TopDialog();
                                        Drain();
                                        Picture(D, "save");
                                        Type(D, "neu");
                                        Key(D, Qt::Key_Return);
                                    }});
    EXPECT_TRUE(A.Accepted);
    EXPECT_EQ(A.Files, TNames{Dir + "/neu.cfg"});
    EXPECT_EQ(A.FilterIndex, 2);
    // The name given opens the dialog in its folder and stands in the name field.
    R.InitialDir.clear();
    R.FileName = Dir + "/spool/m1.msg";
    const TFileDialogAnswer Kept = Run(R, {[&] {
                                           D = TopDialog();
                                           EXPECT_EQ(Shown(D), Dir + "/spool");
                                           EXPECT_EQ(GetWindowText(Name(D)), "m1.msg");
                                           Key(D, Qt::Key_Return);
                                       }});
    EXPECT_EQ(Kept.Files, TNames{Dir + "/spool/m1.msg"});
}

TEST_F(FileDialogs, SavingOverAnExistingFileAsksFirst) {
    TFileDialogRequest R = Request(TFileDialogKind::Save);
    R.DefaultExt = "cfg";
    R.OverwritePrompt = true;
    HWND Question = 0;
    const TFileDialogAnswer A =
        Run(R, {[&] {
                    D = TopDialog();
                    Type(D, "box");
                    Key(D, Qt::Key_Return);
                },
                [&] {
                    Question = TopDialog(2);
                    ASSERT_NE(Question, D);
                    EXPECT_EQ(GetWindowText(Question), "Konfiguration speichern");
                    // The dialog under the question takes no input meanwhile.
                    EXPECT_FALSE(IsWindowEnabled(D));
                    Drain();
                    Picture(Question, "replace-question");
                    // No is the default: Enter keeps the file.
                    Key(Question, Qt::Key_Return);
                },
                [&] {
                    EXPECT_EQ(OpenDialogs(), std::vector<HWND>{D});
                    EXPECT_TRUE(IsWindowEnabled(D));
                    Key(D, Qt::Key_Return);
                },
                [&] { Key(TopDialog(2), Qt::Key_Y); }});
    EXPECT_TRUE(A.Accepted);
    EXPECT_EQ(A.Files, TNames{Dir + "/box.cfg"});
    // Without the request's question the name is taken at once.
    R.OverwritePrompt = false;
    EXPECT_TRUE(Run(R, {[&] {
                        D = TopDialog();
                        Type(D, "box.cfg");
                        Key(D, Qt::Key_Return);
                    }})
                    .Accepted);
}

TEST_F(FileDialogs, OpenRefusesAMissingFileWhenItMustExist) {
    TFileDialogRequest R = Request(TFileDialogKind::Open);
    R.FileMustExist = true;
    const TFileDialogAnswer A = Run(R, {[&] {
                                            D = TopDialog();
                                            Type(D, "fehlt.cfg");
                                            Key(D, Qt::Key_Return);
                                        },
                                        [&] {
                                            const HWND Box = TopDialog(2);
                                            Drain();
                                            Picture(Box, "file-not-found");
                                            Key(Box, Qt::Key_Return);
                                        },
                                        [&] {
                                            // Back in the dialog, the name still there.
                                            EXPECT_EQ(OpenDialogs().size(), 1u);
                                            EXPECT_EQ(GetWindowText(Name(D)), "fehlt.cfg");
                                            Key(D, Qt::Key_Escape);
                                        }});
    EXPECT_FALSE(A.Accepted);
    // Not asked to exist, the name is taken.
    R.FileMustExist = false;
    EXPECT_EQ(Run(R, {[&] {
                      D = TopDialog();
                      Type(D, "fehlt.cfg");
                      Key(D, Qt::Key_Return);
                  }})
                  .Files,
              TNames{Dir + "/fehlt.cfg"});
}

TEST_F(FileDialogs, FoldersOpenByDoubleClickEnterAndTypedNamesAndBackspaceGoesUp) {
    std::vector<std::function<void()>> Steps;
    Steps.push_back([&] {
        D = TopDialog();
        DoubleClickItem(D, "spool");
    });
    Steps.push_back([&] {
        EXPECT_EQ(Shown(D), Dir + "/spool");
        EXPECT_EQ(Listed(D), TNames{"m1.msg"});
        ClickItem(D, "m1.msg");
    });
    Steps.push_back([&] {
        EXPECT_EQ(GetWindowText(Name(D)), "m1.msg");
        // Backspace in the list goes up.
        Key(D, Qt::Key_Backspace);
    });
    Steps.push_back([&] {
        EXPECT_EQ(Shown(D), Dir);
        // Enter on a folder of the list opens it (a click where the last one was would be a
        // double click).
        Key(D, Qt::Key_Home);
    });
    Steps.push_back([&] { Key(D, Qt::Key_Return); });
    Steps.push_back([&] {
        EXPECT_EQ(Shown(D), Dir + "/spool");
        // The "Up" button, by its letter.
        KeyWith(D, Qt::Key_Alt, Qt::Key_U);
    });
    Steps.push_back([&] {
        Release(Qt::Key_Alt);
        EXPECT_EQ(Shown(D), Dir);
        // The name field by its label's letter: its text is selected, typing replaces it.
        KeyWith(D, Qt::Key_Alt, Qt::Key_N);
    });
    Steps.push_back([&] {
        Release(Qt::Key_Alt);
        // A typed folder opens and leaves the field empty.
        Type(D, "spool");
        Key(D, Qt::Key_Return);
    });
    Steps.push_back([&] {
        EXPECT_EQ(Shown(D), Dir + "/spool");
        EXPECT_EQ(GetWindowText(Name(D)), "");
        // A typed name is relative to the folder shown.
        Type(D, "../readme.txt");
        Key(D, Qt::Key_Return);
    });
    const TFileDialogAnswer A =
        Run(Request(TFileDialogKind::Open, "Alle Dateien|*.*"), std::move(Steps));
    EXPECT_EQ(A.Files, TNames{Dir + "/readme.txt"});
}

TEST_F(FileDialogs, TypedPatternsListTheFolderByThem) {
    const TFileDialogAnswer A = Run(Request(TFileDialogKind::Open),
                                    {[&] {
                                         D = TopDialog();
                                         Type(D, "*.txt");
                                         Key(D, Qt::Key_Return);
                                     },
                                     [&] {
                                         EXPECT_EQ(Listed(D), (TNames{"spool", "readme.txt"}));
                                         DoubleClickItem(D, "readme.txt");
                                     }});
    EXPECT_EQ(A.Files, TNames{Dir + "/readme.txt"});
    EXPECT_EQ(A.FilterIndex, 1);
}

TEST_F(FileDialogs, ANameTheWindowCannotShowKeepsItsBytes) {
    const TFileDialogAnswer A =
        Run(Request(TFileDialogKind::Open), {[&] {
                                                 D = TopDialog();
                                                 ClickItem(D, "??.cfg");
                                             },
                                             [&] {
                                                 EXPECT_EQ(GetWindowText(Name(D)), "??.cfg");
                                                 Key(D, Qt::Key_Return);
                                             }});
    EXPECT_EQ(A.Files, TNames{Dir + "/" + kWideName});
}

TEST_F(FileDialogs, MultipleSelectionGivesEveryChosenFile) {
    TFileDialogRequest R = Request(TFileDialogKind::Open);
    R.AllowMultiSelect = true;
    R.FileMustExist = true;
    const TFileDialogAnswer A =
        Run(R, {[&] {
                    D = TopDialog();
                    ClickItem(D, "box.cfg");
                },
                [&] { ClickItem(D, "konfig.cfg", Qt::ControlModifier); },
                [&] {
                    EXPECT_EQ(GetWindowText(Name(D)), "\"box.cfg\" \"konfig.cfg\"");
                    Key(D, Qt::Key_Return);
                }});
    EXPECT_EQ(A.Files, (TNames{Dir + "/box.cfg", Dir + "/konfig.cfg"}));
}

TEST_F(FileDialogs, UnderAGermanLanguageItSpeaksGerman) {
    TLanguage German("de_DE.UTF-8");
    const auto Texts = [&](TFileDialogKind Kind) {
        std::vector<std::string> Out;
        TFileDialogRequest R = Request(Kind);
        R.Title.clear();
        Run(R, {[&] {
                D = TopDialog();
                Out.push_back(ControlText(D));
                for (UINT Id : {UINT(TFileDialog::kFolderLabel), UINT(TFileDialog::kNameLabel),
                                UINT(TFileDialog::kTypeLabel), UINT(IDOK), UINT(IDCANCEL)})
                    Out.push_back(ControlText(GetDlgItem(D, int(Id))));
                Key(D, Qt::Key_Escape);
            }});
        return Out;
    };
    EXPECT_EQ(Texts(TFileDialogKind::Open),
              (TNames{"Öffnen", "Suchen in:", "Dateiname:", "Dateityp:", "Öffnen", "Abbrechen"}));
    EXPECT_EQ(Texts(TFileDialogKind::Save),
              (TNames{"Speichern unter", "Speichern in:", "Dateiname:", "Dateityp:", "Speichern",
                      "Abbrechen"}));
}
