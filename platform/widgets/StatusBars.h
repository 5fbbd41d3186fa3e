#pragma once
// The status bar over msctls_statusbar32 (platform/controls/StatusBar.h): a row of panels along
// the bottom of a form, each with a text or drawn by the program, or one simple text across the
// whole bar.
//
// The bar is placed by the class library's alignment (alBottom unless told otherwise), never by
// the window itself, so that it keeps its place among other aligned controls. Panels are as wide
// as their Width, the last reaching to the bar's right end; the window shows at most
// ControlsLimits::kMaxStatusParts of them. A change of a panel shows at once.
#include <memory>
#include <string>

#include "platform/forms/Collection.h"
#include "platform/widgets/ExtCtrls.h"
#include "platform/widgets/ItemCanvas.h"

enum TStatusPanelStyle { psText, psOwnerDraw };
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TStatusPanel : public TCollectionItem {
  public:
    explicit TStatusPanel(TCollection* Collection);

    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TStatusPanelBevel Bevel() const { return FBevel; }
    void SetBevel(TStatusPanelBevel Value);
    // psOwnerDraw: the bar's OnDrawPanel draws the panel.
    TStatusPanelStyle Style() const { return FStyle; }
    void SetStyle(TStatusPanelStyle Value);

    void Assign(const TPersistent* Source) override;
    std::string DisplayName() const override;

  private:
    std::string FText;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    TStatusPanelBevel FBevel = pbLowered;
    TStatusPanelStyle FStyle = psText;
};

class TCustomStatusBar;

class TStatusPanels : public TCollection {
  public:
    explicit TStatusPanels(TCustomStatusBar* StatusBar);
    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
    TStatusPanel* Items(int Index) const {
        return static_cast<TStatusPanel*>(TCollection::Items(Index));
    }

  protected:
    void Update(TCollectionItem* Item) override;

  private:
    TCustomStatusBar* FStatusBar;
};

using TDrawPanelEvent =
    std::function<void(TCustomStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;

class TCustomStatusBar : public TWinControl {
  public:
    explicit TCustomStatusBar(TComponent* AOwner);
    ~TCustomStatusBar() override;

    TStatusPanels* Panels() { return FPanels.get(); }
    void SetPanels(const TStatusPanels* Value) { FPanels->Assign(Value); }
    // One text across the whole bar instead of the panels.
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    const std::string& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string& Value);
    // The grip in the right corner that sizes the form (shown on forms the user may size).
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);
    // What OnDrawPanel draws on.
    TCanvas* Canvas() { return &FCanvas; }

    TDrawPanelEvent OnDrawPanel;

  protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& Message) override;
    // The default: OnDrawPanel, or the panel filled with the bar's colour.
    virtual void DrawPanel(TStatusPanel* Panel, const TRect& Rect);

  private:
    friend class TStatusPanels;
    void UpdatePanels();
    void UpdatePanel(int Index);
    void UpdateSimpleText();

    std::unique_ptr<TStatusPanels> FPanels;
    bool FSimplePanel = false;
    std::string FSimpleText;
    bool FSizeGrip = true;
    TItemCanvas FCanvas;
};

class TStatusBar : public TCustomStatusBar {
  public:
    using TCustomStatusBar::TCustomStatusBar;
};
