#pragma once
// Pieces every test folder needs: a bounded drive of the message loop, whole-file reads and
// writes, and the message of the exception a step raises.
#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "platform/classes/Exception.h"
#include "platform/core/Application.h"

// Drives the message loop until cond() holds; false when it did not within the bound.
inline bool PumpUntil(const std::function<bool()>& cond, int boundMs = 20000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
    while (!cond()) {
        if (std::chrono::steady_clock::now() > end) return false;
        Application.WaitForEvent(50);
        Application.ProcessMessages();
    }
    return true;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The message of the E that step raises; empty when it raises none.
template <class E = Exception, class F>
std::string ErrorOf(F&& step) {
    try {
        step();
    } catch (const E& e) {
        return e.Message();
    }
    return "";
}
