// A directory read a batch ahead: every entry served once while the sweep
// deletes them, large directories in the order of their inodes, the memory
// bound; and the info of a batch asked ahead on other threads, equal to what
// the reader would ask itself, and never asked after its directory moved on.

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <map>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "DirectoryFixture.h"
#include "platform/InfoAhead_posix.h"
#include "platform/ListingBatch_posix.h"
#include "support/PosixFiles.h"

namespace {

using namespace dirtest;
using platform::Executor;
using platform::InfoAhead;
using platform::ListingBatch;
using platform::ListingBounds;

// Each task on a thread of its own, all joined when it goes.
class TaskThreads {
public:
    ~TaskThreads() {
        for (std::thread& thread : threads) thread.join();
    }
    Executor Run() {
        return [this](std::function<void()> task) { threads.emplace_back(std::move(task)); };
    }

private:
    std::vector<std::thread> threads;
};

// Tasks kept until the test runs them itself.
struct HeldTasks {
    std::vector<std::function<void()>> tasks;
    Executor Run() {
        return [this](std::function<void()> task) { tasks.push_back(std::move(task)); };
    }
    void RunAll() {
        for (auto& task : tasks) task();
        tasks.clear();
    }
};

bool Every(const char*) {
    return true;
}

// `count` files named f0, f1, ...; file i holds SizeOf(i) bytes.
size_t SizeOf(size_t index) {
    return index % 100;
}

void MakeFiles(const TempDir& tree, const std::string& folder, int count, const std::string& prefix = "f") {
    for (int i = 0; i < count; ++i) tree.Write(folder + "/" + prefix + std::to_string(i), std::string(SizeOf(i), 'x'));
}

ino_t InodeOf(const fs::path& file) {
    struct stat st;
    return lstat(file.c_str(), &st) == 0 ? st.st_ino : 0;
}

// How often the inode numbers served go down: 0 in one sorted batch.
int Descents(const std::vector<ino_t>& inodes) {
    int descents = 0;
    for (size_t i = 1; i < inodes.size(); ++i) descents += inodes[i] < inodes[i - 1];
    return descents;
}

class ReadAheadTest : public ::testing::Test {
protected:
    fs::path Folder() const { return tree / "many"; }
    int OpenFolder() {
        if (listing >= 0) close(listing);
        listing = open(Folder().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        EXPECT_GE(listing, 0);
        return listing;
    }
    void TearDown() override {
        if (listing >= 0) close(listing);
    }

    TempDir tree;
    int listing = -1;
};

// The sweep deletes each entry as it is served, and others add entries
// meanwhile: each entry there at the start is served exactly once, whatever
// batch it falls in, and a batch is sorted only in a large directory.
TEST_F(ReadAheadTest, ServesEachEntryOnceWhileEntriesAreDeletedAndAdded) {
    const struct {
        int files;
        ListingBounds bounds;
        int mostDescents;  // of the inode numbers served
    } cases[] = {
        {300, {64, 64 * 24, 0}, 300 / 64},  // five sorted batches and a part
        {300, {1000, 24000, 0}, 0},         // all in one sorted batch
        {300, {64, 64 * 24, 1000}, -1},     // small: the listing's order, whatever it is
        {3, {64, 64 * 24, 0}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.files);
        fs::remove_all(Folder());
        MakeFiles(tree, "many", c.files);
        std::map<std::string, ino_t> inodes;
        for (const auto& file : fs::directory_iterator(Folder())) inodes[file.path().filename()] = InodeOf(file);
        std::map<std::string, int> served;
        std::vector<ino_t> order;
        ListingBatch batch(c.bounds);
        OpenFolder();
        const char* name;
        unsigned char type;
        int added = 0;
        while (batch.Fill(listing)) {
            EXPECT_LE(batch.Size(), c.bounds.entries);
            while (batch.Take(name, type)) {
                ++served[name];
                order.push_back(inodes[name]);
                EXPECT_EQ(type, DT_REG);
                EXPECT_TRUE(fs::remove(Folder() / name)) << name;
                if (added < 50) tree.Write("many/new" + std::to_string(added++), "");
            }
        }
        for (const auto& [file, inode] : inodes) EXPECT_EQ(served[file], 1) << file;
        for (const auto& [file, times] : served) EXPECT_EQ(times, 1) << file;
        std::erase_if(order, [](ino_t inode) { return inode == 0; });  // the added ones
        if (c.mostDescents >= 0) {
            EXPECT_LE(Descents(order), c.mostDescents);
        }
        close(listing);
        listing = -1;
    }
}

// Long names end a batch before its count of entries: the names' bytes are
// bounded as well.
TEST_F(ReadAheadTest, LongNamesEndABatchAtItsBytes) {
    const std::string prefix(200, 'n');
    MakeFiles(tree, "many", 40, prefix);
    ListingBatch batch({64, 2000, 0});
    OpenFolder();
    size_t total = 0, batches = 0;
    while (batch.Fill(listing)) {
        EXPECT_LE(batch.Size(), 2000 / 201 + 1);
        total += batch.Size();
        ++batches;
        const char* name;
        unsigned char type;
        while (batch.Take(name, type)) EXPECT_EQ(std::string(name).substr(0, 200), prefix);
    }
    EXPECT_EQ(total, 40u);
    EXPECT_GE(batches, 4u);
}

// A batch's subdirectories come first, whatever its order, so that a worker
// hands them over before it deletes files; the files keep the listing's order
// in a small directory and the inodes' in a large one.
TEST_F(ReadAheadTest, SubdirectoriesComeFirst) {
    MakeFiles(tree, "many", 40);
    for (int i = 0; i < 6; ++i) fs::create_directory(Folder() / ("d" + std::to_string(i)));
    std::vector<std::string> listingOrder;
    for (const auto& file : fs::directory_iterator(Folder()))
        if (!file.is_directory()) listingOrder.push_back(file.path().filename());
    for (const size_t sortFrom : {size_t{1000}, size_t{0}}) {
        SCOPED_TRACE(sortFrom);
        ListingBatch batch({1000, 24000, sortFrom});
        OpenFolder();
        ASSERT_TRUE(batch.Fill(listing));
        std::vector<std::string> files;
        std::vector<ino_t> inodes;
        const char* name;
        unsigned char type;
        while (batch.Take(name, type)) {
            if (type == DT_DIR) {
                EXPECT_TRUE(files.empty()) << name << " after a file";
            } else {
                files.push_back(name);
                inodes.push_back(InodeOf(Folder() / name));
            }
        }
        if (sortFrom > 0) {
            EXPECT_EQ(files, listingOrder);
        } else {
            EXPECT_EQ(Descents(inodes), 0);
        }
    }
}

// A directory of more than 10,000 entries is served in the order of the
// inode numbers; each entry once while the reader deletes them.
TEST_F(ReadAheadTest, LargeDirectoryIsServedInInodeOrder) {
    MakeFiles(tree, "many", 12000);
    Directory dir;
    ASSERT_EQ(dir.Open(Folder().c_str()), OpenResult::Listed);
    std::vector<ino_t> order;
    DirEntry entry;
    while (dir.Next(entry)) {
        order.push_back(InodeOf(Folder() / entry.name));
        ASSERT_EQ(dir.DeleteEntry(entry), RemoveResult::Removed) << entry.name;
    }
    EXPECT_EQ(order.size(), 12000u);
    EXPECT_EQ(Descents(order), 0);
    EXPECT_TRUE(fs::is_empty(Folder()));
}

// What each entry's info is, asked ahead or not.
struct Answer {
    bool present;
    EntryInfo info;
    bool operator==(const Answer& other) const {
        return present == other.present && info.attributes == other.info.attributes &&
               info.lastWrite == other.info.lastWrite && info.size == other.info.size;
    }
};

class AskAheadTest : public DirectoryTest {
protected:
    // Files with stored attributes, a read-only one, a dot name, a link,
    // directories, each with its own time and size.
    void SetUp() override {
        DirectoryTest::SetUp();
        const std::map<std::string, std::string> stored = {
            {"system.log", "0x4"}, {"hidden.log", "0x2"}, {"archive.log", "0x20"}, {"broken.log", "nonsense"}};
        MakeFiles(tree, "root", 30);
        for (const auto& [name, value] : stored) {
            const fs::path file = tree.Write("root/" + name, name);
            ASSERT_TRUE(SetDosAttrib(file, value));
        }
        tree.Write("root/.dotted", "..");
        fs::create_directory(tree / "root/sub2");  // one directory served first, one in the window
        fs::permissions(tree.Write("root/readonly.log", "r"), fs::perms::owner_write, fs::perm_options::remove);
        fs::create_symlink("plain.txt", tree / "root/link.log");
        int day = 0;
        for (const auto& file : fs::directory_iterator(tree / "root"))
            if (!fs::is_symlink(file))
                fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(24 * ++day));
    }

