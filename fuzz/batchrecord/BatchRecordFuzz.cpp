// Arbitrary bytes as the pending record of a news batch (batch<N>.pending), which outlives the
// run that wrote it. It is read or refused with a read error; a record read is written again
// and must read back to itself, so that the next run settles exactly what this one recorded.
// (Only the record's text is read here: settling it would rename and delete what it names.)
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/engine/BatchRecords.h"
#include "platform/classes/Exception.h"

namespace {

bool Same(const TBatchRecord& A, const TBatchRecord& B) {
    return A.Batch == B.Batch && A.Complete == B.Complete && A.Temps == B.Temps &&
           A.GroupList == B.GroupList && (A.GroupList.empty() || A.Line == B.Line) &&
           (A.GroupList.empty() || (A.OldLine == B.OldLine && A.NewLine == B.NewLine)) &&
           A.Dupes == B.Dupes && (A.Dupes.empty() || A.Entries == B.Entries);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TBatchRecord Record;
    try {
        Record = TBatchRecord::Parse(std::string(reinterpret_cast<const char*>(Data), Size));
    } catch (const EReadError&) {
        return 0;
    }
    const std::string Text = Record.Text();
    TBatchRecord Again;
    try {
        Again = TBatchRecord::Parse(Text);
    } catch (const EReadError& E) {
        std::fprintf(stderr, "a written record is refused: %s\n%s\n", E.Message().c_str(),
                     Text.c_str());
        std::abort();
    }
    if (!Same(Record, Again) || Again.Text() != Text) {
        std::fprintf(stderr, "a written record reads back changed:\n%s\n", Text.c_str());
        std::abort();
    }
    return 0;
}
