#pragma once
// What text measures in a font. With a GUI application object the font system measures it; a
// program without one (a run nobody sees, with a QCoreApplication only) measures with a fixed
// metric of the face and pixel size instead, so that its windows lay out as they would on the
// offscreen platform without loading a font system: heights and line spacing are the faces' own,
// a text is as wide as its characters at the face's average width. Such a program draws no
// text: nothing of it is ever seen.
#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <optional>

namespace GdiInternal {

// True when fonts can be loaded and text drawn (a QGuiApplication exists).
bool HasFontSystem();

// Whether the font's characters are all of one width.
bool FixedPitch(const QFont& Font);

class TFontMetrics {
  public:
    // FontSystem false: the fixed metric, also where a font system exists.
    explicit TFontMetrics(const QFont& Font, bool FontSystem = HasFontSystem());

    int height() const;
    int ascent() const;
    int descent() const;
    int leading() const;
    int averageCharWidth() const;
    int maxWidth() const;
    int underlinePos() const;
    int lineWidth() const;
    int horizontalAdvance(const QString& Text) const;
    int horizontalAdvance(QChar Char) const;

  private:
    std::optional<QFontMetrics> FQt;
    // The fixed metric, in pixels.
    int FAscent = 0;
    int FDescent = 0;
    int FLeading = 0;
    int FAverageWidth = 1;
    int FMaxWidth = 1;
};

}  // namespace GdiInternal
