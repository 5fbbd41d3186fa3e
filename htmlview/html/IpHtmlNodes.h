#pragma once
// One node class per element. Published properties are public fields named as the properties;
// a property whose change has to reach the document (an anchor's HRef, a BODY colour) has a
// setter instead.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "htmlview/html/IpHtmlArrays.h"
#include "htmlview/html/IpHtmlNode.h"

class TIpHtmlFrame;
class TIpHtmlNodeTableHeaderOrCell;
class TIpHtmlNodeTR;

// --- never shown ---

class TIpHtmlNodeSCRIPT : public TIpHtmlNodeNv {
  public:
    using TIpHtmlNodeNv::TIpHtmlNodeNv;
};

class TIpHtmlNodeTITLE : public TIpHtmlNodeNv {
  public:
    using TIpHtmlNodeNv::TIpHtmlNodeNv;
    ~TIpHtmlNodeTITLE() override;
    std::string Title;
};

class TIpHtmlNodePARAM : public TIpHtmlNodeNv {
  public:
    using TIpHtmlNodeNv::TIpHtmlNodeNv;
    std::string Name;
    std::string Value;
    std::string Id;
    TIpHtmlObjectValueType ValueType = TIpHtmlObjectValueType::hovtData;
};

class TIpHtmlNodeMETA : public TIpHtmlNodeNv {
  public:
    using TIpHtmlNodeNv::TIpHtmlNodeNv;
    std::string HttpEquiv;
    std::string Name;
    std::string Content;
    std::string Scheme;
};

// --- document structure ---

// The root.
class TIpHtmlNodeHtml : public TIpHtmlNodeMulti {
  public:
    using TIpHtmlNodeMulti::TIpHtmlNodeMulti;
    // Whether a BODY is among the direct children.
    bool HasBodyNode() const;
    // Sizes, layout and painting go to every BODY child; without one the widths are 0 and
    // nothing is laid out or painted.
    void HtmlMinMaxWidth(TIpHtmlProps& Props, int32_t& Min, int32_t& Max);
    int32_t HtmlHeight(TIpHtmlProps& Props, int32_t Width);
    void HtmlLayout(TIpHtmlProps& Props, const TIpHtmlRect& Rect);
    void HtmlPaint(TIpHtmlProps& Props);
    // The rectangle the BODY children took in the last layout.
    TIpHtmlRect HtmlPageRect() const;
    std::string Lang;
    std::string Version;
    TIpHtmlDirection Dir = TIpHtmlDirection::hdLTR;
};

class TIpHtmlNodeHEAD : public TIpHtmlNodeMulti {
  public:
    using TIpHtmlNodeMulti::TIpHtmlNodeMulti;
    std::string Profile;
    std::string Lang;
    TIpHtmlDirection Dir = TIpHtmlDirection::hdLTR;
};

// Its content is not displayed.
class TIpHtmlNodeSTYLE : public TIpHtmlNodeMulti {
  public:
    using TIpHtmlNodeMulti::TIpHtmlNodeMulti;
    void AddElement(LayoutElement*) override {}
    bool ElementsEmpty() override { return true; }
    std::string Media;
    std::string Title;
};

// --- blocks ---

class TIpHtmlNodeBODY : public TIpHtmlNodeBlock {
  public:
    // Becomes the document's body node.
    explicit TIpHtmlNodeBODY(TIpHtmlNode* Parent);
    ~TIpHtmlNodeBODY() override;
    TIpHtmlColor BgColor() const { return FBgColor; }
    TIpHtmlColor Text() const { return FText; }
    TIpHtmlColor Link() const { return FLink; }
    TIpHtmlColor VLink() const { return FVLink; }
    TIpHtmlColor ALink() const { return FALink; }
    const std::string& Background() const { return FBackground; }
    // Each setter resets the sizes when the value changes.
    void SetBgColor(TIpHtmlColor Value);
    void SetText(TIpHtmlColor Value);
    void SetLink(TIpHtmlColor Value);
    void SetVLink(TIpHtmlColor Value);
    void SetALink(TIpHtmlColor Value);
    void SetBackground(const std::string& Value);
    const TIpHtmlPictureRef& BackgroundPicture() const { return FBackgroundPicture; }

    // Fills the paint area with the page's background first.
    void PaintBlock(TIpHtmlProps& Props) override;
    void PictureArrived(const TIpHtmlPictureRef& Picture) override;

  private:
    void PaintBackground();
    TIpHtmlPictureRef FBackgroundPicture;
    bool FBackgroundAsked = false;
    TIpHtmlColor FBgColor = kHtmlNoColor;
    TIpHtmlColor FText = kHtmlNoColor;
    TIpHtmlColor FLink = kHtmlNoColor;
    TIpHtmlColor FVLink = kHtmlNoColor;
    TIpHtmlColor FALink = kHtmlNoColor;
    std::string FBackground;
};

