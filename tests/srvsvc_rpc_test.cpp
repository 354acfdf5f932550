// The srvsvc session codec against answers captured from a real smbd
// (tests/e2e/srvsvc_capture.sh): two clients from 10.231.79.2 holding files,
// one of them through two sessions, and the capture's own session from the
// server's address.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "netmgmt/net_management.h"
#include "netmgmt/srvsvc_rpc.h"
#include "netmgmt/utf_text.h"
#include "support/samba_data.h"

using namespace netmgmt;
using namespace netmgmt::srvsvc;

namespace {

constexpr std::size_t kResponseHeader = 24;

std::string stub_of(const std::string& answer) {
    std::string stub;
    EXPECT_EQ(read_answer(answer, stub), kSuccess);
    return stub;
}

// The answer's stub sent again as fragments of at most `size` bytes each.
std::string refragmented(const std::string& answer, std::size_t size) {
    const std::string stub = stub_of(answer);
    std::string out;
    for (std::size_t at = 0; at < stub.size(); at += size) {
        std::string fragment = answer.substr(0, kResponseHeader);
        const std::string part = stub.substr(at, size);
        fragment[3] = static_cast<char>((at == 0 ? 1 : 0) | (at + size >= stub.size() ? 2 : 0));
        const std::size_t length = kResponseHeader + part.size();
        fragment[8] = static_cast<char>(length & 0xFF);
        fragment[9] = static_cast<char>(length >> 8);
        out += fragment + part;
    }
    return out;
}

std::uint32_t u32_at(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return v;
}

}  // namespace

TEST(SrvsvcRpcTest, CapturedBindAnswerAcceptsAndRefusalsAreTold) {
    const std::string ack = read_data("srvsvc_bind_answer.bin");
    EXPECT_EQ(read_bind_answer(ack), kSuccess);
    // The single result sits after the padded secondary address: a refusal
    // there (provider rejection) must not read as accepted.
    std::string refused = ack;
    refused[ack.size() - 24] = 2;
    EXPECT_EQ(read_bind_answer(refused), kNotSupported);
    std::string nak = ack;
    nak[2] = 13;
    EXPECT_EQ(read_bind_answer(nak), kNotSupported);
    EXPECT_EQ(read_bind_answer(ack.substr(0, ack.size() - 1)), kInvalidData);
    EXPECT_EQ(read_bind_answer(""), kInvalidData);
}

TEST(SrvsvcRpcTest, CapturedLevelOneListsEverySessionWithUserOpensAndTime) {
    SessionPage page;
    ASSERT_EQ(read_sessions(stub_of(read_data("srvsvc_sessions_level1.bin")), page), kSuccess);
    EXPECT_EQ(page.total, 4u);
    std::multiset<std::string> seen;
    for (const Session& s : page.sessions) {
        seen.insert(s.user + " " + s.client + " " + std::to_string(s.opens));
        EXPECT_EQ(s.seconds_idle, 0u);
    }
    EXPECT_EQ(seen, (std::multiset<std::string>{
                        "daemon 10.231.79.2 1", "bin 10.231.79.2 1", "bin 10.231.79.2 1", "root 10.231.79.1 0"}));
}

TEST(SrvsvcRpcTest, CapturedLevelZeroListsClientsOnly) {
    SessionPage page;
    ASSERT_EQ(read_sessions(stub_of(read_data("srvsvc_sessions_level0.bin")), page), kSuccess);
    std::multiset<std::string> seen;
    for (const Session& s : page.sessions) {
        seen.insert(s.client);
        EXPECT_TRUE(s.user.empty());
    }
    EXPECT_EQ(seen, (std::multiset<std::string>{"10.231.79.1", "10.231.79.2", "10.231.79.2", "10.231.79.2"}));
}

TEST(SrvsvcRpcTest, FragmentsAreJoinedAndAnIncompleteAnswerIsRefused) {
    const std::string whole = read_data("srvsvc_sessions_level1.bin");
    // Cuts that fall inside a string and inside an integer.
    for (std::size_t size : {7u, 64u, 101u}) {
        SessionPage page;
        ASSERT_EQ(read_sessions(stub_of(refragmented(whole, size)), page), kSuccess) << size;
        ASSERT_EQ(page.sessions.size(), 4u);
        EXPECT_EQ(page.sessions[3].client.substr(0, 9), "10.231.79");
    }
    const std::string split = refragmented(whole, 64);
    std::string stub;
    EXPECT_EQ(read_answer(split.substr(0, split.size() - 1), stub), kInvalidData);
    EXPECT_EQ(read_answer(split.substr(0, kResponseHeader + 64), stub), kInvalidData);
    EXPECT_EQ(read_answer(whole + whole, stub), kInvalidData);
}

