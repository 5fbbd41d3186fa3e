// Fonts and text: logical fonts to Qt fonts at 96 pixels per inch, TextOut, ExtTextOut, DrawText
// and the metrics.
#include <cstring>

#include "platform/classes/CodePages.h"
#include "platform/classes/Mnemonics.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/Limits.h"

using namespace GdiInternal;

namespace {

bool SameFace(const char* A, const char* B) {
    return qstricmp(A, B) == 0;
}

struct TSubstitute {
    const char* Face;
    const char* Family;
    TFontObject::TEncoding Encoding;
};

// The faces the program asks for and what draws them here.
constexpr TSubstitute kSubstitutes[] = {
    {"", "DejaVu Sans", TFontObject::enAnsi},
    {"MS Sans Serif", "DejaVu Sans", TFontObject::enAnsi},
    {"MS Shell Dlg", "DejaVu Sans", TFontObject::enAnsi},
    {"MS Shell Dlg 2", "DejaVu Sans", TFontObject::enAnsi},
    {"Tahoma", "DejaVu Sans", TFontObject::enAnsi},
    {"System", "DejaVu Sans", TFontObject::enAnsi},
    {"Courier New", "Liberation Mono", TFontObject::enAnsi},
    {"Courier", "Liberation Mono", TFontObject::enAnsi},
    {"Fixedsys", "Liberation Mono", TFontObject::enAnsi},
    {"Times New Roman", "Liberation Serif", TFontObject::enAnsi},
    {"Arial", "Liberation Sans", TFontObject::enAnsi},
    {"Terminal", "DejaVu Sans Mono", TFontObject::enOem},
    {"Symbol", "DejaVu Sans", TFontObject::enSymbol},
};

}  // namespace

QFont GdiInternal::MakeQFont(const LOGFONT& Log, TFontObject::TEncoding& Encoding) {
    QString Family = QString::fromLatin1(Log.lfFaceName);
    Encoding = TFontObject::enAnsi;
    for (const TSubstitute& S : kSubstitutes) {
        if (SameFace(Log.lfFaceName, S.Face)) {
            Family = QString::fromLatin1(S.Family);
            Encoding = S.Encoding;
            break;
        }
    }
    if (Log.lfCharSet == OEM_CHARSET) Encoding = TFontObject::enOem;
    if (Log.lfCharSet == SYMBOL_CHARSET) Encoding = TFontObject::enSymbol;
    QFont F(Family);
    F.setStyleHint((Log.lfPitchAndFamily & 3) == FIXED_PITCH ? QFont::TypeWriter : QFont::AnyStyle);
    F.setKerning(false);
    F.setWeight(QFont::Weight(std::clamp<int>(Log.lfWeight ? Log.lfWeight : 400, 100, 900)));
    F.setItalic(Log.lfItalic != 0);
    F.setUnderline(Log.lfUnderline != 0);
    F.setStrikeOut(Log.lfStrikeOut != 0);
    if (Log.lfQuality == NONANTIALIASED_QUALITY) F.setStyleStrategy(QFont::NoAntialias);
    // Negative heights give the character height, positive ones the cell height; 0 the default.
    const int Height = Log.lfHeight == 0 ? -11 : Log.lfHeight;
    if (Height < 0) {
        F.setPixelSize(std::clamp(-Height, 1, 2048));
    } else {
        int Pixels = std::clamp(Height, 1, 2048);
        F.setPixelSize(Pixels);
        while (Pixels > 1 && TFontMetrics(F).height() > Height) {
            F.setPixelSize(--Pixels);
        }
    }
    if (Log.lfWidth > 0) {
        const int Average = TFontMetrics(F).averageCharWidth();
        if (Average > 0) F.setStretch(std::clamp(Log.lfWidth * 100 / Average, 1, 4000));
    }
    return F;
}

QFont QtFontOf(HFONT Font) {
    if (const auto F = FindAs<TFontObject>(Font, OBJ_FONT)) return F->Font;
    return DefaultFont()->Font;
}

