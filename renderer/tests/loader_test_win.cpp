// The bitmap loader under Wine's GDI: what each kind of file decodes to, and
// that every refused file says why in exactly one message.
#include "renderer/dib_loader.h"
#include "texture/tests/bmp_bytes.h"

#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace bmptest;

namespace {

std::vector<std::string> messages;
void recordMessage(const char* text) {
    messages.push_back(text);
}

class Loader : public ::testing::Test {
  protected:
    void SetUp() override {
        messages.clear();
        previous = setErrorReporter(recordMessage);
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        path = std::string(dir) + "velumira_loader_test.bmp";
    }
    void TearDown() override {
        setErrorReporter(previous);
        DeleteFileA(path.c_str());
    }

    void writeFile(const Bytes& file) {
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(h, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(h, file.data(), DWORD(file.size()), &written, nullptr);
        CloseHandle(h);
    }

    // Writes the bytes to a file and loads it; the test owns the result.
    std::vector<Rgb> load(const Bytes& file, int& width, int& height) {
        writeFile(file);
        std::vector<Rgb> rgb;
        RgbImage* image = loadDibImage(path.c_str());
        width = height = 0;
        if (!image) return rgb;
        width = image->width;
        height = image->height;
        for (int i = 0; i < width * height; ++i)
            rgb.push_back({image->data[3 * i], image->data[3 * i + 1], image->data[3 * i + 2]});
        freeRgbImage(image);
        return rgb;
    }
    std::vector<Rgb> load(const Bytes& file) {
        int w, h;
        return load(file, w, h);
    }

    std::string path;
    ErrorReporter previous = nullptr;
};

TEST_F(Loader, Width1366RowsComeOutPackedWithoutSkew) {
    const int w = 1366, h = 3;
    std::vector<Rgb> picture = pattern(w, h);
    BmpSpec s;
    s.width = w;
    s.height = h;
    s.pixels = rows24(picture, w, h);
    int gotW, gotH;
    std::vector<Rgb> got = load(buildBmp(s), gotW, gotH);
    EXPECT_EQ(gotW, w);
    EXPECT_EQ(gotH, h);
    EXPECT_TRUE(got == picture);
    EXPECT_TRUE(messages.empty());
}

// Uncompressed 24- and 32-bit files are read without GDI; what comes out is
// byte for byte what GDI's conversion makes of them, padded rows included.
TEST_F(Loader, DirectReadingEqualsGdisConversion) {
    for (int w : {1, 5, 1366})
        for (uint16_t bits : {24, 32}) {
            SCOPED_TRACE(testing::Message() << w << " wide, " << bits << " bits");
            const int h = 3;
            const std::vector<Rgb> picture = pattern(w, h);
            BmpSpec s;
            s.width = w;
            s.height = h;
            s.bitCount = bits;
            if (bits == 24) {
                s.pixels = rows24(picture, w, h);
            } else {
                for (const Rgb& c : picture)
                    s.pixels.insert(s.pixels.end(), {c.b, c.g, c.r, 0x77});
            }
            const Bytes file = buildBmp(s);
            const std::vector<Rgb> direct = load(file);
            setDirectReading(false);
            const std::vector<Rgb> gdi = load(file);
            setDirectReading(true);
            EXPECT_TRUE(direct == gdi);
            EXPECT_TRUE(direct == picture);
        }
    EXPECT_TRUE(messages.empty());
}

// The texture makes its storage while the rows are read: the loader says the
// size once, on this thread, and only for a file it reads directly and
// delivers.
TEST_F(Loader, WhileReadingRunsOnceForDirectReadsOnly) {
    BmpSpec direct;
    direct.width = 600;
    direct.height = 500; // enough rows for every core
    direct.pixels = rows24(pattern(600, 500), 600, 500);
    BmpSpec paletted;
    paletted.width = 4;
    paletted.bitCount = 8;
    paletted.palette.assign(256, Rgb{1, 2, 3});
    paletted.pixels = {0, 0, 0, 0};
    BmpSpec truncated = direct;
    truncated.pixels.resize(100);
    for (const BmpSpec* s : {&direct, &paletted, &truncated}) {
        writeFile(buildBmp(*s));
        std::vector<std::vector<int>> calls;
        const DWORD thread = GetCurrentThreadId();
        RgbImage* image = loadDibImage(path.c_str(), [&](int32_t w, int32_t h) {
            calls.push_back({w, h, GetCurrentThreadId() == thread});
        });
        const std::vector<std::vector<int>> once = {{600, 500, 1}};
        EXPECT_EQ(calls, s == &direct ? once : std::vector<std::vector<int>>()) << s->bitCount;
        EXPECT_EQ(image != nullptr, s != &truncated);
        freeRgbImage(image);
    }
}

TEST_F(Loader, PaletteEntriesComeOutInRgbOrder) {
    BmpSpec s;
    s.width = 2;
    s.height = 1;
    s.bitCount = 8;
    s.palette.assign(256, Rgb{0, 0, 0});
    s.palette[7] = Rgb{0x30, 0x20, 0x10}; // stored as blue 0x10, green 0x20, red 0x30
    s.pixels = {7, 0, 0, 0};
    Bytes file = buildBmp(s);
    ASSERT_EQ(file[14 + 40 + 7 * 4], 0x10); // the entry really is stored blue first
    std::vector<Rgb> got = load(file);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].r, 0x30);
    EXPECT_EQ(got[0].g, 0x20);
    EXPECT_EQ(got[0].b, 0x10);
    EXPECT_TRUE(got[1] == (Rgb{0, 0, 0}));
}

