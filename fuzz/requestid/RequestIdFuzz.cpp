// Arbitrary bytes as the point program's request.id. Every Message-ID taken from it can be sent
// as a command argument (no blanks or control characters, at most 255 bytes), and the file is
// written back changed in nothing but the try counters of its whole records, each one up
// (255 stays).
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/engine/SpoolFiles.h"
#include "fuzz/support/FuzzWorld.h"
#include "platform/classes/Classes.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzWorld::Root();
    FuzzWorld::Quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string Before(reinterpret_cast<const char*>(Data), Size);
    const std::string File = FuzzWorld::Home() + "request.id";
    FuzzWorld::Write(File, Before);
    TStringList Ids;
    GetRequestedMessageIDs(FuzzWorld::PointDir() + "Box.bfg", Ids);
    for (int I = 0; I < Ids.Count(); ++I) {
        const std::string& Id = Ids[I];
        if (Id.empty() || Id.size() > 255) FuzzWorld::Fail("an id of no length or too long");
        for (char C : Id)
            if (uint8_t(C) <= ' ' || uint8_t(C) == 0x7F)
                FuzzWorld::Fail("an id that cannot be a command argument");
    }
    const std::string After = FuzzWorld::Read(File);
    if (After.size() != Before.size()) FuzzWorld::Fail("the file changed its size");
    const size_t Whole = Size / size_t(RequestRecordSize) * size_t(RequestRecordSize);
    for (size_t At = 0; At < Size; ++At) {
        const bool Counter = At < Whole && At % size_t(RequestRecordSize) == 1;
        const uint8_t Old = uint8_t(Before[At]);
        const uint8_t Expected = Counter && Old < 255 ? uint8_t(Old + 1) : Old;
        if (uint8_t(After[At]) != Expected) FuzzWorld::Fail("a byte changed that is no counter");
    }
    return 0;
}
