#pragma once

#include <QDialog>
#include <QStringList>

class QDialogButtonBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tolvar {

// A modal report with a heading and a list of lines, one a line, that may be long: the
// findings before a save, the differences a verify found. With `proceedText` it asks: the
// proceed button accepts, "Cancel" rejects; without, it only informs ("OK").
class ReportDialog : public QDialog {
    Q_OBJECT

public:
    ReportDialog(const QString &title, const QString &heading, const QStringList &lines,
                 const QString &proceedText = {}, QWidget *parent = nullptr);

    QLabel *HeadingLabel = nullptr;
    QPlainTextEdit *ListText = nullptr;
    QPushButton *ProceedButton = nullptr; // "OK" when the report only informs
    QPushButton *CancelButton = nullptr;  // none when the report only informs
};

} // namespace tolvar
