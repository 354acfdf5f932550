#include "netmgmt/remote_logon_win.h"

#include <windows.h>
#include <wincred.h>
#include <winnetwk.h>

namespace netmgmt {
namespace {

LPWSTR wide(std::u16string& text) { return reinterpret_cast<LPWSTR>(&text[0]); }

// One generic credential per server, named after it.
std::u16string target_of(const std::u16string& server) { return u"Filvane:" + server; }

}  // namespace

std::uint32_t log_on(const std::u16string& server, const std::u16string& user, const std::u16string& password) {
    std::u16string share = server + u"\\IPC$";
    std::u16string name = user, secret = password;
    // A second connection to one server under another name is refused
    // (1219): the old one goes first.
    WNetCancelConnection2W(wide(share), 0, TRUE);
    NETRESOURCEW resource{};
    resource.dwType = RESOURCETYPE_ANY;
    resource.lpRemoteName = wide(share);
    const DWORD status = WNetAddConnection2W(&resource, wide(secret), wide(name), 0);
    SecureZeroMemory(&secret[0], secret.size() * sizeof(char16_t));
    return status;
}

std::uint32_t remember_logon(const std::u16string& server, const std::u16string& user, const std::u16string& password) {
    std::u16string target = target_of(server), name = user, secret = password;
    CREDENTIALW credential{};
    credential.Type = CRED_TYPE_GENERIC;
    credential.TargetName = wide(target);
    credential.UserName = wide(name);
    credential.CredentialBlobSize = static_cast<DWORD>(secret.size() * sizeof(char16_t));
    credential.CredentialBlob = reinterpret_cast<LPBYTE>(&secret[0]);
    credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
    const std::uint32_t status = CredWriteW(&credential, 0) ? ERROR_SUCCESS : GetLastError();
    SecureZeroMemory(&secret[0], secret.size() * sizeof(char16_t));
    return status;
}

bool log_on_remembered(const std::u16string& server) {
    std::u16string target = target_of(server);
    PCREDENTIALW found = nullptr;
    if (!CredReadW(wide(target), CRED_TYPE_GENERIC, 0, &found))
        return false;
    std::u16string user = found->UserName ? reinterpret_cast<const char16_t*>(found->UserName) : u"";
    std::u16string password(
        reinterpret_cast<const char16_t*>(found->CredentialBlob), found->CredentialBlobSize / sizeof(char16_t));
    CredFree(found);
    const bool connected = log_on(server, user, password) == ERROR_SUCCESS;
    SecureZeroMemory(&password[0], password.size() * sizeof(char16_t));
    return connected;
}

}  // namespace netmgmt
