#pragma once
// GIF files as animated graphics: loading fills the frame list with the file's frames (place,
// delay, disposal, transparency), and the animation steps through them. Registered with the
// picture framework for the extension "gif".
#include <cstdint>
#include <vector>

#include "htmlview/anim/IpAnim.h"

class TIpGifImage : public TIpAnimatedGraphic {
  public:
    // Reads the rest of the stream and shows the first frame; raises EInvalidGraphic for data
    // that is no readable GIF or too large, leaving the picture as it was.
    void LoadFromStream(TStream& Stream) override;
    // The bytes as read.
    void SaveToStream(TStream& Stream) override;
    // Draws the current frame stretched into R, and remembers R as the animation does.
    void Draw(TCanvas& Canvas, const TRect& R) override;
    // From another GIF image: its bytes and background as well as its frames.
    void Assign(const TGraphic& Source) override;
    std::string ClassName() const override { return "TIpGifImage"; }

    // A GIF's disposal method tells what becomes of a frame once the next one is due: before a
    // frame is drawn, the one before it is removed as it asks (its area filled with the
    // background, or the picture as it was before it brought back), and the frame is drawn over
    // what remains, without its transparent pixels. The animation's start and any jump begin
    // again from the background.
    void DisposeFrame(TBitmap& Target, TIpAnimationFrame* Frame, bool& Draw,
                      uint8_t Method) override;

  private:
    // Removes the frame before Index as it asks and draws frame Index; returns what changed.
    QRect Step(TBitmap& Target, int Index);
    // Back to the background where anything was drawn; returns what changed.
    QRect Clear(TBitmap& Target);
    void KeyBackground();
    std::vector<uint8_t> FData;
    // The frame the bitmap shows (-1: none yet, and the bitmap holds no background yet).
    int FComposed = -1;
    // The area of the bitmap drawn on since it last was all background, at the size it had then.
    QRect FDrawn;
    QSize FComposedOn;
    // What lay under the frame shown, where that frame is to be removed by restoring it.
    QImage FBeforeFrame;
    QPoint FBeforeAt;
    // Whether the background (BackgroundColor, a colour of no frame) ever shows; it is then drawn
    // transparent.
    bool FBackgroundShows = false;
};
