#pragma once
// Limits of the HTML viewer panel on what a document's frames and links can make it build. A
// mail names its frames' sources itself, and a provider may answer every URL with the same
// mail: the frames it opens must stay few and shallow.
#include <cstddef>

namespace HtmlPanelLimits {

// Frames inside frames (frame sets and inline frames); a frame deeper down opens nothing.
inline constexpr int kMaxFrameDepth = 8;

// Child frames (and their panels) one frame keeps; FRAME and IFRAME elements beyond them are
// shown as nothing.
inline constexpr size_t kMaxChildFrames = 256;

// Frames one panel shows at once, all depths together; further frames are not made.
inline constexpr size_t kMaxFrames = 256;

// Anchors that get a window of their own for the keyboard focus; links beyond them are still
// shown and clicked, but Tab does not stop at them.
inline constexpr size_t kMaxFocusControls = 4096;

}  // namespace HtmlPanelLimits
