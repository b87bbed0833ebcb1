#pragma once

// The fixed header that opens every sectioned file and every compressed wrapper,
// its flags, versions and the load result codes.
//
// In memory a header is always 32 u32 slots. Files of version 30 and later store all
// 32 slots (128 bytes); older files store 24 words (96 bytes): the first 14 words are
// slots 0 to 13 and the last 10 words are slots 18 to 27, the other slots stay 0.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

// "QVXH" as the little-endian u32 that the first four bytes of a file form.
constexpr uint32_t QVX_MAGIC = 0x48585651u;
constexpr char kQvxMagicText[5] = "QVXH";

// Header flags (slot 2).
constexpr uint32_t QVX_FLAG_NORMALS = 0x01;     // vertex records carry a normal after the position
constexpr uint32_t QVX_FLAG_COLORS = 0x02;      // vertex records carry an RGBA colour
constexpr uint32_t QVX_FLAG_COMPRESSED = 0x10;  // a zlib stream of an inner file starts at slot 5
// Flags of every compressed wrapper, whatever the inner file's flags are.
constexpr uint32_t kQvxWrapperFlags = QVX_FLAG_COMPRESSED | QVX_FLAG_COLORS;

// Versions.
constexpr uint32_t QVX_VERSION_WRAPPER = 8;   // written into every compressed wrapper
constexpr uint32_t QVX_VERSION_V2X = 9;       // the older inner file the writer can produce
constexpr uint32_t QVX_VERSION_CURRENT = 31;  // the inner file written by default
constexpr uint32_t QVX_VERSION_CHUNKED = 34;  // the chunked family, read only

constexpr uint32_t kOldestReadableVersion = 6;
constexpr uint32_t kFirstVersionWithBoneScale = 9;
constexpr uint32_t kFirstVersionWith128ByteHeader = 30;
constexpr uint32_t kFirstVersionWithNewLayerLayout = 31;
constexpr uint32_t kFirstChunkedFamilyVersion = QVX_VERSION_CHUNKED;

// Header sizes.
constexpr std::size_t kQvxHeaderSlots = 32;
constexpr std::size_t kQvxHeaderBytes128 = 128;
constexpr std::size_t kQvxHeaderBytes96 = 96;
constexpr std::size_t kQvxHeaderWords96 = 24;

// Result codes of load and parse.
constexpr int QVX_RESULT_OK = 1;
constexpr int QVX_RESULT_FAILED = 0;
constexpr int QVX_RESULT_NOT_QVX = -5;
constexpr int QVX_RESULT_OLD_VERSION = -6;
constexpr int QVX_RESULT_BAD_SIZE = -7;
constexpr int QVX_RESULT_CANNOT_OPEN = -8;

// The code's constant name, e.g. "QVX_RESULT_BAD_SIZE"; "QVX_RESULT_UNKNOWN" for other values.
constexpr const char* qvxResultName(int code) {
    switch (code) {
        case QVX_RESULT_OK:
            return "QVX_RESULT_OK";
        case QVX_RESULT_FAILED:
            return "QVX_RESULT_FAILED";
        case QVX_RESULT_NOT_QVX:
            return "QVX_RESULT_NOT_QVX";
        case QVX_RESULT_OLD_VERSION:
            return "QVX_RESULT_OLD_VERSION";
        case QVX_RESULT_BAD_SIZE:
            return "QVX_RESULT_BAD_SIZE";
        case QVX_RESULT_CANNOT_OPEN:
            return "QVX_RESULT_CANNOT_OPEN";
        default:
            return "QVX_RESULT_UNKNOWN";
    }
}

