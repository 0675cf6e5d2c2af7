#include "common/ReportDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tolvar {

ReportDialog::ReportDialog(const QString &title, const QString &heading, const QStringList &lines,
                           const QString &proceedText, QWidget *parent)
    : QDialog(parent) {
    setWindowTitle(title);
    auto *column = new QVBoxLayout(this);
    HeadingLabel = new QLabel(heading, this);
    HeadingLabel->setObjectName(QStringLiteral("HeadingLabel"));
    HeadingLabel->setWordWrap(true);
    ListText = new QPlainTextEdit(lines.join(u'\n'), this);
    ListText->setObjectName(QStringLiteral("ListText"));
    ListText->setReadOnly(true);
    ListText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    ListText->setAccessibleName(heading);
    auto *buttons = new QDialogButtonBox(this);
    if (proceedText.isEmpty()) {
        ProceedButton = buttons->addButton(QDialogButtonBox::Ok);
    } else {
        ProceedButton = buttons->addButton(proceedText, QDialogButtonBox::AcceptRole);
        CancelButton = buttons->addButton(QDialogButtonBox::Cancel);
        CancelButton->setObjectName(QStringLiteral("CancelButton"));
        // Sending anyway is the choice to think twice about.
        CancelButton->setDefault(true);
    }
    ProceedButton->setObjectName(QStringLiteral("ProceedButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(HeadingLabel);
    column->addWidget(ListText);
    column->addWidget(buttons);
    resize(640, 360);
}

} // namespace tolvar
