#include "whole_file.h"

#include <gtest/gtest.h>

#include <map>

using namespace velumira;

namespace {

// Files as names and contents; each step can be told to fail.
struct FakeStore : FileStore {
    std::map<std::string, std::string> files;
    std::map<std::string, std::string> access; // what each file was created with
    std::string open;
    std::string user = "S-1-5-21-1004336348-1177238915-682003330-1001";
    bool failCreate = false, failClose = false, failMove = false;
    int failWriteAt = -1; // index of the write that fails
    size_t shortBy = 0;   // and how many of its bytes are lost
    int writes = 0;

    std::string userSid() override { return user; }
    bool create(const std::string& path, const std::string& permissions) override {
        if (failCreate) return false;
        files[path].clear();
        access[path] = permissions;
        open = path;
        return true;
    }
    bool write(const Bytes& b) override {
        const bool fails = writes++ == failWriteAt;
        const size_t kept = fails ? b.size - shortBy : b.size;
        files[open].append(static_cast<const char*>(b.data), kept);
        return !fails;
    }
    bool close() override {
        open.clear();
        return !failClose;
    }
    bool move(const std::string& from, const std::string& to) override {
        if (failMove) return false;
        files[to] = files[from];
        files.erase(from);
        access[to] = access[from];
        access.erase(from);
        return true;
    }
    void remove(const std::string& path) override { files.erase(path); }
};

const std::string kPath = "C:\\r_quil\\Velumira.bmp";

bool Write(FakeStore& store) {
    static const char head[] = "BM", body[] = "pixels";
    return WriteWholeFile(store, kPath, {{head, 2}, {body, 6}});
}

TEST(WholeFile, NewContentReplacesTheOldAndNothingElseStays) {
    FakeStore store;
    store.files[kPath] = "last run's desktop, longer than the new one";
    EXPECT_TRUE(Write(store));
    EXPECT_EQ(store.files, (std::map<std::string, std::string>{{kPath, "BMpixels"}}));
    EXPECT_EQ(PendingNameOf(kPath), kPath + ".new"); // same folder: a rename, not a copy
    // Owned by the user, one entry for the user alone, protected (P) from the
    // folder's entries: the temporary copy is private from its creation on.
    EXPECT_EQ(store.access[kPath], "O:" + store.user + "D:P(A;;FA;;;" + store.user + ")");
}

TEST(WholeFile, EveryFailedStepLeavesNeitherTheOldNorAHalfFile) {
    const std::pair<const char*, void (*)(FakeStore&)> failures[] = {
        {"create", [](FakeStore& s) { s.failCreate = true; }},
        {"no user to make it private for", [](FakeStore& s) { s.user.clear(); }},
        {"first write", [](FakeStore& s) { s.failWriteAt = 0; }},
        {"short last write", [](FakeStore& s) { s.failWriteAt = 1, s.shortBy = 3; }},
        {"close", [](FakeStore& s) { s.failClose = true; }},
        {"move", [](FakeStore& s) { s.failMove = true; }},
    };
    for (const auto& [step, fail] : failures) {
        FakeStore store;
        store.files[kPath] = "last run's desktop";
        store.files["C:\\r_quil\\other.txt"] = "kept";
        fail(store);
        EXPECT_FALSE(Write(store)) << step;
        EXPECT_EQ(store.files.size(), 1u) << step;
        EXPECT_EQ(store.files.count("C:\\r_quil\\other.txt"), 1u) << step;
        EXPECT_TRUE(store.open.empty()) << step << ": left open";
    }
}

} // namespace