class TIpHtmlNodeCAPTION : public TIpHtmlNodeBlock {
  public:
    using TIpHtmlNodeBlock::TIpHtmlNodeBlock;
    TIpHtmlVAlignment2 Align = TIpHtmlVAlignment2::hva2Top;
};

class TIpHtmlNodeTableHeaderOrCell : public TIpHtmlNodeBlock {
  public:
    explicit TIpHtmlNodeTableHeaderOrCell(TIpHtmlNode* Parent);
    int32_t CalcWidthMin = -1;
    int32_t CalcWidthMax = -1;
    bool Nowrap = false;
    TIpHtmlPixels Height;
    int32_t Rowspan = 1;
    TIpHtmlLength Width;
    int32_t Colspan = 1;
    TIpHtmlAlign Align = TIpHtmlAlign::haDefault;
    TIpHtmlVAlign3 VAlign = TIpHtmlVAlign3::hva3Middle;
    TIpHtmlColor BgColor = kHtmlNoColor;
    // Set by the table layout: the cell with its padding.
    TIpHtmlRect PadRect;
    // The vertical alignment the table laid the cell out with.
    TIpHtmlVAlign3 LayoutVAlign = TIpHtmlVAlign3::hva3Middle;

    // Each applies the cell's own attributes to the properties first.
    void BlockMinMaxWidth(TIpHtmlProps& Props, int32_t& Min, int32_t& Max) override;
    void LayoutBlock(TIpHtmlProps& Props, const TIpHtmlRect& Rect) override;
    void PaintBlock(TIpHtmlProps& Props) override;

  private:
    bool IsHeader() const;
    // The properties the cell hands its content, made from those it is given.
    std::unique_ptr<TIpHtmlProps> FCellProps;
};

class TIpHtmlNodeTH : public TIpHtmlNodeTableHeaderOrCell {
  public:
    using TIpHtmlNodeTableHeaderOrCell::TIpHtmlNodeTableHeaderOrCell;
};

class TIpHtmlNodeTD : public TIpHtmlNodeTableHeaderOrCell {
  public:
    using TIpHtmlNodeTableHeaderOrCell::TIpHtmlNodeTableHeaderOrCell;
};

// --- controls ---

class TIpHtmlNodeIFRAME : public TIpHtmlNodeControl {
  public:
    explicit TIpHtmlNodeIFRAME(TIpHtmlNode* Parent);
    std::string LongDesc;
    std::string Name;
    std::string Src;
    int32_t FrameBorder = 1;
    int32_t MarginWidth = 1;
    int32_t MarginHeight = 1;
    TIpHtmlFrameScrolling Scrolling = TIpHtmlFrameScrolling::hfsAuto;
    // Text alignment, in place of the image alignment of other inline boxes.
    TIpHtmlAlign Align = TIpHtmlAlign::haDefault;
    TIpHtmlLength Height;
    TIpHtmlLength Width;
    // The frame shown inside, once the viewer made it. Held shared: the frame that owns it may
    // free its child frames while this node still exists, and the node must not see it freed.
    std::shared_ptr<TIpHtmlFrame> Frame;

    // Raises control-created, then asks the document's create-inline-frame event for the frame.
    void MakeControl(TWinControl* Parent) override;
    // The panel the frame shows in, placed as the node's control (it stays its frame's).
    void SetFramePanel(TWinControl* Panel);
    TIpHtmlSize InlineSize(int32_t Available) override;

  protected:
    void PlaceControl(const TIpHtmlRect& R) override;
};

class TIpHtmlNodeINPUT : public TIpHtmlNodeControl {
  public:
    using TIpHtmlNodeControl::TIpHtmlNodeControl;
    std::string HintText() override { return Alt; }
    TIpHtmlInputType InputType = TIpHtmlInputType::hitText;
    std::string Name;
    std::string Value;
    bool Checked = false;
    int32_t Size = -1;
    int32_t MaxLength = -1;
    std::string Src;
    bool Disabled = false;
    bool ReadOnly = false;
    std::string Alt;
    int32_t TabIndex = -1;
    void PictureArrived(const TIpHtmlPictureRef& Picture) override;

    void MakeControl(TWinControl* Parent) override;
    void AddFormValues(TIpHtmlFormValues& Values) override;
    bool IsSuccessful() override;
    void ResetControl() override;
    // The file a file input names (its edit's text).
    std::string FileName() const;

  protected:
    TIpHtmlSize ControlSize() override;
    // A file input's panel also arranges its edit and button.
    void PlaceControl(const TIpHtmlRect& R) override;

