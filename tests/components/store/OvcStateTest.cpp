// When a window's state is restored and saved, as its create, close-query and destroy events
// drive it.
#include <gtest/gtest.h>

#include "components/store/OvcState.h"
#include "components/store/XMLFileStore.h"

namespace {

class TRecordingState : public TOvcAbstractState {
  public:
    using TOvcAbstractState::TOvcAbstractState;
    void RestoreState() override { Log += "restore "; }
    void SaveState() override { Log += "save "; }
    std::string Log;

  protected:
    std::string DefaultSection() const override { return "TFormTest"; }
};

TEST(OvcAbstractState, RestoredAtCreationSavedAtEachAllowedCloseAndOnceMoreOnlyWithoutOne) {
    TRecordingState State(nullptr);
    int Restored = 0, Saved = 0;
    State.OnRestoreState = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &State);
        ++Restored;
    };
    State.OnSaveState = [&](TObject*) { ++Saved; };
    State.FormCreated([&] { State.Log += "create "; });
    bool CanClose = true;
    State.FormCloseQuery([&](bool& C) { C = false; }, CanClose);  // the form says no
    EXPECT_FALSE(CanClose);
    CanClose = true;
    State.FormCloseQuery(nullptr, CanClose);
    State.FormCloseQuery(nullptr, CanClose);
    State.FormDestroying([&] { State.Log += "destroy "; });
    EXPECT_EQ(State.Log, "create restore save save destroy ");
    EXPECT_EQ(Restored, 1);
    EXPECT_EQ(Saved, 2);

    TRecordingState Unsaved(nullptr);
    Unsaved.FormCreated(nullptr);
    Unsaved.FormDestroying([&] { Unsaved.Log += "destroy "; });
    EXPECT_EQ(Unsaved.Log, "restore save destroy ");
}

TEST(OvcAbstractState, NothingWithoutARestoreOrWhenInactive) {
    TRecordingState NeverRestored(nullptr);
    bool CanClose = true;
    NeverRestored.FormCloseQuery(nullptr, CanClose);
    NeverRestored.FormDestroying(nullptr);
    EXPECT_EQ(NeverRestored.Log, "");

    TRecordingState Inactive(nullptr);
    Inactive.SetActive(false);
    Inactive.FormCreated(nullptr);
    Inactive.FormCloseQuery(nullptr, CanClose);
    Inactive.FormDestroying(nullptr);
    EXPECT_EQ(Inactive.Log, "");
    EXPECT_EQ(Inactive.Section(), "TFormTest");
    Inactive.SetSection("Other");
    EXPECT_EQ(Inactive.Section(), "Other");
}

TEST(OvcAbstractState, AFreedStoreIsLetGoAndTheStateGoesInactive) {
    TRecordingState State(nullptr);
    auto* Store = new TO32XMLFileStore(nullptr);
    State.SetStorage(Store);
    EXPECT_EQ(State.Storage(), Store);
    Store->Free();
    EXPECT_EQ(State.Storage(), nullptr);
    EXPECT_FALSE(State.Active());
    // The other way round: the state goes first and the store forgets it.
    TO32XMLFileStore Kept(nullptr);
    {
        TRecordingState Short(nullptr);
        Short.SetStorage(&Kept);
    }
}

}  // namespace
