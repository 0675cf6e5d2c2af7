#include "link/ReplyParser.h"

#include "link/ReplyReader.h"

namespace tolvar {

ParseOutcome parseReply(QByteArrayView bytes, int deviceCount) {
    using Status = ParseOutcome::Status;
    switch (envelopeOf(bytes)) {
    case Envelope::Partial:
        return {};
    case Envelope::Foreign:
        return {Status::Invalid,
                0,
                {},
                QStringLiteral("Ignored %1 bytes from the gateway that are not a reply.")
                    .arg(bytes.size())};
    case Envelope::Known:
        break;
    }
    ReplyReader reader(bytes[reply::kKind], deviceCount);
    switch (reader.read(bytes)) {
    case ReplyReader::Status::NeedMore:
        return {};
    case ReplyReader::Status::Refused:
        return {Status::Invalid, 0, {}, reader.problem()};
    case ReplyReader::Status::Complete:
        break;
    }
    return {Status::Complete, int(reader.length()), reader.takeReply(), {}};
}

bool startsWithReplyHeader(QByteArrayView bytes) {
    return envelopeOf(bytes) == Envelope::Known;
}

} // namespace tolvar
