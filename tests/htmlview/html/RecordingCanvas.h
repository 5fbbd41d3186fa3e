#pragma once
// A canvas of fixed metrics for layout tests, recording every call. A character is half the
// font size wide (at least 1); a line of text is the size plus a third high, of which the size
// is ascent. So the default font (12 points) has 6-pixel characters and 16-pixel lines with an
// ascent of 12, whatever fonts the machine has.
#include <memory>
#include <string>
#include <vector>

#include "htmlview/html/IpHtml.h"

class TRecordingCanvas : public TIpHtmlCanvas {
  public:
    // Draw calls go to Log; measuring is only counted.
    std::vector<std::string> Log;
    int Measures = 0;
    int MetricQueries = 0;
    int FontChanges = 0;
    // Calls of any kind.
    int Calls = 0;

    uint64_t MetricsId() const override { return 7; }
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

    // The draw calls logged so far that start with Prefix ("text", "fill", ...).
    std::vector<std::string> Drawn(const std::string& Prefix) const;

  private:
    void Record(const std::string& Line);
    TIpHtmlFont FFont{"", 12, 0};
};

// "l,t,r,b"
std::string RectText(const TIpHtmlRect& R);
