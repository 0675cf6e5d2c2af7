#include <QApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

// Window tests run offscreen on one screen of the size of a common desktop, so that where a
// window stands on the screen is tested as a user would meet it.
// Answers the screen file to remove once the platform has read it.
static QString useOffscreenDesktop() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && platform != "offscreen")
        return {};
    const QString path = QDir::temp().filePath(
        QStringLiteral("tolvar-screen-%1.json").arg(QCoreApplication::applicationPid()));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(R"({"screens": [{"name": "desktop", "x": 0, "y": 0, "width": 1920,
                       "height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + path.toLocal8Bit());
    return path;
}

int main(int argc, char **argv) {
    const QString screenFile = useOffscreenDesktop();
    QApplication app(argc, argv);
    if (!screenFile.isEmpty())
        QFile::remove(screenFile);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
