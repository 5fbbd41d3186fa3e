// The status texts of the dialer.
#include <map>

#include "netlib/ras/IpRas.h"

namespace {

const std::map<int32_t, std::string>& StatusTexts() {
    static const std::map<int32_t, std::string> texts = {
        {0, "Open port"},
        {1, "Port opened"},
        {2, "Connect device"},
        {3, "Device connected"},
        {4, "All devices connected"},
        {5, "Authenticate"},
        {6, "Authenticate notify"},
        {7, "Authenticate retry"},
        {8, "Authenticate callback"},
        {9, "Authenticate change password"},
        {10, "Authenticate project"},
        {11, "Authenticate link speed"},
        {12, "Authenticate acknowledged"},
        {13, "Re-authenticate"},
        {14, "Authenticated"},
        {15, "Prepare for callback"},
        {16, "Wait for modem reset"},
        {17, "Wait for callback"},
        {18, "Projected"},
        {19, "Start authentication"},
        {20, "Callback complete"},
        {21, "Logon network"},
        {22, "Sub-entry connected"},
        {23, "Sub-entry disconnected"},
        {4096, "Paused"},
        {4097, "Retry authentication"},
        {4098, "Callback set by caller"},
        {4099, "Password expired"},
        {8192, "Connected"},
        {8193, "Disconnected"},
    };
    return texts;
}

}  // namespace

std::string TIpCustomRasDialer::GetStatusText(int32_t State) {
    auto it = StatusTexts().find(State);
    return it == StatusTexts().end() ? "Unknown status" : it->second;
}
