#pragma once
// The one table of the tokens the viewer knows, in the order of their numbers. Each entry is
// ONE(Enumerator, "name"), a token of one number, or PAIR(Enumerator, "NAME"), an element with an
// end tag: two numbers, ttNAME and ttNAMEEnd (named "/NAME"). The token enumeration, the names,
// the sorted name search, the font-style and phrase enumerations and the size of the token sets
// are all made from it (IpHtmlTokens.h, IpHtmlTypes.h); nothing else lists the tags.

// clang-format off

// TT, I, B, U, STRIKE, S, BIG, SMALL, SUB, SUP: the elements of TIpHtmlFontStyles.
#define IP_HTML_FONT_STYLE_TAGS(PAIR) \
    PAIR(TT, "TT") \
    PAIR(I, "I") \
    PAIR(B, "B") \
    PAIR(U, "U") \
    PAIR(STRIKE, "STRIKE") \
    PAIR(S, "S") \
    PAIR(BIG, "BIG") \
    PAIR(SMALL, "SMALL") \
    PAIR(SUB, "SUB") \
    PAIR(SUP, "SUP")

// EM, STRONG, DFN, CODE, SAMP, KBD, VAR, CITE, ABBR, ACRONYM: the elements of TIpHtmlPhraseStyle.
#define IP_HTML_PHRASE_TAGS(PAIR) \
    PAIR(EM, "EM") \
    PAIR(STRONG, "STRONG") \
    PAIR(DFN, "DFN") \
    PAIR(CODE, "CODE") \
    PAIR(SAMP, "SAMP") \
    PAIR(KBD, "KBD") \
    PAIR(VAR, "VAR") \
    PAIR(CITE, "CITE") \
    PAIR(ABBR, "ABBR") \
    PAIR(ACRONYM, "ACRONYM")

// Every token.
#define IP_HTML_TOKENS(ONE, PAIR) \
    ONE(Eof, "<eof>") \
    ONE(Unknown, "<unknown>") \
    ONE(Text, "<text>") \
    PAIR(HTML, "HTML") \
    PAIR(HEAD, "HEAD") \
    PAIR(TITLE, "TITLE") \
    PAIR(STYLE, "STYLE") \
    PAIR(SCRIPT, "SCRIPT") \
    PAIR(NOSCRIPT, "NOSCRIPT") \
    ONE(ISINDEX, "ISINDEX") \
    ONE(BASE, "BASE") \
    ONE(META, "META") \
    ONE(LINK, "LINK") \
    PAIR(BODY, "BODY") \
    PAIR(H1, "H1") \
    PAIR(H2, "H2") \
    PAIR(H3, "H3") \
    PAIR(H4, "H4") \
    PAIR(H5, "H5") \
    PAIR(H6, "H6") \
    PAIR(FONT, "FONT") \
    PAIR(P, "P") \
    PAIR(UL, "UL") \
    PAIR(OL, "OL") \
    PAIR(LI, "LI") \
    PAIR(DL, "DL") \
    PAIR(DT, "DT") \
    PAIR(DD, "DD") \
    PAIR(DIR, "DIR") \
    PAIR(MENU, "MENU") \
    PAIR(PRE, "PRE") \
    PAIR(DIV, "DIV") \
    PAIR(SPAN, "SPAN") \
    PAIR(CENTER, "CENTER") \
    PAIR(LEFT, "LEFT") \
    PAIR(RIGHT, "RIGHT") \
    PAIR(BLINK, "BLINK") \
    PAIR(BLOCKQUOTE, "BLOCKQUOTE") \
    PAIR(Q, "Q") \
    ONE(HR, "HR") \
    IP_HTML_FONT_STYLE_TAGS(PAIR) \
    IP_HTML_PHRASE_TAGS(PAIR) \
    PAIR(A, "A") \
    ONE(IMG, "IMG") \
    PAIR(APPLET, "APPLET") \
    PAIR(OBJECT, "OBJECT") \
    ONE(PARAM, "PARAM") \
    ONE(BASEFONT, "BASEFONT") \
    ONE(BR, "BR") \
    PAIR(NOBR, "NOBR") \
    PAIR(MAP, "MAP") \
    ONE(AREA, "AREA") \
    ONE(DOCTYPE, "!DOCTYPE") \
    ONE(Comment, "!--") \
    PAIR(ADDRESS, "ADDRESS") \
    PAIR(FORM, "FORM") \
    PAIR(TABLE, "TABLE") \
    PAIR(CAPTION, "CAPTION") \
    PAIR(TR, "TR") \
    PAIR(TH, "TH") \
    PAIR(TD, "TD") \
    PAIR(TBODY, "TBODY") \
    PAIR(THEAD, "THEAD") \
    PAIR(TFOOT, "TFOOT") \
    PAIR(COLGROUP, "COLGROUP") \
    ONE(COL, "COL") \
    ONE(INPUT, "INPUT") \
    PAIR(BUTTON, "BUTTON") \
    PAIR(SELECT, "SELECT") \
    PAIR(OPTGROUP, "OPTGROUP") \
    PAIR(OPTION, "OPTION") \
    PAIR(TEXTAREA, "TEXTAREA") \
    PAIR(LABEL, "LABEL") \
    PAIR(FIELDSET, "FIELDSET") \
    PAIR(LEGEND, "LEGEND") \
    PAIR(INS, "INS") \
    PAIR(DEL, "DEL") \
    PAIR(FRAMESET, "FRAMESET") \
    ONE(FRAME, "FRAME") \
    PAIR(NOFRAMES, "NOFRAMES") \
    PAIR(IFRAME, "IFRAME")
// clang-format on