  private:
    void MakeEdit(TWinControl* Parent);
    void MakeCheck(TWinControl* Parent);
    void MakeButton(TWinControl* Parent);
    void MakeFile(TWinControl* Parent);
    void MakeImageButton(TWinControl* Parent);
    // An image input's picture: Src's, asked for on first need, or the default picture.
    const TIpHtmlPictureRef& ButtonPicture();
    void UpdateGlyph();
    void Browse();
    TIpHtmlPictureRef FPicture;
    // What the markup gave, for a reset.
    std::string FInitialValue;
    bool FInitialChecked = false;
    // The edit and button of a file input, inside its panel.
    TWinControl* FFileEdit = nullptr;
    TWinControl* FBrowseButton = nullptr;
};

class TIpHtmlNodeBUTTON : public TIpHtmlNodeControl {
  public:
    using TIpHtmlNodeControl::TIpHtmlNodeControl;
    TIpHtmlButtonType ButtonType = TIpHtmlButtonType::hbtSubmit;
    std::string Name;
    std::string Value;
    bool Disabled = false;
    int32_t TabIndex = -1;

    void MakeControl(TWinControl* Parent) override;

  protected:
    TIpHtmlSize ControlSize() override;

  private:
    std::string Caption() const;
};

class TIpHtmlNodeSELECT : public TIpHtmlNodeControl {
  public:
    using TIpHtmlNodeControl::TIpHtmlNodeControl;
    std::string Name;
    int32_t Size = -1;
    bool Multiple = false;
    bool Disabled = false;
    int32_t TabIndex = -1;

    // An option's text (its first text child, normalised and trimmed) and its mark.
    struct TOption {
        std::string Text;
        bool Selected = false;
    };
    // The options in document order, those inside OPTGROUPs too.
    std::vector<TOption> Options();

    void MakeControl(TWinControl* Parent) override;
    void AddFormValues(TIpHtmlFormValues& Values) override;
    bool IsSuccessful() override;
    void ResetControl() override;

  protected:
    TIpHtmlSize ControlSize() override;

  private:
    // The texts of the items chosen now: the control's, or without one the markup's.
    std::vector<std::string> ChosenTexts();
};

class TIpHtmlNodeTEXTAREA : public TIpHtmlNodeControl {
  public:
    using TIpHtmlNodeControl::TIpHtmlNodeControl;
    std::string Name;
    int32_t Rows = 20;
    int32_t Cols = 20;
    bool Disabled = false;
    bool ReadOnly = false;
    int32_t TabIndex = -1;

    // Its text children, each normalised as text that is not preformatted.
    std::vector<std::string> Lines();
    // The memo's text, or without one the lines ended with CR LF.
    std::string Text();

    void MakeControl(TWinControl* Parent) override;
    void AddFormValues(TIpHtmlFormValues& Values) override;
    bool IsSuccessful() override;
    void ResetControl() override;

  protected:
    TIpHtmlSize ControlSize() override;
};

// --- other inline boxes ---

// A list item: its marker (a number inside an OL, else a bullet box), then its content indented.
class TIpHtmlNodeLI : public TIpHtmlNodeAlignInline {
  public:
    explicit TIpHtmlNodeLI(TIpHtmlNode* Parent);
    void AssignProps(TIpHtmlProps& Props) override;
    void BuildElements() override;
    void PaintInline(TIpHtmlNodeBlock& Block) override;
    TIpHtmlSize InlineSize(int32_t Available) override;
    void InlineMinMaxWidth(int32_t& Min, int32_t& Max) override;
    TIpHtmlULType ListType = TIpHtmlULType::ulDisc;
    int32_t Value = -1;
    bool Compact = false;
    // The item's number, set by its OL before the item builds.
    int32_t Number = 0;
    // The number text, a word element of its own.
    const LayoutElement* NumberWord() const { return FNumberWord; }

  private:
    int32_t BulletSize(int32_t Size) const;
    LayoutElement* FNumberWord;
};

class TIpHtmlNodeHR : public TIpHtmlNodeAlignInline {
  public:
    explicit TIpHtmlNodeHR(TIpHtmlNode* Parent);
    TIpHtmlColor Color = kHtmlNoColor;
    bool NoShade = false;
    TIpHtmlInteger Size;
    TIpHtmlLength Width;

    // S, the rule, S.
    void BuildElements() override;
    void PaintInline(TIpHtmlNodeBlock& Block) override;
    TIpHtmlSize InlineSize(int32_t Available) override;
    void InlineMinMaxWidth(int32_t& Min, int32_t& Max) override;
    void ClearSizeCache() override { FSizeKnown = false; }
    void ResetSize() override;

  private:
    bool FSizeKnown = false;
    int32_t FSizeWidth = 0;
    TIpHtmlSize FSize;
};

class TIpHtmlNodeIMG : public TIpHtmlNodeAlignInline {
  public:
    explicit TIpHtmlNodeIMG(TIpHtmlNode* Parent);
    ~TIpHtmlNodeIMG() override;
    std::string HintText() override { return Alt; }
    void AssignProps(TIpHtmlProps& Props) override { FProps->Assign(Props); }
    std::string Src;
    std::string Alt;
    TIpHtmlPixels Height;
    TIpHtmlLength Width;
    int32_t Border = 0;
    int32_t HSpace = 0;
    int32_t VSpace = 0;
    std::string UseMap;
    bool IsMap = false;
    std::string LongDesc;
    std::string Name;

