#include "netmgmt/srvsvc_rpc.h"

#include <stdexcept>

#include "netmgmt/net_management.h"
#include "netmgmt/utf_text.h"

namespace netmgmt {
namespace srvsvc {
namespace {

enum PacketType : std::uint8_t { kRequest = 0, kResponse = 2, kFault = 3, kBind = 11, kBindAck = 12, kBindNak = 13 };
enum : std::uint8_t { kFirstFragment = 0x01, kLastFragment = 0x02 };
enum : std::uint16_t { kSessionEnum = 12, kSessionDelete = 13 };
constexpr std::size_t kRequestHeaderSize = 24;
// Little-endian integers, ASCII, IEEE floating point.
constexpr std::uint8_t kLittleEndian = 0x10;

struct Syntax {
    std::uint8_t uuid[16];
    std::uint16_t major;
    std::uint16_t minor;
};
// 4b324fc8-1670-01d3-1278-5a47bf6ee188 v3.0, already in wire order.
constexpr Syntax kSrvsvc = {
    {0xc8, 0x4f, 0x32, 0x4b, 0x70, 0x16, 0xd3, 0x01, 0x12, 0x78, 0x5a, 0x47, 0xbf, 0x6e, 0xe1, 0x88}, 3, 0};
// 8a885d04-1ceb-11c9-9fe8-08002b104860 v2.0: NDR.
constexpr Syntax kNdr = {
    {0x04, 0x5d, 0x88, 0x8a, 0xeb, 0x1c, 0xc9, 0x11, 0x9f, 0xe8, 0x08, 0x00, 0x2b, 0x10, 0x48, 0x60}, 2, 0};

class Writer {
public:
    void u8(std::uint8_t v) { out_ += static_cast<char>(v); }
    void u16(std::uint16_t v) {
        align(2);
        u8(static_cast<std::uint8_t>(v));
        u8(static_cast<std::uint8_t>(v >> 8));
    }
    void u32(std::uint32_t v) {
        align(4);
        u16(static_cast<std::uint16_t>(v));
        u16(static_cast<std::uint16_t>(v >> 16));
    }
    void syntax(const Syntax& s) {
        out_.append(reinterpret_cast<const char*>(s.uuid), sizeof s.uuid);
        u16(s.major);
        u16(s.minor);
    }
    // A [unique, string] UTF-16 pointer whose text follows at once, as a
    // call's own parameters are written; a null pointer when `text` is empty.
    void unique_string(const std::string& text) {
        if (text.empty()) {
            u32(0);
            return;
        }
        u32(next_referent_++);
        std::u16string wide = utf::utf8_to_utf16(text);
        wide += u'\0';
        const auto count = static_cast<std::uint32_t>(wide.size());
        u32(count);
        u32(0);
        u32(count);
        for (char16_t c : wide)
            u16(c);
    }
    std::uint32_t referent() { return next_referent_++; }
    void align(std::size_t to) {
        while (out_.size() % to != 0)
            out_ += '\0';
    }
    std::string& bytes() { return out_; }

private:
    std::string out_;
    std::uint32_t next_referent_ = 0x00020000;
};

// Reads an answer's bytes; running past their end throws, which the callers
// turn into kInvalidData.
class Reader {
public:
    explicit Reader(const std::string& in, std::size_t pos = 0) : in_(in), pos_(pos) {}

    std::uint8_t u8() {
        need(1);
        return static_cast<std::uint8_t>(in_[pos_++]);
    }
    std::uint16_t u16() {
        align(2);
        const std::uint16_t low = u8();
        return static_cast<std::uint16_t>(low | u8() << 8);
    }
    std::uint32_t u32() {
        align(4);
        const std::uint32_t low = u16();
        return low | static_cast<std::uint32_t>(u16()) << 16;
    }
    void skip(std::size_t n) {
        need(n);
        pos_ += n;
    }
    void align(std::size_t to) { skip((to - pos_ % to) % to); }
    // A conformant varying UTF-16 string; its terminating NUL dropped.
    std::string string() {
        const std::uint32_t max = u32();
        const std::uint32_t offset = u32();
        const std::uint32_t actual = u32();
        if (offset != 0 || actual > max)
            throw std::runtime_error("bad string bounds");
        need(std::size_t{actual} * 2);
        std::u16string wide;
        wide.reserve(actual);
        for (std::uint32_t i = 0; i < actual; ++i)
            wide += static_cast<char16_t>(u16());
        while (!wide.empty() && wide.back() == u'\0')
            wide.pop_back();
        return utf::utf16_to_utf8(wide);
    }
    std::size_t left() const { return in_.size() - pos_; }

private:
    void need(std::size_t n) const {
        if (n > in_.size() - pos_)
            throw std::runtime_error("answer too short");
    }