namespace {

TFontObject& FontOf(TDCObject& DC) {
    if (!DC.S.Font) DC.S.Font = DefaultFont();
    return *DC.S.Font;
}

// Width of a run with tabs expanded at TabWidth (0: tabs measured as characters).
int RunWidth(const TFontMetrics& FM, const QString& S, int TabWidth, int Extra = 0) {
    if (TabWidth <= 0 || !S.contains(QLatin1Char('\t')))
        return FM.horizontalAdvance(S) + Extra * int(S.size());
    int X = 0;
    qsizetype Start = 0;
    for (;;) {
        const qsizetype Tab = S.indexOf(QLatin1Char('\t'), Start);
        const QString Part = S.mid(Start, Tab < 0 ? -1 : Tab - Start);
        X += FM.horizontalAdvance(Part) + Extra * int(Part.size());
        if (Tab < 0) return X;
        X = (X / TabWidth + 1) * TabWidth;
        Start = Tab + 1;
    }
}

// Draws S with its top-left cell corner at (X, Y) in logical coordinates, expanding tabs.
void PaintRun(QPainter& P, const TFontMetrics& FM, int X, int Y, const QString& S, int TabWidth) {
    if (!HasFontSystem()) return;
    if (TabWidth <= 0 || !S.contains(QLatin1Char('\t'))) {
        P.drawText(X, Y + FM.ascent(), S);
        return;
    }
    int Pos = 0;
    qsizetype Start = 0;
    for (;;) {
        const qsizetype Tab = S.indexOf(QLatin1Char('\t'), Start);
        const QString Part = S.mid(Start, Tab < 0 ? -1 : Tab - Start);
        P.drawText(X + Pos, Y + FM.ascent(), Part);
        Pos += FM.horizontalAdvance(Part);
        if (Tab < 0) return;
        Pos = (Pos / TabWidth + 1) * TabWidth;
        Start = Tab + 1;
    }
}

void SetupTextPainter(TDCObject& DC, QPainter& P, TFontObject& F) {
    if (!HasFontSystem()) return;
    P.setFont(F.Font);
    P.setPen(QColor::fromRgb(DC.Pixel(DC.S.TextColor)));
    QFont Font = F.Font;
    if (DC.Mono()) {
        Font.setStyleStrategy(QFont::NoAntialias);
        P.setFont(Font);
    }
}

}  // namespace

BOOL GetTextExtentPoint32(HDC DC, const std::string& Text, SIZE* Size) {
    auto D = FindDC(DC);
    if (!D || !Size || int64_t(Text.size()) > GdiLimits::kMaxTextBytes) return FALSE;
    TFontObject& F = FontOf(*D);
    const TFontMetrics& FM = F.FM();
    *Size = SIZE{RunWidth(FM, F.Decode(Text), 0, D->S.CharExtra), FM.height()};
    return TRUE;
}

BOOL GetTextMetrics(HDC DC, TEXTMETRIC* M) {
    auto D = FindDC(DC);
    if (!D || !M) return FALSE;
    TFontObject& F = FontOf(*D);
    const TFontMetrics& FM = F.FM();
    *M = TEXTMETRIC{};
    M->tmHeight = FM.height();
    M->tmAscent = FM.ascent();
    M->tmDescent = FM.descent();
    M->tmInternalLeading = std::max(0, FM.height() - F.Font.pixelSize());
    M->tmExternalLeading = std::max(0, FM.leading());
    M->tmAveCharWidth = FM.averageCharWidth();
    M->tmMaxCharWidth = FM.maxWidth();
    M->tmWeight = F.Log.lfWeight ? F.Log.lfWeight : FW_NORMAL;
    M->tmItalic = F.Log.lfItalic;
    M->tmUnderlined = F.Log.lfUnderline;
    M->tmStruckOut = F.Log.lfStrikeOut;
    // The pitch bit is set for variable-pitch fonts (its name says the opposite).
    M->tmPitchAndFamily = BYTE(TMPF_TRUETYPE | (FixedPitch(F.Font) ? 0 : TMPF_FIXED_PITCH));
    M->tmCharSet = F.Encoding == TFontObject::enOem      ? BYTE(OEM_CHARSET)
                   : F.Encoding == TFontObject::enSymbol ? BYTE(SYMBOL_CHARSET)
                                                         : BYTE(ANSI_CHARSET);
    return TRUE;
}

BOOL GetCharWidth(HDC DC, UINT First, UINT Last, INT* Widths) {
    auto D = FindDC(DC);
    if (!D || !Widths || Last < First || Last > 0xFF) return FALSE;
    TFontObject& F = FontOf(*D);
    for (UINT C = First; C <= Last; ++C) {
        const char B = char(C);
        Widths[C - First] = F.FM().horizontalAdvance(F.Decode(std::string_view(&B, 1)));
    }
    return TRUE;
}

