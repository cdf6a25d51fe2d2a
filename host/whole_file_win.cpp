#include "whole_file_win.h"

#include "monitors/process_user_win.h"

#include <windows.h>
#include <sddl.h>

namespace velumira {

namespace {

// A read-only mark would keep an outdated file from being replaced or removed;
// the files written here are the program's own.
void AllowChanges(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
        !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        SetFileAttributesA(path.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
}

class WinFileStore : public FileStore {
  public:
    ~WinFileStore() override { close(); }

    std::string userSid() override { return ProcessUserSidText(); }

    bool create(const std::string& path, const std::string& access) override {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(access.c_str(), SDDL_REVISION_1,
                                                                  &descriptor, nullptr))
            return false;
        // Only a file that is made new takes the permissions it is given: an
        // old one opened over keeps its own. Whatever cannot be removed (held
        // open, another account's) makes the create fail.
        remove(path);
        SECURITY_ATTRIBUTES security = {sizeof security, descriptor, FALSE};
        file_ = CreateFileA(path.c_str(), GENERIC_WRITE, 0, &security, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
        LocalFree(descriptor);
        return file_ != INVALID_HANDLE_VALUE;
    }

    bool write(const Bytes& bytes) override {
        DWORD written = 0;
        return WriteFile(file_, bytes.data, bytes.size, &written, nullptr) && written == bytes.size;
    }

    bool close() override {
        if (file_ == INVALID_HANDLE_VALUE) return false;
        const bool closed = CloseHandle(file_) != FALSE;
        file_ = INVALID_HANDLE_VALUE;
        return closed;
    }

    bool move(const std::string& from, const std::string& to) override {
        AllowChanges(to);
        return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    }

    void remove(const std::string& path) override {
        AllowChanges(path);
        DeleteFileA(path.c_str());
    }

  private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
};

} // namespace

bool WriteWholeFile(const std::string& path, std::initializer_list<Bytes> parts) {
    WinFileStore store;
    return WriteWholeFile(store, path, parts);
}

void RemoveFile(const std::string& path) {
    WinFileStore().remove(path);
}

} // namespace velumira
