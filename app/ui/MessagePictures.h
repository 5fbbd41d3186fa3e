#pragma once
// The pictures of the message a viewer shows. A picture part is decoded once for each document
// that shows it, however many images name it, and all of them together stay within an allowance
// of decoded pixels (UiLimits::kMaxMessagePicturePixels), so that a mail of a few kilobytes
// cannot make the viewer, and the exchange program around it, take gigabytes. A picture beyond
// the allowance shows as the broken picture, as one that cannot be read does; the text stays.
// Pixels come back to the allowance when the last image of a picture lets it go.
#include <map>
#include <memory>
#include <utility>

class TIpMimeEntity;
class TPicture;
class TPixelAllowance;

class TMessagePictures {
  public:
    TMessagePictures();
    ~TMessagePictures();
    TMessagePictures(const TMessagePictures&) = delete;
    TMessagePictures& operator=(const TMessagePictures&) = delete;

    // The picture of Part for Document (whatever tells the documents apart), or null when the
    // part is no picture, cannot be read or is beyond what the allowance has left.
    std::shared_ptr<TPicture> Picture(TIpMimeEntity& Part, const void* Document);
    // For a new message: every part forgotten, a new allowance. The pictures still shown keep
    // their share of the old one until they go.
    void Clear();
    // Pixels the allowance has left.
    int64_t PixelsLeft() const;

  private:
    std::shared_ptr<TPixelAllowance> FAllowance;
    // Weak: a picture goes with the last image that shows it.
    std::map<std::pair<const void*, const TIpMimeEntity*>, std::weak_ptr<TPicture>> FShown;
};
