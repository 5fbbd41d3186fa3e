#pragma once
// Limits on what the point program's lists make the windows hold.
#include <cstddef>
#include <cstdint>

#include "htmlview/html/Limits.h"
#include "platform/gdi/Limits.h"

namespace UiLimits {

// Depths of the newsgroup tree: a group name with more dots than this gets no node (the parts of
// the current name and the node of each depth are kept in tables of kMaxGroupDots + 1 entries).
inline constexpr int kMaxGroupDots = 63;

// Groups of a full list whose tree gets every node at once. A larger list gets the nodes below
// a folder when the folder is first expanded: a node costs the tree about 200 bytes and the
// tree window as much again, and a large server lists a million groups.
inline constexpr int kGroupNodesAtOnce = 50000;

// Longest attachment name the message viewer makes a file of (the longest name a Linux file
// system takes); a longer one is refused with a message instead of failing half-way.
inline constexpr size_t kMaxAttachmentNameLength = 255;

// Bytes of the document the message viewer hands its HTML panel. Layout makes at most about one
// and a half elements of a byte of text (a word and a blank, or a soft hyphen between two empty
// words), so a document of half the pool's elements always fits; a longer mail is shown up to
// there, with a notice that it was cut.
inline constexpr size_t kMaxShownDocumentBytes = HtmlLimits::kMaxPoolItems / 2;

// Pixels the pictures of the message a viewer shows may decode to together (each part once for
// each document that shows it): twice the largest bitmap, so that any one picture the painting
// layer takes (a GIF's screen and its frames at their largest) fits alone, and 256 MB at 32 bits.
// A few bytes of header may ask for a bitmap of that size, and a page may show hundreds of them.
inline constexpr int64_t kMaxMessagePicturePixels = 2 * GdiLimits::kMaxBitmapPixels;

}  // namespace UiLimits
