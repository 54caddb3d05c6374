#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/patch_job.h"
#include "tests/support/cp932.h"
#include "tests/support/dialog_recorder.h"
#include "tests/support/payload_builder.h"
#include "tests/support/scratch_directory.h"

inline constexpr char kInputName[] = "old.bin";
inline constexpr char kOutputName[] = "new.bin";
inline constexpr char kStagingName[] = "temp.bin";

// Each job runs in its own empty directory with its dialogs captured.
class PatchJobTest : public ::testing::Test {
  protected:
    // Runs the job on an exactly sized copy of `payload`, so that any read
    // past the block is a read past a heap allocation.
    JobStatus runJob(const Bytes& payload, const char* inputName = kInputName,
                     const char* outputName = kOutputName) {
        const Bytes exact(payload.begin(), payload.end());
        const JobStatus status = runPatchJob(PatchPayload(exact), inputName, outputName);
        EXPECT_FALSE(std::filesystem::exists(kStagingName)) << "the staging file is left behind";
        return status;
    }

    // The one message a failed job shows: its text, the error title and icon.
    void expectOnlyError(const std::string& utf8Text) {
        ASSERT_EQ(dialogs.dialogs().size(), 1u);
        const RecordedDialog& dialog = dialogs.dialogs()[0];
        EXPECT_EQ(dialog.text, cp932FromUtf8(utf8Text));
        EXPECT_EQ(dialog.title, cp932FromUtf8("エラー"));
        EXPECT_EQ(dialog.icon, MessageIcon::error);
        EXPECT_FALSE(dialog.asksOkCancel);
    }

    static bool exists(const char* name) { return std::filesystem::exists(name); }

    ScratchDirectory scratch;
    DialogRecorder dialogs;
};
