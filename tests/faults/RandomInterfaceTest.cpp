// A user who never reads the screen: from a seed, one action after another on a named control
// of a shown window, with no connection. After every action the model must be consistent.
// TOLVAR_RANDOM_ACTIONS sets the actions per seed, TOLVAR_RANDOM_SEEDS the seeds ("1,2,3").
#include "app/UtilityApp.h"
#include "network/MappingModules.h"

#include "support/ModelInvariants.h"
#include "support/ScriptedPeer.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <random>

namespace tolvar {
namespace {

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
template <typename Editor> std::vector<Editor *> floating(const std::vector<Editor *> &editors) {
    std::vector<Editor *> found;
    for (Editor *editor : editors) {
        if (qobject_cast<QTableWidget *>(editor->parentWidget()->parentWidget()))
            found.push_back(editor);
    }
    return found;
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
            {12, &RandomUser::pressButton}, {7, &RandomUser::switchTab},
            {5, &RandomUser::toggleCheck},  {3, &RandomUser::closeWindow}};
        for (int attempt = 0; attempt < 100; ++attempt) {
            int roll = below(96);
            for (const auto &[weight, kind] : kinds) {
                if ((roll -= weight) < 0) {
                    if (QString done = (this->*kind)(); !done.isEmpty())
                        return done;
                    break;
                }
            }
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
        const std::vector<Editor *> all = reachable<Editor>();
        const std::vector<Editor *> laid = floating(all);
        return pick(!laid.empty() && chance(75) ? laid : all);
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
        return QStringLiteral("%1click %2 (%3, %4)")
            .arg(extend ? "shift-" : "", grid->objectName())
            .arg(row)
            .arg(column);
    }

    // A click on a cell and an entry into the editor laid over it, if one is.
    QString fillCell() {
        const QString clicked = clickCell();
        if (clicked.isEmpty())
            return {};
        const std::vector<QComboBox *> lists = floating(reachable<QComboBox>());
        const std::vector<QLineEdit *> boxes = floating(reachable<QLineEdit>());
        if (!lists.empty())
            return clicked + QStringLiteral(", then ") + chooseItem(lists.front());
        if (!boxes.empty())
            return clicked + QStringLiteral(", then ") + typeText(boxes.front());
        return clicked;
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
        return QStringLiteral("choose \"%1\" in %2")
            .arg(combo->itemText(index), combo->objectName());
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
        return QStringLiteral("type %1\"%2\"%3 into %4")
            .arg(replace ? "over all: " : "", text, enter ? " and Enter" : "", edit->objectName());
    }

    // Every button but "Start Connect": tests never connect to the address typed.
    QString pressButton() {
        std::vector<QPushButton *> buttons = reachable<QPushButton>();
        std::erase_if(buttons, [](QPushButton *b) { return b->objectName() == u"StartConnButt"; });
        QPushButton *button = pick(buttons);
        // "Save All Setting" is one of a dozen buttons of its window: pressed more often, it
        // gets past its checks now and then.
        const auto save = std::find_if(buttons.begin(), buttons.end(), [](QPushButton *b) {
            return b->objectName() == u"SaveCommand";
        });
        if (save != buttons.end() && chance(20))
            button = *save;
        // Deleting and leaving the device window less often keeps the tables busy.
        const QString name = button ? button->objectName() : QString();
        if (!button || (name == u"ExitCommand" && chance(60)) ||
            (name == u"DeleteCommand" && chance(50)))
            return {};
        QTest::mouseClick(button, Qt::LeftButton);
        return QStringLiteral("press %1").arg(name);
    }

    QString switchTab() {
        QTabWidget *tabs = pick(reachable<QTabWidget>());
        if (!tabs)
            return {};
        const int index = below(tabs->count());
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {},
                          tabs->tabBar()->tabRect(index).center());
        return QStringLiteral("tab %1 of %2").arg(index).arg(tabs->objectName());
    }

    QString toggleCheck() {
        QCheckBox *check = pick(reachable<QCheckBox>());
        if (!check)
            return {};
        check->click();
        return QStringLiteral("toggle %1").arg(check->objectName());
    }

    // The main window ends the program and the network window has no way back without a
    // connection; the others can be closed.
    QString closeWindow() {
        std::vector<QWidget *> windows;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            const QString name = window->objectName();
            if (window->isVisible() && (name == u"ConnectSet" || name == u"CANopenDeviceSetting" ||
                                        name == u"ShowMapping"))
                windows.push_back(window);
        }
        QWidget *window = pick(windows);
        if (!window)
            return {};
        const QString name = window->objectName();
        window->close();
        return QStringLiteral("close %1").arg(name);
    }

    std::mt19937 m_random;
};

// Closes every dialog a save opens (a refusal, or the findings it asks about), as soon as it
// is up.
class MessageBoxCloser {
public:
    MessageBoxCloser() {
        QObject::connect(&m_timer, &QTimer::timeout, [] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                dialog->reject();
        });
        m_timer.start(5);
    }

private:
    QTimer m_timer;
};

std::vector<unsigned> seedsToRun() {
    std::vector<unsigned> seeds;
    const QString listed = qEnvironmentVariable("TOLVAR_RANDOM_SEEDS", QStringLiteral("1,2,3"));
    for (const QString &seed : listed.split(u',', Qt::SkipEmptyParts))
        seeds.push_back(seed.trimmed().toUInt());
    return seeds;
}

int actionsPerSeed() {
    bool ok = false;
    const int actions = qEnvironmentVariableIntValue("TOLVAR_RANDOM_ACTIONS", &ok);
    return ok && actions > 0 ? actions : 1500;
}

class RandomInterface : public ::testing::TestWithParam<unsigned> {};

TEST_P(RandomInterface, KeepsTheModelConsistentAfterEveryAction) {
    const unsigned seed = GetParam();
    const int actions = actionsPerSeed();
    UtilityApp app(closedLoopbackPort(), 20);
    app.show();
    app.network().show();
    MessageBoxCloser closer;
    RandomUser user(seed);
    std::deque<QString> recent;
    QElapsedTimer clock;
    clock.start();
    for (int done = 1; done <= actions; ++done) {
        recent.push_back(user.act());
        QCoreApplication::processEvents();
        if (recent.size() > 10)
            recent.pop_front();
        const QStringList faults = testing::modelInvariantFaults(app.config());
        if (!faults.isEmpty()) {
            QStringList before(recent.begin(), recent.end() - 1);
            FAIL() << "seed " << seed << ", action " << done << ": " << recent.back().toStdString()
                   << "\nbroken:\n  " << faults.join(QStringLiteral("\n  ")).toStdString()
                   << "\nthe actions before it:\n  "
                   << before.join(QStringLiteral("\n  ")).toStdString();
        }
    }
    RecordProperty("actions", actions);
    RecordProperty("milliseconds", int(clock.elapsed()));
    std::printf("seed %u: %d actions in %lld ms\n", seed, actions, clock.elapsed());
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomInterface, ::testing::ValuesIn(seedsToRun()),
                         [](const ::testing::TestParamInfo<unsigned> &param) {
                             return "seed" + std::to_string(param.param);
                         });

} // namespace
} // namespace tolvar
