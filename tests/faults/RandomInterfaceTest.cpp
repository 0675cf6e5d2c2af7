// A user who never reads the screen: from a seed, one action after another on a named control
// of a shown window, with no connection. After every action the model must be consistent.
#include "app/UtilityApp.h"
#include "network/MappingModules.h"

#include "support/ModelInvariants.h"
#include "support/ScriptedPeer.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <random>

namespace tolvar {
namespace {

// The named controls a user can reach now: shown and enabled, in a shown window; with
// `floating`, only the editors a click on a grid cell has laid over it.
template <typename Control> std::vector<Control *> reachable(bool floating = false) {
    std::vector<Control *> found;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        for (Control *control : window->findChildren<Control *>()) {
            const QString name = control->objectName();
            const bool overCell =
                qobject_cast<QTableWidget *>(control->parentWidget()->parentWidget());
            if (window->isVisible() && control->isVisible() && control->isEnabled() &&
                !name.isEmpty() && !name.startsWith(u"qt_") && (overCell || !floating))
                found.push_back(control);
        }
    }
    return found;
}

class RandomUser {
public:
    explicit RandomUser(unsigned seed) : m_random(seed) {}

    // Does one thing a user could do now.
    void act() {
        static constexpr bool (RandomUser::*kKinds[])() = {
            &RandomUser::clickCell, &RandomUser::chooseItem, &RandomUser::typeText,
            &RandomUser::pressButton, &RandomUser::switchTab};
        std::discrete_distribution<int> kind({40, 14, 15, 20, 7});
        for (int attempt = 0; attempt < 100; ++attempt) {
            if ((this->*kKinds[kind(m_random)])())
                return;
        }
    }

private:
    int below(int n) { return n <= 1 ? 0 : std::uniform_int_distribution(0, n - 1)(m_random); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T> T *pick(const std::vector<T *> &all) {
        return all.empty() ? nullptr : all[std::size_t(below(int(all.size())))];
    }
    // Mostly the first rows, where entries are; sometimes anywhere, the fixed cells (shown as
    // the headers) included.
    bool clickCell() {
        QTableWidget *grid = pick(reachable<QTableWidget>());
        if (!grid)
            return false;
        const int rows = grid->rowCount();
        const int row = rows > 1 && chance(70) ? 1 + below(std::min(8, rows - 1)) : below(rows);
        const int column = below(grid->columnCount());
        grid->scrollTo(grid->model()->index(std::max(row, 1), std::max(column, 1)));
        if (row == 0 || column == 0)
            clickHeader(row == 0 ? grid->horizontalHeader() : grid->verticalHeader(),
                        row == 0 ? column : row);
        else
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                              grid->visualRect(grid->model()->index(row, column)).center());
        if (chance(60)) { // mostly followed by an entry into the editor laid over the cell
            if (QComboBox *list = pick(reachable<QComboBox>(true)))
                chooseItem(list);
            else
                typeText(pick(reachable<QLineEdit>(true)));
        }
        return true;
    }

    static void clickHeader(QHeaderView *header, int section) {
        const int middle =
            header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          header->orientation() == Qt::Vertical
                              ? QPoint(header->width() / 2, middle)
                              : QPoint(middle, header->height() / 2));
    }

    // A new device amount discards every table: chosen less often, so that tables grow.
    bool chooseItem() { return chooseItem(pick(reachable<QComboBox>())); }
    bool chooseItem(QComboBox *combo) {
        if (!combo || combo->count() == 0 ||
            (combo->objectName() == u"DevicesNumCombo" && chance(60)))
            return false;
        const int index = below(combo->count());
        combo->setCurrentIndex(index);
        emit combo->activated(index);
        return true;
    }

    // Into every text box, the text fields of editable lists and the floating editors: mostly
    // a number a box may well take, else anything.
    bool typeText() { return typeText(pick(reachable<QLineEdit>())); }
    bool typeText(QLineEdit *edit) {
        if (!edit)
            return false;
        static const QString kCharacters = QStringLiteral("0123456789abcdefABCDEF&H.-+ xz#");
        if (chance(70))
            edit->selectAll(); // what is typed replaces it
        QString text = chance(60) ? QString::number(below(300)) : QString();
        for (int length = text.isEmpty() ? below(7) : 0; length > 0; --length)
            text += kCharacters[below(int(kCharacters.size()))];
        QTest::keyClicks(edit, text);
        if (chance(25))
            QTest::keyClick(edit, Qt::Key_Return);
        return true;
    }

    // Every button and check box but "Start Connect": tests never connect to the address typed.
    // Deleting and leaving the device window less often keeps the tables busy.
    bool pressButton() {
        static const QMap<QString, int> kPercent{
            {"StartConnButt", 0}, {"ExitCommand", 40}, {"DeleteCommand", 50}};
        QAbstractButton *button = pick(reachable<QAbstractButton>());
        if (!button || !chance(kPercent.value(button->objectName(), 100)))
            return false;
        button->click();
        return true;
    }

    bool switchTab() {
        QTabWidget *tabs = pick(reachable<QTabWidget>());
        if (tabs)
            tabs->setCurrentIndex(below(tabs->count()));
        return tabs;
    }

    std::mt19937 m_random;
};

class RandomInterface : public ::testing::TestWithParam<unsigned> {};

TEST_P(RandomInterface, KeepsTheModelConsistentAfterEveryAction) {
    UtilityApp app(closedLoopbackPort(), 20);
    app.show();
    app.network().show();
    // Every dialog an action opens (a refusal, the findings a save asks about, a file dialog)
    // is turned down as soon as it is up.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    closer.start(5);
    RandomUser user(GetParam());
    for (int done = 1; done <= 1700; ++done) {
        user.act();
        QCoreApplication::processEvents();
        const QStringList faults = testing::modelInvariantFaults(app.config());
        ASSERT_TRUE(faults.isEmpty()) << "seed " << GetParam() << ", action " << done << ":\n  "
                                      << faults.join("\n  ").toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomInterface, ::testing::Values(1u, 2u, 3u),
                         [](const auto &seed) { return "seed" + std::to_string(seed.param); });

} // namespace
} // namespace tolvar