    // The picture shown: the one the document's image event gave, or the default picture.
    const TIpHtmlPictureRef& Picture() const { return FPicture; }
    // Asks the document for the picture of Src (nothing when Src is empty).
    void LoadPicture();
    void UnloadPicture();
    void PictureArrived(const TIpHtmlPictureRef& Picture) override;

    void PaintInline(TIpHtmlNodeBlock& Block) override;
    // Available -1 asks for the size without loading the picture.
    TIpHtmlSize InlineSize(int32_t Available) override;
    void InlineMinMaxWidth(int32_t& Min, int32_t& Max) override;
    void ListDrawRects(const TIpHtmlRectProc& Proc) override { Proc(Element()->WordRect); }
    void ListMapRects(const TIpHtmlRectProc& Proc) override;
    void ResetSize() override;
    void ClearSizeCache() override { FSizeKnown = false; }
    // Where the picture was drawn by the last paint, in canvas coordinates.
    const TIpHtmlRect& PictureRect() const { return FPictureRect; }
    // Has the part of the page drawn again that the animated picture's last frame changed.
    void RepaintChangedPart();

  private:
    TIpHtmlRect PageBox() const;
    TIpHtmlRect PictureBox(const TIpHtmlRect& R) const;
    int32_t PercentWidth(int32_t Available) const;
    void PaintBorder(const TIpHtmlRect& Box);
    // Shows Picture, or the default picture for none, in place of the one shown before.
    void TakePicture(const TIpHtmlPictureRef& Picture);
    TIpHtmlPictureRef FPicture;
    TIpHtmlRect FPictureRect;
    bool FSizeKnown = false;
    int32_t FSizeWidth = 0;
    TIpHtmlSize FSize;
};

class TIpHtmlNodeCAPTION;

// A table is one box in its block; inside it lays out a grid of cells (IpHtmlTable*.cpp).
class TIpHtmlNodeTABLE : public TIpHtmlNodeAlignInline {
  public:
    explicit TIpHtmlNodeTABLE(TIpHtmlNode* Parent);
    ~TIpHtmlNodeTABLE() override;
    // Its own record gets the properties without NoBreak; its children the properties in force.
    void AssignProps(TIpHtmlProps& Props) override;
    int32_t Border() const { return FBorder; }
    // A border draws the frame and all rules; none draws neither.
    void SetBorder(int32_t Value);

    // A table aligned left or right floats; any other starts and ends a line of its own.
    void BuildElements() override;
    void PaintInline(TIpHtmlNodeBlock& Block) override;
    void SetInlineRect(const TIpHtmlRect& Rect) override;
    // The size after a layout for Available; laid out again only when the width it works out
    // to differs from the last.
    TIpHtmlSize InlineSize(int32_t Available) override;
    void InlineMinMaxWidth(int32_t& Min, int32_t& Max) override;
    void ResetSize() override;
    void ClearSizeCache() override;
    int32_t ParentWidthLimit() override;
    void CopySelectionText(std::string& Text) override {
        TIpHtmlNodeMulti::CopySelectionText(Text);
    }

    // Results of the last layout.
    int32_t ColCount() const { return FColCount; }
    int32_t ColWidth(int32_t Col) const { return FColWidth[Col]; }
    int32_t ColStart(int32_t Col) const { return FColStart[Col]; }
    const TIpHtmlRect& TableRect() const { return FTableRect; }
    const TIpHtmlRect& ContentRect() const { return FContentRect; }
    TIpHtmlNodeCAPTION* Caption() const { return FCaption; }
    TIpHtmlLength Width;
    TIpHtmlFrameProp Frame = TIpHtmlFrameProp::hfVoid;
    TIpHtmlRules Rules = TIpHtmlRules::hrNone;
    int32_t CellSpacing = 4;
    int32_t CellPadding = 2;
    std::string Summary;
    TIpHtmlColor BgColor = kHtmlNoColor;
    int32_t CalcMinWidth = -1;
    int32_t CalcMaxWidth = -1;
    int32_t CalcTableWidth = -1;

  private:
    friend class TIpHtmlTableWidths;
    friend class TIpHtmlTableRows;
    // Calls Proc with every row of every row group, groups in document order or, for placing,
    // all THEAD rows first and all TFOOT rows last.
    void ForEachRow(const std::function<void(TIpHtmlNodeTR&)>& Proc, bool HeadFirst);
    void CountColumns();
    void CalcMinMax();
    int32_t TableWidth(int32_t Available);
    void LayoutTable(int32_t TableWidth);
    int64_t Overhead() const;
    int32_t Nesting();
    void PaintFrame();

