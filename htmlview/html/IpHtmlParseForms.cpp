// The form-control parsers: a run of controls, SELECT with its options, and the controls that
// only come up inside a run (LABEL, FIELDSET, LEGEND).
#include "htmlview/html/IpHtml.h"
#include "htmlview/html/IpHtmlAttributes.h"
#include "htmlview/html/IpHtmlParser.h"

// The run ends at any token that is not a control (an end tag of the range included, which the
// body dispatcher then skips).
void TIpHtmlParser::ParseFormFields(TIpHtmlNode* Parent, const TSet& EndSet) {
    while (Cur() >= ttINPUT && Cur() <= ttLEGEND && !EndSet.Has(Cur())) {
        switch (Cur()) {
            case ttINPUT:
                ParseInput(Parent);
                break;
            case ttBUTTON:
                ParseButton(Parent, EndSet);
                break;
            case ttSELECT:
                ParseSelect(Parent, EndSet);
                break;
            case ttTEXTAREA:
                ParseTextArea(Parent);
                break;
            case ttLABEL:
                ParseLabel(Parent);
                break;
            case ttFIELDSET:
                ParseFieldSet(Parent, EndSet);
                break;
            case ttLEGEND:
                ParseLegend(Parent);
                break;
            default:
                return;
        }
    }
}

void TIpHtmlParser::ParseInput(TIpHtmlNode* Parent) {
    auto* Input = new TIpHtmlNodeINPUT(Parent);
    Input->ParseBaseProps(FOwner);
    Input->InputType = ParseInputType(FTok);
    Input->Name = FTok.FindAttribute("NAME");
    Input->Value = FTok.FindAttribute("VALUE");
    Input->Checked = ParseBoolean(FTok, "CHECKED");
    Input->Size = ParseInteger(FTok, "SIZE", -1);
    Input->MaxLength = ParseInteger(FTok, "MAXLENGTH", -1);
    Input->Src = FTok.FindAttribute("SRC");
    Input->SetAlign(ParseImageAlignment(FTok, "BOTTOM"));
    Input->Disabled = ParseBoolean(FTok, "DISABLED");
    Input->ReadOnly = ParseBoolean(FTok, "READONLY");
    Input->Alt = FTok.FindAttribute("ALT");
    Input->TabIndex = ParseInteger(FTok, "TABINDEX", -1);
    Next();
}

void TIpHtmlParser::ParseButton(TIpHtmlNode* Parent, const TSet& EndSet) {
    if (AtNestingLimit()) return;
    auto* Button = new TIpHtmlNodeBUTTON(Parent);
    Button->ParseBaseProps(FOwner);
    Button->ButtonType = ParseButtonType(FTok);
    Button->Name = FTok.FindAttribute("NAME");
    Button->Value = FTok.FindAttribute("VALUE");
    Button->Disabled = ParseBoolean(FTok, "DISABLED");
    Button->TabIndex = ParseInteger(FTok, "TABINDEX", -1);
    Next();
    ParseBodyText(Button, EndSet + TSet{ttBUTTONEnd});
    Expect(ttBUTTONEnd);
}

void TIpHtmlParser::ParseSelect(TIpHtmlNode* Parent, const TSet& EndSet) {
    auto* Select = new TIpHtmlNodeSELECT(Parent);
    Select->Name = FTok.FindAttribute("NAME");
    Select->Size = ParseInteger(FTok, "SIZE", -1);
    Select->ParseBaseProps(FOwner);
    Select->Multiple = ParseBoolean(FTok, "MULTIPLE");
    Select->Disabled = ParseBoolean(FTok, "DISABLED");
    Select->TabIndex = ParseInteger(FTok, "TABINDEX", -1);
    FTok.SkipWhiteText();
    while (Cur() == ttOPTGROUP || Cur() == ttOPTION) {
        if (Cur() == ttOPTION) {
            ParseOption(Select, EndSet);
            continue;
        }
        auto* Group = new TIpHtmlNodeOPTGROUP(Select);
        Group->ParseBaseProps(FOwner);
        Group->Disabled = ParseBoolean(FTok, "DISABLED");
        Group->GroupLabel = FTok.FindAttribute("LABEL");
        FTok.SkipWhiteText();
        while (Cur() == ttOPTION) ParseOption(Group, EndSet);
        if (Cur() == ttOPTGROUPEnd)
            Next();
        else if (!TSet{ttOPTGROUP, ttOPTION, ttSELECTEnd}.Has(Cur()) && FTok.FlagErrors)
            FTok.ReportExpectedToken(ttOPTGROUPEnd);
    }
    if (Cur() == ttSELECTEnd) FTok.SkipWhiteText();
}

void TIpHtmlParser::ParseOption(TIpHtmlNode* Parent, const TSet& EndSet) {
    auto* Option = new TIpHtmlNodeOPTION(Parent);
    Option->ParseBaseProps(FOwner);
    Option->Selected = ParseBoolean(FTok, "SELECTED");
    Option->Value = FTok.FindAttribute("VALUE");
    Option->Disabled = ParseBoolean(FTok, "DISABLED");
    Option->OptionLabel = FTok.FindAttribute("LABEL");
    FTok.SkipWhiteText();
    CollectText(Option, EndSet + TSet{ttSELECTEnd, ttOPTION, ttOPTIONEnd});
    if (Cur() == ttOPTIONEnd) FTok.SkipWhiteText();
}

void TIpHtmlParser::ParseTextArea(TIpHtmlNode* Parent) {
    auto* Area = new TIpHtmlNodeTEXTAREA(Parent);
    Area->Name = FTok.FindAttribute("NAME");
    Area->Rows = ParseInteger(FTok, "ROWS", 20);
    Area->Cols = ParseInteger(FTok, "COLS", 20);
    Area->ParseBaseProps(FOwner);
    Area->Disabled = ParseBoolean(FTok, "DISABLED");
    Area->ReadOnly = ParseBoolean(FTok, "READONLY");
    Area->TabIndex = ParseInteger(FTok, "TABINDEX", -1);
    Next();
    CollectText(Area, TSet{ttTEXTAREAEnd});
    Expect(ttTEXTAREAEnd);
}

void TIpHtmlParser::ParseLabel(TIpHtmlNode* Parent) {
    if (AtNestingLimit()) return;
    auto* Label = new TIpHtmlNodeLABEL(Parent);
    Label->ParseBaseProps(FOwner);
    Label->LabelFor = FTok.FindAttribute("LABEL");
    ParseFixedContent(Label, ttLABELEnd);
}

void TIpHtmlParser::ParseFieldSet(TIpHtmlNode* Parent, const TSet& EndSet) {
    if (AtNestingLimit()) return;
    auto* FieldSet = new TIpHtmlNodeFIELDSET(Parent);
    FieldSet->ParseBaseProps(FOwner);
    Next();
    {
        TIpHtmlNesting Level(FDepth);
        ParseFormFields(FieldSet, EndSet + TSet{ttFIELDSETEnd});
    }
    Expect(ttFIELDSETEnd);
}

void TIpHtmlParser::ParseLegend(TIpHtmlNode* Parent) {
    if (AtNestingLimit()) return;
    auto* Legend = new TIpHtmlNodeLEGEND(Parent);
    Legend->ParseBaseProps(FOwner);
    ParseFixedContent(Legend, ttLEGENDEnd);
}
