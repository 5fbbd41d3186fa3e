#pragma once
// The addresses of an address header (To, Cc, From, ...) as an envelope line needs them: the
// addr-spec alone ("anna@example.net"), without display name, comments, group name or route.
//
// The parser follows the address-list of RFC 5322 with its obsolete forms, and is lenient the
// way real mail needs: an address written without angle brackets after a display name, stray
// brackets and unclosed quotes or comments still give what can be found. It does not decode
// encoded words (a display name is never needed) and does not check domains.
#include <string>
#include <vector>

// The addr-spec of every mailbox in the list, in order; a group gives its members (an empty
// group such as "undisclosed-recipients:;" gives none). A word without "@" counts as a local
// address only when it stands alone ("postmaster"); a display name without address gives
// nothing.
std::vector<std::string> AddrSpecs(const std::string& addressList);

// The addr-spec of the first mailbox of the list; empty when it holds none.
std::string FirstAddrSpec(const std::string& addressList);
