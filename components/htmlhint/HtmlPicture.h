#pragma once
// Pictures that hint texts name: THTMLPicture (BMP, GIF and JPEG data kept as read, a chosen
// frame of an animated GIF), TPictureContainer (pictures by name) and THTMLPictureCache
// (pictures by their source, "RES://NAME" or "FILE://PATH").
#include <QImage>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/forms/Collection.h"
#include "platform/forms/Component.h"
#include "platform/gdi/Graphics.h"
#include "resources/ResourceData.h"

class THTMLPicture : public TGraphic {
  public:
    THTMLPicture();
    ~THTMLPicture() override;

    // The decoded picture's size in pixels (0 while empty).
    int Width() const override;
    int Height() const override;
    // A picture's size is its data's: setting it changes nothing.
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    bool Empty() const override { return FEmpty; }
    // Nothing while empty; with Stretch the picture fills R, else it keeps its size at R's
    // top-left corner.
    void Draw(TCanvas& Canvas, const TRect& R) override;

    // Each keeps the bytes as read and decodes them; bad data raises Exception ("Could not load
    // image. Invalid format", ...) and leaves the picture empty.
    void LoadFromStream(TStream& Stream) override;
    void LoadFromBytes(std::span<const uint8_t> Data);
    // The program's (or the set module's) resource of that name; nothing for a missing one.
    void LoadFromResourceName(const std::string& Name);
    // The bytes as they were read.
    void SaveToStream(TStream& Stream) override;
    void Assign(const TGraphic& Source) override;
    std::string ClassName() const override { return "THTMLPicture"; }

    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value) { FStretch = Value; }
    // The frame of an animated GIF shown (1-based); a change decodes again and fires
    // OnFrameChange.
    int Frame() const { return FFrame; }
    void SetFrame(int Value);
    // Frames of a GIF (-1 for data that is not a GIF, 0 while empty).
    int FrameCount();
    // The GIF's logical screen size, else the picture's size.
    int GIFWidth() const { return FGIFWidth ? FGIFWidth : Width(); }
    int GIFHeight() const { return FGIFHeight ? FGIFHeight : Height(); }
    // Where the shown frame lies in the logical screen (0 when not known).
    int FrameXPos() const { return FFrameXPos; }
    int FrameYPos() const { return FFrameYPos; }
    int FrameXSize() const { return FFrameXSize; }
    int FrameYSize() const { return FFrameYSize; }

    // The source the picture comes from: "RES://NAME" loads a resource, "FILE://PATH" a file;
    // other sources (network addresses) are remembered and stay empty.
    const std::string& ID() const { return FID; }
    void SetID(const std::string& Value);
    bool Asynch() const { return FAsynch; }
    void SetAsynch(bool Value) { FAsynch = Value; }
    bool Loading() const { return FLoading; }

    // The decoded pixels (null while empty).
    const QImage& Image() const { return FImage; }

    std::function<void(THTMLPicture*)> OnFrameChange;
    std::function<void(THTMLPicture*)> OnDownLoadComplete;
    std::function<void(THTMLPicture*)> OnDownLoadError;

    // Where "RES://" pictures come from (null: the program's own resources); for tests.
    static void SetResourceModule(const TResourceModule* Module);

  private:
    void Decode();
    std::vector<uint8_t> FData;
    QImage FImage;
    bool FEmpty = true;
    bool FStretch = false;
    int FFrame = 1;
    int FFrameCount = -2;  // not yet counted
    int FGIFWidth = 0, FGIFHeight = 0;
    int FFrameXPos = 0, FFrameYPos = 0, FFrameXSize = 0, FFrameYSize = 0;
    std::string FID;
    bool FAsynch = true;
    bool FLoading = false;
};

class TPictureItem : public TCollectionItem {
  public:
    explicit TPictureItem(TCollection* Collection);
    ~TPictureItem() override;
    THTMLPicture& Picture() { return *FPicture; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }
    // Copies picture, name and tag of another item.
    void Assign(const TPersistent* Source) override;

  private:
    std::unique_ptr<THTMLPicture> FPicture;
    std::string FName;
    int FTag = 0;
};

class TPictureContainer : public TComponent {
  public:
    explicit TPictureContainer(TComponent* AOwner);
    ~TPictureContainer() override;
    TCollection& Items() { return FItems; }
    TPictureItem* Add();
    // The picture of the first item whose upper-cased Name is Name; null when none.
    THTMLPicture* FindPicture(const std::string& Name);

  private:
    TCollection FItems;
};

class THTMLPictureCache {
  public:
    THTMLPictureCache() = default;
    THTMLPictureCache(const THTMLPictureCache&) = delete;
    THTMLPictureCache& operator=(const THTMLPictureCache&) = delete;
    // A new empty picture kept by the cache; null when the cache is full.
    THTMLPicture* AddPicture();
    // The first picture whose source is exactly ID; null when none.
    THTMLPicture* FindPicture(const std::string& ID);
    int Count() const { return int(FPictures.size()); }
    void Clear() { FPictures.clear(); }

  private:
    std::vector<std::unique_ptr<THTMLPicture>> FPictures;
};

// Draws a picture stretched into R; pixels that are more than half transparent leave the canvas
// as it was.
void DrawPictureImage(TCanvas& Canvas, const TRect& R, const QImage& Image);