    int32_t FBorder = 0;
    TIpHtmlNodeCAPTION* FCaption = nullptr;
    // Columns: the count (-1 until counted), widths, start offsets, minima, maxima.
    int32_t FColCount = -1;
    TIntArr FColWidth;
    TIntArr FColStart;
    TIntArr FColMin;
    TIntArr FColMax;
    // Half the cell spacing, the widths of vertical and horizontal rules and of the four edges.
    int32_t FHS = 0, FVR = 0, FHR = 0, FBL = 0, FBR = 0, FBT = 0, FBB = 0;
    TIpHtmlRect FTableRect;
    TIpHtmlRect FContentRect;
    // What the last layout was made for; a layout for the same table width is not repeated.
    bool FLaidOut = false;
    int32_t FLayoutAvailable = 0;
    int32_t FLayoutTableWidth = 0;
    // The cells in the order they were placed (rows top-down), with the lowest bottom reached so
    // far, so that painting finds the first visible cell without a walk.
    std::vector<TIpHtmlNodeTableHeaderOrCell*> FPlaced;
    std::vector<int32_t> FPlacedBottom;
    // The properties a row hands its cells.
    std::unique_ptr<TIpHtmlProps> FRowProps;
    // How many tables this one lies in; -1 until asked.
    int32_t FNesting = -1;
};

// --- inline nodes that change properties ---

class TIpHtmlNodeFONT : public TIpHtmlNodeGenInline {
  public:
    explicit TIpHtmlNodeFONT(TIpHtmlNode* Parent) : TIpHtmlNodeGenInline(Parent) {}
    void ApplyInlineProps(TIpHtmlProps& Props) override;
    std::string Face;
    TIpHtmlRelSize Size;
    TIpHtmlColor Color = kHtmlNoColor;
};

class TIpHtmlNodeSPAN : public TIpHtmlNodeGenInline {
  public:
    explicit TIpHtmlNodeSPAN(TIpHtmlNode* Parent) : TIpHtmlNodeGenInline(Parent) {}
    void ApplyInlineProps(TIpHtmlProps& Props) override;
    TIpHtmlAlign Align = TIpHtmlAlign::haDefault;
};

class TIpHtmlNodeINS : public TIpHtmlNodeGenInline {
  public:
    explicit TIpHtmlNodeINS(TIpHtmlNode* Parent) : TIpHtmlNodeGenInline(Parent) {}
    void ApplyInlineProps(TIpHtmlProps& Props) override;
    std::string Cite;
    std::string DateTime;
};

class TIpHtmlNodeDEL : public TIpHtmlNodeGenInline {
  public:
    explicit TIpHtmlNodeDEL(TIpHtmlNode* Parent) : TIpHtmlNodeGenInline(Parent) {}
    void ApplyInlineProps(TIpHtmlProps& Props) override;
    std::string Cite;
    std::string DateTime;
};

class TIpHtmlNodeFontStyle : public TIpHtmlNodeGenInline {
  public:
    explicit TIpHtmlNodeFontStyle(TIpHtmlNode* Parent) : TIpHtmlNodeGenInline(Parent) {}
    void ApplyInlineProps(TIpHtmlProps& Props) override;
    TIpHtmlFontStyles Style = TIpHtmlFontStyles::hfsTT;
};

class TIpHtmlNodePhrase : public TIpHtmlNodeGenInline {
  public:
    explicit TIpHtmlNodePhrase(TIpHtmlNode* Parent) : TIpHtmlNodeGenInline(Parent) {}
    void ApplyInlineProps(TIpHtmlProps& Props) override;
    TIpHtmlPhraseStyle Style = TIpHtmlPhraseStyle::hpsEM;
};

class TIpHtmlNodeNOBR : public TIpHtmlNodeGenInline {
  public:
    explicit TIpHtmlNodeNOBR(TIpHtmlNode* Parent) : TIpHtmlNodeGenInline(Parent) {}
    void ApplyInlineProps(TIpHtmlProps& Props) override;
};

class TIpHtmlNodeBASEFONT : public TIpHtmlNodeGenInline {
  public:
    explicit TIpHtmlNodeBASEFONT(TIpHtmlNode* Parent) : TIpHtmlNodeGenInline(Parent) {}
    void ApplyInlineProps(TIpHtmlProps& Props) override;
    int32_t Size = 3;
};

// --- other inline nodes ---

class TIpHtmlNodeNOSCRIPT : public TIpHtmlNodeInline {
  public:
    using TIpHtmlNodeInline::TIpHtmlNodeInline;
};

// A node that hands its children a record of its own.
class TIpHtmlNodePropsInline : public TIpHtmlNodeInline {
  public:
    explicit TIpHtmlNodePropsInline(TIpHtmlNode* Parent);
    TIpHtmlProps& Props() { return *FProps; }

  protected:
    std::unique_ptr<TIpHtmlProps> FProps;
};

