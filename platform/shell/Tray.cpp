#include "platform/shell/Tray.h"

#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSystemTrayIcon>

#include <cstring>

#include "platform/classes/CodePages.h"
#include "platform/core/Input.h"
#include "platform/core/Messages.h"
#include "platform/gdi/Gdi.h"
#include "platform/shell/Limits.h"

namespace {

// The mouse messages a click on an icon reports (they are the window layer's numbers).
constexpr UINT kLButtonDown = 0x0201, kLButtonUp = 0x0202, kLButtonDblClk = 0x0203;
constexpr UINT kRButtonDown = 0x0204, kRButtonUp = 0x0205, kMButtonDown = 0x0207;
constexpr UINT kMButtonUp = 0x0208;

using TKey = std::pair<HWND, UINT>;

// The desktop's tray. Qt reports a click as one activation; the window hears the press and the
// release of the button (a double click as the double-click message).
class TQtTrayService : public TTrayService {
  public:
    ~TQtTrayService() override {
        for (auto& [Key, Icon] : FIcons) delete Icon;
    }
    bool Available() override { return QSystemTrayIcon::isSystemTrayAvailable(); }
    void Show(const TTrayIconState& State) override {
        QSystemTrayIcon*& Icon = FIcons[{State.Wnd, State.ID}];
        if (Icon == nullptr) {
            Icon = new QSystemTrayIcon;
            const HWND Wnd = State.Wnd;
            const UINT ID = State.ID;
            QObject::connect(Icon, &QSystemTrayIcon::activated,
                             [Wnd, ID](QSystemTrayIcon::ActivationReason Reason) {
                                 Activated(Wnd, ID, Reason);
                             });
        }
        Icon->setIcon(PictureOf(State.Icon));
        Icon->setToolTip(Cp1252ToUnicode(State.Tip));
        Icon->show();
    }
    void Remove(HWND Wnd, UINT ID) override {
        auto It = FIcons.find({Wnd, ID});
        if (It == FIcons.end()) return;
        It->second->hide();
        It->second->deleteLater();  // it may be the one whose signal is running
        FIcons.erase(It);
    }

  private:
    static void Activated(HWND Wnd, UINT ID, QSystemTrayIcon::ActivationReason Reason) {
        // The click was on the tray's window, not one of ours: the layer's cursor position is
        // where our own windows last saw the pointer. A menu opened "at the cursor" must open
        // where the pointer is now.
        const QPoint Pointer = QCursor::pos();
        SetCursorPos(Pointer.x(), Pointer.y());
        switch (Reason) {
            case QSystemTrayIcon::Trigger:
                TrayIconClicked(Wnd, ID, kLButtonDown);
                TrayIconClicked(Wnd, ID, kLButtonUp);
                break;
            case QSystemTrayIcon::DoubleClick:
                TrayIconClicked(Wnd, ID, kLButtonDblClk);
                break;
            case QSystemTrayIcon::Context:
                TrayIconClicked(Wnd, ID, kRButtonDown);
                TrayIconClicked(Wnd, ID, kRButtonUp);
                break;
            case QSystemTrayIcon::MiddleClick:
                TrayIconClicked(Wnd, ID, kMButtonDown);
                TrayIconClicked(Wnd, ID, kMButtonUp);
                break;
            default:
                break;
        }
    }
    // A tray icon must have a picture: without one the application's, else a plain square.
    static QIcon PictureOf(HICON Icon) {
        if (Icon != 0) {
            const QImage Image = IconImage(Icon);
            if (!Image.isNull()) return QIcon(QPixmap::fromImage(Image));
        }
        if (!QGuiApplication::windowIcon().isNull()) return QGuiApplication::windowIcon();
        QPixmap Square(16, 16);
        Square.fill(Qt::darkBlue);
        return QIcon(Square);
    }

    std::map<TKey, QSystemTrayIcon*> FIcons;
};

// Without a GUI application object there is nothing to show icons on.
class TNoTrayService : public TTrayService {
  public:
    bool Available() override { return false; }
    void Show(const TTrayIconState&) override {}
    void Remove(HWND, UINT) override {}
};

std::map<TKey, TTrayIconState>& Icons() {
    static std::map<TKey, TTrayIconState> Kept;
    return Kept;
}

std::unique_ptr<TTrayService>& Installed() {
    static std::unique_ptr<TTrayService> Service;
    return Service;
}

TTrayService& Service() {
    std::unique_ptr<TTrayService>& Current = Installed();
    if (!Current) {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
            Current = std::make_unique<TQtTrayService>();
        else
            Current = std::make_unique<TNoTrayService>();
    }
    return *Current;
}

// The tip up to its NUL, at most 63 characters.
std::string TipOf(const NOTIFYICONDATA& Data) {
    return std::string(Data.szTip, strnlen(Data.szTip, ShellLimits::kMaxTipLength));
}

void Apply(TTrayIconState& State, const NOTIFYICONDATA& Data) {
    if (Data.uFlags & NIF_MESSAGE) State.CallbackMessage = Data.uCallbackMessage;
    if (Data.uFlags & NIF_ICON) State.Icon = Data.hIcon;
    if (Data.uFlags & NIF_TIP) State.Tip = TipOf(Data);
}

}  // namespace

BOOL Shell_NotifyIcon(DWORD Message, const NOTIFYICONDATA* Data) {
    if (Data == nullptr || !IsWindow(Data->hWnd)) return FALSE;
    auto& Kept = Icons();
    const TKey Key{Data->hWnd, Data->uID};
    auto It = Kept.find(Key);
    switch (Message) {
        case NIM_ADD: {
            if (It != Kept.end() || Kept.size() >= ShellLimits::kMaxTrayIcons) return FALSE;
            TTrayIconState State;
            State.Wnd = Data->hWnd;
            State.ID = Data->uID;
            Apply(State, *Data);
            Kept.emplace(Key, State);
            Service().Show(State);
            return TRUE;
        }
        case NIM_MODIFY:
            if (It == Kept.end()) return FALSE;
            Apply(It->second, *Data);
            Service().Show(It->second);
            return TRUE;
        case NIM_DELETE:
            if (It == Kept.end()) return FALSE;
            Kept.erase(It);
            Service().Remove(Key.first, Key.second);
            return TRUE;
        default:
            return FALSE;
    }
}

void TrayIconClicked(HWND Wnd, UINT ID, UINT MouseMessage) {
    auto& Kept = Icons();
    auto It = Kept.find({Wnd, ID});
    if (It == Kept.end()) return;
    if (!IsWindow(Wnd)) {
        // Its window went without removing it: nobody can answer the click any more.
        Kept.erase(It);
        Service().Remove(Wnd, ID);
        return;
    }
    if (It->second.CallbackMessage != 0)
        PostMessage(Wnd, It->second.CallbackMessage, WPARAM(ID), LPARAM(MouseMessage));
}

bool IsTrayAvailable() {
    return Service().Available();
}

std::unique_ptr<TTrayService> SetTrayService(std::unique_ptr<TTrayService> Service) {
    std::swap(Installed(), Service);
    for (const auto& [Key, State] : Icons()) ::Service().Show(State);
    return Service;
}

void TFakeTrayService::Show(const TTrayIconState& Icon) {
    Shown[{Icon.Wnd, Icon.ID}] = Icon;
    Log.push_back("show " + std::to_string(Icon.ID) + " " + Icon.Tip);
}

void TFakeTrayService::Remove(HWND Wnd, UINT ID) {
    Shown.erase({Wnd, ID});
    Log.push_back("remove " + std::to_string(ID));
}
