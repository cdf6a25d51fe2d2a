#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

namespace velumira {

struct Bytes {
    const void* data;
    uint32_t size;
};

// What writing a file in one step needs of the file system.
class FileStore {
  public:
    virtual ~FileStore() = default;
    // Makes `path` a new, empty file open for writing.
    virtual bool create(const std::string& path) = 0;
    // Appends to the file create opened; false unless every byte went.
    virtual bool write(const Bytes& bytes) = 0;
    // Closes that file; false when its content may be incomplete.
    virtual bool close() = 0;
    // Puts `from` in place of `to` in one step, replacing any file there.
    virtual bool move(const std::string& from, const std::string& to) = 0;
    // Removes the file `path` if there is one.
    virtual void remove(const std::string& path) = 0;
};

// Where a new `path` is written before it takes that name: in the same folder,
// so that taking the name is a rename, never a copy.
std::string PendingNameOf(const std::string& path);

// Writes `parts` one after another as the new content of `path`. A reader finds
// either the whole new file or none: when any step fails, the half-written copy
// and the file that was at `path` before are both removed, so that nothing
// outdated can pass for the new content. True when the new file is in place.
bool WriteWholeFile(FileStore& store, const std::string& path, std::initializer_list<Bytes> parts);

} // namespace velumira
