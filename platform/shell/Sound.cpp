#include "platform/shell/Sound.h"

#include <QApplication>

namespace {

class TDesktopSoundService : public TSoundService {
  public:
    void Beep(UINT) override {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
            QApplication::beep();
    }
    void Play(const std::string&, DWORD) override {}
};

std::unique_ptr<TSoundService>& Installed() {
    static std::unique_ptr<TSoundService> Service = std::make_unique<TDesktopSoundService>();
    return Service;
}

}  // namespace

BOOL MessageBeep(UINT Type) {
    Installed()->Beep(Type);
    return TRUE;
}

BOOL PlaySound(const std::string& Sound, std::uintptr_t, DWORD Flags) {
    if (!Sound.empty()) Installed()->Play(Sound, Flags);
    return TRUE;
}

std::unique_ptr<TSoundService> SetSoundService(std::unique_ptr<TSoundService> Service) {
    if (!Service) Service = std::make_unique<TDesktopSoundService>();
    std::swap(Installed(), Service);
    return Service;
}

void PlayMenuSound(TMenuSound Sound) {
    PlaySound(Sound == msMenuPopup ? "MenuPopup" : "MenuCommand", 0,
              SND_ALIAS | SND_ASYNC | SND_NODEFAULT | SND_NOSTOP | SND_NOWAIT);
}