    using Asker = std::function<void(Directory&)>;
    // Every entry's answer to one question, with `before` called on the
    // directory first and `each` after every entry served.
    std::map<std::string, Answer> AnswersOf(uint32_t attributes, bool lastWrite, const Asker& before,
                                            const std::function<void(const DirEntry&)>& each = {}) {
        Directory dir;
        EXPECT_EQ(dir.Open(Root().c_str()), OpenResult::Listed);
        std::map<std::string, Answer> answers;
        DirEntry entry;
        bool first = true;
        while (dir.Next(entry)) {
            if (first) before(dir);
            first = false;
            if (each) each(entry);
            Answer& answer = answers[entry.name];
            answer.present = dir.ReadInfo(entry, attributes, lastWrite, answer.info);
        }
        return answers;
    }
};

// Whatever is asked ahead answers as the reader would have answered, for
// each question the sweep may ask; a question asked ahead answers the smaller
// ones too, and a wider one is asked again.
TEST_F(AskAheadTest, AnswersAskedAheadEqualThoseAskedDirectly) {
    TaskThreads threads;
    const struct {
        uint32_t aheadAttributes;
        bool aheadTime;
        uint32_t attributes;
        bool lastWrite;
    } cases[] = {
        {platform::AttributesUnknown, true, platform::AttributesUnknown, true},
        {platform::AttributeSystem, false, platform::AttributeSystem, false},
        {platform::AttributeSystem | platform::AttributeHidden, false, platform::AttributeHidden, false},
        {0, true, 0, true},
        {platform::AttributesUnknown, true, platform::AttributeReadOnly, false},
        {platform::AttributeSystem, false, platform::AttributesUnknown, true},  // wider: asked again
        {0, true, platform::AttributeHidden, false},                            // wider, needing no status
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.aheadAttributes << " " << c.aheadTime << " " << c.attributes);
        const auto direct = AnswersOf(c.attributes, c.lastWrite, [](Directory&) {});
        const auto ahead = AnswersOf(c.attributes, c.lastWrite, [&](Directory& dir) {
            // every name but the directories, and once only
            EXPECT_EQ(dir.AskAhead(c.aheadAttributes, c.aheadTime, Every, threads.Run(), 3), 38u);
            EXPECT_EQ(dir.AskAhead(c.aheadAttributes, c.aheadTime, Every, threads.Run(), 3), 0u);
        });
        EXPECT_EQ(ahead, direct);
        EXPECT_EQ(direct.size(), 40u);
    }
}

