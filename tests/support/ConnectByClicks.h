#pragma once

#include "app/UtilityApp.h"
#include "link/ConnectSet.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// The user connects through the windows, always to 127.0.0.1: "Connect to Tolvar", the address,
// whether to read the stored configuration, "Start Connect". Returns when the click handler has,
// the read-back included.
inline void connectByClicks(tolvar::UtilityApp &app, bool readStoredConfiguration = true) {
    QTest::mouseClick(app.main().ConnectButt, Qt::LeftButton);
    tolvar::ConnectSet &window = *app.connectSet();
    window.IPText->setText(QStringLiteral("127.0.0.1"));
    window.EmptyVlaueCheck->setChecked(!readStoredConfiguration);
    QTest::mouseClick(window.StartConnButt, Qt::LeftButton);
}
