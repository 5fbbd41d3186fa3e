#pragma once
// The XPath function and axis names and their token numbers, in two hash tables built once.
#include <string>

#include "components/xml/XpContainers.h"

const TXpStrHash& XpFunctionNames();
const TXpStrHash& XpAxisNames();
// The token number of the name in the table; 0 when it is not there.
int XpTokenOf(const TXpStrHash& Table, const std::u16string& Name);
