// Differential: the entry box against Qt's own line edit of the same font and size, driven by
// the same random keys and mouse gestures on short texts of digits, blanks, grapheme clusters
// and a little right-to-left text; the two must agree at every step: text, cursor, selection
// and the first character in view. Then the contract of a text held past the line edit's limit.
#include "platform/forms/qt/qt_entry_box.h"
#include "platform/forms/qt/qt_entry_box_accessible.h"

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

std::vector<Step> random_steps(QRandomGenerator& random, int count, int width) {
    const int keys = static_cast<int>(std::size(moving_keys));
    std::vector<Step> steps(static_cast<std::size_t>(count));
    for (Step& step : steps) {
        const int kind = random.bounded(10);
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
State state_of(QLineEdit& edit) {
    const QAccessibleTextInterface* text =
        QAccessible::queryAccessibleInterface(&edit)->textInterface();
    int start = 0;
    int end = 0;
    text->selection(0, &start, &end);
    State state{text->text(0, text->characterCount()), text->cursorPosition(), start, end};
    (void)edit.grab(); // a line edit scrolls as it paints
    state.first_shown = edit.cursorPositionAt(QPoint(4, edit.height() / 2));
    return state;
}

void key(QWidget* box, Qt::Key key, Qt::KeyboardModifiers modifiers = none) {
    QTest::keyClick(box, key, modifiers);
}

void paste(QWidget* box, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    key(box, Qt::Key_V, ctrl);
}

} // namespace

class EntryBoxTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void editsAsTheLineEdit();
    void holdsALongTextWholeAndSelected();
    void aTextLikeAStandInIsNotHeld();
    void holdsAPasteOf64MiBAndAnswersScreenReadersInPieces();

  private:
    QWidget window_; // the entry box and the line edit in the same font
    QtEntryBox box_{&window_};
};

void EntryBoxTest::init() {
    box_.setGeometry(0, 0, 105, 19);
    window_.show();
    QVERIFY(QTest::qWaitForWindowActive(&window_));
    box_.setFocus(Qt::OtherFocusReason);
    box_.setText({});
}

// One sequence at a time on each, from the same text and clipboard, step by step.
void EntryBoxTest::editsAsTheLineEdit() {
    QLineEdit reference(&window_);
    reference.setGeometry(0, 20, 105, 19);
    reference.show();
    QRandomGenerator random(12);
    for (int sequence = 0; sequence < 1500; ++sequence) {
        const QString start = random_text(random, 8);
        const QString clipboard = random_text(random, 3);
        const auto steps = random_steps(random, 16, 105);
        std::vector<State> seen[2];
        for (QLineEdit* edit : {static_cast<QLineEdit*>(&box_), &reference}) {
            QGuiApplication::clipboard()->setText(clipboard);
            edit->setFocus(Qt::OtherFocusReason);
            edit->setText(start);
            for (const Step& step : steps) {
                apply(*edit, step);
                seen[edit == &reference].push_back(state_of(*edit));
            }
        }
        const auto first =
            static_cast<std::size_t>(std::ranges::mismatch(seen[0], seen[1]).in1 - seen[0].begin());
        if (first < steps.size())
            QFAIL(qPrintable(QStringLiteral("sequence %1 (from '%2', '%3' on the clipboard), "
                                            "step %4: '%5' against the line edit's '%6'")
                                 .arg(sequence)
                                 .arg(start, clipboard)
                                 .arg(first)
                                 .arg(seen[0][first].text, seen[1][first].text)));
    }
}

