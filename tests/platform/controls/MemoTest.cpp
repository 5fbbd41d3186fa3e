// Multi-line edits (text in and out with CR LF, positions that count a line end as two, lines
// as shown, typing, scrolling, dragging) and what both kinds of edit share: the clipboard
// messages and keys, undo, the parent's colours.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QScrollBar>

#include "platform/controls/Controls.h"
#include "platform/controls/MemoText.h"
#include "platform/core/Wrapping.h"
#include "platform/shell/Clipboard.h"
#include "tests/platform/controls/ControlTestSupport.h"

using namespace ControlTest;

namespace {

TEST(MemoText, LineEndsOfEveryKindComeInAsOneAndGoOutAsCrLf) {
    struct TCase {
        std::string In;
        QString Document;
        std::string Out;
    };
    const TCase Cases[] = {
        {"eins\r\nzwei", QStringLiteral("eins\nzwei"), "eins\r\nzwei"},
        {"eins\nzwei\rdrei", QStringLiteral("eins\nzwei\ndrei"), "eins\r\nzwei\r\ndrei"},
        {"a\r\r\nb\n\r", QStringLiteral("a\n\nb\n\n"), "a\r\n\r\nb\r\n\r\n"},
        {"\r\n", QStringLiteral("\n"), "\r\n"},
        // Windows-1252 bytes, the no-break space among them, go through unchanged.
        {"\xA0\x80\xFC", QStringLiteral("\u00A0\u20AC\u00FC"), "\xA0\x80\xFC"},
    };
    for (const TCase& C : Cases) {
        EXPECT_EQ(MemoTextOf(C.In), C.Document) << C.In;
        QString Raw = C.Document;
        Raw.replace(QLatin1Char('\n'), QChar::ParagraphSeparator);
        EXPECT_EQ(MemoBytesOf(Raw), C.Out) << C.In;
        EXPECT_EQ(WithCrLf(C.In), C.Out) << C.In;
    }
    EXPECT_EQ(MemoBytesOf(QStringLiteral("a\u2028b\nc")), "a\r\nb\r\nc");
}

class Edits : public TControlForm {
  protected:
    void SetUp() override {
        SetClipboardService(std::make_unique<TMemoryClipboardService>());
        TControlForm::SetUp();
        Windows().Recorded = {WM_COMMAND};
    }
    void TearDown() override {
        ReleaseCapture();
        TControlForm::TearDown();
        SetClipboardService(nullptr);
    }
    HWND Edit(DWORD Style, RECT R = {10, 10, 210, 110}, const char* Text = "") {
        const HWND E =
            CreateWindowEx(WS_EX_CLIENTEDGE, "EDIT", Text, WS_CHILD | WS_VISIBLE | Style, R.left,
                           R.top, R.right - R.left, R.bottom - R.top, Form, 5, 0, nullptr);
        EXPECT_NE(E, 0u);
        Drain();
        return E;
    }
    static QPlainTextEdit* Memo(HWND E) { return qobject_cast<QPlainTextEdit*>(AttachedWidget(E)); }
    static LRESULT Send(HWND E, UINT Msg, WPARAM W = 0, LPARAM L = 0) {
        return SendMessage(E, Msg, W, L);
    }
    static std::string Line(HWND E, int Index, WORD Room = 200) {
        std::string Buffer(Room + 2, '\0');
        std::memcpy(Buffer.data(), &Room, sizeof Room);
        const LRESULT N =
            Send(E, EM_GETLINE, WPARAM(Index), reinterpret_cast<LPARAM>(Buffer.data()));
        return Buffer.substr(0, size_t(N));
    }
    static std::pair<DWORD, DWORD> Sel(HWND E) {
        DWORD Start = 0;
        DWORD End = 0;
        Send(E, EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
        return {Start, End};
    }
    void Keys(const std::vector<std::pair<int, Qt::KeyboardModifiers>>& Keys) {
        for (const auto& [Key, Mods] : Keys) QTest::keyClick(QtWindowOf(Form), Qt::Key(Key), Mods);
        Drain();
    }
};

TEST_F(Edits, AMemoTakesAnyLineEndsAndGivesCrLf) {
    const HWND E = Edit(ES_MULTILINE | WS_VSCROLL | WS_HSCROLL);
    QPlainTextEdit* M = Memo(E);
    ASSERT_NE(M, nullptr);
    EXPECT_EQ(M->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(M->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    Windows().Log.clear();
    SetWindowText(E, "eins\r\nzwei\ndrei\rvier \xA0\x80");
    EXPECT_EQ(Codes(), (std::vector<WORD>{EN_UPDATE, EN_CHANGE}));
    EXPECT_EQ(GetWindowText(E), "eins\r\nzwei\r\ndrei\r\nvier \xA0\x80");
    EXPECT_EQ(GetWindowTextLength(E), 25);
    EXPECT_EQ(M->document()->blockCount(), 4);
    EXPECT_FALSE(Send(E, EM_GETMODIFY));
    EXPECT_FALSE(Send(E, EM_CANUNDO));
    EXPECT_EQ(Send(E, WM_GETDLGCODE),
              DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | DLGC_WANTALLKEYS);
    // Beyond what a user may type, WM_SETTEXT still takes it all.
    const std::string Long(40000, 'x');
    SetWindowText(E, Long);
    EXPECT_EQ(GetWindowTextLength(E), 40000);
}

TEST_F(Edits, PositionsCountALineEndAsTwo) {
    const HWND E = Edit(ES_MULTILINE | ES_AUTOHSCROLL | WS_VSCROLL, {10, 10, 210, 110},
                        "eins\r\nzwei\r\n\r\ndrei");
    EXPECT_EQ(Send(E, EM_GETLINECOUNT), 4);
    struct TLine {
        int Line;
        LRESULT Index;
        std::string Text;
    };
    for (const TLine& L : {TLine{0, 0, "eins"}, TLine{1, 6, "zwei"}, TLine{2, 12, ""},
                           TLine{3, 14, "drei"}, TLine{4, -1, ""}}) {
        EXPECT_EQ(Send(E, EM_LINEINDEX, WPARAM(L.Line)), L.Index) << L.Line;
        EXPECT_EQ(Line(E, L.Line), L.Text) << L.Line;
    }
    struct TChar {
        int Pos;
        LRESULT Line;
        LRESULT Length;
    };
    // Position 5 lies between CR and LF: it belongs to the line it ends.
    for (const TChar& C : {TChar{0, 0, 4}, TChar{4, 0, 4}, TChar{5, 0, 4}, TChar{6, 1, 4},
                           TChar{13, 2, 0}, TChar{14, 3, 4}, TChar{500, 3, 4}}) {
        EXPECT_EQ(Send(E, EM_LINEFROMCHAR, WPARAM(C.Pos)), C.Line) << C.Pos;
        EXPECT_EQ(Send(E, EM_LINELENGTH, WPARAM(C.Pos)), C.Length) << C.Pos;
    }
    EXPECT_EQ(Line(E, 1, 2), "zw");
    // A selection across a line end: the clipboard gets CR LF, the positions come back.
    Send(E, EM_SETSEL, 2, 8);
    EXPECT_EQ(Sel(E), (std::pair<DWORD, DWORD>{2, 8}));
    EXPECT_EQ(Send(E, EM_LINEFROMCHAR, WPARAM(-1)), 0);
    // Unselected on the lines it touches: "ei" and "ei".
    EXPECT_EQ(Send(E, EM_LINELENGTH, WPARAM(-1)), 4);
    Send(E, WM_COPY);
    EXPECT_EQ(Clipboard().AsText(), "ns\r\nzw");
    Send(E, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("N\nZ"));
    EXPECT_EQ(GetWindowText(E), "eiN\r\nZei\r\n\r\ndrei");
    EXPECT_EQ(Sel(E), (std::pair<DWORD, DWORD>{6, 6}));
    EXPECT_EQ(Send(E, EM_LINEINDEX, WPARAM(-1)), 5);
    EXPECT_TRUE(Send(E, EM_CANUNDO));
    EXPECT_TRUE(Send(E, EM_UNDO));
    EXPECT_EQ(GetWindowText(E), "eins\r\nzwei\r\n\r\ndrei");
    // A second undo takes the first one back.
    Send(E, WM_UNDO);
    EXPECT_EQ(GetWindowText(E), "eiN\r\nZei\r\n\r\ndrei");
    Send(E, EM_EMPTYUNDOBUFFER);
    EXPECT_FALSE(Send(E, EM_CANUNDO));
}

TEST_F(Edits, LinesThatWrapCountOnePerRow) {
    const HWND E = Edit(ES_MULTILINE | WS_VSCROLL, {10, 10, 110, 200},
                        "ein langer Satz, der hier umbrechen muss\r\nkurz");
    EXPECT_EQ(Memo(E)->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    const auto Count = int(Send(E, EM_GETLINECOUNT));
    ASSERT_GT(Count, 2);
    // The rows of the first line give it back whole; the last line stands alone.
    std::string First;
    for (int I = 0; I < Count - 1; ++I) {
        EXPECT_EQ(Send(E, EM_LINEINDEX, WPARAM(I)), LRESULT(First.size())) << I;
        First += Line(E, I);
        EXPECT_EQ(Send(E, EM_LINEFROMCHAR, Send(E, EM_LINEINDEX, WPARAM(I))), I);
    }
    EXPECT_EQ(First, "ein langer Satz, der hier umbrechen muss");
    EXPECT_EQ(Line(E, Count - 1), "kurz");
    EXPECT_EQ(Send(E, EM_LINEINDEX, WPARAM(Count - 1)), LRESULT(First.size() + 2));
    EXPECT_EQ(Send(E, EM_LINEFROMCHAR, WPARAM(First.size() + 3)), Count - 1);
}

TEST_F(Edits, ReturnAndTabTypeInAMemoOnce) {
    const HWND E = Edit(ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL);
    SetFocus(E);
    Windows().Log.clear();
    Keys({{Qt::Key_A, {}},
          {Qt::Key_B, {}},
          {Qt::Key_Return, {}},
          {Qt::Key_Tab, {}},
          {Qt::Key_C, {}}});
    EXPECT_EQ(GetWindowText(E), "ab\r\n\tc");
    EXPECT_TRUE(Send(E, EM_GETMODIFY));
    EXPECT_EQ(Sel(E), (std::pair<DWORD, DWORD>{6, 6}));
    // The limit counts the line end as two.
    Send(E, EM_LIMITTEXT, 7);
    Windows().Log.clear();
    Keys({{Qt::Key_Return, {}}, {Qt::Key_D, {}}});
    EXPECT_EQ(GetWindowText(E), "ab\r\n\tcd");
    EXPECT_EQ(Codes(), (std::vector<WORD>{EN_MAXTEXT, EN_UPDATE, EN_CHANGE}));
    EXPECT_EQ(Send(E, EM_GETLIMITTEXT), 7);
    Send(E, EM_LIMITTEXT, 0);
    EXPECT_EQ(Send(E, EM_GETLIMITTEXT), LRESULT(kMemoMaxLength));
    // Read-only: nothing is typed.
    Send(E, EM_SETREADONLY, TRUE);
    Keys({{Qt::Key_X, {}}, {Qt::Key_Return, {}}});
    EXPECT_EQ(GetWindowText(E), "ab\r\n\tcd");
}

TEST_F(Edits, TheClipboardGoesThroughTheProgramsServiceAndItsKeys) {
    const HWND One = Edit(0, {10, 10, 210, 34}, "Hallo Welt");
    SetFocus(One);
    Send(One, EM_SETSEL, 0, 5);
    Keys({{Qt::Key_C, Qt::ControlModifier}});
    EXPECT_EQ(Clipboard().AsText(), "Hallo");
    Keys({{Qt::Key_Delete, Qt::ShiftModifier}});  // cut
    EXPECT_EQ(GetWindowText(One), " Welt");
    Send(One, EM_SETSEL, 5, 5);
    Keys({{Qt::Key_V, Qt::ControlModifier}, {Qt::Key_Insert, Qt::ShiftModifier}});
    EXPECT_EQ(GetWindowText(One), " WeltHalloHallo");
    // Undo goes back, and a second undo takes it back again.
    Keys({{Qt::Key_Z, Qt::ControlModifier}});
    EXPECT_NE(GetWindowText(One), " WeltHalloHallo");
    Keys({{Qt::Key_Z, Qt::ControlModifier}});
    EXPECT_EQ(GetWindowText(One), " WeltHalloHallo");
    // One line takes the first line of what is pasted, and no more than its limit.
    Clipboard().SetAsText("eins\r\nzwei");
    Send(One, EM_SETSEL, 0, -1);
    Send(One, WM_PASTE);
    EXPECT_EQ(GetWindowText(One), "eins");
    Send(One, EM_LIMITTEXT, 6);
    Windows().Log.clear();
    Send(One, WM_PASTE);
    EXPECT_EQ(GetWindowText(One), "einsei");
    EXPECT_EQ(Codes().front(), EN_MAXTEXT);
    Send(One, EM_SETSEL, 0, 2);
    Send(One, WM_CLEAR);
    EXPECT_EQ(GetWindowText(One), "nsei");
    // A password is never copied; a read-only edit keeps its text.
    const HWND Secret = Edit(ES_PASSWORD, {10, 40, 210, 64}, "geheim");
    Send(Secret, EM_SETSEL, 0, -1);
    Send(Secret, WM_COPY);
    Send(Secret, WM_CUT);
    EXPECT_EQ(Clipboard().AsText(), "eins\r\nzwei");
    EXPECT_EQ(GetWindowText(Secret), "geheim");
    Send(One, EM_SETREADONLY, TRUE);
    Send(One, EM_SETSEL, 0, -1);
    Send(One, WM_CUT);
    Send(One, WM_PASTE);
    EXPECT_EQ(GetWindowText(One), "nsei");
    EXPECT_EQ(Clipboard().AsText(), "nsei");
    // Many lines take them all, any line end becoming CR LF.
    const HWND Many = Edit(ES_MULTILINE, {10, 70, 210, 150}, "[]");
    Clipboard().SetAsText("a\nb");
    Send(Many, EM_SETSEL, 1, 1);
    Send(Many, WM_PASTE);
    EXPECT_EQ(GetWindowText(Many), "[a\r\nb]");
    EXPECT_EQ(Sel(Many), (std::pair<DWORD, DWORD>{5, 5}));
}

TEST_F(Edits, ALimitStopsTypingButCutsNothingHeld) {
    for (const DWORD Kind : {DWORD(0), ES_MULTILINE}) {
        SCOPED_TRACE(Kind ? "many lines" : "one line");
        const HWND E = Edit(Kind, {10, 10, 210, 60}, "Hallo Welt");
        Send(E, EM_LIMITTEXT, 3);
        EXPECT_EQ(GetWindowText(E), "Hallo Welt");
        SetFocus(E);
        Send(E, EM_SETSEL, 10, 10);
        Windows().Log.clear();
        Keys({{Qt::Key_X, {}}});
        EXPECT_EQ(GetWindowText(E), "Hallo Welt");
        EXPECT_EQ(Codes(), (std::vector<WORD>{EN_MAXTEXT}));
        // In place of a selection it fits again.
        Send(E, EM_SETSEL, 0, -1);
        Keys({{Qt::Key_X, {}}});
        EXPECT_EQ(GetWindowText(E), "x");
        DestroyWindow(E);
    }
}

TEST_F(Edits, TheViewMovesOnlyWhenAsked) {
    std::string Text;
    for (int I = 0; I < 100; ++I) Text += "Zeile " + std::to_string(I) + "\r\n";
    const HWND E =
        Edit(ES_MULTILINE | ES_AUTOHSCROLL | WS_VSCROLL, {10, 10, 210, 110}, Text.c_str());
    EXPECT_EQ(Send(E, EM_GETLINECOUNT), 101);
    const LRESULT At = Send(E, EM_LINEINDEX, 90);
    Send(E, EM_SETSEL, WPARAM(At), At + 2);
    EXPECT_EQ(Send(E, EM_GETFIRSTVISIBLELINE), 0);
    Send(E, EM_SCROLLCARET);
    const LRESULT Top = Send(E, EM_GETFIRSTVISIBLELINE);
    EXPECT_GT(Top, 80);
    EXPECT_LE(Top, 90);
    EXPECT_TRUE(Send(E, EM_LINESCROLL, 0, -20));
    EXPECT_EQ(Send(E, EM_GETFIRSTVISIBLELINE), Top - 20);
    // One line does not scroll by lines.
    const HWND One = Edit(0, {10, 120, 210, 144}, "eins");
    EXPECT_FALSE(Send(One, EM_LINESCROLL, 0, 1));
    EXPECT_EQ(Send(One, EM_GETLINECOUNT), 1);
    EXPECT_EQ(Line(One, 0), "eins");
}

TEST_F(Edits, ADragSelectsOnBeyondTheEdit) {
    const HWND E = Edit(ES_MULTILINE | WS_VSCROLL, {10, 10, 210, 110}, "eins\r\nzwei\r\ndrei");
    const POINT Start = ScreenOf(E, {6, 6});
    MouseMove(Form, Start);
    MousePress(Form, Start);
    Drain();
    EXPECT_EQ(GetCapture(), E);
    // Far below and right of the edit: the selection runs to the end.
    MouseMove(Form, ScreenOf(E, {300, 250}));
    Drain();
    MouseRelease(Form, ScreenOf(E, {300, 250}));
    Drain();
    EXPECT_EQ(GetCapture(), 0u);
    EXPECT_EQ(Sel(E), (std::pair<DWORD, DWORD>{0, 16}));
    // A press in the selection starts a new one (no text is dragged).
    MouseMove(Form, ScreenOf(E, {8, 6}));
    MouseClick(Form, ScreenOf(E, {8, 6}));
    Drain();
    const auto [From, To] = Sel(E);
    EXPECT_EQ(From, To);
    EXPECT_EQ(GetWindowText(E), "eins\r\nzwei\r\ndrei");
}

TEST_F(Edits, ReadOnlyEditsAreColouredAsStaticText) {
    std::vector<UINT> Asked;
    Windows().Handlers[Form] = [&](HWND, UINT M, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (M == WM_CTLCOLOREDIT || M == WM_CTLCOLORSTATIC) Asked.push_back(M);
        return std::nullopt;
    };
    const HWND Normal =
        Edit(ES_MULTILINE | WS_VSCROLL | WS_HSCROLL, {10, 10, 210, 110},
             "Quelltext\r\n\tmit Tab\r\nund einer langen Zeile, die nicht umbricht");
    const HWND Fixed = Edit(ES_MULTILINE | ES_READONLY | WS_VSCROLL, {220, 10, 390, 110},
                            "Nur lesen: eine lange Zeile, die umbricht.\r\nZweite Zeile");
    EXPECT_NE(std::find(Asked.begin(), Asked.end(), WM_CTLCOLOREDIT), Asked.end());
    EXPECT_NE(std::find(Asked.begin(), Asked.end(), WM_CTLCOLORSTATIC), Asked.end());
    ASSERT_TRUE(SaveWindowPicture(Form, PicturePath("memos")));
    // White where one is typed into, the face colour where one only reads.
    EXPECT_EQ(PixelAt(Normal, 150, 60), ColorOf(GetSysColor(COLOR_WINDOW)));
    EXPECT_EQ(PixelAt(Fixed, 120, 80), ColorOf(GetSysColor(COLOR_BTNFACE)));
    Windows().Handlers.clear();
}

TEST_F(Edits, ABigTextGoesInAndOutWhole) {
    std::string Text;
    int Lines = 0;
    while (Text.size() < 1000000) {
        Text += "Received: from host" + std::to_string(Lines++) + " \xE4\xF6\xFC\x80 by relay\r\n";
    }
    const HWND E = Edit(ES_MULTILINE | WS_VSCROLL | WS_HSCROLL);
    SetWindowText(E, Text);
    EXPECT_EQ(size_t(GetWindowTextLength(E)), Text.size());
    EXPECT_EQ(GetWindowText(E), Text);
    EXPECT_EQ(Send(E, EM_GETLINECOUNT), Lines + 1);
    const LRESULT Last = Send(E, EM_LINEINDEX, WPARAM(Lines - 1));
    EXPECT_EQ(Text.substr(size_t(Last), 19), "Received: from host");
    EXPECT_EQ(Send(E, EM_LINEFROMCHAR, WPARAM(Last + 3)), Lines - 1);
}

}  // namespace
