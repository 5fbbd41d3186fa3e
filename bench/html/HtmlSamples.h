#pragma once
// Generated HTML for the viewer's benchmarks: the same text every run.
#include <cstdint>
#include <iterator>
#include <string>

namespace HtmlSamples {

// A small deterministic generator, so every run works on the same text.
class TRandom {
  public:
    uint32_t Next(uint32_t Below) {
        FState = FState * 1103515245u + 12345u;
        return (FState >> 8) % Below;
    }

  private:
    uint32_t FState = 20261207;
};

inline const char* const kWords[] = {
    "Angebot",          "Newsletter", "the",   "offer",  "Preis",   "and",    "free",    "shipping",
    "Gr&uuml;&szlig;e", "week",       "&amp;", "update", "release", "&nbsp;", "members", "today"};

inline std::string Sentence(TRandom& R) {
    std::string Out;
    const uint32_t Words = 6 + R.Next(14);
    for (uint32_t I = 0; I < Words; ++I) {
        if (I) Out += ' ';
        const std::string Word = kWords[R.Next(std::size(kWords))];
        switch (R.Next(12)) {
            case 0:
                Out += "<b>" + Word + "</b>";
                break;
            case 1:
                Out += "<a href=\"http://example.org/p?id=" + std::to_string(R.Next(99999)) +
                       "&amp;utm=mail\">" + Word + "</a>";
                break;
            case 2:
                Out += "<font face=\"Arial, Helvetica\" color=\"#33" +
                       std::to_string(1000 + R.Next(8999)).substr(0, 4) + "\">" + Word + "</font>";
                break;
            case 3:
                Out += "<span style=\"color:#333\">" + Word + "</span>";
                break;
            default:
                Out += Word;
        }
    }
    return Out + ".";
}

inline std::string Article(TRandom& R) {
    std::string Out =
        "<table width=\"100%\" cellpadding=\"8\" cellspacing=\"0\" border=\"0\" "
        "bgcolor=\"#ffffff\">\r\n"
        "  <tr>\r\n    <td valign=\"top\" width=\"120\"><img src=\"cid:img" +
        std::to_string(R.Next(1000)) +
        "\" width=\"120\" height=\"90\" alt=\"\" border=\"0\"></td>\r\n"
        "    <td valign=\"top\"><font face=\"Verdana\" size=\"2\">\r\n"
        "      <h3>" +
        Sentence(R) + "</h3>\r\n";
    const uint32_t Paragraphs = 1 + R.Next(4);
    for (uint32_t I = 0; I < Paragraphs; ++I)
        Out += "      <p>" + Sentence(R) + " " + Sentence(R) + "</p>\r\n";
    if (R.Next(3) == 0) {
        Out += "      <ul>\r\n";
        for (uint32_t I = 0; I < 3; ++I) Out += "        <li>" + Sentence(R) + "</li>\r\n";
        Out += "      </ul>\r\n";
    }
    Out += "      <!-- tracking " + std::to_string(R.Next(1000000)) +
           " -->\r\n"
           "    </font></td>\r\n  </tr>\r\n</table>\r\n<hr size=1 noshade>\r\n";
    return Out;
}

inline std::string MailHtml(size_t Size) {
    TRandom R;
    std::string Out =
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n<html><head>\r\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n"
        "<title>Newsletter</title>\r\n<style type=\"text/css\">p { margin: 0 }</style>\r\n"
        "</head>\r\n<body bgcolor=\"#eeeeee\" text=\"#000000\" link=\"#0000cc\">\r\n"
        "<table width=\"600\" align=\"center\"><tr><td>\r\n";
    while (Out.size() < Size) Out += Article(R);
    return Out + "</td></tr></table>\r\n</body></html>\r\n";
}

// A plain-text mail as the viewer shows one: each line escaped and ended with <BR>. Lines of
// about 70 characters in paragraphs, some quoted.
inline std::string PlainTextMail(size_t Size) {
    static const char* const kPlainWords[] = {"die",
                                              "der",
                                              "und",
                                              "Nachricht",
                                              "Box",
                                              "Point",
                                              "the",
                                              "message",
                                              "and",
                                              "with",
                                              "Netcall",
                                              "heute",
                                              "wieder",
                                              "between",
                                              "server",
                                              "&lt;ok&gt;",
                                              "Gr&uuml;&szlig;e",
                                              "Datei",
                                              "spool",
                                              "exchange",
                                              "was",
                                              "nicht",
                                              "mail",
                                              "Antwort"};
    TRandom R;
    std::string Out = "<html><body>\r\n";
    while (Out.size() < Size) {
        const bool Quoted = R.Next(5) == 0;
        const uint32_t Lines = 2 + R.Next(6);
        for (uint32_t L = 0; L < Lines; ++L) {
            std::string Line = Quoted ? "&gt; " : "";
            while (Line.size() < 60 + R.Next(15)) {
                if (!Line.empty() && Line != "&gt; ") Line += ' ';
                Line += kPlainWords[R.Next(std::size(kPlainWords))];
            }
            Out += Line + "<BR>\r\n";
        }
        Out += "<BR>\r\n";
    }
    return Out + "</body></html>\r\n";
}

// Tables nested Levels deep, two by two cells each, the innermost holding a grid of Rows by
// Cols cells.
inline std::string NestedTables(int Levels, int Rows, int Cols) {
    std::string Out = "<html><body>";
    for (int L = 0; L < Levels; ++L)
        Out += "<table border=1 cellpadding=2 width=\"95%\"><tr><td colspan=2>Level " +
               std::to_string(L) + " heading text</td></tr><tr><td>left " + std::to_string(L) +
               "</td><td>";
    Out += "<table border=1 cellspacing=0>";
    for (int Row = 0; Row < Rows; ++Row) {
        Out += "<tr>";
        for (int Col = 0; Col < Cols; ++Col)
            Out += "<td>r" + std::to_string(Row) + "c" + std::to_string(Col) + " text</td>";
        Out += "</tr>\r\n";
    }
    Out += "</table>";
    for (int L = 0; L < Levels; ++L) Out += "</td></tr></table>";
    return Out + "</body></html>";
}

}  // namespace HtmlSamples
