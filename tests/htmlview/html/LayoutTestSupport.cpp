#include "tests/htmlview/html/LayoutTestSupport.h"

#include "platform/gdi/Graphics.h"

TLaidOut::TLaidOut(const std::string& Html, std::map<std::string, TIpHtmlSize> Sizes)
    : Doc(ParseHtml(Html)), Pictures(std::move(Sizes)) {
    Doc->MarginWidth = Doc->MarginHeight = 0;
    Doc->OnGetImage = [this](TIpHtmlNode*, const std::string& URL, TIpHtmlPictureRef& Picture) {
        Requested.push_back(URL);
        const auto Found = Pictures.find(URL);
        if (Found == Pictures.end()) return;
        TBitmap Bitmap(Found->second.Width, Found->second.Height);
        Picture = std::make_shared<TPicture>();
        Picture->SetGraphic(&Bitmap);
    };
}

TIpHtmlRect TLaidOut::Layout(int32_t Width) {
    return Doc->LayoutPage(Canvas, Width, 0);
}

std::vector<std::string> TLaidOut::Paint(const TIpHtmlRect& R) {
    Canvas.Log.clear();
    Doc->RenderPage(Canvas, R, {0, 0}, false);
    return Canvas.Log;
}

namespace {

template <class TProc>
void ForEachElement(TIpHtml& Doc, TProc&& Proc) {
    Doc.HtmlNode()->ForEachNode([&](TIpHtmlNode* Node) {
        if (auto* Block = dynamic_cast<TIpHtmlNodeBlock*>(Node))
            for (LayoutElement* E : Block->Elements()) Proc(E);
    });
}

}  // namespace

std::string WordRects(TIpHtml& Doc) {
    std::string Out;
    ForEachElement(Doc, [&](const LayoutElement* E) {
        if (E->ElementType != TElementType::Word || E->IsBlank > 0) return;
        if (!Out.empty()) Out += " ";
        Out += E->AnsiWord + "@" + (IsEmptyRect(E->WordRect) ? "-" : RectText(E->WordRect));
    });
    return Out;
}

TIpHtmlRect WordRect(TIpHtml& Doc, const std::string& Word, int N) {
    TIpHtmlRect Found;
    int Seen = 0;
    ForEachElement(Doc, [&](const LayoutElement* E) {
        if (E->ElementType == TElementType::Word && E->AnsiWord == Word && Seen++ == N)
            Found = E->WordRect;
    });
    return Found;
}
