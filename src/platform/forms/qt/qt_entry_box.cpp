#include "platform/forms/qt/qt_entry_box.h"

#include "platform/forms/qt/qt_accessible_text.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QStyle>
#include <QStyleHints>
#include <QStyleOptionFrame>
#include <QTextLayout>

#include <algorithm>

namespace zandor::platform {
namespace {

constexpr int horizontal_margin = 2;        // between the frame and the text, as a line edit's
constexpr qsizetype surrounding_text = 512; // offered to input methods on each side of the cursor

QStyleOptionFrame frame_option(const QWidget* box) {
    QStyleOptionFrame option;
    option.initFrom(box);
    option.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    option.features = QStyleOptionFrame::None;
    return option;
}

// Lays out one line of text without wrapping.
void lay_out(QTextLayout& layout) {
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
}

// The box as screen readers see it: an editable text with its caret and selection.
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
        state.editable = true;
        state.selectableText = true;
        return state;
    }
    [[nodiscard]] QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value
                   ? accessible_text_span(box()->text(), 0, box()->text().size())
                   : QAccessibleWidget::text(kind);
    }

    void selection(int index, int* start, int* end) const override {
        const bool any = index == 0 && selectionCount() == 1;
        *start = any ? static_cast<int>(box()->selectionStart()) : 0;
        *end = any ? static_cast<int>(box()->selectionEnd()) : 0;
    }
    [[nodiscard]] int selectionCount() const override {
        return box()->selectionEnd() > box()->selectionStart() ? 1 : 0;
    }
    void addSelection(int start, int end) override { box()->select(start, end); }
    void removeSelection(int) override {
        box()->select(box()->cursorPosition(), box()->cursorPosition());
    }
    void setSelection(int, int start, int end) override { box()->select(start, end); }
    [[nodiscard]] int cursorPosition() const override {
        return static_cast<int>(box()->cursorPosition());
    }
    void setCursorPosition(int position) override { box()->select(position, position); }
    [[nodiscard]] QString text(int start, int end) const override {
        return accessible_text_span(box()->text(), start, end);
    }
    [[nodiscard]] QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary,
                                           int* start, int* end) const override {
        return accessible_text_piece(box()->text(), offset, boundary, TextSide::before, start, end);
    }
    [[nodiscard]] QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary,
                                       int* start, int* end) const override {
        return accessible_text_piece(box()->text(), offset, boundary, TextSide::at, start, end);
    }
    [[nodiscard]] QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary,
                                          int* start, int* end) const override {
        return accessible_text_piece(box()->text(), offset, boundary, TextSide::after, start, end);
    }
    [[nodiscard]] int characterCount() const override {
        return static_cast<int>(box()->text().size());
    }
    [[nodiscard]] QRect characterRect(int offset) const override {
        const QRect r = box()->characterRect(offset);
        return r.isValid() ? QRect(box()->mapToGlobal(r.topLeft()), r.size()) : QRect();
    }
    [[nodiscard]] int offsetAtPoint(const QPoint& point) const override {
        return static_cast<int>(box()->positionAt(box()->mapFromGlobal(point)));
    }
    void scrollToSubstring(int start, int) override { box()->select(start, start); }
    [[nodiscard]] QString attributes(int offset, int* start, int* end) const override {
        *start = *end = offset;
        return {};
    }

    void deleteText(int start, int end) override { replaceText(start, end, {}); }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString& text) override {
        box()->select(start, end);
        box()->insert(text);
    }

  private:
    [[nodiscard]] QtEntryBox* box() const { return static_cast<QtEntryBox*>(widget()); }
};

QAccessibleInterface* entry_box_accessible(const QString&, QObject* object) {
    if (auto* box = qobject_cast<QtEntryBox*>(object))
        return new EntryBoxAccessible(box);
    return nullptr;
}

} // namespace

QtEntryBox::QtEntryBox(QWidget* parent) : QWidget(parent) {
    static const bool factory_installed = (QAccessible::installFactory(entry_box_accessible), true);
    (void)factory_installed;
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setCursor(Qt::IBeamCursor);
    setBackgroundRole(QPalette::Base);
}

QString QtEntryBox::selectedText() const {
    return text_.mid(selectionStart(), selectionEnd() - selectionStart());
}

