#include "platform/forms/qt/qt_entry_box.h"

#include "platform/forms/qt/qt_accessible_text.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QStyleHints>
#include <QTextLayout>

#include <algorithm>

namespace zandor::platform {
namespace {

// Enough of a held text's start to fill the box, and little enough to lay out at once.
constexpr qsizetype stand_in_length = 256;

// The box as screen readers see it: an editable text with its caret and selection; a held
// text has its whole length, answered in bounded pieces.
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
        return box()->cursorPositionAt(box()->mapFromGlobal(point));
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

// Ctrl+Shift+Insert pastes X11's PRIMARY selection, as in a line edit under KDE.
QClipboard::Mode paste_mode(const QKeyEvent& event) {
    return event.key() == Qt::Key_Insert &&
                   event.modifiers() == (Qt::ControlModifier | Qt::ShiftModifier)
               ? QClipboard::Selection
               : QClipboard::Clipboard;
}

bool pastes_on_release(const QMouseEvent& event) {
    return event.button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection();
}

enum EditAction { undo_edit, redo_edit, cut_edit, copy_edit, paste_edit, delete_edit, select_all };

} // namespace

QtEntryBox::QtEntryBox(QWidget* parent) : QLineEdit(parent) {
    static const bool factory_installed = (QAccessible::installFactory(entry_box_accessible), true);
    (void)factory_installed;
    // The line edit reports its own edits, and some of ours (an insert) as edits too.
    connect(this, &QLineEdit::textEdited, this, &QtEntryBox::report_edit);
}

const QtEntryBox::Held* QtEntryBox::held() const {
    const QString shown = text();
    const auto found = std::ranges::find(held_, shown, &Held::stand_in);
    return found != held_.end() ? &*found : nullptr;
}

QString QtEntryBox::wholeText() const {
    const Held* whole = held();
    return whole != nullptr ? whole->text : text();
}

qsizetype QtEntryBox::wholeCursor() const {
    return isHeld() ? 0 : cursorPosition();
}

qsizetype QtEntryBox::wholeSelectionStart() const {
    if (isHeld())
        return 0;
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

qsizetype QtEntryBox::wholeSelectionEnd() const {
    if (const Held* whole = held())
        return whole->text.size();
    // The line edit's own count, which holds when its selection starts before the text.
    return hasSelectedText() ? selectionStart() + selectedText().size() : cursorPosition();
}

void QtEntryBox::select(qsizetype anchor, qsizetype cursor) {
    if (isHeld())
        return settle();
    const qsizetype size = text().size();
    anchor = std::clamp<qsizetype>(anchor, 0, size);
    cursor = std::clamp<qsizetype>(cursor, 0, size);
    if (anchor == cursor)
        setCursorPosition(static_cast<int>(cursor));
    else
        setSelection(static_cast<int>(anchor), static_cast<int>(cursor - anchor));
}

bool QtEntryBox::fits(const QString& inserted) const {
    return text().size() - selectedText().size() + inserted.size() <= line_edit_limit;
}

void QtEntryBox::replaceSelection(const QString& with) {
    if (fits(with))
        insert(with);
    else
        hold_with(with);
    finish_history_clearing();
    settle();
}

void QtEntryBox::hold_with(const QString& inserted, qsizetype at) {
    const QString whole = wholeText();
    const qsizetype start = at >= 0 ? at : wholeSelectionStart();
    const qsizetype end = at >= 0 ? at : wholeSelectionEnd();
    Held arrived{whole.left(start) + inserted + whole.mid(end), {}};
    // A stand-in of its own, so that undo and redo find each held text by what the line edit
    // holds.
    qsizetype length = stand_in_length;
    while (std::ranges::any_of(held_, [&](const Held& other) {
        return QStringView(other.stand_in) == QStringView(arrived.text).left(length);
    }))
        --length;
    arrived.stand_in = arrived.text.left(length);
    const QString stand_in = arrived.stand_in;
    held_.push_back(std::move(arrived));
    selectAll();
    insert(stand_in); // one step of the line edit's history, reported as an edit
    settle();
}

// A held text stays wholly selected, its start in view.
void QtEntryBox::settle() {
    const Held* whole = held();
    if (whole == nullptr)
        return;
    const auto length = static_cast<int>(whole->stand_in.size());
    if (cursorPosition() != 0 || selectionLength() != length)
        setSelection(length, -length);
}

void QtEntryBox::report_edit() {
    if (reporting_edit_)
        return;
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
    if (!clear_pending_ || reporting_edit_)
        return;
    clear_pending_ = false;
    if (const Held* whole = held())
        held_ = {Held(*whole)}; // no other held text can come back
    else
        held_.clear();
    const QString shown = text();
    const int cursor = cursorPosition();
    const int start = hasSelectedText() ? selectionStart() : cursor;
    const int length = static_cast<int>(selectedText().size());
    reporting_edit_ = true; // setting the text anew is no edit of the user's
    if (clear_keeping_text_ && !shown.isEmpty()) {
        setText({});
        insert(shown);
    } else {
        setText(shown); // a line edit forgets its history when its text is set
    }
    reporting_edit_ = false;
    if (length == 0)
        setCursorPosition(cursor);
    else if (cursor == start)
        setSelection(start + length, -length);
    else
        setSelection(start, length);
    settle();
}

// Marked as a secret, which clipboard managers and histories leave out, as they do passwords.
void QtEntryBox::copySelection() const {
    const Held* whole = held();
    const QString selected = whole != nullptr ? whole->text : selectedText();
    if (selected.isEmpty())
        return;
    auto* secret = new QMimeData;
    secret->setText(selected);
    secret->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
    QGuiApplication::clipboard()->setMimeData(secret, QClipboard::Clipboard);
}

QRect QtEntryBox::characterRect(qsizetype position) const {
    const QString shown = text();
    if (position < 0 || position > shown.size())
        return {};
    // The line edit's own layout of its text, placed where its caret is drawn.
    QTextLayout layout(shown, font());
    QTextOption no_wrap;
    no_wrap.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(no_wrap);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const qreal origin = cursorRect().center().x() - line.cursorToX(cursorPosition());
    const auto left = static_cast<int>(origin + line.cursorToX(static_cast<int>(position)));
    const auto right =
        position < shown.size()
            ? static_cast<int>(origin + line.cursorToX(static_cast<int>(position + 1)))
            : left + 1;
    const QRect caret = cursorRect();
    return {std::min(left, right), caret.top(), std::max(std::abs(right - left), 1),
            caret.height()};
}

bool QtEntryBox::event(QEvent* event) {
    const bool handled = QLineEdit::event(event);
    withhold_primary();
    finish_history_clearing();
    settle();
    return handled;
}

void QtEntryBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
    } else if (event->matches(QKeySequence::Cut)) {
        if (hasSelectedText()) {
            copySelection();
            del();
        }
    } else if (event->matches(QKeySequence::DeleteEndOfLine)) {
        setSelection(cursorPosition(), static_cast<int>(text().size()) - cursorPosition());
        copySelection();
        del();
    } else if (event->matches(QKeySequence::DeleteCompleteLine)) {
        selectAll();
        copySelection();
        del();
    } else if (event->matches(QKeySequence::Paste)) {
        const QString pasted = QGuiApplication::clipboard()->text(paste_mode(*event));
        if (fits(pasted))
            return QLineEdit::keyPressEvent(event);
        hold_with(pasted);
    } else {
        return QLineEdit::keyPressEvent(event);
    }
    event->accept();
}

