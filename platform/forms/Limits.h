#pragma once
// Limits on what a form definition may make the reader build. Definitions come from the program's
// resources and from files (a user may hand one in), so a definition is untrusted input: these
// bound what one text can grow to before it is refused with a clear error.
#include <cstddef>

namespace FormsLimits {

// Bytes of one definition text. The program's largest window, glyph data included, takes a few
// hundred kilobytes.
inline constexpr size_t kMaxDefinitionSize = size_t(8) << 20;

// Nesting of objects, lists, collections and collection items together. Windows nest panels a
// handful of levels deep; the reader recurses once per level.
inline constexpr int kMaxNestingDepth = 48;

// Bytes of one string value after decoding (a memo's text, a long hint).
inline constexpr size_t kMaxStringLength = size_t(1) << 20;

// Bytes of one binary value (a glyph or picture).
inline constexpr size_t kMaxBinaryLength = size_t(4) << 20;

// Characters of one identifier (names of components, classes, properties, enumeration values).
inline constexpr size_t kMaxIdentifierLength = 255;

// Entries of one list, set or collection, and properties or children of one object.
inline constexpr size_t kMaxListItems = 65536;

// Objects (components) in one definition, nested ones included.
inline constexpr size_t kMaxObjects = 10000;

}  // namespace FormsLimits
