#pragma once
// The image list as a component: the painting layer's image list (platform/gdi/Graphics.h:
// images of one size with masks, drawn normally, transparently or blended, with change links
// that tell the controls using it to repaint) placed on a form, with its images stored in the
// form's definition ("Bitmap = {...}", see ReadImageListData). A control that names its image
// list in a definition ("Images = ImageList1") publishes a TImageList* and draws through the
// TCustomImageList it is; its TChangeLink keeps it told of changes, and it clears its pointer in
// Notification when the list goes.
#include "platform/forms/Component.h"
#include "platform/gdi/Graphics.h"
#include "platform/widgets/Control.h"

class TImageList : public TCustomImageList, public TComponent {
  public:
    explicit TImageList(TComponent* AOwner);
    TImageList(TComponent* AOwner, int Width, int Height);
    ~TImageList() override;

    // How many images the list grows by (a hint the list keeps for its definition).
    int AllocBy() const { return FAllocBy; }
    void SetAllocBy(int Value) { FAllocBy = std::max(Value, 1); }

    // Another image list: its size, settings and images.
    void Assign(const TPersistent* Source) override;
    using TCustomImageList::Assign;

    // Told after every change of the images or their look (besides the change links).
    TNotifyEvent OnChange;

  protected:
    void DefineProperties(TFiler& Filer) override;

  private:
    TChangeLink FSelfLink;
    int FAllocBy = 4;
};

// The images of a list as definitions store them, little-endian:
//   "KIL1"; u32 width; u32 height; u32 count; u32 flags (bit 0: masked); then for each image
//   a u32 size and a BMP file of width x height with the picture, and for a masked list a u32
//   size and a 1-bit BMP of its mask (1 where the image is transparent).
void WriteImageListData(TCustomImageList& List, TStream& Stream);
// Replaces the images, the size and the masked flag of List by stored ones; the colour and
// drawing settings stay. Damaged data (cut short, sizes or counts out of range, pictures that do
// not match) raises EInvalidGraphic saying what is wrong, and List stays as it was.
void ReadImageListData(TCustomImageList& List, TStream& Stream);
