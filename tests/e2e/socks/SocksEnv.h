#pragma once
// The env file of the SOCKS fixture (tests/e2e/socks/README.md) named by $KESTRO_SOCKS_E2E_ENV:
// KEY=VALUE lines. Empty when the variable is unset (the test skips then).
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

inline std::map<std::string, std::string> LoadSocksEnv() {
    std::map<std::string, std::string> Env;
    const char* Path = std::getenv("KESTRO_SOCKS_E2E_ENV");
    if (!Path) return Env;
    std::ifstream In(Path);
    std::string Line;
    while (std::getline(In, Line)) {
        const auto Eq = Line.find('=');
        if (Eq != std::string::npos) Env[Line.substr(0, Eq)] = Line.substr(Eq + 1);
    }
    return Env;
}
