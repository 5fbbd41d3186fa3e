#pragma once
// The text of a multi-line edit on its way in and out: the program's Windows-1252 bytes with
// CR LF line ends, the document's Unicode paragraphs.
#include <QString>
#include <string>
#include <string_view>

// Every line end read in (CR LF, a lone LF, a lone CR) becomes one '\n'.
QString MemoTextOf(std::string_view Bytes);
// The document's paragraph and line separators (and '\n') become CR LF.
std::string MemoBytesOf(QString Raw);
// The program's text with every line end as CR LF (what the edit counts it as).
std::string WithCrLf(std::string_view Bytes);
