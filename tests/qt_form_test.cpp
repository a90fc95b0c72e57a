// What the Qt forms layer adds to the window's description: real widgets at their pixel
// geometry, activation and the auto-size label. The entry box has a test of its own, and the
// end-to-end test drives the keyboard.
#include "platform/forms/qt/qt_entry_box.h"
#include "platform/forms/qt/qt_form.h"
#include "window/frmMain.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using zandor::platform::QtForm;

class QtFormTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void windowAndControlsFollowTheDescription();
    void longResultLineGrowsToTheRight();
    void entryBoxKeepsNoEarlierNumber();

  private:
    QtForm* window_ = nullptr;
    zandor::platform::QtEntryBox* text1() {
        return window_->findChild<zandor::platform::QtEntryBox*>(QStringLiteral("Text1"));
    }
    QPushButton* command1() { return window_->findChild<QPushButton*>(QStringLiteral("Command1")); }
    QLabel* label(const char* name) { return window_->findChild<QLabel*>(QLatin1String(name)); }
};

void QtFormTest::init() {
    window_ = new QtForm(zandor::window::frmMain::description);
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_));
}

void QtFormTest::cleanup() {
    delete window_;
    window_ = nullptr;
}

void QtFormTest::windowAndControlsFollowTheDescription() {
    QCOMPARE(window_->windowTitle(), QStringLiteral("ZANDOR"));
    QCOMPARE(window_->size(), QSize(134, 125));
    QCOMPARE(window_->minimumSize(), window_->maximumSize());
    QVERIFY(
        !(window_->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

    QCOMPARE(text1()->geometry(), QRect(15, 32, 105, 19));
    QCOMPARE(command1()->geometry(), QRect(31, 88, 81, 25));
    QCOMPARE(command1()->text(), QStringLiteral("Check"));
    QVERIFY(command1()->isDefault());
    QCOMPARE(label("Label3")->pos(), QPoint(39, 16));
    QCOMPARE(label("Label2")->pos(), QPoint(92, 16));
    QCOMPARE(label("Label1")->pos(), QPoint(31, 64));
    // Auto-size labels fit their captions, and the bracket ends above the entry box's end.
    for (const char* name : {"Label3", "Label2"})
        QVERIFY(label(name)->width() >=
                label(name)->fontMetrics().horizontalAdvance(label(name)->text()));
    QVERIFY(qAbs(label("Label2")->geometry().right() - text1()->geometry().right()) <= 3);
    QVERIFY(label("Label3")->geometry().right() < label("Label2")->geometry().left());

    QVERIFY(text1()->inputMethodHints() & Qt::ImhSensitiveData);
    QCOMPARE(text1()->accessibleName(), QStringLiteral("Card number"));
}

void QtFormTest::longResultLineGrowsToTheRight() {
    QTest::keyClicks(text1(), QStringLiteral("6011111111111118"));
    QTest::keyClick(text1(), Qt::Key_Return);
    QLabel* result = label("Label1");
    QCOMPARE(result->text(), QStringLiteral("Discover  False"));
    QCOMPARE(result->x(), 31);
    QVERIFY(result->width() >= result->fontMetrics().horizontalAdvance(result->text()));
    QVERIFY(window_->rect().contains(result->geometry()));
}

// After a check, typing over the entry and undoing leaves it empty, never the checked number.
void QtFormTest::entryBoxKeepsNoEarlierNumber() {
    QTest::keyClicks(text1(), QStringLiteral("4111111111111111"));
    QTest::keyClick(text1(), Qt::Key_Return);
    QTest::keyClicks(text1(), QStringLiteral("5555"));
    for (int undo = 0; undo < 2; ++undo) {
        QTest::keyClick(text1(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(text1()->wholeText(), QString());
    }
}

QTEST_MAIN(QtFormTest)
#include "qt_form_test.moc"