int GetTextFace(HDC DC, int Count, char* Face) {
    auto D = FindDC(DC);
    if (!D) return 0;
    const char* Name = FontOf(*D).Log.lfFaceName;
    const int Len = int(std::strlen(Name));
    if (!Face) return Len + 1;
    if (Count <= 0) return 0;
    const int N = std::min(Len, Count - 1);
    std::memcpy(Face, Name, size_t(N));
    Face[N] = 0;
    return N;
}

BOOL ExtTextOut(HDC DC, int X, int Y, UINT Options, const RECT* Rect, const std::string& Text,
                const INT* Dx) {
    auto D = FindDC(DC);
    if (!D || int64_t(Text.size()) > GdiLimits::kMaxTextBytes) return FALSE;
    TFontObject& F = FontOf(*D);
    const TFontMetrics& FM = F.FM();
    const QString S = F.Decode(Text);
    int Width = 0;
    if (Dx) {
        for (size_t I = 0; I < Text.size(); ++I) Width += Dx[I];
    } else {
        Width = RunWidth(FM, S, 0, D->S.CharExtra);
    }
    const UINT Align = D->S.TextAlign;
    if (Align & TA_UPDATECP) {
        X = D->S.CurrentPos.x;
        Y = D->S.CurrentPos.y;
    }
    int Left = X;
    if ((Align & TA_CENTER) == TA_CENTER)
        Left = X - Width / 2;
    else if (Align & TA_RIGHT)
        Left = X - Width;
    int Top = Y;
    if ((Align & TA_BASELINE) == TA_BASELINE)
        Top = Y - FM.ascent();
    else if (Align & TA_BOTTOM)
        Top = Y - FM.height();
    if (Align & TA_UPDATECP)
        D->S.CurrentPos.x =
            (Align & TA_RIGHT) && !((Align & TA_CENTER) == TA_CENTER) ? Left : Left + Width;

    TPainting P(*D);
    if (!P.Painter) return TRUE;
    QPainter& Q = *P.Painter;
    if (Rect && (Options & ETO_CLIPPED))
        Q.setClipRect(
            QRect(Rect->left, Rect->top, Rect->right - Rect->left, Rect->bottom - Rect->top),
            Qt::IntersectClip);
    if (Rect && (Options & ETO_OPAQUE))
        Q.fillRect(QRect(Rect->left, Rect->top, Rect->right - Rect->left, Rect->bottom - Rect->top),
                   QColor::fromRgb(D->Pixel(D->S.BkColor)));
    if (D->S.BkMode == OPAQUE && !(Options & ETO_OPAQUE))
        Q.fillRect(QRect(Left, Top, Width, FM.height()), QColor::fromRgb(D->Pixel(D->S.BkColor)));
    if (!HasFontSystem()) return TRUE;
    SetupTextPainter(*D, Q, F);
    const int Escapement = F.Log.lfEscapement;
    if (Escapement) {
        Q.translate(X, Y);
        Q.rotate(-Escapement / 10.0);
        Q.translate(-X, -Y);
    }
    if (Dx || D->S.CharExtra) {
        int Pos = Left;
        for (qsizetype I = 0; I < S.size(); ++I) {
            Q.drawText(Pos, Top + FM.ascent(), QString(S[I]));
            Pos += Dx ? Dx[I] : FM.horizontalAdvance(S[I]) + D->S.CharExtra;
        }
    } else {
        Q.drawText(Left, Top + FM.ascent(), S);
    }
    return TRUE;
}

BOOL TextOut(HDC DC, int X, int Y, const std::string& Text) {
    return ExtTextOut(DC, X, Y, 0, nullptr, Text, nullptr);
}

// --- DrawText ----------------------------------------------------------------------------------

