// Mails whose pictures ask for far more than their bytes, opened in the message viewer on Qt's
// offscreen platform as the main window opens them, then closed:
//
// - GifScreen/N: one GIF of a 32768 x 1024 logical screen with a single 1 x 1 frame (48 bytes),
//   shown by N images (10, 30, 300);
// - FortyGifs: 40 different such GIFs, one image each;
// - Png300: one PNG of 5000 x 6000 (a grey check pattern), shown by 300 images;
// - Animated/TwoHalves: a GIF of 5000 x 6000 whose two frames are its top and bottom halves,
//   delay 0; Animated/RestorePrevious: a GIF of 5000 x 6000 with 4,096 frames of 1 x 1, each
//   restored to what was before it, delay 0. Both at the top of the page, so that every frame
//   that is put together shows. Animated/SmallBanner: a GIF of 120 x 60 with two frames of
//   delay 5, as newsletters show them.
//
// The opening mails are timed from the spool file to the painted page (wall clock; `close_s` is
// the closing), with the process's peak resident size while the mail was open (`peak_MB`, the
// kernel's high-water mark reset before each mail) and what it grew by (`grow_MB`), and how many
// images show the broken picture (`broken`). The animated mails count the CPU the process takes
// per second of wall clock while the viewer is open and its message loop waits for the next frame
// (`cpu_per_s`, over 3 s), and the frames shown per second (`frames_per_s`).
//
//   build/<dir>/bench/viewer/bench_viewer_pictures
#include <benchmark/benchmark.h>
#include <gif_lib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QBuffer>
#include <QImage>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/ui/ViewMessageFrm.h"
#include "htmlview/anim/IpAnim.h"
#include "htmlview/html/IpHtmlNodes.h"
#include "htmlview/panel/IpHtmlFrame.h"
#include "platform/controls/Controls.h"
#include "platform/core/Application.h"
#include "platform/widgets/Forms.h"
#include "tests/app/ui/NewsletterMail.h"

