#pragma once
// Binary resources compiled into the program (the string tables are generated at build time from
// resources/strings/). A module is a set of named resources; the program's own is the main module.
#include <cstdint>
#include <span>
#include <string_view>

struct TResourceEntry {
    const char* Name;
    std::span<const uint8_t> Data;
};

struct TResourceModule {
    std::span<const TResourceEntry> Entries;
};

// One row of a message table compiled into the program.
struct TResourceString {
    int32_t Id;
    const char* Text;  // UTF-8
};

const TResourceModule& MainResourceModule();
// The named resource of the module (names compare without regard to ASCII case); null when the
// module lacks it.
const TResourceEntry* FindResourceEntry(const TResourceModule& module, std::string_view name);
// The data of that resource; empty when the module lacks it.
std::span<const uint8_t> FindResourceData(const TResourceModule& module, std::string_view name);
std::span<const uint8_t> FindResourceData(std::string_view name);
// The named message table in its file order; empty when there is none.
std::span<const TResourceString> FindStringTable(std::string_view name);
