#include "monitors/process_user_win.h"

#include <windows.h>
#include <sddl.h>

namespace velumira {

std::vector<unsigned char> ProcessUserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> user(size);
    std::vector<unsigned char> sid;
    if (size && GetTokenInformation(token, TokenUser, user.data(), size, &size)) {
        PSID owned = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
        if (IsValidSid(owned)) {
            sid.resize(GetLengthSid(owned));
            CopySid(DWORD(sid.size()), sid.data(), owned);
        }
    }
    CloseHandle(token);
    return sid;
}

std::string ProcessUserSidText() {
    std::vector<unsigned char> sid = ProcessUserSid();
    char* text = nullptr;
    if (sid.empty() || !ConvertSidToStringSidA(sid.data(), &text)) return {};
    std::string result = text;
    LocalFree(text);
    return result;
}

} // namespace velumira
