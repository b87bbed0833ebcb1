#include "format/Codec.h"
#include "format/Compressor.h"
#include "format/QvxHeader.h"
#include "format/TempFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// An inner file of the given version: a header of the right size with magic, version, size
// and the first section offset filled in, followed by `bodyBytes` bytes of a pattern.
std::vector<unsigned char> fakeInner(uint32_t version, std::size_t bodyBytes) {
    const std::size_t headerBytes = qvxHeaderBytesForVersion(version);
    QvxHeader header;
    header[kSlotMagic] = QVX_MAGIC;
    header[kSlotVersion] = version;
    header[kSlotFlags] = 0;
    header[kSlotFileSize] = static_cast<uint32_t>(headerBytes + bodyBytes);
    header[kSlotLightOffset] = static_cast<uint32_t>(headerBytes);
    header[kSlotMeshCount] = 0xA1;
    header[kSlotInfoStringCount] = 3;
    std::vector<unsigned char> bytes(headerBytes + bodyBytes);
    header.encode(bytes.data(), headerBytes);
    for (std::size_t i = 0; i < bodyBytes; ++i) bytes[headerBytes + i] = static_cast<unsigned char>(i % 251);
    return bytes;
}

std::vector<unsigned char> readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::vector<unsigned char> inflateAt(const std::vector<unsigned char>& file, std::size_t offset,
                                     std::size_t size) {
    std::vector<unsigned char> inner(size);
    std::size_t produced = 0;
    EXPECT_EQ(codecInflate(file.data() + offset, file.size() - offset, inner.data(), inner.size(), produced),
              InflateResult::Ok);
    EXPECT_EQ(produced, size);
    return inner;
}

class ContainerWrite : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device rd;
        dir_ =
            fs::temp_directory_path() / ("qvx-container-test-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string target(const char* name = "scene.qvx") const { return (dir_ / name).string(); }

    fs::path dir_;
};

}  // namespace

TEST_F(ContainerWrite, WrapperOfVersion31HasMagicVersion8Flags0x12TheInnerHeaderAndTheStreamAt128) {
    const auto inner = fakeInner(31, 20000);
    std::vector<unsigned char> wrapper;
    std::string error;
    ASSERT_TRUE(buildCompressedWrapper(inner.data(), inner.size(), wrapper, error)) << error;
    ASSERT_GT(wrapper.size(), 128u);
    EXPECT_EQ(std::string(wrapper.begin(), wrapper.begin() + 4), "QVXH");
    EXPECT_EQ(qvxLoadU32(wrapper.data() + 4), 8u);
    EXPECT_EQ(qvxLoadU32(wrapper.data() + 8), 0x12u);
    EXPECT_EQ(qvxLoadU32(wrapper.data() + 12), inner.size());
    EXPECT_EQ(qvxLoadU32(wrapper.data() + 20), 128u);
    EXPECT_TRUE(std::equal(inner.begin() + 16, inner.begin() + 128, wrapper.begin() + 16));
    EXPECT_EQ(wrapper[128], 0x78);
    EXPECT_EQ(inflateAt(wrapper, 128, inner.size()), inner);
}

TEST_F(ContainerWrite, WrapperOfVersion9Has96ByteHeaderAndStreamAt96) {
    const auto inner = fakeInner(9, 1000);
    std::vector<unsigned char> wrapper;
    std::string error;
    ASSERT_TRUE(buildCompressedWrapper(inner.data(), inner.size(), wrapper, error));
    EXPECT_EQ(qvxLoadU32(wrapper.data() + 4), 8u);
    EXPECT_EQ(qvxLoadU32(wrapper.data() + 8), 0x12u);
    EXPECT_EQ(qvxLoadU32(wrapper.data() + 20), 96u);
    // The mesh count slot sits at offset 56 in the 96-byte form.
    EXPECT_EQ(qvxLoadU32(wrapper.data() + 56), 0xA1u);
    EXPECT_EQ(inflateAt(wrapper, 96, inner.size()), inner);
}

