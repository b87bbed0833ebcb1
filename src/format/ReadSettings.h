#pragma once

// What a parse needs to know beyond the bytes, and what the version of a file decides.

#include <cstdint>
#include <string>

#include "format/QvxHeader.h"

// The most embedded files that one file may create by default: enough for any scene's
// textures, and a small file cannot fill a folder with entries.
constexpr uint32_t kMaxEmbeddedFiles = 4096;

struct ReadSettings {
    // Folder of the scene file (ending in a separator, or empty when the image did not come
    // from a file). Texture paths are resolved against it and embedded files land in it.
    std::string sceneFolder;
    // Write the texture files embedded in chunked files (never replacing a file). Off for
    // tools that only inspect a file, and for the fuzzer.
    bool extractEmbeddedFiles = true;
    // Where embedded files go when not the scene folder: a conversion puts them beside its
    // output, where the converted scene will look for its textures.
    std::string embeddedFilesFolder;

    // The most embedded files that one file may create; the rest are skipped with a warning.
    uint32_t maxEmbeddedFiles = kMaxEmbeddedFiles;

    const std::string& extractionFolder() const {
        return embeddedFilesFolder.empty() ? sceneFolder : embeddedFilesFolder;
    }
};

// Version thresholds that only the reader uses.
constexpr uint32_t kFirstVersionWithUVChannelCount = 5;
constexpr uint32_t kFirstVersionWithTwoFloatUVs = 10;
constexpr uint32_t kFirstVersionWithUtf16Strings = 32;
constexpr uint32_t kFirstVersionKeepingTexturePaths = 33;
// One early version already stored UTF-16 text and kept existing texture paths.
constexpr uint32_t kEarlyUtf16Version = 10;

// Every layout decision the version of a file makes, each threshold tested here only.
struct VersionTraits {
    bool utf16Strings = false;          // counted strings are UTF-16LE
    bool keepExistingTextures = false;  // a stored texture path naming an existing file stays
    bool fullTransforms = false;        // 128-byte header, full transforms, triangle and UV-set sections
    bool newLayerLayout = false;        // 48-byte layer heads
    bool boneScale = false;             // old-layout bones carry a scale
    bool twoFloatUVs = false;           // old-layout UV corners hold two floats, not three
    bool uvChannelCount = false;        // old-layout polygons store their UV channel count

    static VersionTraits of(uint32_t version) {
        VersionTraits t;
        t.utf16Strings = version == kEarlyUtf16Version || version >= kFirstVersionWithUtf16Strings;
        t.keepExistingTextures = version == kEarlyUtf16Version || version >= kFirstVersionKeepingTexturePaths;
        t.fullTransforms = version >= kFirstVersionWith128ByteHeader;
        t.newLayerLayout = version >= kFirstVersionWithNewLayerLayout;
        t.boneScale = version >= kFirstVersionWithBoneScale;
        t.twoFloatUVs = version >= kFirstVersionWithTwoFloatUVs;
        t.uvChannelCount = version >= kFirstVersionWithUVChannelCount;
        return t;
    }
};
