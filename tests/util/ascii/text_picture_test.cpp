// Text pictures: lines to rows, padding, line ends, and the pictures that
// are not pictures.
#include "util/ascii/text_picture.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"
#include "ascii_test_support.h"

namespace {

TextPicture parse(const std::string& text) { return parse_text_picture("pic.asc", text.data(), text.size()); }

std::string row_of(const TextPicture& p, int row) {
    return std::string(&p.chars[static_cast<size_t>(row) * p.width], p.width);
}

TEST(TextPicture, LinesBecomeRowsPaddedWithZerosToTheLongest) {
    TextPicture p = parse("ab\nabcd\n\n");
    EXPECT_EQ(p.width, 4);
    EXPECT_EQ(p.height, 3);
    EXPECT_EQ(row_of(p, 0), std::string("ab\0\0", 4));
    EXPECT_EQ(row_of(p, 1), "abcd");
    EXPECT_EQ(row_of(p, 2), std::string(4, '\0'));
}

TEST(TextPicture, LineEndsAndTheLastLine) {
    struct Case {
        const char* name;
        std::string text;
        int width, height;
    };
    const Case cases[] = {
        {"no final line feed", "abc\nde", 3, 2},
        {"a final line feed adds no line", "abc\nde\n", 3, 2},
        {"carriage returns before line feeds are dropped", "abc\r\nde\r\n", 3, 2},
        {"a lone carriage return stays", "a\rb\n", 3, 1},
        {"one empty line", "\n", 0, 1},
        {"characters from 128 up are characters", "\xdb\xdb\xb0\n", 3, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextPicture p = parse(c.text);
        EXPECT_EQ(p.width, c.width);
        EXPECT_EQ(p.height, c.height);
        EXPECT_EQ(p.chars.size(), static_cast<size_t>(c.width * c.height));
    }
    EXPECT_EQ(row_of(parse("abc\r\nde\r\n"), 1), std::string("de\0", 3));
}

TEST(TextPicture, EmptyBinaryAndOversizedTextsEndTheRun) {
    EXPECT_FATAL(parse(""), "Text picture pic.asc is empty");
    EXPECT_FATAL(parse(std::string("ab\0cd", 5)),
                 "File pic.asc is not a text picture: it holds a zero byte at offset 2");
    EXPECT_FATAL(parse(std::string(4097, 'x')), "Text picture pic.asc is larger than 4096x4096 characters");
    std::string tall;
    for (int i = 0; i < 4097; ++i) tall += "x\n";
    EXPECT_FATAL(parse(tall), "Text picture pic.asc is larger than 4096x4096 characters");
    TextPicture largest = parse(std::string(4096, 'x'));
    EXPECT_EQ(largest.width, 4096);
}

TEST(TextPicture, LoaderReadsThroughTheDataLayer) {
    ascii_test::DataFolder folder;
    folder.write("mug.asc", " _\r\n|_|)\n");
    AsciiScreen screen;
    AsciiLoader loader(&screen, "mug.asc");
    EXPECT_EQ(loader.width(), 4);
    EXPECT_EQ(loader.height(), 2);
    EXPECT_EQ(row_of(loader.picture(), 1), "|_|)");

    EXPECT_FATAL(AsciiLoader(&screen, "missing.asc"), "Failed to load missing.asc");
    folder.write("binary.asc", std::string("\x89PNG\r\n\x1a\n\0\0", 10));
    EXPECT_FATAL(AsciiLoader(&screen, "binary.asc"),
                 "File binary.asc is not a text picture: it holds a zero byte at offset 8");
}

}  // namespace