// An entry found gone by the task that asked ahead is gone for the reader,
// one removed after it was asked is still answered, and the names the
// predicate refuses are left to the reader, who finds them gone.
TEST_F(AskAheadTest, EntriesGoneBeforeTheirTurnAreReportedGone) {
    std::string first;  // served before anything is asked ahead
    {
        Directory probe;
        DirEntry entry;
        ASSERT_EQ(probe.Open(Root().c_str()), OpenResult::Listed);
        ASSERT_TRUE(probe.Next(entry));
        first = entry.name;
    }
    std::vector<std::string> names;  // gone ahead, refused, removed after asked, removed once served
    for (int i = 0; names.size() < 4; ++i)
        if ("f" + std::to_string(i) != first) names.push_back("f" + std::to_string(i));
    HeldTasks held;
    const auto refuse = [&](const char* name) { return name != names[1]; };
    const auto answers = AnswersOf(
        0, true,
        [&](Directory& dir) {
            EXPECT_GT(dir.AskAhead(0, true, refuse, held.Run(), 2), 30u);
            for (int i : {0, 1}) fs::remove(tree / "root" / names[i]);
            held.RunAll();
            fs::remove(tree / "root" / names[2]);
        },
        [&](const DirEntry& entry) {
            if (entry.name == names[3]) fs::remove(tree / "root" / names[3]);
        });
    EXPECT_FALSE(answers.at(names[0]).present);
    EXPECT_FALSE(answers.at(names[1]).present);
    for (int i : {2, 3}) {
        EXPECT_TRUE(answers.at(names[i]).present) << names[i];
        EXPECT_EQ(answers.at(names[i]).info.size, SizeOf(std::stoul(names[i].substr(1))));
    }
}

