#include "platform/Dib.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

using namespace kovet;

namespace {

struct BmpSpec {
    std::uint32_t HeaderSize = 40;
    std::int32_t Width = 2;
    std::int32_t Height = 2;
    std::uint16_t BitCount = 24;
    std::uint32_t Compression = kBiRgb;
    std::uint32_t ColorsUsed = 0;
    std::vector<std::uint8_t> Table; // masks and/or colour table, as stored
    std::vector<std::uint8_t> Bits;
    std::uint32_t SizeImage = 0;
};

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::vector<std::uint8_t> MakeBmp(const BmpSpec& s) {
    std::vector<std::uint8_t> info;
    Put32(info, s.HeaderSize);
    if (s.HeaderSize == 12) {
        Put16(info, std::uint32_t(s.Width));
        Put16(info, std::uint32_t(s.Height));
        Put16(info, 1);
        Put16(info, s.BitCount);
    } else {
        Put32(info, std::uint32_t(s.Width));
        Put32(info, std::uint32_t(s.Height));
        Put16(info, 1);
        Put16(info, s.BitCount);
        Put32(info, s.Compression);
        Put32(info, s.SizeImage);
        Put32(info, 3780);
        Put32(info, 3780);
        Put32(info, s.ColorsUsed);
        Put32(info, 0);
        info.resize(s.HeaderSize, 0);
    }
    info.insert(info.end(), s.Table.begin(), s.Table.end());
    std::vector<std::uint8_t> file = {'B', 'M'};
    Put32(file, std::uint32_t(14 + info.size() + s.Bits.size()));
    Put32(file, 0);
    Put32(file, std::uint32_t(14 + info.size()));
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), s.Bits.begin(), s.Bits.end());
    return file;
}

std::vector<std::uint8_t> Palette(std::initializer_list<std::uint32_t> rgb) {
    std::vector<std::uint8_t> table;
    for (const std::uint32_t c : rgb)
        Put32(table, c); // $00RRGGBB stored as B, G, R, 0
    return table;
}

std::vector<std::uint32_t> Decode(const std::vector<std::uint8_t>& file) {
    return DecodeDib(ReadBmpFile(file).Dib).Pixels;
}

std::string RefusalOf(const std::vector<std::uint8_t>& file) {
    try {
        ReadBmpFile(file);
    } catch (const EDibError& e) {
        return e.what();
    }
    return "accepted";
}

constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF,
                        kBlack = 0xFF000000;

} // namespace

TEST(DibReading, SplitsAFileIntoInfoAndBitsAndGivesItsSize) {
    BmpSpec s;
    s.Width = 3;
    s.Height = 2;
    s.Bits.assign(2 * 12, 0); // rows of 9 bytes padded to 12
    const std::vector<std::uint8_t> file = MakeBmp(s);
    const TBmpFile bmp = ReadBmpFile(file);
    EXPECT_EQ(bmp.Width, 3);
    EXPECT_EQ(bmp.Height, 2);
    EXPECT_EQ(bmp.Dib.Info.size(), 40u);
    EXPECT_EQ(bmp.Dib.Info.data(), file.data() + 14);
    EXPECT_EQ(bmp.Dib.Bits.size(), 24u);
    EXPECT_EQ(bmp.Dib.Bits.data(), file.data() + 54);
}

TEST(DibReading, InfoIncludesMasksAndColourTable) {
    BmpSpec pal;
    pal.BitCount = 8;
    pal.ColorsUsed = 3;
    pal.Table = Palette({0x000000, 0xFF0000, 0x00FF00});
    pal.Bits.assign(2 * 4, 0);
    EXPECT_EQ(ReadBmpFile(MakeBmp(pal)).Dib.Info.size(), 40u + 12);

    BmpSpec fields;
    fields.BitCount = 16;
    fields.Compression = kBiBitfields;
    fields.Table = Palette({0xF800, 0x07E0, 0x001F});
    fields.Bits.assign(2 * 4, 0);
    EXPECT_EQ(ReadBmpFile(MakeBmp(fields)).Dib.Info.size(), 52u);
}

TEST(DibReading, RefusesDamagedFilesWithAReason) {
    BmpSpec good;
    good.Bits.assign(2 * 8, 0);
    const std::vector<std::uint8_t> file = MakeBmp(good);

    std::vector<std::uint8_t> notBmp = file;
    notBmp[0] = 'X';
    EXPECT_EQ(RefusalOf(notBmp), "Bitmap: not a BMP file");
    EXPECT_EQ(RefusalOf({'B', 'M', 0}), "Bitmap: not a BMP file");
    EXPECT_EQ(RefusalOf(std::vector<std::uint8_t>(file.begin(), file.begin() + 30)),
              "Bitmap: the info header is cut off");
    EXPECT_EQ(RefusalOf(std::vector<std::uint8_t>(file.begin(), file.end() - 1)), "Bitmap: the pixel data is cut off");

    std::vector<std::uint8_t> badOffset = file;
    badOffset[10] = 200;
    EXPECT_EQ(RefusalOf(badOffset), "Bitmap: the pixel data offset 200 is not between the end of the headers (54) and "
                                    "the end of the file (70)");
    badOffset[10] = 20; // inside the info header
    EXPECT_NE(RefusalOf(badOffset).find("offset 20"), std::string::npos);

    BmpSpec header = good;
    header.HeaderSize = 41;
    EXPECT_EQ(RefusalOf(MakeBmp(header)), "Bitmap: unknown info header size 41");
}

