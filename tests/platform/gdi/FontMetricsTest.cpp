// The fixed metric of a program without a font system against what the font system measures.
#include <gtest/gtest.h>

#include <QFontMetrics>

#include "GdiTestSupport.h"
#include "platform/gdi/FontMetrics.h"

using namespace GdiTest;
using GdiInternal::TFontMetrics;

namespace {

QFont FaceAt(const char* Family, int Pixels, QFont::Weight Weight) {
    QFont F{QString::fromLatin1(Family)};
    F.setKerning(false);
    F.setPixelSize(Pixels);
    F.setWeight(Weight);
    return F;
}

// Windows lay out by heights and line spacing, and a run nobody sees stores what they gave (bar
// rows, window placements): these must be the font system's to the pixel.
TEST(FixedFontMetrics, VerticalMetricsAndAverageWidthAreTheFontSystems) {
    EnsureApplication();
    for (const char* Family : {"DejaVu Sans", "DejaVu Sans Mono", "Liberation Mono",
                               "Liberation Serif", "Liberation Sans"}) {
        for (const QFont::Weight Weight : {QFont::Normal, QFont::Bold}) {
            for (int Pixels = 1; Pixels <= 72; ++Pixels) {
                const QFont F = FaceAt(Family, Pixels, Weight);
                const QFontMetrics Qt(F);
                const TFontMetrics Fixed(F, false);
                SCOPED_TRACE(testing::Message()
                             << Family << " " << Pixels << " px, weight " << int(Weight));
                EXPECT_EQ(Fixed.ascent(), Qt.ascent());
                EXPECT_EQ(Fixed.descent(), Qt.descent());
                EXPECT_EQ(Fixed.height(), Qt.height());
                EXPECT_EQ(Fixed.leading(), Qt.leading());
                EXPECT_EQ(Fixed.averageCharWidth(), Qt.averageCharWidth());
                // Widths are the average advance per character: near the real ones (the
                // Liberation faces' average counts their wide letters: up to 40 % wider).
                if (Pixels >= 6) {
                    const QString Text = QStringLiteral("Verbinde zu POP Server 127.0.0.1");
                    const int Real = Qt.horizontalAdvance(Text);
                    EXPECT_GE(Fixed.horizontalAdvance(Text) * 4, Real * 3);
                    EXPECT_LE(Fixed.horizontalAdvance(Text) * 2, Real * 3);
                }
            }
        }
    }
}

TEST(FixedFontMetrics, OtherFacesMeasureAsTheDefaultFaces) {
    EnsureApplication();
    QFont Proportional = FaceAt("No Such Face", 11, QFont::Normal);
    const TFontMetrics Sans(Proportional, false);
    const TFontMetrics DejaVu(FaceAt("DejaVu Sans", 11, QFont::Normal), false);
    EXPECT_EQ(Sans.height(), DejaVu.height());
    EXPECT_EQ(Sans.averageCharWidth(), DejaVu.averageCharWidth());
    QFont Typewriter = FaceAt("No Such Face", 11, QFont::Normal);
    Typewriter.setStyleHint(QFont::TypeWriter);
    const TFontMetrics Mono(Typewriter, false);
    EXPECT_EQ(Mono.averageCharWidth(), Mono.maxWidth());
    EXPECT_EQ(Mono.horizontalAdvance(QStringLiteral("abc")), 3 * Mono.averageCharWidth());
    // A stretched font is wider, not taller.
    QFont Wide = FaceAt("DejaVu Sans", 11, QFont::Normal);
    Wide.setStretch(200);
    const TFontMetrics Stretched(Wide, false);
    EXPECT_EQ(Stretched.height(), DejaVu.height());
    EXPECT_EQ(Stretched.averageCharWidth(), 2 * DejaVu.averageCharWidth());
}

}  // namespace
