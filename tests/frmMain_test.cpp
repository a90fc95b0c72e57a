#include "window/frmMain.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <limits>

using zandor::window::frmMain;

class frmMainTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void windowHasStoredCaptionSizeAndButtons();
    void controlsHaveStoredGeometry_data();
    void controlsHaveStoredGeometry();
    void controlsAreCreatedInOrderWithCaptions();
    void hintRowStandsAboveTheEntryBoxEnd();
    void activationFocusesTheEntryBoxOnce();
    void tabMovesBetweenButtonAndEntryBox();
    void enterPressesCheck_data();
    void enterPressesCheck();
    void escapeKeepsTheWindowOpen();
    void checkingTwiceShowsOneResultLine();
    void wholeEntryIsSelectedAndTypingReplacesIt();
    void longResultLineGrowsToTheRight();
    void entryHasNoLengthLimitAndPrivateInput();

  private:
    frmMain* window_ = nullptr;
    QLineEdit* text1() { return window_->findChild<QLineEdit*>(QStringLiteral("Text1")); }
    QPushButton* command1() { return window_->findChild<QPushButton*>(QStringLiteral("Command1")); }
    QLabel* label(const char* name) { return window_->findChild<QLabel*>(QLatin1String(name)); }
};

void frmMainTest::init() {
    window_ = new frmMain;
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_));
}

void frmMainTest::cleanup() {
    delete window_;
    window_ = nullptr;
}

void frmMainTest::windowHasStoredCaptionSizeAndButtons() {
    QCOMPARE(window_->windowTitle(), QStringLiteral("ZANDOR"));
    QCOMPARE(window_->size(), QSize(134, 125));
    QCOMPARE(window_->minimumSize(), window_->maximumSize());
    const Qt::WindowFlags flags = window_->windowFlags();
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowSystemMenuHint);
    QVERIFY(!window_->windowIcon().isNull());
}

void frmMainTest::controlsHaveStoredGeometry_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry"); // width and height -1: set by the caption
    QTest::newRow("Text1") << "Text1" << QRect(15, 32, 105, 19);
    QTest::newRow("Command1") << "Command1" << QRect(31, 88, 81, 25);
    QTest::newRow("Label3") << "Label3" << QRect(39, 16, -1, -1);
    QTest::newRow("Label2") << "Label2" << QRect(92, 16, -1, -1);
    QTest::newRow("Label1") << "Label1" << QRect(31, 64, -1, -1);
}

void frmMainTest::controlsHaveStoredGeometry() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    const auto* control = window_->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->pos(), geometry.topLeft());
    if (geometry.width() >= 0)
        QCOMPARE(control->size(), geometry.size());
    QVERIFY(window_->rect().contains(control->geometry()));
}

void frmMainTest::controlsAreCreatedInOrderWithCaptions() {
    QStringList order;
    for (const QObject* child : window_->children())
        if (child->isWidgetType())
            order << child->objectName();
    QCOMPARE(order, QStringList({"Text1", "Command1", "Label3", "Label2", "Label1"}));
    QCOMPARE(text1()->text(), QString());
    QCOMPARE(command1()->text(), QStringLiteral("Check"));
    QCOMPARE(label("Label3")->text(), QStringLiteral("Between >"));
    QCOMPARE(label("Label2")->text(), QStringLiteral("|      |  "));
    QCOMPARE(label("Label1")->text(), QString());
    QVERIFY(command1()->isDefault());
}

void frmMainTest::hintRowStandsAboveTheEntryBoxEnd() {
    // Each label is as wide as its caption, and nothing is clipped.
    for (const char* name : {"Label3", "Label2"}) {
        QLabel* l = label(name);
        QVERIFY(l->width() >= l->fontMetrics().horizontalAdvance(l->text()));
    }
    const QRect bracket = label("Label2")->geometry();
    QVERIFY2(qAbs(bracket.right() - text1()->geometry().right()) <= 3,
             "the bracket ends above the entry box's right end");
    QVERIFY(label("Label3")->geometry().right() < bracket.left());
}

