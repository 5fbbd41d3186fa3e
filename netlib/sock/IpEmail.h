#pragma once
// The common base of the mail and news clients (POP3, SMTP, NNTP): one place where what they
// share as clients of a line-oriented mail or news server can live.
#include "netlib/sock/IpSock.h"

class TIpCustomEmailClass : public TIpCustomClient {
  public:
    using TIpCustomClient::TIpCustomClient;
};
