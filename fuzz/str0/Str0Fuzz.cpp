// Arbitrary bytes as a "STR0" string table of a resource module: the table is opened (or refused
// with the reader's error) and every id its entries name is looked up, with ids beside them.
// No lookup may read outside the table, and a text is never longer than the table holds.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "components/text/StringResource.h"
#include "fuzz/support/FuzzInput.h"

namespace {

using Fuzz::Fail;

uint32_t Get32(const std::vector<uint8_t>& Data, size_t At) {
    return At + 4 <= Data.size() ? uint32_t(Data[At]) | uint32_t(Data[At + 1]) << 8 |
                                       uint32_t(Data[At + 2]) << 16 | uint32_t(Data[At + 3]) << 24
                                 : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    // A copy of exactly the input's size, so that a read past the table is a read past the heap
    // block.
    const std::vector<uint8_t> Table(Data, Data + Size);
    const TResourceEntry Entries[] = {{"FUZZ_STRINGS", std::span<const uint8_t>(Table)}};
    const TResourceModule Module{Entries};
    try {
        TSsStringResource Reader(&Module, "fuzz_strings");
        std::vector<int32_t> Ids = {0, -1, INT32_MIN, INT32_MAX};
        for (size_t At = 8; At + 12 <= Table.size() && Ids.size() < 4096; At += 12) {
            const auto Id = int64_t(int32_t(Get32(Table, At)));
            for (int64_t Near : {Id, Id - 1, Id + 1})
                if (Near >= INT32_MIN && Near <= INT32_MAX) Ids.push_back(int32_t(Near));
        }
        for (bool Report : {false, true}) {
            Reader.SetReportMissing(Report);
            for (int32_t Id : Ids) {
                try {
                    if (Reader.GetText(Id).size() > Table.size() / 2)
                        Fail("a text longer than the table");
                } catch (const ETpsStringResourceError&) {
                    // Missing (when asked to report it) or an entry pointing outside the table.
                }
            }
        }
    } catch (const ETpsStringResourceError&) {
        // Not a table: refused when opened.
    }
    return 0;
}
