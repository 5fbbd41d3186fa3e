#include "htmlview/html/IpHtmlNodes.h"

#include "htmlview/html/IpHtml.h"

namespace {

// Font sizes in points of the HTML sizes 1 to 7.
int32_t FontSizeOfHtmlSize(int32_t Size) {
    static const int32_t kSizes[] = {8, 10, 12, 14, 18, 24, 36};
    if (Size < 1) Size = 1;
    if (Size > 7) Size = 7;
    return kSizes[Size - 1];
}

// The first face of a face list ("Arial, Helvetica" gives "Arial").
std::string FirstFace(const std::string& Face) {
    return Face.substr(0, Face.find(','));
}

void AddStyle(TIpHtmlProps& Props, TIpHtmlFontStyle Style) {
    Props.SetFontStyle(Props.FontStyle() | Style);
}

}  // namespace

// --- never shown, structure ---

TIpHtmlNodeTITLE::~TIpHtmlNodeTITLE() {
    if (Owner() && Owner()->FTitleNode == this) Owner()->FTitleNode = nullptr;
}

bool TIpHtmlNodeHtml::HasBodyNode() const {
    for (int I = 0; I < ChildCount(); ++I)
        if (dynamic_cast<TIpHtmlNodeBODY*>(ChildNode(I))) return true;
    return false;
}

// --- blocks ---

TIpHtmlNodeBODY::TIpHtmlNodeBODY(TIpHtmlNode* Parent) : TIpHtmlNodeBlock(Parent) {
    Owner()->FBody = this;
}

TIpHtmlNodeBODY::~TIpHtmlNodeBODY() {
    if (Owner()->FBody == this) Owner()->FBody = nullptr;
}

namespace {

template <class T>
void SetAndReset(TIpHtmlNode& Node, T& Field, const T& Value) {
    if (Field == Value) return;
    Field = Value;
    Node.ResetSize();
}

}  // namespace

void TIpHtmlNodeBODY::SetBgColor(TIpHtmlColor Value) {
    SetAndReset(*this, FBgColor, Value);
}
void TIpHtmlNodeBODY::SetText(TIpHtmlColor Value) {
    SetAndReset(*this, FText, Value);
}
void TIpHtmlNodeBODY::SetLink(TIpHtmlColor Value) {
    SetAndReset(*this, FLink, Value);
}
void TIpHtmlNodeBODY::SetVLink(TIpHtmlColor Value) {
    SetAndReset(*this, FVLink, Value);
}
void TIpHtmlNodeBODY::SetALink(TIpHtmlColor Value) {
    SetAndReset(*this, FALink, Value);
}
void TIpHtmlNodeBODY::SetBackground(const std::string& Value) {
    if (Value == FBackground) return;
    FBackgroundPicture.reset();
    FBackgroundAsked = false;
    SetAndReset(*this, FBackground, Value);
}

TIpHtmlNodeTableHeaderOrCell::TIpHtmlNodeTableHeaderOrCell(TIpHtmlNode* Parent)
    : TIpHtmlNodeBlock(Parent),
      Height(&Owner()->PrintState),
      Width(&Owner()->PrintState),
      FCellProps(std::make_unique<TIpHtmlProps>(*Owner())) {}

// --- controls and boxes ---

TIpHtmlNodeIFRAME::TIpHtmlNodeIFRAME(TIpHtmlNode* Parent)
    : TIpHtmlNodeControl(Parent), Height(&Owner()->PrintState), Width(&Owner()->PrintState) {}

TIpHtmlNodeHR::TIpHtmlNodeHR(TIpHtmlNode* Parent)
    : TIpHtmlNodeAlignInline(Parent), Size(1, &Owner()->PrintState), Width(&Owner()->PrintState) {
    SetAlign(TIpHtmlImageAlign::hiaCenter);
}

TIpHtmlNodeIMG::TIpHtmlNodeIMG(TIpHtmlNode* Parent)
    : TIpHtmlNodeAlignInline(Parent), Height(&Owner()->PrintState), Width(&Owner()->PrintState) {
    Owner()->FImages.push_back(this);
}

TIpHtmlNodeIMG::~TIpHtmlNodeIMG() {
    if (Owner()->Destroying()) return;
    Owner()->Unregister(Owner()->FImages, this);
    Owner()->RemoveAnimatedImage(this);
}

// --- property changes of inline nodes ---