// Past the line edit's limit the text is held whole and wholly selected; it acts as a line
// edit acts on a wholly selected text, and undo and redo step across the limit both ways.
void EntryBoxTest::holdsALongTextWholeAndSelected() {
    const QString pasted = QString(40000, QLatin1Char('0')) + QStringLiteral("4111111111111111");
    const auto held = [&](const QString& whole) {
        State seen = state_of(box_);
        return box_.isHeld() && box_.wholeText() == whole &&
               seen == State{whole.left(zandor::platform::accessible_piece_limit), 0, 0,
                             whole.size(), 0};
    };
    QTest::keyClicks(&box_, QStringLiteral("123"));
    key(&box_, Qt::Key_Left);
    QTest::keyClicks(&box_, QStringLiteral("9"));
    paste(&box_, pasted);
    const QString whole = QStringLiteral("129") + pasted + QStringLiteral("3");
    QVERIFY(held(whole));

    for (const auto& [moving, modifiers] : moving_keys)
        if (moving == Qt::Key_Left || moving == Qt::Key_Right || moving == Qt::Key_Home ||
            moving == Qt::Key_End) {
            key(&box_, moving, modifiers);
            QVERIFY(held(whole));
        }
    QTest::mouseClick(&box_, Qt::LeftButton, none, QPoint(50, 9));
    QTest::mouseDClick(&box_, Qt::LeftButton, none, QPoint(50, 9));
    QVERIFY(held(whole));
    QGuiApplication::clipboard()->clear();
    key(&box_, Qt::Key_C, ctrl);
    QCOMPARE(QGuiApplication::clipboard()->text(), whole);
    QCOMPARE(QGuiApplication::clipboard()->mimeData()->data("x-kde-passwordManagerHint"),
             QByteArray("secret"));

    // Undo gives back the text before, whose own history still works; redo holds it again.
    key(&box_, Qt::Key_Z, ctrl);
    QVERIFY(!box_.isHeld());
    QCOMPARE(box_.wholeText(), QStringLiteral("1293"));
    key(&box_, Qt::Key_Z, ctrl_shift);
    QVERIFY(held(whole));
    key(&box_, Qt::Key_Z, ctrl);
    key(&box_, Qt::Key_Y, ctrl);
    QVERIFY(held(whole));
    key(&box_, Qt::Key_Z, ctrl);
    key(&box_, Qt::Key_Z, ctrl);
    QCOMPARE(box_.wholeText(), QStringLiteral("123"));
    key(&box_, Qt::Key_Y, ctrl);
    key(&box_, Qt::Key_Y, ctrl);
    QVERIFY(held(whole));

    // Typing, Backspace, Delete, Cut and a paste replace it, each undone back to it.
    const auto replaced = [&](auto edit, const QString& left) {
        edit();
        QCOMPARE(box_.wholeText(), left);
        QVERIFY(!box_.isHeld());
        key(&box_, Qt::Key_Z, ctrl);
        QVERIFY(held(whole));
    };
    replaced([&] { QTest::keyClicks(&box_, QStringLiteral("55")); }, QStringLiteral("55"));
    replaced([&] { key(&box_, Qt::Key_Backspace); }, QString());
    replaced([&] { key(&box_, Qt::Key_Delete); }, QString());
    replaced([&] { key(&box_, Qt::Key_X, ctrl); }, QString());
    QCOMPARE(QGuiApplication::clipboard()->text(), whole);
    QGuiApplication::clipboard()->setText(QStringLiteral("4012"));
    replaced([&] { key(&box_, Qt::Key_V, ctrl); }, QStringLiteral("4012"));

    // Regression: a second long text with the first's start was taken for the first. Each is
    // held apart, both ways through the history; one that redo can no longer reach is let go.
    paste(&box_, whole + QStringLiteral("7"));
    QVERIFY(held(whole + QStringLiteral("7")));
    key(&box_, Qt::Key_Z, ctrl);
    QVERIFY(held(whole));
    key(&box_, Qt::Key_Z, ctrl_shift);
    QVERIFY(held(whole + QStringLiteral("7")));
    key(&box_, Qt::Key_Z, ctrl);
    const std::size_t kept = box_.heldTexts();
    QTest::keyClicks(&box_, QStringLiteral("1"));
    QCOMPARE(box_.heldTexts(), kept - 1);
    key(&box_, Qt::Key_Z, ctrl);
    QVERIFY(held(whole));

    // An input method's commit arrives whole too; the box's history empties at a check.
    QInputMethodEvent commit;
    commit.setCommitString(pasted);
    QApplication::sendEvent(&box_, &commit);
    QVERIFY(held(pasted));
    box_.clearHistory();
    QVERIFY(held(pasted));
    QVERIFY(!box_.isUndoAvailable());
}

