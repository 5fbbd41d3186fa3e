#pragma once
// The readers of attribute values: each looks at the attributes of the tag just read. A value
// outside what a reader accepts is a parse error when the tokenizer's FlagErrors is set, and
// otherwise quietly gives the fallback the reader names. Every integer is clamped to
// HtmlLimits::kMaxPixels in magnitude, so layout can add and multiply them without overflow.
#include <cstdint>
#include <string>

#include "htmlview/html/IpHtmlTypes.h"
#include "htmlview/html/IpHtmlValues.h"

class TIpHtmlTokenizer;

// A decimal number, or a hexadecimal one after "$" or "0x", with an optional sign and blanks
// around it; false when the text is anything else or outside 32 bits.
bool HtmlStrToInt(const std::string& Text, int32_t& Value);

// True when the attribute occurs at all, whatever its value.
bool ParseBoolean(const TIpHtmlTokenizer& Tok, const std::string& Name);
// The default without the attribute, 1 for an attribute written without "=", else the number;
// "Invalid integer constant" with the default as fallback.
int32_t ParseInteger(const TIpHtmlTokenizer& Tok, const std::string& Name, int32_t Default);
void ParseHtmlInteger(const TIpHtmlTokenizer& Tok, const std::string& Name, int32_t Default,
                      TIpHtmlInteger& Result);
// 0 without the attribute; anything but a non-negative integer is "Invalid integer constant"
// with 0 as fallback.
void ParsePixels(const TIpHtmlTokenizer& Tok, const std::string& Name, TIpHtmlPixels& Result);
// The attribute or else Default; "%" makes a percentage, empty text leaves hlUndefined.
void ParseHtmlLength(const TIpHtmlTokenizer& Tok, const std::string& Name,
                     const std::string& Default, TIpHtmlLength& Result);
// As a length, with "*" making a relative value when there is no "%"; a bare "*" counts 1.
void ParseHtmlMultiLength(const TIpHtmlTokenizer& Tok, const std::string& Name,
                          TIpHtmlMultiLength& Result);
// The attribute or else Default, cut at each ",", each piece a multi-length.
void ParseHtmlMultiLengthList(const TIpHtmlTokenizer& Tok, const std::string& Name,
                              const std::string& Default, TIpHtmlMultiLengthList& Result,
                              const TIpHtmlPrintState* Print);
// FONT SIZE: "+n" and "-n" are relative, anything else absolute.
void ParseRelSize(const TIpHtmlTokenizer& Tok, TIpHtmlRelSize& Result);
// "#RRGGBB", "RRGGBB" or one of sixteen names, as a blue-green-red value; kHtmlNoColor for an
// empty or unknown value; "Invalid color constant:" for a "#" value of the wrong length.
TIpHtmlColor ColorFromString(const TIpHtmlTokenizer& Tok, const std::string& Value);
TIpHtmlColor ParseColor(const TIpHtmlTokenizer& Tok, const std::string& Name);

// ALIGN of text.
TIpHtmlAlign ParseAlignment(const TIpHtmlTokenizer& Tok);
// ALIGN of cells and row groups.
TIpHtmlAlign ParseCellAlign(const TIpHtmlTokenizer& Tok, TIpHtmlAlign Default);
// ALIGN of images and objects; Default is the text used when the attribute is absent.
TIpHtmlImageAlign ParseImageAlignment(const TIpHtmlTokenizer& Tok, const std::string& Default);
// ALIGN of captions and legends.
TIpHtmlVAlignment2 ParseVAlignment2(const TIpHtmlTokenizer& Tok);
// VALIGN of rows.
TIpHtmlVAlign ParseVAlignment(const TIpHtmlTokenizer& Tok);
// VALIGN of cells and row groups.
TIpHtmlVAlign3 ParseVAlignment3(const TIpHtmlTokenizer& Tok);
TIpHtmlOLStyle ParseOLStyle(const TIpHtmlTokenizer& Tok, TIpHtmlOLStyle Default);
TIpHtmlULType ParseULStyle(const TIpHtmlTokenizer& Tok, TIpHtmlULType Default);
TIpHtmlInputType ParseInputType(const TIpHtmlTokenizer& Tok);
TIpHtmlButtonType ParseButtonType(const TIpHtmlTokenizer& Tok);
TIpHtmlObjectValueType ParseObjectValueType(const TIpHtmlTokenizer& Tok);
TIpHtmlMapShape ParseShape(const TIpHtmlTokenizer& Tok);
TIpHtmlFormMethod ParseMethod(const TIpHtmlTokenizer& Tok);
TIpHtmlBreakClear ParseBRClear(const TIpHtmlTokenizer& Tok);
TIpHtmlDirection ParseDir(const TIpHtmlTokenizer& Tok);
TIpHtmlFrameProp ParseFrameProp(const TIpHtmlTokenizer& Tok, TIpHtmlFrameProp Default);
TIpHtmlRules ParseRules(const TIpHtmlTokenizer& Tok, TIpHtmlRules Default);
TIpHtmlFrameScrolling ParseFrameScrollingProp(const TIpHtmlTokenizer& Tok);