TEST(DibReading, RefusesSizesAndFormatsItCannotDraw) {
    BmpSpec s;
    s.Bits.assign(64, 0);
    s.Width = 0;
    EXPECT_EQ(RefusalOf(MakeBmp(s)), "Bitmap: a size of 0 x 2 pixels is not valid");
    s.Width = 2;
    s.Height = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(RefusalOf(MakeBmp(s)), "Bitmap: a size of 2 x 2147483648 pixels is not valid");
    s.Width = 100000;
    s.Height = 100000;
    EXPECT_EQ(RefusalOf(MakeBmp(s)), "Bitmap: a size of 100000 x 100000 pixels is too large");
    s.Width = s.Height = 2;
    s.BitCount = 7;
    EXPECT_EQ(RefusalOf(MakeBmp(s)), "Bitmap: 7 bits per pixel is not supported");
    s.BitCount = 24;
    s.Compression = kBiRle8;
    EXPECT_EQ(RefusalOf(MakeBmp(s)), "Bitmap: compression 1 with 24 bits per pixel is not supported");
    s.BitCount = 8;
    s.Height = -2; // run-length bitmaps are always bottom-up
    EXPECT_EQ(RefusalOf(MakeBmp(s)), "Bitmap: compression 1 with 8 bits per pixel is not supported");

    BmpSpec table;
    table.BitCount = 8;
    table.ColorsUsed = 200;
    table.Table = Palette({0, 0});
    EXPECT_EQ(RefusalOf(MakeBmp(table)), "Bitmap: the colour table is cut off");
}

TEST(DibReading, ADibWithTooFewBitsIsRefusedBeforeDecoding) {
    BmpSpec s;
    s.Bits.assign(16, 0);
    const std::vector<std::uint8_t> file = MakeBmp(s);
    const TDib dib{ConstBytes(file).subspan(14, 40), ConstBytes(file).subspan(54, 15)};
    EXPECT_THROW(DecodeDib(dib), EDibError);
    EXPECT_THROW(ReadDibFormat({ConstBytes(file).subspan(14, 20), {}}), EDibError);
}

TEST(DibDecoding, BottomUpRowsComeOutTopDown) {
    BmpSpec s;                                       // 2 x 2, 24 bits; stored bottom row first, blue-green-red
    s.Bits = {0xFF, 0, 0,    0xFF, 0xFF, 0xFF, 0, 0, /* bottom: blue, white */
              0,    0, 0xFF, 0,    0xFF, 0,    0, 0 /* top: red, green */};
    EXPECT_EQ(Decode(MakeBmp(s)), (std::vector<std::uint32_t>{kRed, kGreen, kBlue, kWhite}));

    s.Height = -2; // the same bytes read top-down
    EXPECT_EQ(Decode(MakeBmp(s)), (std::vector<std::uint32_t>{kBlue, kWhite, kRed, kGreen}));
}

TEST(DibDecoding, PalettedPixelsLookUpTheirColours) {
    BmpSpec one;
    one.Width = 10;
    one.Height = 1;
    one.BitCount = 1;
    one.Table = Palette({0x000000, 0xFFFFFF});
    one.Bits = {0b10110000, 0b01000000, 0, 0};
    EXPECT_EQ(Decode(MakeBmp(one)), (std::vector<std::uint32_t>{kWhite, kBlack, kWhite, kWhite, kBlack, kBlack, kBlack,
                                                                kBlack, kBlack, kWhite}));

    BmpSpec four;
    four.Width = 3;
    four.Height = 1;
    four.BitCount = 4;
    four.ColorsUsed = 3;
    four.Table = Palette({0xFF0000, 0x00FF00, 0x0000FF});
    four.Bits = {0x21, 0x70, 0, 0}; // index 7 lies beyond the table: black
    EXPECT_EQ(Decode(MakeBmp(four)), (std::vector<std::uint32_t>{kBlue, kGreen, kBlack}));

    BmpSpec core; // the old header: 16-bit sizes and three-byte palette entries
    core.HeaderSize = 12;
    core.Width = 2;
    core.Height = 1;
    core.BitCount = 8;
    core.Table.assign(256 * 3, 0);
    core.Table[5 * 3 + 2] = 0xFF; // entry 5 red
    core.Bits = {5, 0, 0, 0};
    EXPECT_EQ(Decode(MakeBmp(core)), (std::vector<std::uint32_t>{kRed, kBlack}));
}

