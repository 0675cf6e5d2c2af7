#include "mapping/SaveCheck.h"
#include "MappingFixtures.h"

#include <gtest/gtest.h>

#include <functional>

namespace tolvar {
namespace {

using fixtures::addRow;

SaveForm goodForm() {
    SaveForm form;
    form.ip = {true, {"192", "168", "255", "3"}};
    form.mask = {false, {"x", "", "", ""}};
    form.gateway = {true, {"192", "168", "&HFF", " 4 "}};
    form.deviceAmount = QStringLiteral("2");
    form.serialId = QStringLiteral("7");
    form.unitId = QStringLiteral("64");
    form.canBitRateCode = 5;
    return form;
}

GatewayConfig goodConfig() {
    GatewayConfig config = fixtures::listing({1, 2, 3});
    addRow(config, SourceTable::TxPDO, 1, {"&H181", "0", "2", "P_AIL 1", "P_AIH 1"});
    addRow(config, SourceTable::RxPDO, 2, {"Yes", "&H202", "0"});
    addRow(config, SourceTable::RxPDO, 3, {"Yes", "&H203", "1"}); // not listed
    addRow(config, SourceTable::TxPDO, 1, {"&H281", "0", "1"});
    --config.TxPDO_rows[1]; // a row past the count is not an entry
    return config;
}

TEST(SaveCheck, GoodTextsGiveTheValuesToSend) {
    const SaveCheck check = checkSave(goodForm(), goodConfig());
    ASSERT_TRUE(check.values.has_value()) << check.refusal.toStdString();
    EXPECT_EQ(
        *check.values,
        (SaveValues{
            {true, {192, 168, 255, 3}}, {false, {}}, {true, {192, 168, 255, 4}}, 2, 7, 64, 5}));
}

struct RefusalCase {
    std::function<void(SaveForm &, GatewayConfig &)> change;
    const char *message;
};

TEST(SaveCheck, RefusalsNameTheFieldAndTheFix) {
    const std::vector<RefusalCase> cases{
        {[](SaveForm &f, GatewayConfig &) { f.ip.octets[1] = "300"; },
         "IP octet 2 reads \"300\", which is not a whole number from 0 to 255. Type a number "
         "from 0 to 255, or untick the IP row."},
        {[](SaveForm &f, GatewayConfig &) { f.mask.ticked = true; },
         "MASK octet 1 reads \"x\", which is not a whole number from 0 to 255. Type a number "
         "from 0 to 255, or untick the MASK row."},
        {[](SaveForm &f, GatewayConfig &) { f.gateway.octets[3] = "-1"; },
         "Gateway octet 4 reads \"-1\", which is not a whole number from 0 to 255. Type a "
         "number from 0 to 255, or untick the Gateway row."},
        {[](SaveForm &f, GatewayConfig &) { f.deviceAmount = "11"; },
         "The Device Amount reads \"11\", which is not a whole number from 1 to 10. Type a "
         "number from 1 to 10."},
        {[](SaveForm &f, GatewayConfig &) { f.deviceAmount = "0"; },
         "The Device Amount reads \"0\", which is not a whole number from 1 to 10. Type a "
         "number from 1 to 10."},
        {[](SaveForm &f, GatewayConfig &) { f.serialId = "256"; },
         "The ID of the Tolvar Parameters reads \"256\", which is not a whole number from 0 to "
         "255. Type a number from 0 to 255."},
        {[](SaveForm &f, GatewayConfig &) { f.unitId = "1.5"; },
         "The Tolvar ID of the connection settings reads \"1.5\", which is not a whole number "
         "from 0 to 255. Type a number from 0 to 255."},
        {[](SaveForm &, GatewayConfig &c) { c.TxPDOTable.cell(1, 1, 3) = "3"; },
         "Device 1, TxPDO row 1: the data length 3 covers Byte2, which has no type. Give Byte2 "
         "a type, or set the data length to 2."},
        {[](SaveForm &, GatewayConfig &c) { c.RxPDOTable.cell(2, 1, 3) = "1"; },
         "Device 2, RxPDO row 1: the data length 1 covers Byte0, which has no type. Give Byte0 "
         "a type, or delete the row."},
        {[](SaveForm &, GatewayConfig &c) { c.RxPDOTable.cell(2, 1, 3) = "9"; },
         "Device 2, RxPDO row 1: the data length \"9\" is more than 8 bytes. Set a data length "
         "from 1 to 8."}};
    for (const RefusalCase &c : cases) {
        SCOPED_TRACE(c.message);
        SaveForm form = goodForm();
        GatewayConfig config = goodConfig();
        c.change(form, config);
        const SaveCheck check = checkSave(form, config);
        EXPECT_FALSE(check.values.has_value());
        EXPECT_EQ(check.refusal, QString::fromUtf8(c.message));
    }
}

} // namespace
} // namespace tolvar