namespace {

using Clock = std::chrono::steady_clock;

// --- GIF files, written by libgif's encoder (its LZW codes grow to 12 bits, as real files'
// do, so that a frame of millions of pixels of one colour takes kilobytes) ---

struct TSolidFrame {
    int Left, Top, Width, Height;
    GifPixelType Index;
    int Disposal;
    int Delay = 0;
};

int Append(GifFileType* File, const GifByteType* Data, int Size) {
    auto* Out = static_cast<std::vector<uint8_t>*>(File->UserData);
    Out->insert(Out->end(), Data, Data + Size);
    return Size;
}

QByteArray WriteGif(int Width, int Height, const std::vector<TSolidFrame>& Frames,
                    GifByteType Shade = 0) {
    std::vector<uint8_t> Out;
    int Error = 0;
    GifFileType* Gif = EGifOpen(&Out, Append, &Error);
    GifColorType Colors[4] = {{Shade, 0, 0}, {0, 160, 0}, {0, 0, 200}, {255, 255, 255}};
    ColorMapObject* Map = GifMakeMapObject(4, Colors);
    EGifSetGifVersion(Gif, true);
    EGifPutScreenDesc(Gif, Width, Height, 2, 0, Map);
    for (const TSolidFrame& F : Frames) {
        GraphicsControlBlock Control{F.Disposal, false, F.Delay, NO_TRANSPARENT_COLOR};
        GifByteType Extension[4];
        EGifGCBToExtension(&Control, Extension);
        EGifPutExtension(Gif, GRAPHICS_EXT_FUNC_CODE, 4, Extension);
        EGifPutImageDesc(Gif, F.Left, F.Top, F.Width, F.Height, false, nullptr);
        const std::vector<GifPixelType> Row(size_t(F.Width), F.Index);
        for (int Y = 0; Y < F.Height; ++Y)
            EGifPutLine(Gif, const_cast<GifPixelType*>(Row.data()), F.Width);
    }
    EGifCloseFile(Gif, &Error);
    GifFreeMapObject(Map);
    return QByteArray(reinterpret_cast<const char*>(Out.data()), qsizetype(Out.size()));
}

QByteArray WideGif(GifByteType Shade) {
    return WriteGif(32768, 1024, {{0, 0, 1, 1, 1, DISPOSAL_UNSPECIFIED}}, Shade);
}

QByteArray TwoHalvesGif() {
    return WriteGif(5000, 6000,
                    {{0, 0, 5000, 3000, 1, DISPOSAL_UNSPECIFIED},
                     {0, 3000, 5000, 3000, 2, DISPOSAL_UNSPECIFIED}});
}

// A small banner of 120 x 60 whose two frames stay 5 hundredths of a second each.
QByteArray SmallBannerGif() {
    return WriteGif(120, 60,
                    {{0, 0, 120, 60, 1, DISPOSAL_UNSPECIFIED, 5},
                     {20, 10, 80, 40, 2, DISPOSAL_UNSPECIFIED, 5}});
}

// The frames walk along the top left corner of the screen, the part the viewer shows.
QByteArray RestorePreviousGif() {
    std::vector<TSolidFrame> Frames;
    for (int I = 0; I < 4096; ++I)
        Frames.push_back(
            {(I * 7) % 400, (I * 3) % 200, 1, 1, GifPixelType(1 + I % 3), DISPOSE_PREVIOUS});
    return WriteGif(5000, 6000, Frames);
}

QByteArray CheckedPng() {
    QImage Image(5000, 6000, QImage::Format_Grayscale8);
    for (int Y = 0; Y < Image.height(); ++Y) {
        uchar* Row = Image.scanLine(Y);
        for (int X = 0; X < Image.width(); ++X) Row[X] = ((X / 50 + Y / 50) % 2) ? 230 : 40;
    }
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    Image.save(&Buffer, "PNG", 0);  // quality 0: the strongest compression
    return Bytes;
}

// --- the mails ---

constexpr const char* kText = "Der Text bleibt lesbar.";

// A multipart/related mail: an HTML part with the text and the images (each Sources entry
// one image of that part), then the picture parts.
std::string Mail(const std::vector<std::string>& Sources,
                 const std::vector<std::pair<std::string, QByteArray>>& Parts,
                 const std::string& Type) {
    std::string Html = "<html><body><p>" + std::string(kText) + "</p>";
    for (const std::string& Source : Sources) Html += "<img src=\"cid:" + Source + "\">";
    Html += "<p>" + std::string(kText) + "</p></body></html>";
    std::string Out =
        "From: Bilder <bilder@pictures.example>\r\n"
        "To: thomas@mailhafen.example\r\n"
        "Subject: Bilder\r\n"
        "MIME-Version: 1.0\r\n"
        "Content-Type: multipart/related; boundary=\"NEWS\"\r\n\r\n"
        "--NEWS\r\nContent-Type: text/html; charset=us-ascii\r\n\r\n" +
        Html + "\r\n";
    for (const auto& [Id, Data] : Parts) Out += Newsletter::Part(Type, Id, Data);
    return Out + "--NEWS--\r\n";
}

std::string SharedPicture(int References, const char* Type, const QByteArray& Data) {
    return Mail(std::vector<std::string>(size_t(References), "pic@bench"), {{"pic@bench", Data}},
                Type);
}

std::string FortyGifs() {
    std::vector<std::string> Sources;
    std::vector<std::pair<std::string, QByteArray>> Parts;
    for (int I = 0; I < 40; ++I) {
        Sources.push_back("gif" + std::to_string(I) + "@bench");
        Parts.emplace_back(Sources.back(), WideGif(GifByteType(I)));
    }
    return Mail(Sources, Parts, "image/gif");
}

// --- the viewer ---

std::filesystem::path& Root() {
    static std::filesystem::path Path = [] {
        const std::filesystem::path Folder = std::filesystem::temp_directory_path() /
                                             ("kestro-viewer-pictures-" + std::to_string(getpid()));
        std::filesystem::create_directories(Folder / "reg");
        setenv("KESTRO_HOME", Folder.c_str(), 1);
        setenv("KESTRO_REGISTRY_DIR", (Folder / "reg").c_str(), 1);
        std::atexit([] { std::filesystem::remove_all(Root()); });
        Forms.Initialize();
        InitStandardControls();
        return Folder;
    }();
    return Path;
}

std::string WriteMail(const std::string& Name, const std::string& Text) {
    const std::string Path = (Root() / Name).string();
    std::ofstream(Path, std::ios::binary) << Text;
    return Path;
}

double Seconds(Clock::time_point Since) {
    return std::chrono::duration<double>(Clock::now() - Since).count();
}

// Until nothing is left to do; bounded, since an animation always has its next frame due.
void Drain() {
    const Clock::time_point Start = Clock::now();
    for (int I = 0; I < 1000 && Seconds(Start) < 10 && Application.ProcessMessages(); ++I) {
    }
}

// The kernel's resident high-water mark of this process, in MB; writing 5 to clear_refs starts
// it again from what is resident now.
double PeakMB() {
    std::ifstream Status("/proc/self/status");
    for (std::string Line; std::getline(Status, Line);)
        if (Line.rfind("VmHWM:", 0) == 0) return std::stod(Line.substr(6)) / 1024.0;
    return 0;
}

double ResidentMB() {
    std::ifstream Status("/proc/self/status");
    for (std::string Line; std::getline(Status, Line);)
        if (Line.rfind("VmRSS:", 0) == 0) return std::stod(Line.substr(6)) / 1024.0;
    return 0;
}

void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

double CpuSeconds() {
    rusage Usage{};
    getrusage(RUSAGE_SELF, &Usage);
    const auto Of = [](const timeval& T) { return double(T.tv_sec) + double(T.tv_usec) / 1e6; };
    return Of(Usage.ru_utime) + Of(Usage.ru_stime);
}

TIpHtml& Document(TFormViewMessage& Viewer) {
    return Viewer.IpHtmlPanel->MasterFrame()->Html();
}

int BrokenPictures(TIpHtml& Doc) {
    int Broken = 0;
    for (TIpHtmlNodeIMG* Image : Doc.Images()) Broken += Image->Picture() == Doc.DefaultPicture();
    return Broken;
}

// The page shows its text and an image for every reference.
bool Shown(TIpHtml& Doc, size_t Images) {
    if (Doc.Images().size() != Images) return false;
    Doc.SelectAll();
    const bool HasText = Doc.SelectionText().find(kText) != std::string::npos;
    Doc.SetSelectionPoints({-1, -1}, {-1, -1});
    return HasText;
}

void OpenMail(benchmark::State& State, const std::string& File, size_t Images) {
    for (auto _ : State) {
        const double Before = ResidentMB();
        ResetPeak();
        const Clock::time_point Start = Clock::now();
        TFormViewMessage* Viewer = ShowMessageViewer(File, nullptr);
        Drain();
        State.SetIterationTime(Seconds(Start));
        State.counters["peak_MB"] = PeakMB();
        State.counters["grow_MB"] = PeakMB() - Before;
        if (!Shown(Document(*Viewer), Images))
            State.SkipWithError("the page lost its text or an image");
        State.counters["broken"] = BrokenPictures(Document(*Viewer));
        const Clock::time_point Closing = Clock::now();
        Viewer->Free();
        Drain();
        State.counters["close_s"] = Seconds(Closing);
    }
}

void BM_GifScreen(benchmark::State& State) {
    const int References = int(State.range(0));
    static const QByteArray Gif = WideGif(0);
    const std::string File = WriteMail("gif-screen-" + std::to_string(References) + ".msg",
                                       SharedPicture(References, "image/gif", Gif));
    State.SetLabel(std::to_string(Gif.size()) + " B picture, " +
                   std::to_string(std::filesystem::file_size(File)) + " B mail");
    OpenMail(State, File, size_t(References));
}
BENCHMARK(BM_GifScreen)
    ->Arg(10)
    ->Arg(30)
    ->Arg(300)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_FortyGifs(benchmark::State& State) {
    const std::string File = WriteMail("forty-gifs.msg", FortyGifs());
    State.SetLabel(std::to_string(std::filesystem::file_size(File)) + " B mail");
    OpenMail(State, File, 40);
}
BENCHMARK(BM_FortyGifs)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_Png300(benchmark::State& State) {
    const QByteArray Png = CheckedPng();
    const std::string File = WriteMail("png-300.msg", SharedPicture(300, "image/png", Png));
    State.SetLabel(std::to_string(Png.size()) + " B picture, " +
                   std::to_string(std::filesystem::file_size(File)) + " B mail");
    OpenMail(State, File, 300);
}
BENCHMARK(BM_Png300)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// CPU per second of wall clock while the open viewer's loop waits for its next event.
void Animated(benchmark::State& State, const QByteArray& Gif, const char* Name) {
    const std::string File = WriteMail(Name, SharedPicture(1, "image/gif", Gif));
    State.SetLabel(std::to_string(Gif.size()) + " B picture, " +
                   std::to_string(std::filesystem::file_size(File)) + " B mail");
    TFormViewMessage* Viewer = ShowMessageViewer(File, nullptr);
    Drain();
    TIpHtml& Doc = Document(*Viewer);
    auto* Animation =
        Doc.Images().empty()
            ? nullptr
            : dynamic_cast<TIpAnimatedGraphic*>(Doc.Images().front()->Picture()->Graphic());
    if (!Animation) {
        State.SkipWithError("the picture is not shown");
        return;
    }
    int Shown = 0;
    Animation->OnFrameShown = [&](TIpAnimatedGraphic*, int, TIpAnimationFrameList&) { ++Shown; };
    for (auto _ : State) {
        const double Cpu = CpuSeconds();
        const Clock::time_point Start = Clock::now();
        while (Seconds(Start) < 3.0) {
            Application.WaitForEvent(100);
            Application.ProcessMessages();
        }
        State.SetIterationTime(Seconds(Start));
        State.counters["cpu_per_s"] = (CpuSeconds() - Cpu) / Seconds(Start);
        State.counters["frames_per_s"] = Shown / Seconds(Start);
    }
    Animation->OnFrameShown = nullptr;
    Viewer->Free();
    Drain();
}

void BM_Animated_TwoHalves(benchmark::State& State) {
    Animated(State, TwoHalvesGif(), "two-halves.msg");
}
BENCHMARK(BM_Animated_TwoHalves)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_Animated_RestorePrevious(benchmark::State& State) {
    Animated(State, RestorePreviousGif(), "restore-previous.msg");
}
BENCHMARK(BM_Animated_RestorePrevious)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_Animated_SmallBanner(benchmark::State& State) {
    Animated(State, SmallBannerGif(), "small-banner.msg");
}
BENCHMARK(BM_Animated_SmallBanner)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
