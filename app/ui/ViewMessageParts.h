#pragma once
// What the message viewer takes out of a message's parts: the names attachments are saved and
// opened under, the private folder they are opened from, and the pictures an HTML body shows.
#include <memory>
#include <string>

class TIpMimeEntity;
class TPicture;

// The part's name without any directory ("/" and "\" parts stripped): of its Content-Type name,
// else of its disposition's file name; empty when it has neither.
std::string AttachmentBareName(const TIpMimeEntity& Part);
// Whether a bare name may become a file of ours: not empty, not "." or "..", no control
// characters, not longer than a file name may be.
bool UsableAttachmentName(const std::string& BareName);
// The save dialog's preset: the usable bare name, else "*.*".
std::string AttachmentSavePreset(const TIpMimeEntity& Part);

// The folder attachments are opened from: made on first use, readable by this user alone, and
// removed with its files when the program ends.
const std::string& AttachmentFolder();
// Decodes the part's body into FileName. The body is decoded before the file is made, so that a
// body that cannot be decoded leaves no file behind.
void DecodeAttachment(TIpMimeEntity& Part, const std::string& FileName);

// The part under Root with the Content-ID a "cid:" URL names (angle brackets ignored), or null.
TIpMimeEntity* FindContentPart(TIpMimeEntity& Root, const std::string& URL);
// The picture of an image part (PNG, GIF, JPEG or bitmap), or null for any other part and for
// one whose data cannot be read or whose pixels cannot be had (beyond an open pixel allowance,
// or the machine's memory). The message viewer asks through TMessagePictures.
std::shared_ptr<TPicture> PartPicture(TIpMimeEntity& Part);
