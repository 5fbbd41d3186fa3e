#include "components/store/XMLStoreDocument.h"

#include <algorithm>

#include "components/store/Limits.h"
#include "platform/forms/Component.h"

namespace {

const std::vector<std::string> kNewFile = {"<?xml version='1.0' encoding='us-ascii' ?>",
                                           "<!-- Kestro TO32XMLStore Data File -->", "<FORMS>",
                                           "</FORMS>"};
// Each level of the block is indented two blanks further than the one above it.
const std::string kIndentStep = "  ";
const char* const kCreateError = "Error creating tag entry";

bool IsBlank(char C) {
    return C == ' ' || C == '\t';
}

std::string Upper(std::string Text) {
    for (char& C : Text)
        if (C >= 'a' && C <= 'z') C = char(C - 'a' + 'A');
    return Text;
}

std::string LeadingBlanks(const std::string& Line) {
    size_t N = 0;
    while (N < Line.size() && IsBlank(Line[N])) ++N;
    return Line.substr(0, N);
}

// The tag's name: without the leading blanks, one leading "<", one trailing ">", every "/" and
// everything from the first blank on.
std::string StrippedName(const std::string& Line) {
    std::string Name = Line.substr(LeadingBlanks(Line).size());
    if (!Name.empty() && Name.front() == '<') Name.erase(0, 1);
    if (!Name.empty() && Name.back() == '>') Name.pop_back();
    std::erase(Name, '/');
    const auto Blank = std::find_if(Name.begin(), Name.end(), IsBlank);
    Name.erase(Blank, Name.end());
    return Name;
}

// The text between the first and the last double quote, else between the first and the last
// single quote; a value ending in a quote of its own is thus read back whole.
std::optional<std::string> QuotedValue(const std::string& Line) {
    for (char Quote : {'"', '\''}) {
        const size_t First = Line.find(Quote);
        if (First == std::string::npos) continue;
        const size_t Last = Line.rfind(Quote);
        return Line.substr(First + 1, Last - First - (Last > First ? 1 : 0));
    }
    return std::nullopt;
}

bool IsItemLine(const std::string& Line) {
    return Line.find("value=") != std::string::npos || Line.find("value =") != std::string::npos;
}

TElement ElementOf(const std::string& Line) {
    return {StrippedName(Line), LeadingBlanks(Line), QuotedValue(Line), false};
}

[[noreturn]] void RaiseFormatError(int32_t Code) {
    throw EXMLStoreError(LookupOvcString(Code), Code);
}

// A name must read back as itself from its tag line.
bool IsStorableName(const std::string& Name) {
    if (Name.empty()) return false;
    return Name.find_first_of(" \t\r\n<>/\"'") == std::string::npos;
}

std::vector<std::string> SplitPath(const std::string& Path) {
    std::vector<std::string> Names;
    size_t Start = 0;
    for (;;) {
        const size_t Dot = Path.find('.', Start);
        Names.push_back(Path.substr(Start, Dot - Start));
        if (Dot == std::string::npos) return Names;
        Start = Dot + 1;
    }
}

}  // namespace

void TXMLStoreDocument::Clear() {
    FLines.clear();
    FElements.clear();
    FFirstLine = FLastLine = 0;
    FCreated = false;
}

void TXMLStoreDocument::Load(std::vector<std::string> Lines) {
    Clear();
    FLines = std::move(Lines);
    if (!FindBlock()) {
        FLines.insert(FLines.begin(), kNewFile.begin(), kNewFile.end());
        FCreated = true;
        if (!FindBlock()) {
            Clear();
            RaiseFormatError(SCInvalidXMLFile);
        }
    }
    try {
        Parse();
    } catch (...) {
        Clear();
        throw;
    }
}