void frmMainTest::activationFocusesTheEntryBoxOnce() {
    QCOMPARE(QApplication::focusWidget(), text1());
    command1()->setFocus();
    // Another program's window becomes active, then this one again.
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_));
    QCOMPARE(QApplication::focusWidget(), command1());
}

void frmMainTest::tabMovesBetweenButtonAndEntryBox() {
    QTest::keyClick(text1(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), command1());
    QTest::keyClick(command1(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), text1());
    QTest::keyClick(text1(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), command1());
}

void frmMainTest::enterPressesCheck_data() {
    QTest::addColumn<bool>("fromButton");
    QTest::addColumn<int>("key");
    QTest::newRow("entry box, Return") << false << int(Qt::Key_Return);
    QTest::newRow("entry box, keypad Enter") << false << int(Qt::Key_Enter);
    QTest::newRow("button, Return") << true << int(Qt::Key_Return);
}

void frmMainTest::enterPressesCheck() {
    QFETCH(bool, fromButton);
    QFETCH(int, key);
    QTest::keyClick(text1(), Qt::Key_Return);
    QCOMPARE(label("Label1")->text(), QStringLiteral("  False")); // empty entry
    QTest::keyClicks(text1(), QStringLiteral("4111111111111111"));
    QWidget* target = text1();
    if (fromButton) {
        command1()->setFocus();
        target = command1();
    }
    QTest::keyClick(target, static_cast<Qt::Key>(key));
    QCOMPARE(label("Label1")->text(), QStringLiteral("Visa  True"));
    QCOMPARE(QApplication::focusWidget(), text1());
}

void frmMainTest::escapeKeepsTheWindowOpen() {
    QTest::keyClick(text1(), Qt::Key_Escape);
    QTest::keyClick(window_, Qt::Key_Escape);
    QVERIFY(window_->isVisible());
}

void frmMainTest::checkingTwiceShowsOneResultLine() {
    QTest::keyClicks(text1(), QStringLiteral("5555555555554443"));
    QTest::mouseClick(command1(), Qt::LeftButton);
    QTest::mouseClick(command1(), Qt::LeftButton);
    QCOMPARE(label("Label1")->text(), QStringLiteral("MC  False"));
}

// Regression: only the first 20 characters used to be selected, so the tail of a longer
// entry survived typing the next number.
void frmMainTest::wholeEntryIsSelectedAndTypingReplacesIt() {
    const QString entry = QStringLiteral("0000000000000004111111111111111");
    QTest::keyClicks(text1(), entry);
    QTest::keyClick(text1(), Qt::Key_Return);
    QCOMPARE(label("Label1")->text(), QStringLiteral("  True"));
    QCOMPARE(text1()->selectedText(), entry);
    QTest::keyClicks(text1(), QStringLiteral("5"));
    QCOMPARE(text1()->text(), QStringLiteral("5"));
}

void frmMainTest::longResultLineGrowsToTheRight() {
    QLabel* result = label("Label1");
    QTest::keyClicks(text1(), QStringLiteral("6011111111111118"));
    QTest::keyClick(text1(), Qt::Key_Return);
    QCOMPARE(result->text(), QStringLiteral("Discover  False"));
    QCOMPARE(result->x(), 31);
    QVERIFY(result->width() >= result->fontMetrics().horizontalAdvance(result->text()));
    QVERIFY(window_->rect().contains(result->geometry()));
}

void frmMainTest::entryHasNoLengthLimitAndPrivateInput() {
    QCOMPARE(text1()->maxLength(), std::numeric_limits<int>::max());
    text1()->setText(QString(40000, QLatin1Char('0')) + QStringLiteral("4111111111111111"));
    QTest::keyClick(text1(), Qt::Key_Return);
    QCOMPARE(label("Label1")->text(), QStringLiteral("  True"));
    QVERIFY(text1()->inputMethodHints() & Qt::ImhSensitiveData);
    QVERIFY(text1()->inputMethodHints() & Qt::ImhNoPredictiveText);
    QCOMPARE(text1()->accessibleName(), QStringLiteral("Card number"));
}

QTEST_MAIN(frmMainTest)
#include "frmMain_test.moc"