void TIpHtmlNodeFONT::ApplyInlineProps(TIpHtmlProps& Props) {
    FProps->Assign(Props);
    if (!Face.empty()) FProps->SetFontName(FirstFace(Face));
    if (Size.SizeType() == TIpHtmlRelSizeType::hrsAbsolute) {
        if (Size.Value() >= 1 && Size.Value() <= 7)
            FProps->SetFontSize(FontSizeOfHtmlSize(Size.Value()));
    } else if (Size.SizeType() == TIpHtmlRelSizeType::hrsRelative) {
        FProps->SetFontSize(FontSizeOfHtmlSize(FProps->BaseFontSize() + Size.Value()));
    }
    if (Color != kHtmlNoColor) FProps->SetFontColor(Color);
}

void TIpHtmlNodeSPAN::ApplyInlineProps(TIpHtmlProps& Props) {
    FProps->Assign(Props);
    FProps->SetAlignment(Align);
}

void TIpHtmlNodeINS::ApplyInlineProps(TIpHtmlProps& Props) {
    FProps->Assign(Props);
    AddStyle(*FProps, TIpHtmlFontStyle::Underline);
}

void TIpHtmlNodeDEL::ApplyInlineProps(TIpHtmlProps& Props) {
    FProps->Assign(Props);
    AddStyle(*FProps, TIpHtmlFontStyle::StrikeOut);
}

void TIpHtmlNodeFontStyle::ApplyInlineProps(TIpHtmlProps& Props) {
    FProps->Assign(Props);
    switch (Style) {
        using enum TIpHtmlFontStyles;
        case hfsTT:
            FProps->SetFontName(Owner()->FixedTypeface);
            break;
        case hfsI:
            AddStyle(*FProps, TIpHtmlFontStyle::Italic);
            break;
        case hfsB:
            AddStyle(*FProps, TIpHtmlFontStyle::Bold);
            break;
        case hfsU:
            AddStyle(*FProps, TIpHtmlFontStyle::Underline);
            break;
        case hfsSTRIKE:
        case hfsS:
            AddStyle(*FProps, TIpHtmlFontStyle::StrikeOut);
            break;
        case hfsBIG:
            FProps->SetFontSize(FProps->FontSize() + 2);
            break;
        case hfsSMALL:
            FProps->SetFontSize(FProps->FontSize() - 2);
            break;
        case hfsSUB:
            FProps->SetFontSize(FProps->FontSize() - 4);
            FProps->SetBaseOffset(FProps->BaseOffset() - 2);
            break;
        case hfsSUP:
            FProps->SetFontSize(FProps->FontSize() - 4);
            FProps->SetBaseOffset(FProps->BaseOffset() + 4);
            break;
    }
}

void TIpHtmlNodePhrase::ApplyInlineProps(TIpHtmlProps& Props) {
    FProps->Assign(Props);
    switch (Style) {
        using enum TIpHtmlPhraseStyle;
        case hpsEM:
        case hpsVAR:
        case hpsCITE:
            AddStyle(*FProps, TIpHtmlFontStyle::Italic);
            break;
        case hpsSTRONG:
            AddStyle(*FProps, TIpHtmlFontStyle::Bold);
            break;
        case hpsCODE:
        case hpsKBD:
            FProps->SetFontName(Owner()->FixedTypeface);
            break;
        default:
            break;
    }
}

void TIpHtmlNodeNOBR::ApplyInlineProps(TIpHtmlProps& Props) {
    FProps->Assign(Props);
    FProps->SetNoBreak(true);
}

void TIpHtmlNodeBASEFONT::ApplyInlineProps(TIpHtmlProps& Props) {
    FProps->Assign(Props);
    if (Size >= 1 && Size <= 7) FProps->SetFontSize(FontSizeOfHtmlSize(Size));
    FProps->SetBaseFontSize(Size);
}

TIpHtmlNodePropsInline::TIpHtmlNodePropsInline(TIpHtmlNode* Parent)
    : TIpHtmlNodeInline(Parent), FProps(std::make_unique<TIpHtmlProps>(*Owner())) {}

void TIpHtmlNodeHeader::AssignProps(TIpHtmlProps& Props) {
    static const int32_t kPoints[] = {24, 18, 14, 12, 10, 8};
    FProps->Assign(Props);
    if (Size >= 1 && Size <= 6) FProps->SetFontSize(kPoints[Size - 1]);
    FProps->SetFontStyle(TIpHtmlFontStyleSet(TIpHtmlFontStyle::Bold));
    FProps->SetAlignment(Align);
    TIpHtmlNodeMulti::AssignProps(*FProps);
}

