// The simulator's side of a download. Input: one byte choosing the size of the reads, then the
// bytes a client sends; the input's end is the client going away. Every byte is cut into
// blocks without loss, every write frame is answered, and whatever the session serves
// afterwards is a configuration it can store and the utility can read.
#include "FuzzCheck.h"
#include "RequestSplitter.h"
#include "files/ConfigurationFile.h"
#include "gateway/ReplyEncoder.h"
#include "gateway/WriteSession.h"
#include "link/ReplyParser.h"

namespace {

using namespace tolvar;

constexpr int kResponseLength = 12;

void checkServable(const StoredConfiguration &config) {
    const auto reloaded = parseConfiguration(formatConfiguration(config));
    const auto *stored = std::get_if<StoredConfiguration>(&reloaded);
    fuzz::check(stored && *stored == config, "the served configuration cannot be stored",
                stored ? QString() : std::get<QString>(reloaded));
    const int devices = int(config.devices.size());
    for (const Reply &served : {Reply{generalReplyOf(config)}, Reply{tableReplyOf(config)}}) {
        const ParseOutcome parsed = parseReply(encodeReply(served), devices);
        fuzz::check(parsed.status == ParseOutcome::Status::Complete && parsed.reply == served,
                    "a reply of the served configuration does not decode to itself",
                    parsed.problem);
    }
}

bool isWriteFrame(const QString &command) {
    return command == QLatin1String("#ID") || command == QLatin1String("#RD") ||
           command == QLatin1String("#SD");
}

void takeEvents(const QList<WriteEvent> &events, const WriteSession &session) {
    for (const WriteEvent &event : events) {
        fuzz::check(!event.text.isEmpty(), "a write event without a text");
        if (event.kind == WriteEvent::Kind::Applied)
            checkServable(session.config());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size) {
    if (size == 0)
        return 0;
    const qsizetype readSize = 1 + data[0];
    const QByteArray stream = fuzz::bytesOf(data + 1, size - 1);
    RequestSplitter splitter;
    WriteSession session;
    QByteArray cut;
    for (qsizetype at = 0; at < stream.size(); at += readSize) {
        for (const ReceivedFrame &block : splitter.feed(stream.mid(at, readSize))) {
            cut += block.frame;
            if (!isWriteFrame(block.command))
                continue;
            takeEvents(session.take(block.frame), session);
            fuzz::check(writeResponseTo(block.frame).size() == kResponseLength,
                        "a write response that is not 12 bytes");
        }
    }
    fuzz::check(cut + splitter.pending() == stream, "the splitter lost or invented bytes");
    takeEvents(session.end(), session);
    fuzz::check(!session.inProgress(), "a download is still in progress after the client left");
    return 0;
}
