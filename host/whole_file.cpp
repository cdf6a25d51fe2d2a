#include "whole_file.h"

namespace velumira {

std::string PendingNameOf(const std::string& path) {
    return path + ".new";
}

bool WriteWholeFile(FileStore& store, const std::string& path, std::initializer_list<Bytes> parts) {
    const std::string pending = PendingNameOf(path);
    if (store.create(pending)) {
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
