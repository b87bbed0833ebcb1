#include "DiffScene.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iostream>

#include "SceneJson.h"
#include "format/FileSystem.h"
#include "format/Loader.h"
#include "format/QvxHeader.h"
#include "scene/Scene.h"

namespace {

using Json = nlohmann::ordered_json;

// Values are shown as compact JSON; names that are not valid UTF-8 are shown with
// replacement characters rather than stopping the comparison.
std::string shown(const Json& value) {
    if (value.is_array()) {
        return std::to_string(value.size()) + " items";
    }
    if (value.is_object()) {
        return "a record";
    }
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

class Walker {
  public:
    Walker(const DiffSettings& settings, const std::string& leftFolder, const std::string& rightFolder)
        : settings_(settings), leftFolder_(leftFolder), rightFolder_(rightFolder) {}

    void compare(const Json& a, const Json& b, std::string& path) {
        if (a.is_number() && b.is_number()) {
            if (bothIntegers(a, b) ? !integersEqual(a, b)
                                   : !numbersMatch(a.get<double>(), b.get<double>(), settings_.tolerance)) {
                record(path, shown(a), shown(b));
            }
            return;
        }
        if (a.type() != b.type()) {
            record(path, shown(a), shown(b));
            return;
        }
        if (a.is_array()) {
            if (a.size() != b.size()) {
                record(path, shown(a), shown(b));
            }
            const std::size_t common = std::min(a.size(), b.size());
            const std::size_t length = path.size();
            for (std::size_t i = 0; i < common; ++i) {
                path += '[';
                path += std::to_string(i);
                path += ']';
                compare(a[i], b[i], path);
                path.resize(length);
            }
            return;
        }
        if (a.is_object()) {
            const std::size_t length = path.size();
            for (auto it = a.begin(); it != a.end(); ++it) {
                appendKey(path, it.key());
                const auto other = b.find(it.key());
                if (other == b.end()) {
                    record(path, shown(it.value()), "absent");
                } else {
                    compare(it.value(), *other, path);
                }
                path.resize(length);
            }
            for (auto it = b.begin(); it != b.end(); ++it) {
                if (a.find(it.key()) == a.end()) {
                    appendKey(path, it.key());
                    record(path, "absent", shown(it.value()));
                    path.resize(length);
                }
            }
            return;
        }
        if (a.is_string() ? !stringsMatch(a.get_ref<const std::string&>(), b.get_ref<const std::string&>())
                          : a != b) {
            record(path, shown(a), shown(b));
        }
    }

    SceneDiff result;

  private:
    static bool bothIntegers(const Json& a, const Json& b) {
        return !a.is_number_float() && !b.is_number_float();
    }
    static bool integersEqual(const Json& a, const Json& b) {
        // Signed and unsigned JSON integers compare by value.
        if (a.is_number_unsigned() && b.is_number_unsigned()) {
            return a.get<std::uint64_t>() == b.get<std::uint64_t>();
        }
        if (a.is_number_unsigned() != b.is_number_unsigned()) {
            const Json& u = a.is_number_unsigned() ? a : b;
            const Json& s = a.is_number_unsigned() ? b : a;
            return s.get<std::int64_t>() >= 0 &&
                   static_cast<std::uint64_t>(s.get<std::int64_t>()) == u.get<std::uint64_t>();
        }
        return a.get<std::int64_t>() == b.get<std::int64_t>();
    }
    bool stringsMatch(const std::string& a, const std::string& b) const {
        if (a == b) {
            return true;
        }
        const bool inLeftFolder = !leftFolder_.empty() && a.compare(0, leftFolder_.size(), leftFolder_) == 0;
        const bool inRightFolder =
            !rightFolder_.empty() && b.compare(0, rightFolder_.size(), rightFolder_) == 0;
        return inLeftFolder && inRightFolder &&
               a.compare(leftFolder_.size(), std::string::npos, b, rightFolder_.size(), std::string::npos) ==
                   0;
    }
    static void appendKey(std::string& path, const std::string& key) {
        if (!path.empty()) {
            path += '.';
        }
        path += key;
    }
    void record(const std::string& path, std::string left, std::string right) {
        ++result.count;
        if (result.first.size() < settings_.maxReported) {
            result.first.push_back({path.empty() ? "scene" : path, std::move(left), std::move(right)});
        }
    }

    const DiffSettings& settings_;
    const std::string& leftFolder_;
    const std::string& rightFolder_;
};

}  // namespace

bool numbersMatch(double a, double b, double tolerance) {
    if (std::isnan(a) || std::isnan(b)) {
        return std::isnan(a) && std::isnan(b);
    }
    if (a == b) {
        return true;  // also equal infinities
    }
    if (std::isinf(a) || std::isinf(b)) {
        return false;
    }
    const double scale = std::max({1.0, std::fabs(a), std::fabs(b)});
    return std::fabs(a - b) <= tolerance * scale;
}

SceneDiff diffScenes(const Scene& left, const Scene& right, const DiffSettings& settings,
                     const std::string& leftFolder, const std::string& rightFolder) {
    Walker walker(settings, leftFolder, rightFolder);
    std::string path;
    walker.compare(sceneToJson(left), sceneToJson(right), path);
    return std::move(walker.result);
}

namespace {

bool loadForDiff(const std::string& path, Scene& scene, bool raw) {
    LoadOptions options;
    options.prepare = !raw;
    options.extractEmbeddedFiles = false;
    LoadReport report;
    if (loadSceneFile(path, scene, options, &report) == QVX_RESULT_OK) {
        return true;
    }
    std::cerr << path << ": " << qvxResultName(report.result) << ": " << report.reason << "\n";
    return false;
}

}  // namespace

int runDiff(const std::vector<std::string>& files, const DiffSettings& settings, bool raw) {
    if (files.size() < 2) {
        std::cerr << "qvx diff: give at least two files\n";
        return 2;
    }
    Scene reference;
    if (!loadForDiff(files[0], reference, raw)) {
        return 1;
    }
    int status = 0;
    for (std::size_t i = 1; i < files.size(); ++i) {
        Scene other;
        if (!loadForDiff(files[i], other, raw)) {
            status = 1;
            continue;
        }
        const SceneDiff diff =
            diffScenes(reference, other, settings, qvxfs::folderOf(files[0]), qvxfs::folderOf(files[i]));
        if (diff.equal()) {
            std::cout << files[i] << ": same scene as " << files[0] << "\n";
            continue;
        }
        status = 1;
        std::cout << files[i] << ": " << diff.count << (diff.count == 1 ? " difference" : " differences")
                  << " from " << files[0] << "\n";
        for (const SceneDifference& d : diff.first) {
            std::cout << "  " << d.path << ": " << d.left << " -> " << d.right << "\n";
        }
        if (diff.count > diff.first.size()) {
            std::cout << "  ... and " << diff.count - diff.first.size() << " more\n";
        }
    }
    return status;
}
