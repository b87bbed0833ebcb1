#include "host/HostNames.h"

#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>

#include <cstdio>

std::string quoteForCommand(const std::string& text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    for (const char c : text) {
        switch (c) {
            case '"':
                quoted += "\\\"";
                break;
            case '\\':
                quoted += "\\\\";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\r':
                quoted += "\\r";
                break;
            case '\t':
                quoted += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    // Other control characters have no place in a name; keep them visible
                    // rather than let them reach the command text raw.
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\%03o", static_cast<unsigned char>(c));
                    quoted += escaped;
                } else {
                    quoted += c;
                }
                break;
        }
    }
    quoted += '"';
    return quoted;
}

MString fullPathOf(const MObject& node) {
    MStatus status;
    MFnDagNode dagFn(node, &status);
    if (!status) return MString();
    MDagPath path;
    if (!dagFn.getPath(path)) return MString();
    return path.fullPathName();
}
