#include "netlib/mime/MailAddresses.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Case {
    const char* Header;  // the value of an address header
    std::vector<std::string> Specs;
};

void ExpectSpecs(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(AddrSpecs(c.Header), c.Specs) << c.Header;
        EXPECT_EQ(FirstAddrSpec(c.Header), c.Specs.empty() ? "" : c.Specs.front()) << c.Header;
    }
}

}  // namespace

// The examples of RFC 5322, appendix A.
TEST(MailAddresses, StandardExamples) {
    ExpectSpecs({
        {"\"Joe Q. Public\" <john.q.public@example.com>", {"john.q.public@example.com"}},
        {"Mary Smith <mary@x.test>, jdoe@example.org, Who? <one@y.test>",
         {"mary@x.test", "jdoe@example.org", "one@y.test"}},
        {"<boss@nil.test>, \"Giant; \\\"Big\\\" Box\" <sysservices@example.net>",
         {"boss@nil.test", "sysservices@example.net"}},
        {"A Group:Ed Jones <c@a.test>,joe@where.test,John <jdoe@one.test>;",
         {"c@a.test", "joe@where.test", "jdoe@one.test"}},
        {"Undisclosed recipients:;", {}},
        {"Pete(A nice \\) chap) <pete(his account)@silly.test(his host)>", {"pete@silly.test"}},
        {"A Group(Some people)\r\n     :Chris Jones <c@(Chris's host.)public.example>,\r\n"
         "         joe@example.org,\r\n  John <jdoe@one.test> (my dad)\r\n    ;",
         {"c@public.example", "joe@example.org", "jdoe@one.test"}},
        {"(Empty list)(start)Hidden recipients  :(nobody(that I know))  ;", {}},
        // Obsolete forms: an unquoted "." in a display name, a source route, empty members and
        // white space around the dots of an address.
        {"Joe Q. Public <john.q.public@example.com>", {"john.q.public@example.com"}},
        {"Mary Smith <@node.test:mary@example.net>, , jdoe@test  . example",
         {"mary@example.net", "jdoe@test.example"}},
        {"John Doe <jdoe@machine(comment).  example>", {"jdoe@machine.example"}},
    });
}

// What point programs and mailers write in practice.
TEST(MailAddresses, DisplayNamesEncodingsGroupsAndBareAddresses) {
    ExpectSpecs({
        // Display names with commas, quoted, encoded and broken by a raw comma.
        {"\"Muster, Anna\" <anna@example.net>", {"anna@example.net"}},
        {"\"Muster, Anna\" <anna@example.net>, \"Doe, John\" <j@x.org>",
         {"anna@example.net", "j@x.org"}},
        {"=?UTF-8?B?TXVzdGVyLCBBbm5h?= <point@example.org>", {"point@example.org"}},
        {"=?iso-8859-1?Q?M=FCller=2C_J=F6rg?= <joerg@example.de>", {"joerg@example.de"}},
        {"=?utf-8?q?Muster,_Anna?= <anna@example.net>", {"anna@example.net"}},
        {"\"a<b>c\" <real@example.org>", {"real@example.org"}},
        // Comments, before and after, with specials inside.
        {"anna@example.net (Anna Muster, <Vertrieb>)", {"anna@example.net"}},
        {"(Anna, <x@y>) anna@example.net", {"anna@example.net"}},
        // Bare and bracketed addresses; quoted local parts and domain literals stay as written.
        {"anna@example.net", {"anna@example.net"}},
        {"<anna@example.net>", {"anna@example.net"}},
        {"\"john doe\"@example.com", {"\"john doe\"@example.com"}},
        {"root@[192.0.2.1]", {"root@[192.0.2.1]"}},
        {"postmaster", {"postmaster"}},
        // Groups: members count, the group name never does.
        {"undisclosed-recipients:;", {}},
        {"undisclosed-recipients:;, anna@example.net", {"anna@example.net"}},
        {"Team: a@example.org, B <b@example.org>;, c@example.org",
         {"a@example.org", "b@example.org", "c@example.org"}},
        // Mistakes: no brackets after a name, a name without address, empty brackets, unclosed
        // brackets, quotes and comments.
        {"Anna Muster anna@example.net", {"anna@example.net"}},
        {"Anna Muster", {}},
        {"<>", {}},
        {"Anna <anna@example.net", {"anna@example.net"}},
        {"\"unclosed <x@y>", {}},
        {"anna@example.net (unclosed", {"anna@example.net"}},
        {"", {}},
        {" , ,", {}},
    });
}
