#include "platform/emf/Metafile.h"

#include "platform/emf/EmfRecords.h"
#include "platform/emf_libemf_sample.h"
#include "storage/Exception.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace kovet;

namespace {

std::vector<std::uint8_t> HeaderWithFrame(const TRect& frame) {
    std::vector<std::uint8_t> bytes(EmrHeader::kBaseSize);
    EmrRec::Type.set(bytes, EMR_HEADER);
    EmrRec::Size.set(bytes, EmrHeader::kBaseSize);
    EmrHeader::Frame.set(bytes, frame);
    return bytes;
}

} // namespace

TEST(Metafile, NaturalSizeIsTheFrameInPixelsAt96PerInch) {
    TMetafile mf;
    mf.LoadFromBytes(test::kLibEmfSample); // frame 5000 x 2500
    EXPECT_EQ(mf.Width(), 189);            // 188.98
    EXPECT_EQ(mf.Height(), 94);            // 94.49

    mf.LoadFromBytes(HeaderWithFrame({100, 200, 21690, 28140})); // a Letter page, not at the origin
    EXPECT_EQ(mf.Width(), 816);
    EXPECT_EQ(mf.Height(), 1056);
    mf.LoadFromBytes(HeaderWithFrame({0, 0, -2540, 0}));
    EXPECT_EQ(mf.Width(), -96);
}

TEST(Metafile, BytesWithoutAHeaderRecordHaveNoSize) {
    TMetafile mf;
    EXPECT_EQ(mf.Width(), 0);
    auto bytes = HeaderWithFrame({0, 0, 2540, 2540});
    EmrRec::Type.set(bytes, EMR_EOF);
    mf.LoadFromBytes(bytes);
    EXPECT_EQ(mf.Width(), 0);
    bytes = HeaderWithFrame({0, 0, 2540, 2540});
    bytes.resize(40); // cut inside the frame
    mf.LoadFromBytes(bytes);
    EXPECT_FALSE(mf.Empty());
    EXPECT_EQ(mf.Height(), 0);
}

TEST(Metafile, SavesItsBytesAtTheStreamPositionAndClears) {
    TMetafile mf;
    mf.LoadFromBytes(std::vector<std::uint8_t>{1, 2, 3});
    TMemoryStream stream(std::vector<std::uint8_t>{9, 9});
    stream.Seek(1, TStream::Origin::Begin);
    mf.SaveToStream(stream);
    EXPECT_EQ(stream.Bytes(), (std::vector<std::uint8_t>{9, 1, 2, 3}));

    mf.Clear();
    EXPECT_TRUE(mf.Empty());
    TMemoryStream empty;
    mf.SaveToStream(empty);
    EXPECT_EQ(empty.Size(), 0);
}

TEST(Metafile, LoadsFiles) {
    const auto path = std::filesystem::path(testing::TempDir()) / "emf_metafile_test.emf";
    WriteFileAtomically(path, test::kLibEmfSample);
    TMetafile mf;
    mf.LoadFromFile(path);
    EXPECT_TRUE(std::ranges::equal(mf.Data(), test::kLibEmfSample));
    std::filesystem::remove(path);
    EXPECT_THROW(mf.LoadFromFile(path), EFileError);
    EXPECT_EQ(mf.Data().size(), test::kLibEmfSample.size()); // a failed load keeps what was there
}
