// A backend for a build without a source of share data: every question is
// answered "not supported", never with invented rows.
#include "netmgmt/net_management.h"

namespace netmgmt {
namespace {

class Unsupported : public NetManagement {
public:
    Reply<ShareInfo> enum_shares(std::uint32_t, std::uint32_t&) override { return {kNotSupported, {}}; }
    Reply<SessionInfo> enum_sessions(std::uint32_t, std::uint32_t&) override { return {kNotSupported, {}}; }
    Reply<OpenFileInfo> enum_open_files(std::uint32_t, std::uint32_t&) override { return {kNotSupported, {}}; }
    std::uint32_t close_open_file(std::uint32_t) override { return kNotSupported; }
};

}  // namespace

std::unique_ptr<NetManagement> make_system_net_management() { return std::make_unique<Unsupported>(); }

}  // namespace netmgmt
