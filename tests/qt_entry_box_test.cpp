// Differential: the entry box against Qt's own line edit of the same font and size, driven by
// the same random keys and mouse gestures on short texts of digits, blanks, grapheme clusters
// and a little right-to-left text. While its text is short the entry box must agree with the
// line edit at every step: text, cursor, selection and the first character in view. Past its
// limit (lowered here, so that short texts go there) the long entry must agree on text, cursor
// and selection for the keys that edit and move.
#include "platform/forms/qt/qt_entry_box.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <tuple>

using zandor::platform::QtEntryBox;

namespace {

// Digits, blanks, a dash, grapheme clusters, Hebrew letters and an Arabic-Indic digit.
const QStringList pieces =
    QStringLiteral(
        "4|1|0| |-|e\u0301\u0323|\U0001F44D\U0001F3FD|\U0001F1EB\U0001F1F7|\u05E9\u05DC|\u0661")
        .split(QLatin1Char('|'));

constexpr Qt::KeyboardModifiers none = Qt::NoModifier;
constexpr Qt::KeyboardModifiers shift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers ctrl_shift = Qt::ControlModifier | Qt::ShiftModifier;

enum class Gesture { key, click, double_click, triple_click, drag };

// A key, a typed text or a mouse gesture from one x to another.
struct Step {
    Qt::Key key = Qt::Key_unknown;
    Qt::KeyboardModifiers modifiers = none;
    QString typed;
    bool composed = false; // committed by an input method rather than typed on keys
    Gesture gesture = Gesture::key;
    int from = 0;
    int to = 0;
};

// Keys that move, select and delete, which both entries share; then the history's.
const std::pair<Qt::Key, Qt::KeyboardModifiers> moving_keys[] = {
    {Qt::Key_Left, none},       {Qt::Key_Right, none},       {Qt::Key_Left, shift},
    {Qt::Key_Right, shift},     {Qt::Key_Left, ctrl},        {Qt::Key_Right, ctrl},
    {Qt::Key_Left, ctrl_shift}, {Qt::Key_Right, ctrl_shift}, {Qt::Key_Home, none},
    {Qt::Key_End, none},        {Qt::Key_Home, shift},       {Qt::Key_End, shift},
    {Qt::Key_Backspace, none},  {Qt::Key_Delete, none},      {Qt::Key_Backspace, ctrl},
    {Qt::Key_Delete, ctrl},     {Qt::Key_A, ctrl},           {Qt::Key_C, ctrl},
    {Qt::Key_X, ctrl},          {Qt::Key_V, ctrl},           {Qt::Key_Insert, shift},
    {Qt::Key_Delete, shift},    {Qt::Key_Z, ctrl},           {Qt::Key_Z, ctrl_shift},
    {Qt::Key_Y, ctrl}};

QString random_text(QRandomGenerator& random, int most) {
    QString text;
    for (int n = random.bounded(most + 1); n > 0; --n)
        text += pieces[random.bounded(static_cast<int>(pieces.size()))];
    return text;
}

// Without history, no undo and no mouse: a long entry keeps its own history and view.
std::vector<Step> random_steps(QRandomGenerator& random, int count, bool with_history, int width) {
    const int keys = static_cast<int>(std::size(moving_keys)) - (with_history ? 0 : 3);
    std::vector<Step> steps(static_cast<std::size_t>(count));
    for (Step& step : steps) {
        const int kind = random.bounded(with_history ? 10 : 8);
        if (kind < 3) {
            step.typed = random_text(random, 3);
            step.composed = random.bounded(2) == 0;
        } else if (kind < 8) {
            std::tie(step.key, step.modifiers) = moving_keys[random.bounded(keys)];
        } else {
            step.gesture = static_cast<Gesture>(1 + random.bounded(4));
            step.from = random.bounded(width);
            step.to = random.bounded(2) == 0 ? -30 : width + 30;
        }
    }
    return steps;
}

void apply(QLineEdit& edit, const Step& step) {
    const int y = edit.height() / 2;
    const QPoint from(step.from, y);
    switch (step.gesture) {
    case Gesture::key:
        if (step.composed) {
            QInputMethodEvent commit;
            commit.setCommitString(step.typed);
            QApplication::sendEvent(&edit, &commit);
        } else if (!step.typed.isEmpty()) {
            QTest::sendKeyEvent(QTest::Click, &edit, Qt::Key_unknown, step.typed, none);
        } else if (step.key != Qt::Key_unknown) {
            QTest::keyClick(&edit, step.key, step.modifiers);
        }
        break;
    case Gesture::click:
        QTest::mouseClick(&edit, Qt::LeftButton, none, from);
        break;
    case Gesture::double_click:
    case Gesture::triple_click:
        QTest::mouseDClick(&edit, Qt::LeftButton, none, from);
        if (step.gesture == Gesture::triple_click)
            QTest::mouseClick(&edit, Qt::LeftButton, none, from);
        break;
    case Gesture::drag:
        QTest::mousePress(&edit, Qt::LeftButton, none, from);
        for (int x : {(step.from + step.to) / 2, step.to, step.to})
            QTest::mouseMove(&edit, QPoint(x, y));
        QTest::mouseRelease(&edit, Qt::LeftButton, none, QPoint(step.to, y));
        break;
    }
}

struct State {
    QString text;
    qsizetype cursor = 0;
    qsizetype start = 0;
    qsizetype end = 0;
    int first_shown = 0;
    bool operator==(const State&) const = default;
};

// As a screen reader reads it, through each one's accessible text.
State state_of(QLineEdit& edit, bool with_view) {
    const QAccessibleTextInterface* text =
        QAccessible::queryAccessibleInterface(&edit)->textInterface();
    int start = 0;
    int end = 0;
    text->selection(0, &start, &end);
    State state{text->text(0, text->characterCount()), text->cursorPosition(), start, end};
    if (with_view) {
        (void)edit.grab(); // a line edit scrolls as it paints
        state.first_shown = edit.cursorPositionAt(QPoint(4, edit.height() / 2));
    }
    return state;
}

} // namespace

