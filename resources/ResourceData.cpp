#include "resources/ResourceData.h"

namespace {

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

// Resource names are looked up without regard to ASCII case, as the platform's resources were.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

}  // namespace

const TResourceEntry* FindResourceEntry(const TResourceModule& module, std::string_view name) {
    for (const TResourceEntry& entry : module.Entries)
        if (SameName(entry.Name, name)) return &entry;
    return nullptr;
}

std::span<const uint8_t> FindResourceData(const TResourceModule& module, std::string_view name) {
    const TResourceEntry* entry = FindResourceEntry(module, name);
    return entry ? entry->Data : std::span<const uint8_t>();
}

std::span<const uint8_t> FindResourceData(std::string_view name) {
    return FindResourceData(MainResourceModule(), name);
}
