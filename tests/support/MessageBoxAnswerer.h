#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

// Answers the message box a click handler opens, remembering what it said. While it waits it
// also notes whether `watched` (a button) was ever on before the box came.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(const QPushButton *watched = nullptr) {
        clock.start();
        m_timer.setInterval(50);
        QObject::connect(&m_timer, &QTimer::timeout, [this, watched] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                text = box->text();
                title = box->windowTitle();
                buttons = box->buttons().size();
                shownAfterMs = clock.elapsed();
                ++boxes;
                box->button(QMessageBox::Ok)->click();
            } else if (watched && watched->isEnabled() && text.isEmpty()) {
                watchedOnBeforeBox = true;
            }
        });
        m_timer.start();
    }
    QString text;
    QString title;
    qsizetype buttons = 0;
    qint64 shownAfterMs = -1;
    int boxes = 0;
    bool watchedOnBeforeBox = false;
    QElapsedTimer clock;

private:
    QTimer m_timer;
};