namespace {

struct TLine {
    QString Text;
    std::vector<qsizetype> Underlines;  // character indexes to underline
    int Width = 0;
};

// Removes the '&' marks; the mnemonic is underlined.
QString StripPrefixes(const QString& S, std::vector<qsizetype>& Underlines) {
    TMnemonicText<QString> Read = ReadMnemonic(S);
    if (Read.PlainAt != Read.kNone) Underlines.push_back(qsizetype(Read.PlainAt));
    return std::move(Read.Plain);
}

QString Ellipsis() {
    return QStringLiteral("...");
}

// Shortens a line that is too wide by the ellipsis style.
QString Shorten(const TFontMetrics& FM, const QString& S, int Max, UINT Format, int Tab) {
    auto Fits = [&](const QString& T) { return RunWidth(FM, T, Tab) <= Max; };
    if (Fits(S)) return S;
    if (Format & DT_PATH_ELLIPSIS) {
        qsizetype Slash =
            std::max(S.lastIndexOf(QLatin1Char('\\')), S.lastIndexOf(QLatin1Char('/')));
        if (Slash > 0) {
            const QString Tail = S.mid(Slash);
            for (qsizetype Keep = Slash; Keep >= 0; --Keep) {
                const QString T = S.left(Keep) + Ellipsis() + Tail;
                if (Fits(T)) return T;
            }
            return Ellipsis() + Tail;
        }
    }
    if (Format & DT_WORD_ELLIPSIS) {
        qsizetype Cut = S.size();
        while ((Cut = S.lastIndexOf(QLatin1Char(' '), Cut - 1)) > 0) {
            const QString T = S.left(Cut) + Ellipsis();
            if (Fits(T)) return T;
        }
    }
    for (qsizetype Keep = S.size() - 1; Keep >= 0; --Keep) {
        const QString T = S.left(Keep) + Ellipsis();
        if (Fits(T)) return T;
    }
    return Ellipsis();
}

// Splits a paragraph into lines no wider than Max, breaking between words; a word wider than a
// line stands alone on its line.
std::vector<QString> Wrap(const TFontMetrics& FM, const QString& S, int Max, int Tab) {
    std::vector<QString> Lines;
    qsizetype Start = 0;
    do {
        qsizetype LastFit = -1;
        for (qsizetype End = Start; End <= S.size(); ++End) {
            if ((End < S.size() && S[End] != QLatin1Char(' ')) || End == Start) continue;
            const bool Fits = RunWidth(FM, S.mid(Start, End - Start), Tab) <= Max;
            if (Fits || LastFit < 0) LastFit = End;
            if (!Fits) break;
        }
        if (LastFit < 0) LastFit = S.size();
        QString Line = S.mid(Start, LastFit - Start);
        while (Line.endsWith(QLatin1Char(' '))) Line.chop(1);
        Lines.push_back(Line);
        Start = LastFit;
        while (Start < S.size() && S[Start] == QLatin1Char(' ')) ++Start;
    } while (Start < S.size());
    return Lines;
}

}  // namespace

