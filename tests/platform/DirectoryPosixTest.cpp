// What only a POSIX tree can hold: links, FIFOs, mounts, owner write bits,
// dot names and stored DOS attributes.

#include "platform/Directory.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <linux/seccomp.h>
#include <map>
#include <pwd.h>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "DirectoryFixture.h"
#include "platform/EntryInfo_posix.h"
#include "platform/FileIo.h"
#include "platform/FileSystems_posix.h"
#include "platform/InstanceGuard.h"
#include "platform/PublishedFile.h"
#include "support/InChild.h"
#include "support/PosixFiles.h"
#include "support/ScopedMount.h"

namespace {

// Set by a test: listings leave every entry's type out, as some file systems
// do, and the entry of this name is removed before it is classified.
std::atomic<bool> typesLeftOut{false};
std::string goneAfterListing;

}  // namespace

// Every listing of this program passes here on its way from the kernel.
extern "C" ssize_t getdents64(int fd, void* buffer, size_t size) noexcept {
    const ssize_t got = syscall(SYS_getdents64, fd, buffer, size);
    for (ssize_t at = 0; typesLeftOut && at < got;) {
        auto* entry = reinterpret_cast<dirent64*>(static_cast<char*>(buffer) + at);
        entry->d_type = DT_UNKNOWN;
        if (entry->d_name == goneAfterListing) unlinkat(fd, entry->d_name, 0);
        at += entry->d_reclen;
    }
    return got;
}