class TIpHtmlNodeHeader : public TIpHtmlNodePropsInline {
  public:
    using TIpHtmlNodePropsInline::TIpHtmlNodePropsInline;
    void AssignProps(TIpHtmlProps& Props) override;
    void BuildElements() override;
    TIpHtmlAlign Align = TIpHtmlAlign::haDefault;
    TIpHtmlHeaderSize Size = 1;
};

class TIpHtmlNodeP : public TIpHtmlNodePropsInline {
  public:
    using TIpHtmlNodePropsInline::TIpHtmlNodePropsInline;
    void AssignProps(TIpHtmlProps& Props) override;
    void BuildElements() override;
    TIpHtmlAlign Align = TIpHtmlAlign::haDefault;
};

class TIpHtmlNodeADDRESS : public TIpHtmlNodeInline {
  public:
    using TIpHtmlNodeInline::TIpHtmlNodeInline;
};

class TIpHtmlNodeList : public TIpHtmlNodeInline {
  public:
    using TIpHtmlNodeInline::TIpHtmlNodeInline;
    void BuildElements() override;
    bool Compact = false;
    TIpHtmlULType ListType = TIpHtmlULType::ulDisc;
};

class TIpHtmlNodeUL : public TIpHtmlNodeList {
  public:
    using TIpHtmlNodeList::TIpHtmlNodeList;
};

class TIpHtmlNodeDIR : public TIpHtmlNodeList {
  public:
    using TIpHtmlNodeList::TIpHtmlNodeList;
};

class TIpHtmlNodeMENU : public TIpHtmlNodeList {
  public:
    using TIpHtmlNodeList::TIpHtmlNodeList;
};

class TIpHtmlNodeOL : public TIpHtmlNodeInline {
  public:
    using TIpHtmlNodeInline::TIpHtmlNodeInline;
    // Numbers each item by its place among all the list's children before it builds.
    void BuildElements() override;
    // The marker text of item Number: "3.", "c.", "C.", "iii." or "III." by Style.
    std::string NumberText(int32_t Number) const;
    bool Compact = false;
    int32_t Start = 1;
    TIpHtmlOLStyle Style = TIpHtmlOLStyle::olArabic;
};

class TIpHtmlNodeFORM : public TIpHtmlNodePropsInline {
  public:
    using TIpHtmlNodePropsInline::TIpHtmlNodePropsInline;
    std::string Action;
    TIpHtmlFormMethod Method = TIpHtmlFormMethod::hfmGet;
    std::string Enctype;
    std::string Name;
    std::string AcceptCharset;
    std::string Accept;

    // Collects what the successful controls below submit and hands it to the document's GET
    // or POST event (IpHtmlForms.cpp). An Enctype other than URL-encoding or multipart raises
    // "<Enctype> encoding not supported" and submits nothing.
    void SubmitForm() override;
    void ResetForm() override;
    // The pairs the successful controls below give, in document order.
    TIpHtmlFormValues FormValues();
};

class TIpHtmlNodeDL : public TIpHtmlNodeInline {
  public:
    using TIpHtmlNodeInline::TIpHtmlNodeInline;
    bool Compact = false;
};

class TIpHtmlNodeDT : public TIpHtmlNodeInline {
  public:
    using TIpHtmlNodeInline::TIpHtmlNodeInline;
    void BuildElements() override;
};

class TIpHtmlNodeDD : public TIpHtmlNodeInline {
  public:
    using TIpHtmlNodeInline::TIpHtmlNodeInline;
    void BuildElements() override;
};

class TIpHtmlNodePRE : public TIpHtmlNodePropsInline {
  public:
    using TIpHtmlNodePropsInline::TIpHtmlNodePropsInline;
    void AssignProps(TIpHtmlProps& Props) override;
    void BuildElements() override;
};

class TIpHtmlNodeDIV : public TIpHtmlNodePropsInline {
  public:
    using TIpHtmlNodePropsInline::TIpHtmlNodePropsInline;
    void AssignProps(TIpHtmlProps& Props) override;
    void BuildElements() override;
    TIpHtmlAlign Align = TIpHtmlAlign::haDefault;
};

class TIpHtmlNodeBLINK : public TIpHtmlNodeInline {
  public:
    using TIpHtmlNodeInline::TIpHtmlNodeInline;
};

class TIpHtmlNodeBLOCKQUOTE : public TIpHtmlNodeInline {
  public:
    using TIpHtmlNodeInline::TIpHtmlNodeInline;
    void BuildElements() override;
};

class TIpHtmlNodeQ : public TIpHtmlNodeInline {
  public:
    using TIpHtmlNodeInline::TIpHtmlNodeInline;
};

class TIpHtmlNodeBR : public TIpHtmlNodeInline {
  public:
    using TIpHtmlNodeInline::TIpHtmlNodeInline;
    void BuildElements() override;
    TIpHtmlBreakClear Clear = TIpHtmlBreakClear::hbcNone;
};

