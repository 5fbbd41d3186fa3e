// Feeds arbitrary bytes to the reading of the dial-up phonebook ("phonebook.ini"). Its entries
// hold shell commands, so reading must only read: the reading runs in an empty directory, and
// the corpus's commands would leave a file there if anything ran them. What is read is exactly
// what the file says, as a reader of the target's own finds it: the same entries in the same
// order, every field its key's last value. The entries written out as a phonebook read back
// the same. A key the entry dialog sets in an entry of the file, or removes, reads back as set
// (or removed), and nothing else of any entry changes.
#include <unistd.h>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz/support/FuzzInput.h"
#include "netlib/ras/provider/DialupProvider.h"
#include "netlib/ras/provider/Limits.h"
#include "netlib/ras/provider/Phonebook.h"
#include "netlib/ras/provider/PhonebookText.h"

namespace {

using Fuzz::Fail;

const std::string& Dir() {
    static const std::string Made = [] {
        const std::string Path = Fuzz::OwnDir("phonebook");
        SetDialupLogSink([](const std::string&) {});
        return Path;
    }();
    return Made;
}

std::string Strip(const std::string& S) {
    const auto Blank = [](char C) { return C == ' ' || C == '\t' || C == '\r'; };
    size_t B = 0, E = S.size();
    while (B < E && Blank(S[B])) ++B;
    while (E > B && Blank(S[E - 1])) --E;
    return S.substr(B, E - B);
}

bool SameKey(const std::string& A, const char* B) {
    const std::string Other(B);
    if (A.size() != Other.size()) return false;
    for (size_t I = 0; I < A.size(); ++I) {
        char C = A[I];
        if (C >= 'A' && C <= 'Z') C = char(C - 'A' + 'a');
        if (C != Other[I]) return false;
    }
    return true;
}

uint32_t Seconds(const std::string& V) {
    if (V.empty() || V.size() > 9 || V.find_first_not_of("0123456789") != std::string::npos)
        return DialupLimits::kDefaultTimeoutSeconds;
    const uint32_t S = uint32_t(std::stoul(V));
    if (S == 0) return DialupLimits::kDefaultTimeoutSeconds;
    return S > DialupLimits::kMaxTimeoutSeconds ? DialupLimits::kMaxTimeoutSeconds : S;
}

// The target's own reading of a phonebook, line by line as a person reads the file.
std::vector<TPhonebookEntry> Expected(const std::string& Text) {
    std::vector<TPhonebookEntry> Out;
    long Current = -1;
    size_t At = 0;
    while (At < Text.size()) {
        size_t End = Text.find('\n', At);
        if (End == std::string::npos) End = Text.size();
        const std::string Line = Strip(Text.substr(At, End - At));
        At = End + 1;
        if (Line.empty() || Line[0] == ';' || Line[0] == '#') continue;
        if (Line[0] == '[') {
            const size_t Close = Line.find(']');
            const std::string Name =
                Close == std::string::npos ? "" : Strip(Line.substr(1, Close - 1));
            Current = -1;
            if (Name.empty()) continue;
            for (size_t I = 0; I < Out.size(); ++I)
                if (Out[I].Name == Name) Current = long(I);
            if (Current >= 0) continue;
            if (Out.size() >= DialupLimits::kMaxPhonebookEntries) return Out;
            Out.emplace_back();
            Out.back().Name = Name;
            Out.back().TimeoutSeconds = DialupLimits::kDefaultTimeoutSeconds;
            Current = long(Out.size() - 1);
            continue;
        }
        const size_t Eq = Line.find('=');
        if (Current < 0 || Eq == std::string::npos) continue;
        const std::string Key = Strip(Line.substr(0, Eq)), Value = Strip(Line.substr(Eq + 1));
        if (Value.size() > DialupLimits::kMaxValueLength) continue;
        TPhonebookEntry& E = Out[size_t(Current)];
        if (SameKey(Key, "phonenumber")) E.PhoneNumber = Value;
        if (SameKey(Key, "callbacknumber")) E.CallbackNumber = Value;
        if (SameKey(Key, "username")) E.UserName = Value;
        if (SameKey(Key, "domain")) E.Domain = Value;
        if (SameKey(Key, "password")) E.Password = Value, E.HasPassword = true;
        if (SameKey(Key, "connect")) E.Connect = Value;
        if (SameKey(Key, "disconnect")) E.Disconnect = Value;
        if (SameKey(Key, "status")) E.Status = Value;
        if (SameKey(Key, "timeout")) E.TimeoutSeconds = Seconds(Value);
    }
    return Out;
}

void Compare(const std::vector<TPhonebookEntry>& Got, const std::vector<TPhonebookEntry>& Want,
             const std::string& What) {
    if (Got.size() != Want.size())
        Fail(What + ": " + std::to_string(Got.size()) + " entries, not " +
             std::to_string(Want.size()));
    for (size_t I = 0; I < Got.size(); ++I) {
        const TPhonebookEntry &G = Got[I], &W = Want[I];
        const std::string Where = What + ": entry [" + W.Name + "]";
        if (G.Name != W.Name) Fail(Where + " is read as [" + G.Name + "]");
        if (G.PhoneNumber != W.PhoneNumber) Fail(Where + " has another PhoneNumber");
        if (G.CallbackNumber != W.CallbackNumber) Fail(Where + " has another CallbackNumber");
        if (G.UserName != W.UserName) Fail(Where + " has another UserName");
        if (G.Domain != W.Domain) Fail(Where + " has another Domain");
        if (G.Password != W.Password || G.HasPassword != W.HasPassword)
            Fail(Where + " has another Password");
        if (G.Connect != W.Connect) Fail(Where + " has another Connect: " + G.Connect);
        if (G.Disconnect != W.Disconnect) Fail(Where + " has another Disconnect: " + G.Disconnect);
        if (G.Status != W.Status) Fail(Where + " has another Status: " + G.Status);
        if (G.TimeoutSeconds != W.TimeoutSeconds)
            Fail(Where + " has the timeout " + std::to_string(G.TimeoutSeconds) + ", not " +
                 std::to_string(W.TimeoutSeconds));
    }
}

// The entries as a phonebook file that says each of their fields.
std::string Written(const std::vector<TPhonebookEntry>& Entries) {
    std::string Text;
    for (const TPhonebookEntry& E : Entries) {
        Text += "[" + E.Name + "]\n";
        Text += "PhoneNumber=" + E.PhoneNumber + "\nCallbackNumber=" + E.CallbackNumber +
                "\nUserName=" + E.UserName + "\nDomain=" + E.Domain + "\n";
        if (E.HasPassword) Text += "Password=" + E.Password + "\n";
        Text += "Connect=" + E.Connect + "\nDisconnect=" + E.Disconnect + "\nStatus=" + E.Status +
                "\nTimeout=" + std::to_string(E.TimeoutSeconds) + "\n";
    }
    return Text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string Input(reinterpret_cast<const char*>(Data), Size);
    const std::string Path = Dir() + "phonebook.ini";
    Fuzz::WriteFile(Path, Input);

    // Commands name files relative to where they run: the reading runs where the target looks
    // (and the fuzzer finds its own relative paths again afterwards).
    const std::filesystem::path Before = std::filesystem::current_path();
    std::filesystem::current_path(Dir());
    TPhonebook Book;
    std::string Error;
    const TPhonebookRead Read = Book.Read(Path, Error);
    std::filesystem::current_path(Before);
    for (const auto& Item : std::filesystem::directory_iterator(Dir()))
        if (Item.path().filename() != "phonebook.ini")
            Fail("reading the phonebook left " + Item.path().filename().string() +
                 ": a command ran");
    if (Read != TPhonebookRead::Ok) {
        if (Size <= DialupLimits::kMaxPhonebookBytes) Fail("a phonebook file is refused: " + Error);
        if (!Book.Entries().empty()) Fail("a refused phonebook has entries");
        return 0;
    }
    const std::vector<TPhonebookEntry> Want = Expected(Input);
    Compare(Book.Entries(), Want, "read");
    for (const TPhonebookEntry& E : Want)
        if (Book.Find(E.Name) != &Book.Entries()[size_t(&E - Want.data())])
            Fail("entry [" + E.Name + "] is not found by its name");

    // A name or value that holds a line end or starts with '[' cannot be written back as it
    // was read; a file read is never made of those, so every phonebook read writes back.
    TPhonebook Again;
    Again.Parse(Written(Book.Entries()), "written");
    Compare(Again.Entries(), Book.Entries(), "written and read back");

    // The dialog's changes, made to the first and the last entry of the file as it stands.
    for (const size_t At : {size_t(0), Book.Entries().size() - 1}) {
        if (Book.Entries().empty()) break;
        for (const std::string& Value : {std::string("pon fuzz"), std::string()}) {
            const std::string& Name = Book.Entries()[At].Name;
            TPhonebook Changed;
            Changed.Parse(SetPhonebookValue(Input, Name, "Connect", Value), "changed");
            std::vector<TPhonebookEntry> Wanted = Book.Entries();
            Wanted[At].Connect = Value;
            Compare(Changed.Entries(), Wanted, "Connect of [" + Name + "] set to " + Value);
        }
    }
    return 0;
}
