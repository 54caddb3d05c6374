// loadPayload over a stand-in for the table the build embeds in a program.
#include "frontend/payload_lookup.h"

#include <gtest/gtest.h>

#include "engine/patch_job.h"
#include "frontend/driver.h"
#include "platform/native/embedded_payloads.h"
#include "programs/gothic_gen/job_table.h"
#include "tests/support/cp932.h"
#include "tests/support/dialog_recorder.h"
#include "tests/support/payload_builder.h"
#include "tests/support/scratch_directory.h"

namespace {

const Bytes& wholePayload() {
    static const Bytes payload = buildPayload(PayloadRecipe{{1, 2}, {{2, 0, 0}}, {1, 1}, {}, 2});
    return payload;
}

const Bytes& shorterThanItsHeaderClaims() {
    static const Bytes payload(wholePayload().begin(), wholePayload().end() - 1);
    return payload;
}

const Bytes& shorterThanAHeader() {
    static const Bytes payload(wholePayload().begin(), wholePayload().begin() + 35);
    return payload;
}

}  // namespace

std::span<const EmbeddedPayload> embeddedPayloadTable() {
    static const EmbeddedPayload table[] = {
        {101, wholePayload().data(), wholePayload().size()},
        {102, shorterThanAHeader().data(), shorterThanAHeader().size()},
        {103, shorterThanItsHeaderClaims().data(), shorterThanItsHeaderClaims().size()},
    };
    return table;
}

namespace {

TEST(PayloadLookup, FindsAWholePayloadWithItsLength) {
    DialogRecorder dialogs;
    const std::optional<PatchPayload> payload = loadPayload(101);
    ASSERT_TRUE(payload.has_value());
    EXPECT_EQ(payload->data(), wholePayload().data());
    EXPECT_EQ(payload->size(), wholePayload().size());
    EXPECT_TRUE(dialogs.dialogs().empty());
}

TEST(PayloadLookup, MissingOrTruncatedPayloadMeansADamagedExecutable) {
    for (std::uint16_t id : {102, 103, 104}) {
        SCOPED_TRACE(id);
        DialogRecorder dialogs;
        EXPECT_FALSE(loadPayload(id).has_value());
        ASSERT_EQ(dialogs.dialogs().size(), 1u);
        EXPECT_EQ(dialogs.dialogs()[0].text, cp932FromUtf8("このEXEが壊れています."));
        EXPECT_EQ(dialogs.dialogs()[0].title, cp932FromUtf8("エラー"));
        EXPECT_EQ(dialogs.dialogs()[0].icon, MessageIcon::error);
    }
}

TEST(PayloadLookup, GothicWithADamagedSecondPayloadStopsBeforeTheSummary) {
    ScratchDirectory scratch;
    DialogRecorder dialogs;
    EXPECT_EQ(runGenerator(gothicGenProgram(), GeneratorServices{loadPayload, runPatchJob}),
              kExitNormal);
    ASSERT_EQ(dialogs.dialogs().size(), 1u);
    EXPECT_FALSE(dialogs.dialogs()[0].asksOkCancel);
    EXPECT_TRUE(std::filesystem::is_empty(scratch.path()));
}

}  // namespace
