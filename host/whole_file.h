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
    // The user the files are written for, as SID text; empty when unknown.
    virtual std::string userSid() = 0;
    // Makes `path` a new, empty file open for writing, whose only permissions
    // are `access` (a security descriptor in the platform's SDDL text), even
    // where a file was at `path` before.
    virtual bool create(const std::string& path, const std::string& access) = 0;
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

// Permissions that let the user `sid` alone at a file: owned by that user, one
// entry granting it everything, none inherited from the folder.
std::string OwnerOnlyAccess(const std::string& sid);

// Writes `parts` one after another as the new content of `path`, a file only
// the store's user may open (OwnerOnlyAccess), from its first byte on. A reader
// finds either the whole new file or none: when any step fails, the
// half-written copy and the file that was at `path` before are both removed,
// so that nothing outdated can pass for the new content; with no user known
// nothing is written. True when the new file is in place.
bool WriteWholeFile(FileStore& store, const std::string& path, std::initializer_list<Bytes> parts);

} // namespace velumira
