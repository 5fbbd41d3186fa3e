// Feeds arbitrary bytes to the reading of a box's list of stored mails (<box>.got), with one
// temporary spool file ("spool/m1.tmp") present as a killed run leaves it. The list is read or
// refused (then empty); an entry naming the temporary file that is still there is dropped and
// the file removed; what is kept was a line of the file, id and temporary name as written
// there. Saved, the list reads back without a drop and saves again to the same bytes.
#include <unistd.h>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "app/engine/FetchedMails.h"
#include "fuzz/support/FuzzInput.h"
#include "platform/classes/Exception.h"

namespace {

const std::string& Dir() {
    static const std::string Made = [] {
        const std::string Path = Fuzz::OwnDir("got");
        std::filesystem::create_directories(Path + "spool");
        // The spool is named relative to it, so inputs can name its temporary files.
        std::filesystem::current_path(Path);
        return Path;
    }();
    return Made;
}

// The lines of Text as they stand, without their ends: CR LF, a bare LF or a bare CR (as every
// list file of the program is read).
std::set<std::string> Lines(const std::string& Text) {
    std::set<std::string> Out;
    size_t At = 0;
    while (At <= Text.size()) {
        size_t End = Text.find_first_of("\r\n", At);
        if (End == std::string::npos) End = Text.size();
        Out.insert(Text.substr(At, End - At));
        At = End + (Text.compare(End, 2, "\r\n") == 0 ? 2 : 1);
    }
    return Out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string Input(reinterpret_cast<const char*>(Data), Size);
    const std::string Spool = (Dir(), std::string("spool/"));
    const std::string List = Dir() + "box.got", Saved = Dir() + "saved.got";
    const std::string Leftover = Spool + "m1.tmp";
    std::filesystem::remove(Saved);
    Fuzz::WriteFile(List, Input);
    Fuzz::WriteFile(Leftover, "a mail never named");

    TFetchedMails Mails;
    try {
        Mails.Load(List, Spool);
    } catch (const Exception&) {
        if (!Mails.Empty()) Fuzz::Fail("a list refused is not empty");
        return 0;
    }
    const std::set<std::string> Written = Lines(Input);
    for (const std::string& Line : Written) {
        const size_t Blank = Line.find(' ');
        if (Blank != std::string::npos && Line.substr(Blank + 1) == Leftover &&
            std::filesystem::exists(Leftover) && Mails.Dropped() > 0)
            Fuzz::Fail("the temporary file of a mail never stored is kept");
    }
    try {
        Mails.Save(Saved);
    } catch (const Exception& E) {
        Fuzz::Fail("a list read cannot be saved: " + E.Message());
    }
    const std::string First = Fuzz::ReadFile(Saved);
    for (const std::string& Line : Lines(First)) {
        if (Line.empty()) continue;
        if (!Written.count(Line)) Fuzz::Fail("a saved entry that was no line of the file: " + Line);
        const size_t Blank = Line.find(' ');
        if (Blank == std::string::npos || !Mails.Stored(Line.substr(0, Blank)))
            Fuzz::Fail("a saved entry the list does not hold: " + Line);
        if (Line.substr(Blank + 1) == Leftover)
            Fuzz::Fail("a mail whose temporary file was there is kept as stored");
    }
    TFetchedMails Again;
    Again.Load(Saved, Spool);
    if (Again.Dropped() != 0) Fuzz::Fail("a saved list drops entries when read again");
    std::filesystem::remove(Dir() + "again.got");
    Again.Save(Dir() + "again.got");
    if (Fuzz::ReadFile(Dir() + "again.got") != First)
        Fuzz::Fail("a list read back saves other bytes");
    return 0;
}
