#pragma once
// Dock sites: windows along an edge of the form that arrange their docked toolbar windows in
// rows (horizontal sites) or columns (vertical ones) and size themselves to fit. Every manager
// has four along the form's edges; a form may place more (TdxBarDockControl).
//
// Layout (Realign = Layout + AdjustSize) runs only while the site has a window: sizes come from
// the bar windows' fonts. A site whose window is made lays itself out then.
#include <optional>
#include <vector>

#include "bars/windows/dxBarControl.h"

class TdxDockControl : public TCustomControl {
  public:
    // A form-edge site of the manager's bars has its Style; a site the form places has dsNone
    // and takes its style from its alignment.
    TdxDockControl(TComponent* AOwner, TdxBarManager* Manager, TdxBarDockingStyle Style);
    ~TdxDockControl() override;

    TdxBarManager* BarManager() const { return FBarManager; }
    void SetBarManager(TdxBarManager* Value);
    bool AllowDocking = true;
    // The docking style its alignment gives.
    TdxBarDockingStyle DockingStyle() const;
    bool IsHorizontal() const;
    bool IsDefaultSite() const { return FDefaultStyle != dsNone; }

    int RowCount() const { return int(FRows.size()); }
    TdxDockRow* Rows(int Index) const { return FRows.at(size_t(Index)); }
    // The row and column holding the window, or -1.
    int RowOfBar(const TdxBarControl* BarControl) const;

    // Places a bar window: by code (its bar's Row and OneOnRow decide the row) or at a screen
    // point the user moved it to.
    void InsertBar(TdxBarControl* BarControl, TPoint ScreenPoint, bool ByCode, bool Relayout);
    void RemoveBar(TdxBarControl* BarControl, bool Relayout);
    void MoveBarInSite(TdxBarControl* BarControl, TPoint ScreenPoint);
    // Layout and AdjustSize (not while the manager is locked, loading or going).
    void Realign();
    void Layout();
    void AdjustSize() override;
    // The row a client coordinate across the site falls into (see the .cpp), and whether it
    // asks for a new row there.
    int FindRow(TPoint ScreenPoint, bool& NewRow) const;
    int RowAt(int ClientAcross, bool& NewRow) const;
    // The middle of the coordinates across the site that pick the row (as a new row there, or
    // joining it); none when no coordinate does.
    std::optional<int> RowZoneMiddle(int Row, bool NewRow) const;
    int FindColumn(int Row, TPoint ScreenPoint) const;
    TRect RowRect(int Row) const;
    int RowThickness(int Row) const;
    // Where a row starts across the site, counted from the docking edge.
    int RowOffset(int Row) const;
    bool StacksFromFarSide() const;
    // The screen rectangle in which a moved bar docks here.
    TRect DockingZone() const;
    void StoreColumnPositions();
    // The thickness the rows need.
    virtual int DockSize() const;

    virtual void BarManagerChanged() {}
    virtual bool CanDock(TdxBar* Bar) const;
    virtual void UpdateColor();
    virtual bool GetSunkenBorder() const;

  protected:
    // Where row position Position lies across the site: a real row, or the zone before the
    // first (-1) or after the last (RowCount()) row.
    struct TExtent {
        int Start, End;
    };
    TExtent RowExtent(int Position) const;
    // The client size across the site, and along its docking edge.
    int ClientAcross() const;
    int ClientAlong() const;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;
    void Dispatch(TMessage& Message) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    // Keeps the site from laying itself out again while it places its bars.
    int FLayingOut = 0;
    TdxBarManager* FBarManager = nullptr;
    TdxBarDockingStyle FDefaultStyle;
    std::vector<TdxDockRow*> FRows;
    // No manager, or one being freed: its bars leave one by one and nothing is laid out.
    bool ManagerGoing() const;
    void DeleteRow(int Index);
    void LayoutRow(TdxDockRow* Row, int RowOffset);
};

// A dock site the form places.
class TdxBarDockControl : public TdxDockControl {
  public:
    explicit TdxBarDockControl(TComponent* AOwner);

    TdxBarDockAlign DockAlign() const { return FDockAlign; }
    void SetDockAlign(TdxBarDockAlign Value);
    bool AllowZeroSizeInDesignTime = false;
    void SetManager(TdxBarManager* Value) { SetBarManager(Value); }
    bool UseOwnColor() const { return FUseOwnColor; }
    void SetUseOwnColor(bool Value);
    bool UseOwnSunkenBorder() const { return FUseOwnSunkenBorder; }
    void SetUseOwnSunkenBorder(bool Value);
    bool SunkenBorder() const { return GetSunkenBorder(); }
    void SetSunkenBorder(bool Value);
    void SetDockColor(TColor Value);
    void SetDockParentColor(bool Value);

    bool CanDock(TdxBar* Bar) const override;
    void UpdateColor() override;
    bool GetSunkenBorder() const override;
    int DockSize() const override;

  private:
    TdxBarDockAlign FDockAlign = dalTop;
    bool FUseOwnColor = false;
    bool FUseOwnSunkenBorder = false;
    bool FSunkenBorder = false;
};
