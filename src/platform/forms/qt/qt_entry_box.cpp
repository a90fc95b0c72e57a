#include "platform/forms/qt/qt_entry_box.h"

#include "platform/forms/qt/qt_accessible_text.h"
#include "platform/forms/qt/qt_long_entry.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QStyle>
#include <QStyleHints>
#include <QStyleOptionFrame>
#include <QTextLayout>

namespace zandor::platform {
namespace {

constexpr int horizontal_margin = 2; // between the contents and the text, as a line edit draws

// The box as screen readers see it: an editable text with its caret and selection, however
// long the text.
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
        if (kind != QAccessible::Value)
            return QAccessibleWidget::text(kind);
        const QString whole = box()->wholeText();
        return accessible_text_span(whole, 0, whole.size());
    }

    // As a line edit's own interface answers: from -1 when nothing is selected.
    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index != 0)
            return;
        const qsizetype length = box()->wholeSelectionEnd() - box()->wholeSelectionStart();
        *start = length > 0 ? static_cast<int>(box()->wholeSelectionStart()) : -1;
        *end = *start + static_cast<int>(length);
    }
    [[nodiscard]] int selectionCount() const override {
        return box()->wholeSelectionEnd() > box()->wholeSelectionStart() ? 1 : 0;
    }
    void addSelection(int start, int end) override { box()->select(start, end); }
    void removeSelection(int) override {
        box()->select(box()->wholeCursor(), box()->wholeCursor());
    }
    void setSelection(int, int start, int end) override { box()->select(start, end); }
    [[nodiscard]] int cursorPosition() const override {
        return static_cast<int>(box()->wholeCursor());
    }
    void setCursorPosition(int position) override { box()->select(position, position); }
    [[nodiscard]] QString text(int start, int end) const override {
        return accessible_text_span(box()->wholeText(), start, end);
    }
    [[nodiscard]] QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary,
                                           int* start, int* end) const override {
        return accessible_text_piece(box()->wholeText(), offset, boundary, TextSide::before, start,
                                     end);
    }
    [[nodiscard]] QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary,
                                       int* start, int* end) const override {
        return accessible_text_piece(box()->wholeText(), offset, boundary, TextSide::at, start,
                                     end);
    }
    [[nodiscard]] QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary,
                                          int* start, int* end) const override {
        return accessible_text_piece(box()->wholeText(), offset, boundary, TextSide::after, start,
                                     end);
    }
    [[nodiscard]] int characterCount() const override {
        return static_cast<int>(box()->wholeText().size());
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
        box()->replaceSelection(text);
    }

  private:
    [[nodiscard]] QtEntryBox* box() const { return static_cast<QtEntryBox*>(widget()); }
};

QAccessibleInterface* entry_box_accessible(const QString&, QObject* object) {
    if (auto* box = qobject_cast<QtEntryBox*>(object))
        return new EntryBoxAccessible(box);
    return nullptr;
}

// A shortcut as a line edit's context menu shows it after an item's name.
QString shortcut_suffix(QKeySequence::StandardKey key) {
    if (!QGuiApplication::styleHints()->showShortcutsInContextMenus())
        return {};
    return QLatin1Char('\t') + QKeySequence(key).toString(QKeySequence::NativeText);
}

// The line edit offers every selection to X11's PRIMARY as it is made; this box takes it back
// before anyone can read it, within the same event.
void withhold_primary() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection() && clipboard->ownsSelection())
        clipboard->clear(QClipboard::Selection);
}

enum EditAction { undo_edit, redo_edit, cut_edit, copy_edit, paste_edit, delete_edit, select_all };

} // namespace

QtEntryBox::QtEntryBox(QWidget* parent, qsizetype limit) : QLineEdit(parent), limit_(limit) {
    static const bool factory_installed = (QAccessible::installFactory(entry_box_accessible), true);
    (void)factory_installed;
    setMaxLength(static_cast<int>(limit_));
    connect(this, &QLineEdit::textEdited, this, [this] {
        if (!clearing_history_)
            report_edit();
    });
}

