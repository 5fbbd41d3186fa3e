// Form submission: what the successful controls of a form give, encoded as a URL query or as
// multipart form data, handed to the document's GET or POST event; and the form's reset.
#include <filesystem>

#include "htmlview/html/IpHtml.h"
#include "netlib/base/IpBase.h"
#include "netlib/mime/MimeMessage.h"
#include "platform/forms/Component.h"

namespace {

constexpr const char* kUrlEncoded = "application/x-www-form-urlencoded";
constexpr const char* kMultipart = "multipart/form-data";
constexpr const char* kFilePrefix = "file://";

// A blank becomes "+"; control characters and the characters that separate the query's parts
// ("%", "&", "+", "=") become "%" and two upper-case hexadecimal digits; everything else, bytes
// above 127 too, stays as it is.
std::string EncodeQueryText(const std::string& Text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string Out;
    Out.reserve(Text.size());
    for (const char C : Text) {
        const auto Code = uint8_t(C);
        if (C == ' ') {
            Out += '+';
        } else if (Code < 32 || C == '%' || C == '&' || C == '+' || C == '=') {
            Out += '%';
            Out += kHex[Code >> 4];
            Out += kHex[Code & 15];
        } else {
            Out += C;
        }
    }
    return Out;
}

std::string EncodeQuery(const TIpHtmlFormValues& Values) {
    std::string Query;
    for (const TIpHtmlFormValue& Value : Values) {
        if (!Query.empty()) Query += '&';
        Query += EncodeQueryText(Value.Name) + '=' + EncodeQueryText(Value.Value);
    }
    return Query;
}

// Only a file input's pair names a file to send; it must be a plain file (a device or a pipe
// would be read without end).
void AddFilePart(TIpFormDataEntity& Data, const TIpHtmlFormValue& Value,
                 const std::string& Accept) {
    const std::string Path = Value.Value.substr(std::string(kFilePrefix).size());
    std::error_code Error;
    if (!std::filesystem::is_regular_file(Path, Error))
        throw EIpHtmlException("Cannot send " + Path + ": it is no file");
    Data.AddFile(Path, Accept, "plain", emBinary);
}

std::unique_ptr<TIpFormDataEntity> MultipartData(const TIpHtmlFormValues& Values,
                                                 const std::string& Accept) {
    auto Data = std::make_unique<TIpFormDataEntity>();
    for (const TIpHtmlFormValue& Value : Values) {
        if (Value.File && Value.Value.starts_with(kFilePrefix))
            AddFilePart(*Data, Value, Accept);
        else
            Data->AddFormData(Value.Name, Value.Value);
    }
    return Data;
}

// A URL-encoded form posts its query as the body of an entity of that type.
std::unique_ptr<TIpFormDataEntity> UrlEncodedData(const TIpHtmlFormValues& Values) {
    auto Data = std::make_unique<TIpFormDataEntity>();
    Data->ContentType = "application";
    Data->ContentSubtype = "x-www-form-urlencoded";
    Data->IsMultipart = false;
    Data->Boundary.clear();
    const std::string Query = EncodeQuery(Values);
    Data->Body.WriteBuffer(Query.data(), int64_t(Query.size()));
    return Data;
}

}  // namespace

TIpHtmlFormValues TIpHtmlNodeFORM::FormValues() {
    TIpHtmlFormValues Values;
    ForEachNode([&](TIpHtmlNode* Node) {
        auto* Control = dynamic_cast<TIpHtmlNodeControl*>(Node);
        if (Control && Control->IsSuccessful()) Control->AddFormValues(Values);
    });
    return Values;
}

// A GET carries the query in its URL whatever the encoding asked for: a URL has no room for a
// multipart body.
void TIpHtmlNodeFORM::SubmitForm() {
    const bool Multipart = SameText(Enctype, kMultipart);
    if (!Enctype.empty() && !Multipart && !SameText(Enctype, kUrlEncoded))
        throw EIpHtmlException(Enctype + " encoding not supported");
    const TIpHtmlFormValues Values = FormValues();
    if (Method == TIpHtmlFormMethod::hfmGet) {
        Owner()->Get(Action + "?" + EncodeQuery(Values));
        return;
    }
    Owner()->Post(Action, Multipart ? MultipartData(Values, Accept) : UrlEncodedData(Values));
}

void TIpHtmlNodeFORM::ResetForm() {
    ForEachNode([](TIpHtmlNode* Node) {
        if (auto* Control = dynamic_cast<TIpHtmlNodeControl*>(Node)) Control->ResetControl();
    });
}
