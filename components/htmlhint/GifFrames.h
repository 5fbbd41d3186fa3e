#pragma once
// Frames of a GIF as the picture class counts and cuts them: a frame is a graphic-control
// extension (0x21 0xF9 0x04) whose image descriptor (0x2C) follows 8 bytes after its start.
#include <cstdint>
#include <span>
#include <vector>

namespace GifFrames {

struct TFrame {
    size_t Offset = 0;  // of the extension's 0x21
    int Left = 0, Top = 0, Width = 0, Height = 0;
};

bool IsGif(std::span<const uint8_t> Data);
// Logical screen width and height of the header (0 when the data is too short).
int ScreenWidth(std::span<const uint8_t> Data);
int ScreenHeight(std::span<const uint8_t> Data);
// Every frame in order; the descriptor's position and size are 0 where the data ends early.
std::vector<TFrame> Frames(std::span<const uint8_t> Data);
// The GIF with the frames before frame Number (1-based) left out, so that a reader that shows
// the first frame shows that one. The data as it is when there is no such frame.
std::vector<uint8_t> KeepFrame(std::span<const uint8_t> Data, int Number);

}  // namespace GifFrames