bool TXMLStoreDocument::FindBlock() {
    size_t First = 0;
    while (First < FLines.size() && Upper(FLines[First]).find("<FORMS>") == std::string::npos)
        ++First;
    if (First >= FLines.size()) return false;
    for (size_t Last = FLines.size() - 1; Last > First; --Last) {
        if (Upper(FLines[Last]).find("</FORMS>") == std::string::npos) continue;
        FFirstLine = First;
        FLastLine = Last;
        return true;
    }
    return false;
}

void TXMLStoreDocument::Parse() {
    TElement Root = ElementOf(FLines[FFirstLine]);
    Root.Value.reset();
    Root.HasClosing = true;
    FElements.push_back(std::move(Root));
    const std::optional<size_t> Closed = ParseLevel(FFirstLine, 0);
    if (!Closed || *Closed != FLastLine) RaiseFormatError(SCInvalidXMLFile);
}

// Reads the elements inside the branch opened at line Open; the line that closes it, or none
// when the block ends first.
std::optional<size_t> TXMLStoreDocument::ParseLevel(size_t Open, int Depth) {
    for (size_t At = Open + 1; At <= FLastLine; ++At) {
        const std::string& Line = FLines[At];
        if (IsItemLine(Line)) {
            FElements.push_back(ElementOf(Line));
        } else if (Line.find("</") != std::string::npos) {
            FElements.push_back({"/" + StrippedName(Line), LeadingBlanks(Line), std::nullopt});
            return At;
        } else {
            if (Depth + 1 >= StoreLimits::kMaxDepth) RaiseFormatError(SCInvalidXMLFile);
            TElement Branch = ElementOf(Line);
            Branch.HasClosing = true;
            FElements.push_back(std::move(Branch));
            const std::optional<size_t> Closed = ParseLevel(At, Depth + 1);
            if (!Closed) RaiseFormatError(SCBadTerminatedElement);
            At = *Closed;
        }
    }
    return std::nullopt;
}

std::vector<std::string> TXMLStoreDocument::Save() const {
    if (FElements.empty()) return FLines;
    // The block's own first and last lines stay as they were read: written from their stripped
    // names, a line such as "x</FORMS>" would no longer be found as the block's end.
    std::vector<std::string> Lines(FLines.begin(), FLines.begin() + std::ptrdiff_t(FFirstLine) + 1);
    for (size_t N = 1; N + 1 < FElements.size(); ++N) Lines.push_back(LineOf(FElements[N]));
    Lines.insert(Lines.end(), FLines.begin() + std::ptrdiff_t(FLastLine), FLines.end());
    return Lines;
}

std::string TXMLStoreDocument::LineOf(const TElement& Element) const {
    if (Element.IsClosing()) return Element.Indent + "</" + Element.Name.substr(1) + ">";
    if (Element.HasClosing) return Element.Indent + "<" + Element.Name + ">";
    return Element.Indent + "<" + Element.Name + " value=\"" + Element.Value.value_or("") + "\"/>";
}

std::optional<size_t> TXMLStoreDocument::FindName(const std::string& Name, size_t Start) const {
    if (Start >= FElements.size()) return std::nullopt;
    const std::string StartClosing = "/" + FElements[Start].Name;
    for (size_t At = Start; At < FElements.size(); ++At) {
        if (At > Start && SameText(FElements[At].Name, StartClosing)) return std::nullopt;
        if (SameText(FElements[At].Name, Name)) return At;
    }
    return std::nullopt;
}

std::optional<size_t> TXMLStoreDocument::Find(const std::string& Path, size_t Start) const {
    std::optional<size_t> At = Start;
    for (const std::string& Name : SplitPath(Path)) {
        At = FindName(Name, *At);
        if (!At) break;
    }
    return At;
}

// Branches pair with closing elements like brackets, so the branch's own closing element is the
// first one at its depth.
std::optional<size_t> TXMLStoreDocument::ClosingOf(size_t Branch) const {
    if (Branch >= FElements.size() || !FElements[Branch].HasClosing) return std::nullopt;
    int Depth = 0;
    for (size_t At = Branch + 1; At < FElements.size(); ++At) {
        if (FElements[At].HasClosing) {
            ++Depth;
        } else if (FElements[At].IsClosing()) {
            if (Depth == 0) return At;
            --Depth;
        }
    }
    return std::nullopt;
}

