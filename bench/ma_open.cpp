// Opening a generated scene file in the stand-in: a grid mesh of quads with UVs, at two sizes, so that
// the times show whether loading stays linear (twice the text should take about twice the time) and
// the rate in bytes of text per second.
#include <benchmark/benchmark.h>

#include <string>

#include "mayasim/Host.h"
#include "mayasim/MaFile.h"

namespace {

// A grid of side x side quads: 4 * side * side face-vertices.
std::string gridScene(int side) {
    const int n = side + 1;
    std::string s =
        "//Maya ASCII 2018 scene\nrequires maya \"2018\";\ncurrentUnit -l centimeter -a degree -t film;\n"
        "createNode transform -n \"grid\";\ncreateNode mesh -n \"gridShape\" -p \"grid\";\n";
    s += "\tsetAttr \".uvst[0].uvsn\" -type \"string\" \"map1\";\n";
    s += "\tsetAttr -s " + std::to_string(n * n) + " \".uvst[0].uvsp[0:" + std::to_string(n * n - 1) +
         "]\" -type \"float2\"";
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
            s += " " + std::to_string(c * 1.0 / side) + " " + std::to_string(r * 1.0 / side);
    s += ";\n";
    // Points in chunks, as Maya writes them.
    constexpr int kChunk = 166;
    for (int first = 0; first < n * n; first += kChunk) {
        const int last = std::min(n * n, first + kChunk) - 1;
        s += "\tsetAttr \".vt[" + std::to_string(first) + ":" + std::to_string(last) + "]\"";
        for (int i = first; i <= last; ++i)
            s += " " + std::to_string(i % n * 0.5) + " 0 " + std::to_string(i / n * 0.5);
        s += ";\n";
    }
    // Edges: horizontal (r, c)-(r, c+1) then vertical (r, c)-(r+1, c).
    const int horizontal = n * side;
    const int edges = 2 * n * side;
    s += "\tsetAttr -s " + std::to_string(edges) + " \".ed[0:" + std::to_string(edges - 1) + "]\"";
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < side; ++c)
            s += " " + std::to_string(r * n + c) + " " + std::to_string(r * n + c + 1) + " 1";
    for (int r = 0; r < side; ++r)
        for (int c = 0; c < n; ++c)
            s += " " + std::to_string(r * n + c) + " " + std::to_string((r + 1) * n + c) + " 1";
    s += ";\n";
    const int faces = side * side;
    s += "\tsetAttr -s " + std::to_string(faces) + " -ch " + std::to_string(4 * faces) +
         " \".fc[0:" + std::to_string(faces - 1) + "]\" -type \"polyFaces\"";
    for (int r = 0; r < side; ++r)
        for (int c = 0; c < side; ++c) {
            const int bottom = r * side + c, top = (r + 1) * side + c;
            const int left = horizontal + r * n + c, right = left + 1;
            s += "\n\t\tf 4 " + std::to_string(bottom) + " " + std::to_string(right) + " " +
                 std::to_string(-top - 1) + " " + std::to_string(-left - 1);
            const int uv = r * n + c;
            s += "\n\t\tmu 0 4 " + std::to_string(uv) + " " + std::to_string(uv + 1) + " " +
                 std::to_string(uv + n + 1) + " " + std::to_string(uv + n);
        }
    s += ";\n";
    return s;
}

void BM_OpenMa(benchmark::State& state) {
    mayasim::setEchoMessages(false);
    const std::string text = gridScene(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        mayasim::MaLoadReport report;
        if (!mayasim::openMaText(text, "grid.ma", &report)) state.SkipWithError(report.error.c_str());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
    state.counters["face_vertices"] = 4.0 * static_cast<double>(state.range(0) * state.range(0));
}
// 353 x 353 quads is about half a million face-vertices, 500 x 500 one million.
BENCHMARK(BM_OpenMa)->Arg(353)->Arg(500)->Unit(benchmark::kMillisecond);

}  // namespace
