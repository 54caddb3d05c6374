#include "engine/job_messages.h"

namespace {

struct JobMessage {
    JobStatus status;
    const char* text;
    bool namesOutput;
};

constexpr JobMessage kJobMessages[] = {
    // %s が開けません.
    {kJobInputOpenFailed, "%s \x82\xaa\x8aJ\x82\xaf\x82\xdc\x82\xb9\x82\xf1.", false},
    // %s のMD5が違います.
    {kJobInputMismatch, "%s \x82\xccMD5\x82\xaa\x88\xe1\x82\xa2\x82\xdc\x82\xb7.", false},
    // ファイルの読み込みに失敗.
    {kJobInputReadFailed,
     "\x83t\x83@\x83"
     "C\x83\x8b\x82\xcc\x93\xc7\x82\xdd\x8d\x9e\x82\xdd\x82\xc9\x8e\xb8\x94s.",
     false},
    // ファイルへの書き込みに失敗.
    {kJobWriteFailed,
     "\x83t\x83@\x83"
     "C\x83\x8b\x82\xd6\x82\xcc\x8f\x91\x82\xab\x8d\x9e\x82\xdd\x82\xc9\x8e\xb8\x94s.",
     false},
    // 一時ファイルを作れない.
    {kJobStagingCreateFailed,
     "\x88\xea\x8e\x9e\x83t\x83@\x83"
     "C\x83\x8b\x82\xf0\x8d\xec\x82\xea\x82\xc8\x82\xa2.",
     false},
    // 一時ファイルが開けない.
    {kJobStagingOpenFailed,
     "\x88\xea\x8e\x9e\x83t\x83@\x83"
     "C\x83\x8b\x82\xaa\x8aJ\x82\xaf\x82\xc8\x82\xa2.",
     false},
    // bzip2の初期化に失敗.
    {kJobDecoderOpenFailed, "bzip2\x82\xcc\x8f\x89\x8a\xfa\x89\xbb\x82\xc9\x8e\xb8\x94s.", false},
    // 差分パッチデータの読み出しに失敗.
    {kJobPatchReadFailed,
     "\x8d\xb7\x95\xaa\x83p\x83"
     "b\x83`\x83"
     "f\x81[\x83^\x82\xcc\x93\xc7\x82\xdd\x8fo\x82\xb5\x82\xc9\x8e\xb8\x94s.",
     false},
    // ファイル '%s' が作れない.
    {kJobOutputCreateFailed,
     "\x83t\x83@\x83"
     "C\x83\x8b '%s' \x82\xaa\x8d\xec\x82\xea\x82\xc8\x82\xa2.",
     true},
};

const JobMessage* findJobMessage(JobStatus status) {
    for (const JobMessage& message : kJobMessages) {
        if (message.status == status) {
            return &message;
        }
    }
    return nullptr;
}

}  // namespace

const char* jobMessageTemplate(JobStatus status) {
    const JobMessage* message = findJobMessage(status);
    return message != nullptr ? message->text : nullptr;
}

bool jobMessageNamesOutput(JobStatus status) {
    const JobMessage* message = findJobMessage(status);
    return message != nullptr && message->namesOutput;
}
