#include <dlfcn.h>
#include <gtest/gtest.h>
#include <maya/MFileObject.h>
#include <maya/MFnPlugin.h>
#include <maya/MPxFileTranslator.h>
#include <maya/MString.h>
#include <mayasim/Host.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "plugin/Options.h"
#include "plugin/PluginRegistration.h"

// The module is opened as the host opens it, so the objects it makes are the module's own
// copies of the translator class: the tests talk to them through the host interface only.
namespace {

constexpr const char* kModulePath = QVX_PLUGIN_MODULE;
constexpr const char* kName = "Tavrin Pro";
const std::string kStarting = "Tavrin Pro: Initializing plugin for Maya 2015...";

class PluginModule : public ::testing::Test {
  protected:
    void SetUp() override {
        mayasim::setEchoMessages(false);
        mayasim::clearMessages();
    }
    void TearDown() override {
        if (mayasim::isPluginLoaded(kModulePath)) {
            mayasim::unloadPlugin(kModulePath);
        }
        mayasim::clearMessages();
        mayasim::setEchoMessages(true);
    }
    static std::vector<mayasim::LogLine> log() { return mayasim::messages(); }
};

TEST_F(PluginModule, ExportsOnlyTheEntryPointsAndTheApiVersionItWasBuiltFor) {
    void* handle = dlopen(kModulePath, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    const char* version = static_cast<const char*>(dlsym(handle, "MApiVersion"));
    ASSERT_NE(version, nullptr);
    EXPECT_STREQ(version, "201500");
    EXPECT_NE(dlsym(handle, "_Z16initializePlugin7MObject"), nullptr);
    EXPECT_NE(dlsym(handle, "_Z18uninitializePlugin7MObject"), nullptr);
    // Helpers stay private to the module, so two plug-ins cannot clash over them.
    EXPECT_EQ(dlsym(handle, "_Z19defaultOptionStringB5cxx11v"), nullptr);
    EXPECT_EQ(dlsym(handle, "_Z17registerTavrinPro7MObject"), nullptr);
    dlclose(handle);
}

TEST_F(PluginModule, LoadLogsStartAndSuccessAndRegistersTheTranslator) {
    std::string error;
    ASSERT_TRUE(mayasim::loadPlugin(kModulePath, &error)) << error;
    const std::vector<mayasim::LogLine> lines = log();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].severity, mayasim::Severity::kInfo);
    EXPECT_EQ(lines[0].text, kStarting);
    EXPECT_EQ(lines[1].severity, mayasim::Severity::kInfo);
    EXPECT_EQ(lines[1].text, kStarting + "Success");
    mayasim::TranslatorInfo info;
    ASSERT_TRUE(mayasim::findTranslator(kName, info));
    EXPECT_EQ(info.plugin, "TavrinPro");
    EXPECT_EQ(info.pixmap, "none");
    EXPECT_EQ(info.optionsScript, "qvxTransOptions");
    EXPECT_EQ(info.defaultOptions, defaultOptionString());
    EXPECT_FALSE(info.requiresFullMel);
    EXPECT_EQ(info.dataLocation, MFnPlugin::kDefaultDataLocation.asChar());
    EXPECT_TRUE(info.haveRead);
    EXPECT_TRUE(info.haveWrite);
    EXPECT_EQ(info.extension, "qvx");
    EXPECT_EQ(info.filter, "*.qvx");
}

TEST_F(PluginModule, RegisteredCreatorMakesWorkingTranslators) {
    ASSERT_TRUE(mayasim::loadPlugin(kModulePath));
    std::unique_ptr<MPxFileTranslator> translator = mayasim::createTranslator(kName);
    ASSERT_NE(translator, nullptr);
    MFileObject file;
    file.setFullName("scene.qvx");
    EXPECT_EQ(translator->identifyFile(file, "QVXH", 4), MPxFileTranslator::kIsMyFileType);
    EXPECT_EQ(translator->defaultExtension(), "qvx");
    translator.reset();  // before the module that made it goes away
}

