#include "bars/windows/dxBarTimers.h"

#include <map>

#include "platform/core/Messages.h"

namespace {

// Window timers of a hidden window; each WM_TIMER runs the tick of its id.
class TWindowTimers : public TdxBarTimerService {
  public:
    ~TWindowTimers() override {
        if (FWindow) DeallocateHWnd(FWindow);
    }
    UINT_PTR SetTimer(UINT Elapse, TdxBarTimerProc Tick) override {
        if (!FWindow) FWindow = AllocateHWnd([this](TMessage& M) { Message(M); });
        const UINT_PTR Id = FNext++;
        FTicks[Id] = std::move(Tick);
        ::SetTimer(FWindow, Id, Elapse);
        return Id;
    }
    void KillTimer(UINT_PTR Id) override {
        if (FTicks.erase(Id) && FWindow) ::KillTimer(FWindow, Id);
    }

  private:
    void Message(TMessage& M) {
        if (M.Msg != WM_TIMER) {
            M.Result = DefWindowProc(FWindow, M.Msg, M.WParam, M.LParam);
            return;
        }
        auto It = FTicks.find(UINT_PTR(M.WParam));
        if (It == FTicks.end()) return;
        // A copy: the tick may stop its own timer.
        const TdxBarTimerProc Tick = It->second;
        Tick();
    }
    HWND FWindow = 0;
    UINT_PTR FNext = 1;
    std::map<UINT_PTR, TdxBarTimerProc> FTicks;
};

std::shared_ptr<TdxBarTimerService>& Current() {
    static auto* Service = new std::shared_ptr<TdxBarTimerService>;
    return *Service;
}

}  // namespace

TdxBarTimerService& dxBarTimers() {
    std::shared_ptr<TdxBarTimerService>& Service = Current();
    if (!Service) Service = std::make_shared<TWindowTimers>();
    return *Service;
}

void SetdxBarTimerService(std::shared_ptr<TdxBarTimerService> Service) {
    Current() = std::move(Service);
}

void dxBarKillTimer(UINT_PTR& Id) {
    if (Id) dxBarTimers().KillTimer(Id);
    Id = 0;
}
