// Arbitrary bytes as a dupe database file of the kind the first byte picks (dupes.crc, dupes.md5
// or dupes.mid; the second byte is the number of entries kept). What loads must be known to the
// database, and the file saved from it must load again to exactly its newest entries, in order.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "app/engine/dupecheck.h"
#include "fuzz/support/FuzzWorld.h"
#include "netlib/base/IpUtils.h"

namespace {

const char* const kFiles[] = {"dupes.crc", "dupes.md5", "dupes.mid"};

std::vector<std::string> Entries(TCustomDupecheck& Db) {
    std::vector<std::string> Out;
    for (int32_t I = 0; I < Db.Count(); ++I) {
        if (auto* Crc = dynamic_cast<TCRCDupecheck*>(&Db))
            Out.push_back(std::to_string(Crc->Checksum(I)));
        else if (auto* Md5 = dynamic_cast<TMD5Dupecheck*>(&Db))
            Out.emplace_back(reinterpret_cast<const char*>(Md5->Entry(I).data()), 16);
        else
            Out.push_back(dynamic_cast<TMIDDupecheck&>(Db).MessageID(I));
    }
    return Out;
}

bool IsKnown(TCustomDupecheck& Db, const std::string& Entry) {
    if (auto* Crc = dynamic_cast<TCRCDupecheck*>(&Db))
        return Crc->IsDupeChecksum(uint32_t(std::stoul(Entry)));
    if (auto* Md5 = dynamic_cast<TMD5Dupecheck*>(&Db)) {
        TIpMD5Digest Digest;
        std::copy(Entry.begin(), Entry.end(), Digest.begin());
        return Md5->IsDupeDigest(Digest);
    }
    return dynamic_cast<TMIDDupecheck&>(Db).IsDupeMessageID(Entry);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 2) return 0;
    FuzzWorld::Root();
    const std::string Name = FuzzWorld::Home() + kFiles[Data[0] % 3];
    const int32_t Keep = Data[1];
    FuzzWorld::Write(Name, std::string_view(reinterpret_cast<const char*>(Data + 2), Size - 2));

    auto Db = DupecheckForFile(Name);
    Db->MaxEntries = Keep;
    Db->Load();
    const std::vector<std::string> Loaded = Entries(*Db);
    if (Data[0] % 3 != 2 && size_t(Db->Count()) != (Size - 2) / (Data[0] % 3 == 0 ? 4 : 16))
        FuzzWorld::Fail("not every whole entry of the file was loaded");
    Db->Save();
    auto Again = DupecheckForFile(Name);
    Again->MaxEntries = Keep;
    Again->Load();
    const size_t Newest = std::min(Loaded.size(), size_t(Keep));
    if (Entries(*Again) != std::vector<std::string>(Loaded.end() - ptrdiff_t(Newest), Loaded.end()))
        FuzzWorld::Fail("the saved file does not hold the newest entries in their order");
    // Every entry is known, unless a newer one shares its index key (the first eight bytes of a
    // digest: such an article is at worst stored twice). The ids of the Message-ID kind are
    // compared as the check trims them.
    const std::vector<std::string> Kept = Entries(*Again);
    std::set<std::string> NewerKeys;
    for (auto It = Kept.rbegin(); It != Kept.rend(); ++It) {
        const bool Shadowed = Data[0] % 3 == 1 && !NewerKeys.insert(It->substr(0, 8)).second;
        if (!Shadowed && (Data[0] % 3 != 2 || TrimControls(*It) == *It) && !IsKnown(*Again, *It))
            FuzzWorld::Fail("an entry of the file is not known to the database");
    }
    return 0;
}
