// Writes the seed corpus of the load fuzzer into the folder named on the command line:
// hand-built files of every accepted version (plain and compressed), the chunked family,
// and files written by the writers of this library.

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "format/SampleFiles.h"

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
    std::printf("wrote %d seeds into %s\n", count, folder.c_str());
    return ok ? 0 : 1;
}
