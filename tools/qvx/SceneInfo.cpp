#include "SceneInfo.h"

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "format/Loader.h"
#include "scene/Scene.h"

namespace {

std::string hex(uint32_t v) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%02X", v);
    return buffer;
}

std::string magicText(uint32_t magic) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>((magic >> (8 * i)) & 0xFF);
        text += (c >= 32 && c < 127) ? c : '?';
    }
    return text;
}

void printHeader(std::ostream& out, const char* label, const QvxHeader& h) {
    out << "  " << label << ": magic " << magicText(h.magic()) << ", version " << h.version() << ", flags "
        << hex(h.flags()) << ", size slot " << h.fileSize() << "\n";
}

void printBoneTree(std::ostream& out, const Scene& scene) {
    const int32_t n = scene.bones.count();
    // Children lists; a parent must come before its child, anything else is a root.
    std::vector<std::vector<int32_t>> children(static_cast<std::size_t>(n));
    std::vector<int32_t> roots;
    for (int32_t i = 0; i < n; ++i) {
        const int32_t parent = scene.bones[i].parentIndex;
        if (parent >= 0 && parent < i) {
            children[static_cast<std::size_t>(parent)].push_back(i);
        } else {
            roots.push_back(i);
        }
    }
    std::vector<std::pair<int32_t, int32_t>> stack;
    for (auto it = roots.rbegin(); it != roots.rend(); ++it) stack.emplace_back(*it, 0);
    while (!stack.empty()) {
        const auto [bone, depth] = stack.back();
        stack.pop_back();
        // A chain of thousands of bones must not print an indentation that grows with the
        // square of its length: past the cap the level is shown as a number.
        const int32_t indent = depth < kMaxBoneTreeIndent ? depth : kMaxBoneTreeIndent;
        out << "    " << std::string(static_cast<std::size_t>(2 * indent), ' ');
        if (depth > kMaxBoneTreeIndent) out << "[" << depth << "] ";
        out << scene.bones[bone].name.narrow << "\n";
        const auto& kids = children[static_cast<std::size_t>(bone)];
        for (auto it = kids.rbegin(); it != kids.rend(); ++it) stack.emplace_back(*it, depth + 1);
    }
}

void printLayerPaths(std::ostream& out, const MaterialLayer& l) {
    if (l.kind == 4) {
        for (const LayerSubEntry& e : l.subEntries) {
            if (!e.path.empty())
                out << "        channel " << l.channel << " input: " << e.path.narrow << "\n";
        }
    } else if (l.kind == 5) {
        for (const RecordName& p : l.paths) {
            if (!p.empty()) out << "        channel " << l.channel << " face: " << p.narrow << "\n";
        }
    } else if (!l.path.empty()) {
        out << "        channel " << l.channel << " (kind " << l.kind << "): " << l.path.narrow << "\n";
    }
}

}  // namespace

void printFileInfo(std::ostream& out, const LoadReport& report, const Scene& scene) {
    const ParseReport& p = report.parse;
    out << report.path << "\n";
    if (p.fileBytes == 0 && report.result == QVX_RESULT_CANNOT_OPEN) return;
    if (p.outer.magic() != QVX_MAGIC) {
        // Neither family: there is no header to describe.
        out << "  file: " << p.fileBytes << " bytes, not a \".qvx\" file\n";
        return;
    }
    out << "  file: " << p.fileBytes << " bytes, " << (p.chunked ? "chunked, " : "sectioned, ")
        << (p.compressed ? "compressed" : "not compressed");
    if (p.compressed && p.fileBytes > 0) {
        char ratio[32];
        std::snprintf(ratio, sizeof ratio, "%.2f", double(p.innerBytes) / double(p.fileBytes));
        out << ", inner " << p.innerBytes << " bytes, ratio " << ratio;
    }
    out << "\n";
    printHeader(out, p.compressed ? "outer header" : "header", p.outer);
    if (p.compressed) printHeader(out, "inner header", p.inner);
    if (report.result != QVX_RESULT_OK) return;

    const SceneCounts& c = scene.counts;
    out << "  counts: lights " << c.lights << ", cameras " << c.cameras << ", materials " << c.materials
        << ", groups " << c.groups << ", vertices " << c.vertices << ", triangles " << c.triangles
        << ", UV sets " << c.uvSets << ", meshes " << c.meshes << ", bones " << c.bones << ", animations "
        << c.animations << ", info strings " << c.infoStrings << "\n";
    out << "  lights:\n";
    for (const Light& l : scene.lights) out << "    " << l.name.narrow << " (kind " << l.kind << ")\n";
    out << "  cameras:\n";
    for (const Camera& cam : scene.cameras) out << "    " << cam.name.narrow << "\n";
    out << "  materials:\n";
    for (const Material& m : scene.materials) {
        out << "    " << m.name.narrow << "\n";
        for (const auto& slot : m.layers) {
            if (slot) printLayerPaths(out, *slot);
        }
    }
    out << "  bones:\n";
    printBoneTree(out, scene);
    out << "  animations:\n";
    for (const Animation& a : scene.animations) {
        out << "    " << a.name.narrow << ": ticks " << a.startTick << " to " << a.startTick + a.tickCount
            << ", " << a.fps << " fps, " << a.trackCount() << " tracks\n";
    }
}
