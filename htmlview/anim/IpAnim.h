#pragma once
// The base of animated pictures: TIpAnimatedGraphic keeps a list of frames, composes the current
// frame into its own bitmap by the frame's disposal method, and steps through the frames on a
// timer. A format's loader (a descendant) fills the frame list; the base itself loads only a
// placeholder. The HTML viewer's images show such pictures and repaint when they change.
//
// A frame list may share its frames with another (Assign, as copies of a graphic do). Frames are
// held shared, so a list keeps the frames it shows whichever list is released or freed first.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/classes/Exception.h"
#include "platform/forms/Persistent.h"
#include "platform/gdi/Graphics.h"

// An entry of a frame list that is not a frame.
class EFrameListError : public Exception {
  public:
    using Exception::Exception;
};

// How the area of a frame is treated before the next one is drawn.
inline constexpr uint8_t kDisposeUnspecified = 0;
inline constexpr uint8_t kDisposeNone = 1;
inline constexpr uint8_t kDisposeBackground = 2;
inline constexpr uint8_t kDisposePrevious = 3;

class TIpAnimationFrame : public TObject {
  public:
    TIpAnimationFrame();
    ~TIpAnimationFrame() override;
    TBitmap& Bitmap() { return *FBitmap; }
    const TBitmap& Bitmap() const { return *FBitmap; }
    // Where the frame lies in the whole picture.
    int Left = 0;
    int Top = 0;
    // Hundredths of a second the frame stays.
    int Delay = 0;
    uint8_t DisposalMethod = kDisposeUnspecified;
    // Pixels of TransparentColor are not drawn when set.
    uint8_t Transparent = 0;
    TColor TransparentColor = clNone;

  private:
    std::unique_ptr<TBitmap> FBitmap;
};

class TIpAnimationFrameList {
  public:
    TIpAnimationFrameList() = default;
    virtual ~TIpAnimationFrameList() = default;
    TIpAnimationFrameList(const TIpAnimationFrameList&) = delete;
    TIpAnimationFrameList& operator=(const TIpAnimationFrameList&) = delete;

    // One more holder shares the frames.
    virtual void Acquire() { ++FShareCount; }
    // One holder less; once none is left (the count falls below 0) the list lets its frames go
    // and empties.
    virtual void Release();
    // Takes Source's frames (sharing them) and counts itself as one more holder.
    virtual void Assign(const TIpAnimationFrameList& Source);
    int ShareCount() const { return FShareCount; }

    int Count() const { return int(FItems.size()); }
    int Add(std::shared_ptr<TObject> Item);
    void Delete(int Index);
    void Clear() { FItems.clear(); }
    // The frame at Index; none outside the list or for an empty slot. An entry that is no
    // frame raises EFrameListError "Unrecognized object in GIF Frame List".
    TIpAnimationFrame* Items(int Index) const;

  private:
    std::vector<std::shared_ptr<TObject>> FItems;
    int FShareCount = 0;
};

// What an animation counts its frames' delays on: by default the class library's timer (window
// timers of the message loop), in tests a clock the test advances.
class TIpAnimationTimer {
  public:
    virtual ~TIpAnimationTimer() = default;
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool Value) = 0;
    // Milliseconds.
    virtual unsigned Interval() const = 0;
    virtual void SetInterval(unsigned Value) = 0;
    std::function<void()> OnTimer;
};
using TIpAnimationTimerFactory = std::function<std::unique_ptr<TIpAnimationTimer>()>;

class TIpAnimatedGraphic;
// Before the animation moves on: Next may be changed, and CanChange cleared to stay.
using TIpAnimationFrameChangeEvent =
    std::function<void(TIpAnimatedGraphic* Sender, int CurrentFrame, int& NextFrame,
                       TIpAnimationFrameList& Frames, bool& CanChange)>;
using TIpAnimationFrameShownEvent =
    std::function<void(TIpAnimatedGraphic* Sender, int Frame, TIpAnimationFrameList& Frames)>;

class TIpAnimatedGraphic : public TGraphic {
  public:
    TIpAnimatedGraphic();
    ~TIpAnimatedGraphic() override;

