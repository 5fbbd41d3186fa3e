// Arbitrary bytes as a box file: the point program's .bfg when the first byte is even, our own
// .cfg when it is odd. The file is read (or refused with a read error), and what was read,
// saved as a .cfg, must read back to the same settings: every value the reader takes is one the
// writer can write.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/engine/bfgconfig.h"
#include "fuzz/support/FuzzWorld.h"
#include "platform/classes/Exception.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzWorld::Root();
    FuzzWorld::Quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 1) return 0;
    const std::string Name = FuzzWorld::PointDir() + (Data[0] % 2 ? "fuzz.cfg" : "fuzz.bfg");
    FuzzWorld::Write(Name, std::string_view(reinterpret_cast<const char*>(Data + 1), Size - 1));
    TKestroConfig Read;
    try {
        Read.ReadFile(Name);
    } catch (const EReadError&) {
        return 0;  // no box file
    } catch (const ERangeError&) {
        return 0;  // a negative article maximum ends the reading
    }
    const std::string Saved = FuzzWorld::PointDir() + "saved.cfg";
    Read.SaveToFile(Saved);
    TKestroConfig Again;
    Again.ReadFile(Saved);
    if (Again.CfgText() != Read.CfgText())
        FuzzWorld::Fail("a saved box reads back with other settings:\n" + Read.CfgText() +
                        "\n---\n" + Again.CfgText());
    return 0;
}
