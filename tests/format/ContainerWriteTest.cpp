#include "format/Codec.h"
#include "format/Compressor.h"
#include "format/QvxHeader.h"
#include "format/TempFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

TEST_F(ContainerWrite, TemporaryFilesAreCreatedBesideTheTargetUnnamedWhereTheFileSystemAllows) {
    TempFile temp;
    std::string error;
    ASSERT_TRUE(temp.createBeside(target(), error)) << error;
    ASSERT_TRUE(temp.write("abc", 3, error)) << error;
    if (temp.path().empty()) {
        // An unnamed file: nothing in the folder until the commit.
        EXPECT_TRUE(entries().empty());
    } else {
        EXPECT_EQ(fs::path(temp.path()).parent_path(), dir_);
        EXPECT_TRUE(fs::exists(temp.path()));
    }
    TempFile other;
    ASSERT_TRUE(other.createBeside(target(), error));
    ASSERT_TRUE(temp.commit(target(), error)) << error;
    EXPECT_EQ(entries(), std::vector<std::string>{"scene.qvx"});
    EXPECT_EQ(readAll(target()), (std::vector<unsigned char>{'a', 'b', 'c'}));
}

TEST_F(ContainerWrite, NamesTemporaryFilesWithinTheFileNameLimit) {
    EXPECT_EQ(TempFile::nameBeside("a/b/scene.qvx", "123"), "a/b/.scene.qvx.qvx123.tmp");
    EXPECT_EQ(TempFile::nameBeside("scene.qvx", "9"), ".scene.qvx.qvx9.tmp");
    const std::string longName(255, 'n');
    const std::string named = TempFile::nameBeside("dir/" + longName, "12345678");
    EXPECT_EQ(named.size(), 4u + 255u);
    EXPECT_EQ(named.rfind(".qvx12345678.tmp"), named.size() - 16);
    // A target whose name has the full 255 bytes is written.
    const auto inner = fakeInner(31, 100);
    const ExportResult result = compressToTarget(inner.data(), inner.size(), (dir_ / longName).string());
    ASSERT_TRUE(result.written) << result.error;
    EXPECT_EQ(entries(), std::vector<std::string>{longName});
}

TEST_F(ContainerWrite, AbandonedTemporaryFileIsRemoved) {
    std::string path;
    {
        TempFile temp;
        std::string error;
        ASSERT_TRUE(temp.createBeside(target(), error));
        ASSERT_TRUE(temp.write("abc", 3, error));
        path = temp.path();
    }
    if (!path.empty()) {
        EXPECT_FALSE(fs::exists(path));
    }
    EXPECT_TRUE(entries().empty());
}

TEST_F(ContainerWrite, AProcessKilledWhileWritingLeavesTheOldTargetAndNoTemporaryFile) {
    writeAll(target(), "previous contents");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TempFile temp;
        std::string error;
        if (temp.createBeside(target(), error) && temp.write("partial", 7, error) && temp.path().empty())
            raise(SIGKILL);
        _exit(3);  // a named temporary: this file system cannot show the point
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 3) GTEST_SKIP() << "no unnamed temporary files here";
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(entries(), std::vector<std::string>{"scene.qvx"});
    const auto file = readAll(target());
    EXPECT_EQ(std::string(file.begin(), file.end()), "previous contents");
}

TEST_F(ContainerWrite, ReplacesTheFileThatASymbolicLinkNamesAndKeepsTheLink) {
    fs::create_directories(dir_ / "real");
    writeAll(dir_ / "real" / "scene.qvx", "old");
    fs::create_symlink("real/scene.qvx", dir_ / "link.qvx");
    fs::create_symlink("real/fresh.qvx", dir_ / "dangling.qvx");
    const auto inner = fakeInner(31, 100);
    for (const char* link : {"link.qvx", "dangling.qvx"}) {
        const ExportResult result = compressToTarget(inner.data(), inner.size(), target(link));
        ASSERT_TRUE(result.written) << result.error;
        EXPECT_TRUE(fs::is_symlink(dir_ / link)) << link;
    }
    std::vector<unsigned char> wrapper;
    std::string error;
    ASSERT_TRUE(buildCompressedWrapper(inner.data(), inner.size(), wrapper, error));
    EXPECT_EQ(readAll(dir_ / "real" / "scene.qvx"), wrapper);
    EXPECT_EQ(readAll(dir_ / "real" / "fresh.qvx"), wrapper);
    EXPECT_EQ(entries(), (std::vector<std::string>{"dangling.qvx", "link.qvx", "real"}));
    // A loop of links is refused.
    fs::create_symlink("loop2.qvx", dir_ / "loop1.qvx");
    fs::create_symlink("loop1.qvx", dir_ / "loop2.qvx");
    const ExportResult loop = compressToTarget(inner.data(), inner.size(), target("loop1.qvx"));
    EXPECT_FALSE(loop.written);
    EXPECT_NE(loop.error.find("loop1.qvx"), std::string::npos);
}

TEST_F(ContainerWrite, RefusesATargetTheUserMayNotWriteWithTheSystemsReason) {
    writeAll(target(), "protected");
    fs::permissions(target(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(dir_, fs::perms::all);
    // The check is the user's own right to the file; run as an unprivileged user when the
    // test runs as root, which may write anything.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(4);
        const auto inner = fakeInner(31, 100);
        const ExportResult result = compressToTarget(inner.data(), inner.size(), target());
        if (result.written) _exit(1);
        _exit(result.error.find("Permission denied") != std::string::npos ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 4) GTEST_SKIP() << "cannot drop privileges";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const auto file = readAll(target());
    EXPECT_EQ(std::string(file.begin(), file.end()), "protected");
    EXPECT_EQ(entries(), std::vector<std::string>{"scene.qvx"});
}

TEST_F(ContainerWrite, RefusesATargetThatIsNotARegularFile) {
    ASSERT_EQ(mkfifo(target("pipe.qvx").c_str(), 0600), 0);
    const auto inner = fakeInner(31, 100);
    const ExportResult result = compressToTarget(inner.data(), inner.size(), target("pipe.qvx"));
    EXPECT_FALSE(result.written);
    EXPECT_NE(result.error.find("not a regular file"), std::string::npos) << result.error;
    EXPECT_TRUE(fs::is_fifo(target("pipe.qvx")));
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