QtEntryBox::~QtEntryBox() = default;

QString QtEntryBox::wholeText() const {
    return long_ ? long_->text() : text();
}

qsizetype QtEntryBox::wholeCursor() const {
    return long_ ? long_->cursor() : cursorPosition();
}

qsizetype QtEntryBox::wholeSelectionStart() const {
    if (long_)
        return long_->selection_start();
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

qsizetype QtEntryBox::wholeSelectionEnd() const {
    if (long_)
        return long_->selection_end();
    // The line edit's own count, which holds when its selection starts before the text.
    return hasSelectedText() ? selectionStart() + selectedText().size() : cursorPosition();
}

void QtEntryBox::select(qsizetype anchor, qsizetype cursor) {
    if (long_)
        return long_->select(anchor, cursor);
    const qsizetype size = text().size();
    anchor = std::clamp<qsizetype>(anchor, 0, size);
    cursor = std::clamp<qsizetype>(cursor, 0, size);
    if (anchor == cursor)
        setCursorPosition(static_cast<int>(cursor));
    else
        setSelection(static_cast<int>(anchor), static_cast<int>(cursor - anchor));
}

bool QtEntryBox::fits_after_replacing_selection(const QString& with) const {
    return text().size() - selectionLength() + with.size() <= limit_;
}

void QtEntryBox::replaceSelection(const QString& with) {
    if (long_) {
        long_->replace_selection(with, false);
        after_long_event();
    } else if (fits_after_replacing_selection(with)) {
        insert(with);
    } else {
        go_long(with);
    }
    finish_history_clearing();
}

// Hands the text, with its cursor and selection, to a long entry.
void QtEntryBox::enter_long() {
    const qsizetype start = wholeSelectionStart();
    const qsizetype end = wholeSelectionEnd();
    const qsizetype cursor = cursorPosition();
    deselect(); // the line edit keeps its text out of sight, with nothing selected
    long_ = std::make_unique<LongEntry>(*this, text(), cursor);
    long_->select(cursor == start ? end : start, cursor);
}

// A long entry makes the edit that would not fit.
void QtEntryBox::go_long(const QString& with) {
    enter_long();
    long_->replace_selection(with, false);
    after_long_event();
}

// Back to the line edit once the text fits it. Its history starts anew.
void QtEntryBox::after_long_event() {
    const bool edited = long_->take_edited();
    if (long_->text().size() <= limit_) {
        const QString text = long_->text();
        const qsizetype cursor = long_->cursor();
        const qsizetype anchor =
            cursor == long_->selection_start() ? long_->selection_end() : long_->selection_start();
        long_.reset();
        setText(text);
        select(anchor, cursor);
    }
    update();
    if (edited)
        report_edit();
}

void QtEntryBox::report_edit() {
    reporting_edit_ = true;
    emit edited();
    reporting_edit_ = false;
}

// Called while an edit is reported, the clearing waits until the line edit has finished that
// edit, then records the text as typed into an empty box.
void QtEntryBox::clearHistory() {
    clear_keeping_text_ = reporting_edit_;
    clear_pending_ = true;
    if (!reporting_edit_)
        finish_history_clearing();
}

void QtEntryBox::finish_history_clearing() {
    if (!clear_pending_)
        return;
    clear_pending_ = false;
    if (long_)
        return long_->clear_history(clear_keeping_text_);
    const QString whole = text();
    const qsizetype cursor = cursorPosition();
    const qsizetype anchor =
        cursor == wholeSelectionStart() ? wholeSelectionEnd() : wholeSelectionStart();
    clearing_history_ = true;
    if (clear_keeping_text_ && !whole.isEmpty()) {
        setText({});
        insert(whole);
    } else {
        setText(whole); // a line edit forgets its history when its text is set
    }
    select(anchor, cursor);
    clearing_history_ = false;
}

// Marked as a secret, which clipboard managers and histories leave out, as they do passwords.
void QtEntryBox::copySelection() const {
    const QString selected = long_ ? long_->selected_text() : selectedText();
    if (selected.isEmpty())
        return;
    auto* secret = new QMimeData;
    secret->setText(selected);
    secret->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
    QGuiApplication::clipboard()->setMimeData(secret, QClipboard::Clipboard);
}

QRect QtEntryBox::textArea() const {
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    return style()
        ->subElementRect(QStyle::SE_LineEditContents, &panel, this)
        .marginsRemoved(textMargins())
        .adjusted(horizontal_margin, 0, -horizontal_margin, 0);
}

QRect QtEntryBox::characterRect(qsizetype position) const {
    if (long_)
        return long_->character_rect(position);
    const QString shown = text();
    if (position < 0 || position > shown.size())
        return {};
    // The line edit's own layout of its text, placed where its caret is drawn.
    QTextLayout layout(shown, font());
    lay_out_line(layout);
    const QTextLine line = layout.lineAt(0);
    const QRect caret = cursorRect();
    const qreal origin = caret.center().x() - line.cursorToX(cursorPosition());
    const auto left = static_cast<int>(origin + line.cursorToX(static_cast<int>(position)));
    const auto right =
        position < shown.size()
            ? static_cast<int>(origin + line.cursorToX(static_cast<int>(position + 1)))
            : left + 1;
    const QRect area = textArea();
    return {std::min(left, right), area.top(), std::max(std::abs(right - left), 1), area.height()};
}

qsizetype QtEntryBox::positionAt(QPoint point) {
    return long_ ? long_->position_at(point) : cursorPositionAt(point);
}

QVariant QtEntryBox::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (long_) {
        const QVariant answer = long_->input_method_query(query);
        if (answer.isValid())
            return answer;
    }
    return QLineEdit::inputMethodQuery(query);
}

