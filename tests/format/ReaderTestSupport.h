#pragma once

// Shared helpers of the reader tests: parsing an image in memory and a scratch folder.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "format/SceneParser.h"
#include "scene/Scene.h"

struct Parsed {
    int result = 0;
    ParseReport report;
};

inline Parsed parseBytes(std::vector<unsigned char> bytes, Scene& scene, const std::string& folder = "",
                         bool extract = false) {
    ReadSettings settings;
    settings.sceneFolder = folder;
    settings.extractEmbeddedFiles = extract;
    Parsed p;
    p.result = parseSceneImage(bytes, scene, settings, &p.report);
    return p;
}

// A fresh folder under the system temporary folder, removed with its contents at the end.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "qvxreadXXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    // The folder with a trailing separator, as the reader expects it.
    std::string folder() const { return path_ + "/"; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

    void write(const std::string& name, const std::vector<unsigned char>& bytes) const {
        std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<unsigned char> read(const std::string& name) const {
        std::ifstream in(file(name), std::ios::binary);
        return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(file(name)); }

  private:
    std::string path_;
};
