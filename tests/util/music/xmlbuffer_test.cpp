// Parsing XML from a text load: line ends, the end of the document, and a
// buffer the data layer could not fill.
#include <cstring>
#include <vector>

#include "support/test_support.h"
#include "util/music/xmlbuffer.h"

namespace {

// The block of a text load: the bytes and a zero, counted.
std::vector<char> block(const std::string& text) {
    std::vector<char> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

// The document printed back, for comparing what was parsed.
std::string parsed(const std::string& text, bool* ok = nullptr) {
    std::vector<char> bytes = block(text);
    XmlDocument document;
    const bool result = document.LoadBuffer(bytes.data(), static_cast<int32_t>(bytes.size()), TIXML_ENCODING_UNKNOWN);
    if (ok) *ok = result;
    TiXmlPrinter printer;
    document.Accept(&printer);
    return printer.Str();
}

TEST(XmlBuffer, LineEndsAreNormalised) {
    // Texts keep their white space, so the line ends show.
    TiXmlBase::SetCondenseWhiteSpace(false);
    const std::string lf = "<a>\n<b>one\ntwo</b>\n<c x=\"1\"/>\n</a>\n";
    std::string crlf, cr;
    for (char c : lf) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        cr += c == '\n' ? '\r' : c;
    }
    for (const std::string& text : {lf, crlf, cr}) {
        std::vector<char> bytes = block(text);
        XmlDocument document;
        ASSERT_TRUE(document.LoadBuffer(bytes.data(), static_cast<int32_t>(bytes.size()), TIXML_ENCODING_UNKNOWN));
        EXPECT_STREQ(document.FirstChildElement("a")->FirstChildElement("b")->GetText(), "one\ntwo");
    }
    EXPECT_EQ(parsed(crlf), parsed(lf));
    TiXmlBase::SetCondenseWhiteSpace(true);
}

TEST(XmlBuffer, ZeroByteEndsTheDocument) {
    bool ok = false;
    EXPECT_EQ(parsed(std::string("<a/>\0<broken", 12), &ok), parsed("<a/>"));
    EXPECT_TRUE(ok);
}

TEST(XmlBuffer, ErrorsOfEmptyAndMissingDocuments) {
    XmlDocument document;
    EXPECT_FALSE(document.LoadBuffer(nullptr, 0, TIXML_ENCODING_UNKNOWN));
    EXPECT_STREQ(document.ErrorDesc(), "Failed to open file");

    std::vector<char> blank = block("  \n\t ");
    EXPECT_FALSE(document.LoadBuffer(blank.data(), static_cast<int32_t>(blank.size()), TIXML_ENCODING_UNKNOWN));
    EXPECT_STREQ(document.ErrorDesc(), "Error document empty.");

    // Only the appended zero is written; the file's bytes stay.
    std::vector<char> bytes = block("<a/>\r\n");
    bytes.back() = 'x';
    EXPECT_TRUE(document.LoadBuffer(bytes.data(), static_cast<int32_t>(bytes.size()), TIXML_ENCODING_UNKNOWN));
    EXPECT_EQ(std::string(bytes.data()), "<a/>\r\n");
}

}  // namespace
