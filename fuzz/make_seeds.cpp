// Writes the seed corpus of the load fuzzer into the folder named on the command line:
// hand-built files of every accepted version (plain and compressed), the chunked family,
// and files written by the writers of this library.

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "format/Compressor.h"
#include "format/ExportFile.h"
#include "format/SampleFiles.h"
#include "format/SampleScene.h"

namespace {

bool save(const std::string& folder, const std::string& name, const std::vector<unsigned char>& bytes) {
    std::ofstream out(folder + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = true;
    int count = 0;
    for (uint32_t version : samples::sectionedVersions()) {
        for (uint32_t flags : {samples::kFlagColors, samples::kFlagNormals | samples::kFlagColors, 0u}) {
            const auto inner = samples::sectioned(version, flags);
            const std::string base = "v" + std::to_string(version) + "_f" + std::to_string(flags);
            ok = save(folder, base + ".qvx", inner) && ok;
            ok = save(folder, base + "_z.qvx", wrapSectioned(inner, version >= 30 ? 128 : 96)) && ok;
            count += 2;
        }
    }
    for (uint32_t flags : {0x0Au, 0x0Fu, 0x00u}) {
        const auto inner = samples::chunked(flags, {{"tex.png", {1, 2, 3}}});
        ok = save(folder, "c34_f" + std::to_string(flags) + ".qvx", inner) && ok;
        ok = save(folder, "c34_f" + std::to_string(flags) + "_z.qvx", wrapChunked(inner, flags)) && ok;
        count += 2;
    }
    // Files of the writers: version 31 and version 9, plain and wrapped, with and without
    // the optional parts.
    Scene scene;
    samples::fillScene(scene);
    for (int variant = 0; variant < 4; ++variant) {
        WriteOptions options;
        options.export_as_qvx_v2x = (variant & 1) != 0;
        options.export_colors = options.export_lights = (variant & 2) == 0;
        options.dateText = "Sun Dec  6 12:00:00 2026";
        std::vector<unsigned char> inner, wrapped;
        QvxHeader header;
        std::string error;
        if (!writeSceneBody(scene, options, inner, header, error) ||
            !buildCompressedWrapper(inner.data(), inner.size(), wrapped, error)) {
            std::fprintf(stderr, "writer: %s\n", error.c_str());
            return 1;
        }
        const std::string base = "writer" + std::to_string(variant);
        ok = save(folder, base + ".qvx", inner) && save(folder, base + "_z.qvx", wrapped) && ok;
        count += 2;
    }
    // Text and shapes that the printers must survive: names and texture paths that are not
    // UTF-8, and a long bone chain.
    Scene odd;
    samples::fillScene(odd);
    odd.materials[0].name.set("Caf\xE9");
    if (MaterialLayer* layer = odd.materials[0].findLayer(0)) layer->path.set("h\xF6lz.png");
    const int32_t chain = 300;
    Bone* bones = nullptr;
    odd.bones.clear();
    if (odd.bones.allocate(chain) == 1) bones = &odd.bones[0];
    for (int32_t i = 0; bones && i < chain; ++i) {
        odd.bones[i].name.set(i % 2 ? "j\xE4" : "joint");
        odd.bones[i].parentIndex = i - 1;
    }
    odd.animations.clear();
    {
        WriteOptions options;
        options.dateText = "Sun Dec  6 12:00:00 2026";
        std::vector<unsigned char> inner;
        QvxHeader header;
        std::string error;
        if (!writeSceneBody(odd, options, inner, header, error)) {
            std::fprintf(stderr, "writer: %s\n", error.c_str());
            return 1;
        }
        ok = save(folder, "latin1_chain.qvx", inner) && ok;
        ++count;
    }
    std::printf("wrote %d seeds into %s\n", count, folder.c_str());
    return ok ? 0 : 1;
}