// Named slots of the in-memory (128-byte) form. Slot n lies at file offset 4n in that form.
enum QvxSlot : int {
    kSlotMagic = 0,
    kSlotVersion = 1,
    kSlotFlags = 2,
    kSlotFileSize = 3,  // in a wrapper: length of the inflated inner file
    kSlotLightCount = 4,
    kSlotLightOffset = 5,  // in a wrapper: offset of the zlib stream
    kSlotCameraCount = 6,
    kSlotCameraOffset = 7,
    kSlotMaterialCount = 8,
    kSlotMaterialOffset = 9,
    kSlotGroupCount = 10,
    kSlotGroupOffset = 11,
    kSlotVertexCount = 12,
    kSlotVertexOffset = 13,
    kSlotTriangleCount = 14,
    kSlotTriangleOffset = 15,
    kSlotUVSetCount = 16,
    kSlotUVSetOffset = 17,
    kSlotMeshCount = 18,
    kSlotMeshOffset = 19,
    kSlotBoneCount = 20,
    kSlotBoneOffset = 21,
    kSlotAnimationCount = 22,
    kSlotAnimationOffset = 23,
    kSlotInfoStringCount = 24,
    kSlotInfoStringOffset = 25,
    // 26 to 31 reserved, zero.
    kSlotInnerSize = kSlotFileSize,
    kSlotStreamOffset = kSlotLightOffset,
};

// The sections of the sectioned family in file order; each has a (count, offset) slot pair.
enum class QvxSection : int {
    Lights = 0,
    Cameras,
    Materials,
    Groups,
    Vertices,
    Triangles,
    UVSets,
    Meshes,
    Bones,
    Animations,
    InfoStrings,
};
constexpr int kQvxSectionCount = 11;

constexpr int qvxCountSlot(QvxSection section) {
    return kSlotLightCount + 2 * static_cast<int>(section);
}
constexpr int qvxOffsetSlot(QvxSection section) {
    return qvxCountSlot(section) + 1;
}

// Header bytes of a sectioned file of the given version: 96 below version 30, else 128.
constexpr std::size_t qvxHeaderBytesForVersion(uint32_t version) {
    return version < kFirstVersionWith128ByteHeader ? kQvxHeaderBytes96 : kQvxHeaderBytes128;
}

// Slot held by file word `word` of a header of `headerBytes` (96 or 128); -1 when out of range.
constexpr int qvxSlotOfWord(std::size_t word, std::size_t headerBytes) {
    if (headerBytes == kQvxHeaderBytes128) return word < kQvxHeaderSlots ? static_cast<int>(word) : -1;
    if (word < 14) return static_cast<int>(word);
    if (word < kQvxHeaderWords96) return static_cast<int>(word) + 4;
    return -1;
}

// File word that holds `slot` in a header of `headerBytes`; -1 when that form does not store it.
constexpr int qvxWordOfSlot(int slot, std::size_t headerBytes) {
    if (slot < 0 || slot >= static_cast<int>(kQvxHeaderSlots)) return -1;
    if (headerBytes == kQvxHeaderBytes128) return slot;
    if (slot < 14) return slot;
    if (slot >= 18 && slot < 28) return slot - 4;
    return -1;
}

inline uint32_t qvxLoadU32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

inline float qvxLoadF32(const unsigned char* p) {
    const uint32_t bits = qvxLoadU32(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline void qvxStoreU32(unsigned char* p, uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

struct QvxHeader {
    std::array<uint32_t, kQvxHeaderSlots> slots{};

    uint32_t& operator[](int slot) { return slots[static_cast<std::size_t>(slot)]; }
    uint32_t operator[](int slot) const { return slots[static_cast<std::size_t>(slot)]; }

    uint32_t magic() const { return slots[kSlotMagic]; }
    uint32_t version() const { return slots[kSlotVersion]; }
    uint32_t flags() const { return slots[kSlotFlags]; }
    uint32_t fileSize() const { return slots[kSlotFileSize]; }

    // Stores the slots in the file form of `headerBytes` (96 or 128) into `out`.
    void encode(unsigned char* out, std::size_t headerBytes) const {
        for (std::size_t word = 0; word * 4 < headerBytes; ++word) {
            const int slot = qvxSlotOfWord(word, headerBytes);
            qvxStoreU32(out + 4 * word, slot < 0 ? 0u : slots[static_cast<std::size_t>(slot)]);
        }
    }

    // Fills the slots from the file form of `headerBytes` (96 or 128); unstored slots become 0.
    static QvxHeader decode(const unsigned char* in, std::size_t headerBytes) {
        QvxHeader header;
        for (std::size_t word = 0; word * 4 < headerBytes; ++word) {
            const int slot = qvxSlotOfWord(word, headerBytes);
            if (slot >= 0) header.slots[static_cast<std::size_t>(slot)] = qvxLoadU32(in + 4 * word);
        }
        return header;
    }
};