int DrawText(HDC DC, std::string& Text, RECT* Rect, UINT Format) {
    auto D = FindDC(DC);
    if (!D || !Rect || int64_t(Text.size()) > GdiLimits::kMaxTextBytes) return 0;
    TFontObject& F = FontOf(*D);
    const TFontMetrics& FM = F.FM();
    int TabWidth = 0;
    if (Format & DT_EXPANDTABS) {
        const int Chars = (Format & DT_TABSTOP) ? int((Format >> 8) & 0xFF) : 8;
        TabWidth = std::max(1, Chars ? Chars : 8) * FM.averageCharWidth();
        // With DT_TABSTOP the second byte holds the tab size, not flags.
        if (Format & DT_TABSTOP) Format &= ~UINT(0xFF00);
    }
    const bool Prefix = !(Format & DT_NOPREFIX);
    const int MaxWidth = Rect->right - Rect->left;
    const int LineHeight = FM.height() + ((Format & DT_EXTERNALLEADING) ? FM.leading() : 0);

    // Paragraphs, then lines.
    QString All = F.Decode(Text);
    std::vector<QString> Paragraphs;
    if (Format & DT_SINGLELINE) {
        All.replace(QLatin1String("\r\n"), QLatin1String(" "));
        All.replace(QLatin1Char('\r'), QLatin1Char(' '));
        All.replace(QLatin1Char('\n'), QLatin1Char(' '));
        Paragraphs.push_back(All);
    } else {
        All.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        All.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        Paragraphs = [&] {
            std::vector<QString> P;
            for (const QString& Part : All.split(QLatin1Char('\n'))) P.push_back(Part);
            if (P.size() > 1 && P.back().isEmpty()) P.pop_back();
            return P;
        }();
    }
    std::vector<TLine> Lines;
    bool Shortened = false;
    for (const QString& Para : Paragraphs) {
        std::vector<qsizetype> Marks;
        const QString Clean = Prefix ? StripPrefixes(Para, Marks) : Para;
        std::vector<QString> Pieces;
        if ((Format & DT_WORDBREAK) && !(Format & DT_SINGLELINE))
            Pieces = Wrap(FM, Clean, MaxWidth, TabWidth);
        else
            Pieces.push_back(Clean);
        // Map underline marks onto the wrapped pieces.
        qsizetype Offset = 0;
        for (QString& Piece : Pieces) {
            const qsizetype At = Clean.indexOf(Piece, Offset);
            TLine L;
            if (Format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) {
                const QString S = Shorten(FM, Piece, MaxWidth, Format, TabWidth);
                Shortened |= S != Piece;
                Piece = S;
            }
            L.Text = Piece;
            for (qsizetype M : Marks)
                if (At >= 0 && M >= At && M < At + Piece.size() &&
                    !(Piece.endsWith(Ellipsis()) && M >= At + Piece.size() - 3))
                    L.Underlines.push_back(M - At);
            L.Width = RunWidth(FM, Piece, TabWidth);
            if (At >= 0) Offset = At + Piece.size();
            Lines.push_back(std::move(L));
        }
    }
    if (Lines.empty()) Lines.emplace_back();
    if ((Format & DT_MODIFYSTRING) && Shortened && Lines.size() == 1)
        Text = UnicodeToCp1252(Lines.front().Text);

    int TextWidth = 0;
    for (const TLine& L : Lines) TextWidth = std::max(TextWidth, L.Width);
    const int TextHeight = int(Lines.size()) * LineHeight;
    if (Format & DT_CALCRECT) {
        if (Format & DT_SINGLELINE || !(Format & DT_WORDBREAK) || TextWidth > MaxWidth ||
            !(Format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)))
            Rect->right = Rect->left + TextWidth;
        Rect->bottom = Rect->top + TextHeight;
        return TextHeight;
    }

    int Top = Rect->top;
    if (Format & DT_SINGLELINE) {
        if (Format & DT_VCENTER)
            Top = Rect->top + (Rect->bottom - Rect->top - TextHeight) / 2;
        else if (Format & DT_BOTTOM)
            Top = Rect->bottom - TextHeight;
    }
    TPainting P(*D);
    if (P.Painter) {
        QPainter& Q = *P.Painter;
        if (!(Format & DT_NOCLIP))
            Q.setClipRect(
                QRect(Rect->left, Rect->top, Rect->right - Rect->left, Rect->bottom - Rect->top),
                Qt::IntersectClip);
        SetupTextPainter(*D, Q, F);
        const QColor Bk = QColor::fromRgb(D->Pixel(D->S.BkColor));
        const QColor Fg = QColor::fromRgb(D->Pixel(D->S.TextColor));
        int Y = Top;
        for (const TLine& L : Lines) {
            int X = Rect->left;
            if (Format & DT_CENTER)
                X = Rect->left + (MaxWidth - L.Width) / 2;
            else if (Format & DT_RIGHT)
                X = Rect->right - L.Width;
            if (D->S.BkMode == OPAQUE) Q.fillRect(QRect(X, Y, L.Width, LineHeight), Bk);
            if (!(Format & DT_PREFIXONLY)) PaintRun(Q, FM, X, Y, L.Text, TabWidth);
            if (!(Format & DT_HIDEPREFIX)) {
                for (qsizetype U : L.Underlines) {
                    const int UX = X + RunWidth(FM, L.Text.left(U), TabWidth);
                    const int UW = FM.horizontalAdvance(L.Text[U]);
                    Q.fillRect(QRect(UX, Y + FM.ascent() + FM.underlinePos(), UW,
                                     std::max(1, FM.lineWidth())),
                               Fg);
                }
            }
            Y += LineHeight;
        }
    }
    if (Format & (DT_VCENTER | DT_BOTTOM) && Format & DT_SINGLELINE)
        return Top - Rect->top + TextHeight;
    return TextHeight;
}

int DrawText(HDC DC, const std::string& Text, RECT* Rect, UINT Format) {
    std::string Copy = Text;
    return DrawText(DC, Copy, Rect, Format & ~DT_MODIFYSTRING);
}
