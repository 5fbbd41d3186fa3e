#pragma once
// What the message viewer shows of a message, without widgets: the header list, the captions of
// the MIME tree and the document the HTML panel opens.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TIpMessage;
class TIpMimeEntity;

// Subject, Date and From always (empty values when absent); To, CC and BCC as comma text when
// set; the media type and description when set; then every "X-" line as received. Encoded words
// in the subject, the addresses and the description are decoded. A NUL byte shows as a blank, as
// in the document.
std::vector<std::string> MessageHeaderLines(const TIpMessage& Message);

// type "/" subtype (the type alone when there is no subtype): the message's line in the header
// list and the root of the MIME tree.
std::string MediaTypeText(const TIpMimeEntity& Part);
// A part's caption in the tree: its file name when set, else its media type.
std::string MimeNodeCaption(const TIpMimeEntity& Part);

// The document the viewer shows: the HTML part decoded; else the text part (or the message) as
// it is when it is text/html, or its lines with breaks, the text escaped so that it shows as
// written ("<a@b>" is an address, not a tag). The text is converted from the charset its part
// declares (an HTML body: else the one its <meta> names) to the window's code page. A document
// longer than MaxBytes is cut (never inside a tag or an entity) and ends with
// ViewMessageCutNotice. The body is decoded as far as it can be: over-long encoded lines are
// read all the same, and a body that cannot be decoded to its end shows its start and ends with
// ViewMessageUndecodedNotice. A NUL byte of the text shows as a blank.
std::string MessageDocument(TIpMessage& Message, size_t MaxBytes = SIZE_MAX);

// The paragraph that ends a document cut to what the panel can lay out.
inline constexpr const char* ViewMessageCutNotice =
    "Die Nachricht ist zu lang, um ganz angezeigt zu werden; hier steht nur ihr Anfang.";
// The paragraph that ends a document whose body could not be decoded to its end.
inline constexpr const char* ViewMessageUndecodedNotice =
    "Der Rest dieses Teils konnte nicht dekodiert werden.";

// Text with "&", "<" and ">" written as entities.
std::string EscapeHtmlText(const std::string& Text);

// The part's body lines as they came (still encoded), from its start.
std::vector<std::string> RawBodyLines(TIpMimeEntity& Part);
// The message's lines as they came, from its start.
std::vector<std::string> RawMessageLines(TIpMessage& Message);
