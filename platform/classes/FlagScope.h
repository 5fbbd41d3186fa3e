#pragma once
// A flag that is set while a piece of work runs (to keep the work from running into itself, or to
// tell handlers it causes apart from the user's doing), and cleared when the work ends, also when
// an exception leaves it:
//     const TFlagScope Filling(FFilling);
// Nested gives the flag back the value it had, so a scope inside another scope of the same flag
// leaves it set:
//     const auto Destroying = TFlagScope::Nested(FDestroying);
class TFlagScope {
  public:
    explicit TFlagScope(bool& Flag) : TFlagScope(Flag, false) {}
    static TFlagScope Nested(bool& Flag) { return TFlagScope(Flag, Flag); }
    ~TFlagScope() { FFlag = FAfter; }

    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

  private:
    TFlagScope(bool& Flag, bool After) : FFlag(Flag), FAfter(After) { FFlag = true; }

    bool& FFlag;
    const bool FAfter;
};
