#pragma once

#include <QLineEdit>
#include <QString>

#include <memory>

// The entry box: Qt's own line edit, so that it edits as every text field does, with what this
// program adds. A text longer than a line edit holds (a paste of megabytes) is taken whole, by
// a long entry that lays out only what is in view, and handed back to the line edit once it is
// short again. Copies are marked secret for clipboard managers, the text is never offered to
// the X11 PRIMARY selection, and screen readers get our own text interface, which answers every
// query at once with a bounded piece of the text.
namespace zandor::platform {

class LongEntry;

// The most a line edit holds: its own default limit.
inline constexpr qsizetype line_edit_limit = 32767;

class QtEntryBox final : public QLineEdit {
    Q_OBJECT

  public:
    // A text longer than `limit` goes to a long entry; tests lower it.
    explicit QtEntryBox(QWidget* parent = nullptr, qsizetype limit = line_edit_limit);
    ~QtEntryBox() override;

    // The whole text, however long; QLineEdit::text() holds only a short one.
    [[nodiscard]] QString wholeText() const;
    [[nodiscard]] qsizetype wholeCursor() const;
    [[nodiscard]] qsizetype wholeSelectionStart() const;
    [[nodiscard]] qsizetype wholeSelectionEnd() const;
    [[nodiscard]] bool isLong() const { return long_ != nullptr; }

    // Selects from `anchor` to `cursor`, both cut to the text.
    void select(qsizetype anchor, qsizetype cursor);
    // Replaces the selection as a paste does, however long the result.
    void replaceSelection(const QString& with);
    // Forgets the edits behind the text. The first edit after a check calls this while it is
    // reported; its result can then still be undone, back to an empty box.
    void clearHistory();
    // Offers the selection to the clipboard, marked secret.
    void copySelection() const;

    // Where the text is drawn, as a line edit draws it.
    [[nodiscard]] QRect textArea() const;
    [[nodiscard]] QRect characterRect(qsizetype position) const;
    [[nodiscard]] qsizetype positionAt(QPoint point); // the line edit asks it without const

    [[nodiscard]] QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

  signals:
    void edited(); // the user changed the text

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    [[nodiscard]] bool fits_after_replacing_selection(const QString& with) const;
    void enter_long();
    void go_long(const QString& with);
    void after_long_event();
    void report_edit();
    void finish_history_clearing();
    void edit_menu_action(int action);

    qsizetype limit_;
    std::unique_ptr<LongEntry> long_;
    bool reporting_edit_ = false;   // the edited() signal is being sent
    bool clearing_history_ = false; // the text is set anew: not an edit
    bool clear_pending_ = false;
    bool clear_keeping_text_ = false;
};

} // namespace zandor::platform