TEST_F(ContainerWrite, EmptyShortOrUnmarkedInnerFileProducesNoTarget) {
    std::vector<unsigned char> none;
    const ExportResult result = compressToTarget(none.data(), 0, target());
    EXPECT_FALSE(result.written);
    EXPECT_NE(result.error.find(target()), std::string::npos);
    auto cut = fakeInner(31, 0);
    cut.resize(100);  // a 128-byte header cut short
    auto unmarked = fakeInner(31, 50);
    unmarked[0] = 'X';
    for (const auto* inner : {&cut, &unmarked})
        EXPECT_FALSE(compressToTarget(inner->data(), inner->size(), target()).written);
    EXPECT_TRUE(entries().empty());
}

TEST_F(ContainerWrite, WritesTheTargetAndLeavesNoTemporaryFile) {
    const auto inner = fakeInner(31, 4000);
    const ExportResult result = compressToTarget(inner.data(), inner.size(), target());
    ASSERT_TRUE(result.written) << result.error;
    EXPECT_EQ(entries(), std::vector<std::string>{"scene.qvx"});
    const auto file = readAll(target());
    std::vector<unsigned char> wrapper;
    std::string error;
    ASSERT_TRUE(buildCompressedWrapper(inner.data(), inner.size(), wrapper, error));
    EXPECT_EQ(file, wrapper);
}

TEST_F(ContainerWrite, FailedExportLeavesThePreviousTargetUntouched) {
    writeAll(target(), "previous contents");
    std::vector<unsigned char> none;
    EXPECT_FALSE(compressToTarget(none.data(), 0, target()).written);
    const auto file = readAll(target());
    EXPECT_EQ(std::string(file.begin(), file.end()), "previous contents");
    EXPECT_EQ(entries(), std::vector<std::string>{"scene.qvx"});
}

TEST_F(ContainerWrite, FailedRenameRemovesTheTemporaryFile) {
    // A non-empty folder cannot be replaced by a file: the last step fails.
    fs::create_directories(dir_ / "scene.qvx" / "inside");
    const auto inner = fakeInner(31, 100);
    const ExportResult result = compressToTarget(inner.data(), inner.size(), target());
    EXPECT_FALSE(result.written);
    EXPECT_NE(result.error.find("scene.qvx"), std::string::npos);
    EXPECT_EQ(entries(), std::vector<std::string>{"scene.qvx"});
    EXPECT_TRUE(fs::is_directory(dir_ / "scene.qvx" / "inside"));
}

TEST_F(ContainerWrite, TemporaryFilesAreCreatedBesideTheTargetUnderUniqueNames) {
    TempFile temp;
    std::string error;
    ASSERT_TRUE(temp.createBeside(target(), error)) << error;
    EXPECT_EQ(fs::path(temp.path()).parent_path(), dir_);
    EXPECT_TRUE(fs::exists(temp.path()));
    EXPECT_EQ(TempFile::nameBeside("a/b/scene.qvx", "123"), "a/b/.scene.qvx.qvx123.tmp");
    EXPECT_EQ(TempFile::nameBeside("scene.qvx", "9"), ".scene.qvx.qvx9.tmp");
    TempFile other;
    ASSERT_TRUE(other.createBeside(target(), error));
    EXPECT_NE(other.path(), temp.path());
}

TEST_F(ContainerWrite, AbandonedTemporaryFileIsRemoved) {
    std::string path;
    {
        TempFile temp;
        std::string error;
        ASSERT_TRUE(temp.createBeside(target(), error));
        ASSERT_TRUE(temp.write("abc", 3, error));
        path = temp.path();
        EXPECT_TRUE(fs::exists(path));
    }
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(entries().empty());
}

TEST_F(ContainerWrite, TargetThatNamesAFolderIsRefused) {
    TempFile temp;
    std::string error;
    EXPECT_FALSE(temp.createBeside(dir_.string() + "/", error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(entries().empty());
}

TEST_F(ContainerWrite, ReplacedTargetKeepsItsPermissions) {
    writeAll(target(), "old");
    fs::permissions(target(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const auto inner = fakeInner(31, 100);
    ASSERT_TRUE(compressToTarget(inner.data(), inner.size(), target()).written);
    EXPECT_EQ(fs::status(target()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}
