#pragma once

#include <QLineEdit>
#include <QString>

#include <vector>

// The entry box: Qt's own line edit, so that it edits as every text field does, with what this
// program adds. Copies are marked secret for clipboard managers, the text is never offered to
// the X11 PRIMARY selection, and screen readers get our own text interface.
//
// A text longer than a line edit holds (a paste of megabytes) is held beside it, whole and
// wholly selected, while the line edit shows its start as a stand-in: the line edit's own
// undo history then steps to and from the held text as to and from any other edit.
namespace zandor::platform {

// The most a line edit holds: its own default limit.
inline constexpr qsizetype line_edit_limit = 32767;

class QtEntryBox final : public QLineEdit {
    Q_OBJECT

  public:
    explicit QtEntryBox(QWidget* parent = nullptr);

    // The whole text, however long; QLineEdit::text() holds only its start while it is held.
    [[nodiscard]] QString wholeText() const;
    [[nodiscard]] bool isHeld() const { return held() != nullptr; }

    // Selects from `anchor` to `cursor`, both cut to the text. A held text stays wholly
    // selected.
    void select(qsizetype anchor, qsizetype cursor);
    // Replaces the selection as a paste does, however long the result.
    void replaceSelection(const QString& with);
    // Forgets the edits behind the text. The first edit after a check calls this while it is
    // reported; its result can then still be undone, back to an empty box.
    void clearHistory();
  signals:
    void edited(); // the user changed the text

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    struct Held {
        QString text;
        QString stand_in; // the start of the text, what the line edit holds in its place
    };

    [[nodiscard]] const Held* held() const;
    [[nodiscard]] bool fits(const QString& inserted) const;
    // The whole text with the selection replaced by `inserted`, held.
    void hold_with(const QString& inserted);
    void paste_at(QPoint point, const QString& pasted);
    void settle();
    // Offers the selection to the clipboard, marked secret.
    void copySelection() const;
    void report_edit();
    void finish_history_clearing();

    std::vector<Held> held_; // every held text the line edit's history can step back to
    bool reporting_edit_ = false;
    bool clear_pending_ = false;
    bool clear_keeping_text_ = false;
};

} // namespace zandor::platform