void QtEntryBox::select(qsizetype anchor, qsizetype cursor) {
    const qsizetype previous_start = selectionStart();
    const qsizetype previous_end = selectionEnd();
    anchor_ = std::clamp<qsizetype>(anchor, 0, text_.size());
    place_cursor(cursor, true, previous_start, previous_end);
}

void QtEntryBox::clearHistory() {
    undo_.clear();
    redo_.clear();
    last_was_typing_ = false;
}

void QtEntryBox::insert(const QString& text) {
    replace(selectionStart(), selectionEnd(), text, text.size() == 1);
}

void QtEntryBox::deleteSelection() {
    replace(selectionStart(), selectionEnd(), {}, false);
}

void QtEntryBox::undo() {
    if (undo_.empty())
        return;
    redo_.push_back(std::move(undo_.back()));
    undo_.pop_back();
    apply(redo_.back(), false);
}

void QtEntryBox::redo() {
    if (redo_.empty())
        return;
    undo_.push_back(std::move(redo_.back()));
    redo_.pop_back();
    apply(undo_.back(), true);
}

void QtEntryBox::cut() {
    copy();
    deleteSelection();
}

// Marked as a secret, which clipboard managers and histories leave out, as they do passwords.
void QtEntryBox::copy() const {
    if (selectionEnd() <= selectionStart())
        return;
    auto* secret = new QMimeData;
    secret->setText(selectedText());
    secret->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
    QGuiApplication::clipboard()->setMimeData(secret, QClipboard::Clipboard);
}

void QtEntryBox::paste() {
    const QString pasted = QGuiApplication::clipboard()->text(QClipboard::Clipboard);
    if (!pasted.isEmpty() || selectionEnd() > selectionStart())
        replace(selectionStart(), selectionEnd(), pasted, false);
}

// Every change of the text goes through here, recorded for undo; typing merges into one step.
void QtEntryBox::replace(qsizetype start, qsizetype end, const QString& with, bool typing) {
    if (start == end && with.isEmpty())
        return;
    const bool continues_typing = typing && last_was_typing_;
    Edit edit{start, text_.mid(start, end - start), with};
    apply(edit, true);
    Edit* last = undo_.empty() ? nullptr : &undo_.back();
    if (continues_typing && last != nullptr && edit.removed.isEmpty() &&
        last->position + last->inserted.size() == start)
        last->inserted += with;
    else
        undo_.push_back(std::move(edit));
    redo_.clear();
    last_was_typing_ = typing;
    emit edited();
}

void QtEntryBox::apply(const Edit& edit, bool forward) {
    const qsizetype previous_start = selectionStart();
    const qsizetype previous_end = selectionEnd();
    const QString& removed = forward ? edit.removed : edit.inserted;
    const QString& inserted = forward ? edit.inserted : edit.removed;
    if (edit.position == 0 && removed.size() == text_.size())
        text_ = inserted; // the whole text: shares the string rather than copying it
    else
        text_.replace(edit.position, removed.size(), inserted);
    if (QAccessible::isActive()) {
        // A screen reader is told a bounded piece of a huge change, not megabytes.
        if (!removed.isEmpty()) {
            QAccessibleTextRemoveEvent event(this, static_cast<int>(edit.position),
                                             accessible_text_span(removed, 0, removed.size()));
            QAccessible::updateAccessibility(&event);
        }
        if (!inserted.isEmpty()) {
            QAccessibleTextInsertEvent event(this, static_cast<int>(edit.position),
                                             accessible_text_span(inserted, 0, inserted.size()));
            QAccessible::updateAccessibility(&event);
        }
    }
    scroll_ = std::min(scroll_, text_.size());
    anchor_ = edit.position + inserted.size();
    place_cursor(anchor_, true, previous_start, previous_end);
    last_was_typing_ = false;
}

void QtEntryBox::move_to(qsizetype position, bool keep_anchor) {
    place_cursor(position, keep_anchor, selectionStart(), selectionEnd());
}

// Screen readers hear of a change of the selection as it was before the event that moved the
// cursor, not as the event left it halfway.
void QtEntryBox::place_cursor(qsizetype position, bool keep_anchor, qsizetype previous_start,
                              qsizetype previous_end) {
    cursor_ = std::clamp<qsizetype>(position, 0, text_.size());
    if (!keep_anchor)
        anchor_ = cursor_;
    last_was_typing_ = false;
    scroll_to_cursor();
    restart_blink();
    update();
    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent moved(this, static_cast<int>(cursor_));
        QAccessible::updateAccessibility(&moved);
        // A caret that moves without a selection before or after selects nothing.
        const bool selecting = previous_end > previous_start || selectionEnd() > selectionStart();
        if (selecting && (selectionStart() != previous_start || selectionEnd() != previous_end)) {
            QAccessibleTextSelectionEvent selected(this, static_cast<int>(selectionStart()),
                                                   static_cast<int>(selectionEnd()));
            QAccessible::updateAccessibility(&selected);
        }
    }
}

