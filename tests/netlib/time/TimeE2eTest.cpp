// The time client against xinetd's internal time and daytime services of the e2e fixture, over
// TCP and UDP. The answers must agree with this machine's clock.
#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <string>
#include <vector>

#include "netlib/time/IpTime.h"
#include "tests/e2e/E2eEnv.h"
#include "tests/netlib/sock/TestServer.h"

namespace {

struct TResult {
    std::vector<double> Times;
    std::vector<std::string> Daytimes;
    std::vector<std::string> Errors;
};

TResult Ask(TIpSockProtocol protocol, TIpTimeService service) {
    const auto env = e2e::Env::Load();
    TResult result;
    TIpTimeClient c;
    c.SetSockProtocol(protocol);
    c.SetTimeService(service);
    c.Server =
        env->Host() + ":" + std::to_string(env->Port(service == tsTime ? "TIME" : "DAYTIME"));
    c.OnTime = [&](TIpCustomTimeClient*, double t) { result.Times.push_back(t); };
    c.OnDaytime = [&](TIpCustomTimeClient*, const std::string& d) { result.Daytimes.push_back(d); };
    c.OnError = [&](TIpSockControl*, SOCKET, int32_t, const std::string& text) {
        result.Errors.push_back(text);
    };
    c.RequestTime();
    EXPECT_TRUE(PumpUntil([&] {
        return !result.Times.empty() || !result.Daytimes.empty() || !result.Errors.empty();
    }));
    if (protocol == spTcp) PumpUntil([&] { return !c.IsActive(); });
    return result;
}

// Now as a date-time value (days since 30 December 1899, UTC).
double Now() {
    return double(std::time(nullptr)) / 86400.0 + 25569.0;
}

class TimeE2e : public ::testing::TestWithParam<TIpSockProtocol> {
  protected:
    void SetUp() override {
        if (!e2e::Env::Load()) GTEST_SKIP() << "no e2e servers (KESTRO_E2E_ENV unset)";
    }
};

TEST_P(TimeE2e, TimeAgreesWithTheClock) {
    const TResult r = Ask(GetParam(), tsTime);
    ASSERT_TRUE(r.Errors.empty()) << r.Errors.front();
    ASSERT_EQ(r.Times.size(), 1u);
    EXPECT_LT(std::fabs(r.Times[0] - Now()), 60.0 / 86400.0);
}

TEST_P(TimeE2e, DaytimeNamesTheYear) {
    const TResult r = Ask(GetParam(), tsDaytime);
    ASSERT_TRUE(r.Errors.empty()) << r.Errors.front();
    ASSERT_EQ(r.Daytimes.size(), 1u);
    const std::time_t t = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&t, &utc);
    EXPECT_NE(r.Daytimes[0].find(std::to_string(utc.tm_year + 1900)), std::string::npos)
        << r.Daytimes[0];
}

INSTANTIATE_TEST_SUITE_P(Protocols, TimeE2e, ::testing::Values(spTcp, spUdp),
                         [](const auto& info) { return info.param == spTcp ? "Tcp" : "Udp"; });

}  // namespace
