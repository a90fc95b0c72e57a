// What the Qt forms layer adds to the window's description: real widgets at their pixel
// geometry, activation and the auto-size label. The end-to-end test drives the keyboard.
#include "platform/forms/qt/qt_entry_box.h"
#include "platform/forms/qt/qt_form.h"
#include "window/frmMain.h"

#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

using zandor::platform::QtForm;

namespace {} // namespace

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

    QStringList order;
    for (const QObject* child : window_->children())
        if (child->isWidgetType())
            order << child->objectName();
    QCOMPARE(order, QStringList({"Text1", "Command1", "Label3", "Label2", "Label1"}));
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

// What the entry box adds to Qt's line edit: after a check, typing over the entry and undoing
// leaves it empty, never the checked number; a copy is marked secret, so that clipboard
// managers keep no card number.
void QtFormTest::entryBoxKeepsNoEarlierNumber() {
    auto* box = text1();
    for (const QString& checked : {QStringLiteral("4111111111111111"),
                                   QString(40000, QLatin1Char('0')) + QStringLiteral("4")}) {
        box->select(0, box->wholeText().size());
        box->replaceSelection(checked);
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, QStringLiteral("5555"));
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(box->wholeText(), QString());
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(box->wholeText(), QString());
    }
    QTest::keyClicks(box, QStringLiteral("4111"));
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->mimeData()->data("x-kde-passwordManagerHint"),
             QByteArray("secret"));
}

QTEST_MAIN(QtFormTest)
#include "qt_form_test.moc"
