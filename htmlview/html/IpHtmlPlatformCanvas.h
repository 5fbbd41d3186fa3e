#pragma once
// The document's canvas on the platform: a TCanvas (a window's surface, a bitmap) drawn through
// its device context. Fonts, pens and brushes are made once per value and kept while the canvas
// lives; whatever the context had selected before is restored when it goes.
#include <map>
#include <memory>
#include <tuple>

#include "htmlview/html/IpHtmlCanvas.h"
#include "platform/gdi/Graphics.h"

class TIpHtmlPlatformCanvas : public TIpHtmlCanvas {
  public:
    explicit TIpHtmlPlatformCanvas(TCanvas& Canvas);
    ~TIpHtmlPlatformCanvas() override;
    TIpHtmlPlatformCanvas(const TIpHtmlPlatformCanvas&) = delete;
    TIpHtmlPlatformCanvas& operator=(const TIpHtmlPlatformCanvas&) = delete;

    // Every canvas of the platform measures at 96 pixels per inch with the same fonts.
    uint64_t MetricsId() const override { return 1; }
    void SetFont(const TIpHtmlFont& Font) override;
    void SetTextColor(TIpHtmlColor Color) override;
    TIpHtmlSize TextExtent(std::string_view Text) override;
    TIpHtmlTextMetrics TextMetrics() override;
    void TextOut(int32_t X, int32_t Y, std::string_view Text) override;
    void FillRect(const TIpHtmlRect& R, TIpHtmlColor Color) override;
    void FrameRect(const TIpHtmlRect& R, TIpHtmlColor Color) override;
    void Polyline(const std::vector<TIpHtmlPoint>& Points, TIpHtmlColor Color) override;
    void Polygon(const std::vector<TIpHtmlPoint>& Points, TIpHtmlColor Color) override;
    void Ellipse(const TIpHtmlRect& R, TIpHtmlColor Pen, TIpHtmlColor Brush) override;
    void Rectangle(const TIpHtmlRect& R, TIpHtmlColor Pen, TIpHtmlColor Brush) override;
    void InvertRect(const TIpHtmlRect& R) override;
    void DrawPicture(const TIpHtmlRect& R, TGraphic& Graphic) override;
    void TilePicture(const TIpHtmlRect& Area, TGraphic& Graphic, TIpHtmlPoint Origin) override;
    std::unique_ptr<TIpHtmlCanvas> CreateBuffer(int32_t Width, int32_t Height) override;
    void DrawBuffer(TIpHtmlCanvas& Buffer, TIpHtmlPoint At) override;

  private:
    using TFontKey = std::tuple<std::string, int32_t, TIpHtmlFontStyleSet>;
    HPEN PenOf(TIpHtmlColor Color);
    HBRUSH BrushOf(TIpHtmlColor Color);
    void SelectShape(TIpHtmlColor Pen, TIpHtmlColor Brush);
    void SelectText();
    TCanvas& FCanvas;
    HDC FDC;
    int FSaved;
    HFONT FFont = 0;
    COLORREF FTextColor = 0;
    std::map<TFontKey, HFONT> FFonts;
    std::map<TIpHtmlColor, HPEN> FPens;
    std::map<TIpHtmlColor, HBRUSH> FBrushes;
};