namespace {

using namespace dirtest;

// Stands in for a kernel or sandbox without getxattrat (464 on the
// architectures built for).
constexpr uint32_t GetXattrAtCall = 464;
bool RefuseGetXattrAt(uint32_t action) { return RefuseCall(GetXattrAtCall, action); }

// Another user's link is never looked through: whether it leads to a
// directory she may not search must not show in how it is listed.
TEST_F(DirectoryTest, ListsEveryKindAndTellsOwnLinksToDirectoriesApart) {
    fs::create_symlink(tree / "outside", tree / "root/dirlink");
    fs::create_symlink("../outside", tree / "root/relative");
    fs::create_symlink(".", tree / "root/dot");  // a target of one byte
    fs::create_symlink(tree / "outside/target.txt", tree / "root/filelink");
    fs::create_symlink(tree / "nowhere", tree / "root/dangling");
    fs::create_symlink(tree / "outside", tree / "root/theirs");
    const bool other = lchown((tree / "root/theirs").c_str(), Nobody, Nobody) == 0;
    ASSERT_EQ(mkfifo((tree / "root/pipe").c_str(), 0600), 0);

    std::map<std::string, Seen> expected = {
        {"plain.txt", {EntryKind::File, false}}, {"sub", {EntryKind::Directory, false}},
        {"filelink", {EntryKind::File, true}},   {"dangling", {EntryKind::File, true}},
        {"pipe", {EntryKind::Special, false}},   {"dirlink", {EntryKind::DirectoryLink, true}},
        {"relative", {EntryKind::DirectoryLink, true}},  {"dot", {EntryKind::DirectoryLink, true}},
        {"theirs", {other ? EntryKind::File : EntryKind::DirectoryLink, true}},
    };
    // With the types listed; without them, each entry is examined; without
    // them and with an entry gone meanwhile, that one is passed over.
    const struct {
        bool typesLeftOut;
        const char* gone;
    } listings[] = {{false, ""}, {true, ""}, {true, "pipe"}};
    const struct Restore {
        ~Restore() { typesLeftOut = false; }
    } restore;
    for (const auto& l : listings) {
        typesLeftOut = l.typesLeftOut;
        goneAfterListing = l.gone;
        Directory dir;
        ASSERT_EQ(dir.Open(Root().c_str()), OpenResult::Listed);
        expected.erase(l.gone);
        EXPECT_EQ(ListAll(dir), expected) << l.typesLeftOut << l.gone;
    }
}

// A directory not opened for the limit on open files says so, rather than
// passing for one that cannot be read.
TEST_F(DirectoryTest, LimitOnOpenFilesIsToldApart) {
    const std::string seen = RunInChild([this] {
        Directory root;
        if (root.Open(Root().c_str()) != OpenResult::Listed) return std::string("root not listed");
        const int lowest = dup(0);
        close(lowest);
        rlimit saved;
        getrlimit(RLIMIT_NOFILE, &saved);
        const rlimit limit{static_cast<rlim_t>(lowest), saved.rlim_max};
        if (setrlimit(RLIMIT_NOFILE, &limit) != 0) return std::string("cannot limit");
        Directory child;
        const OpenResult opened = child.Open(root, "sub");
        // The sanitizers' own checks need a descriptor now and then.
        setrlimit(RLIMIT_NOFILE, &saved);
        return std::string(opened == OpenResult::NoRoom ? "no room" : "other");
    });
    EXPECT_EQ(seen, "no room");
}

// The way to a root is followed name by name, links only where nobody but
// their directory's owner (or root) could have put them, and never from a
// directory another user owns into a link or a directory that is not theirs. "uploads" belongs
// to another user, "sticky" is root's and open to all, as /tmp is.
TEST_F(DirectoryTest, RootIsReachedOnlyThroughWhatNoOtherUserCouldRedirect) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act for another user";
    const fs::path uploads = tree / "uploads", sticky = tree / "sticky";
    fs::create_directories(uploads / "own");
    fs::create_directories(uploads / "roots");
    fs::create_directories(sticky);
    fs::permissions(sticky, fs::perms::all | fs::perms::sticky_bit);
    auto link = [](const fs::path& target, const fs::path& at, uid_t owner) {
        fs::create_symlink(target, at);
        EXPECT_EQ(lchown(at.c_str(), owner, owner), 0);
    };
    link(tree / "root", tree / "adminlink", 0);
    link("root", tree / "relative", 0);
    link("loop", tree / "loop", 0);
    link("../root", uploads / "cache", Nobody);
    link(tree / "root", uploads / "absolute", Nobody);
    link("own", uploads / "ownlink", Nobody);
    link("../root", sticky / "planted", Nobody);
    // An administrator's links that the other user moved into her folder.
    link(tree / "root", uploads / "moved", 0);
    link("own", uploads / "movedown", 0);
    for (const fs::path& dir : {uploads, uploads / "own"}) ASSERT_EQ(chown(dir.c_str(), Nobody, Nobody), 0);
    using Reason = platform::WayRefusal::Reason;
    const struct {
        fs::path root;
        OpenResult result;
        Reason reason;
        fs::path at;  // where the refusal is named
    } cases[] = {
        {tree / "adminlink", OpenResult::Listed, {}, {}},
        {tree / "relative", OpenResult::Listed, {}, {}},
        {uploads / "own", OpenResult::Listed, {}, {}},
        {uploads / "ownlink", OpenResult::Listed, {}, {}},
        {uploads / "cache", OpenResult::Refused, Reason::UnsafeTransition, tree.Path()},
        {uploads / "absolute", OpenResult::Refused, Reason::UnsafeTransition, uploads / "absolute"},
        {uploads / "moved", OpenResult::Refused, Reason::UnsafeTransition, uploads / "moved"},
        {uploads / "movedown", OpenResult::Refused, Reason::UnsafeTransition, uploads / "movedown"},
        {uploads / "roots", OpenResult::Refused, Reason::UnsafeTransition, uploads / "roots"},
        {sticky / "planted", OpenResult::Refused, Reason::ForeignLink, sticky / "planted"},
        {tree / "loop", OpenResult::Refused, Reason::TooManyLinks, tree / "loop"},
        {tree / "loop" / "x", OpenResult::Refused, Reason::TooManyLinks, tree / "loop"},
    };
    for (const auto& c : cases) {
        Directory dir;
        platform::WayRefusal refusal;
        EXPECT_EQ(dir.Open(c.root.c_str(), &refusal), c.result) << c.root;
        if (c.result != OpenResult::Refused) continue;
        EXPECT_EQ(refusal.reason, c.reason) << c.root;
        EXPECT_EQ(refusal.component, c.at.string()) << c.root;
    }
}

TEST_F(DirectoryTest, LinkToADirectoryIsNotEntered) {
    fs::create_symlink(tree / "outside", tree / "root/dirlink");
    Directory root;
    ASSERT_EQ(root.Open(Root().c_str()), OpenResult::Listed);
    Directory child;
    EXPECT_EQ(child.Open(root, "dirlink"), OpenResult::NotEntered);
}