TEST_F(PluginModule, HostTranslatorKeepsFlagsBetweenRequests) {
    ASSERT_TRUE(mayasim::loadPlugin(kModulePath));
    MPxFileTranslator* translator = mayasim::hostTranslator(kName);
    ASSERT_NE(translator, nullptr);
    MFileObject file;
    file.setFullName("/tmp/out.qvx");
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(translator->writer(file, "export_bones=0", MPxFileTranslator::kExportAccessMode));
    mayasim::clearMessages();
    EXPECT_TRUE(translator->writer(file, "", MPxFileTranslator::kExportAccessMode));
    ::testing::internal::GetCapturedStderr();
    bool sawBonesOff = false;
    for (const mayasim::LogLine& line : log()) {
        sawBonesOff = sawBonesOff || line.text == "QVX: export_bones: 0";
    }
    EXPECT_TRUE(sawBonesOff);
}

TEST_F(PluginModule, UnloadDeregistersSilentlyAndTheModuleLoadsAgain) {
    ASSERT_TRUE(mayasim::loadPlugin(kModulePath));
    mayasim::clearMessages();
    std::string error;
    ASSERT_TRUE(mayasim::unloadPlugin(kModulePath, &error)) << error;
    EXPECT_FALSE(mayasim::isPluginLoaded(kModulePath));
    mayasim::TranslatorInfo info;
    EXPECT_FALSE(mayasim::findTranslator(kName, info));
    EXPECT_TRUE(log().empty());
    ASSERT_TRUE(mayasim::loadPlugin(kModulePath));
    EXPECT_TRUE(mayasim::findTranslator(kName, info));
}

// Registration run directly against the loaded module's plug-in object.
class PluginRegistration : public PluginModule {};

TEST_F(PluginRegistration, SecondRegistrationReportsAnError) {
    ASSERT_TRUE(mayasim::loadPlugin(kModulePath));
    mayasim::clearMessages();
    const MStatus status = registerTavrinPro(MFnPlugin::findPlugin("TavrinPro"));
    EXPECT_FALSE(status);
    bool sawStart = false;
    bool sawError = false;
    for (const mayasim::LogLine& line : log()) {
        sawStart = sawStart || (line.text == kStarting && line.severity == mayasim::Severity::kInfo);
        sawError = sawError || (line.text == "Tavrin Pro: There was an error initializing the plugin." &&
                                line.severity == mayasim::Severity::kError);
        EXPECT_NE(line.text, kStarting + "Success");
    }
    EXPECT_TRUE(sawStart);
    EXPECT_TRUE(sawError);
}

TEST_F(PluginRegistration, RegistrationWithoutPluginObjectFails) {
    EXPECT_FALSE(registerTavrinPro(MObject()));
    EXPECT_FALSE(deregisterTavrinPro(MObject()));
    const std::vector<mayasim::LogLine> lines = log();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, kStarting);
    EXPECT_EQ(lines[1].text, "Tavrin Pro: There was an error initializing the plugin.");
    EXPECT_EQ(lines[1].severity, mayasim::Severity::kError);
}

TEST_F(PluginRegistration, DeregisterThenRegisterAgainSucceeds) {
    ASSERT_TRUE(mayasim::loadPlugin(kModulePath));
    const MObject plugin = MFnPlugin::findPlugin("TavrinPro");
    ASSERT_TRUE(deregisterTavrinPro(plugin));
    EXPECT_TRUE(mayasim::translatorNames().empty());
    mayasim::clearMessages();
    ASSERT_TRUE(registerTavrinPro(plugin));
    EXPECT_EQ(log().back().text, kStarting + "Success");
    mayasim::TranslatorInfo info;
    ASSERT_TRUE(mayasim::findTranslator(kName, info));
    EXPECT_EQ(info.defaultOptions, defaultOptionString());
}

}  // namespace
