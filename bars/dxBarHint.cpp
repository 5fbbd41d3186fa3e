#include "bars/dxBarHint.h"

namespace {

struct THintState {
    std::string Text;
    TdxBarManager* Manager = nullptr;
};

THintState& State() {
    static auto* S = new THintState;
    return *S;
}

}  // namespace

void UpdateHint(TdxBarManager* Manager, bool Show, const std::string& Text) {
    THintState& S = State();
    S.Text = Text;
    S.Manager = Show ? Manager : nullptr;
}

const std::string& HintText() {
    return State().Text;
}
