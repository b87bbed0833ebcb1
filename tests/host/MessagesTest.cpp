#include <gtest/gtest.h>
#include <maya/MString.h>
#include <mayasim/Host.h>

#include <string>
#include <vector>

#include "host/Messages.h"

namespace {

class MessageChannels : public ::testing::Test {
  protected:
    void SetUp() override {
        mayasim::setEchoMessages(false);
        mayasim::clearMessages();
        ::testing::internal::CaptureStderr();
    }
    void TearDown() override {
        if (capturing) {
            ::testing::internal::GetCapturedStderr();
        }
        mayasim::clearMessages();
        mayasim::setEchoMessages(true);
    }
    std::string stderrText() {
        capturing = false;
        return ::testing::internal::GetCapturedStderr();
    }
    static std::vector<mayasim::LogLine> hostLog() { return mayasim::messages(); }
    bool capturing = true;
};

TEST_F(MessageChannels, LineGoesToHostAndToStderrWithNewline) {
    logLine("QVX: Finished.");
    EXPECT_EQ(stderrText(), "QVX: Finished.\n");
    const auto log = hostLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].text, "QVX: Finished.");
    EXPECT_EQ(log[0].severity, mayasim::Severity::kInfo);
}

TEST_F(MessageChannels, DifferentTextsPerChannel) {
    logLine("QVX: ERROR: File is not a Tavrin Pro file.", "QVX: ERROR: File is not a Tavrin file.");
    EXPECT_EQ(stderrText(), "QVX: ERROR: File is not a Tavrin file.\n");
    const auto log = hostLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].text, "QVX: ERROR: File is not a Tavrin Pro file.");
}

TEST_F(MessageChannels, HostLevelsReachTheMatchingHostCall) {
    logLine("QVX: WARNING: w", HostLevel::Warning);
    logHost("e", HostLevel::Error);
    EXPECT_EQ(stderrText(), "QVX: WARNING: w\n");
    const auto log = hostLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].severity, mayasim::Severity::kWarning);
    EXPECT_EQ(log[1].severity, mayasim::Severity::kError);
}

TEST_F(MessageChannels, HostOnlyLineLeavesStderrAlone) {
    logHost("QVX: a");
    EXPECT_EQ(stderrText(), "");
    EXPECT_EQ(hostLog().size(), 1u);
}

TEST_F(MessageChannels, StderrTextIsWrittenVerbatim) {
    logStderr("QVX: a: 1\nQVX: b: 0\n");
    logStderrFormat("QVX: tick_start: %f\n", 10.0);
    flushLog();
    EXPECT_EQ(stderrText(), "QVX: a: 1\nQVX: b: 0\nQVX: tick_start: 10.000000\n");
    EXPECT_TRUE(hostLog().empty());
}

}  // namespace
