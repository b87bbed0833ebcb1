// The scene of the process and what a new scene holds.
#include <algorithm>
#include <cmath>

#include "Graph.h"
#include "HostState.h"

namespace mayasim {

namespace {

struct Hook {
    int order;
    void (*fn)(Scene&);
};
std::vector<Hook>& hooks() {
    static std::vector<Hook> list;
    return list;
}

constexpr double kDegrees = 3.14159265358979323846 / 180.0;

Node* make(Scene& s, const char* type, const char* name, Node* parent = nullptr) {
    return s.createNode(types().find(type), name, parent);
}

void set3(Scene& s, Node* n, const char* attrName, double x, double y, double z) {
    PlugRef p = n->plug(attrName);
    const double v[3] = {x, y, z};
    for (std::size_t i = 0; i < 3 && p.valid() && i < p.attr->children.size(); ++i)
        s.write(p.child(p.attr->children[i].get()), v[i]);
}

void connectIfPresent(Scene& s, Node* src, const char* srcAttr, Node* dst, const char* dstAttr,
                      unsigned element) {
    PlugRef a = src->plug(srcAttr), b = dst->plug(dstAttr);
    if (!a.valid() || !b.valid()) return;
    if (b.attr->array) b = b.element(element);
    s.connect(a, b);
}

// The default cameras of a new scene: a perspective camera and three orthographic ones.
void addCamera(Scene& s, const char* name, const char* shapeName, double tx, double ty, double tz, double rx,
               double ry, bool ortho) {
    Node* xf = make(s, "transform", name);
    set3(s, xf, "translate", tx, ty, tz);
    set3(s, xf, "rotate", rx * kDegrees, ry * kDegrees, 0);
    s.setNumber(xf, "visibility", 0);
    Node* shape = make(s, "camera", shapeName, xf);
    if (shape->plug("orthographic").valid()) s.setNumber(shape, "orthographic", ortho ? 1 : 0);
    if (shape->plug("orthographicWidth").valid()) s.setNumber(shape, "orthographicWidth", ortho ? 30 : 10);
}

void defaultNodes(Scene& s) {
    make(s, "time", "time1");
    Node* partition = make(s, "partition", "renderPartition");
    Node* shaders = make(s, "shaderList", "defaultShaderList1");
    make(s, "textureList", "defaultTextureList1");
    Node* lambert = make(s, "lambert", "lambert1");
    Node* sg = make(s, "shadingEngine", "initialShadingGroup");
    s.setNumber(sg, "renderableOnlySet", 1);
    Node* particleSG = make(s, "shadingEngine", "initialParticleSE");
    s.setNumber(particleSG, "renderableOnlySet", 1);
    make(s, "objectSet", "defaultLightSet");
    make(s, "objectSet", "defaultObjectSet");
    connectIfPresent(s, lambert, "outColor", sg, "surfaceShader", 0);
    connectIfPresent(s, lambert, "message", shaders, "shaders", 0);
    connectIfPresent(s, sg, "partition", partition, "sets", 0);
    connectIfPresent(s, particleSG, "partition", partition, "sets", 1);
    addCamera(s, "persp", "perspShape", 28, 21, 28, -27.938352729602379, 44.999999999999972, false);
    addCamera(s, "top", "topShape", 0, 100.1, 0, -90, 0, true);
    addCamera(s, "front", "frontShape", 0, 0, 100.1, 0, 0, true);
    addCamera(s, "side", "sideShape", 100.1, 0, 0, 0, 90, true);
}

}  // namespace

void registerNewSceneHook(int order, void (*fn)(Scene&)) {
    hooks().push_back(Hook{order, fn});
}

Scene& scene() {
    HostState& h = host();
    if (!h.scene) resetScene();
    return *h.scene;
}

// A new Maya 2015 scene: film (24 fps), playback 1 to 24, animation range 1 to 48, current time 1.
void resetScene() {
    HostState& h = host();
    h.scene = std::make_unique<Scene>();
    h.time = TimeState{};
    h.activeSelection.clear();
    defaultNodes(*h.scene);
    std::vector<Hook> list = hooks();
    std::stable_sort(list.begin(), list.end(),
                     [](const Hook& a, const Hook& b) { return a.order < b.order; });
    for (const Hook& hook : list) hook.fn(*h.scene);
}

void newScene() {
    resetScene();
}

}  // namespace mayasim