TEST(SrvsvcRpcTest, EveryTruncatedOrInflatedStubIsInvalidData) {
    const std::string stub = stub_of(read_data("srvsvc_sessions_level1.bin"));
    for (std::size_t n = 0; n < stub.size(); ++n) {
        SessionPage page;
        EXPECT_EQ(read_sessions(stub.substr(0, n), page), kInvalidData) << n;
        EXPECT_TRUE(page.sessions.empty());
    }
    // A count far beyond the bytes must not make the reader allocate it.
    std::string inflated = stub;
    inflated[12] = inflated[13] = inflated[14] = '\x7f';
    SessionPage page;
    EXPECT_EQ(read_sessions(inflated, page), kInvalidData);
}

TEST(SrvsvcRpcTest, FaultsAndServerErrorsAreTheirCodes) {
    std::string fault = read_data("srvsvc_session_delete.bin");
    fault[2] = 3;
    fault[24] = 5;
    std::string stub;
    EXPECT_EQ(read_answer(fault, stub), kAccessDenied);
    // A WERROR in the stub's last word: access denied for a session list.
    std::string denied = stub_of(read_data("srvsvc_sessions_level1.bin"));
    denied[denied.size() - 4] = 5;
    SessionPage page;
    EXPECT_EQ(read_sessions(denied, page), kAccessDenied);
    EXPECT_TRUE(page.sessions.empty());
    EXPECT_EQ(read_session_delete(stub_of(read_data("srvsvc_session_delete.bin"))), kSuccess);
    EXPECT_EQ(read_session_delete(""), kInvalidData);
}

TEST(SrvsvcRpcTest, RequestsCarryOpnumLevelAndUtf16Texts) {
    const std::string enumerate = sessions_request(9, u8"服务器", 1, 77);
    EXPECT_EQ(fragment_length(enumerate), enumerate.size());
    EXPECT_EQ(enumerate[22], 12);  // opnum
    EXPECT_EQ(u32_at(enumerate, 16), enumerate.size() - kResponseHeader);
    EXPECT_EQ(u32_at(enumerate, enumerate.size() - 4), 77u);  // resume handle

    // "\\服务器" and its NUL: six UTF-16 units, then the two null pointers
    // and the level twice.
    const std::string unc = enumerate.substr(kResponseHeader);
    EXPECT_EQ(u32_at(unc, 4), 6u);
    EXPECT_EQ(u32_at(unc, 12), 6u);
    EXPECT_EQ(unc.substr(16, 12), std::string("\\\0\\\0\x0d\x67\xa1\x52\x68\x56\0\0", 12));
    EXPECT_EQ(u32_at(unc, 28), 0u);
    EXPECT_EQ(u32_at(unc, 32), 0u);
    EXPECT_EQ(u32_at(unc, 36), 1u);
    EXPECT_EQ(u32_at(unc, 40), 1u);

    // Every user: a null pointer, not an empty string.
    const std::string every = session_delete_request(1, "s", "10.0.0.5", "");
    EXPECT_EQ(every[22], 13);
    EXPECT_EQ(u32_at(every, every.size() - 4), 0u);
    EXPECT_GT(session_delete_request(1, "s", "10.0.0.5", "bin").size(), every.size());
}

TEST(UtfTextTest, SurrogatesAndBadBytesBecomeWhatTheyMean) {
    EXPECT_EQ(utf::utf8_to_utf16("a\xF0\x9F\x98\x80"), std::u16string(u"a\U0001F600"));
    EXPECT_EQ(utf::utf16_to_utf8(u"a\U0001F600"), "a\xF0\x9F\x98\x80");
    EXPECT_EQ(utf::utf16_to_utf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
    // An overlong form, a cut sequence and an encoded surrogate.
    EXPECT_EQ(utf::utf8_to_utf16("\xC0\xAF"), std::u16string(u"\uFFFD\uFFFD"));
    EXPECT_EQ(utf::utf8_to_utf16("\xE6\x9C"), std::u16string(u"\uFFFD\uFFFD"));
    EXPECT_EQ(utf::utf8_to_utf16("\xED\xA0\x80").front(), u'\uFFFD');
}
