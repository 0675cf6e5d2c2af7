// A configuration read from the input: when it loads, what the writer makes of it must load
// back equal and be written again byte for byte, and the replies served from it must decode
// back to themselves, since the utility reads them. A refusal is one line a log or a box shows
// whole; an input that starts with a blank is also loaded padded past the size limit, which must
// refuse it unread.
#include "FuzzCheck.h"
#include "files/ConfigurationFile.h"
#include "gateway/ReplyEncoder.h"
#include "link/ReplyParser.h"

namespace {

using namespace tolvar;

void checkServedReplies(const StoredConfiguration &config) {
    const int devices = int(config.devices.size());
    for (const Reply &served : {Reply{ethernetReplyOf(config)}, Reply{generalReplyOf(config)},
                                Reply{tableReplyOf(config)}}) {
        const QByteArray bytes = encodeReply(served);
        const ParseOutcome parsed = parseReply(bytes, devices);
        fuzz::check(parsed.status == ParseOutcome::Status::Complete,
                    "a served reply does not decode", parsed.problem);
        fuzz::check(parsed.length == bytes.size(), "a served reply decodes to another length");
        fuzz::check(parsed.reply == served, "a served reply decodes to other values");
    }
}

void checkRefusal(const QString &message) {
    fuzz::check(!message.contains(u'\n') && !message.contains(u'\r'),
                "a refusal spans more than one line", message);
    fuzz::check(message.size() <= 300, "a refusal is longer than 300 characters", message);
}

void checkSizeLimit(const QByteArray &input) {
    QByteArray padded = input;
    padded.resize(kMaxConfigurationBytes + 1, ' ');
    const auto loaded = parseConfiguration(padded);
    const auto *message = std::get_if<QString>(&loaded);
    fuzz::check(message && message->startsWith(QLatin1String("larger than 4 MiB")),
                "a text past the size limit is not refused by its size");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size) {
    const QByteArray input = fuzz::bytesOf(data, size);
    if (input.startsWith(' ') && input.size() <= kMaxConfigurationBytes)
        checkSizeLimit(input);
    const auto loaded = parseConfiguration(input);
    const auto *config = std::get_if<StoredConfiguration>(&loaded);
    if (!config) {
        checkRefusal(std::get<QString>(loaded));
        return 0;
    }
    const QByteArray written = formatConfiguration(*config);
    const auto reloaded = parseConfiguration(written);
    if (const auto *message = std::get_if<QString>(&reloaded))
        fuzz::fail("the written configuration does not load", *message + u'\n' + written);
    fuzz::check(std::get<StoredConfiguration>(reloaded) == *config,
                "the written configuration loads as another", QString::fromUtf8(written));
    fuzz::check(formatConfiguration(std::get<StoredConfiguration>(reloaded)) == written,
                "writing the reloaded configuration gives other text");
    checkServedReplies(*config);
    return 0;
}
