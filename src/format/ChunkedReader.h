#pragma once

// The reader of the chunked family (version 34): a 48-byte header, a directory chunk, then
// tagged content chunks (meshes hold sub-chunks) read in a counting and a filling pass.
// Texture files embedded in the file are written beside the scene file when absent.

#include <vector>

#include "format/ReadSettings.h"
#include "scene/BigBuffer.h"

struct Scene;
struct ParseReport;

// Chunk tags.
constexpr uint32_t kChunkDirectory = 0xBBBB0000u;
constexpr uint32_t kChunkLights = 0xBBBB0001u;
constexpr uint32_t kChunkCameras = 0xBBBB0002u;
constexpr uint32_t kChunkMaterials = 0xBBBB0003u;
constexpr uint32_t kChunkEmbeddedFiles = 0xBBBB0004u;
constexpr uint32_t kChunkGroups = 0xBBBB0006u;
constexpr uint32_t kChunkMeshes = 0xBBBB0007u;
constexpr uint32_t kChunkBones = 0xBBBB0008u;
constexpr uint32_t kChunkAnimations = 0xBBBB0009u;
constexpr uint32_t kChunkInfoStrings = 0xBBBB000Au;
constexpr uint32_t kChunkMesh = 0xCCCC0000u;
constexpr uint32_t kChunkMeshVertices = 0xCCCC0001u;
constexpr uint32_t kChunkMeshTriangles = 0xCCCC0002u;
constexpr uint32_t kChunkMeshPolygons = 0xCCCC0005u;
constexpr uint32_t kChunkMeshUVSets = 0xCCCC0006u;
constexpr uint32_t kChunkUVSet = 0xDDDD0000u;
constexpr uint32_t kChunkUVSetCoords = 0xDDDD0001u;
constexpr uint32_t kChunkUVSetTriangles = 0xDDDD0002u;

// Chunked header: 48 bytes; flags beyond the sectioned ones.
constexpr std::size_t kChunkedHeaderBytes = 48;
constexpr uint32_t kChunkedFlagExtraVectors = 0x04;
constexpr uint32_t kChunkedFlagWeights = 0x08;
constexpr std::size_t kChunkedStreamOffsetByte = 16;

// Reads a chunked image (header included) into an empty scene. Returns QVX_RESULT_OK, 0,
// -5 (magic), -6 (a version other than 34) or -7 (size); the report says where it stopped.
int readChunkedImage(ImageBuffer& image, Scene& scene, const ReadSettings& settings, ParseReport& report);