// Regression: the box took a text equal to a held text's start for the held text, and a
// check read 40,000 characters that were no longer in the box.
void EntryBoxTest::aTextLikeAStandInIsNotHeld() {
    paste(&box_, QString(39984, QLatin1Char('0')) + QStringLiteral("4111111111111111"));
    key(&box_, Qt::Key_Backspace);
    paste(&box_, QString(256, QLatin1Char('0')));
    QCOMPARE(box_.wholeText(), QString(256, QLatin1Char('0')));
    // One long text pasted 257 times over itself: its stand-ins stay apart.
    for (int paste_count = 0; paste_count < 257; ++paste_count)
        paste(&box_, QString(40001, QLatin1Char('4')));
    key(&box_, Qt::Key_Delete);
    QTest::keyClicks(&box_, QStringLiteral("5"));
    key(&box_, Qt::Key_Backspace);
    QCOMPARE(box_.wholeText(), QString());
}

// Regression: a word query at the end of the entry froze the window under Orca. Every query
// at the end answers; a short text is read whole, and with a paste of 64 MiB in the box every
// answer is a bounded piece (the test's timeout stands for a window that stopped answering).
// Characters and words near the start are answered as the line edit answers for the same start.
void EntryBoxTest::holdsAPasteOf64MiBAndAnswersScreenReadersInPieces() {
    QAccessibleInterface* entry = QAccessible::queryAccessibleInterface(&box_);
    QAccessibleTextInterface* text = entry->textInterface();
    const QString huge = QStringLiteral("4111 1111 ").repeated((64 << 20) / 10);
    constexpr QAccessible::TextBoundaryType boundaries[] = {
        QAccessible::CharBoundary,      QAccessible::WordBoundary, QAccessible::SentenceBoundary,
        QAccessible::ParagraphBoundary, QAccessible::LineBoundary, QAccessible::NoBoundary};
    using Answer = std::tuple<QString, int, int>;
    const auto answers = [](QAccessibleTextInterface* of, int offset, auto boundary) {
        std::vector<Answer> said;
        for (auto query :
             {&QAccessibleTextInterface::textBeforeOffset, &QAccessibleTextInterface::textAtOffset,
              &QAccessibleTextInterface::textAfterOffset}) {
            auto& [answer, start, end] = said.emplace_back();
            answer = (of->*query)(offset, boundary, &start, &end);
        }
        return said;
    };
    for (const QString& content : {QStringLiteral(" 4111").repeated(400), huge}) {
        key(&box_, Qt::Key_A, ctrl);
        paste(&box_, content);
        QCOMPARE(box_.wholeText(), content);
        QLineEdit same_start(content.left(zandor::platform::line_edit_limit));
        QAccessibleTextInterface* line_edit =
            QAccessible::queryAccessibleInterface(&same_start)->textInterface();
        for (const int offset : {3, 7, 300})
            for (const auto boundary : {QAccessible::CharBoundary, QAccessible::WordBoundary})
                QCOMPARE(answers(text, offset, boundary), answers(line_edit, offset, boundary));
        QCOMPARE(text->text(2, 9), content.mid(2, 7));
        const auto length = static_cast<int>(content.size());
        const qsizetype most = length > 2000 ? zandor::platform::accessible_piece_limit : length;
        for (const int offset : {-1, 0, length / 2, length - 1, length})
            for (const auto boundary : boundaries)
                for (const Answer& answer : answers(text, offset, boundary))
                    QVERIFY(std::get<QString>(answer).size() <= most);
        QCOMPARE(text->text(0, length).size(), most);
        QCOMPARE(entry->text(QAccessible::Value).size(), most);
        QCOMPARE(text->characterCount(), length);
    }
}

QTEST_MAIN(EntryBoxTest)
#include "qt_entry_box_test.moc"
