#pragma once
// A data socket without a network behind it, for tests of the protocol clients: bytes fed in
// are cut into lines by the real receive code and reach the client's DoReadLine; everything the
// client sends is collected. Install it with
//   client.SetSocketFactory([](TIpCustomClient& c) { return new TIpFakeSocket(c); });
// then Connect, and drive the peer side with AcceptConnect, Feed and PeerClose.
#include <string>

#include "netlib/sock/IpSock.h"

class TIpFakeSocket : public TIpDataSocket {
  public:
    explicit TIpFakeSocket(TIpCustomClient& owner);

    // The peer accepts the connect (the client reports stConnect) or refuses it.
    void AcceptConnect();
    void RefuseConnect(int errorCode = WSAECONNREFUSED);
    // Bytes from the peer, read at once (as one FD_READ).
    void Feed(const std::string& bytes);
    // The same, announced as the binding does: a read notice through the owner's window, so
    // that the owner's handling of errors in socket events applies.
    void FeedByNotice(const std::string& bytes);
    // Bytes from the peer that wait in the system, unread: the client is busy elsewhere and
    // takes them with its next read (Feed, or a read notice).
    void Arrive(const std::string& bytes) { FInput.append(bytes); }
    // The same with their read notice posted, as the binding posts it: a later pass of the
    // message loop reads them.
    void ArriveByNotice(const std::string& bytes);
    // The peer closes (FD_CLOSE); what was fed and not read is still delivered.
    void PeerClose();
    // The same through the owner's window, as FeedByNotice.
    void PeerCloseByNotice();
    // While blocked, sends fail with WSAEWOULDBLOCK; unblocking gives FD_WRITE.
    void SetBlocked(bool blocked);

    const std::string& Written() const { return FWritten; }
    std::string TakeWritten();
    bool ConnectCalled() const { return FConnectCalled; }
    const TSockAddrIn& ConnectAddress() const { return FConnectAddress; }
    bool NeedsLookup() const override { return false; }

  protected:
    int ApiRecv(void* buf, int len) override;
    int ApiSend(const void* buf, int len) override;
    int ApiConnect(const TSockAddrIn& addr) override;
    void ApiShutdown() override {}
    void ApiClose() override {}
    void ApiLocalAddress(TSockAddrIn& addr) override;
    int ApiLastError() override { return FLastError; }
    bool ApiDataWaiting() override { return FInputPos < FInput.size(); }

  private:
    std::string FInput;
    size_t FInputPos = 0;
    std::string FWritten;
    bool FPeerClosed = false;
    bool FBlocked = false;
    bool FConnectCalled = false;
    TSockAddrIn FConnectAddress;
    int FLastError = 0;
};
