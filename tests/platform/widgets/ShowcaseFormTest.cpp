// The showcase form on Qt's offscreen platform: read from its definition, laid out again by Align
// and Anchors when it changes size, painted like a classic dialog, and shown modal from a socket's
// handler while the socket receives.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QTimer>
#include <thread>

#include "platform/net/WinSock.h"
#include "tests/platform/widgets/ShowcaseForm.h"
#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;
using namespace Showcase;

namespace {

std::string ShowcasePicture(const std::string& Name) {
    return std::string(KESTRO_BINARY_DIR) + "/pictures/widgets/" + Name + ".png";
}

// The pixel of the form's picture at a point of a control's client area.
QRgb PixelOf(TCustomForm* Form, TControl* Control, int X, int Y) {
    const TPoint P = Control->ClientToScreen(TPoint{X, Y});
    RECT R;
    GetWindowRect(Form->Handle(), &R);
    return PixelAt(Form->Handle(), P.X - R.left, P.Y - R.top);
}

class ShowcaseForm : public ShowcaseFixture {
  protected:
    void ShowForm() {
        Form->Show();
        Drain();
    }
};

TEST_F(ShowcaseForm, ItsDefinitionLaysOutByAlignAndAnchorsThroughTwoResizes) {
    EXPECT_EQ(Form->ClientWidth(), 600);
    EXPECT_EQ(Form->ClientHeight(), 420);
    ShowForm();
    EXPECT_EQ(BoundsDump(Form), kDesignedLayout);

    // Larger by 160 x 100: the tree keeps its width, the pages take the rest; on the page the
    // edits and the lists stretch, the right column moves with the right edge.
    Form->SetClientSize(760, 520);
    Drain();
    EXPECT_EQ(BoundsDump(Form),
              "ToolBar 0,0 760x28\nSpeedOpen 4,2 23x22\nSpeedLeft 34,2 23x22\n"
              "SpeedRight 57,2 23x22\nSpeedFlat 87,2 23x22\nStatusBar 0,501 760x19\n"
              "ButtonPanel 0,463 760x38\nBitHelp 8,7 80x25\nButtonOk 504,7 80x25\n"
              "ButtonCancel 588,7 80x25\nButtonApply 672,7 80x25\nTree 0,28 140x435\n"
              "Splitter 140,28 4x435\nPages 144,28 616x435\nSheetGeneral 4,24 608x407\n"
              "LabelName 8,12 36x13\nLabelDate 8,39 41x13\nLabelPort 8,66 26x13\n"
              "EditName 64,8 310x21\nMaskDate 64,35 80x21\nEditPort 64,62 49x21\n"
              "UpDownPort 113,62 16x21\nComboHost 8,90 366x21\nComboKind 8,117 366x21\n"
              "MemoNotes 8,144 366x160\nListGroups 8,312 100x87\nCheckOptions 114,312 260x87\n"
              "CheckSave 386,8 160x17\nGroupProtocol 386,30 214x66\nRadioPop 12,18 120x17\n"
              "RadioImap 12,40 120x17\nRadioSort 386,100 214x86\nLine 386,196 214x2\n"
              "Envelope 386,206 32x32\nLabelInfo 426,206 174x32\nSheetList 0,0 0x0\n"
              "ListView 0,0 0x0\n");

    // Smaller than designed by 80 x 40.
    Form->SetClientSize(520, 380);
    Drain();
    EXPECT_EQ(BoundsDump(Form),
              "ToolBar 0,0 520x28\nSpeedOpen 4,2 23x22\nSpeedLeft 34,2 23x22\n"
              "SpeedRight 57,2 23x22\nSpeedFlat 87,2 23x22\nStatusBar 0,361 520x19\n"
              "ButtonPanel 0,323 520x38\nBitHelp 8,7 80x25\nButtonOk 264,7 80x25\n"
              "ButtonCancel 348,7 80x25\nButtonApply 432,7 80x25\nTree 0,28 140x295\n"
              "Splitter 140,28 4x295\nPages 144,28 376x295\nSheetGeneral 4,24 368x267\n"
              "LabelName 8,12 36x13\nLabelDate 8,39 41x13\nLabelPort 8,66 26x13\n"
              "EditName 64,8 70x21\nMaskDate 64,35 80x21\nEditPort 64,62 49x21\n"
              "UpDownPort 113,62 16x21\nComboHost 8,90 126x21\nComboKind 8,117 126x21\n"
              "MemoNotes 8,144 126x20\nListGroups 8,172 100x87\nCheckOptions 114,172 20x87\n"
              "CheckSave 146,8 160x17\nGroupProtocol 146,30 214x66\nRadioPop 12,18 120x17\n"
              "RadioImap 12,40 120x17\nRadioSort 146,100 214x86\nLine 146,196 214x2\n"
              "Envelope 146,206 32x32\nLabelInfo 186,206 174x32\nSheetList 0,0 0x0\n"
              "ListView 0,0 0x0\n");
    ASSERT_TRUE(SaveWindowPicture(Form->Handle(), ShowcasePicture("showcase-small")));

    // Back at the designed size everything is where it was designed.
    Form->SetClientSize(600, 420);
    Drain();
    EXPECT_EQ(BoundsDump(Form), kDesignedLayout);

    // The other page, shown, fills the display area of the page control as it is now.
    Form->SetClientSize(700, 450);
    Form->Pages->SetActivePage(Form->SheetList);
    Drain();
    EXPECT_EQ(Form->SheetList->BoundsRect(), (TRect{4, 24, 552, 361}));
    EXPECT_EQ(Form->ListView->BoundsRect(), (TRect{0, 0, 548, 337}));
}

TEST_F(ShowcaseForm, ItLooksLikeAClassicDialog) {
    ShowForm();
    Form->EditName->SetFocus();
    Drain();
    ASSERT_TRUE(SaveWindowPicture(Form->Handle(), ShowcasePicture("showcase")));
    const QRgb Face = ColorOf(ColorToRGB(clBtnFace));
    // Controls stand on the button face; edits and lists are white.
    EXPECT_EQ(PixelOf(Form, Form->SheetGeneral, 2, 2), Face);
    EXPECT_EQ(PixelOf(Form, Form->EditName, 140, 10), ColorOf(ColorToRGB(clWindow)));
    // The default button has a black frame; the others have none.
    EXPECT_EQ(PixelOf(Form, Form->ButtonOk, 0, 12), qRgb(0, 0, 0));
    EXPECT_NE(PixelOf(Form, Form->ButtonCancel, 0, 12), qRgb(0, 0, 0));
    // The envelope's background is its transparent colour: the face shows there.
    EXPECT_EQ(PixelOf(Form, Form->Envelope, 0, 0), Face);
    EXPECT_EQ(PixelOf(Form, Form->Envelope, 10, 14), qRgb(255, 255, 255));

    // The second page: a report list with its images.
    Form->Pages->SetActivePage(Form->SheetList);
    Form->ListView->SetFocus();
    Drain();
    EXPECT_EQ(Form->ListView->Items()->Count(), 3);
    ASSERT_TRUE(SaveWindowPicture(Form->Handle(), ShowcasePicture("showcase-list")));
}

TEST_F(ShowcaseForm, ShownModalFromASocketHandlerItLetsTheDataKeepComing) {
    constexpr UINT WM_SOCKET = WM_USER + 1;
    constexpr size_t Total = 256 * 1024;
    uint16_t Port = 0;
    const int Listener = LoopbackSocket(SOCK_STREAM, Port);
    ASSERT_EQ(::listen(Listener, 1), 0);
    size_t Received = 0;
    bool Opened = false;
    bool Answered = false;
    std::thread Sender;
    int Peer = -1;
    TModalResult Answer = mrNone;
    size_t ReceivedWhileOpen = 0;
    const HWND Sink = AllocateHWnd([&](TMessage& M) {
        if (M.Msg != WM_SOCKET || LOWORD(M.LParam) != FD_READ) return;
        char Buffer[8192];
        int N = 0;
        while ((N = WinSock::recv(SOCKET(M.WParam), Buffer, sizeof Buffer, 0)) > 0)
            Received += size_t(N);
        if (!Opened) {
            // The first bytes ask a question, as a server's greeting might: the rest of the data
            // is sent while the form is open, and arrives through this same handler meanwhile.
            Opened = true;
            Received = 0;
            Sender = std::thread([&] {
                const std::string Chunk(4096, 'd');
                for (size_t Sent = 0; Sent < Total; Sent += Chunk.size())
                    if (::send(Peer, Chunk.data(), Chunk.size(), MSG_NOSIGNAL) < 0) return;
            });
            Answer = Form->ShowModal();
            ReceivedWhileOpen = Received;
            return;
        }
        if (Received < Total || Answered) return;
        // Everything arrived while the form was open: now it is answered, with Enter.
        Answered = true;
        QTimer::singleShot(0,
                           [this] { QTest::keyClick(QtWindowOf(Form->Handle()), Qt::Key_Return); });
    });
    const SOCKET S = WinSock::socket(WS_AF_INET, WS_SOCK_STREAM, 0);
    ASSERT_EQ(WinSock::WSAAsyncSelect(S, Sink, WM_SOCKET, FD_READ | FD_CLOSE), 0);
    TSockAddrIn Addr;
    Addr.sin_addr = WinSock::inet_addr("127.0.0.1");
    Addr.sin_port = WinSock::HostToNetShort(Port);
    WinSock::connect(S, Addr);
    Peer = ::accept(Listener, nullptr, nullptr);
    ASSERT_GE(Peer, 0);
    // A bound for a broken layer: the form closes and the test fails instead of hanging.
    QTimer Bound;
    Bound.setSingleShot(true);
    QObject::connect(&Bound, &QTimer::timeout, [&] { Form->SetModalResult(mrAbort); });
    Bound.start(30000);
    ASSERT_EQ(::send(Peer, "+OK", 3, MSG_NOSIGNAL), 3);
    EXPECT_TRUE(PumpUntil([&] { return Opened && !Form->Visible(); }, 40000));
    // A sender still blocked (the data stopped coming) ends here.
    ::shutdown(Peer, SHUT_RDWR);
    if (Sender.joinable()) Sender.join();
    EXPECT_EQ(Answer, mrOk);
    EXPECT_EQ(ReceivedWhileOpen, Total);
    WinSock::closesocket(S);
    DeallocateHWnd(Sink);
    ::close(Peer);
    ::close(Listener);
}

}  // namespace
