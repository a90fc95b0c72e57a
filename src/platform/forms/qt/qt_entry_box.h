#pragma once

#include <QLineEdit>
#include <QString>

#include <cstdint>
#include <vector>

// The entry box: Qt's own line edit, so that it edits as every text field does, with what this
// program adds. Copies are marked secret for clipboard managers, the text is never offered to
// the X11 PRIMARY selection, and screen readers get our own text interface.
//
// A text longer than a line edit holds (a paste of megabytes) is held beside it, whole and
// wholly selected, while the line edit shows its start as a stand-in: the line edit's own
// undo history then steps to and from the held text as to and from any other edit. Each
// stand-in ends in a mark that names its held text and that no way of entering text can
// produce (unpaired UTF-16 surrogates, which every decoder replaces), so the box knows which
// text it holds, if any, from the mark alone; an entry holding one still reads as no number.
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
    // How many long texts the box keeps: those undo or redo can still bring back.
    [[nodiscard]] std::size_t heldTexts() const { return held_.size(); }

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
        QString stand_in; // the start of the text and its mark: what the line edit holds
        std::uint32_t id;
    };

    [[nodiscard]] const Held* held() const;
    // Undo or redo, as the line edit does them, keeping count of the stand-ins they step over.
    void step_history(bool back);
    void text_changed();
    void let_go();
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
    // The held texts whose stand-ins the line edit's history inserts, in order, and how many of
    // those insertions undo has not taken back; the rest are redo's.
    std::vector<std::uint32_t> trail_;
    std::size_t trail_done_ = 0;
    std::uint32_t next_id_ = 0;
    bool stepping_history_ = false;
    bool reporting_edit_ = false;
    bool clear_pending_ = false;
    bool clear_keeping_text_ = false;
};

} // namespace zandor::platform
