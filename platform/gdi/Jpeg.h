#pragma once
// JPEG pictures through libjpeg: the one decoder every picture class of the program uses, and
// TJPEGImage, the graphic class the picture registry makes for the extensions "jpg" and "jpeg".
#include <QImage>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/gdi/Graphics.h"

bool IsJpeg(std::span<const uint8_t> Data);
// The picture as 32-bit RGB; a null image for data libjpeg cannot read, for colour spaces other
// than grey, RGB and YCbCr, and for pictures beyond the painting layer's size limits (see
// GdiLimits: the size, the pixels a byte of data may stand for, the scans of a progressive file).
QImage DecodeJpeg(std::span<const uint8_t> Data);

// A JPEG file as a graphic: the bytes as read (saving writes them back) and their pixels.
class TJPEGImage : public TGraphic {
  public:
    TJPEGImage();
    ~TJPEGImage() override;

    int Width() const override { return FBitmap.Width(); }
    int Height() const override { return FBitmap.Height(); }
    // A JPEG's size is its data's: setting it changes nothing.
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    bool Empty() const override { return FBitmap.Empty(); }
    void Draw(TCanvas& Canvas, const TRect& R) override;
    // Reads the rest of the stream; raises EInvalidGraphic for data that is no readable JPEG or
    // too large, leaving the picture as it was.
    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) override;
    // From another JPEG image; anything else is refused as by every graphic.
    void Assign(const TGraphic& Source) override;
    // Gives the pixels to a TBitmap destination.
    void AssignTo(TGraphic& Dest) const override;
    std::string ClassName() const override { return "TJPEGImage"; }

    // The decoded pixels.
    TBitmap& Bitmap() { return FBitmap; }

  private:
    std::vector<uint8_t> FData;
    TBitmap FBitmap;
};
