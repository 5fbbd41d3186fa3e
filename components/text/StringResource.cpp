#include "components/text/StringResource.h"

#include <cstring>

#include "components/text/Limits.h"

namespace {

constexpr size_t kHeaderSize = 8;
constexpr size_t kEntrySize = 12;
constexpr char kMagic[4] = {'S', 'T', 'R', '0'};

uint32_t Get32(std::span<const uint8_t> data, size_t at) {
    return uint32_t(data[at]) | uint32_t(data[at + 1]) << 8 | uint32_t(data[at + 2]) << 16 |
           uint32_t(data[at + 3]) << 24;
}

// Checks what the header claims against the data, so no lookup can read past the table.
bool HeaderIsValid(std::span<const uint8_t> data) {
    if (data.size() < kHeaderSize || std::memcmp(data.data(), kMagic, 4) != 0) return false;
    const uint32_t count = Get32(data, 4);
    return count <= TextLimits::kMaxStringTableEntries &&
           kHeaderSize + kEntrySize * size_t(count) <= data.size();
}

enum class LookupResult { Found, Missing, Invalid };

// Binary search over the entries; on success `text` holds the entry's UTF-16LE bytes.
LookupResult FindEntry(std::span<const uint8_t> data, int32_t id, std::span<const uint8_t>& text) {
    if (!HeaderIsValid(data)) return LookupResult::Invalid;
    int64_t low = 0;
    int64_t high = int64_t(Get32(data, 4)) - 1;
    while (low <= high) {
        const int64_t middle = (low + high) / 2;
        const size_t entry = kHeaderSize + kEntrySize * size_t(middle);
        const auto entryId = int32_t(Get32(data, entry));
        if (entryId == id) {
            const uint64_t offset = Get32(data, entry + 4);
            const uint64_t bytes = 2 * uint64_t(Get32(data, entry + 8));
            if (offset > data.size() || bytes > data.size() - offset) return LookupResult::Invalid;
            text = data.subspan(size_t(offset), size_t(bytes));
            return LookupResult::Found;
        }
        if (entryId < id)
            low = middle + 1;
        else
            high = middle - 1;
    }
    return LookupResult::Missing;
}

// Windows-1252 bytes 0x80-0x9F and the characters they stand for; 0 marks the five unassigned
// bytes, which stand for the C1 control of the same value.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char ToCp1252(uint16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return char(unit);
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == unit || (kCp1252High[i] == 0 && unit == 0x80 + i))
            return char(0x80 + i);
    return '?';
}

// UTF-16LE to Windows-1252; a character outside it, a surrogate pair too, becomes one "?".
std::string Utf16ToCp1252(std::span<const uint8_t> bytes) {
    std::string out;
    out.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto unit = uint16_t(bytes[i] | bytes[i + 1] << 8);
        const bool highSurrogate = unit >= 0xD800 && unit <= 0xDBFF;
        if (highSurrogate && i + 3 < bytes.size()) {
            const auto next = uint16_t(bytes[i + 2] | bytes[i + 3] << 8);
            if (next >= 0xDC00 && next <= 0xDFFF) i += 2;
        }
        out += ToCp1252(unit);
    }
    return out;
}

// The reader's own messages. They are read straight from its table so that a failure while
// reporting a failure cannot recurse.
std::string ReaderMessage(int32_t id, const std::string& argument = std::string()) {
    std::span<const uint8_t> text;
    std::string message;
    if (FindEntry(FindResourceData("STSRMGR_STRINGS"), id, text) == LookupResult::Found)
        message = Utf16ToCp1252(text);
    for (const char* placeholder : {"%s", "%d"}) {
        const size_t at = message.find(placeholder);
        if (at != std::string::npos) message.replace(at, 2, argument);
    }
    return message;
}

[[noreturn]] void RaiseReaderError(int32_t id, const std::string& argument = std::string()) {
    throw ETpsStringResourceError(ReaderMessage(id, argument));
}

}  // namespace

TSsStringResource::TSsStringResource(const TResourceModule* instance,
                                     const std::string& resourceName) {
    SelectResource(instance, resourceName);
}

TSsStringResource::~TSsStringResource() {
    CloseResource();
}

void TSsStringResource::SelectResource(const TResourceModule* instance,
                                       const std::string& resourceName) {
    CloseResource();
    FResourceName = resourceName.substr(0, TextLimits::kMaxResourceNameLength);
    if (!FResourceName.empty()) OpenResource(instance);
}

void TSsStringResource::OpenResource(const TResourceModule* instance) {
    const TResourceEntry* entry = instance ? FindResourceEntry(*instance, FResourceName) : nullptr;
    if (!entry) entry = FindResourceEntry(MainResourceModule(), FResourceName);
    if (!entry) RaiseReaderError(SResourceNotFound, FResourceName);
    if (!HeaderIsValid(entry->Data)) RaiseReaderError(SInvalidStringResource);
    FResource = entry->Data;
}

void TSsStringResource::CloseResource() {
    UnlockResource();
    FResource = {};
}

void TSsStringResource::LockResource() {
    FData = FResource;
}

std::string TSsStringResource::GetText(int32_t id) {
    LockResource();
    std::span<const uint8_t> text;
    const LookupResult result =
        FResource.empty() ? LookupResult::Missing : FindEntry(FData, id, text);
    std::string converted = result == LookupResult::Found ? Utf16ToCp1252(text) : std::string();
    UnlockResource();
    if (result == LookupResult::Invalid) RaiseReaderError(SInvalidStringResource);
    if (result == LookupResult::Missing && FReportMissing)
        RaiseReaderError(SStringNotFound, std::to_string(id));
    return converted;
}

TSsStringResource& StringResourceManagerStrings() {
    static TSsStringResource reader(nullptr, "STSRMGR_STRINGS");
    return reader;
}

TSsStringResource& ShellStrings() {
    static TSsStringResource reader(nullptr, "SHELLSHOCK_STRINGS_ENGLISH");
    return reader;
}