TEST_F(DirectoryTest, AnotherMountIsNotEntered) {
    // A bind mount of the same file system has the same device number.
    ScopedMount tmpfs("none", tree / "root/tmpfs", "tmpfs", 0);
    ScopedMount bind((tree / "outside").c_str(), tree / "root/bind", nullptr, MS_BIND);
    if (!tmpfs.mounted || !bind.mounted) GTEST_SKIP() << "cannot mount here";
    Directory root;
    ASSERT_EQ(root.Open(Root().c_str()), OpenResult::Listed);
    for (const char* name : {"tmpfs", "bind"}) {
        Directory child;
        EXPECT_EQ(child.Open(root, name), OpenResult::NotEntered) << name;
    }
}

// Shares and daemons are told from local disks by the file system's kind.
TEST_F(DirectoryTest, RemoteFileSystemsAreToldApart) {
    const struct {
        uint32_t type;
        bool remote;
    } cases[] = {{0x6969, true}, {0xFE534D42, true}, {0xFF534D42, true}, {0x65735546, true},
                 {0x01021997, true}, {0xEF53, false}, {0x01021994, false}, {0x58465342, false}};
    for (const auto& c : cases) EXPECT_EQ(platform::IsRemoteFileSystem(c.type), c.remote) << std::hex << c.type;
    Directory root;
    ASSERT_EQ(root.Open(Root().c_str()), OpenResult::Listed);
    EXPECT_FALSE(root.Remote());
}

