#include "link/ConnectSet.h"

#include "common/WindowPlacement.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace tolvar {
namespace {

template <typename Control>
Control *addLabelled(QFormLayout &form, const QString &caption, const QString &name,
                     QWidget *parent) {
    auto *label = new QLabel(caption, parent);
    auto *control = new Control(parent);
    control->setObjectName(name);
    labelControl(*label, *control);
    form.addRow(label, control);
    return control;
}

} // namespace

ConnectSet::ConnectSet(QWidget *parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("ConnectSet"));
    setWindowTitle(QStringLiteral("Connect to Tolvar Setting"));
    buildControls();
    centreOnScreen(*this);
}

void ConnectSet::buildControls() {
    auto *column = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    column->addLayout(form);

    IPText = addLabelled<QLineEdit>(*form, QStringLiteral("IP"), QStringLiteral("IPText"), this);
    IPText->setText(QStringLiteral("192.168.255.3"));
    PortText =
        addLabelled<QLineEdit>(*form, QStringLiteral("Port"), QStringLiteral("PortText"), this);
    PortText->setText(QString::number(kGatewayPort));
    PortText->setEnabled(false);
    TimeoutText = addLabelled<QLineEdit>(*form, QStringLiteral("Timeout(Sec)"),
                                         QStringLiteral("TimeoutText"), this);
    TimeoutText->setText(QStringLiteral("3"));
    TolvarCombo = addLabelled<QComboBox>(*form, QStringLiteral("Tolvar ID"),
                                         QStringLiteral("TolvarCombo"), this);
    makeEditable(*TolvarCombo);
    for (int id = 1; id <= 64; ++id)
        TolvarCombo->addItem(QString::number(id));
    TolvarCombo->setCurrentText(QStringLiteral("1"));

    EmptyVlaueCheck = new QCheckBox(QStringLiteral("To initial modules"), this);
    EmptyVlaueCheck->setObjectName(QStringLiteral("EmptyVlaueCheck"));
    EmptyVlaueCheck->setAccessibleName(EmptyVlaueCheck->text());
    column->addWidget(EmptyVlaueCheck);
    StartConnButt = new QPushButton(QStringLiteral("Start Connect"), this);
    StartConnButt->setObjectName(QStringLiteral("StartConnButt"));
    StartConnButt->setAccessibleName(StartConnButt->text());
    column->addWidget(StartConnButt);
    connect(StartConnButt, &QPushButton::clicked, this, &ConnectSet::StartConnButt_Click);
}

QString ConnectSet::unitIdText() const {
    return TolvarCombo->currentText();
}

ConnectForm ConnectSet::readForm() const {
    return {IPText->text(), PortText->text(), TimeoutText->text(), unitIdText()};
}

void ConnectSet::writeForm(const ConnectForm &form) {
    // Only changed fields are written, so no change handler runs for nothing.
    if (IPText->text() != form.ip)
        IPText->setText(form.ip);
    if (PortText->text() != form.port)
        PortText->setText(form.port);
    if (TimeoutText->text() != form.timeout)
        TimeoutText->setText(form.timeout);
    if (unitIdText() != form.unitId)
        TolvarCombo->setCurrentText(form.unitId);
}

void ConnectSet::StartConnButt_Click() {
    const ConnectCheck check = checkConnectForm(readForm());
    writeForm(check.corrected);
    if (check.request)
        emit connectRequested(*check.request);
}

bool ConnectSet::readsStoredConfiguration() const {
    return !EmptyVlaueCheck->isChecked();
}

void ConnectSet::setBusy(bool busy) {
    m_busy = busy;
}

void ConnectSet::reportFailure() {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error Connect Status ."),
                    QStringLiteral("Connect to Tolvar fail !"), QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("ConnectFailBox"));
    box.exec();
}

void ConnectSet::closeEvent(QCloseEvent *event) {
    if (m_busy) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

} // namespace tolvar