TEST_F(Loader, CoreHeaderLoadsLikeTheWindowsHeader) {
    std::vector<Rgb> palette;
    for (int i = 0; i < 256; ++i)
        palette.push_back({uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
    BmpSpec paletted;
    paletted.width = 5;
    paletted.height = 2;
    paletted.bitCount = 8;
    paletted.palette = palette;
    paletted.pixels = {0, 10, 20, 30, 40, 0, 0, 0, 250, 251, 252, 253, 254, 0, 0, 0};
    BmpSpec direct;
    direct.width = 3;
    direct.height = 2;
    direct.pixels = rows24(pattern(3, 2), 3, 2);

    for (const BmpSpec& windows : {paletted, direct}) {
        std::vector<Rgb> expected = load(buildBmp(windows));
        ASSERT_EQ(expected.size(), size_t(windows.width * windows.height));
        for (bool fileHeader : {true, false}) {
            BmpSpec core = windows;
            core.headerSize = 12;
            core.fileHeader = fileHeader;
            EXPECT_TRUE(load(buildBmp(core)) == expected) << windows.bitCount << fileHeader;
        }
    }
    EXPECT_EQ(load(buildBmp(paletted))[1], palette[10]);
    EXPECT_TRUE(messages.empty());
}

TEST_F(Loader, EveryBitDepthAndRunLengthDecodes) {
    const Rgb c0{1, 2, 3}, c1{200, 100, 50}, c2{9, 99, 199}, c3{255, 0, 128};

    BmpSpec mono; // 10 x 2, rows padded to 4 bytes, first pixel in the top bit
    mono.width = 10;
    mono.height = 2;
    mono.bitCount = 1;
    mono.palette = {c0, c1};
    mono.pixels = {0xAA, 0x80, 0, 0, 0xFF, 0xC0, 0, 0};
    std::vector<Rgb> got = load(buildBmp(mono));
    ASSERT_EQ(got.size(), 20u);
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(got[x], x % 2 ? c0 : c1) << x;
        EXPECT_EQ(got[10 + x], c1) << x;
    }

    BmpSpec nibbles; // 3 x 1
    nibbles.width = 3;
    nibbles.bitCount = 4;
    nibbles.palette.assign(16, c0);
    nibbles.palette[1] = c1;
    nibbles.palette[2] = c2;
    nibbles.palette[3] = c3;
    nibbles.pixels = {0x12, 0x30, 0, 0};
    EXPECT_TRUE(load(buildBmp(nibbles)) == (std::vector<Rgb>{c1, c2, c3}));

    BmpSpec rgb555; // 2 x 1, x RRRRR GGGGG BBBBB, 5 bits widened as GDI does
    rgb555.width = 2;
    rgb555.bitCount = 16;
    rgb555.pixels = {0x1F, 0x7C, 0x10, 0x02, 0, 0, 0, 0};
    // 0x7C1F: red 31, green 0, blue 31; 0x0210: red 0, green 16, blue 16
    EXPECT_TRUE(load(buildBmp(rgb555)) == (std::vector<Rgb>{{255, 0, 255}, {0, 0x84, 0x84}}));

    BmpSpec rgb32; // 2 x 1, B G R X
    rgb32.width = 2;
    rgb32.bitCount = 32;
    rgb32.pixels = {3, 2, 1, 0xEE, 50, 100, 200, 0x11};
    EXPECT_TRUE(load(buildBmp(rgb32)) == (std::vector<Rgb>{{1, 2, 3}, {200, 100, 50}}));

    BmpSpec rle8; // 4 x 2: a run of four, end of line, two runs of two, end of bitmap
    rle8.width = 4;
    rle8.height = 2;
    rle8.bitCount = 8;
    rle8.compression = 1;
    rle8.palette.assign(256, c0);
    rle8.palette[1] = c1;
    rle8.palette[2] = c2;
    rle8.palette[3] = c3;
    rle8.pixels = {4, 1, 0, 0, 2, 2, 2, 3, 0, 1};
    rle8.sizeImage = uint32_t(rle8.pixels.size());
    EXPECT_TRUE(load(buildBmp(rle8)) == (std::vector<Rgb>{c1, c1, c1, c1, c2, c2, c3, c3}));

    BmpSpec rle4 = rle8; // runs alternate the two nibbles
    rle4.bitCount = 4;
    rle4.compression = 2;
    rle4.palette.resize(16);
    rle4.pixels = {4, 0x12, 0, 0, 4, 0x33, 0, 1};
    rle4.sizeImage = uint32_t(rle4.pixels.size());
    EXPECT_TRUE(load(buildBmp(rle4)) == (std::vector<Rgb>{c1, c2, c1, c2, c3, c3, c3, c3}));

    EXPECT_TRUE(messages.empty());
}

TEST_F(Loader, MissingSnapshotGivesOneMessageNamingThePath) {
    DeleteFileA("C:\\r_quil\\Velumira.bmp");
    EXPECT_EQ(loadDibImage("C:\\r_quil\\Velumira.bmp"), nullptr);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Failed to open DIB file C:\\r_quil\\Velumira.bmp.\n");
}

// The same file, the test's own, accepted as the user's and refused once the
// loader's user is another account.
TEST_F(Loader, PictureOwnedBySomeoneElseIsRefusedLikeAMissingOne) {
    BmpSpec s;
    s.width = 2;
    s.pixels = rows24(pattern(2, 1), 2, 1);
    ASSERT_EQ(load(buildBmp(s)).size(), 2u);
    PSID other = nullptr;
    ASSERT_TRUE(ConvertStringSidToSidA("S-1-5-21-1004336348-1177238915-682003330-1001", &other));
    setPictureUser(other);
    EXPECT_TRUE(load(buildBmp(s)).empty());
    setPictureUser(nullptr);
    LocalFree(other);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Failed to open DIB file " + path + ".\n");
}

TEST_F(Loader, MalformedFilesAreRefusedWithOneMessage) {
    for (const CorpusEntry& e : corpus()) {
        SCOPED_TRACE(e.file);
        messages.clear();
        const std::string file = corpusPath(e.file);
        EXPECT_EQ(loadDibImage(file.c_str()), nullptr);
        ASSERT_EQ(messages.size(), 1u);
        switch (e.refusal) {
        case Refusal::OpenFailed:
            EXPECT_EQ(messages[0], "Failed to open DIB file " + file + ".\n");
            break;
        case Refusal::UnknownFormat:
            EXPECT_EQ(messages[0], "Unknown DIB file format.");
            break;
        case Refusal::ConversionError:
            EXPECT_EQ(messages[0], "Image file conversion error.");
            break;
        }
    }

    messages.clear();
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    EXPECT_EQ(loadDibImage(path.c_str()), nullptr);
    RemoveDirectoryA(path.c_str());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Failed to open DIB file " + path + ".\n");
}

} // namespace