// The mouse selects nothing of a held text: it stays wholly selected.
void QtEntryBox::mousePressEvent(QMouseEvent* event) {
    if (!isHeld())
        QLineEdit::mousePressEvent(event);
}

void QtEntryBox::mouseMoveEvent(QMouseEvent* event) {
    if (!isHeld())
        QLineEdit::mouseMoveEvent(event);
}

void QtEntryBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!isHeld())
        QLineEdit::mouseDoubleClickEvent(event);
}

// A middle click pastes another program's selection where it was made, however long; over a
// held text it replaces the text.
void QtEntryBox::mouseReleaseEvent(QMouseEvent* event) {
    const QString pasted = pastes_on_release(*event)
                               ? QGuiApplication::clipboard()->text(QClipboard::Selection)
                               : QString();
    if (isHeld()) {
        if (!pasted.isEmpty())
            replaceSelection(pasted);
    } else if (text().size() + pasted.size() <= line_edit_limit) {
        QLineEdit::mouseReleaseEvent(event);
    } else {
        hold_with(pasted, cursorPositionAt(event->position().toPoint()));
    }
}

// Qt's own menu for a line edit, but whether there is text to paste is asked of the
// clipboard's formats, without fetching a text that may be megabytes long.
void QtEntryBox::contextMenuEvent(QContextMenuEvent* event) {
    const bool selected = hasSelectedText();
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
    add("&Undo", QKeySequence::Undo, isUndoAvailable(), undo_edit);
    add("&Redo", QKeySequence::Redo, isRedoAvailable(), redo_edit);
    menu->addSeparator();
    add("Cu&t", QKeySequence::Cut, selected, cut_edit);
    add("&Copy", QKeySequence::Copy, selected, copy_edit);
    add("&Paste", QKeySequence::Paste, offered != nullptr && offered->hasText(), paste_edit);
    add("Delete", QKeySequence::UnknownKey, selected, delete_edit);
    menu->addSeparator();
    add("Select All", QKeySequence::SelectAll,
        !text().isEmpty() && selectedText().size() < text().size(), select_all);
    menu->popup(event->globalPos());
}

void QtEntryBox::edit_menu_action(int action) {
    switch (action) {
    case undo_edit:
        undo();
        break;
    case redo_edit:
        redo();
        break;
    case cut_edit:
    case delete_edit:
        if (action == cut_edit)
            copySelection();
        del();
        break;
    case copy_edit:
        copySelection();
        break;
    case paste_edit:
        return replaceSelection(QGuiApplication::clipboard()->text(QClipboard::Clipboard));
    default:
        selectAll();
        break;
    }
    finish_history_clearing();
    settle();
}

// An input method's commit that would not fit is held whole.
void QtEntryBox::inputMethodEvent(QInputMethodEvent* event) {
    if (fits(event->commitString()))
        return QLineEdit::inputMethodEvent(event);
    hold_with(event->commitString());
    event->accept();
}

// A drop that would not fit is held whole, with the text around the drop point; a drop on a
// held text replaces it.
void QtEntryBox::dropEvent(QDropEvent* event) {
    const QString dropped = event->mimeData()->text();
    if (isHeld())
        replaceSelection(dropped);
    else if (text().size() + dropped.size() <= line_edit_limit)
        return QLineEdit::dropEvent(event);
    else
        hold_with(dropped, cursorPositionAt(event->position().toPoint()));
    event->acceptProposedAction();
}

} // namespace zandor::platform
