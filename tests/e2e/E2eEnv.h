#pragma once
// The servers of the e2e fixture, as its env file describes them: tests/e2e/harness.sh writes
// KEY=VALUE lines and CTest passes the file's path in $KESTRO_E2E_ENV (tests/e2e/README.md).

#include <charconv>
#include <cstdint>
#include <cstdlib>  // setenv (POSIX)
#include <fstream>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>

namespace e2e {

class Env {
  public:
    // The fixture's settings, or nothing when $KESTRO_E2E_ENV is unset (a run without the
    // fixture: tests skip). A named file that cannot be read is an error.
    // Also sets, unless the environment has them already, what every Kestro test runs with:
    // QT_QPA_PLATFORM=offscreen and KESTRO_CLOCK=none (a time test never sets the machine's
    // clock), as CTest can pass only one variable to these tests (see E2E.cmake).
    static std::optional<Env> Load() {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        setenv("KESTRO_CLOCK", "none", 0);
        const char* path = std::getenv("KESTRO_E2E_ENV");
        if (path == nullptr || *path == '\0') {
            return std::nullopt;
        }
        std::ifstream in(path);
        if (!in) {
            throw std::runtime_error(std::string("cannot read the e2e env file ") + path);
        }
        Env env;
        std::string line;
        while (std::getline(in, line)) {
            const auto eq = line.find('=');
            if (line.empty() || line[0] == '#' || eq == std::string::npos) {
                continue;
            }
            env.values_[line.substr(0, eq)] = line.substr(eq + 1);
        }
        return env;
    }

    // The value of KEY, given with or without the KESTRO_E2E_ prefix ("POP3_USER").
    const std::string& Get(const std::string& key) const {
        auto it = values_.find(key);
        if (it == values_.end()) {
            it = values_.find("KESTRO_E2E_" + key);
        }
        if (it == values_.end()) {
            throw std::runtime_error("the e2e env file has no " + key);
        }
        return it->second;
    }

    // Port("POP3") is KESTRO_E2E_POP3_PORT.
    uint16_t Port(const std::string& name) const {
        const std::string& text = Get("KESTRO_E2E_" + name + "_PORT");
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec != std::errc() || end != text.data() + text.size() || value == 0 || value > 65535) {
            throw std::runtime_error("bad port in the e2e env file: " + text);
        }
        return static_cast<uint16_t>(value);
    }

    const std::string& Host() const { return Get("KESTRO_E2E_HOST"); }
    const std::map<std::string, std::string>& All() const { return values_; }

  private:
    std::map<std::string, std::string> values_;
};

}  // namespace e2e
