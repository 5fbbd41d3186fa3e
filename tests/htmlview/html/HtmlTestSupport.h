#pragma once
// Helpers of the HTML tests: parse a text, and dump tokens and trees as text that a golden file
// or an expectation can hold.
#include <memory>
#include <string>

#include "htmlview/html/IpHtml.h"

// A document parsed from Text.
std::unique_ptr<TIpHtml> ParseHtml(const std::string& Text, bool FlagErrors = false);
// The message of the exception parsing Text with FlagErrors raises; empty when none.
std::string ParseError(const std::string& Text);

// Every token of Text, one per line: "A href=x.htm target=_top" or "text 'a b'". BodyTextDepth
// is held as given, so white text shows or is dropped as the parser would have it.
std::string DumpTokens(const std::string& Text, int BodyTextDepth = 1);

// The tree, one node per line, indented two blanks per level, with the properties that differ
// from a new node's.
std::string DumpTree(const TIpHtml& Document);

// Control characters as \n, \r, \t or \xNN.
std::string Printable(const std::string& Text);