// The next word boundary from a position: words are runs of letters and digits.
qsizetype QtEntryBox::word_boundary(qsizetype from, int direction) const {
    qsizetype at = from;
    auto in_word = [&](qsizetype i) { return text_.at(i).isLetterOrNumber(); };
    if (direction > 0) {
        while (at < text_.size() && !in_word(at))
            ++at;
        while (at < text_.size() && in_word(at))
            ++at;
    } else {
        while (at > 0 && !in_word(at - 1))
            --at;
        while (at > 0 && in_word(at - 1))
            --at;
    }
    return at;
}

QRect QtEntryBox::contents() const {
    const QStyleOptionFrame option = frame_option(this);
    return style()
        ->subElementRect(QStyle::SE_LineEditContents, &option, this)
        .adjusted(horizontal_margin, 0, -horizontal_margin, 0);
}

// No character is narrower than a pixel: the box never lays out more than it has pixels.
qsizetype QtEntryBox::visible_count() const {
    return std::min<qsizetype>(text_.size() - scroll_, contents().width() + 2);
}

void QtEntryBox::scroll_to_cursor() {
    const int width = std::max(contents().width(), 1);
    const QFontMetrics metrics(font());
    if (cursor_ < scroll_) {
        scroll_ = cursor_;
    } else if (cursor_ - scroll_ > width ||
               metrics.horizontalAdvance(text_.mid(scroll_, cursor_ - scroll_)) > width) {
        // The first character from which the text up to the cursor fits.
        qsizetype start = cursor_;
        while (start > 0 && cursor_ - start < width &&
               metrics.horizontalAdvance(text_.mid(start - 1, cursor_ - start + 1)) <= width)
            --start;
        scroll_ = start;
    }
    if (scroll_ > 0 && scroll_ < text_.size() && text_.at(scroll_).isLowSurrogate())
        --scroll_;
}

void QtEntryBox::restart_blink() {
    cursor_shown_ = true;
    if (blink_timer_ != 0)
        killTimer(blink_timer_);
    blink_timer_ = 0;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (hasFocus() && flash > 0)
        blink_timer_ = startTimer(flash / 2);
}

void QtEntryBox::timerEvent(QTimerEvent* event) {
    if (event->timerId() != blink_timer_)
        return QWidget::timerEvent(event);
    cursor_shown_ = !cursor_shown_;
    update();
}

QSize QtEntryBox::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(QLatin1Char('x')) * 17 + 2 * horizontal_margin,
            metrics.height() + 6};
}

void QtEntryBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QStyleOptionFrame panel = frame_option(this);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);

    const QRect area = contents();
    const qsizetype count = visible_count();
    const qsizetype cursor = std::clamp<qsizetype>(cursor_ - scroll_, 0, count);
    QString shown = text_.mid(scroll_, count);
    QList<QTextLayout::FormatRange> formats;
    if (!preedit_.isEmpty()) {
        shown.insert(cursor, preedit_);
        QTextLayout::FormatRange composing{
            static_cast<int>(cursor), static_cast<int>(preedit_.size()), {}};
        composing.format.setFontUnderline(true);
        formats.append(composing);
    } else if (selectionEnd() > selectionStart()) {
        const qsizetype start = std::clamp<qsizetype>(selectionStart() - scroll_, 0, count);
        const qsizetype end = std::clamp<qsizetype>(selectionEnd() - scroll_, 0, count);
        QTextLayout::FormatRange selected{
            static_cast<int>(start), static_cast<int>(end - start), {}};
        const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
        selected.format.setBackground(palette().brush(group, QPalette::Highlight));
        selected.format.setForeground(palette().brush(group, QPalette::HighlightedText));
        formats.append(selected);
    }
    QTextLayout layout(shown, font());
    lay_out(layout);
    const QFontMetrics metrics(font());
    const QPointF origin(area.left(), area.top() + (area.height() - metrics.height() + 1) / 2);
    painter.setClipRect(area);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    layout.draw(&painter, origin, formats);
    if (hasFocus() && cursor_shown_)
        layout.drawCursor(&painter, origin, static_cast<int>(cursor + preedit_.size()));
}

