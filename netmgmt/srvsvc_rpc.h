// The srvsvc session calls Samba's public libraries lack (NetSessEnum,
// NetSessDel), as DCE/RPC packets for the \PIPE\srvsvc named pipe: the bind,
// the requests and the reading of their answers. Portable: the pipe itself
// is the caller's. Texts are UTF-8; on the wire they are UTF-16LE.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace netmgmt {
namespace srvsvc {

// The largest fragment each side sends, as the bind offers it.
constexpr std::uint16_t kMaxFragment = 4280;

// One session as NetSessEnum lists it (level 0 fills the client alone).
struct Session {
    std::string client;  // as the server names it: Samba gives the IP address
    std::string user;
    std::uint32_t opens = 0;
    std::uint32_t seconds_connected = 0;
    std::uint32_t seconds_idle = 0;
};

// A bind to srvsvc 3.0 with the NDR transfer syntax.
std::string bind_request(std::uint32_t call_id);
// kSuccess when `pdu` accepts the bind; otherwise the refusal's code.
std::uint32_t read_bind_answer(const std::string& pdu);

// NetSessEnum (opnum 12) of every session at `level` (0 or 1), from `resume`.
std::string sessions_request(std::uint32_t call_id, const std::string& server, std::uint32_t level,
                             std::uint32_t resume);
// NetSessDel (opnum 13): the sessions of `user` (every user when empty) from
// `client`.
std::string session_delete_request(std::uint32_t call_id, const std::string& server, const std::string& client,
                                   const std::string& user);

// The fields of a fragment's first 16 bytes a reader of the pipe needs.
constexpr std::size_t kHeaderSize = 16;
std::size_t fragment_length(const std::string& header);
bool last_fragment(const std::string& header);

// The stub data of an answer, its fragments joined: kSuccess, the fault's
// code, or kInvalidData for bytes that are no answer.
std::uint32_t read_answer(const std::string& fragments, std::string& stub);

struct SessionPage {
    std::vector<Session> sessions;
    std::uint32_t total = 0;
    std::uint32_t resume = 0;
};

// The stub of a NetSessEnum answer: kSuccess or kMoreData with the page, the
// server's own error otherwise; kInvalidData when it does not read.
std::uint32_t read_sessions(const std::string& stub, SessionPage& out);
// The stub of a NetSessDel answer: the server's result.
std::uint32_t read_session_delete(const std::string& stub);

}  // namespace srvsvc
}  // namespace netmgmt