// A scheduler may start the program with standard input closed: descriptor 0
// is then an ordinary one, which each facility may be handed, must use like
// any other and closes again. Each case frees it just before its call.
TEST_F(DirectoryTest, DescriptorZeroIsUsedAndClosedLikeAnyOther) {
    ScopedMount tmpfs("none", tree / "root/tmpfs", "tmpfs", 0);
    if (!tmpfs.mounted) GTEST_SKIP() << "cannot mount here";
    tree.Write("root/sub/deeper/file", "x");
    const fs::path hidden = tree.Write("root/sub/hidden.log", "x");
    if (!SetDosAttrib(hidden, "0x2")) GTEST_SKIP() << "no user xattrs here";
    // The guard's places: /run as given (its own, or open to others) and an
    // empty home to fall back on.
    auto guard = [](const char* runMode) {
        const passwd* user = getpwuid(geteuid());
        if (!PrivateMounts() || mount("none", "/run", "tmpfs", 0, runMode) != 0 || !user ||
            mount("none", user->pw_dir, "tmpfs", 0, "mode=700") != 0)
            return std::string("cannot mount");
        close(0);
        platform::InstanceGuard held("VORNTest-zero");
        return std::string(held.Acquire(0) == platform::InstanceGuard::Result::Acquired ? "" : "not acquired");
    };
    const struct {
        const char* what;
        std::function<std::string()> use;
    } cases[] = {
        {"a directory refused after it was opened", [this] {
             Directory root;
             if (root.Open(Root().c_str()) != OpenResult::Listed) return std::string("root not listed");
             close(0);
             Directory child;
             if (child.Open(root, "tmpfs") != OpenResult::NotEntered) return std::string("entered");
             return std::string(fcntl(0, F_GETFD) == -1 ? "not on descriptor 0" : "");
         }},
        {"a subdirectory entered", [this] {
             Directory root;
             if (root.Open(Root().c_str()) != OpenResult::Listed) return std::string("root not listed");
             close(0);
             Directory child;
             return std::string(child.Open(root, "sub") == OpenResult::Listed ? "" : "not listed");
         }},
        {"a file asked whether it may be written", [this] {
             close(0);
             return std::string(platform::IsWritable((tree / "root/plain.txt").c_str()) ? "" : "not writable");
         }},
        {"a root reached through folders", [this] {
             close(0);
             Directory deeper;
             const bool listed = deeper.Open((tree / "root/sub/deeper").c_str()) == OpenResult::Listed;
             return std::string(listed ? "" : "not listed");
         }},
        {"a root refused on its way", [this] {
             // The third step's descriptor is 0: the walk's first one closed again.
             fs::create_directories(tree / "root/sub/foreign/own");
             if (chown((tree / "root/sub/foreign").c_str(), Nobody, Nobody) != 0 || chdir(Root().c_str()) != 0)
                 return std::string("cannot prepare");
             close(0);
             Directory refused;
             return std::string(refused.Open("sub/foreign/own") == OpenResult::Refused ? "" : "not refused");
         }},
        {"a replaced file's directory made durable", [this] {
             const fs::path from = tree.Write("root/new.ini", "new");
             close(0);
             const bool moved = platform::MoveFileOver(from.c_str(), (tree / "root/vorn.ini").c_str());
             return std::string(moved ? "" : "not moved");
         }},
        {"stored attributes read by opening the file", [this] {
             const int dir = open((tree / "root/sub").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
             if (!RefuseGetXattrAt(SECCOMP_RET_ERRNO | ENOSYS)) return std::string("cannot filter");
             close(0);
             platform::EntryInfo info;
             const bool asked =
                 platform::AskEntryInfo(dir, "hidden.log", false, platform::AttributesUnknown, false, info);
             close(dir);
             return std::string(asked && info.attributes == platform::AttributeHidden ? "" : "not read");
         }},
        {"a publication beside a stale error number", [this] {
             close(0);
             errno = EEXIST;
             const platform::PublishResult published = platform::PublishFile(Root(), "vorn.prom", "metrics\n");
             return std::string(published == platform::PublishResult::Published ? "" : "not published");
         }},
        {"the guard in its own place", [&] { return guard("mode=755"); }},
        {"the guard beside a place open to others", [&] { return guard("mode=775"); }},
    };
    for (const auto& c : cases) {
        const std::string seen = RunInChild([&] {
            const std::string failed = c.use();
            return failed + (fcntl(0, F_GETFD) == -1 ? "" : " left open");
        });
        EXPECT_EQ(seen, "") << c.what;
    }
}

TEST_F(DirectoryTest, DeletesLinksNotTargets) {
    fs::create_symlink(tree / "outside/target.txt", tree / "root/filelink");
    Directory root;
    ASSERT_EQ(root.Open(Root().c_str()), OpenResult::Listed);
    DirEntry entry;
    ASSERT_TRUE(FindEntry(root, "filelink", entry));
    EXPECT_EQ(root.DeleteEntry(entry), RemoveResult::Removed);
    EXPECT_FALSE(fs::exists(fs::symlink_status(tree / "root/filelink")));
    EXPECT_EQ(TempDir::Read(tree / "outside/target.txt"), "keep");
    Directory notADirectory;
    EXPECT_EQ(notADirectory.Open(root, "plain.txt"), OpenResult::NotEntered);
    EXPECT_EQ(root.RemoveSubdirectory(notADirectory), RemoveResult::Failed);
}

// The stored values are read in StoredAttributesTest.
TEST_F(EntryInfoTest, AttributesFromModeAndName) {
    tree.Write("root/.hidden", "x");
    tree.Write("root/locked", "x");
    fs::permissions(tree / "root/locked", fs::perms::owner_write, fs::perm_options::remove);
    fs::create_symlink(tree / "root/locked", tree / "root/link");
    fs::create_symlink(tree / "root/locked", tree / "root/.link");
    EXPECT_EQ(InfoOf("plain.txt").attributes, 0u);
    EXPECT_EQ(InfoOf(".hidden").attributes, platform::AttributeHidden);
    EXPECT_EQ(InfoOf("locked").attributes, platform::AttributeReadOnly);
    EXPECT_EQ(InfoOf("link").attributes, 0u);
    EXPECT_EQ(InfoOf(".link").attributes, platform::AttributeHidden);
}

class StoredAttributesTest : public EntryInfoTest {
protected:
    void SetUp() override {
        EntryInfoTest::SetUp();
        for (const auto& [name, value] : values) {
            tree.Write("root/" + name, "x");
            if (!value.empty() && !SetDosAttrib(tree / "root" / name, value)) GTEST_SKIP() << "no user xattrs here";
        }
    }
    // "name=attributes " for every file of the table, in its order.
    std::string ReadAll() {
        std::string text;
        for (const auto& [name, value] : values) text += name + "=" + std::to_string(InfoOf(name).attributes) + " ";
        return text;
    }

    const std::map<std::string, std::string> values = {
        {"none", ""},
        {"system", "0x24"},
        {"binary", std::string("\0\0\5\0\5\0\0\0\x11\0\0\0\x23\0\0\0", 16) + std::string(8, '\0')},
        {"malformed", "0X2"},
        {"oversized", std::string(300, '2')},  // more than a stored value may hold: unknown, not none
    };
    const std::string expected = "binary=3 malformed=7 none=0 oversized=7 system=4 ";
};

TEST_F(StoredAttributesTest, ReadWithoutProcWithOrWithoutGetXattrAt) {
    const struct {
        const char* what;
        uint32_t refusal;  // 0: the kernel's own answer
    } cases[] = {
        {"getxattrat", 0},
        {"kernel without it", SECCOMP_RET_ERRNO | ENOSYS},
        {"sandbox refusing it", SECCOMP_RET_ERRNO | EPERM},
    };
    for (const auto& c : cases) {
        const std::string seen = RunInChild([&] {
            if (!HideProc()) return std::string("cannot hide /proc");
            if (c.refusal && !RefuseGetXattrAt(c.refusal)) return std::string("cannot filter");
            return ReadAll();
        });
        EXPECT_EQ(seen, expected) << c.what;
    }
}

TEST_F(StoredAttributesTest, RefusedGetXattrAtIsNotAskedAgain) {
    const std::string seen = RunInChild([&] {
        if (!RefuseGetXattrAt(SECCOMP_RET_ERRNO | ENOSYS)) return std::string("cannot filter");
        const std::string first = std::to_string(InfoOf("system").attributes);
        // Asking again now ends the process.
        if (!RefuseGetXattrAt(SECCOMP_RET_KILL_PROCESS)) return std::string("cannot filter");
        return first + " " + ReadAll();
    });
    EXPECT_EQ(seen, "4 " + expected);
}

// Where the kernel has getxattrat, a file without attributes is no reason to
// give it up: the file itself is never opened to ask.
TEST_F(StoredAttributesTest, GetXattrAtIsKeptWhereTheKernelHasIt) {
    const std::string seen = RunInChild([&] {
        if (syscall(GetXattrAtCall, -1, "", 0, "", nullptr, 0) != 0 && errno == ENOSYS)
            return std::string("no getxattrat");
        if (!RefuseCall(SYS_fgetxattr, SECCOMP_RET_KILL_PROCESS)) return std::string("cannot filter");
        return ReadAll();
    });
    if (seen == "no getxattrat") GTEST_SKIP() << seen;
    EXPECT_EQ(seen, expected);
}

// An empty stored value is unreadable like any other, also right after a file
// that had none.
TEST_F(EntryInfoTest, EmptyStoredValueIsUnknown) {
    tree.Write("root/empty", "x");
    if (!SetDosAttrib(tree / "root/empty", "")) GTEST_SKIP() << "no user xattrs here";
    EXPECT_EQ(InfoOf("plain.txt").attributes, 0u);
    EXPECT_EQ(InfoOf("empty").attributes, platform::AttributesUnknown);
}

TEST_F(EntryInfoTest, OnlyWhatIsAskedIsReported) {
    tree.Write("root/.locked", "x");
    fs::permissions(tree / "root/.locked", fs::perms::owner_write, fs::perm_options::remove);
    const uint32_t all = platform::AttributesUnknown;
    for (const uint32_t asked : {0u, platform::AttributeReadOnly, platform::AttributeHidden, all})
        EXPECT_EQ(InfoOf(".locked", asked).attributes,
                  asked & (platform::AttributeReadOnly | platform::AttributeHidden))
            << asked;
    if (!SetDosAttrib(tree / "root/.locked", "0x4")) GTEST_SKIP() << "no user xattrs here";
    EXPECT_EQ(InfoOf(".locked", platform::AttributeSystem).attributes, platform::AttributeSystem);
    EXPECT_EQ(InfoOf(".locked").attributes, all);
}

// The time is read when asked, so an entry removed since its listing is found gone.
TEST_F(DirectoryTest, InfoOfAnEntryGoneSinceItsListing) {
    Directory root;
    ASSERT_EQ(root.Open(Root().c_str()), OpenResult::Listed);
    DirEntry entry;
    ASSERT_TRUE(FindEntry(root, "plain.txt", entry));
    fs::remove(tree / "root/plain.txt");
    EntryInfo info;
    EXPECT_FALSE(root.ReadInfo(entry, 0, true, info));
}

}  // namespace