// Tasks given out but not started when their directory closes, or moves on
// to its next batch, do nothing: they must not ask in a directory closed
// or in names replaced (the sanitizers watch the memory).
TEST_F(AskAheadTest, TasksStartedLateDoNothing) {
    HeldTasks held;
    {
        Directory closedEarly;
        ASSERT_EQ(closedEarly.Open(Root().c_str()), OpenResult::Listed);
        DirEntry entry;
        ASSERT_TRUE(closedEarly.Next(entry));
        EXPECT_GT(closedEarly.AskAhead(0, true, Every, held.Run(), 4), 0u);
    }
    {
        Directory dir;
        ASSERT_EQ(dir.Open(Root().c_str()), OpenResult::Listed);
        DirEntry entry;
        ASSERT_TRUE(dir.Next(entry));
        EXPECT_GT(dir.AskAhead(0, true, Every, held.Run(), 4), 0u);
        while (dir.Next(entry)) {
        }
    }
    EXPECT_EQ(held.tasks.size(), 8u);
    held.RunAll();
}

// Tasks ask a window of entries at a time, the next only once the last is
// asked: no answer is asked long before its turn, and the memory stays that
// of a window.
TEST_F(AskAheadTest, AsksOneWindowAtATime) {
    MakeFiles(tree, "root", 2 * InfoAhead::Window + 100, "w");
    Directory dir;
    ASSERT_EQ(dir.Open(Root().c_str()), OpenResult::Listed);
    HeldTasks held;
    DirEntry entry;
    size_t served = 0, asked = 0, windows = 0;
    while (dir.Next(entry)) {
        const size_t set = dir.AskAhead(0, true, Every, held.Run(), 2);
        EXPECT_EQ(dir.AskAhead(0, true, Every, held.Run(), 2), 0u);  // the window's tasks are out
        asked += set;
        windows += set > 0;
        EXPECT_LE(asked, ++served + InfoAhead::Window * 3 / 2);
        held.RunAll();
    }
    EXPECT_GE(windows, 3u);
    EXPECT_GE(asked, 2 * InfoAhead::Window);
}

