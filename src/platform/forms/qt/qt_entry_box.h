#pragma once

#include <QString>
#include <QWidget>

#include <vector>

// A single-line text box that lays out only the characters it can show, so that an entry of
// any length (a paste of many megabytes) is edited, checked and drawn without delay. It does
// what a user expects of a text box: typing, cursor keys, selection with keys and mouse,
// clipboard, undo within the entry, a context menu, input methods and screen readers. It
// never offers its text to the X11 PRIMARY selection.
namespace zandor::platform {

class QtEntryBox final : public QWidget {
    Q_OBJECT

  public:
    explicit QtEntryBox(QWidget* parent = nullptr);

    [[nodiscard]] const QString& text() const { return text_; }
    [[nodiscard]] qsizetype cursorPosition() const { return cursor_; }
    [[nodiscard]] qsizetype selectionStart() const { return std::min(cursor_, anchor_); }
    [[nodiscard]] qsizetype selectionEnd() const { return std::max(cursor_, anchor_); }
    [[nodiscard]] QString selectedText() const;
    // Selects from `anchor` to `cursor`, both cut to the text.
    void select(qsizetype anchor, qsizetype cursor);
    void clearHistory();

    void insert(const QString& text); // replaces the selection, as typing does
    void undo();
    void redo();
    void cut();
    void copy() const;
    void paste();
    void deleteSelection();
    void selectAll() { select(0, text_.size()); }

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    // The position of a point in the box, for the mouse and screen readers.
    [[nodiscard]] qsizetype positionAt(QPoint point) const;
    [[nodiscard]] QRect characterRect(qsizetype position) const;

  signals:
    void edited(); // the user changed the text

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    struct Edit {
        qsizetype position;
        QString removed;
        QString inserted;
    };
    void replace(qsizetype start, qsizetype end, const QString& with, bool typing);
    void apply(const Edit& edit, bool forward);
    void move_to(qsizetype position, bool keep_anchor);
    void place_cursor(qsizetype position, bool keep_anchor, qsizetype previous_start,
                      qsizetype previous_end);
    [[nodiscard]] qsizetype word_boundary(qsizetype from, int direction) const;
    [[nodiscard]] QRect contents() const;
    [[nodiscard]] qsizetype visible_count() const;
    void scroll_to_cursor();
    void restart_blink();

    QString text_;
    QString preedit_; // text an input method is composing, shown at the cursor
    qsizetype cursor_ = 0;
    qsizetype anchor_ = 0;
    qsizetype scroll_ = 0; // the first character shown
    std::vector<Edit> undo_;
    std::vector<Edit> redo_;
    bool last_was_typing_ = false;
    bool cursor_shown_ = true;
    int blink_timer_ = 0;
};

} // namespace zandor::platform
