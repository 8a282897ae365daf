#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "data_fixture.h"

namespace {

using data_test::add_entry;
using data_test::DataLayerTest;
using data_test::read_file;
using data_test::write_file;

const std::string kDiskBytes = "hello\r\nworld";  // 12 bytes
const std::string kArchived = "ARCHIVED";

struct Loaded {
    bool present;
    std::string bytes;
    int32_t length;
};

Loaded load(const char* name, bool text) {
    int32_t length = -1;
    char* bytes = DataFile::load(name, text ? "rt" : "rb", &length, text, false);
    Loaded result{bytes != nullptr, bytes ? std::string(bytes, static_cast<size_t>(length)) : "", length};
    std::free(bytes);
    return result;
}

class LoadTest : public DataLayerTest {
protected:
    LoadTest() {
        write_file("data/a.txt", kDiskBytes);
        write_file("data/b.txt", "on disk only");
        std::filesystem::create_directory("data/dir");
        set_up_screen();
    }
};

TEST_F(LoadTest, ModeTable) {
    struct Case {
        const char* what;
        int mode;
        bool preload;   // the same name loaded once before (binary)
        bool finished;  // loading has finished before the load
        const char* name;
        bool text;
        const char* expected;  // null: absent
        int ticks;
        size_t entries;
        const char* log;  // expected output, "" for none
    } cases[] = {
        {"plain binary", DataFileMode::Plain, false, false, "data/a.txt", false, "hello\r\nworld", 1, 0, ""},
        {"plain text", DataFileMode::Plain, false, false, "data/a.txt", true, "hello\r\nworld\0", 1, 0, ""},
        {"plain miss", DataFileMode::Plain, false, false, "data/none.txt", false, nullptr, 0, 0, ""},
        {"plain directory", DataFileMode::Plain, false, false, "data/dir", false, nullptr, 0, 0, ""},
        {"plain after finish", DataFileMode::Plain, false, true, "data/a.txt", false, "hello\r\nworld", 0, 0, ""},
        {"write first binary", DataFileMode::Write, false, false, "data/a.txt", false, "hello\r\nworld", 1, 1, ""},
        {"write first text", DataFileMode::Write, false, false, "data/a.txt", true, "hello\r\nworld\0", 1, 1, ""},
        {"write duplicate", DataFileMode::Write, true, false, "data/a.txt", true, "hello\r\nworld\0", 0, 1,
         "[DATA] Skipping duplicate entry for data/a.txt\n"},
        {"write duplicate after finish", DataFileMode::Write, true, true, "data/a.txt", false, "hello\r\nworld", 0,
         1, ""},
        {"write miss", DataFileMode::Write, false, false, "data/none.txt", false, nullptr, 0, 0, ""},
        {"write directory", DataFileMode::Write, false, false, "data/dir", false, nullptr, 0, 0, ""},
        {"read hit", DataFileMode::Read, false, false, "data/a.txt", false, "ARCHIVED", 1, 2, ""},
        {"read hit, text plays no part", DataFileMode::Read, false, false, "data/a.txt", true, "ARCHIVED", 1, 2, ""},
        {"read miss, disk not consulted", DataFileMode::Read, false, false, "data/b.txt", false, nullptr, 0, 2, ""},
        {"read other case", DataFileMode::Read, false, false, "data/A.txt", false, nullptr, 0, 2, ""},
        {"read backslash", DataFileMode::Read, false, false, "data\\a.txt", false, nullptr, 0, 2, ""},
        {"read after finish", DataFileMode::Read, false, true, "data/a.txt", false, "ARCHIVED", 0, 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DataFile::reset();
        DataFile::set_mode(c.mode);
        if (c.mode == DataFileMode::Read) {
            add_entry("data/a.txt", kArchived);
            add_entry("data/c.txt", "other");
        }
        if (c.preload) load(c.name, false);
        DataFile::set_loading_finished(c.finished);
        ticks();

        testing::internal::CaptureStdout();
        Loaded got = load(c.name, c.text);
        std::string out = testing::internal::GetCapturedStdout();

        ASSERT_EQ(got.present, c.expected != nullptr);
        if (c.expected) {
            std::string expected(c.expected, std::strlen(c.expected) + (c.text && c.mode != DataFileMode::Read));
            EXPECT_EQ(got.bytes, expected);
            EXPECT_EQ(got.length, static_cast<int32_t>(expected.size()));
        } else {
            EXPECT_EQ(got.length, 0);
        }
        EXPECT_EQ(ticks(), c.ticks);
        EXPECT_EQ(DataFile::entries().size(), c.entries);
        if (*c.log)
            EXPECT_NE(out.find(c.log), std::string::npos) << out;
        else
            EXPECT_EQ(out, "");
    }
}

TEST_F(LoadTest, WriteModeRecordsTheFirstLoadOnly) {
    DataFile::set_mode(DataFileMode::Write);
    load("data/a.txt", true);
    write_file("data/a.txt", "changed");
    testing::internal::CaptureStdout();
    Loaded second = load("data/a.txt", false);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(second.bytes, "changed");
    ASSERT_EQ(DataFile::entries().size(), 1u);
    const DataFileEntry* entry = DataFile::entries()[0].get();
    EXPECT_EQ(entry->name, "data/a.txt");
    EXPECT_EQ(std::string(entry->data, static_cast<size_t>(entry->size)), kDiskBytes + std::string(1, '\0'));
    EXPECT_FALSE(entry->used);
}

TEST_F(LoadTest, ReadModeMarksUsedAndHandsOutFreshCopies) {
    DataFile::set_mode(DataFileMode::Read);
    add_entry("data/bin", "\x01\x02");
    int32_t length = 0;
    char* first = DataFile::load("data/bin", "rt", &length, true, false);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(length, 2);
    // A text load of bytes recorded by a binary load still finds a terminator
    // after them, outside the length.
    EXPECT_EQ(first[2], 0);
    first[0] = 'X';
    char* second = DataFile::load("data/bin", "rb", &length, false, false);
    EXPECT_EQ(second[0], '\x01');
    EXPECT_TRUE(DataFile::entries()[0]->used);
    std::free(first);
    std::free(second);
}

TEST_F(LoadTest, Failures) {
    write_file("data/empty.txt", "");
    struct Case {
        const char* what;
        int mode;
        const char* name;
        const char* message;
    } cases[] = {
        {"empty file, plain", DataFileMode::Plain, "data/empty.txt", "Tried to read 0 bytes from data/empty.txt, got 0"},
        {"empty file, write", DataFileMode::Write, "data/empty.txt", "Tried to read 0 bytes from data/empty.txt, got 0"},
        {"new name after finish", DataFileMode::Write, "data/a.txt",
         "Uh-oh! Tried to load file data/a.txt after datafile is written!"},
        {"duplicate table entries", DataFileMode::Read, "data/a.txt",
         "Ouch, found more than one entry for data/a.txt in datafile. Duplicates make no sense here."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DataFile::reset();
        DataFile::set_mode(c.mode);
        if (c.mode == DataFileMode::Read) {
            add_entry("data/a.txt", "1");
            add_entry("data/a.txt", "2");
        }
        DataFile::set_loading_finished(std::string(c.what) == "new name after finish");
        EXPECT_FATAL(load(c.name, false), c.message);
        EXPECT_TRUE(DataFile::entries().size() == (c.mode == DataFileMode::Read ? 2u : 0u));
    }
}

TEST_F(LoadTest, FilesOfTwoGibibytesAreRefused) {
    // A sparse file: no disk space is used.
    const int64_t two_gib = int64_t{1} << 31;
    FILE* f = std::fopen("data/huge.bin", "wb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(ftruncate(fileno(f), two_gib), 0);
    std::fclose(f);
    DataFile::set_mode(DataFileMode::Plain);
    EXPECT_FATAL(load("data/huge.bin", false), "File data/huge.bin is too large to load (2147483648 bytes)");
    EXPECT_EQ(ticks(), 0);
}

TEST_F(LoadTest, MarkUsed) {
    DataFile::set_mode(DataFileMode::Read);
    add_entry("data/a.txt", "a");
    add_entry("data/b.txt", "b");
    DataFile::mark_used("data/b.txt");
    EXPECT_FALSE(DataFile::entries()[0]->used);
    EXPECT_TRUE(DataFile::entries()[1]->used);
    EXPECT_EQ(ticks(), 1);
    // A name the archive lacks is a file a part will need later: the run
    // ends now, before the show, not when the part first reads it.
    EXPECT_FATAL(DataFile::mark_used("data/none.txt"), "Failed to find data/none.txt: not in the data file (none read)");
    EXPECT_EQ(ticks(), 0);

    for (int mode : {DataFileMode::Plain, DataFileMode::Write}) {
        DataFile::set_mode(mode);
        DataFile::entries()[0]->used = false;
        DataFile::mark_used("data/a.txt");
        EXPECT_FALSE(DataFile::entries()[0]->used);
        EXPECT_EQ(ticks(), 0);
    }
}

TEST_F(LoadTest, ExistsAsksWhereALoadWouldLook) {
    add_entry("data/a.txt", "a");
    add_entry("data/packed.txt", "");
    const struct {
        const char* what;
        int mode;
        const char* name;
        bool exists;
    } cases[] = {
        {"plain: a file on disk", DataFileMode::Plain, "data/b.txt", true},
        {"plain: only in the table", DataFileMode::Plain, "data/packed.txt", false},
        {"plain: a folder", DataFileMode::Plain, "data/dir", false},
        {"plain: nowhere", DataFileMode::Plain, "data/none.txt", false},
        {"write: a file on disk", DataFileMode::Write, "data/b.txt", true},
        {"read: in the table, not on disk", DataFileMode::Read, "data/packed.txt", true},
        {"read: on disk, not in the table", DataFileMode::Read, "data/b.txt", false},
        {"read: in both", DataFileMode::Read, "data/a.txt", true},
    };
    for (const auto& c : cases) {
        DataFile::set_mode(c.mode);
        EXPECT_EQ(DataFile::exists(c.name), c.exists) << c.what;
    }
    // A question, not a load: nothing recorded, marked or advanced.
    EXPECT_EQ(DataFile::entries().size(), 2u);
    EXPECT_FALSE(DataFile::entries()[0]->used);
    EXPECT_EQ(ticks(), 0);
}

// --- gzip ---------------------------------------------------------------

void write_gzip(const std::string& path, const std::vector<std::string>& members) {
    std::string all;
    for (const std::string& member : members) {
        std::string one = path + ".member";
        gzFile gz = gzopen(one.c_str(), "wb");
        gzwrite(gz, member.data(), static_cast<unsigned>(member.size()));
        gzclose(gz);
        all += read_file(one);
        std::remove(one.c_str());
    }
    write_file(path, all);
}

Loaded load_gzip(const char* name) {
    int32_t length = -1;
    char* bytes = DataFile::load_gzip(name, "rb", &length, true);
    Loaded result{bytes != nullptr, bytes ? std::string(bytes, static_cast<size_t>(length)) : "", length};
    std::free(bytes);
    return result;
}

class GzipTest : public DataLayerTest {
protected:
    GzipTest() { set_up_screen(); }
};

TEST_F(GzipTest, InflatesToTheEndAndRecordsTheInflatedText) {
    std::string big;
    for (int i = 0; big.size() < 300000; ++i) big += "<Note Time=\"" + std::to_string(i) + "\" />\n";
    write_gzip("data/set.als", {big});
    for (int mode : {DataFileMode::Plain, DataFileMode::Write}) {
        SCOPED_TRACE(mode);
        DataFile::reset();
        DataFile::set_mode(mode);
        Loaded got = load_gzip("data/set.als");
        EXPECT_EQ(got.bytes, big + std::string(1, '\0'));
        EXPECT_EQ(ticks(), 1);
    }
    ASSERT_EQ(DataFile::entries().size(), 1u);
    EXPECT_EQ(DataFile::entries()[0]->size, static_cast<int32_t>(big.size() + 1));

    // The duplicate line is logged also once loading has finished.
    DataFile::set_loading_finished(true);
    testing::internal::CaptureStdout();
    load_gzip("data/set.als");
    EXPECT_NE(testing::internal::GetCapturedStdout().find("[DATA] Skipping duplicate entry for data/set.als\n"),
              std::string::npos);

    // Read mode serves the recorded text as it is, without inflating.
    DataFile::set_loading_finished(false);
    DataFile::set_mode(DataFileMode::Read);
    std::remove("data/set.als");
    EXPECT_EQ(load_gzip("data/set.als").bytes, big + std::string(1, '\0'));
    EXPECT_FALSE(load_gzip("data/other.als").present);
}

TEST_F(GzipTest, BadFilesEndTheRun) {
    write_gzip("data/empty.als", {""});
    write_gzip("data/two.als", {"abc", "defgh"});
    write_file("data/short.als", "\x1f\x8b");
    write_file("data/plain.als", "hello world!");
    write_gzip("data/cut.als", {std::string(5000, 'x') + "tail"});
    std::string cut = read_file("data/cut.als");
    write_file("data/cut.als", cut.substr(0, cut.size() - 12));
    uint32_t plain_trailer = static_cast<uint32_t>('r') | 'l' << 8 | 'd' << 16 | static_cast<uint32_t>('!') << 24;

    struct Case {
        const char* name;
        std::string message;
    } cases[] = {
        {"data/empty.als", "Something went wrong reading from data/empty.als, we got return value 0"},
        {"data/two.als", "[TODO/FIXME] (gzip) flength of 5 does not match 8\n"},
        {"data/short.als", "Something went wrong reading from data/short.als, we got return value 0"},
        {"data/plain.als", "[TODO/FIXME] (gzip) flength of " + std::to_string(plain_trailer) + " does not match 12\n"},
        {"data/cut.als", "Something went wrong reading from data/cut.als, we got return value -1"},
    };
    DataFile::set_mode(DataFileMode::Write);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FATAL(load_gzip(c.name), c.message);
    }
    EXPECT_TRUE(DataFile::entries().empty());
    EXPECT_FALSE(load_gzip("data/none.als").present);
    std::filesystem::create_directory("data/dir.als");
    EXPECT_FALSE(load_gzip("data/dir.als").present);
    EXPECT_EQ(ticks(), 0);
}

// --- failure messages -------------------------------------------------------

TEST(FailureMessage, SystemTextFirstThenFileAndReasonBeforeItsClosingLineFeeds) {
    struct Case {
        const char* text;
        const char* file;
        const char* reason;
        const char* message;
    } cases[] = {
        {"Failed to load data/a.mid", "data/a.mid", "No such file or directory",
         "Failed to load data/a.mid: No such file or directory"},
        {" Could not find track chunk header!\n", "data/a.mid", "track 2 of 3",
         " Could not find track chunk header! (data/a.mid): track 2 of 3\n"},
        {"Read 1 chunks\n\n", "data file data.tlx", "", "Read 1 chunks (data file data.tlx)\n\n"},
        {"Shader compile and link failed!", "", "no log", "Shader compile and link failed!: no log"},
        {"Failed to open track bpm", "", "", "Failed to open track bpm"},
        {"\n", "data/a.png", "why", " (data/a.png): why\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DataFile::failure_message(c.text, c.file, c.reason), c.message) << c.text;
}

// --- temporary files and export ------------------------------------------

TEST(ExportName, TakesThePartAfterTheLastSeparator) {
    struct Case {
        const char* entry;
        const char* out;
    } cases[] = {
        {"data/music/a.mp3", "a.mp3"},
        {"data\\music\\b.mp3", "b.mp3"},
        {"c.mp3", "c.mp3"},
        {"data/mp3/theme.ogg", "theme.ogg"},
        {"data\\x/y.mp3", "y.mp3"},
        {"data/a\\b.mp3", "a\\b.mp3"},
    };
    for (const Case& c : cases) EXPECT_EQ(DataFile::export_name(c.entry), c.out) << c.entry;
}

class ExportTest : public DataLayerTest {
protected:
    ExportTest() {
        DataFile::set_mode(DataFileMode::Read);
        test_support::clear_boxes();
    }
    static std::string box_text(const std::string& name) {
        return "Successfully exported " + name + " to the current folder";
    }
};

TEST_F(ExportTest, WritesEveryEntryNamedMp3) {
    add_entry("data/music/a.mp3", "first");
    add_entry("data/images/x.png", "skipped");
    add_entry("data/mp3/theme.ogg", "theme");
    add_entry("data\\music\\b.mp3", "");  // empty: written, and a success
    add_entry("other/a.mp3", "second");   // replaces the first a.mp3
    write_file("theme.ogg", "old contents that are longer");
    DataFile::export_mp3();

    EXPECT_EQ(read_file("a.mp3"), "second");
    EXPECT_EQ(read_file("theme.ogg"), "theme");
    EXPECT_TRUE(std::filesystem::exists("b.mp3"));
    EXPECT_EQ(std::filesystem::file_size("b.mp3"), 0u);
    EXPECT_FALSE(std::filesystem::exists("x.png"));
    const auto& boxes = test_support::recorded_boxes();
    ASSERT_EQ(boxes.size(), 4u);
    const char* names[] = {"a.mp3", "theme.ogg", "b.mp3", "a.mp3"};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(boxes[i].caption, "Success");
        EXPECT_EQ(boxes[i].text, box_text(names[i]));
    }
    for (const auto& entry : DataFile::entries()) EXPECT_FALSE(entry->used);
}

TEST_F(ExportTest, NothingToExport) {
    add_entry("data/images/x.png", "skipped");
    add_entry("data/music/A.MP3", "upper case does not match");
    DataFile::export_mp3();
    EXPECT_TRUE(test_support::recorded_boxes().empty());
    EXPECT_FALSE(std::filesystem::exists("A.MP3"));
}

TEST_F(ExportTest, FailuresAreReportedAndOnlyThen) {
    add_entry("data/music/full.mp3", "bytes that cannot be stored");
    std::filesystem::create_symlink("/dev/full", "full.mp3");
    EXPECT_FATAL(DataFile::export_mp3(), "Failed to write output file for full.mp3");
    EXPECT_TRUE(test_support::recorded_boxes().empty());

    DataFile::reset();
    DataFile::set_mode(DataFileMode::Read);
    add_entry("data/music/dir.mp3", "x");
    std::filesystem::create_directory("dir.mp3");
    EXPECT_FATAL(DataFile::export_mp3(), "Failed to create output file for dir.mp3");
    EXPECT_TRUE(test_support::recorded_boxes().empty());
}

TEST_F(ExportTest, NeedsReadMode) {
    for (int mode : {DataFileMode::Plain, DataFileMode::Write}) {
        DataFile::set_mode(mode);
        EXPECT_FATAL(DataFile::export_mp3(), "Failed assert DataFileMode::Read == mode\n DataFileMode::Read is 1\n mode is " +
                                                 std::to_string(mode));
    }
}

}  // namespace
