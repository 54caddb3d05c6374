#include "engine/job_messages.h"

#include <gtest/gtest.h>

#include "tests/support/cp932.h"

namespace {

struct ExpectedMessage {
    JobStatus status;
    const char* utf8;
    bool namesOutput;
};

// The messages as the user reads them.
const ExpectedMessage kExpectedMessages[] = {
    {kJobInputOpenFailed, "%s が開けません.", false},
    {kJobInputMismatch, "%s のMD5が違います.", false},
    {kJobInputReadFailed, "ファイルの読み込みに失敗.", false},
    {kJobWriteFailed, "ファイルへの書き込みに失敗.", false},
    {kJobStagingCreateFailed, "一時ファイルを作れない.", false},
    {kJobStagingOpenFailed, "一時ファイルが開けない.", false},
    {kJobDecoderOpenFailed, "bzip2の初期化に失敗.", false},
    {kJobPatchReadFailed, "差分パッチデータの読み出しに失敗.", false},
    {kJobOutputCreateFailed, "ファイル '%s' が作れない.", true},
};

TEST(JobMessages, EveryFailureHasItsCodePage932Text) {
    for (const ExpectedMessage& expected : kExpectedMessages) {
        const char* text = jobMessageTemplate(expected.status);
        ASSERT_NE(text, nullptr) << "status " << expected.status;
        EXPECT_EQ(std::string(text), cp932FromUtf8(expected.utf8)) << "status " << expected.status;
        EXPECT_EQ(jobMessageNamesOutput(expected.status), expected.namesOutput)
            << "status " << expected.status;
    }
}

TEST(JobMessages, SuccessAndUnusedCodesHaveNone) {
    for (JobStatus status : {0, 1, 11, -1}) {
        EXPECT_EQ(jobMessageTemplate(status), nullptr) << "status " << status;
    }
}

TEST(JobMessages, ErrorTitle) {
    EXPECT_EQ(std::string(kErrorTitle), cp932FromUtf8("エラー"));
}

}  // namespace