class TIpHtmlNodeA : public TIpHtmlNodePropsInline {
  public:
    using TIpHtmlNodePropsInline::TIpHtmlNodePropsInline;
    ~TIpHtmlNodeA() override;
    const std::string& HRef() const { return FHRef; }
    // The anchor is in the document's anchor list exactly while its HRef is not empty.
    void SetHRef(const std::string& Value);
    const std::string& Name() const { return FName; }
    // Moves the anchor to its new name in the document's list of named anchors.
    void SetName(const std::string& Value);
    bool Hot() const { return FHot; }
    bool Focused() const { return FFocused; }
    std::string HintText() override { return FHRef; }
    void AssignProps(TIpHtmlProps& Props) override;
    std::string Rel;
    std::string Rev;
    std::string Target;
    TIpHtmlMapShape Shape = TIpHtmlMapShape::hmsDefault;
    int32_t TabIndex = -1;

    // The rectangles of its content in page coordinates, pieces on one line joined; made on
    // first need after a layout.
    const std::vector<TIpHtmlRect>& DrawRects();
    const std::vector<TIpHtmlRect>& MapRects();
    // Forgets both (before a layout).
    void DropRects();
    bool AnchorHitTest(TIpHtmlPoint Point);
    // Point relative to the map rectangle that holds it, or -1,-1.
    TIpHtmlPoint AnchorMapPoint(TIpHtmlPoint Point);
    // Shows the anchor in the active colour or its own, repainting its rectangles.
    void SetAnchorHot(bool Hot);
    void FocusAnchor();
    void UnfocusAnchor();
    // Raises the document's scroll event with the union of its rectangles.
    void ScrollIntoView() override;

  private:
    std::string FHRef;
    std::string FName;
    bool FHot = false;
    bool FFocused = false;
    // The properties its parent handed it, for taking them again when it turns hot.
    TIpHtmlProps* FParentProps = nullptr;
    bool FRectsKnown = false;
    std::vector<TIpHtmlRect> FDrawRects;
    std::vector<TIpHtmlRect> FMapRects;
};

class TIpHtmlNodeAPPLET : public TIpHtmlNodeInline {
  public:
    explicit TIpHtmlNodeAPPLET(TIpHtmlNode* Parent);
    std::string HintText() override { return Alt; }
    std::string Codebase;
    std::string Code;
    std::string Alt;
    std::string Name;
    int32_t Height = -1;
    TIpHtmlLength Width;
    TIpHtmlImageAlign Align = TIpHtmlImageAlign::hiaBottom;
    int32_t HSpace = 1;
    int32_t VSpace = 1;
    std::string Archive;
    std::string ObjectCode;
};

class TIpHtmlNodeOBJECT : public TIpHtmlNodeInline {
  public:
    explicit TIpHtmlNodeOBJECT(TIpHtmlNode* Parent);
    std::string ClassID;
    std::string Codebase;
    std::string Data;
    std::string CodeType;
    std::string Archive;
    std::string Standby;
    TIpHtmlImageAlign Align = TIpHtmlImageAlign::hiaBottom;
    int32_t Height = -1;
    TIpHtmlLength Width;
    int32_t Border = 0;
    int32_t HSpace = 1;
    int32_t VSpace = 1;
    std::string UseMap;
    bool Declare = false;
    std::string Name;
};

// Registered in the document's control list, like a control.
class TIpHtmlNodeLABEL : public TIpHtmlNodeInline {
  public:
    explicit TIpHtmlNodeLABEL(TIpHtmlNode* Parent);
    ~TIpHtmlNodeLABEL() override;
    std::string LabelFor;
};

// --- frames, maps, tables, options ---

class TIpHtmlNodeNOFRAMES : public TIpHtmlNodeCore {
  public:
    using TIpHtmlNodeCore::TIpHtmlNodeCore;
};

class TIpHtmlNodeFRAMESET : public TIpHtmlNodeCore {
  public:
    using TIpHtmlNodeCore::TIpHtmlNodeCore;
    ~TIpHtmlNodeFRAMESET() override;
    TIpHtmlMultiLengthList Cols;
    TIpHtmlMultiLengthList Rows;
};

class TIpHtmlNodeFRAME : public TIpHtmlNodeCore {
  public:
    using TIpHtmlNodeCore::TIpHtmlNodeCore;
    int32_t FrameBorder() const { return FFrameBorder; }
    int32_t MarginHeight() const { return FMarginHeight; }
    int32_t MarginWidth() const { return FMarginWidth; }
    TIpHtmlFrameScrolling Scrolling() const { return FScrolling; }
    // Each setter resets the sizes when the value changes.
    void SetFrameBorder(int32_t Value);
    void SetMarginHeight(int32_t Value);
    void SetMarginWidth(int32_t Value);
    void SetScrolling(TIpHtmlFrameScrolling Value);
    std::string LongDesc;
    std::string Name;
    bool NoResize = false;
    std::string Src;