class EntryBoxDifferentialTest : public QObject {
    Q_OBJECT

  private slots:
    void shortTextsEditAsTheLineEdit();
    void longTextsMoveAndEditAsTheLineEdit();

  private:
    void run(qsizetype limit, int sequences);
};

// One sequence at a time on each, from the same text and clipboard, step by step.
void EntryBoxDifferentialTest::run(qsizetype limit, int sequences) {
    const bool long_entry = limit < zandor::platform::line_edit_limit;
    QWidget window; // both in the same font
    QtEntryBox box(&window, limit);
    QLineEdit reference(&window);
    for (QLineEdit* edit : {static_cast<QLineEdit*>(&box), &reference})
        edit->setGeometry(0, 0, 105, 19);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    QRandomGenerator random(long_entry ? 7 : 12);
    int differences = 0;
    for (int sequence = 0; sequence < sequences && differences == 0; ++sequence) {
        const QString start = long_entry ? QStringLiteral("4111 1111 1") + random_text(random, 4)
                                         : random_text(random, 8);
        const QString clipboard = random_text(random, 3);
        const auto steps = random_steps(random, 16, !long_entry, 105);
        std::vector<State> seen[2];
        for (QLineEdit* edit : {static_cast<QLineEdit*>(&box), &reference}) {
            QGuiApplication::clipboard()->setText(clipboard);
            edit->setFocus(Qt::OtherFocusReason);
            if (edit == &box) {
                box.select(0, box.wholeText().size());
                box.replaceSelection(start);
                box.clearHistory();
                QCOMPARE(box.isLong(), long_entry);
            } else {
                reference.setText(start);
            }
            for (const Step& step : steps) {
                apply(*edit, step);
                seen[edit == &reference].push_back(state_of(*edit, !long_entry));
            }
        }
        const auto first =
            static_cast<std::size_t>(std::ranges::mismatch(seen[0], seen[1]).in1 - seen[0].begin());
        if (first == steps.size())
            continue;
        ++differences;
        qWarning().noquote() << "from" << start << "with" << clipboard << "on the clipboard";
        for (std::size_t k = 0; k <= first; ++k)
            qWarning().noquote() << steps[k].key << steps[k].modifiers << steps[k].typed
                                 << static_cast<int>(steps[k].gesture) << steps[k].from
                                 << steps[k].to;
        for (const auto& state : {seen[0][first], seen[1][first]})
            qWarning().noquote() << state.text << state.cursor << state.start << state.end
                                 << state.first_shown;
    }
    QCOMPARE(differences, 0);
}

void EntryBoxDifferentialTest::shortTextsEditAsTheLineEdit() {
    run(zandor::platform::line_edit_limit, 1500);
}

void EntryBoxDifferentialTest::longTextsMoveAndEditAsTheLineEdit() {
    run(8, 500);
}

QTEST_MAIN(EntryBoxDifferentialTest)
#include "qt_entry_box_test.moc"
