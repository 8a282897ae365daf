#include "util/data/archive.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

#include "data_fixture.h"
#include "platform/files.h"
#include "util/data/huffman.h"

namespace {

using Bytes = std::vector<uint8_t>;
using data_test::DataLayerTest;
using data_test::read_file;
using data_test::write_file;

Bytes chunk(const std::string& name, const std::string& data) {
    Bytes out(DataArchive::kChunkHeaderSize);
    DataArchive::put_chunk_header(out.data(), static_cast<uint32_t>(name.size()), static_cast<uint32_t>(data.size()));
    out.insert(out.end(), name.begin(), name.end());
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes archive_of(const Bytes& stream) {
    Bytes out(DataArchive::kHeaderTextSize);
    std::memcpy(out.data(), DataArchive::kHeaderText, DataArchive::kHeaderTextSize);
    out.push_back(0);
    out.push_back(2);
    Bytes blob(HuffmanCodec::max_blob_size(stream.size()));
    int32_t bloblen = 0;
    HuffmanCodec().compress(blob.data(), &bloblen, stream.data(), static_cast<int32_t>(stream.size()));
    out.insert(out.end(), blob.begin(), blob.begin() + bloblen);
    return out;
}

std::string as_string(const Bytes& b) { return std::string(b.begin(), b.end()); }

void set_u32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

std::string parse_error(const Bytes& file) {
    DataArchive::Parsed parsed;
    return DataArchive::parse(file.data(), file.size(), "data.tlx", &parsed);
}

// A small data tree with awkward contents, loaded in Write mode.
class ArchiveRoundTrip : public DataLayerTest {
protected:
    ArchiveRoundTrip() {
        std::filesystem::create_directories("data/common/fonts");
        std::filesystem::create_directories("data/music");
        std::string all_bytes;
        for (int i = 0; i < 256; ++i) all_bytes += static_cast<char>(i);
        files_ = {
            {"data/common/fonts/courier_new.ttf", all_bytes + std::string(1000, '\0') + all_bytes, false},
            {"data/shader.frag", "void main() {\r\n  gl_FragColor = vec4(1.0);\r\n}\r\n", true},
            {"data/caf\xc3\xa9 " + std::string(200, 'n') + ".txt", "non-ASCII and a long name", false},
        };
        std::mt19937 rng(3);
        std::string big(3 << 20, '\0');
        for (char& c : big) c = static_cast<char>(rng() % 3 == 0 ? rng() : 'a' + rng() % 6);
        files_.push_back({"data/music/big.mp3", big, false});
        for (const File& f : files_) write_file(f.name, f.bytes);
        set_up_screen();
    }

    // Loads every file in Write mode and writes the archive; returns the
    // bytes each load gave.
    std::vector<std::string> write_run(const std::string& path = "data.tlx") {
        DataFile::set_mode(DataFileMode::Write);
        std::vector<std::string> loaded;
        for (const File& f : files_) {
            int32_t length = 0;
            char* bytes = DataFile::load(f.name.c_str(), f.text ? "rt" : "rb", &length, f.text, false);
            loaded.emplace_back(bytes, static_cast<size_t>(length));
            std::free(bytes);
        }
        add_empty_entry();
        testing::internal::CaptureStdout();
        DataFile::write_archive(path);
        log_ = testing::internal::GetCapturedStdout();
        return loaded;
    }

    // An entry that holds no bytes (written as a chunk without data).
    static void add_empty_entry() {
        auto entry = std::make_unique<DataFileEntry>();
        entry->name = "data/empty";
        DataFile::entries().push_back(std::move(entry));
    }

    struct File {
        std::string name;
        std::string bytes;
        bool text;
    };
    std::vector<File> files_;
    std::string log_;
};

TEST_F(ArchiveRoundTrip, WriteThenReadGivesTheSameEntries) {
    std::vector<std::string> loaded = write_run();
    ASSERT_EQ(DataFile::temp_files().size(), 2u);  // the staging file and the new archive
    const std::string staging = DataFile::temp_files()[0];
    EXPECT_TRUE(std::filesystem::exists(staging));

    DataFile::reset();
    std::filesystem::remove_all("data");
    DataFile::set_mode(DataFileMode::Read);
    DataFile::read_archive("data.tlx");
    EXPECT_TRUE(DataFile::archive_read());

    const auto& entries = DataFile::entries();
    ASSERT_EQ(entries.size(), files_.size() + 1);
    for (size_t i = 0; i < files_.size(); ++i) {
        SCOPED_TRACE(files_[i].name);
        EXPECT_EQ(entries[i]->name, files_[i].name);
        EXPECT_EQ(std::string(entries[i]->data, static_cast<size_t>(entries[i]->size)), loaded[i]);
        EXPECT_FALSE(entries[i]->used);
    }
    EXPECT_EQ(entries.back()->name, "data/empty");
    EXPECT_EQ(entries.back()->size, 0);
    ASSERT_NE(entries.back()->data, nullptr);

    // Every load returns what the Write-mode load returned; the progress
    // counts used entries out of all of them.
    for (size_t i = 0; i < files_.size(); ++i) {
        int32_t length = 0;
        char* bytes = DataFile::load(files_[i].name.c_str(), "rb", &length, false, false);
        ASSERT_NE(bytes, nullptr);
        EXPECT_EQ(std::string(bytes, static_cast<size_t>(length)), loaded[i]);
        std::free(bytes);
        screen_.now += 40;
    }
    ASSERT_FALSE(screen_.draws.empty());
    EXPECT_EQ(screen_.draws.back().done, static_cast<int>(files_.size()));
    EXPECT_EQ(screen_.draws.back().total, static_cast<int>(files_.size() + 1));
}

TEST_F(ArchiveRoundTrip, LayoutStatisticsAndRepeatability) {
    write_run();
    const std::string first = read_file("data.tlx");

    // The blob holds exactly the chunk stream of the table.
    Bytes expected_stream;
    for (const auto& e : DataFile::entries()) {
        Bytes c = chunk(e->name, std::string(e->data, static_cast<size_t>(e->size)));
        expected_stream.insert(expected_stream.end(), c.begin(), c.end());
    }
    EXPECT_TRUE(first.substr(0, 21) == std::string("Orvenhal Data File\0\0\2", 21));
    HuffmanCodec codec;
    const auto* blob = reinterpret_cast<const uint8_t*>(first.data()) + 21;
    int64_t n = codec.set_blob(blob, first.size() - 21);
    ASSERT_EQ(n, static_cast<int64_t>(expected_stream.size()));
    Bytes stream(static_cast<size_t>(n));
    int32_t outlen = 0;
    ASSERT_TRUE(codec.decompress(stream.data(), &outlen));
    EXPECT_TRUE(stream == expected_stream);

    // The log names every file and gives the sizes.
    const int64_t original = static_cast<int64_t>(expected_stream.size());
    const int64_t compressed = static_cast<int64_t>(first.size() - 21);
    char rate[32], mb[32], line[64];
    std::snprintf(rate, sizeof rate, "%9.2f", static_cast<float>(original - compressed) * 100.0f / original);
    std::snprintf(mb, sizeof mb, "%.2f", static_cast<float>(compressed) / 1048576.0f);
    EXPECT_NE(log_.find(" Writing datafile data.tlx\n"), std::string::npos);
    EXPECT_NE(log_.find(" ..file: data/shader.frag, " + std::to_string(files_[1].bytes.size() + 1) + " bytes\n"),
              std::string::npos);
    EXPECT_NE(log_.find(" ..file: data/empty, 0 bytes\n"), std::string::npos);
    EXPECT_NE(log_.find(std::string(" Done writing datafile \"data.tlx\" of ") + mb + " MB!\n"), std::string::npos);
    std::snprintf(line, sizeof line, " ..original file size:  %9lld bytes\n", static_cast<long long>(original));
    EXPECT_NE(log_.find(line), std::string::npos) << log_;
    std::snprintf(line, sizeof line, " ..compressed file size:%9lld bytes\n", static_cast<long long>(compressed));
    EXPECT_NE(log_.find(line), std::string::npos);
    std::snprintf(line, sizeof line, " ..lost in compression: %9lld bytes\n",
                  static_cast<long long>(original - compressed));
    EXPECT_NE(log_.find(line), std::string::npos);
    EXPECT_NE(log_.find(std::string(" ..compression rate:    ") + rate + " %\n"), std::string::npos);

    // Written again from the same table: the same bytes, with the permissions
    // of an ordinary new file.
    testing::internal::CaptureStdout();
    DataFile::write_archive("data.tlx");
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(read_file("data.tlx") == first);
    mode_t mask = umask(0);
    umask(mask);
    struct stat st {};
    ASSERT_EQ(stat("data.tlx", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
}

TEST_F(ArchiveRoundTrip, TemporaryFilesAreRemovedOnRequest) {
    write_run();
    std::vector<std::string> names = DataFile::temp_files();
    DataFile::remove_temp_files();
    for (const std::string& name : names) EXPECT_FALSE(std::filesystem::exists(name)) << name;
    EXPECT_TRUE(std::filesystem::exists("data.tlx"));
    DataFile::remove_temp_files();  // already gone: ignored
    EXPECT_EQ(DataFile::temp_files(), names);
}

TEST_F(ArchiveRoundTrip, AFailedWriteKeepsThePreviousArchive) {
    write_file("data.tlx", "the previous archive");
    // Incompressible bytes: the staged stream fits under the file-size limit,
    // the archive (table and codes) does not.
    std::mt19937 rng(1);
    std::string noise(60000, 0);
    for (char& c : noise) c = static_cast<char>(rng());
    files_ = {{"data/noise.bin", noise, false}};
    write_file("data/noise.bin", noise);
    const rlim_t stream_size = 15 + 14 + noise.size() + 15 + 10;

    // What the program's start-up does: a write past the limit then fails
    // with EFBIG.
    platform::keep_running_past_file_size_limit();
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = stream_size + 500;
    setrlimit(RLIMIT_FSIZE, &limited);
    std::string message;
    try {
        write_run();
    } catch (const test_support::FatalError& e) {
        message = e.report.message;
        testing::internal::GetCapturedStdout();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(message, "Failed to write file contents!");

    EXPECT_EQ(read_file("data.tlx"), "the previous archive");
    for (const auto& entry : std::filesystem::directory_iterator("."))
        EXPECT_EQ(entry.path().filename().string().rfind("data.tlx.", 0), std::string::npos) << entry.path();
}

TEST_F(ArchiveRoundTrip, AnArchiveThatCannotBeCreated) {
    try {
        write_run("no/such/folder/data.tlx");
        ADD_FAILURE() << "no fatal error";
    } catch (const test_support::FatalError& e) {
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(std::string(e.report.message), "Failed to open data file no/such/folder/data.tlx for writing");
    }
    EXPECT_EQ(DataFile::temp_files().size(), 1u);  // only the staging file
}

TEST_F(DataLayerTest, WritingAnEmptyTableEndsTheRunBeforeAnyArchive) {
    DataFile::set_mode(DataFileMode::Write);
    testing::internal::CaptureStdout();
    EXPECT_FATAL(DataFile::write_archive("data.tlx"), "Negative or zero file length: 0");
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(std::filesystem::exists("data.tlx"));
}

TEST_F(DataLayerTest, ArchiveOperationsOutsideTheirModes) {
    write_file("data.tlx", "not even an archive");
    for (int mode : {DataFileMode::Plain, DataFileMode::Write}) {
        DataFile::reset();
        DataFile::set_mode(mode);
        DataFile::read_archive("data.tlx");
        EXPECT_TRUE(DataFile::archive_read());
        DataFile::set_mode(DataFileMode::Read);
        DataFile::read_archive("data.tlx");  // once per process: nothing happens
        EXPECT_TRUE(DataFile::entries().empty());
    }
    DataFile::set_mode(DataFileMode::Plain);
    DataFile::write_archive("other.tlx");
    EXPECT_FALSE(std::filesystem::exists("other.tlx"));
}

TEST_F(DataLayerTest, ReaderMessages) {
    const Bytes good = archive_of(concat({chunk("data/a", "123456789a")}));
    Bytes bad_version = good;
    bad_version[20] = 1;
    Bytes bad_tag;
    {
        Bytes stream = concat({chunk("data/a", "123456789a"), chunk("data/b", "x")});
        std::memcpy(&stream[31], "JUNK\0\0\0", 7);
        bad_tag = archive_of(stream);
    }
    // Damaged bytes reach the box and the log escaped: control characters,
    // invalid UTF-8 and the backslash itself.
    Bytes raw_tag;
    {
        Bytes stream = concat({chunk("data/a", "x"), chunk("data/b", "y")});
        std::memcpy(&stream[22], "\x1b[2J\xff\\", 7);
        raw_tag = archive_of(stream);
    }
    struct Case {
        const char* what;
        std::string file;  // "" with `missing`: no file at all
        std::string message;
        bool missing = false;
    } cases[] = {
        {"missing", "",
         "Failed to open data file data.tlx for reading.\nIt was looked for in " +
             std::filesystem::current_path().string() +
             " (No such file or directory); the program reads it from the folder it is started in.",
         true},
        {"empty", "", "Negative or zero file length: 0 (data file data.tlx)"},
        {"short header", "Orvenhal", "Failed to read header! (data file data.tlx)"},
        {"other header", "Something Else Entirely, longer", "Unrecognized datafile header: Something Else Enti (data file data.tlx)"},
        {"no major version", std::string("Orvenhal Data File\0", 19), "Failed to read major version! (data file data.tlx)"},
        {"no minor version", std::string("Orvenhal Data File\0\0", 20), "Failed to read minor version! (data file data.tlx)"},
        {"version 0.1", as_string(bad_version), "Expected datafile format 0.2, got 0.1 (data file data.tlx)"},
        {"21 bytes", std::string("Orvenhal Data File\0\0\2", 21), "Failed to read 0 bytes from data.tlx"},
        {"chunk tag", as_string(bad_tag),
         "Unrecognized chunk header: JUNK. \nRead 1 chunks, 9.53674e-06 MB before this (data file data.tlx)\n"},
        {"raw chunk tag", as_string(raw_tag),
         "Unrecognized chunk header: \\x1b[2J\\xff\\\\. \nRead 1 chunks, 9.53674e-07 MB before this (data file data.tlx)\n"},
        {"raw header", std::string("Orv\r\n\t\x7f\xc3\x28 ok\0 later, more", 25),
         "Unrecognized datafile header: Orv\\x0d\\x0a\\x09\\x7f\\xc3( ok (data file data.tlx)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DataFile::reset();
        DataFile::set_mode(DataFileMode::Read);
        std::filesystem::remove("data.tlx");
        if (!c.missing) write_file("data.tlx", c.file);
        EXPECT_FATAL(DataFile::read_archive("data.tlx"), c.message);
        EXPECT_TRUE(DataFile::entries().empty());
    }
}

TEST_F(DataLayerTest, MissingArchiveNamesTheFolderItWasLookedForInInTheLogAndTheBox) {
    const std::string here = std::filesystem::current_path().string();
    const std::pair<std::string, std::string> cases[] = {
        {"data.tlx", "[DATA] Can't open data.tlx in " + here},
        {"run/data.tlx", "[DATA] Can't open data.tlx in " + here + "/run"},
    };
    for (const auto& [path, line] : cases) {
        SCOPED_TRACE(path);
        DataFile::reset();
        DataFile::set_mode(DataFileMode::Read);
        testing::internal::CaptureStdout();
        const std::string folder = line.substr(line.find(" in ") + 4);
        EXPECT_FATAL(DataFile::read_archive(path),
                     "Failed to open data file " + path + " for reading.\nIt was looked for in " + folder +
                         " (No such file or directory); the program reads it from the folder it is started in.");
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_NE(out.find(line + " (No such file or directory); the program reads it from the folder it is started in\n"),
                  std::string::npos)
            << out;
    }
}

TEST_F(DataLayerTest, CorruptArchivesEndTheRunNamingTheArchive) {
    const Bytes stream = concat({chunk("data/a", "hello"), chunk("data/b", "world!")});
    const Bytes good = archive_of(stream);
    const size_t blob = 21;
    struct Case {
        const char* what;
        Bytes file;
    };
    std::vector<Case> cases;
    auto mutated = [&](const char* what, void (*change)(Bytes&, size_t)) {
        Bytes f = good;
        change(f, blob);
        cases.push_back({what, f});
    };
    mutated("symbol count 257", [](Bytes& f, size_t b) { set_u32(f, b + 4, 257); });
    mutated("no symbols for bytes", [](Bytes& f, size_t b) { set_u32(f, b + 4, 0); });
    mutated("length 0xFFFFFFFF", [](Bytes& f, size_t b) { set_u32(f, b + 8, 0xFFFFFFFF); });
    mutated("table past the end", [](Bytes& f, size_t b) { set_u32(f, b + 4, 200); });
    mutated("length field disagrees", [](Bytes& f, size_t b) { set_u32(f, b + 12, 5); });
    mutated("padding byte dropped", [](Bytes& f, size_t) { f.pop_back(); });
    Bytes name_past_end = stream;
    set_u32(name_past_end, 7, 0xFFFFFFFF);
    cases.push_back({"fname_length 0xFFFFFFFF", archive_of(name_past_end)});
    Bytes size_past_end = stream;
    set_u32(size_past_end, 11, 0xFFFFFFFF);
    cases.push_back({"size 0xFFFFFFFF", archive_of(size_past_end)});
    cases.push_back({"stream ends inside a tag", archive_of(concat({chunk("data/a", "hello"), Bytes{'T', 'L', 'X'}}))});
    cases.push_back({"stream ends inside a chunk header",
                     archive_of(concat({chunk("data/a", "hello"), Bytes{'T', 'L', 'X', 'D', 'F', 'C', 0, 1}}))});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DataFile::reset();
        DataFile::set_mode(DataFileMode::Read);
        write_file("data.tlx", as_string(c.file));
        EXPECT_FATAL_CONTAINS(DataFile::read_archive("data.tlx"), "Corrupt datafile data.tlx: ");
        EXPECT_TRUE(DataFile::entries().empty());
    }
}

TEST(ArchiveParse, EveryPrefixAndRandomDamageFailCleanly) {
    const Bytes good = archive_of(concat({chunk("data/a", "hello, hello"), chunk("data/b", ""), chunk("c", "xyz")}));
    ASSERT_EQ(parse_error(good), "");
    for (size_t n = 0; n < good.size(); ++n)
        EXPECT_NE(parse_error(Bytes(good.begin(), good.begin() + static_cast<long>(n))), "") << n;

    std::mt19937 rng(2024);
    int refused = 0;
    for (int round = 0; round < 1000; ++round) {
        Bytes f = good;
        int flips = 1 + static_cast<int>(rng() % 3);
        for (int i = 0; i < flips; ++i) f[21 + rng() % (f.size() - 21)] ^= static_cast<uint8_t>(1 + rng() % 255);
        if (!parse_error(f).empty()) ++refused;
    }
    EXPECT_GT(refused, 0);
}

}  // namespace