std::string TXMLStoreDocument::Read(const std::string& Section, const std::string& Item,
                                    const std::string& Default) const {
    if (FElements.empty()) return Default;
    const std::optional<size_t> InSection = Find(Section, 0);
    if (!InSection) return Default;
    const std::optional<size_t> Found = Find(Item, *InSection);
    if (!Found) return Default;
    return FElements[*Found].Value.value_or("");
}

void TXMLStoreDocument::InsertBranch(size_t At, const std::string& Name,
                                     const std::string& Indent) {
    const auto Pos = FElements.begin() + std::ptrdiff_t(At);
    FElements.insert(Pos, {{Name, Indent, std::nullopt, true}, {"/" + Name, Indent, std::nullopt}});
}

size_t TXMLStoreDocument::AddSection(const std::string& Section) {
    if (const std::optional<size_t> Found = Find(Section, 0)) return *Found;
    // Before the block's own closing element.
    const size_t At = FElements.size() - 1;
    InsertBranch(At, Section, kIndentStep);
    const std::optional<size_t> Found = Find(Section, 0);
    if (!Found) {
        // A name the path lookup splits; leave nothing behind that could not be found again.
        FElements.erase(FElements.begin() + std::ptrdiff_t(At),
                        FElements.begin() + std::ptrdiff_t(At) + 2);
        throw EXMLStoreError(kCreateError, 0);
    }
    return *Found;
}

void TXMLStoreDocument::Write(const std::string& Section, const std::string& Item,
                              const std::string& Value) {
    if (FElements.empty()) throw EXMLStoreError(kCreateError, 0);
    const std::vector<std::string> Names = SplitPath(Item);
    bool Storable = IsStorableName(Section) && Value.find_first_of("\r\n") == std::string::npos;
    for (const std::string& Name : Names) Storable = Storable && IsStorableName(Name);
    if (!Storable) throw EXMLStoreError(kCreateError, 0);

    size_t Current = AddSection(Section);
    for (size_t N = 0; N < Names.size(); ++N) {
        const bool Last = N + 1 == Names.size();
        const std::optional<size_t> Found = FindName(Names[N], Current);
        if (Found && !Last) {
            Current = *Found;
            continue;
        }
        if (Found) {
            TElement& Element = FElements[*Found];
            if (!Element.HasClosing) {
                Element.Value = Value;
            } else if (ClosingOf(*Found) == *Found + 1) {
                FElements.erase(FElements.begin() + std::ptrdiff_t(*Found) + 1);
                Element.HasClosing = false;
                Element.Value = Value;
            }
            break;
        }
        // Only a branch can take something new.
        const std::optional<size_t> Closing = ClosingOf(Current);
        if (!Closing) throw EXMLStoreError(kCreateError, 0);
        const std::string Indent = FElements[Current].Indent + kIndentStep;
        if (!Last || Value.empty()) {
            InsertBranch(*Closing, Names[N], Indent);
            Current = *Closing;
            if (Last) break;
        } else {
            FElements.insert(FElements.begin() + std::ptrdiff_t(*Closing),
                             {Names[N], Indent, Value, false});
        }
    }
}

void TXMLStoreDocument::EraseSection(const std::string& Section) {
    if (FElements.empty()) return;
    const std::optional<size_t> Found = Find(Section, 0);
    if (!Found || *Found == 0) return;
    const std::optional<size_t> Closing = ClosingOf(*Found);
    if (!Closing) return;
    FElements.erase(FElements.begin() + std::ptrdiff_t(*Found),
                    FElements.begin() + std::ptrdiff_t(*Closing) + 1);
}
