// The dialer against the scripted provider.
#include <gtest/gtest.h>

#include <algorithm>

#include "netlib/ras/provider/SimProvider.h"
#include "tests/netlib/ras/RasTestHelpers.h"

namespace {

class RasDialer : public testing::Test {
  protected:
    void SetUp() override {
        Sim = std::make_shared<TSimDialupProvider>();
        Sim->AddEntry({"isp", "0191011", "", "anna", "secret", "dom"}, true);
        Sim->AddEntry({"work", "0228", "", "bert", "hidden", ""}, false);
        IpRasAccess().SetProvider(Sim);
        IpRasAccess().SetPlatformId(VER_PLATFORM_WIN32_NT);
        Dialer = std::make_unique<TRecordedDialer>();
    }
    void TearDown() override {
        Dialer.reset();
        DrainPosted();
        IpRasAccess().SetProvider(nullptr);
        IpRasAccess().SetPlatformId(VER_PLATFORM_WIN32_NT);
    }
    bool CallMade(const std::string& call) {
        auto calls = Sim->Calls();
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }

    std::shared_ptr<TSimDialupProvider> Sim;
    std::unique_ptr<TRecordedDialer> Dialer;
};

TEST_F(RasDialer, AsyncDialReportsEveryStateWithItsTextThenConnects) {
    TSimDialupProvider::TDialScript script;
    script.Steps.clear();
    std::vector<uint32_t> states;
    for (uint32_t s = 0; s <= 23; ++s) states.push_back(s);
    for (uint32_t s = 4096; s <= 4099; ++s) states.push_back(s);
    states.push_back(77);
    for (uint32_t s : states) script.Steps.push_back({s, 0});
    script.Steps[5].DelayMs = 20;  // part of the progress comes from another thread
    Sim->SetDialScript("isp", script);
    TRecordedStatus display;
    Dialer->SetStatusDisplay(&display);
    Dialer->SetEntryName("isp");

    ASSERT_EQ(Dialer->Dial(), 0);
    EXPECT_EQ(Dialer->Events, std::vector<std::string>{"disconnected"});  // the hang-up first
    EXPECT_TRUE(Dialer->DisconnectTimerEnabled());
    ASSERT_TRUE(PumpUntil([&] { return Dialer->Has("connected"); }));

    std::vector<std::string> expected{"disconnected"};
    for (uint32_t s : states) expected.push_back("status " + std::to_string(s));
    expected.push_back("connected");
    EXPECT_EQ(Dialer->Events, expected);

    // The hang-up before the dial closes the display twice (hang-up and disconnect event).
    ASSERT_EQ(display.Lines.size(), states.size() + 4);
    EXPECT_EQ(display.Lines[0], "close");
    EXPECT_EQ(display.Lines[1], "close");
    EXPECT_EQ(display.Lines[2], "start isp");
    const size_t texts = 3;
    EXPECT_EQ(display.Lines[texts + 0], "Open port");
    EXPECT_EQ(display.Lines[texts + 2], "Dialing 0191011");
    EXPECT_EQ(display.Lines[texts + 3], "Device connected");
    EXPECT_EQ(display.Lines[texts + 13], "Re-authenticate");
    EXPECT_EQ(display.Lines[texts + 23], "Sub-entry disconnected");
    EXPECT_EQ(display.Lines[texts + 24], "Paused");
    EXPECT_EQ(display.Lines[texts + 27], "Password expired");
    EXPECT_EQ(display.Lines[texts + 28], "Unknown status");
    EXPECT_EQ(display.Lines.back(), "close");
    EXPECT_EQ(Dialer->GetStatusText(8192), "Connected");
    EXPECT_EQ(Dialer->GetStatusText(8193), "Disconnected");
    EXPECT_EQ(Dialer->GetStatusText(-1), "Unknown status");

    TRasDialParams sent = Sim->LastDialParams();
    EXPECT_EQ(sent.EntryName, "isp");
    EXPECT_EQ(sent.PhoneNumber, "0191011");  // read when the name was set
    EXPECT_EQ(sent.Password, "secret");
    EXPECT_EQ(Dialer->GetConnectState(), int32_t(RASCS_Connected));
    Dialer->SetStatusDisplay(nullptr);
}

TEST_F(RasDialer, SyncDialBlocksAndReportsNoProgress) {
    Dialer->SetEntryName("isp");
    Dialer->SetDialMode(dmSync);
    EXPECT_EQ(Dialer->Dial(), 0);
    DrainPosted();
    EXPECT_EQ(Dialer->Events, std::vector<std::string>{"disconnected"});
    EXPECT_TRUE(Dialer->DisconnectTimerEnabled());
    EXPECT_TRUE(CallMade("Dial isp sync phonebook=- options=0"));
    EXPECT_EQ(Dialer->GetConnectState(), int32_t(RASCS_Connected));
}

TEST_F(RasDialer, EmptyEntryNameTakesTheFirstConnection) {
    HRASCONN first = Sim->AddConnection("other");
    HRASCONN second = Sim->AddConnection("isp");
    EXPECT_EQ(Dialer->GetConnection(), first);

    // The dial hangs up the first line of the system, fails for the nameless entry, and leaves
    // the other line alone.
    EXPECT_EQ(Dialer->Dial(), int32_t(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
    EXPECT_TRUE(CallMade("HangUp " + std::to_string(first)));
    EXPECT_FALSE(CallMade("HangUp " + std::to_string(second)));
    EXPECT_EQ(Sim->ConnectionState(first), -1);
    EXPECT_EQ(Sim->ConnectionState(second), int64_t(RASCS_Connected));
    EXPECT_EQ(Dialer->Count("disconnected"), 2);
    EXPECT_FALSE(Dialer->DisconnectTimerEnabled());
}

TEST_F(RasDialer, LostHandleIsFoundAgainByExactName) {
    Sim->AddConnection("other");
    HRASCONN isp = Sim->AddConnection("isp");
    Dialer->SetEntryName("isp");
    EXPECT_EQ(Dialer->GetConnection(), isp);
    Dialer->SetEntryName("ISP");
    EXPECT_EQ(Dialer->GetConnection(), 0u);
    TRasConnStatus status;
    EXPECT_EQ(Dialer->GetConnectStatus(status), int32_t(ERROR_INVALID_HANDLE));
    EXPECT_EQ(Dialer->GetConnectState(), 0);

    TStringList list;
    list.Add("stale");
    EXPECT_EQ(Dialer->ListConnections(&list), 0);
    EXPECT_EQ(list.Text(), "other\r\nisp\r\n");
    EXPECT_EQ(Dialer->ListEntries(&list), 0);
    EXPECT_EQ(list.Text(), "isp\r\nwork\r\n");

    Sim->ClearCalls();
    EXPECT_EQ(Dialer->ListEntries(nullptr), -1);
    EXPECT_EQ(Dialer->ListConnections(nullptr), -1);
    EXPECT_TRUE(Sim->Calls().empty());
}

TEST_F(RasDialer, DisconnectTimerHangsUpADroppedLine) {
    Dialer->SetEntryName("isp");
    ASSERT_EQ(Dialer->Dial(), 0);
    ASSERT_TRUE(PumpUntil([&] { return Dialer->Has("connected"); }));
    const HRASCONN line = Dialer->GetConnection();

    // A tick on a line that is up changes nothing.
    Sim->ClearCalls();
    ASSERT_TRUE(PumpUntil([&] { return !Sim->Calls().empty(); }));
    DrainPosted();
    EXPECT_TRUE(Dialer->DisconnectTimerEnabled());
    EXPECT_EQ(Dialer->Count("disconnected"), 1);

    Sim->DropLine(line);
    ASSERT_TRUE(PumpUntil([&] { return Dialer->Count("disconnected") == 2; }));
    EXPECT_FALSE(Dialer->DisconnectTimerEnabled());
    EXPECT_EQ(Sim->ConnectionState(line), -1);
    EXPECT_EQ(Dialer->GetConnection(), 0u);
}

TEST_F(RasDialer, FailingDialsReportTheErrorAndHangUp) {
    TSimDialupProvider::TDialScript script;
    script.Steps = {{RASCS_OpenPort}, {RASCS_PortOpened}, {RASCS_ConnectDevice}};
    script.Error = ERROR_NO_ANSWER;
    Sim->SetDialScript("isp", script);
    TRecordedStatus display;
    Dialer->SetStatusDisplay(&display);
    Dialer->SetEntryName("isp");

    ASSERT_EQ(Dialer->Dial(), 0);
    ASSERT_TRUE(PumpUntil([&] { return Dialer->Count("disconnected") == 2; }));
    EXPECT_EQ(Dialer->Events, (std::vector<std::string>{"disconnected", "status 0", "status 1",
                                                        "status 2", "error 678", "disconnected"}));
    EXPECT_NE(std::find(display.Lines.begin(), display.Lines.end(), RasErrorText(678)),
              display.Lines.end());
    EXPECT_EQ(Sim->ConnectionCount(), 0);
    EXPECT_FALSE(Dialer->DisconnectTimerEnabled());
    Dialer->SetStatusDisplay(nullptr);

    // A dial the service refuses at once: its own handle is hung up, nothing else.
    HRASCONN other = Sim->AddConnection("work");
    script.ImmediateError = ERROR_PORT_ALREADY_OPEN;
    Sim->SetDialScript("isp", script);
    Dialer->Events.clear();
    EXPECT_EQ(Dialer->Dial(), int32_t(ERROR_PORT_ALREADY_OPEN));
    EXPECT_EQ(Dialer->Events, (std::vector<std::string>{"disconnected", "disconnected"}));
    EXPECT_EQ(Sim->ConnectionCount(), 1);
    EXPECT_EQ(Sim->ConnectionState(other), int64_t(RASCS_Connected));
    EXPECT_EQ(Dialer->GetErrorText(ERROR_PORT_ALREADY_OPEN), RasErrorText(ERROR_PORT_ALREADY_OPEN));
    EXPECT_EQ(Dialer->GetErrorText(99999), "");
}

TEST_F(RasDialer, HangupWaitsForTheLineButNotForever) {
    Dialer->SetEntryName("isp");
    Dialer->SetDialMode(dmSync);
    Sim->SetHangupPolls(3);
    ASSERT_EQ(Dialer->Dial(), 0);
    HRASCONN line = Dialer->GetConnection();
    Sim->ClearCalls();
    Dialer->Hangup();
    // Three polls still find it, the fourth does not.
    auto calls = Sim->Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "GetConnectStatus " + std::to_string(line)),
              4);
    EXPECT_EQ(Sim->ConnectionState(line), -1);

    TCapturedLog log;
    Sim->SetHangupPolls(-1);
    Dialer->SetHangupWait(200, 10);
    ASSERT_EQ(Dialer->Dial(), 0);
    line = Dialer->GetConnection();
    Dialer->Events.clear();
    Dialer->Hangup();
    EXPECT_NE(log.Find("did not end within"), "");
    EXPECT_EQ(Dialer->Events, std::vector<std::string>{"disconnected"});
    EXPECT_FALSE(Dialer->DisconnectTimerEnabled());
    EXPECT_EQ(Sim->ConnectionState(line), int64_t(RASCS_Connected));
}

TEST_F(RasDialer, PhonebookAndExtensionsPassOnlyOnTheNtPlatform) {
    Dialer->SetEntryName("isp");
    Dialer->SetDialMode(dmSync);
    Dialer->SetPhonebook("/etc/kestro.pbk");
    Dialer->SetExtendedDialOptions({edoUsePrefixSuffix, edoAllowPausedStates});
    TStringList list;
    ASSERT_EQ(Dialer->Dial(), 0);
    Dialer->ListEntries(&list);
    EXPECT_TRUE(CallMade("Dial isp sync phonebook=/etc/kestro.pbk options=3"));
    EXPECT_TRUE(CallMade("EnumEntries phonebook=/etc/kestro.pbk"));

    Sim->ClearCalls();
    IpRasAccess().SetPlatformId(1);
    ASSERT_EQ(Dialer->Dial(), 0);
    Dialer->ListEntries(&list);
    EXPECT_TRUE(CallMade("Dial isp sync phonebook=- options=-"));
    EXPECT_TRUE(CallMade("EnumEntries phonebook=-"));

    IpRasAccess().SetPlatformId(VER_PLATFORM_WIN32_NT);
    Dialer->SetPhonebook("");
    Sim->ClearCalls();
    Dialer->ListEntries(&list);
    EXPECT_TRUE(CallMade("EnumEntries phonebook=-"));
}

TEST_F(RasDialer, DialParametersAndPhonebookDialogs) {
    EXPECT_EQ(Dialer->GetDialParameters(), int32_t(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
    EXPECT_EQ(Dialer->EditPhonebookEntry(), int32_t(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));

    Dialer->SetEntryName("isp");
    EXPECT_EQ(Dialer->PhoneNumber(), "0191011");
    EXPECT_EQ(Dialer->UserName(), "anna");
    EXPECT_EQ(Dialer->Domain(), "dom");
    EXPECT_EQ(Dialer->Password(), "secret");
    Dialer->SetEntryName("work");  // no stored password
    EXPECT_EQ(Dialer->PhoneNumber(), "0228");
    EXPECT_EQ(Dialer->Password(), "");

    Sim->SetPhonebookDialogResult(0);
    EXPECT_EQ(Dialer->EditPhonebookEntry(), 0);
    EXPECT_EQ(Dialer->CreatePhonebookEntry(), 0);
    EXPECT_TRUE(CallMade("EditPhonebookEntry work phonebook=-"));
    EXPECT_TRUE(CallMade("CreatePhonebookEntry phonebook=-"));
}

TEST_F(RasDialer, ComboBoxAndDialerFollowEachOther) {
    TIpRasEntryComboBox combo;
    combo.SetRasDialer(Dialer.get());
    EXPECT_EQ(Dialer->EntryNameCbx(), &combo);
    int changes = 0;
    combo.OnChange = [&](TIpRasEntryComboBox*) { ++changes; };

    combo.DropDown();
    EXPECT_EQ(combo.Items().Text(), "isp\r\nwork\r\n");
    EXPECT_EQ(combo.ItemIndex(), -1);

    Dialer->SetEntryName("work");
    EXPECT_EQ(combo.ItemIndex(), 1);
    EXPECT_EQ(changes, 1);
    // A name without dial parameters leaves the selection as it is.
    Dialer->SetEntryName("nowhere");
    EXPECT_EQ(combo.ItemIndex(), 1);
    EXPECT_EQ(changes, 1);

    // Choosing in the list sets the dialer's entry and reads its parameters.
    combo.SetItemIndex(0);
    combo.Change();
    EXPECT_EQ(Dialer->EntryName(), "isp");
    EXPECT_EQ(Dialer->PhoneNumber(), "0191011");
    EXPECT_EQ(changes, 3);  // from the dialer's selection and from the change itself
    // A refresh keeps the chosen entry chosen.
    combo.DropDown();
    EXPECT_EQ(combo.Text(), "isp");
    EXPECT_EQ(combo.Version(), Dialer->Version());

    TIpRasEntryComboBox second;
    second.SetRasDialer(Dialer.get());
    EXPECT_EQ(Dialer->EntryNameCbx(), &combo);  // an existing link stays
    combo.SetRasDialer(nullptr);
    EXPECT_EQ(Dialer->EntryNameCbx(), nullptr);
}

TEST_F(RasDialer, StatusDisplayLinksAndUnlinks) {
    {
        TRecordedStatus display;
        display.SetRasDialer(Dialer.get());
        EXPECT_EQ(Dialer->StatusDisplay(), &display);
    }
    EXPECT_EQ(Dialer->StatusDisplay(), nullptr);
    Dialer->SetEntryName("isp");
    EXPECT_EQ(Dialer->Dial(), 0);  // no display to call
}

TEST_F(RasDialer, MissingProviderRaisesOnFirstUse) {
    Dialer->SetEntryName("isp");
    IpRasAccess().SetProvider(nullptr);
    EXPECT_FALSE(IpRasAccess().IsLoaded());
    try {
        Dialer->Dial();
        FAIL() << "no exception";
    } catch (const EIpAccessException& E) {
        EXPECT_EQ(E.Message().rfind("Win32 error loading 'RasEnumConnectionsA' pointer: ", 0), 0u)
            << E.Message();
    }
    // Bound again, the next call works.
    IpRasAccess().SetProvider(Sim);
    Dialer->SetDialMode(dmSync);
    EXPECT_EQ(Dialer->Dial(), 0);
}

TEST_F(RasDialer, QueryEndSessionIsAnsweredAndDestroyHangsUp) {
    EXPECT_EQ(SendMessage(Dialer->Handle(), WM_QUERYENDSESSION, 0, 0), 1);
    Dialer->SetEntryName("isp");
    Dialer->SetDialMode(dmSync);
    ASSERT_EQ(Dialer->Dial(), 0);
    Dialer.reset();
    EXPECT_EQ(Sim->ConnectionCount(), 0);

    auto keeper = std::make_unique<TRecordedDialer>();
    keeper->SetHangupOnDestroy(false);
    keeper->SetEntryName("isp");
    keeper->SetDialMode(dmSync);
    ASSERT_EQ(keeper->Dial(), 0);
    keeper.reset();
    EXPECT_EQ(Sim->ConnectionCount(), 1);
}

}  // namespace