bool QtEntryBox::event(QEvent* event) {
    const bool handled = QLineEdit::event(event);
    withhold_primary();
    finish_history_clearing();
    return handled;
}

void QtEntryBox::paintEvent(QPaintEvent* event) {
    if (!long_)
        return QLineEdit::paintEvent(event);
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    long_->paint(painter, textArea());
}

void QtEntryBox::keyPressEvent(QKeyEvent* event) {
    if (long_) {
        long_->key_press(event);
        return after_long_event();
    }
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
    } else if (event->matches(QKeySequence::Cut)) {
        if (hasSelectedText()) {
            copySelection();
            del();
        }
    } else if (event->matches(QKeySequence::DeleteCompleteLine)) {
        selectAll();
        copySelection();
        del();
    } else if (event->matches(QKeySequence::Paste)) {
        const QString pasted = QGuiApplication::clipboard()->text(
            pastes_primary(*event) ? QClipboard::Selection : QClipboard::Clipboard);
        if (fits_after_replacing_selection(pasted))
            return QLineEdit::keyPressEvent(event);
        go_long(pasted);
    } else if (is_typed_text(*event) && !fits_after_replacing_selection(event->text())) {
        go_long(event->text());
    } else {
        return QLineEdit::keyPressEvent(event);
    }
    event->accept();
}

void QtEntryBox::mousePressEvent(QMouseEvent* event) {
    if (!long_)
        return QLineEdit::mousePressEvent(event);
    long_->mouse_press(event);
    after_long_event();
}

void QtEntryBox::mouseMoveEvent(QMouseEvent* event) {
    if (!long_)
        return QLineEdit::mouseMoveEvent(event);
    long_->mouse_move(event);
    after_long_event();
}

void QtEntryBox::mouseReleaseEvent(QMouseEvent* event) {
    const bool pastes =
        event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection();
    const QString pasted =
        pastes ? QGuiApplication::clipboard()->text(QClipboard::Selection) : QString();
    if (!long_ && (!pastes || fits_after_replacing_selection(pasted)))
        return QLineEdit::mouseReleaseEvent(event);
    if (pastes) { // another program's selection, however long
        select(wholeCursor(), wholeCursor());
        replaceSelection(pasted);
    }
}

void QtEntryBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!long_)
        return QLineEdit::mouseDoubleClickEvent(event);
    long_->mouse_double_click(event);
    after_long_event();
}

// Qt's own menu for a line edit, but whether there is text to paste is asked of the
// clipboard's formats, without fetching a text that may be megabytes long.
void QtEntryBox::contextMenuEvent(QContextMenuEvent* event) {
    const bool selected = wholeSelectionEnd() > wholeSelectionStart();
    const QString whole = wholeText();
    const QMimeData* offered = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("qt_edit_menu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    auto add = [&](const char* name, QKeySequence::StandardKey key, bool enabled, int action) {
        QString label = QLineEdit::tr(name);
        if (key != QKeySequence::UnknownKey)
            label += shortcut_suffix(key);
        QAction* item = menu->addAction(label, this, [this, action] { edit_menu_action(action); });
        item->setEnabled(enabled);
    };
    add("&Undo", QKeySequence::Undo, long_ ? long_->can_undo() : isUndoAvailable(), undo_edit);
    add("&Redo", QKeySequence::Redo, long_ ? long_->can_redo() : isRedoAvailable(), redo_edit);
    menu->addSeparator();
    add("Cu&t", QKeySequence::Cut, selected, cut_edit);
    add("&Copy", QKeySequence::Copy, selected, copy_edit);
    add("&Paste", QKeySequence::Paste, offered != nullptr && offered->hasText(), paste_edit);
    add("Delete", QKeySequence::UnknownKey, selected, delete_edit);
    menu->addSeparator();
    add("Select All", QKeySequence::SelectAll,
        !whole.isEmpty() && wholeSelectionEnd() - wholeSelectionStart() < whole.size(), select_all);
    menu->popup(event->globalPos());
}

void QtEntryBox::edit_menu_action(int action) {
    switch (action) {
    case undo_edit:
        long_ ? long_->undo() : undo();
        break;
    case redo_edit:
        long_ ? long_->redo() : redo();
        break;
    case cut_edit:
    case delete_edit:
        if (action == cut_edit)
            copySelection();
        long_ ? long_->replace_selection({}, false) : del();
        break;
    case copy_edit:
        copySelection();
        break;
    case paste_edit:
        return replaceSelection(QGuiApplication::clipboard()->text(QClipboard::Clipboard));
    default:
        select(0, wholeText().size());
        break;
    }
    if (long_)
        after_long_event();
    finish_history_clearing();
}

void QtEntryBox::inputMethodEvent(QInputMethodEvent* event) {
    if (!long_ && !fits_after_replacing_selection(event->commitString()))
        enter_long(); // which takes the whole of what the input method commits
    if (!long_)
        return QLineEdit::inputMethodEvent(event);
    long_->input_method(event);
    after_long_event();
}

void QtEntryBox::focusInEvent(QFocusEvent* event) {
    if (!long_)
        return QLineEdit::focusInEvent(event);
    // The line edit starts its caret, but selects nothing of the text it keeps out of sight.
    QFocusEvent plain(event->type(), Qt::OtherFocusReason);
    QLineEdit::focusInEvent(&plain);
    long_->focus_in(event);
}

void QtEntryBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (long_)
        long_->focus_out();
}

void QtEntryBox::timerEvent(QTimerEvent* event) {
    if (!long_ || !long_->timer(event))
        QLineEdit::timerEvent(event);
}

void QtEntryBox::dragMoveEvent(QDragMoveEvent* event) {
    if (!long_)
        return QLineEdit::dragMoveEvent(event);
    event->acceptProposedAction();
}

// A dropped text that would not fit goes to a long entry at the drop point.
void QtEntryBox::dropEvent(QDropEvent* event) {
    const QString dropped = event->mimeData()->text();
    if (!long_ && text().size() + dropped.size() <= limit_)
        return QLineEdit::dropEvent(event);
    const qsizetype at = positionAt(event->position().toPoint());
    select(at, at);
    replaceSelection(dropped);
    event->acceptProposedAction();
}

} // namespace zandor::platform
