#include <new>
#include <string>
#include <unordered_map>

#include "process/PostLoad.h"
#include "scene/Scene.h"

namespace {

// Characters the host does not accept in node names.
constexpr char16_t kReplacedCharacters[] = u" .|-\t\":;,/'\\<>][{}()";
constexpr char16_t kReplacement = u'_';

bool isReplaced(char16_t c) {
    for (char16_t r : std::u16string_view(kReplacedCharacters)) {
        if (c == r) return true;
    }
    return false;
}

// Calls f(name) for every name of the kinds that get host node names, kind by kind.
template <class F>
void forEachHostName(Scene& scene, F f) {
    for (Light& r : scene.lights) f(r.name);
    for (Camera& r : scene.cameras) f(r.name);
    for (UVSet& r : scene.uvSets) f(r.name);
    for (Group& r : scene.groups) f(r.name);
    for (Bone& r : scene.bones) f(r.name);
    for (Material& r : scene.materials) f(r.name);
    for (Animation& r : scene.animations) f(r.name);
}

std::u16string decimalText(std::uint64_t value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

// One kind's names: a counter shared by all records of the kind is appended to a name
// while another record holds the same name. The uses of every current name are kept in a
// hash so that each test is constant time instead of a walk over the kind.
template <class Array>
void makeUnique(Array& records) {
    constexpr int kMaxAttempts = 101;
    const std::int32_t count = records.count();
    if (count < 2) return;
    std::unordered_map<std::u16string, std::int32_t> uses;
    uses.reserve(static_cast<std::size_t>(count));
    for (const auto& record : records) ++uses[std::u16string(record.name.wideView())];
    std::uint64_t counter = 0;
    for (auto& record : records) {
        for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
            std::u16string current(record.name.wideView());
            auto it = uses.find(current);
            if (it == uses.end() || it->second <= 1) break;
            --it->second;
            // A name already at the buffer's end keeps its length: the suffix is cut.
            record.name.setWide(current + decimalText(counter));
            ++uses[std::u16string(record.name.wideView())];
            ++counter;
        }
    }
}

}  // namespace

void sanitizeNames(Scene& scene) {
    try {
        forEachHostName(scene, [](RecordName& name) {
            std::u16string wide(name.wideView());
            for (char16_t& c : wide) {
                if (isReplaced(c)) c = kReplacement;
            }
            // The narrow form is rebuilt from the wide one even when nothing changed.
            name.setWide(wide);
        });
    } catch (const std::bad_alloc&) {
    }
}

void fixLeadingDigits(Scene& scene) {
    try {
        forEachHostName(scene, [](RecordName& name) {
            std::u16string wide(name.wideView());
            if (wide.empty() || wide[0] < u'0' || wide[0] > u'9') return;
            wide[0] = kReplacement;
            name.setWide(wide);
        });
    } catch (const std::bad_alloc&) {
    }
}

void makeNamesUnique(Scene& scene) {
    try {
        makeUnique(scene.lights);
        makeUnique(scene.cameras);
        makeUnique(scene.bones);
        makeUnique(scene.groups);
        makeUnique(scene.materials);
    } catch (const std::bad_alloc&) {
    }
}