void TIpHtmlNodeP::AssignProps(TIpHtmlProps& Props) {
    FProps->Assign(Props);
    FProps->SetAlignment(Align);
    TIpHtmlNodeMulti::AssignProps(*FProps);
}

void TIpHtmlNodePRE::AssignProps(TIpHtmlProps& Props) {
    FProps->Assign(Props);
    FProps->SetPreformatted(true);
    FProps->SetFontName(Owner()->FixedTypeface);
    FProps->SetFontSize(FProps->FontSize() - 2);
    TIpHtmlNodeMulti::AssignProps(*FProps);
}

void TIpHtmlNodeDIV::AssignProps(TIpHtmlProps& Props) {
    FProps->Assign(Props);
    FProps->SetAlignment(Align);
    TIpHtmlNodeMulti::AssignProps(*FProps);
}

// --- anchors ---

TIpHtmlNodeA::~TIpHtmlNodeA() {
    if (Owner()->Destroying()) return;
    if (!FHRef.empty()) Owner()->Unregister(Owner()->FAnchors, this);
    SetName(std::string());
}

void TIpHtmlNodeA::SetHRef(const std::string& Value) {
    if (Value == FHRef) return;
    if (FHRef.empty())
        Owner()->FAnchors.push_back(this);
    else if (Value.empty())
        Owner()->Unregister(Owner()->FAnchors, this);
    FHRef = Value;
    ResetSize();
}

void TIpHtmlNodeA::SetName(const std::string& Value) {
    if (Value == FName) return;
    auto& Named = Owner()->FNamedAnchors;
    const auto Old = Named.find(FName);
    if (!FName.empty() && Old != Named.end() && Old->second == this) Named.erase(Old);
    FName = Value;
    if (!FName.empty()) Named.emplace(FName, this);  // the first anchor of a name keeps it
    ResetSize();
}

// A hot anchor shows in the active colour; a link shows visited or not, underlined.
void TIpHtmlNodeA::AssignProps(TIpHtmlProps& Props) {
    FParentProps = &Props;
    FProps->Assign(Props);
    if (FHot) {
        FProps->SetFontColor(FProps->ALinkColor());
        AddStyle(*FProps, TIpHtmlFontStyle::Underline);
    } else if (!FHRef.empty()) {
        AddStyle(*FProps, TIpHtmlFontStyle::Underline);
        FProps->SetFontColor(Owner()->CheckKnownURL(FHRef) ? FProps->VLinkColor()
                                                           : FProps->LinkColor());
    }
    TIpHtmlNodeMulti::AssignProps(*FProps);
}

// --- other nodes ---

TIpHtmlNodeAPPLET::TIpHtmlNodeAPPLET(TIpHtmlNode* Parent)
    : TIpHtmlNodeInline(Parent), Width(&Owner()->PrintState) {}

TIpHtmlNodeOBJECT::TIpHtmlNodeOBJECT(TIpHtmlNode* Parent)
    : TIpHtmlNodeInline(Parent), Width(&Owner()->PrintState) {}

TIpHtmlNodeLABEL::TIpHtmlNodeLABEL(TIpHtmlNode* Parent) : TIpHtmlNodeInline(Parent) {
    Owner()->FControls.push_back(this);
}

TIpHtmlNodeLABEL::~TIpHtmlNodeLABEL() {
    if (!Owner()->Destroying()) Owner()->Unregister<TIpHtmlNode>(Owner()->FControls, this);
}

TIpHtmlNodeFRAMESET::~TIpHtmlNodeFRAMESET() {
    if (Owner() && Owner()->CurFrameSet == this) Owner()->CurFrameSet = nullptr;
}

void TIpHtmlNodeFRAME::SetFrameBorder(int32_t Value) {
    SetAndReset(*this, FFrameBorder, Value);
}
void TIpHtmlNodeFRAME::SetMarginHeight(int32_t Value) {
    SetAndReset(*this, FMarginHeight, Value);
}
void TIpHtmlNodeFRAME::SetMarginWidth(int32_t Value) {
    SetAndReset(*this, FMarginWidth, Value);
}
void TIpHtmlNodeFRAME::SetScrolling(TIpHtmlFrameScrolling Value) {
    SetAndReset(*this, FScrolling, Value);
}

TIpHtmlNodeMAP::TIpHtmlNodeMAP(TIpHtmlNode* Parent) : TIpHtmlNodeCore(Parent) {
    Owner()->FMaps.push_back(this);
}

TIpHtmlNodeMAP::~TIpHtmlNodeMAP() {
    if (!Owner()->Destroying()) Owner()->Unregister(Owner()->FMaps, this);
}
