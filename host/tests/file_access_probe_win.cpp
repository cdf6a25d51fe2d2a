// Test fixture only: who may open a file, as the platform's security calls
// read it back:
//   file_access_probe <path>
// prints "user=<this process's user> <owner and DACL in SDDL>", for example
// "user=S-1-5-21-... O:S-1-5-21-...D:P(A;;FA;;;S-1-5-21-...)"; exit 1 when
// the file's security cannot be read.
#include "monitors/process_user_win.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const SECURITY_INFORMATION what = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    char* text = nullptr;
    DWORD error = GetNamedSecurityInfoA(argv[1], SE_FILE_OBJECT, what, nullptr, nullptr, nullptr,
                                        nullptr, &descriptor);
    if (!error && !ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1,
                                                                        what, &text, nullptr))
        error = GetLastError();
    if (error) {
        std::printf("unreadable %lu\n", error);
        return 1;
    }
    std::printf("user=%s %s\n", velumira::ProcessUserSidText().c_str(), text);
    LocalFree(text);
    LocalFree(descriptor);
    return 0;
}
