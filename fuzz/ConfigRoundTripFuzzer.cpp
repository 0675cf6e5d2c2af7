// A configuration read from the input: when it loads, what the writer makes of it must load
// back equal and be written again byte for byte, and the replies served from it must decode
// back to themselves, since the utility reads them.
#include "FuzzCheck.h"
#include "files/SimConfig.h"
#include "link/ReplyEncoder.h"
#include "link/ReplyParser.h"

namespace {

using namespace tolvar;

void checkServedReplies(const SimConfig &config) {
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size) {
    const auto loaded = loadSimConfig(fuzz::bytesOf(data, size));
    const auto *config = std::get_if<SimConfig>(&loaded);
    if (!config)
        return 0;
    const QByteArray written = saveSimConfig(*config);
    const auto reloaded = loadSimConfig(written);
    if (const auto *message = std::get_if<QString>(&reloaded))
        fuzz::fail("the written configuration does not load", *message + u'\n' + written);
    fuzz::check(std::get<SimConfig>(reloaded) == *config,
                "the written configuration loads as another", QString::fromUtf8(written));
    fuzz::check(saveSimConfig(std::get<SimConfig>(reloaded)) == written,
                "writing the reloaded configuration gives other text");
    checkServedReplies(*config);
    return 0;
}