    const std::string& in_;
    std::size_t pos_;
};

void write_header(Writer& w, PacketType type, std::uint32_t call_id) {
    w.u8(5);
    w.u8(0);
    w.u8(type);
    w.u8(kFirstFragment | kLastFragment);
    w.u8(kLittleEndian);
    w.u8(0);
    w.u8(0);
    w.u8(0);
    w.u16(0);  // fragment length, set when the packet is complete
    w.u16(0);
    w.u32(call_id);
}

std::string finished(Writer& w) {
    std::string& b = w.bytes();
    b[8] = static_cast<char>(b.size() & 0xFF);
    b[9] = static_cast<char>(b.size() >> 8);
    return b;
}

std::string request(std::uint32_t call_id, std::uint16_t opnum, const std::string& stub) {
    Writer w;
    write_header(w, kRequest, call_id);
    w.u32(static_cast<std::uint32_t>(stub.size()));
    w.u16(0);  // presentation context
    w.u16(opnum);
    w.bytes() += stub;
    return finished(w);
}

std::string unc(const std::string& server) { return "\\\\" + server; }

template <class Read>
std::uint32_t guarded(Read read) {
    try {
        return read();
    } catch (const std::exception&) {
        return kInvalidData;
    }
}

}  // namespace

std::string bind_request(std::uint32_t call_id) {
    Writer w;
    write_header(w, kBind, call_id);
    w.u16(kMaxFragment);
    w.u16(kMaxFragment);
    w.u32(0);  // a new association group
    w.u8(1);   // one presentation context
    w.u8(0);
    w.u16(0);
    w.u16(0);  // its id
    w.u8(1);   // one transfer syntax
    w.u8(0);
    w.syntax(kSrvsvc);
    w.syntax(kNdr);
    return finished(w);
}

std::size_t fragment_length(const std::string& header) {
    if (header.size() < kHeaderSize)
        return 0;
    return static_cast<unsigned char>(header[8]) | static_cast<std::size_t>(static_cast<unsigned char>(header[9])) << 8;
}

bool last_fragment(const std::string& header) {
    return header.size() >= kHeaderSize && (static_cast<unsigned char>(header[3]) & kLastFragment) != 0;
}

std::uint32_t read_bind_answer(const std::string& pdu) {
    return guarded([&]() -> std::uint32_t {
        Reader r(pdu);
        if (r.u8() != 5 || pdu.size() < kHeaderSize || fragment_length(pdu) != pdu.size())
            return kInvalidData;
        r.u8();
        const std::uint8_t type = r.u8();
        if (type == kBindNak)
            return kNotSupported;
        if (type == kFault) {
            Reader fault(pdu, kRequestHeaderSize);
            return fault.u32();
        }
        if (type != kBindAck)
            return kInvalidData;
        Reader ack(pdu, kHeaderSize);
        ack.u16();  // the server's fragment sizes and association group
        ack.u16();
        ack.u32();
        const std::uint16_t address_length = ack.u16();
        ack.skip(address_length);
        ack.align(4);
        if (ack.u8() < 1)
            return kInvalidData;
        ack.skip(3);
        // 0: accepted; a refusal says so in its reason.
        return ack.u16() == 0 ? kSuccess : kNotSupported;
    });
}

std::string sessions_request(std::uint32_t call_id, const std::string& server, std::uint32_t level,
                             std::uint32_t resume) {
    Writer w;
    w.unique_string(unc(server));
    w.unique_string({});  // every client
    w.unique_string({});  // every user
    w.u32(level);
    w.u32(level);  // the container's union arm
    w.u32(w.referent());
    w.u32(0);  // an empty container: no entries, a null array
    w.u32(0);
    w.u32(0xFFFFFFFF);  // as many as the server gives
    w.u32(w.referent());
    w.u32(resume);
    return request(call_id, kSessionEnum, w.bytes());
}

std::string session_delete_request(std::uint32_t call_id, const std::string& server, const std::string& client,
                                   const std::string& user) {
    Writer w;
    w.unique_string(unc(server));
    w.unique_string(client);
    w.unique_string(user);
    return request(call_id, kSessionDelete, w.bytes());
}

std::uint32_t read_answer(const std::string& fragments, std::string& stub) {
    return guarded([&]() -> std::uint32_t {
        std::string joined;
        for (std::size_t at = 0; at < fragments.size();) {
            const std::string header = fragments.substr(at, kHeaderSize);
            const std::size_t length = fragment_length(header);
            const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(header[i]); };
            if (length == 0 || byte(0) != 5 || (byte(4) & 0xF0) != kLittleEndian)
                return kInvalidData;
            const std::uint8_t type = byte(2);
            const std::size_t auth = byte(10) | static_cast<std::size_t>(byte(11)) << 8;
            const std::size_t trailer = auth == 0 ? 0 : auth + 8;
            if (length < kRequestHeaderSize + trailer || length > fragments.size() - at)
                return kInvalidData;
            if (type == kFault) {
                const std::uint32_t code = Reader(fragments.substr(at + kRequestHeaderSize, 4)).u32();
                return code == 0 ? kInvalidData : code;
            }
            if (type != kResponse)
                return kInvalidData;
            joined.append(fragments, at + kRequestHeaderSize, length - kRequestHeaderSize - trailer);
            at += length;
            if (last_fragment(header)) {
                if (at != fragments.size())
                    return kInvalidData;
                stub = std::move(joined);
                return kSuccess;
            }
        }
        return kInvalidData;  // the last fragment never came
    });
}

std::uint32_t read_sessions(const std::string& stub, SessionPage& out) {
    return guarded([&]() -> std::uint32_t {
        Reader r(stub);
        SessionPage page;
        const std::uint32_t level = r.u32();
        if (r.u32() != level || (level != 0 && level != 1))
            return kInvalidData;
        if (r.u32() != 0) {
            const std::uint32_t count = r.u32();
            if (r.u32() != 0) {
                const std::uint32_t max = r.u32();
                // Each entry takes 4 bytes at least: a count larger than
                // what is left cannot be true.
                if (max < count || count > r.left() / 4)
                    return kInvalidData;
                struct Pointers {
                    bool client;
                    bool user;
                };
                std::vector<Pointers> pointers(count);
                page.sessions.resize(count);
                for (std::uint32_t i = 0; i < count; ++i) {
                    Session& s = page.sessions[i];
                    pointers[i].client = r.u32() != 0;
                    pointers[i].user = false;
                    if (level == 1) {
                        pointers[i].user = r.u32() != 0;
                        s.opens = r.u32();
                        s.seconds_connected = r.u32();
                        s.seconds_idle = r.u32();
                        r.u32();  // user flags
                    }
                }
                for (std::uint32_t i = 0; i < count; ++i) {
                    if (pointers[i].client)
                        page.sessions[i].client = r.string();
                    if (pointers[i].user)
                        page.sessions[i].user = r.string();
                }
            } else if (count != 0) {
                return kInvalidData;
            }
        }
        page.total = r.u32();
        if (r.u32() != 0)
            page.resume = r.u32();
        const std::uint32_t result = r.u32();
        if (result == kSuccess || result == kMoreData)
            out = std::move(page);
        return result;
    });
}

std::uint32_t read_session_delete(const std::string& stub) {
    return guarded([&] { return Reader(stub).u32(); });
}

}  // namespace srvsvc
}  // namespace netmgmt
