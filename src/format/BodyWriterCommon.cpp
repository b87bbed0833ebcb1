#include "format/BodyWriterCommon.h"

std::string_view textureFileName(std::string_view path) {
    const std::size_t separator = path.find_last_of("/\\");
    if (separator != std::string_view::npos) return path.substr(separator + 1);
    // A drive without a folder, e.g. "C:wood.png".
    if (path.size() >= 2 && path[1] == ':') return path.substr(2);
    return path;
}
