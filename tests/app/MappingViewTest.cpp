#include "mapping/ShowMapping.h"

#include <QLabel>
#include <QProgressBar>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace tolvar {
namespace {

// The grids are compared with the exported map cell by cell in the file menu test, the outcome
// lines of a download are shown in the end-to-end and fault tests; here one filled area row and
// the progress line.
TEST(MappingView, ShowsAnAreaAndHowADownloadGoes) {
    GatewayConfig config;
    config.DeviceOrder = {1};
    config.TxPDO_rows[1] = 1;
    config.TxPDOTable.cell(1, 1, 4) = QStringLiteral("P_DI 1");
    config.DI_total = 1;
    ShowMapping view(config, [] { return 1; });
    view.ShowDIMapping();
    const QTableWidget &grid = *view.MappingDIMSFlexGrid;
    EXPECT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(grid.item(1, 0)->text(), QStringLiteral(" 10001"));
    EXPECT_EQ(grid.item(1, 1)->text(), QStringLiteral("P_DI 1"));
    view.showProgress(1, 4, 3);
    EXPECT_EQ(view.DownloadLabel->text(),
              QStringLiteral("Sending the configuration: 1 of 4 frames sent, about 3 s left."));
    EXPECT_EQ(view.findChild<QProgressBar *>(QStringLiteral("DownloadProgress"))->value(), 1);
    view.showOutcome({0, 3, false, false});
    EXPECT_EQ(view.DownloadLabel->text(), "Not connected to the gateway: nothing was sent.");
}

} // namespace
} // namespace tolvar
