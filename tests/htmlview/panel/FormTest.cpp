// Forms: which controls take part in a submission, the URL query and the multipart body byte
// for byte, the unsupported encoding, file parts only from file inputs, the window controls the
// panel makes for the nodes, and the reset.
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "platform/shell/Dialogs.h"
#include "platform/widgets/Buttons.h"
#include "platform/widgets/ComboBoxes.h"
#include "platform/widgets/ListBoxes.h"
#include "platform/widgets/StdCtrlsMemo.h"
#include "tests/htmlview/panel/PanelTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

// What a document's first form submitted: "GET url", or "POST url" with its body and type.
struct TSubmission {
    std::string Request;
    std::string ContentType;
    std::string Body;
};

template <class T>
T* FirstOf(TIpHtml& Doc) {
    T* Found = nullptr;
    Doc.HtmlNode()->ForEachNode([&](TIpHtmlNode* Node) {
        if (!Found) Found = dynamic_cast<T*>(Node);
    });
    return Found;
}

// Submits the first form of a document that no viewer shows: the controls submit what their
// markup gives.
TSubmission Submit(const std::string& Html) {
    TIpHtml Doc;
    TSubmission Out;
    Doc.OnGet = [&](const std::string& URL) { Out.Request = "GET " + URL; };
    Doc.OnPost = [&](const std::string& URL, std::unique_ptr<TIpFormDataEntity> Data) {
        Out.Request = "POST " + URL;
        Out.ContentType = Data->ContentType + "/" + Data->ContentSubtype;
        Out.Body = TRecordingProvider::EntityBytes(*Data);
    };
    TStringStream Source(Html);
    Doc.Parse(Source);
    FirstOf<TIpHtmlNodeFORM>(Doc)->SubmitForm();
    return Out;
}

