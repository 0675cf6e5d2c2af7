#include "mapping/ShowMapping.h"

#include <QLabel>
#include <QProgressBar>
#include <QTabWidget>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace tolvar {
namespace {

TEST(MappingView, ShowsItsAreasAndHowADownloadGoes) {
    GatewayConfig config;
    config.DeviceOrder = {1};
    config.TxPDO_rows[1] = 1;
    config.TxPDOTable.cell(1, 1, 4) = QStringLiteral("P_DI 1");
    config.DI_total = 1;
    ShowMapping view(config, [] { return 1; });
    EXPECT_EQ(view.windowTitle(), QStringLiteral("ShowMapping"));
    EXPECT_EQ(view.objectName(), QStringLiteral("ShowMapping"));
    QStringList tabs;
    for (int tab = 0; tab < view.SSTab1->count(); ++tab)
        tabs << view.SSTab1->tabText(tab) + u'=' + view.SSTab1->widget(tab)->objectName();
    EXPECT_EQ(tabs.join(u' '), QStringLiteral("DO Mapping=MappingDOMSFlexGrid DI Mapping="
                                              "MappingDIMSFlexGrid AI Mapping=MappingAIMSFlexGrid"
                                              " AO Mapping=MappingAOMSFlexGrid"));
    EXPECT_EQ(view.MappingDIMSFlexGrid->rowCount(), 31); // before the first fill
    EXPECT_EQ(view.MappingDIMSFlexGrid->palette().color(QPalette::Base), QColor(255, 255, 128));

    view.ShowDIMapping();
    const QTableWidget &grid = *view.MappingDIMSFlexGrid;
    EXPECT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(grid.item(1, 0)->text(), QStringLiteral(" 10001"));
    EXPECT_EQ(grid.item(1, 0)->textAlignment(), int(Qt::AlignHCenter | Qt::AlignTop));
    EXPECT_EQ(grid.item(1, 1)->text(), QStringLiteral("P_DI 1"));

    view.showProgress(1, 4, 3);
    EXPECT_EQ(view.DownloadLabel->text(),
              QStringLiteral("Sending the configuration: 1 of 4 frames sent, about 3 s left."));
    EXPECT_EQ(view.findChild<QProgressBar *>(QStringLiteral("DownloadProgress"))->value(), 1);
    const std::pair<DownloadOutcome, const char *> outcomes[] = {
        {{0, 3, false, false}, "Not connected to the gateway: nothing was sent."},
        {{3, 3, true, true}, "Configuration sent: all 3 frames."},
        {{2, 3, true, false}, "Download stopped: the connection was lost after 2 of 3 frames."}};
    for (const auto &[outcome, text] : outcomes) {
        view.showOutcome(outcome);
        EXPECT_EQ(view.DownloadLabel->text(), QLatin1String(text));
        EXPECT_EQ(view.DownloadProgress->value(), outcome.sent);
    }
}

} // namespace
} // namespace tolvar
