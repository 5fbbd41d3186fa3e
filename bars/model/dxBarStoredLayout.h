#pragma once
// A bar manager's layout as the user left it: a few manager options, every bar's caption,
// docking and position, and the item links of every bar and named sub-item with their user
// settings and usage record. Where it is kept is the store's business (dxBarLayoutStores.h);
// which values there are, their order and what a missing one means is written here once.
//
// Writing replaces whatever layout of the manager the store held. Reading keeps what the store
// does not say: a missing manager value leaves the option as it is, a bar the store has no
// section for keeps its state, and links are read only for collections that were stored.
// Values are taken with care, the store being the user's file:
//   - a bar index may skip numbers: the bars up to it are added as hidden fillers;
//   - a bar whose values break off midway is shown, with what was read so far;
//   - a link whose item is gone, or that would make a sub-item contain itself, is dropped; one
//     whose values break off keeps what was read;
//   - counts, use counts and ordinals outside their ranges count as damaged
//     (BarsLimits: kMaxStoredBars, kMaxStoredLinks, kMaxStoredUseCount).
class TdxBarLayoutStore;
class TdxBarManager;

// Sets a Boolean state of Object (a bar's update lock, the bars' loading mode) for a scope and
// puts the previous one back.
template <class T>
class TdxBarStateScope {
  public:
    TdxBarStateScope(T& AObject, bool (T::*AGet)() const, void (T::*ASet)(bool))
        : FObject(AObject), FSet(ASet), FWas((AObject.*AGet)()) {
        (FObject.*FSet)(true);
    }
    ~TdxBarStateScope() { (FObject.*FSet)(FWas); }
    TdxBarStateScope(const TdxBarStateScope&) = delete;
    TdxBarStateScope& operator=(const TdxBarStateScope&) = delete;

  private:
    T& FObject;
    void (T::*FSet)(bool);
    bool FWas;
};

void SaveBarLayout(TdxBarManager& Manager, TdxBarLayoutStore& Store);
void LoadBarLayout(TdxBarManager& Manager, TdxBarLayoutStore& Store);
