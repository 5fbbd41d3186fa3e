#pragma once
// The terminal control on a form of its own, fed by a real client socket component with a fake
// socket behind it (bytes fed in reach the control as the socket layer posts them; what the
// control sends is collected), with the 100 ms tick in the test's hand and the pixels of its
// cells within reach.
#include <QImage>
#include <string>

#include "netlib/sock/IpFakeSocket.h"
#include "platform/core/ScrollBar.h"
#include "platform/forms/FormDefinitions.h"
#include "platform/shell/Clipboard.h"
#include "platform/widgets/Forms.h"
#include "terminal/IpTermControl.h"
#include "terminal/IpTermRegister.h"
#include "terminal/IpVT100.h"
#include "tests/support/GuiTestSupport.h"

// A terminal whose clock is the test: no window timer; each Ticks step is 100 ms.
class TTestTerminal : public TIpTerminal {
  public:
    explicit TTestTerminal(TComponent* AOwner) : TIpTerminal(AOwner) {}
    using TIpTerminal::CurrentEmulator;
    void Ticks(int Count) {
        for (int I = 0; I < Count; ++I) Tick();
    }

  protected:
    void StartTicking() override {}
    void StopTicking() override {}
};

class TTermFixture : public testing::Test {
  protected:
    void SetUp() override {
        Forms.Initialize();
        RegisterTerminalClasses();
        SetClipboardService(std::make_unique<TMemoryClipboardService>());
        Client.SetSocketFactory([this](TIpCustomClient& Owner) {
            Socket = new TIpFakeSocket(Owner);
            return Socket;
        });
        Form = new TForm(nullptr);
        Form->AfterConstruction();
        Form->SetBounds(40, 40, 700, 480);
        Term = new TTestTerminal(Form);
        static_cast<TComponent*>(Term)->SetName("Term");
        Term->SetParent(Form);
        Term->SetBounds(0, 0, 660, 420);
        Term->SetSockControl(&Client);
        // The caret blinks on a timer of its own: pixels of the cursor's cell are not looked at
        // unless a test asks for a caret.
        Term->SetCursorType(ctNone);
        Form->Show();
        GuiTest::Drain();
    }
    void TearDown() override {
        Form->Free();
        GuiTest::Drain();
        SetClipboardService(nullptr);
    }

    // Connects the client; the control hears of the socket from its status message.
    void Connect() {
        Client.Connect("127.0.0.1:23");
        Socket->AcceptConnect();
        GuiTest::Drain();
    }
    // Bytes from the host, through the socket layer to the control's queue and its emulator.
    void Receive(const std::string& Bytes) {
        Socket->Feed(Bytes);
        GuiTest::Drain();
    }
    std::string Sent() { return Socket ? Socket->TakeWritten() : std::string(); }

    TIpTerminalBuffer& Buffer() { return Term->CurrentEmulator().Buffer(); }

    // The picture of the control's client area.
    QImage ClientPicture() {
        const HWND Wnd = Term->Handle();
        QImage Whole = WindowPicture(Wnd);
        RECT Window;
        GetWindowRect(Wnd, &Window);
        POINT Origin{0, 0};
        ClientToScreen(Wnd, &Origin);
        RECT Client;
        GetClientRect(Wnd, &Client);
        return Whole.copy(Origin.x - Window.left, Origin.y - Window.top, Client.right,
                          Client.bottom);
    }
    // The pixel in the middle of a cell of the view (1-based row and column of the window).
    QRgb CellCentre(const QImage& Picture, int Row, int Col) {
        const int X = (Col - 1) * Term->CellWidth() + Term->CellWidth() / 2;
        const int Y = (Row - 1) * Term->CellHeight() + Term->CellHeight() / 2;
        return Picture.pixel(X, Y) | 0xFF000000u;
    }
    static std::string PicturePath(const std::string& Name) {
        return std::string(KESTRO_BINARY_DIR) + "/pictures/terminal/" + Name + ".png";
    }

    TIpClient Client;
    TIpFakeSocket* Socket = nullptr;
    TForm* Form = nullptr;
    TTestTerminal* Term = nullptr;
};