TEST(DibDecoding, SixteenAndThirtyTwoBitPixelsUseTheirMasks) {
    BmpSpec rgb555;
    rgb555.Width = 2;
    rgb555.Height = 1;
    rgb555.BitCount = 16;
    rgb555.Bits = {0x00, 0x7C, 0x1F, 0x00}; // red, blue
    EXPECT_EQ(Decode(MakeBmp(rgb555)), (std::vector<std::uint32_t>{kRed, kBlue}));

    BmpSpec rgb565 = rgb555;
    rgb565.Compression = kBiBitfields;
    rgb565.Table = Palette({0xF800, 0x07E0, 0x001F});
    rgb565.Bits = {0xE0, 0x07, 0x00, 0x80}; // green; red at 16 of 31
    EXPECT_EQ(Decode(MakeBmp(rgb565)), (std::vector<std::uint32_t>{kGreen, 0xFF840000}));

    BmpSpec argb;
    argb.Width = 1;
    argb.Height = 1;
    argb.BitCount = 32;
    argb.Bits = {0x30, 0x20, 0x10, 0x00}; // the fourth byte is ignored: always opaque
    EXPECT_EQ(Decode(MakeBmp(argb)), (std::vector<std::uint32_t>{0xFF102030}));
}

TEST(DibDecoding, RunLengthCodesFillRunsLiteralsAndSkips) {
    BmpSpec rle8;
    rle8.Width = 4;
    rle8.Height = 3;
    rle8.BitCount = 8;
    rle8.Compression = kBiRle8;
    rle8.ColorsUsed = 3;
    rle8.Table = Palette({0x000000, 0xFF0000, 0x0000FF});
    rle8.Bits = {3, 1, 0, 0,       // bottom row: three red, end of line
                 0, 3, 2, 1, 2, 0, // literal blue, red, blue (padded to a word)
                 0, 0, 0, 2, 1, 0, // move one right, same row
                 1, 1, 0, 1};      // one red in the top row, end of bitmap
    EXPECT_EQ(Decode(MakeBmp(rle8)),
              (std::vector<std::uint32_t>{kBlack, kRed, kBlack, kBlack, // top
                                          kBlue, kRed, kBlue, kBlack, kRed, kRed, kRed, kBlack}));

    BmpSpec rle4 = rle8;
    rle4.Width = 6;
    rle4.Height = 1;
    rle4.BitCount = 4;
    rle4.Compression = kBiRle4;
    rle4.Bits = {3, 0x12, 0, 3, 0x21, 0x20, 0, 1}; // a run of alternating nibbles, three literal nibbles
    EXPECT_EQ(Decode(MakeBmp(rle4)), (std::vector<std::uint32_t>{kRed, kBlue, kRed, kBlue, kRed, kBlue}));
}

TEST(DibDecoding, RunLengthDataThatOverrunsItsBitmapIsCutShort) {
    BmpSpec s;
    s.Width = 2;
    s.Height = 1;
    s.BitCount = 8;
    s.Compression = kBiRle8;
    s.ColorsUsed = 2;
    s.Table = Palette({0x000000, 0xFF0000});
    s.Bits = {255, 1, 0, 2, 255, 255, 0, 200, 1}; // a long run, a far move, a literal that runs off the end
    EXPECT_EQ(Decode(MakeBmp(s)), (std::vector<std::uint32_t>{kRed, kRed}));
}

TEST(DibWriting, A24BitFileReadsBackPixelForPixel) {
    const std::vector<std::uint32_t> pixels = {0x00FF0000, 0x0000FF00, 0x000000FF, // top row
                                               0xAA123456, 0x00FFFFFF, 0x00000000};
    const std::vector<std::uint8_t> file = WriteBmp24(3, 2, pixels);
    ASSERT_EQ(file.size(), 14u + 40 + 2 * 12);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(readLE<std::uint32_t>(file, 2), file.size());
    EXPECT_EQ(readLE<std::uint16_t>(file, 28), 24);
    EXPECT_EQ(readLE<std::int32_t>(file, 38), 3780);
    // Bottom row first: the first stored pixel is the bottom-left one.
    EXPECT_EQ(file[54], 0x56);
    EXPECT_EQ(file[56], 0x12);
    EXPECT_EQ(Decode(file), (std::vector<std::uint32_t>{kRed, kGreen, kBlue, 0xFF123456, kWhite, kBlack}));
}

TEST(DibWriting, RefusesSizesWithoutPixels) {
    const std::vector<std::uint32_t> pixels(4, 0);
    EXPECT_THROW(WriteBmp24(0, 2, pixels), EDibError);
    EXPECT_THROW(WriteBmp24(2, -1, pixels), EDibError);
    EXPECT_THROW(WriteBmp24(3, 2, pixels), EDibError);
    EXPECT_THROW(WriteBmp24(70000, 70000, pixels), EDibError);
}
