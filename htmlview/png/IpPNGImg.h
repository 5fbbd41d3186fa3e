#pragma once
// TIpPNGImage: the picture class that reads PNG files into a bitmap. Linking it registers it with
// the picture framework for the extension "PNG", so a picture loaded by a file name ending in
// .png is decoded here.
//
// It decodes only: saving and the clipboard raise EIpPNGError. Alpha is not shown; a wholly
// transparent palette entry (or the grey or RGB colour of a tRNS chunk) makes the picture
// transparent in that colour when drawn.
#include <cstdint>
#include <string>

#include "htmlview/png/PngDecoder.h"
#include "platform/gdi/Graphics.h"

class TIpPNGImage : public TGraphic {
  public:
    TIpPNGImage();
    ~TIpPNGImage() override;
    TIpPNGImage(const TIpPNGImage&) = delete;
    TIpPNGImage& operator=(const TIpPNGImage&) = delete;

    // The decoded image.
    TBitmap& Bitmap() { return FBitmap; }
    // The text chunks: keyword, text, and an empty entry after each chunk.
    TStringList& Comments() { return FDecoder.Comments; }
    const TStringList& Comments() const { return FDecoder.Comments; }
    bool CorrectGamma() const { return FDecoder.CorrectGamma; }
    void SetCorrectGamma(bool Value) { FDecoder.CorrectGamma = Value; }
    bool DetailedLog() const { return FDecoder.DetailedLog; }
    void SetDetailedLog(bool Value) { FDecoder.DetailedLog = Value; }
    // The log of the last load (warnings and errors always; the details with DetailedLog).
    TStringList& Log() { return FDecoder.Log; }
    const TStringList& Log() const { return FDecoder.Log; }
    // Days since 30 December 1899 (the tIME chunk); 0 when the file gives none.
    double ModificationDate() const { return FDecoder.ModificationDate; }
    // Warnings are also shown in a message box.
    bool ShowWarnings() const { return FDecoder.ShowWarnings; }
    void SetShowWarnings(bool Value) { FDecoder.ShowWarnings = Value; }
    bool Transparent() const override { return FDecoder.Transparent; }
    void SetTransparent(bool Value) override;
    TColor TransparentColor() const { return TColor(FDecoder.TransparentColor); }
    void SetTransparentColor(TColor Value);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode Value);

    int Width() const override { return FBitmap.Width(); }
    int Height() const override { return FBitmap.Height(); }
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    bool Empty() const override { return FBitmap.Empty(); }

    // Hands the transparency settings to the bitmap and stretches it into R.
    void Draw(TCanvas& Canvas, const TRect& R) override;
    // Decodes a PNG from the stream's position into the bitmap. Raises EIpPNGError after
    // logging; the bitmap then holds the rows placed so far.
    void LoadFromStream(TStream& Stream) override;
    void LoadFromFile(const std::string& FileName) override;
    void SaveToStream(TStream& Stream) override;
    void SaveToFile(const std::string& FileName) override;
    void SaveToClipboardFormat(uint16_t& Format, uintptr_t& Data, uintptr_t& Palette);
    void LoadFromClipboardFormat(uint16_t Format, uintptr_t Data, uintptr_t Palette);
    // From another PNG image: the bitmap, texts, settings and transparency. Anything else is
    // refused as by every graphic.
    void Assign(const TGraphic& Source) override;
    // Gives the bitmap to a TBitmap destination.
    void AssignTo(TGraphic& Dest) const override;
    std::string ClassName() const override { return "TIpPNGImage"; }

  private:
    TIpPNGDecoder FDecoder;
    TBitmap FBitmap;
    TTransparentMode FTransparentMode = tmFixed;
};
