#pragma once
// The kinds of bitmap button: each stands for a caption, a modal result, whether it is the
// default or the cancel button, and a glyph. Scoped: other button kinds of the class library
// (the edit control's buttons) have a bkCustom of their own.
#include <string>

#include "platform/gdi/Graphics.h"
#include "platform/widgets/Forms.h"

enum class TBitBtnKind {
    bkCustom,
    bkOK,
    bkCancel,
    bkHelp,
    bkYes,
    bkNo,
    bkClose,
    bkAbort,
    bkRetry,
    bkIgnore,
    bkAll
};

struct TBitBtnKindInfo {
    TBitBtnKind Kind;
    const char* Caption;
    TModalResult Result;
    bool Default;
    bool Cancel;
};

const TBitBtnKindInfo& BitBtnKindInfo(TBitBtnKind Kind);
// The kind's glyph (empty for bkCustom).
void LoadBitBtnGlyph(TBitBtnKind Kind, TBitmap& Glyph);
