#pragma once
// What the picture targets share: the input written to a file whose extension makes the picture
// registry pick the class under test, loaded into a picture that holds a 1 x 1 bitmap before. A
// load either raises a graphics error that leaves the picture as it was, or hands the loaded
// picture to the target's own checks.
#include <unistd.h>

#include <QCoreApplication>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "fuzz/support/FuzzInput.h"
#include "platform/core/Application.h"
#include "platform/gdi/Graphics.h"

namespace PictureFuzz {

// A file of this process's own in the temporary folder, named "kestro-<Name>-fuzz-<pid><Ext>".
inline const std::string& InputPath(const char* Name = nullptr, const char* Ext = nullptr) {
    static const std::string Path =
        (std::filesystem::temp_directory_path() /
         ("kestro-" + std::string(Name) + "-fuzz-" + std::to_string(getpid()) + Ext))
            .string();
    return Path;
}

// Bitmaps draw through the GUI application's painting; the input file goes at exit.
inline int Initialize(int* Argc, char*** Argv, const char* Name, const char* Ext) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The path first: statics die in the reverse order of their making and handlers, so the
    // handler must be registered after the path it removes exists.
    (void)InputPath(Name, Ext);
    std::atexit([] { std::filesystem::remove(InputPath()); });
    static std::unique_ptr<QCoreApplication> App = TApplication::InitializeQt(*Argc, *Argv, true);
    return 0;
}

template <class TCheck>
int Load(const uint8_t* Data, size_t Size, TCheck Check) {
    std::ofstream(InputPath(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(Data), std::streamsize(Size));
    TPicture Picture;
    Picture.Bitmap().SetSize(1, 1);
    try {
        Picture.LoadFromFile(InputPath());
    } catch (const Exception&) {
        if (Picture.Width() != 1 || Picture.Height() != 1 ||
            !dynamic_cast<TBitmap*>(Picture.Graphic()))
            Fuzz::Fail("a failed load changed the picture");
        return 0;
    }
    Check(Picture, Data, Size);
    return 0;
}

}  // namespace PictureFuzz
