// Throughput of the message model: decoding and re-encoding one 10 MB multipart message, a
// batch of 10,000 small news articles (and decoding them alone), the body codecs on 10 MB of
// data, and 4 MB of UTF-8 text converted for the windows (emoji beside Chinese).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "netlib/mime/Charsets.h"
#include "netlib/mime/MimeMessage.h"

namespace {

std::string Base64Lines(size_t bytes) {
    std::string data(bytes, '\0');
    for (size_t i = 0; i < bytes; ++i) data[i] = char((i * 131 + i / 977) & 0xFF);
    std::string coded = Base64EncodeString(data), out;
    for (size_t i = 0; i < coded.size(); i += 76) out += coded.substr(i, 76) + "\r\n";
    return out;
}

// About 10 MB: a text part, three base64 attachments and a quoted-printable part.
const std::string& LargeMessage() {
    static const std::string text = [] {
        std::string m =
            "From: Sender <sender@example.org>\r\nTo: a@example.org, \"Doe, John\" "
            "<j@example.org>\r\n"
            "Subject: large\r\nDate: Sun, 6 Dec 2026 12:00:00 +0100\r\nMessage-ID: "
            "<large@example.org>\r\n"
            "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"LARGE\"\r\n\r\n";
        m += "--LARGE\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\n";
        for (int i = 0; i < 20000; ++i)
            m += "A line of plain text in the first part of the message.\r\n";
        for (int a = 0; a < 3; ++a) {
            m += "--LARGE\r\nContent-Type: application/octet-stream; name=\"f" + std::to_string(a) +
                 ".bin\"\r\nContent-Transfer-Encoding: base64\r\nContent-Disposition: attachment; "
                 "filename=\"f" +
                 std::to_string(a) + ".bin\"\r\n\r\n";
            m += Base64Lines(2200000);
        }
        m += "--LARGE\r\nContent-Type: text/plain\r\nContent-Transfer-Encoding: "
             "quoted-printable\r\n\r\n";
        for (int i = 0; i < 5000; ++i)
            m += "Gr=C3=BC=C3=9Fe aus dem Text mit Umlauten und einem weichen Umbruch=\r\n "
                 "hier.\r\n";
        m += "--LARGE--\r\n";
        return m;
    }();
    return text;
}

std::vector<std::string> SmallArticles() {
    std::vector<std::string> articles;
    for (int i = 0; i < 10000; ++i) {
        std::string n = std::to_string(i);
        articles.push_back("Path: news.example.org!not-for-mail\r\nFrom: Poster " + n + " <p" + n +
                           "@example.org>\r\n"
                           "Newsgroups: de.test,de.alt.test\r\nSubject: Re: article " +
                           n +
                           "\r\n"
                           "Date: Sun, 6 Dec 2026 12:00:00 +0100\r\nMessage-ID: <" +
                           n +
                           "@example.org>\r\n"
                           "References: <a" +
                           n + "@example.org> <b" + n +
                           "@example.org>\r\nLines: 6\r\n"
                           "Xref: news.example.org de.test:" +
                           n +
                           "\r\nX-Newsreader: Bench 1.0\r\n"
                           "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=iso-8859-1\r\n"
                           "Content-Transfer-Encoding: 8bit\r\n\r\n"
                           "> quoted line\r\n\r\nAnswer text of the article, a few lines long,\r\n"
                           "as most articles in a group are.\r\n\r\n-- \r\nsignature\r\n");
    }
    return articles;
}

void RoundTrip(const std::string& text) {
    TIpNewsArticle m;
    m.MessageStream.WriteString(text);
    m.DecodeMessage();
    m.EncodeMessage();
    benchmark::DoNotOptimize(m.GetMessageSize());
}

void BM_LargeMultipartDecodeEncode(benchmark::State& state) {
    const std::string& text = LargeMessage();
    for (auto _ : state) RoundTrip(text);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    state.counters["MB"] = double(text.size()) / 1e6;
}

void BM_SmallArticlesDecodeEncode(benchmark::State& state) {
    static const std::vector<std::string> articles = SmallArticles();
    int64_t bytes = 0;
    for (const auto& a : articles) bytes += int64_t(a.size());
    for (auto _ : state)
        for (const auto& a : articles) RoundTrip(a);
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(articles.size()));
}

// What storing a fetched article costs: it is decoded (for its fields and the dupe check) and
// written as it came, without encoding.
void BM_SmallArticlesDecode(benchmark::State& state) {
    static const std::vector<std::string> articles = SmallArticles();
    for (auto _ : state) {
        for (const auto& a : articles) {
            TIpNewsArticle m;
            m.MessageStream.WriteString(a);
            m.DecodeMessage();
            benchmark::DoNotOptimize(m.GetMessageSize());
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(articles.size()));
}

void BM_DecodeAllBodies(benchmark::State& state) {
    TIpMailMessage m;
    m.MessageStream.WriteString(LargeMessage());
    m.DecodeMessage();
    for (auto _ : state) {
        for (int i = 0; i < m.Parts.Count(); ++i) {
            TMemoryStream out;
            m.Parts.Items(i)->DecodeBodyStream(out);
            benchmark::DoNotOptimize(out.Size());
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(LargeMessage().size()));
}

void EncodeWith(benchmark::State& state, TIpMimeEncodingMethod method) {
    std::string data(10 << 20, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = char(i % 61 == 60 ? '\n' : 'a' + i % 23);
    for (auto _ : state) {
        TIpMimeEntity e(nullptr);
        e.ContentTransferEncoding = method;
        TStringStream src(data);
        e.EncodeBodyStream(src, "data.bin");
        benchmark::DoNotOptimize(e.Body.Size());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}

void BM_EncodeBase64(benchmark::State& state) {
    EncodeWith(state, emBase64);
}
void BM_EncodeQuoted(benchmark::State& state) {
    EncodeWith(state, emQuoted);
}

// 4 MB of UTF-8 text as the viewer shows it: every character of the emoji lies beyond the
// 16-bit range (a surrogate pair, shown as one "?"), every character of the Chinese within it.
// Both should cost about the same per byte.
void ShowUtf8(benchmark::State& state, const std::string& character) {
    std::string text;
    text.reserve(4 << 20);
    while (text.size() + character.size() <= size_t(4 << 20)) text += character;
    for (auto _ : state) benchmark::DoNotOptimize(ToWindowCodePage("utf-8", text));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

}  // namespace

BENCHMARK_CAPTURE(ShowUtf8, emoji_4MB, std::string("\xF0\x9F\x98\x80"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ShowUtf8, chinese_4MB, std::string("\xE4\xB8\xAD"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeMultipartDecodeEncode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmallArticlesDecodeEncode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmallArticlesDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeAllBodies)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeBase64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeQuoted)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