qsizetype QtEntryBox::positionAt(QPoint point) const {
    QTextLayout layout(text_.mid(scroll_, visible_count()), font());
    lay_out(layout);
    return scroll_ + layout.lineAt(0).xToCursor(point.x() - contents().left());
}

QRect QtEntryBox::characterRect(qsizetype position) const {
    const qsizetype count = visible_count();
    if (position < scroll_ || position > scroll_ + count)
        return {};
    QTextLayout layout(text_.mid(scroll_, count), font());
    lay_out(layout);
    const QTextLine line = layout.lineAt(0);
    const QRect area = contents();
    const auto left = static_cast<int>(line.cursorToX(static_cast<int>(position - scroll_)));
    const auto right =
        position < text_.size()
            ? static_cast<int>(line.cursorToX(static_cast<int>(position - scroll_ + 1)))
            : left + 1;
    return {area.left() + left, area.top(), std::max(right - left, 1), area.height()};
}

void QtEntryBox::keyPressEvent(QKeyEvent* event) {
    const bool has_selection = selectionEnd() > selectionStart();
    auto next = [&](qsizetype at) {
        return at < text_.size() && text_.at(at).isHighSurrogate() ? at + 2 : at + 1;
    };
    auto previous = [&](qsizetype at) {
        return at > 1 && text_.at(at - 1).isLowSurrogate() ? at - 2 : at - 1;
    };
    if (event->matches(QKeySequence::Undo)) {
        undo();
    } else if (event->matches(QKeySequence::Redo)) {
        redo();
    } else if (event->matches(QKeySequence::Copy)) {
        copy();
    } else if (event->matches(QKeySequence::Cut)) {
        cut();
    } else if (event->matches(QKeySequence::Paste)) {
        paste();
    } else if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
    } else if (event->matches(QKeySequence::MoveToNextChar)) {
        move_to(has_selection ? selectionEnd() : next(cursor_), false);
    } else if (event->matches(QKeySequence::MoveToPreviousChar)) {
        move_to(has_selection ? selectionStart() : previous(cursor_), false);
    } else if (event->matches(QKeySequence::SelectNextChar)) {
        move_to(next(cursor_), true);
    } else if (event->matches(QKeySequence::SelectPreviousChar)) {
        move_to(previous(cursor_), true);
    } else if (event->matches(QKeySequence::MoveToNextWord) ||
               event->matches(QKeySequence::SelectNextWord)) {
        move_to(word_boundary(cursor_, 1), event->matches(QKeySequence::SelectNextWord));
    } else if (event->matches(QKeySequence::MoveToPreviousWord) ||
               event->matches(QKeySequence::SelectPreviousWord)) {
        move_to(word_boundary(cursor_, -1), event->matches(QKeySequence::SelectPreviousWord));
    } else if (event->matches(QKeySequence::MoveToStartOfLine) ||
               event->matches(QKeySequence::MoveToStartOfDocument)) {
        move_to(0, false);
    } else if (event->matches(QKeySequence::MoveToEndOfLine) ||
               event->matches(QKeySequence::MoveToEndOfDocument)) {
        move_to(text_.size(), false);
    } else if (event->matches(QKeySequence::SelectStartOfLine) ||
               event->matches(QKeySequence::SelectStartOfDocument)) {
        move_to(0, true);
    } else if (event->matches(QKeySequence::SelectEndOfLine) ||
               event->matches(QKeySequence::SelectEndOfDocument)) {
        move_to(text_.size(), true);
    } else if (event->matches(QKeySequence::DeleteStartOfWord)) {
        replace(has_selection ? selectionStart() : word_boundary(cursor_, -1),
                has_selection ? selectionEnd() : cursor_, {}, false);
    } else if (event->matches(QKeySequence::DeleteEndOfWord)) {
        replace(has_selection ? selectionStart() : cursor_,
                has_selection ? selectionEnd() : word_boundary(cursor_, 1), {}, false);
    } else if (event->matches(QKeySequence::Delete)) {
        replace(has_selection ? selectionStart() : cursor_,
                has_selection ? selectionEnd() : std::min(next(cursor_), text_.size()), {}, false);
    } else if (event->key() == Qt::Key_Backspace) {
        replace(has_selection ? selectionStart() : std::max<qsizetype>(previous(cursor_), 0),
                has_selection ? selectionEnd() : cursor_, {}, false);
    } else if (!event->text().isEmpty() &&
               event->text().front().category() != QChar::Other_Control &&
               !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        replace(selectionStart(), selectionEnd(), event->text(), true);
    } else {
        event->ignore(); // Enter, Escape and the rest belong to the window
        return;
    }
    event->accept();
}

void QtEntryBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        move_to(positionAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
    else
        QWidget::mousePressEvent(event);
}

void QtEntryBox::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton)
        move_to(positionAt(event->position().toPoint()), true);
}

void QtEntryBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const qsizetype at = positionAt(event->position().toPoint());
    select(word_boundary(at, -1), word_boundary(at, 1));
}

void QtEntryBox::contextMenuEvent(QContextMenuEvent* event) {
    const bool has_selection = selectionEnd() > selectionStart();
    QMenu menu(this);
    auto add = [&](const QString& name, QKeySequence::StandardKey key, bool enabled, auto action) {
        QAction* item = menu.addAction(name, this, action);
        item->setShortcut(key);
        item->setEnabled(enabled);
    };
    // The names and access keys of Qt's own line edit. Whether there is text to paste is
    // asked of the clipboard's formats, without fetching the text.
    const QMimeData* offered = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    add(tr("&Undo"), QKeySequence::Undo, !undo_.empty(), [this] { undo(); });
    add(tr("&Redo"), QKeySequence::Redo, !redo_.empty(), [this] { redo(); });
    menu.addSeparator();
    add(tr("Cu&t"), QKeySequence::Cut, has_selection, [this] { cut(); });
    add(tr("&Copy"), QKeySequence::Copy, has_selection, [this] { copy(); });
    add(tr("&Paste"), QKeySequence::Paste, offered != nullptr && offered->hasText(),
        [this] { paste(); });
    add(tr("Delete"), QKeySequence::Delete, has_selection, [this] { deleteSelection(); });
    menu.addSeparator();
    add(tr("Select All"), QKeySequence::SelectAll, !text_.isEmpty(), [this] { selectAll(); });
    menu.exec(event->globalPos());
}

void QtEntryBox::inputMethodEvent(QInputMethodEvent* event) {
    qsizetype start = selectionStart();
    qsizetype end = selectionEnd();
    if (event->replacementLength() > 0 && start == end) {
        start = std::clamp<qsizetype>(cursor_ + event->replacementStart(), 0, text_.size());
        end = std::clamp<qsizetype>(start + event->replacementLength(), 0, text_.size());
    }
    if (!event->commitString().isEmpty() || end > start)
        replace(start, end, event->commitString(), true);
    preedit_ = event->preeditString();
    update();
    event->accept();
}

QVariant QtEntryBox::inputMethodQuery(Qt::InputMethodQuery query) const {
    // Input methods see the text near the cursor, never the whole of a huge entry.
    const qsizetype around = std::max<qsizetype>(cursor_ - surrounding_text, 0);
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImHints:
        return static_cast<int>(inputMethodHints());
    case Qt::ImCursorRectangle: {
        const QRect r = characterRect(cursor_);
        return r.isValid() ? QRect(r.topLeft(), QSize(1, r.height())) : contents();
    }
    case Qt::ImFont:
        return font();
    case Qt::ImSurroundingText:
        return text_.mid(around, 2 * surrounding_text);
    case Qt::ImCursorPosition:
        return static_cast<int>(cursor_ - around);
    case Qt::ImAnchorPosition:
        return static_cast<int>(std::clamp<qsizetype>(anchor_ - around, 0, 2 * surrounding_text));
    case Qt::ImCurrentSelection:
        return selectedText().left(2 * surrounding_text);
    case Qt::ImReadOnly:
        return false;
    default:
        return QWidget::inputMethodQuery(query);
    }
}

void QtEntryBox::focusInEvent(QFocusEvent* event) {
    // Moving in with Tab selects the whole entry, as in a line edit.
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
        selectAll();
    restart_blink();
    update();
    QWidget::focusInEvent(event);
}

void QtEntryBox::focusOutEvent(QFocusEvent* event) {
    if (blink_timer_ != 0)
        killTimer(blink_timer_);
    blink_timer_ = 0;
    update();
    QWidget::focusOutEvent(event);
}

} // namespace zandor::platform
