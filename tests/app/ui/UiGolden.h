#pragma once
// Golden files of the windows' tests: inputs and expected outputs under golden/, compared byte for
// byte. An output that differs is also written to the build tree for a look.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/TestSupport.h"

namespace UiGolden {

inline std::string Path(const std::string& Name) {
    return std::string(KESTRO_SOURCE_DIR) + "/tests/app/ui/golden/" + Name;
}

inline std::string Read(const std::string& Name) {
    return ReadFile(Path(Name));
}

// Replaces every occurrence of From in Text by To (a test's own directory by a fixed name).
inline std::string Replaced(std::string Text, const std::string& From, const std::string& To) {
    for (size_t At = Text.find(From); !From.empty() && At != std::string::npos;
         At = Text.find(From, At + To.size()))
        Text.replace(At, From.size(), To);
    return Text;
}

inline void Expect(const std::string& Name, const std::string& Actual) {
    const std::string Expected = std::filesystem::exists(Path(Name)) ? Read(Name) : std::string();
    EXPECT_EQ(Actual, Expected) << Name;
    if (Actual == Expected) return;
    const std::string Out = std::string(KESTRO_BINARY_DIR) + "/golden-actual/" + Name;
    std::filesystem::create_directories(std::filesystem::path(Out).parent_path());
    WriteFile(Out, Actual);
}

}  // namespace UiGolden
