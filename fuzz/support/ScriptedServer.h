#pragma once
// The server side of a transfer task's connections in the session targets: every connection the
// client opens is a fake socket that the server accepts, that takes the fuzz input's pieces as
// what the server sends (one read each, announced through the client's window as the binding
// does, so the client's handling of errors in socket events applies) and that records what the
// client sends, over all connections, in order.
#include <functional>
#include <string>
#include <vector>

#include "fuzz/support/FuzzWorld.h"
#include "netlib/sock/IpFakeSocket.h"

class TScriptedServer {
  public:
    // Makes every connection of the client a scripted one.
    void Install(TIpCustomClient& Client) {
        Client.SetSocketFactory([this](TIpCustomClient& Owner) {
            FSocket = new TRecordingSocket(Owner, Sent);
            FAccepted = false;
            ++Connections;
            return FSocket;
        });
    }

    // Sends the pieces from First on, one read each, with the event loop run after each; a
    // connection the client opens meanwhile is accepted first. AfterEach sees the index of the
    // piece just sent. Then the server closes. Pieces left when the client has closed go nowhere.
    void Play(TIpCustomClient& Client, const std::vector<std::string>& Pieces, size_t First,
              const std::function<void(size_t Piece)>& AfterEach = {}) {
        for (size_t I = First; I < Pieces.size(); ++I) {
            if (!Open(Client)) break;
            FSocket->FeedByNotice(Pieces[I]);
            FuzzWorld::Pump();
            if (AfterEach) AfterEach(I);
        }
        if (Open(Client)) FSocket->PeerCloseByNotice();
        FuzzWorld::Pump();
    }

    // Everything the client sent, over every connection.
    std::string Sent;
    int Connections = 0;

  private:
    class TRecordingSocket : public TIpFakeSocket {
      public:
        TRecordingSocket(TIpCustomClient& Owner, std::string& Log)
            : TIpFakeSocket(Owner), FLog(Log) {}

      protected:
        int ApiSend(const void* Buf, int Len) override {
            const int Done = TIpFakeSocket::ApiSend(Buf, Len);
            if (Done > 0) FLog.append(static_cast<const char*>(Buf), size_t(Done));
            return Done;
        }

      private:
        std::string& FLog;
    };

    // The client's current connection is one of ours and open (accepted now if it is new).
    bool Open(TIpCustomClient& Client) {
        if (!FSocket || Client.Socket() != FSocket) return false;
        if (!FAccepted) {
            FAccepted = true;
            FSocket->AcceptConnect();
            FuzzWorld::Pump();
            if (Client.Socket() != FSocket) return false;
        }
        return FSocket->Connected();
    }

    TRecordingSocket* FSocket = nullptr;
    bool FAccepted = false;
};
