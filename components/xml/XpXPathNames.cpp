#include "components/xml/XpXPathNames.h"

#include <cstdint>
#include <memory>
#include <utility>

namespace {

struct TToken {
    const char16_t* Name;
    int Token;
};

constexpr TToken kFunctions[] = {
    {u"boolean", 201},
    {u"ceiling", 205},
    {u"concat", 222},
    {u"contains", 209},
    {u"count", 80},
    {u"current", 82},
    {u"document", 193},
    {u"false", 73},
    {u"floor", 204},
    {u"format-number", 216},
    {u"function-available", 217},
    {u"generate-id", 200},
    {u"id", 71},
    {u"key", 192},
    {u"lang", 202},
    {u"last", 190},
    {u"local-name", 195},
    {u"name", 197},
    {u"namespace-uri", 198},
    {u"element-available", 199},
    {u"normalize-space", 214},
    {u"not", 43},
    {u"number", 220},
    {u"position", 191},
    {u"round", 206},
    {u"starts-with", 208},
    {u"string", 207},
    {u"string-length", 210},
    {u"substring", 211},
    {u"substring-after", 213},
    {u"substring-before", 212},
    {u"sum", 221},
    {u"system-property", 223},
    {u"translate", 215},
    {u"true", 72},
    {u"unparsed-entity-uri", 189},
};

constexpr TToken kAxes[] = {
    {u"ancestor::", 170},  {u"ancestor-or-self::", 171},  {u"attribute::", 172},
    {u"child::", 173},     {u"descendant::", 174},        {u"descendant-or-self::", 175},
    {u"following::", 176}, {u"following-sibling::", 177}, {u"namespace::", 178},
    {u"parent::", 179},    {u"preceding::", 180},         {u"preceding-sibling::", 181},
    {u"self::", 182},
};

template <size_t N>
TXpStrHash* TableOf(const TToken (&Tokens)[N]) {
    auto* Table = new TXpStrHash(0);
    for (const TToken& T : Tokens) Table->Add(T.Name, reinterpret_cast<void*>(intptr_t(T.Token)));
    return Table;
}

}  // namespace

const TXpStrHash& XpFunctionNames() {
    static const std::unique_ptr<TXpStrHash> Table(TableOf(kFunctions));
    return *Table;
}

const TXpStrHash& XpAxisNames() {
    static const std::unique_ptr<TXpStrHash> Table(TableOf(kAxes));
    return *Table;
}

int XpTokenOf(const TXpStrHash& Table, const std::u16string& Name) {
    const TXpStrHashNode* Node = Table.Find(Name);
    return Node ? int(reinterpret_cast<intptr_t>(Node->Value)) : 0;
}