TEST(HtmlForms, TheQueryEncodesBlanksSeparatorsAndControlCharacters) {
    const struct {
        std::string Value;
        std::string Query;
    } Cases[] = {
        {"a b&c", "q=a+b%26c"},
        {"x=y+z%", "q=x%3Dy%2Bz%25"},
        // Everything else stays as it is: bytes above 127 and the URL's own separators too.
        {"\xE4\xF6#?/;", "q=\xE4\xF6#?/;"},
        // Each rule holds for every character it names, wherever it stands and however often.
        {"&=+%", "q=%26%3D%2B%25"},
        {"%%&&", "q=%25%25%26%26"},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(
            Submit("<form action=find><input name=q value=\"" + Case.Value + "\"></form>").Request,
            "GET find?" + Case.Query)
            << Case.Value;
    EXPECT_EQ(Submit("<form action=find><input name=\"a b\" value=1></form>").Request,
              "GET find?a+b=1");
    // A name is encoded as a value is.
    EXPECT_EQ(Submit("<form action=find><input name=\"a=b&c\" value=\"%\"></form>").Request,
              "GET find?a%3Db%26c=%25");
    // Control characters (markup turns them into blanks; a program may set them).
    TIpHtml Doc;
    std::string Got;
    Doc.OnGet = [&](const std::string& URL) { Got = URL; };
    TStringStream Source("<form action=find><input name=q></form>");
    Doc.Parse(Source);
    FirstOf<TIpHtmlNodeINPUT>(Doc)->Value = "tab\there\r\n\x7F";
    FirstOf<TIpHtmlNodeINPUT>(Doc)->SubmitForm();
    EXPECT_EQ(Got, "find?q=tab%09here%0D%0A\x7F");
    // Blanks each become "+"; the ends of the control characters and the first character that
    // is none.
    const struct {
        std::string Value;
        std::string Query;
    } Set[] = {
        {" a  ", "find?q=+a++"},
        {"\x01\x1F!", "find?q=%01%1F!"},
        {"\x1B[", "find?q=%1B["},
    };
    for (const auto& Case : Set) {
        FirstOf<TIpHtmlNodeINPUT>(Doc)->Value = Case.Value;
        FirstOf<TIpHtmlNodeINPUT>(Doc)->SubmitForm();
        EXPECT_EQ(Got, Case.Query);
    }
}

// Unchecked boxes, empty fields, hidden fields, disabled controls and every button give nothing.
TEST(HtmlForms, OnlySuccessfulControlsTakePart) {
    const struct {
        std::string Controls;
        std::string Query;
    } Cases[] = {
        {"<input name=t value=x><input name=empty><input name=off value=y disabled>", "t=x"},
        {"<input type=checkbox name=c value=1><input type=checkbox name=d value=2 checked>", "d=2"},
        {"<input type=radio name=r value=a><input type=radio name=r value=b checked>", "r=b"},
        {"<input type=checkbox name=novalue checked>", ""},
        {"<input type=hidden name=h value=x><input type=submit name=s value=Go>"
         "<input type=reset name=r value=R><input type=button name=b value=B>"
         "<input type=image name=i src=x.gif><button name=bt value=v>B</button>",
         ""},
        {"<select name=s><option selected>one<option>two<option selected> three </select>",
         "s=three"},
        {"<select name=s multiple><option selected>one<option>two<option selected>three"
         "</select>",
         "s=one&s=three"},
        {"<select name=s><option>one</select><select name=off disabled><option selected>x"
         "</select>",
         ""},
        {"<textarea name=t>hello</textarea><textarea name=blank>   </textarea>", "t=hello%0D%0A"},
        // A text area takes part whatever its name says.
        {"<textarea>no name</textarea>", "=no+name%0D%0A"},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(Submit("<form action=f>" + Case.Controls + "</form>").Request,
                  "GET f?" + Case.Query)
            << Case.Controls;
}

TEST(HtmlForms, AnUnsupportedEncodingRaisesAndSubmitsNothing) {
    TSubmission Out;
    EXPECT_EQ(
        ErrorOf<EIpHtmlException>([&] {
            Out = Submit("<form action=f method=post enctype=text/plain><input name=a value=1>");
        }),
        "text/plain encoding not supported");
    EXPECT_EQ(Out.Request, "");
}

TEST(HtmlForms, PostCarriesTheQueryOrTheMultipartBody) {
    TSubmission Out = Submit(
        "<form action=post.cgi method=post><input name=q value=\"a b&c\">"
        "<input name=n value=2></form>");
    EXPECT_EQ(Out.Request, "POST post.cgi");
    EXPECT_EQ(Out.ContentType, "application/x-www-form-urlencoded");
    EXPECT_EQ(Out.Body, "q=a+b%26c&n=2\r\n");

    // A text field whose value names a local file sends that text, never the file.
    Out = Submit(
        "<form action=up method=post enctype=MULTIPART/FORM-DATA>"
        "<input name=q value=\"a b\"><input name=steal value=\"file:///etc/passwd\">"
        "</form>");
    EXPECT_EQ(Out.Request, "POST up");
    EXPECT_EQ(Out.ContentType, "multipart/form-data");
    EXPECT_EQ(Out.Body,
              "--BOUNDARY0\r\n"
              "Content-Type: text/plain; name=\"q\"\r\n"
              "Content-Disposition: form-data; name=q\r\n"
              "\r\n"
              "a b\r\n"
              "--BOUNDARY0\r\n"
              "Content-Type: text/plain; name=\"steal\"\r\n"
              "Content-Disposition: form-data; name=steal\r\n"
              "\r\n"
              "file:///etc/passwd\r\n"
              "--BOUNDARY0--\r\n");
    // A GET has no room for a multipart body: the values go in the query.
    EXPECT_EQ(Submit("<form action=g enctype=multipart/form-data><input name=q value=1>").Request,
              "GET g?q=1");
}

// --- with the panel's controls ---

class PanelForms : public TPanelFixture {
  protected:
    void SetUp() override {
        TPanelFixture::SetUp();
        Dialogs = new TScriptedDialogService;
        Previous = SetDialogService(std::unique_ptr<TDialogService>(Dialogs));
    }
    void TearDown() override {
        SetDialogService(std::move(Previous));
        TPanelFixture::TearDown();
    }
    template <class T>
    T* ControlOf(int Index) {
        auto* Node = dynamic_cast<TIpHtmlNodeControl*>(Doc().Controls().at(size_t(Index)));
        return Node ? dynamic_cast<T*>(Node->Control()) : nullptr;
    }
    TScriptedDialogService* Dialogs = nullptr;
    std::unique_ptr<TDialogService> Previous;
};

TEST_F(PanelForms, TheNodesShowControlsInTheStateTheirMarkupGives) {
    Provider->Add("form",
                  "<form action=f><input name=t value=Hello maxlength=10>"
                  "<input type=password name=p value=secret>"
                  "<input type=checkbox name=c checked><input type=radio name=r disabled>"
                  "<select name=s><option>one<option selected>two</select>"
                  "<select name=m multiple size=3><option selected>a<option>b<option selected>c"
                  "</select><textarea name=ta rows=2 cols=10>some text</textarea>"
                  "<input type=submit></form>");
    std::vector<TIpHtmlNode*> Created, Clicked;
    Panel->OnControlCreate = [&](TIpHtmlCustomPanel* Sender, TIpHtmlFrame* Frame, TIpHtml* Html,
                                 TIpHtmlNode* Node) {
        EXPECT_EQ(Sender, Panel);
        EXPECT_EQ(Frame, Panel->MasterFrame());
        EXPECT_EQ(Html, &Frame->Html());
        Created.push_back(Node);
    };
    Panel->OnControlClick = [&](TIpHtmlCustomPanel*, TIpHtmlFrame*, TIpHtml*, TIpHtmlNode* Node) {
        Clicked.push_back(Node);
    };
    Open("form");
    auto* Text = ControlOf<TEdit>(0);
    EXPECT_EQ(Created.size(), 8u);
    EXPECT_EQ(Created.front(), Doc().Controls()[0]);
    ASSERT_NE(Text, nullptr);
    EXPECT_EQ(Text->Text(), "Hello");
    EXPECT_EQ(Text->MaxLength(), 10);
    EXPECT_TRUE(Text->Visible());
    EXPECT_EQ(ControlOf<TEdit>(1)->PasswordChar(), '*');
    EXPECT_TRUE(ControlOf<TCheckBox>(2)->Checked());
    EXPECT_FALSE(ControlOf<TRadioButton>(3)->Enabled());
    auto* Combo = ControlOf<TComboBox>(4);
    ASSERT_NE(Combo, nullptr);
    EXPECT_EQ(Combo->Items()->Count(), 2);
    EXPECT_EQ(Combo->ItemIndex(), 1);
    auto* List = ControlOf<TListBox>(5);
    ASSERT_NE(List, nullptr);
    EXPECT_TRUE(List->Selected(0));
    EXPECT_FALSE(List->Selected(1));
    EXPECT_TRUE(List->Selected(2));
    EXPECT_EQ(ControlOf<TMemo>(6)->Lines()->Get(0), "some text");
    EXPECT_EQ(ControlOf<TButton>(7)->Caption(), "Submit");
    // A changed value is the node's, and the panel hears of the change.
    Text->SetText("Changed");
    EXPECT_EQ(dynamic_cast<TIpHtmlNodeINPUT*>(Doc().Controls()[0])->Value, "Changed");
    ControlOf<TCheckBox>(2)->SetChecked(false);
    EXPECT_EQ(Clicked, (std::vector<TIpHtmlNode*>{Doc().Controls()[0], Doc().Controls()[2]}));
    // Each sits where the layout put its node.
    auto* Node = dynamic_cast<TIpHtmlNodeControl*>(Doc().Controls()[0]);
    const TIpHtmlRect& At = Node->Element()->WordRect;
    EXPECT_EQ(Text->Left(), At.Left - Inner().ViewOrigin().X);
    EXPECT_EQ(Text->Top(), At.Top - Inner().ViewOrigin().Y);
    EXPECT_EQ(Text->Width(), At.Right - At.Left);
    (void)Picture("form-controls");
}

// An image input is a glyph button of its picture that submits its form.
TEST_F(PanelForms, AnImageInputIsAGlyphButtonOfItsPicture) {
    Provider->Pictures["cid:go"] = SolidPicture(20, 10, qRgb(0, 160, 0));
    Provider->Pictures["cid:go"]->Graphic()->SetTransparent(true);
    Provider->Add("http://mail/form",
                  "<form action=go><input name=q value=1><input type=image src=\"cid:go\" "
                  "alt=Send></form>");
    Provider->Add("http://mail/go?q=1", "<p>gone");
    Open("http://mail/form");
    auto* Button = ControlOf<TBitBtn>(1);
    ASSERT_NE(Button, nullptr);
    EXPECT_EQ(Button->Glyph()->Width(), 20);
    EXPECT_EQ(Button->Glyph()->Height(), 10);
    EXPECT_EQ(Button->Width(), 24);
    EXPECT_EQ(Button->Height(), 14);
    EXPECT_EQ(Button->Hint(), "Send");
    // The picture the glyph was drawn from keeps its transparency for the images that show it.
    EXPECT_TRUE(Provider->Pictures["cid:go"]->Graphic()->Transparent());
    Button->Click();
    GuiTest::Drain();
    EXPECT_EQ(Panel->MasterFrame()->CurURL(), "http://mail/go?q=1");
}

// The submit button's click: what the user changed goes, through a delayed load of the frame.
TEST_F(PanelForms, ASubmitButtonLoadsTheQueryOfWhatTheUserEntered) {
    Provider->Add("http://mail/form",
                  "<form action=search><input name=q value=old>"
                  "<input type=checkbox name=c value=on><input type=submit value=Go></form>");
    const std::string Query = "http://mail/search?q=a+b%26c&c=on";
    Provider->Add(Query, "<p>found");
    Open("http://mail/form");
    ControlOf<TEdit>(0)->SetText("a b&c");
    ControlOf<TCheckBox>(1)->SetChecked(true);
    ControlOf<TButton>(2)->Click();
    EXPECT_TRUE(Provider->CallsOf("GetHtml " + Query).empty());  // not yet
    GuiTest::Drain();
    EXPECT_EQ(Provider->CallsOf("GetHtml " + Query).size(), 1u);
    EXPECT_EQ(Panel->MasterFrame()->CurURL(), Query);
}

// Radio buttons make one question per form and NAME: answering one leaves the others alone,
// the submission carries an answer to each, and a reset brings back every question's default.
TEST_F(PanelForms, RadioQuestionsAreAnsweredEachOnItsOwn) {
    Provider->Add(
        "http://mail/form",
        "<form action=poll><input type=radio name=day value=mo>"
        "<input type=radio name=day value=tu>"
        "<input type=radio name=fmt value=text><input type=radio name=fmt value=html checked>"
        "<input type=submit></form>"
        "<form action=other><input type=radio name=day value=we checked></form>");
    const std::string Query = "http://mail/poll?day=tu&fmt=text";
    Provider->Add(Query, "<p>thanks");
    Open("http://mail/form");
    const auto Radio = [&](int Index) { return ControlOf<TRadioButton>(Index); };
    const auto States = [&] {
        std::string Out;
        for (int I : {0, 1, 2, 3, 5}) Out += Radio(I)->Checked() ? '1' : '0';
        return Out;
    };
    ASSERT_EQ(States(), "00011");
    Radio(1)->SetChecked(true);
    EXPECT_EQ(States(), "01011");  // the format question and the other form keep theirs
    Radio(2)->SetChecked(true);
    EXPECT_EQ(States(), "01101");
    Radio(0)->SetChecked(true);
    Radio(1)->SetChecked(true);
    EXPECT_EQ(States(), "01101");  // within a question, one answer
    dynamic_cast<TIpHtmlNodeINPUT*>(Doc().Controls()[0])->ResetForm();
    EXPECT_EQ(States(), "00011");
    Radio(1)->SetChecked(true);
    Radio(2)->SetChecked(true);
    ControlOf<TButton>(4)->Click();
    GuiTest::Drain();
    EXPECT_EQ(Panel->MasterFrame()->CurURL(), Query);
}

// A reset brings back what the markup said, not what the user typed last.
TEST_F(PanelForms, ResetRestoresTheMarkupsValues) {
    Provider->Add("form",
                  "<form action=f><input name=q value=start><input type=checkbox name=c checked>"
                  "<select name=s><option selected>one<option>two</select>"
                  "<input type=reset></form>");
    Open("form");
    ControlOf<TEdit>(0)->SetText("typed");
    ControlOf<TCheckBox>(1)->SetChecked(false);
    ControlOf<TComboBox>(2)->SetItemIndex(1);
    EXPECT_EQ(dynamic_cast<TIpHtmlNodeINPUT*>(Doc().Controls()[0])->Value, "typed");
    ControlOf<TButton>(3)->Click();
    EXPECT_EQ(ControlOf<TEdit>(0)->Text(), "start");
    EXPECT_TRUE(ControlOf<TCheckBox>(1)->Checked());
    EXPECT_EQ(ControlOf<TComboBox>(2)->ItemIndex(), 0);
}

// Only a file input sends a file: the one the user chose with its button.
TEST_F(PanelForms, AFileInputSendsTheChosenFileAsAFilePart) {
    const std::string Path = testing::TempDir() + "upload-" + std::to_string(getpid()) + ".txt";
    WriteFile(Path, "line one\r\nline two\r\n");
    Provider->Add("http://mail/form",
                  "<form action=up method=post enctype=multipart/form-data accept=text>"
                  "<input name=note value=hi><input type=file name=doc value=\"/etc/passwd\">"
                  "<input type=submit></form>");
    Provider->Add("http://mail/up", "<p>sent");
    const auto FileInput = [&] { return dynamic_cast<TIpHtmlNodeINPUT*>(Doc().Controls()[1]); };
    const auto BrowseButton = [&]() -> TButton* {
        auto* Box = dynamic_cast<TWinControl*>(FileInput()->Control());
        for (int I = 0; I < Box->ControlCount(); ++I)
            if (auto* Button = dynamic_cast<TButton*>(Box->Controls(I))) return Button;
        return nullptr;
    };
    Open("http://mail/form");
    ASSERT_NE(FileInput(), nullptr);
    EXPECT_EQ(FileInput()->FileName(), "");  // the markup's value is never taken
    ASSERT_NE(BrowseButton(), nullptr);
    EXPECT_EQ(BrowseButton()->Caption(), "Browse...");
    // A name that is no plain file is refused.
    Dialogs->QueueFile({true, {"/dev/zero"}, 1});
    BrowseButton()->Click();
    EXPECT_EQ(ErrorOf<EIpHtmlException>([&] { FileInput()->SubmitForm(); }),
              "Cannot send /dev/zero: it is no file");

    Dialogs->QueueFile({true, {Path}, 1});
    BrowseButton()->Click();
    EXPECT_EQ(FileInput()->FileName(), Path);
    ControlOf<TButton>(2)->Click();
    GuiTest::Drain();
    ASSERT_EQ(Provider->PostedBodies.size(), 1u);
    const std::string Name = std::filesystem::path(Path).filename().string();
    EXPECT_EQ(Provider->PostedBodies[0],
              "--BOUNDARY0\r\n"
              "Content-Type: text/plain; name=\"note\"\r\n"
              "Content-Disposition: form-data; name=note\r\n"
              "\r\n"
              "hi\r\n"
              "--BOUNDARY0\r\n"
              "Content-Type: multipart/mixed; boundary=\"BOUNDARY1\"; name=\"files\"\r\n"
              "Content-Disposition: form-data; name=files\r\n"
              "\r\n"
              "--BOUNDARY1\r\n"
              "Content-Type: text/plain\r\n"
              "Content-Transfer-Encoding: binary\r\n"
              "Content-Disposition: attachment; filename=" +
                  Name +
                  "; size=20\r\n"
                  "\r\n"
                  "line one\r\n"
                  "line two\r\n"
                  "--BOUNDARY1--\r\n"
                  "--BOUNDARY0--\r\n");
    std::remove(Path.c_str());
}

}  // namespace
