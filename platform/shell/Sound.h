#pragma once
// Beeps and sounds. The bar framework's menu sounds ("MenuPopup", "MenuCommand") have no
// counterpart on the desktop: PlaySound records the request and plays nothing. MessageBeep rings
// the desktop's bell (QApplication::beep) when there is a GUI application object.
//
// The service behind both is replaceable; tests install a TRecordingSoundService.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/WinTypes.h"

// PlaySound flags as the callers pass them.
inline constexpr DWORD SND_SYNC = 0x0000;
inline constexpr DWORD SND_ASYNC = 0x0001;
inline constexpr DWORD SND_NODEFAULT = 0x0002;
inline constexpr DWORD SND_NOSTOP = 0x0010;
inline constexpr DWORD SND_NOWAIT = 0x2000;
inline constexpr DWORD SND_ALIAS = 0x00010000;
// MessageBeep's simple beep (the other types are the MB_ICON* values).
inline constexpr UINT MB_SIMPLEBEEP = 0xFFFFFFFF;

class TSoundService {
  public:
    virtual ~TSoundService() = default;
    virtual void Beep(UINT Type) = 0;
    virtual void Play(const std::string& Sound, DWORD Flags) = 0;
};

class TRecordingSoundService : public TSoundService {
  public:
    struct TPlayed {
        std::string Sound;
        DWORD Flags;
    };
    void Beep(UINT Type) override { Beeps.push_back(Type); }
    void Play(const std::string& Sound, DWORD Flags) override { Played.push_back({Sound, Flags}); }
    std::vector<UINT> Beeps;
    std::vector<TPlayed> Played;
};

// Sounds the beep of that type; always TRUE.
BOOL MessageBeep(UINT Type);
// Records the sound (an alias such as "MenuPopup") and plays nothing; TRUE. An empty name, which
// stops a sound that plays, does nothing.
BOOL PlaySound(const std::string& Sound, std::uintptr_t Module, DWORD Flags);

// The menus' sounds: a menu opening ("MenuPopup"), a command chosen from one ("MenuCommand");
// played asynchronously, without a default sound, never stopping one that plays.
enum TMenuSound { msMenuPopup, msMenuCommand };
void PlayMenuSound(TMenuSound Sound);

// Installs the service (none: back to the default); returns the previous one.
std::unique_ptr<TSoundService> SetSoundService(std::unique_ptr<TSoundService> Service);
