// The utility's receive path: reassembly, reply decoding and the read-back into the model.
//
// Input: one byte giving the device amount shown at the start (modulo 12, so 0 and 11 occur),
// then steps. A step is a control byte and up to 63 data bytes: the low six bits are the
// number of data bytes, the two high bits what happens before they arrive as one read:
// 0 nothing, 1 a request goes out (a new answer window), 2 the deadline of a begun reply
// passes, 3 the gateway closes the connection (the bytes come on a new one).
//
// The same steps are run a second time with neighbouring reads joined into one: what comes out
// of the assembler must not depend on how the bytes were split.
#include "FuzzCheck.h"
#include "link/ReadBackModel.h"
#include "link/ReplyAssembler.h"
#include "network/DeviceList.h"

#include <optional>
#include <vector>

namespace {

using namespace tolvar;

enum class Event { Read, Request, Deadline, PeerClosed };

struct Step {
    Event event;
    QByteArrayView bytes;
};

constexpr int kDeviceAmountChoices = 12;
constexpr unsigned kLengthBits = 0x3F;
constexpr int kEventShift = 6;

std::vector<Step> stepsOf(QByteArrayView input) {
    std::vector<Step> steps;
    for (qsizetype at = 0; at < input.size();) {
        const auto control = static_cast<quint8>(input[at++]);
        const qsizetype length = std::min<qsizetype>(control & kLengthBits, input.size() - at);
        steps.push_back({Event(control >> kEventShift), input.sliced(at, length)});
        at += length;
    }
    return steps;
}

// Neighbouring reads as one read; the joined bytes live in `storage`.
std::vector<Step> joinedReads(const std::vector<Step> &steps, std::vector<QByteArray> &storage) {
    storage.reserve(steps.size()); // never moves, so the views stay valid
    std::vector<Step> joined;
    for (const Step &step : steps) {
        if (step.event != Event::Read || joined.empty()) {
            joined.push_back({step.event, storage.emplace_back(step.bytes.toByteArray())});
            continue;
        }
        storage.back().append(step.bytes);
        joined.back().bytes = storage.back();
    }
    return joined;
}

// The model as the windows keep it during a read-back, with the checks every reply must pass.
class ReadBack {
public:
    // Without the model only the device amount shown is followed, which is all the assembler
    // needs.
    ReadBack(int shownDevices, bool withModel)
        : m_shownDevices(shownDevices), m_withModel(withModel) {}

    int shownDevices() const { return m_shownDevices; }

    void apply(const Reply &reply) {
        if (const auto *general = std::get_if<GeneralReply>(&reply))
            m_shownDevices = general->deviceCount;
        if (!m_withModel)
            return;
        if (const auto *general = std::get_if<GeneralReply>(&reply)) {
            changeDeviceAmount(model(), general->deviceCount);
            m_counters.resetNumbers();
            storeDeviceRecords(model(), *general);
            storeSerialSettings(model(), general->serial);
        } else if (const auto *tables = std::get_if<TableReply>(&reply)) {
            if (checkTableReply(model(), *tables))
                return;
            applyTableReply(model(), m_counters, *tables);
        }
        if (m_config)
            checkLimits(*m_config);
    }

private:
    // Built when first needed: most inputs never get a reply through.
    GatewayConfig &model() {
        if (!m_config)
            m_config.emplace();
        return *m_config;
    }

    static void checkLimits(const GatewayConfig &config) {
        for (int device = 1; device <= kMaxDevices; ++device) {
            const auto d = std::size_t(device);
            fuzz::check(config.TxPDO_rows[d] >= 0 && config.TxPDO_rows[d] <= kMaxPdoRows &&
                            config.RxPDO_rows[d] >= 0 && config.RxPDO_rows[d] <= kMaxPdoRows,
                        "a PDO row count outside the table");
            fuzz::check(config.ReadSDO_rows[d] >= 0 && config.ReadSDO_rows[d] <= kMaxSdoRows &&
                            config.WriteSDO_rows[d] >= 0 && config.WriteSDO_rows[d] <= kMaxSdoRows,
                        "an SDO row count outside the table");
        }
        for (int kind = 0; kind < kItemKinds; ++kind)
            fuzz::check(config.total(ItemKind(kind)) >= 0, "a negative total");
    }

    int m_shownDevices;
    bool m_withModel;
    std::optional<GatewayConfig> m_config;
    ReadBackCounters m_counters;
};

using Outcome = ReplyAssembler::Step;

// Runs the steps the way the link does: after every event, everything that can be taken is.
std::vector<Outcome> run(const std::vector<Step> &steps, int shownDevices, bool withModel) {
    ReplyAssembler assembler;
    ReadBack readBack(shownDevices, withModel);
    std::vector<Outcome> outcomes;
    const auto dropPending = [&](ReplyAssembler::DropCause cause) {
        if (auto dropped = assembler.dropPending(cause))
            outcomes.emplace_back(std::move(*dropped));
    };
    for (const Step &step : steps) {
        switch (step.event) {
        case Event::Read:
            break;
        case Event::Request:
            assembler.startWindow();
            break;
        case Event::Deadline:
            dropPending(ReplyAssembler::DropCause::Deadline);
            break;
        case Event::PeerClosed:
            dropPending(ReplyAssembler::DropCause::PeerClosed);
            assembler.clear();
            break;
        }
        assembler.append(step.bytes);
        for (;;) {
            Outcome outcome = assembler.next(readBack.shownDevices());
            if (std::holds_alternative<std::monostate>(outcome))
                break;
            if (const auto *reply = std::get_if<Reply>(&outcome))
                readBack.apply(*reply);
            outcomes.push_back(std::move(outcome));
        }
    }
    return outcomes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size) {
    if (size == 0)
        return 0;
    const int shownDevices = data[0] % kDeviceAmountChoices;
    const QByteArrayView input(data + 1, qsizetype(size - 1));
    const std::vector<Step> steps = stepsOf(input);
    std::vector<QByteArray> joinedBytes;
    const std::vector<Outcome> asSplit = run(steps, shownDevices, true);
    const std::vector<Outcome> asJoined = run(joinedReads(steps, joinedBytes), shownDevices, false);
    fuzz::check(
        asSplit == asJoined, "the replies depend on how the bytes were split",
        QStringLiteral("%1 outcomes as split, %2 joined").arg(asSplit.size()).arg(asJoined.size()));
    return 0;
}
