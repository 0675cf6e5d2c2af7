// A user who never reads the screen: from a seed, one action after another on a named control
// of a shown window, with no connection. After every action the model must be consistent.
#include "app/UtilityApp.h"
#include "network/MappingModules.h"

#include "support/ModelInvariants.h"
#include "support/ScriptedPeer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <random>

namespace tolvar {
namespace {

constexpr int kActionsPerSeed = 1700;

// The named controls a user can reach now: shown and enabled, in a shown window.
template <typename Control> std::vector<Control *> reachable() {
    std::vector<Control *> found;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->isVisible())
            continue;
        for (Control *control : window->findChildren<Control *>()) {
            const QString name = control->objectName();
            if (control->isVisible() && control->isEnabled() && !name.isEmpty() &&
                !name.startsWith(u"qt_"))
                found.push_back(control);
        }
    }
    return found;
}

// The editors that float over a grid cell, laid there by a click on the cell.
template <typename Editor> std::vector<Editor *> floating() {
    std::vector<Editor *> editors = reachable<Editor>();
    std::erase_if(editors, [](Editor *editor) {
        return !qobject_cast<QTableWidget *>(editor->parentWidget()->parentWidget());
    });
    return editors;
}

class RandomUser {
public:
    explicit RandomUser(unsigned seed) : m_random(seed) {}

    // Does one thing a user could do now and says what it was.
    QString act() {
        using Act = QString (RandomUser::*)();
        static constexpr std::pair<int, Act> kinds[] = {
            {15, &RandomUser::clickCell},   {25, &RandomUser::fillCell},
            {14, &RandomUser::chooseItem},  {15, &RandomUser::typeText},
            {17, &RandomUser::pressButton}, {7, &RandomUser::switchTab},
            {3, &RandomUser::closeWindow}};
        for (int attempt = 0; attempt < 100; ++attempt) {
            int roll = below(96);
            const auto *kind = std::find_if(std::begin(kinds), std::end(kinds),
                                            [&](const auto &k) { return (roll -= k.first) < 0; });
            if (QString done = (this->*kind->second)(); !done.isEmpty())
                return done;
        }
        return QStringLiteral("nothing to do");
    }

private:
    int below(int n) { return n <= 1 ? 0 : std::uniform_int_distribution(0, n - 1)(m_random); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T> T *pick(const std::vector<T *> &all) {
        return all.empty() ? nullptr : all[std::size_t(below(int(all.size())))];
    }
    // A user mostly goes on with the editor a cell click has just laid out.
    template <typename Editor> Editor *pickEditor() {
        const std::vector<Editor *> laid = floating<Editor>();
        return pick(!laid.empty() && chance(75) ? laid : reachable<Editor>());
    }

    // Mostly the first rows, where entries are; sometimes anywhere, the fixed cells included.
    QString clickCell() {
        QTableWidget *grid = pick(reachable<QTableWidget>());
        if (!grid)
            return {};
        const int rows = grid->rowCount();
        const int row = rows > 1 && chance(70) ? 1 + below(std::min(8, rows - 1)) : below(rows);
        const int column = below(grid->columnCount());
        const bool extend = chance(15);
        const QModelIndex cell = grid->model()->index(row, column);
        grid->scrollTo(cell);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton,
                          extend ? Qt::ShiftModifier : Qt::NoModifier,
                          grid->visualRect(cell).center());
        return QString::asprintf("%sclick %s (%d, %d)", extend ? "shift-" : "",
                                 qPrintable(grid->objectName()), row, column);
    }

    // A click on a cell and an entry into the editor laid over it, if one is.
    QString fillCell() {
        const QString clicked = clickCell();
        const std::vector<QComboBox *> lists = floating<QComboBox>();
        const std::vector<QLineEdit *> boxes = floating<QLineEdit>();
        if (clicked.isEmpty() || (lists.empty() && boxes.empty()))
            return clicked;
        return clicked + ", then " +
               (lists.empty() ? typeText(boxes.front()) : chooseItem(lists.front()));
    }

    // A new device amount discards every table: chosen less often, so that tables grow.
    QString chooseItem() {
        QComboBox *combo = pickEditor<QComboBox>();
        if (combo && combo->objectName() == u"DevicesNumCombo" && chance(60))
            return {};
        return chooseItem(combo);
    }
    QString chooseItem(QComboBox *combo) {
        if (!combo || combo->count() == 0)
            return {};
        const int index = below(combo->count());
        combo->setCurrentIndex(index);
        emit combo->activated(index);
        return "choose \"" + combo->itemText(index) + "\" in " + combo->objectName();
    }

