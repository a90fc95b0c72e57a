#include "platform/forms/qt/qt_entry_box_accessible.h"

#include "platform/forms/qt/qt_entry_box.h"

#include <QAccessibleWidget>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace zandor::platform {
namespace {

// Qt 6.4's textAtOffset never returns for a word or sentence at the text's end, or at its
// start when no word or sentence starts there. The window of Orca's text review froze on it.
bool never_answers(const QString& text, int offset, QAccessible::TextBoundaryType boundary) {
    const bool word = boundary == QAccessible::WordBoundary;
    if ((!word && boundary != QAccessible::SentenceBoundary) || text.isEmpty() ||
        (offset != 0 && offset != text.size()))
        return false;
    QTextBoundaryFinder finder(word ? QTextBoundaryFinder::Word : QTextBoundaryFinder::Sentence,
                               text);
    finder.setPosition(offset);
    const auto edges = QTextBoundaryFinder::StartOfItem | QTextBoundaryFinder::EndOfItem;
    return (offset != 0) == ((finder.boundaryReasons() & edges) != 0); // an edge at the end only
}

class EntryBoxAccessible final : public QAccessibleWidget,
                                 public QAccessibleTextInterface,
                                 public QAccessibleEditableTextInterface {
  public:
    explicit EntryBoxAccessible(QtEntryBox* box)
        : QAccessibleWidget(box, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    [[nodiscard]] QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = state.selectableText = true;
        return state;
    }
    [[nodiscard]] QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? text(0, characterCount())
                                          : QAccessibleWidget::text(kind);
    }

    // As a line edit's own interface answers: from -1 when nothing is selected.
    // A held text is wholly selected, with the caret at its start.
    void selection(int index, int* start, int* end) const override {
        const bool held = box()->isHeld();
        *start = index != 0 || held ? 0 : box()->hasSelectedText() ? box()->selectionStart() : -1;
        *end = index != 0 ? 0
               : held     ? characterCount()
                          : *start + static_cast<int>(box()->selectedText().size());
    }
    [[nodiscard]] int selectionCount() const override {
        return box()->isHeld() || box()->hasSelectedText() ? 1 : 0;
    }
    void addSelection(int start, int end) override { box()->select(start, end); }
    void removeSelection(int) override { setCursorPosition(cursorPosition()); }
    void setSelection(int, int start, int end) override { box()->select(start, end); }
    [[nodiscard]] int cursorPosition() const override {
        return box()->isHeld() ? 0 : box()->cursorPosition();
    }
    void setCursorPosition(int position) override { box()->select(position, position); }

    // Within a query the text is its window; a held text is handed out in bounded pieces.
    [[nodiscard]] QString text(int start, int end) const override {
        const QString whole = window_ != nullptr ? *window_ : box()->wholeText();
        const qsizetype from = std::clamp<qsizetype>(start, 0, whole.size());
        const qsizetype to = std::clamp<qsizetype>(end, from, whole.size());
        const bool in_pieces = window_ == nullptr && box()->isHeld();
        return whole.mid(from, in_pieces ? std::min(to - from, accessible_piece_limit) : to - from);
    }
    [[nodiscard]] int characterCount() const override {
        return static_cast<int>(window_ != nullptr ? window_->size() : box()->wholeText().size());
    }
    [[nodiscard]] QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary,
                                           int* start, int* end) const override {
        return in_window(offset, start, end, [&](int at, int* s, int* e) {
            return QAccessibleTextInterface::textBeforeOffset(at, boundary, s, e);
        });
    }
    [[nodiscard]] QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary,
                                       int* start, int* end) const override {
        return in_window(offset, start, end, [&](int at, int* s, int* e) {
            if (!never_answers(*window_, at, boundary))
                return QAccessibleTextInterface::textAtOffset(at, boundary, s, e);
            *s = *e = at;
            return QString();
        });
    }
    [[nodiscard]] QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary,
                                          int* start, int* end) const override {
        return in_window(offset, start, end, [&](int at, int* s, int* e) {
            return QAccessibleTextInterface::textAfterOffset(at, boundary, s, e);
        });
    }

    // Measured from the caret, where the line edit draws it; nothing past a held text's start.
    [[nodiscard]] QRect characterRect(int offset) const override {
        const QString shown = box()->text();
        if (offset < 0 || offset > shown.size())
            return {};
        const QFontMetrics metrics = box()->fontMetrics();
        const QRect caret = box()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int left = caret.center().x() + metrics.horizontalAdvance(shown.left(offset)) -
                         metrics.horizontalAdvance(shown.left(box()->cursorPosition()));
        return {
            box()->mapToGlobal(QPoint(left, caret.top())),
            QSize(std::max(metrics.horizontalAdvance(shown.mid(offset, 1)), 1), caret.height())};
    }
    [[nodiscard]] int offsetAtPoint(const QPoint& point) const override {
        return box()->cursorPositionAt(box()->mapFromGlobal(point));
    }
    void scrollToSubstring(int start, int) override { setCursorPosition(start); }
    [[nodiscard]] QString attributes(int offset, int* start, int* end) const override {
        *start = *end = offset;
        return {};
    }

    void deleteText(int start, int end) override { replaceText(start, end, {}); }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString& text) override {
        box()->select(start, end);
        box()->replaceSelection(text);
    }

  private:
    [[nodiscard]] QtEntryBox* box() const { return static_cast<QtEntryBox*>(widget()); }

    // Qt's own answer, worked out on the whole of a text a line edit holds and on a window
    // around the offset of a held one.
    template <typename Query>
    QString in_window(int offset, int* start, int* end, Query query) const {
        const QString whole = box()->wholeText();
        offset = offset == -1 ? static_cast<int>(whole.size()) : offset;
        const bool held = box()->isHeld();
        const qsizetype first =
            held ? std::clamp<qsizetype>(offset - accessible_piece_limit / 2, 0, whole.size()) : 0;
        const QString window = held ? whole.mid(first, accessible_piece_limit) : whole;
        window_ = &window;
        const QString found = query(offset - static_cast<int>(first), start, end);
        window_ = nullptr;
        for (int* edge : {start, end})
            if (*edge >= 0)
                *edge += static_cast<int>(first);
        return found;
    }

    mutable const QString* window_ = nullptr;
};

} // namespace

QAccessibleInterface* entry_box_accessible(const QString&, QObject* object) {
    if (auto* box = qobject_cast<QtEntryBox*>(object))
        return new EntryBoxAccessible(box);
    return nullptr;
}

} // namespace zandor::platform
