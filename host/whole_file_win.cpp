#include "whole_file_win.h"

#include <windows.h>

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

    bool create(const std::string& path) override {
        AllowChanges(path);
        file_ = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
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
