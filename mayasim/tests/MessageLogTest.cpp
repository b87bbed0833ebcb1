#include <gtest/gtest.h>
#include <maya/MGlobal.h>

#include "mayasim/Host.h"

namespace {

class MessageLog : public ::testing::Test {
  protected:
    void SetUp() override {
        mayasim::setEchoMessages(false);
        mayasim::clearMessages();
    }
    void TearDown() override { mayasim::setEchoMessages(true); }
};

TEST_F(MessageLog, KeepsSeverityAndTextInOrderUntilCleared) {
    MGlobal::displayInfo("one");
    MGlobal::displayWarning("two");
    MGlobal::displayError("three");
    auto lines = mayasim::messages();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].severity, mayasim::Severity::kInfo);
    EXPECT_EQ(lines[0].text, "one");
    EXPECT_EQ(lines[1].severity, mayasim::Severity::kWarning);
    EXPECT_EQ(lines[2].severity, mayasim::Severity::kError);
    EXPECT_EQ(lines[2].text, "three");
    mayasim::clearMessages();
    EXPECT_TRUE(mayasim::messages().empty());
}

TEST_F(MessageLog, PrintsWarningsAndErrorsDecorated) {
    EXPECT_EQ(mayasim::decorated({mayasim::Severity::kInfo, "a"}), "a");
    EXPECT_EQ(mayasim::decorated({mayasim::Severity::kWarning, "a"}), "// Warning: a //");
    EXPECT_EQ(mayasim::decorated({mayasim::Severity::kError, "a"}), "// Error: a //");
}

TEST_F(MessageLog, EchoPrintsEachLineToStandardOutput) {
    mayasim::setEchoMessages(true);
    testing::internal::CaptureStdout();
    MGlobal::displayWarning("careful");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "// Warning: careful //\n");
}

TEST_F(MessageLog, ReportsMaya2015) {
    EXPECT_EQ(MGlobal::mayaVersion(), "2015");
    EXPECT_EQ(MGlobal::apiVersion(), 201500);
}

}  // namespace
