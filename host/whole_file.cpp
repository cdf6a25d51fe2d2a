#include "whole_file.h"

namespace velumira {

std::string PendingNameOf(const std::string& path) {
    return path + ".new";
}

std::string OwnerOnlyAccess(const std::string& sid) {
    // Owned by the user even where an administrator's files go to the
    // Administrators group; P: the folder's entries are not inherited; FA: all
    // access.
    return "O:" + sid + "D:P(A;;FA;;;" + sid + ")";
}

bool WriteWholeFile(FileStore& store, const std::string& path, std::initializer_list<Bytes> parts) {
    const std::string pending = PendingNameOf(path);
    // A file whose user is unknown could only get the folder's permissions.
    const std::string user = store.userSid();
    if (!user.empty() && store.create(pending, OwnerOnlyAccess(user))) {
        bool written = true;
        for (const Bytes& part : parts) {
            written = store.write(part);
            if (!written) break;
        }
        // Closed whatever happened, so that the pending file can be removed.
        written = store.close() && written;
        if (written && store.move(pending, path)) return true;
    }
    store.remove(pending);
    store.remove(path);
    return false;
}

} // namespace velumira
