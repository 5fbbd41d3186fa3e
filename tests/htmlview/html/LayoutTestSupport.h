#pragma once
// Laying documents out on the recording canvas, and reading back where things went.
#include <map>
#include <memory>
#include <string>

#include "tests/htmlview/html/HtmlTestSupport.h"
#include "tests/htmlview/html/RecordingCanvas.h"

// A document parsed, with pictures of given sizes behind its image event, laid out on a
// recording canvas without margins.
struct TLaidOut {
    std::unique_ptr<TIpHtml> Doc;
    TRecordingCanvas Canvas;
    // Picture sizes by URL; a URL not listed gets no picture.
    std::map<std::string, TIpHtmlSize> Pictures;
    std::vector<std::string> Requested;

    explicit TLaidOut(const std::string& Html, std::map<std::string, TIpHtmlSize> Sizes = {});
    TIpHtmlRect Layout(int32_t Width);
    // Paints the page rectangle R at the canvas origin and returns the draw calls.
    std::vector<std::string> Paint(const TIpHtmlRect& R);
};

// "word@l,t,r,b" for every word that is not a blank, in the order of the blocks' lists, blocks
// in tree order; words that are not shown read "word@-".
std::string WordRects(TIpHtml& Doc);
// The rectangle of the N-th element (0 first) showing Word.
TIpHtmlRect WordRect(TIpHtml& Doc, const std::string& Word, int N = 0);
// The first node of a class, in tree order.
template <class T>
T* FirstNode(TIpHtml& Doc) {
    T* Found = nullptr;
    Doc.HtmlNode()->ForEachNode([&](TIpHtmlNode* Node) {
        if (!Found) Found = dynamic_cast<T*>(Node);
    });
    return Found;
}
