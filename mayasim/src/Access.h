#ifndef MAYASIM_ACCESS_H
#define MAYASIM_ACCESS_H
// Internal: reaches the hidden storage of the API value classes. The public headers keep only raw,
// suitably aligned bytes so that they include no more than the devkit's headers do; the real members
// are standard containers constructed in place here.

#include <maya/MDGModifier.h>
#include <maya/MDagPath.h>
#include <maya/MFileObject.h>
#include <maya/MFnBase.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MString.h>

#include <cstddef>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace mayasim {

class Object;
using ObjectPtr = std::shared_ptr<Object>;

template <class T, std::size_t N>
T& storageAs(unsigned char (&bytes)[N]) {
    static_assert(sizeof(T) <= N, "hidden storage too small");
    static_assert(alignof(T) <= 8, "hidden storage misaligned");
    return *std::launder(reinterpret_cast<T*>(bytes));
}
template <class T, std::size_t N>
const T& storageAs(const unsigned char (&bytes)[N]) {
    static_assert(sizeof(T) <= N, "hidden storage too small");
    static_assert(alignof(T) <= 8, "hidden storage misaligned");
    return *std::launder(reinterpret_cast<const T*>(bytes));
}

struct FileName {
    std::string path;  // directory, as given
    std::string name;  // file name
};

struct Access {
    static std::string& str(MString& s) { return storageAs<std::string>(s.fStore); }
    static const std::string& str(const MString& s) { return storageAs<std::string>(s.fStore); }

    static ObjectPtr& ptr(MObject& o) { return storageAs<ObjectPtr>(o.fStore); }
    static const ObjectPtr& ptr(const MObject& o) { return storageAs<ObjectPtr>(o.fStore); }
    static MObject wrap(ObjectPtr p) {
        MObject o;
        ptr(o) = std::move(p);
        return o;
    }

    static FileName& file(MFileObject& f) { return storageAs<FileName>(f.fStore); }
    static const FileName& file(const MFileObject& f) { return storageAs<FileName>(f.fStore); }

    // A function set's attached node and, for sets attached through a DAG path, that path (nodes from
    // the top of the hierarchy down; empty for the world or when attached by handle).
    static ObjectPtr& fnObject(MFnBase& f) { return storageAs<ObjectPtr>(f.fObject); }
    static const ObjectPtr& fnObject(const MFnBase& f) { return storageAs<ObjectPtr>(f.fObject); }
    static std::vector<ObjectPtr>& fnPath(MFnBase& f) { return storageAs<std::vector<ObjectPtr>>(f.fPath); }
    static const std::vector<ObjectPtr>& fnPath(const MFnBase& f) {
        return storageAs<std::vector<ObjectPtr>>(f.fPath);
    }

    static MObject& plugNode(MPlug& p) { return p.fNode; }
    static const MObject& plugNode(const MPlug& p) { return p.fNode; }
    static MObject& plugAttr(MPlug& p) { return p.fAttr; }
    static const MObject& plugAttr(const MPlug& p) { return p.fAttr; }
    static unsigned* plugIndex(MPlug& p) { return p.fIndex; }
    static const unsigned* plugIndex(const MPlug& p) { return p.fIndex; }

    static std::vector<ObjectPtr>& pathNodes(MDagPath& p) {
        return storageAs<std::vector<ObjectPtr>>(p.fStore);
    }
    static const std::vector<ObjectPtr>& pathNodes(const MDagPath& p) {
        return storageAs<std::vector<ObjectPtr>>(p.fStore);
    }
    static bool& pathValid(MDagPath& p) { return p.fValid; }
    static bool pathValid(const MDagPath& p) { return p.fValid; }

    static unsigned char (&modifier(MDGModifier& m))[48] { return m.fStore; }

    template <class T, class C>
    static std::vector<T>& vec(C& c) {
        return storageAs<std::vector<T>>(c.fStore);
    }
    template <class T, class C>
    static const std::vector<T>& vec(const C& c) {
        return storageAs<std::vector<T>>(c.fStore);
    }
};

inline MString toM(const std::string& s) {
    return MString(s.c_str(), static_cast<int>(s.size()));
}
inline const std::string& fromM(const MString& s) {
    return Access::str(s);
}

}  // namespace mayasim

#endif
