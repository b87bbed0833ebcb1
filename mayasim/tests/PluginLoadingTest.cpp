#include <gtest/gtest.h>
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>

#include "mayasim/Host.h"

namespace {

class PluginLoading : public ::testing::Test {
  protected:
    void SetUp() override {
        mayasim::setEchoMessages(false);
        mayasim::clearMessages();
    }
    void TearDown() override {
        if (mayasim::isPluginLoaded(MAYASIM_TEST_PLUGIN)) mayasim::unloadPlugin(MAYASIM_TEST_PLUGIN);
        mayasim::setEchoMessages(true);
    }
    static bool logged(const std::string& text) {
        for (const auto& line : mayasim::messages())
            if (line.text == text) return true;
        return false;
    }
};

TEST_F(PluginLoading, LoadRegistersTranslatorWithItsAnswersAndThePluginByName) {
    ASSERT_TRUE(mayasim::loadPlugin(MAYASIM_TEST_PLUGIN));
    EXPECT_TRUE(logged("test plug-in loaded"));
    mayasim::TranslatorInfo info;
    ASSERT_TRUE(mayasim::findTranslator("Recording", info));
    EXPECT_EQ(info.pixmap, "none");
    EXPECT_EQ(info.optionsScript, "recOptions");
    EXPECT_EQ(info.defaultOptions, "a=1;b=2;");
    EXPECT_EQ(info.dataLocation, "data");
    EXPECT_FALSE(info.requiresFullMel);
    EXPECT_TRUE(info.haveRead);
    EXPECT_TRUE(info.haveWrite);
    EXPECT_FALSE(info.haveReference);
    EXPECT_TRUE(info.canBeOpened);
    EXPECT_EQ(info.extension, "rec");
    EXPECT_EQ(info.filter, "*.rec");
    EXPECT_EQ(info.plugin, "libmayasim_test_plugin");
    MObject plugin = MFnPlugin::findPlugin("libmayasim_test_plugin");
    ASSERT_FALSE(plugin.isNull());
    MStatus status;
    MFnPlugin fn(plugin, "Unknown", "Unknown", "Any", &status);
    ASSERT_TRUE(status);
    EXPECT_EQ(fn.vendor(), "Test Vendor");
    EXPECT_EQ(fn.version(), "1.0");
    EXPECT_EQ(fn.apiVersion(), "201500");
}

TEST_F(PluginLoading, UnloadDeregistersTranslator) {
    ASSERT_TRUE(mayasim::loadPlugin(MAYASIM_TEST_PLUGIN));
    ASSERT_TRUE(mayasim::unloadPlugin(MAYASIM_TEST_PLUGIN));
    EXPECT_TRUE(logged("test plug-in unloaded"));
    mayasim::TranslatorInfo info;
    EXPECT_FALSE(mayasim::findTranslator("Recording", info));
    EXPECT_FALSE(mayasim::isPluginLoaded("libmayasim_test_plugin"));
}

}  // namespace

namespace {

TEST_F(PluginLoading, TranslatorObjectsComeFromTheRegisteredCreator) {
    ASSERT_TRUE(mayasim::loadPlugin(MAYASIM_TEST_PLUGIN));
    MPxFileTranslator* kept = mayasim::hostTranslator("Recording");
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept, mayasim::hostTranslator("Recording"));
    auto fresh = mayasim::createTranslator("Recording");
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(fresh.get(), kept);
    MFileObject file;
    file.setFullName("/tmp/x.rec");
    EXPECT_EQ(fresh->identifyFile(file, "REC!", 4), MPxFileTranslator::kIsMyFileType);
    EXPECT_EQ(fresh->identifyFile(file, nullptr, 0), MPxFileTranslator::kCouldBeMyFileType);
}

TEST_F(PluginLoading, ModuleWithoutVersionStringIsRefused) {
    std::string error;
    EXPECT_FALSE(mayasim::loadPlugin(MAYASIM_TEST_NOVERSION_PLUGIN, &error));
    EXPECT_NE(error.find("MApiVersion"), std::string::npos);
    EXPECT_FALSE(mayasim::isPluginLoaded(MAYASIM_TEST_NOVERSION_PLUGIN));
}

TEST_F(PluginLoading, MissingModuleFailsWithReason) {
    std::string error;
    EXPECT_FALSE(mayasim::loadPlugin("/nonexistent/plugin.so", &error));
    EXPECT_NE(error.find("/nonexistent/plugin.so"), std::string::npos);
}

#ifdef QVX_PLUGIN_MODULE
TEST_F(PluginLoading, RealPluginRegistersItsTranslator) {
    ASSERT_TRUE(mayasim::loadPlugin(QVX_PLUGIN_MODULE));
    mayasim::TranslatorInfo info;
    EXPECT_TRUE(mayasim::findTranslator("Tavrin Pro", info));
    EXPECT_EQ(info.filter, "*.qvx");
    EXPECT_TRUE(mayasim::unloadPlugin(QVX_PLUGIN_MODULE));
}
#endif

}  // namespace