    // Where every animated graphic made from now on takes its timer (none: the class library's).
    static void SetTimerFactory(TIpAnimationTimerFactory Factory);

    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    // Both at once, the bitmap's pixels made once; raises (changing nothing) when they cannot be.
    void SetSize(int Width, int Height);
    bool Empty() const override { return FWidth == 0 || FHeight == 0; }
    // With RedrawOnChange, remembers where to draw the frames that follow; draws nothing now
    // (the composed frame is Bitmap()).
    void Draw(TCanvas& Canvas, const TRect& R) override;
    // The base knows no format: a 50 x 50 placeholder, white with a red "X" at its top left.
    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) override;
    // From another animated graphic: its picture, its frames (shared), its animation and its
    // settings; anything else is refused as by every graphic.
    void Assign(const TGraphic& Source) override;
    // Gives the composed frame to a TBitmap destination.
    void AssignTo(TGraphic& Dest) const override;
    std::string ClassName() const override { return "TIpAnimatedGraphic"; }

    // The current frame as composed.
    TBitmap& Bitmap() { return FBitmap; }
    // The part of Bitmap that the last frame shown changed (all of it when that is not known):
    // what is to be drawn again.
    const QRect& ChangedRect() const { return FChangedRect; }
    TIpAnimationFrameList& Frames() { return *FFrames; }
    int FrameCount() const { return FFrameCount; }
    void SetFrameCount(int Value) { FFrameCount = Value; }
    int CurrentFrameIndex() const { return FCurrentFrame; }
    // Whether the frames step on: true starts the animation (and reads whether it could start).
    bool Animate() const { return FAnimate; }
    void SetAnimate(bool Value);
    // Above 1: the first frame stays for its own delay; else the first step comes after 100 ms.
    int DelayTime() const { return FDelayTime; }
    void SetDelayTime(int Value) { FDelayTime = Value; }
    uint8_t DisposalMethod() const { return FDisposalMethod; }
    TIpAnimationTimer& Timer() { return *FTimer; }
    // Draw the new frame where Draw was last asked to (and at the second target) as it comes.
    bool RedrawOnChange = false;
    // Fire the graphic's change event when a frame is shown.
    bool ChangeNotify = true;
    // What disposal method 2 restores.
    TColor BackgroundColor = clWhite;
    // A second place to draw each frame at (a descendant's); 0 for none.
    void SetDrawTarget(HDC DC, const TRect& R);

    TIpAnimationFrameChangeEvent OnFrameChange;
    TIpAnimationFrameShownEvent OnFrameShown;

    // Composes frame Index (0 to FrameCount - 1; others are ignored) and tells who listens.
    virtual void ShowFrame(int Index);
    // Prepares Bitmap for Frame by Method and draws the frame; Draw is cleared to skip drawing.
    virtual void DisposeFrame(TBitmap& Target, TIpAnimationFrame* Frame, bool& Draw,
                              uint8_t Method);
    virtual void ReleaseFrames() { FFrames->Release(); }
    virtual void ClearFrames();
    // The timer's step to the next frame.
    virtual void TimerTick();
    // Arms the timer for the first step; false (and no timer) with fewer than two frames.
    virtual bool StartAnimation();
    virtual void StopAnimation() { FTimer->SetEnabled(false); }

  protected:
    // The frame's place on a picture of Size, cut to the picture.
    static QRect FrameArea(const TIpAnimationFrame& Frame, const QSize& Size);
    // Puts Frame's pixels on Target (a 32-bit bitmap) at the frame's place, where they fall
    // inside it; with Keyed, not the pixels of the frame's transparent colour. Only the frame's
    // rows are touched, so a step costs the frame's size, not the picture's. Returns the area.
    static QRect PutFrame(TBitmap& Target, const TIpAnimationFrame& Frame, bool Keyed);
    static QRect FillFrameArea(TBitmap& Target, const TIpAnimationFrame& Frame, TColor Color);
    static void FillArea(TBitmap& Target, const QRect& Area, TColor Color);
    // The pixels of Area of Target, and back.
    static QImage CopyArea(TBitmap& Target, const QRect& Area);
    static void PutArea(TBitmap& Target, const QImage& Pixels, const QPoint& At);
    static QRgb RgbOf(TColor Color);
    // What DisposeFrame says it changed.
    void SetChangedRect(const QRect& R) { FChangedRect = R; }

  private:
    void DrawAt(HDC DC, const TRect& R);
    // Milliseconds a frame of Delay hundredths stays.
    static unsigned FrameInterval(int Delay);
    // The same for a frame a step showed, once it put together Changed pixels for it.
    static unsigned StepInterval(int Delay, const QRect& Changed);

    TBitmap FBitmap;
    std::unique_ptr<TIpAnimationFrameList> FFrames;
    std::unique_ptr<TIpAnimationTimer> FTimer;
    int FFrameCount = 0;
    int FCurrentFrame = 0;
    int FWidth = 0;
    int FHeight = 0;
    bool FAnimate = false;
    int FDelayTime = 0;
    uint8_t FDisposalMethod = kDisposeUnspecified;
    QRect FChangedRect;
    HDC FDrawDC = 0;
    TRect FDrawRect;
    HDC FTargetDC = 0;
    TRect FTargetRect;
};
