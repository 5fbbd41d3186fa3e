// Texts of the POP3 client's debug-log entries.
#include <string>

#include "netlib/pop3/IpPop3.h"

std::string Pop3TaskText(uint32_t task) {
    switch (task) {
        case ptNone:
            return "No task (ptNone)";
        case ptLogon:
            return "Logging on (ptLogon)";
        case ptList:
            return "Retrieving mailbox list (ptList)";
        case ptUIDL:
            return "Retrieving mailbox UID list (ptUIDL)";
        case ptSocketError:
            return "Socket error (4)";
        default:
            return "Unknown task (" + std::to_string(task) + ")";
    }
}

std::string Pop3StateText(uint32_t state) {
    switch (state) {
        // The brace has always been written that way; log readers may match it.
        case psNoOp:
            return "No operation {psNoOp)";
        case psConnect:
            return "Connecting to server (psConnect)";
        case psUser:
            return "Logging on with User (psUser)";
        case psPass:
            return "Logging on with Password (psPass)";
        case psStat:
            return "Retrieving mailbox status (psStat)";
        case psList:
            return "Retrieving mailbox list (psList)";
        case psRetr:
            return "Retrieving message (psRetr)";
        case psDele:
            return "Marking message for deletion (psDele)";
        case psRSet:
            return "Resetting messages (psRSet)";
        case psApop:
            return "Logging on with APOP (psApop)";
        case psTop:
            return "Retrieving top of message (psTop)";
        case psUidl:
            return "Retrieving mailbox UID list (psUidl)";
        case psQuit:
            return "Disconnecting (psQuit)";
        case psSpecial:
            return "Special command (psSpecial)";
        default:
            return "Unknown state (" + std::to_string(state) + ")";
    }
}