  private:
    int32_t FFrameBorder = 0;
    int32_t FMarginHeight = 0;
    int32_t FMarginWidth = 0;
    TIpHtmlFrameScrolling FScrolling = TIpHtmlFrameScrolling::hfsAuto;
};

// In the document's MAP list while it exists.
class TIpHtmlNodeMAP : public TIpHtmlNodeCore {
  public:
    explicit TIpHtmlNodeMAP(TIpHtmlNode* Parent);
    ~TIpHtmlNodeMAP() override;
    std::string Name;
};

class TIpHtmlNodeAREA : public TIpHtmlNodeCore {
  public:
    using TIpHtmlNodeCore::TIpHtmlNodeCore;
    std::string HintText() override { return Alt.empty() ? HRef : Alt; }
    TIpHtmlMapShape Shape = TIpHtmlMapShape::hmsDefault;
    std::string Coords;
    std::string HRef;
    bool NoHRef = false;
    std::string Alt;
    int32_t TabIndex = -1;
    std::string Target;
};

// Where an area lies on one image that uses its map: a rectangle, or a region (an ellipse in
// the rectangle, or a polygon filled even-odd). An image of the same map elsewhere has its own.
class TIpHtmlAreaShape {
  public:
    // From the area's Coords, relative to an image placed at Image; hits nothing when the
    // coordinates make no shape.
    TIpHtmlAreaShape(const TIpHtmlNodeAREA& Area, const TIpHtmlRect& Image);
    bool Hits(TIpHtmlPoint Point) const;

  private:
    enum class THitKind : uint8_t { None, Rect, Ellipse, Polygon };
    THitKind FHitKind = THitKind::None;
    TIpHtmlRect FHitRect;
    std::vector<TIpHtmlPoint> FHitPolygon;
};

class TIpHtmlNodeLINK : public TIpHtmlNodeCore {
  public:
    using TIpHtmlNodeCore::TIpHtmlNodeCore;
    std::string HRef;
    std::string Rel;
    std::string Rev;
};

class TIpHtmlNodeTHeadFootBody : public TIpHtmlNodeCore {
  public:
    using TIpHtmlNodeCore::TIpHtmlNodeCore;
    TIpHtmlAlign Align = TIpHtmlAlign::haDefault;
    TIpHtmlVAlign3 VAlign = TIpHtmlVAlign3::hva3Default;
};

class TIpHtmlNodeTHEAD : public TIpHtmlNodeTHeadFootBody {
  public:
    explicit TIpHtmlNodeTHEAD(TIpHtmlNode* Parent) : TIpHtmlNodeTHeadFootBody(Parent) {
        VAlign = TIpHtmlVAlign3::hva3Middle;
    }
};

class TIpHtmlNodeTFOOT : public TIpHtmlNodeTHeadFootBody {
  public:
    using TIpHtmlNodeTHeadFootBody::TIpHtmlNodeTHeadFootBody;
};

class TIpHtmlNodeTBODY : public TIpHtmlNodeTHeadFootBody {
  public:
    using TIpHtmlNodeTHeadFootBody::TIpHtmlNodeTHeadFootBody;
};

class TIpHtmlNodeCOLGROUP : public TIpHtmlNodeCore {
  public:
    using TIpHtmlNodeCore::TIpHtmlNodeCore;
    int32_t Span = 1;
    TIpHtmlMultiLength Width;
};

class TIpHtmlNodeCOL : public TIpHtmlNodeCore {
  public:
    using TIpHtmlNodeCore::TIpHtmlNodeCore;
    int32_t Span = 1;
    TIpHtmlMultiLength Width;
};

class TIpHtmlNodeTR : public TIpHtmlNodeCore {
  public:
    using TIpHtmlNodeCore::TIpHtmlNodeCore;
    TIpHtmlAlign Align = TIpHtmlAlign::haDefault;
    TIpHtmlVAlign VAlign = TIpHtmlVAlign::hvaMiddle;
};

class TIpHtmlNodeOPTION : public TIpHtmlNodeCore {
  public:
    using TIpHtmlNodeCore::TIpHtmlNodeCore;
    bool Selected = false;
    std::string Value;
    bool Disabled = false;
    std::string OptionLabel;
};

class TIpHtmlNodeOPTGROUP : public TIpHtmlNodeCore {
  public:
    using TIpHtmlNodeCore::TIpHtmlNodeCore;
    bool Disabled = false;
    std::string GroupLabel;
};

class TIpHtmlNodeFIELDSET : public TIpHtmlNodeCore {
  public:
    using TIpHtmlNodeCore::TIpHtmlNodeCore;
};

class TIpHtmlNodeLEGEND : public TIpHtmlNodeCore {
  public:
    using TIpHtmlNodeCore::TIpHtmlNodeCore;
};
