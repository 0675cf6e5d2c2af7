#pragma once

#include "common/ReportDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

// Answers every modal dialog a click handler opens: notes its name, title and text, then goes
// on (or cancels a report that asks, when `proceed` is false). While it waits it also notes
// whether `watched` (a button) was ever on before the first dialog came.
class DialogAnswerer {
public:
    explicit DialogAnswerer(const QPushButton *watched = nullptr) : m_watched(watched) {
        clock.start();
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
        m_timer.start(10);
    }

    QString text() const { return texts.isEmpty() ? QString() : texts.last(); }

    bool proceed = true;
    // The button a message box is answered with; a box without it gets its default button, or
    // its only one.
    QMessageBox::StandardButton reply = QMessageBox::Ok;
    QStringList names, titles, texts;
    qsizetype buttons = 0;
    qint64 shownAfterMs = -1;
    bool watchedOnBeforeDialog = false;
    QElapsedTimer clock;

private:
    void answer() {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog) {
            watchedOnBeforeDialog |= m_watched && m_watched->isEnabled() && names.isEmpty();
            return;
        }
        names << dialog->objectName();
        titles << dialog->windowTitle();
        shownAfterMs = clock.elapsed();
        if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
            texts << box->text();
            buttons = box->buttons().size();
            QAbstractButton *button = box->button(reply);
            if (!button)
                button = box->defaultButton() ? box->defaultButton() : box->buttons().value(0);
            button->click();
            return;
        }
        auto &report = dynamic_cast<tolvar::ReportDialog &>(*dialog);
        texts << report.HeadingLabel->text() + u'\n' + report.ListText->toPlainText();
        (proceed || !report.CancelButton ? report.ProceedButton : report.CancelButton)->click();
    }

    const QPushButton *m_watched;
    QTimer m_timer;
};
