#include "tests/htmlview/html/RecordingCanvas.h"

#include <algorithm>
#include <cstdio>

#include "platform/gdi/Graphics.h"

namespace {

std::string ColorText(TIpHtmlColor Color) {
    if (Color == kHtmlNoColor) return "none";
    char Text[16];
    std::snprintf(Text, sizeof Text, "%06X", Color);
    return Text;
}

std::string PointsText(const std::vector<TIpHtmlPoint>& Points) {
    std::string Out;
    for (const TIpHtmlPoint& P : Points)
        Out += " " + std::to_string(P.X) + "," + std::to_string(P.Y);
    return Out;
}

}  // namespace

std::string RectText(const TIpHtmlRect& R) {
    return std::to_string(R.Left) + "," + std::to_string(R.Top) + "," + std::to_string(R.Right) +
           "," + std::to_string(R.Bottom);
}

void TRecordingCanvas::Record(const std::string& Line) {
    Log.push_back(Line);
}

void TRecordingCanvas::SetFont(const TIpHtmlFont& Font) {
    ++Calls;
    ++FontChanges;
    FFont = Font;
    Record("font " + Font.Name + " " + std::to_string(Font.Size) + " " +
           std::to_string(Font.Style));
}

void TRecordingCanvas::SetTextColor(TIpHtmlColor Color) {
    ++Calls;
    Record("color " + ColorText(Color));
}

TIpHtmlSize TRecordingCanvas::TextExtent(std::string_view Text) {
    ++Calls;
    ++Measures;
    return {int32_t(Text.size()) * std::max(FFont.Size / 2, 1), FFont.Size + FFont.Size / 3};
}

TIpHtmlTextMetrics TRecordingCanvas::TextMetrics() {
    ++Calls;
    ++MetricQueries;
    return {FFont.Size, FFont.Size / 3, FFont.Size + FFont.Size / 3};
}

void TRecordingCanvas::TextOut(int32_t X, int32_t Y, std::string_view Text) {
    ++Calls;
    Record("text " + std::to_string(X) + "," + std::to_string(Y) + " " + std::string(Text));
}

void TRecordingCanvas::FillRect(const TIpHtmlRect& R, TIpHtmlColor Color) {
    ++Calls;
    Record("fill " + RectText(R) + " " + ColorText(Color));
}

void TRecordingCanvas::FrameRect(const TIpHtmlRect& R, TIpHtmlColor Color) {
    ++Calls;
    Record("frame " + RectText(R) + " " + ColorText(Color));
}

void TRecordingCanvas::Polyline(const std::vector<TIpHtmlPoint>& Points, TIpHtmlColor Color) {
    ++Calls;
    Record("line" + PointsText(Points) + " " + ColorText(Color));
}

void TRecordingCanvas::Polygon(const std::vector<TIpHtmlPoint>& Points, TIpHtmlColor Color) {
    ++Calls;
    Record("polygon" + PointsText(Points) + " " + ColorText(Color));
}

void TRecordingCanvas::Ellipse(const TIpHtmlRect& R, TIpHtmlColor Pen, TIpHtmlColor Brush) {
    ++Calls;
    Record("ellipse " + RectText(R) + " " + ColorText(Pen) + " " + ColorText(Brush));
}

void TRecordingCanvas::Rectangle(const TIpHtmlRect& R, TIpHtmlColor Pen, TIpHtmlColor Brush) {
    ++Calls;
    Record("rectangle " + RectText(R) + " " + ColorText(Pen) + " " + ColorText(Brush));
}

void TRecordingCanvas::InvertRect(const TIpHtmlRect& R) {
    ++Calls;
    Record("invert " + RectText(R));
}

void TRecordingCanvas::DrawPicture(const TIpHtmlRect& R, TGraphic& Graphic) {
    ++Calls;
    Record("picture " + RectText(R) + " " + std::to_string(Graphic.Width()) + "x" +
           std::to_string(Graphic.Height()));
}

void TRecordingCanvas::TilePicture(const TIpHtmlRect& Area, TGraphic& Graphic,
                                   TIpHtmlPoint Origin) {
    ++Calls;
    Record("tile " + RectText(Area) + " " + std::to_string(Graphic.Width()) + "x" +
           std::to_string(Graphic.Height()) + " from " + std::to_string(Origin.X) + "," +
           std::to_string(Origin.Y));
}

std::unique_ptr<TIpHtmlCanvas> TRecordingCanvas::CreateBuffer(int32_t Width, int32_t Height) {
    ++Calls;
    Record("buffer " + std::to_string(Width) + "x" + std::to_string(Height));
    return std::make_unique<TRecordingCanvas>();
}

void TRecordingCanvas::DrawBuffer(TIpHtmlCanvas& Buffer, TIpHtmlPoint At) {
    ++Calls;
    auto& Source = static_cast<TRecordingCanvas&>(Buffer);
    for (const std::string& Line : Source.Log) Record("[buffer] " + Line);
    Record("copy to " + std::to_string(At.X) + "," + std::to_string(At.Y));
}

std::vector<std::string> TRecordingCanvas::Drawn(const std::string& Prefix) const {
    std::vector<std::string> Out;
    for (const std::string& Line : Log)
        if (Line.compare(0, Prefix.size(), Prefix) == 0) Out.push_back(Line);
    return Out;
}