    // Mostly a number a box may well take, else anything.
    QString randomText() {
        if (chance(60))
            return QString::number(below(300));
        static const QString kCharacters = QStringLiteral("0123456789abcdefABCDEF&H.-+ xz#");
        QString text;
        for (int length = below(7); length > 0; --length)
            text += kCharacters[below(int(kCharacters.size()))];
        return text;
    }

    // Into every text box, the text fields of editable lists and the floating editors.
    QString typeText() { return typeText(pickEditor<QLineEdit>()); }
    QString typeText(QLineEdit *edit) {
        if (!edit)
            return {};
        const bool replace = chance(70);
        if (replace) {
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(edit, Qt::Key_Backspace);
        }
        const QString text = randomText();
        QTest::keyClicks(edit, text);
        const bool enter = chance(25);
        if (enter)
            QTest::keyClick(edit, Qt::Key_Return);
        return QString::asprintf("type %s\"%s\"%s into %s", replace ? "over all: " : "",
                                 qPrintable(text), enter ? " and Enter" : "",
                                 qPrintable(edit->objectName()));
    }

    // Every button and check box but "Start Connect": tests never connect to the address typed.
    QString pressButton() {
        std::vector<QAbstractButton *> buttons = reachable<QAbstractButton>();
        std::erase_if(buttons, [](auto *b) { return b->objectName() == u"StartConnButt"; });
        QAbstractButton *button = pick(buttons);
        // "Save All Setting" is one of a dozen buttons of its window: pressed more often, it
        // gets past its checks now and then.
        const auto save = std::find_if(buttons.begin(), buttons.end(),
                                       [](auto *b) { return b->objectName() == u"SaveCommand"; });
        if (save != buttons.end() && chance(20))
            button = *save;
        // Deleting and leaving the device window less often keeps the tables busy.
        const QString name = button ? button->objectName() : QString();
        if (!button || (name == u"ExitCommand" && chance(60)) ||
            (name == u"DeleteCommand" && chance(50)))
            return {};
        button->click();
        return "press " + name;
    }

    QString switchTab() {
        QTabWidget *tabs = pick(reachable<QTabWidget>());
        if (!tabs)
            return {};
        const int index = below(tabs->count());
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {},
                          tabs->tabBar()->tabRect(index).center());
        return QString::asprintf("tab %d of %s", index, qPrintable(tabs->objectName()));
    }

    // The main window ends the program and the network window has no way back without a
    // connection; the others can be closed.
    QString closeWindow() {
        static const QStringList kClosable{"ConnectSet", "CANopenDeviceSetting", "ShowMapping"};
        std::vector<QWidget *> windows;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && kClosable.contains(window->objectName()))
                windows.push_back(window);
        }
        QWidget *window = pick(windows);
        if (!window)
            return {};
        window->close();
        return "close " + window->objectName();
    }

    std::mt19937 m_random;
};

class RandomInterface : public ::testing::TestWithParam<unsigned> {};

TEST_P(RandomInterface, KeepsTheModelConsistentAfterEveryAction) {
    const unsigned seed = GetParam();
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
    RandomUser user(seed);
    QStringList recent; // the last actions, the failing one last
    QElapsedTimer clock;
    clock.start();
    for (int done = 1; done <= kActionsPerSeed; ++done) {
        recent = recent.mid(recent.size() == 10 ? 1 : 0) << user.act();
        QCoreApplication::processEvents();
        const QStringList faults = testing::modelInvariantFaults(app.config());
        ASSERT_TRUE(faults.isEmpty())
            << "seed " << seed << ", action " << done << ": " << recent.last().toStdString()
            << "\nbroken:\n  " << faults.join("\n  ").toStdString()
            << "\nthe actions before it:\n  "
            << recent.mid(0, recent.size() - 1).join("\n  ").toStdString();
    }
    std::printf("seed %u: %d actions in %lld ms\n", seed, kActionsPerSeed, clock.elapsed());
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomInterface, ::testing::Values(1u, 2u, 3u),
                         [](const auto &seed) { return "seed" + std::to_string(seed.param); });

} // namespace
} // namespace tolvar