// A batch of a window and a half, asked ahead by tasks the test holds.
class WindowTest : public ReadAheadTest {
protected:
    void SetUp() override {
        MakeFiles(tree, "many", static_cast<int>(InfoAhead::Window * 3 / 2));
        OpenFolder();
        ASSERT_TRUE(batch.Fill(listing));
    }
    // How many entries the reader at `from` has asked ahead.
    size_t StartAt(size_t from) { return ahead.Start(batch, from, listing, 0, true, Every, held.Run(), 3); }

    ListingBatch batch;
    InfoAhead ahead;
    HeldTasks held;
};

// An executor with no worker free lets a task go without running it: the
// window gives it out again while no task claimed the rest of its names,
// never more than the tasks asked for at once, and once the reader is past
// the window the next one comes in its turn.
TEST_F(WindowTest, TasksLetGoUnrunAreGivenOutAgain) {
    EXPECT_EQ(StartAt(0), InfoAhead::Window);
    EXPECT_EQ(StartAt(1), 0u);
    EXPECT_EQ(held.tasks.size(), 3u);
    held.tasks.clear();  // let go unrun
    EXPECT_EQ(StartAt(InfoAhead::Window / 2), 0u);
    EXPECT_EQ(held.tasks.size(), 3u);
    held.tasks.clear();
    EXPECT_EQ(StartAt(InfoAhead::Window), InfoAhead::Window / 2);
}

// The next window is asked once the reader is half-way through the last,
// not an entry sooner or later.
TEST_F(WindowTest, NextWindowIsAskedHalfWayThroughTheLast) {
    EXPECT_EQ(StartAt(0), InfoAhead::Window);
    held.RunAll();
    EXPECT_EQ(StartAt(InfoAhead::Window / 2 - 1), 0u);
    EXPECT_EQ(StartAt(InfoAhead::Window / 2), InfoAhead::Window / 2);
}

// Across batches, with tasks on other threads asking while the reader
// deletes: each entry served once, its answer its own.
TEST_F(ReadAheadTest, AskedAheadAcrossBatchesWhileDeleting) {
    MakeFiles(tree, "many", 500);
    TaskThreads threads;
    ListingBatch batch({64, 64 * 24, 0});
    InfoAhead ahead;
    OpenFolder();
    std::map<std::string, int> served;
    while (batch.Fill(listing)) {
        for (size_t at = 0; at < batch.Size(); ++at) {
            ahead.Start(batch, at + 1, listing, 0, true, Every, threads.Run(), 3);
            const std::string name = batch.Name(at);
            EntryInfo info{};
            const InfoAhead::Answer answer = ahead.Take(at, 0, true, info);
            EXPECT_NE(answer, InfoAhead::Answer::Gone) << name;
            if (answer == InfoAhead::Answer::Present) {
                EXPECT_EQ(info.size, SizeOf(std::stoul(name.substr(1)))) << name;
            }
            ++served[name];
            ASSERT_TRUE(fs::remove(Folder() / name));
        }
        ahead.Stop();
    }
    EXPECT_EQ(served.size(), 500u);
    for (const auto& [name, times] : served) EXPECT_EQ(times, 1) << name;
}

// A slot holds the answer of the last batch's entry until a window marks it
// again: an entry no window of its own batch asked about is the reader's to
// ask, never answered with another file's info.
TEST_F(ReadAheadTest, AnEntryBeforeTheWindowIsNotAnsweredFromTheLastBatch) {
    MakeFiles(tree, "many", 20);
    ListingBatch batch({8, 8 * 24, 0});
    InfoAhead ahead;
    HeldTasks held;
    OpenFolder();
    for (const size_t from : {0, 1}) {
        ASSERT_TRUE(batch.Fill(listing));
        ahead.Start(batch, from, listing, 0, true, Every, held.Run(), 1);
        held.RunAll();
        EntryInfo info{};
        EXPECT_EQ(ahead.Take(0, 0, true, info), from == 0 ? InfoAhead::Answer::Present : InfoAhead::Answer::None);
        ahead.Stop();
    }
}

}  // namespace
