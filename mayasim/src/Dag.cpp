// Transform evaluation: local matrices from the evaluated attribute values, and world matrices along
// DAG paths. Values are read through the scene, so animation at the current time is seen.
#include "Dag.h"

#include <maya/MEulerRotation.h>

#include "HostState.h"

namespace mayasim {

namespace {

MMatrix translation(double x, double y, double z) {
    MMatrix m;
    m.matrix[3][0] = x;
    m.matrix[3][1] = y;
    m.matrix[3][2] = z;
    return m;
}

void read3(const Scene& s, const Node& n, const char* name, double out[3], double fallback) {
    PlugRef p = n.plug(name);
    for (int i = 0; i < 3; ++i) {
        out[i] = fallback;
        if (p.valid() && i < static_cast<int>(p.attr->children.size()))
            s.readNumber(p.child(p.attr->children[static_cast<std::size_t>(i)].get()), out[i]);
    }
}

MMatrix euler(const double r[3], int order) {
    if (order < 0 || order > 5) order = 0;
    return MEulerRotation(r[0], r[1], r[2], static_cast<MEulerRotation::RotationOrder>(order)).asMatrix();
}

}  // namespace

MMatrix toMMatrix(const Matrix16& m) {
    MMatrix r;
    for (int i = 0; i < 16; ++i) r.matrix[i / 4][i % 4] = m[static_cast<std::size_t>(i)];
    return r;
}
Matrix16 toMatrix16(const MMatrix& m) {
    Matrix16 r;
    for (int i = 0; i < 16; ++i) r[static_cast<std::size_t>(i)] = m.matrix[i / 4][i % 4];
    return r;
}

// Row-vector form: [-sp] S [sp] [-rp] RA R [rp] T for transforms; S RA R JO IS T for joints, where IS
// undoes the parent's scale (segment scale compensation): the inverse of the joint's "inverseScale",
// which holds the parent joint's scale through a connection. A zero component is left alone.
MMatrix localMatrix(const Node& node) {
    if (!node.type->isTransform()) return MMatrix();
    const Scene& s = scene();
    double t[3], r[3], sc[3], ra[3], rp[3], sp[3];
    read3(s, node, "translate", t, 0);
    read3(s, node, "rotate", r, 0);
    read3(s, node, "scale", sc, 1);
    read3(s, node, "rotateAxis", ra, 0);
    read3(s, node, "rotatePivot", rp, 0);
    read3(s, node, "scalePivot", sp, 0);
    int order = static_cast<int>(s.number(&node, "rotateOrder", 0));
    MMatrix scale;
    for (int i = 0; i < 3; ++i) scale.matrix[i][i] = sc[i];
    MMatrix rot = euler(r, order);
    if (node.type->isA("joint")) {
        double jo[3];
        read3(s, node, "jointOrient", jo, 0);
        MMatrix m = scale * euler(ra, 0) * rot * euler(jo, 0);
        if (s.number(&node, "segmentScaleCompensate", 1.0) != 0.0) {
            double is[3];
            read3(s, node, "inverseScale", is, 1);
            MMatrix undo;
            for (int i = 0; i < 3; ++i) undo.matrix[i][i] = is[i] != 0.0 ? 1.0 / is[i] : 1.0;
            m = m * undo;
        }
        return m * translation(t[0], t[1], t[2]);
    }
    MMatrix m = translation(-sp[0], -sp[1], -sp[2]) * scale * translation(sp[0], sp[1], sp[2]) *
                translation(-rp[0], -rp[1], -rp[2]) * euler(ra, 0) * rot * translation(rp[0], rp[1], rp[2]);
    return m * translation(t[0], t[1], t[2]);
}

MMatrix pathMatrix(const NodePath& path) {
    MMatrix m;
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
        m = m * localMatrix(**it);
        if (scene().number(*it, "inheritsTransform", 1.0) == 0.0) break;
    }
    return m;
}

NodePath firstPath(Node* node) {
    return instancePath(node, 0);
}

NodePath instancePath(Node* node, unsigned instance) {
    NodePath up;
    Node* world = scene().world();
    if (!node || node == world) return up;
    up.push_back(node);
    Node* p = instance < node->parents.size() ? node->parents[instance] : nullptr;
    while (p && p != world && up.size() < 4096) {
        up.push_back(p);
        p = p->parents.empty() ? nullptr : p->parents.front();
    }
    return NodePath(up.rbegin(), up.rend());
}

namespace {
void collectPaths(Node* node, NodePath& suffix, std::vector<NodePath>& out, Node* world) {
    if (node == world) {
        out.emplace_back(suffix.rbegin(), suffix.rend());
        return;
    }
    suffix.push_back(node);
    for (Node* p : node->parents) collectPaths(p, suffix, out, world);
    suffix.pop_back();
}
}  // namespace

std::vector<NodePath> allPaths(Node* node) {
    std::vector<NodePath> out;
    NodePath suffix;
    if (node) collectPaths(node, suffix, out, scene().world());
    return out;
}

// Matrix outputs of every DAG node.
MAYASIM_REGISTER_TYPES(registerDagComputes) {
    types().addCompute("dagNode", [](const Node& n, const PlugRef& p, Value& out) {
        const std::string& a = p.attr->longName;
        Node* node = const_cast<Node*>(&n);
        unsigned inst = p.isElement() ? p.index[0] : 0;
        if (a == "matrix") {
            out = toMatrix16(localMatrix(n));
        } else if (a == "inverseMatrix") {
            out = toMatrix16(localMatrix(n).inverse());
        } else if (a == "worldMatrix" || a == "worldInverseMatrix") {
            MMatrix w = pathMatrix(instancePath(node, inst));
            out = toMatrix16(a == "worldMatrix" ? w : w.inverse());
        } else if (a == "parentMatrix" || a == "parentInverseMatrix") {
            NodePath path = instancePath(node, inst);
            if (!path.empty()) path.pop_back();
            MMatrix w = pathMatrix(path);
            out = toMatrix16(a == "parentMatrix" ? w : w.inverse());
        } else {
            return false;
        }
        return true;
    });
    types().addCompute("time", [](const Node&, const PlugRef& p, Value& out) {
        if (p.attr->longName != "outTime") return false;
        out = host().time.current;
        return true;
    });
}

}  // namespace mayasim
