#ifndef MAYASIM_MA_LOADER_H
#define MAYASIM_MA_LOADER_H
// Internal: applies the statements of an ASCII scene file to the current scene.
//
// The loader creates exactly the nodes, values and connections the file states; evaluation (skinning,
// transforms, curves) then follows from the graph. Mesh geometry, UV and colour sets are gathered per
// mesh while the statements run and built into the mesh data at the end, when construction history
// that the stand-in can evaluate (polyCube, polyPlane, pass-through nodes) is evaluated too.

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "../Graph.h"
#include "MaTokens.h"
#include "mayasim/MaFile.h"

namespace mayasim {
namespace ma {

// Factors from the file's units to the stand-in's internal ones (centimetres, radians, seconds).
struct Units {
    double linear = 1.0;
    double angle = 3.14159265358979323846 / 180.0;
    double time = 1.0 / 24.0;
    int timeUnit = 6;  // MTime::kFilm
    std::string linearName = "centimeter", angleName = "degree", timeName = "film";
};

struct PartIndex {
    enum Kind { kNone, kOne, kRange, kAll };
    Kind kind = kNone;
    unsigned lo = 0, hi = 0;
};

struct PathPart {
    std::string_view name;
    PartIndex index;
};

// Splits "a[1].b[0:3].c" into its parts; false (with `why`) when malformed.
bool parsePlugPath(std::string_view text, std::vector<PathPart>& parts, std::string& why);

// An attribute path resolved on a node: the plug (every array level above the last indexed, the last
// possibly a whole array) and the levels that carry index ranges.
struct ResolvedPlug {
    PlugRef plug;
    std::vector<std::pair<int, PartIndex>> ranges;  // attribute depth, range
};

// Values of one attribute gathered for a mesh while the statements run.
struct MeshBuild {
    int line = 0;
    std::vector<std::pair<unsigned, std::array<double, 3>>> vt, pt;
    std::vector<std::pair<unsigned, std::array<int, 3>>> ed;
    bool hasFaces = false;
    std::vector<int> faceCounts;
    std::vector<int> faceEdges;
    bool holes = false;
    struct UV {
        std::string name;
        std::vector<std::pair<unsigned, std::array<float, 2>>> uv;
        std::vector<int> ids;  // per face-vertex, -1 unmapped
    };
    struct Colors {
        std::string name;
        std::vector<std::pair<unsigned, std::array<float, 4>>> colors;
        std::vector<int> ids;
        int representation = 4;  // RGBA unless the file says otherwise
        bool clamped = false;
    };
    std::map<unsigned, UV> uvSets;
    std::map<unsigned, Colors> colorSets;
    std::string currentUV, currentColor;
    bool hasCurrentUV = false, hasCurrentColor = false;
    bool built = false;
    bool building = false;
};

struct CurveBuild {
    int line = 0;
    std::vector<std::pair<unsigned, std::array<double, 2>>> keys;  // index, (input, value) as written
    std::map<unsigned, int> inTangents, outTangents;
};

class Loader {
  public:
    Loader(MaLoadReport& report, std::string fileName, bool opening);
    // Runs every statement of `text` against the current scene; false with report.error set on the
    // first error.
    bool run(std::string_view text);

  private:
    bool fail(int line, const std::string& what);
    void note(int line, const std::string& what);
    void count(const std::string& what);

    bool statement(std::vector<Token>& t);
    bool createNode(const std::vector<Token>& t);
    bool setAttr(std::vector<Token>& t);  // takes the values out of t
    bool connectAttr(const std::vector<Token>& t);
    bool addAttr(const std::vector<Token>& t);
    bool parentCommand(const std::vector<Token>& t);
    bool selectCommand(const std::vector<Token>& t);
    bool renameCommand(const std::vector<Token>& t);
    bool currentUnit(const std::vector<Token>& t);

    // Nodes by the names the file uses ("name", "|a|b", ":name").
    // `instance` receives which instance of the node the path leads through.
    Node* findNode(std::string_view text, unsigned* instance = nullptr) const;
    // A node the file names, or for ":name" a default node of Maya's scenes made on first use.
    Node* findOrDefault(std::string_view text, int line, unsigned* instance = nullptr);
    const std::string& fileNameOf(const Node* n) const;
    void remember(Node* n, const std::string& fileName);
    const NodeType* typeFor(const std::string& typeName, bool dag, int line);

    // Attribute paths. `create` makes missing attributes dynamic ones shaped like `like` (or, without
    // it, by `kind`).
    enum class Shape { kData, kNumber, kBool, kString, kMatrix, kMessage };
    bool resolve(Node* n, const std::vector<PathPart>& parts, bool create, const Attribute* like, Shape kind,
                 bool leafArray, ResolvedPlug& out, std::string& why);
    bool splitNodePlug(std::string_view text, Node*& node, std::string_view& path, int line);

    // Values.
    bool assignRanges(const ResolvedPlug& r, std::string_view typeName, const std::vector<Token>& v,
                      std::size_t& at, int line);
    bool assign(const PlugRef& p, std::string_view typeName, const std::vector<Token>& v, std::size_t& at,
                int line);
    bool number(const Token& t, double& out) const;
    bool integer(const Token& t, long long& out) const;

    // Geometry and curves.
    bool components(const std::vector<Token>& v, std::size_t at, std::size_t n, ObjectPtr& out, int line);
    // Mesh and curve values the loader gathers itself; `handled` false leaves the value to setAttr.
    bool meshAttr(Node* n, const std::vector<PathPart>& parts, std::string_view typeName,
                  const std::vector<Token>& v, int line, bool& handled);
    bool polyFaces(MeshBuild& m, const PartIndex& range, const std::vector<Token>& v, std::size_t at,
                   int line);
    bool curveAttr(Node* n, const std::vector<PathPart>& parts, const std::vector<Token>& v, int line,
                   bool& handled);
    bool finishMeshes();
    bool buildMesh(Node* n, MeshBuild& m);
    bool evaluateHistory(Node* n, MeshBuild& m);
    bool generate(Node* generator, Node* mesh);
    void finishCurves();
    void finishTime();

    MaLoadReport& report_;
    std::string fileName_;
    bool opening_;
    Scene& scene_;
    Units units_;
    Node* current_ = nullptr;
    std::unordered_map<const Node*, std::string> fileNames_;
    std::unordered_multimap<std::string, Node*> byFileName_;
    std::unordered_map<Node*, MeshBuild> meshes_;
    std::vector<Node*> meshOrder_;
    std::unordered_map<Node*, CurveBuild> curves_;
    std::vector<Node*> curveOrder_;
    std::map<std::string, unsigned> counts_;
    std::map<std::string, unsigned> unknownTypes_;
    bool inRange_ = false;   // values being spread over an index range
    unsigned instance_ = 0;  // instance of the node of the plug being resolved
    // Meshes built while building another (a shape fed by a shape); bounded so that a long chain in a
    // file cannot exhaust the stack.
    static constexpr int kMaxHistoryDepth = 256;
    int historyDepth_ = 0;
};

// Marks attributes the loader made up (dynamic attributes and attributes the stand-in's schema lacks).
bool isDynamic(const Attribute* a);
AttrPtr dynamicAttribute(const Attribute* a);
void rememberDynamic(const AttrPtr& a);

}  // namespace ma
}  // namespace mayasim

#endif
