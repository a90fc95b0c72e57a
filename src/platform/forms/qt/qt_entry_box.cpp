#include "platform/forms/qt/qt_entry_box.h"

#include "platform/forms/qt/qt_entry_box_accessible.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QStyleHints>

#include <algorithm>
#include <optional>

namespace zandor::platform {
namespace {

// Enough of a held text's start to fill the box, and little enough to lay out at once.
constexpr qsizetype stand_in_length = 256;
constexpr qsizetype mark_length = 3; // low surrogates, ten bits of the held text's number each

// The line edit offers every selection to X11's PRIMARY as it is made; this box takes it back
// before anyone can read it, within the same event.
void withhold_primary() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection() && clipboard->ownsSelection())
        clipboard->clear(QClipboard::Selection);
}

} // namespace

QtEntryBox::QtEntryBox(QWidget* parent) : QLineEdit(parent) {
    [[maybe_unused]] static const bool installed =
        (QAccessible::installFactory(entry_box_accessible), true);
    // The line edit reports its own edits, and some of ours (an insert) as edits too.
    connect(this, &QLineEdit::textEdited, this, &QtEntryBox::report_edit);
    connect(this, &QLineEdit::textChanged, this, &QtEntryBox::text_changed);
}

const QtEntryBox::Held* QtEntryBox::held() const {
    const auto found = std::ranges::find(held_, text(), &Held::stand_in);
    return found != held_.end() ? &*found : nullptr;
}

QString QtEntryBox::wholeText() const {
    return isHeld() ? held()->text : text();
}

void QtEntryBox::select(qsizetype anchor, qsizetype cursor) {
    if (isHeld())
        return settle();
    const auto cut = [&](qsizetype at) {
        return static_cast<int>(std::clamp(at, {}, text().size()));
    };
    setSelection(cut(anchor), cut(cursor) - cut(anchor));
}

bool QtEntryBox::fits(const QString& inserted) const {
    return text().size() - selectedText().size() + inserted.size() <= line_edit_limit;
}

void QtEntryBox::replaceSelection(const QString& with) {
    fits(with) ? insert(with) : hold_with(with);
    finish_history_clearing();
    settle();
}

void QtEntryBox::hold_with(const QString& inserted) {
    const QString whole = isHeld() ? QString() : text(); // a held text is wholly replaced
    const qsizetype start = hasSelectedText() ? selectionStart() : cursorPosition();
    const qsizetype end = std::min(start + selectedText().size(), whole.size());
    const QString arrived = start == 0 && end == whole.size() // no copy of a whole paste
                                ? inserted
                                : whole.left(start) + inserted + whole.mid(end);
    QString stand_in = arrived.left(stand_in_length - mark_length);
    if (stand_in.back().isHighSurrogate())
        stand_in.chop(1); // so that the mark stays unpaired
    const std::uint32_t id = next_id_++;
    for (int shift = 20; shift >= 0; shift -= 10)
        stand_in += QChar(static_cast<char16_t>(0xDC00 + ((id >> shift) & 0x3FF)));
    held_.push_back({arrived, stand_in, id});
    selectAll();
    insert(stand_in); // a step of the line edit's history, and an edit
    settle();
}

void QtEntryBox::step_history(bool back) {
    const Held* const before = held();
    stepping_history_ = true;
    back ? undo() : redo();
    stepping_history_ = false;
    // Only the insertion of a stand-in steps from or to it.
    const Held* const after = held();
    if (back && before != nullptr && trail_done_ > 0 && trail_[trail_done_ - 1] == before->id)
        --trail_done_;
    if (!back && after != nullptr && trail_done_ < trail_.size() &&
        trail_[trail_done_] == after->id)
        ++trail_done_;
}

// A change that is no undo or redo is a new edit, after which the line edit has nothing to
// redo; a stand-in it shows now, it has just inserted.
void QtEntryBox::text_changed() {
    if (stepping_history_)
        return;
    trail_.resize(trail_done_);
    if (const Held* now = held()) {
        trail_.push_back(now->id);
        ++trail_done_;
    }
    let_go();
}

// The held texts that neither the box shows nor undo or redo can bring back go.
void QtEntryBox::let_go() {
    const Held* now = held();
    const std::optional<std::uint32_t> shown =
        now != nullptr ? std::optional(now->id) : std::nullopt;
    std::erase_if(held_, [&](const Held& other) {
        return other.id != shown && std::ranges::find(trail_, other.id) == trail_.end();
    });
}

// A held text stays wholly selected, its start in view.
void QtEntryBox::settle() {
    const Held* whole = held();
    const auto length = whole != nullptr ? static_cast<int>(whole->stand_in.size()) : 0;
    if (whole != nullptr && (cursorPosition() != 0 || selectionLength() != length))
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
    const QString shown = text();
    const int cursor = cursorPosition();
    const int anchor = !hasSelectedText()           ? cursor
                       : cursor == selectionStart() ? selectionEnd()
                                                    : selectionStart();
    reporting_edit_ = true; // setting the text anew is no edit of the user's
    if (clear_keeping_text_ && !shown.isEmpty()) {
        setText({});
        insert(shown);
    } else {
        setText(shown); // a line edit forgets its history when its text is set
    }
    reporting_edit_ = false;
    // The history holds at most the insertion of what is shown.
    const Held* now = held();
    trail_.clear();
    if (now != nullptr && clear_keeping_text_)
        trail_.push_back(now->id);
    trail_done_ = trail_.size();
    let_go();
    select(anchor, cursor);
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

bool QtEntryBox::event(QEvent* event) {
    // The mouse selects nothing of a held text: it stays wholly selected.
    const QEvent::Type type = event->type();
    if (isHeld() && (type == QEvent::MouseButtonPress || type == QEvent::MouseMove ||
                     type == QEvent::MouseButtonDblClick))
        return true;
    const bool handled = QLineEdit::event(event);
    withhold_primary();
    finish_history_clearing();
    settle();
    return handled;
}

void QtEntryBox::keyPressEvent(QKeyEvent* event) {
    const bool whole_line = event->matches(QKeySequence::DeleteCompleteLine);
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        step_history(event->matches(QKeySequence::Undo));
    } else if (event->matches(QKeySequence::Copy)) {
        copySelection();
    } else if (event->matches(QKeySequence::Cut) || whole_line ||
               event->matches(QKeySequence::DeleteEndOfLine)) {
        // As the line edit does, but with a copy marked secret.
        if (!event->matches(QKeySequence::Cut)) {
            const int from = whole_line ? 0 : cursorPosition();
            setSelection(from, static_cast<int>(text().size()) - from);
        }
        if (hasSelectedText()) {
            copySelection();
            del();
        }
    } else if (event->matches(QKeySequence::Paste)) {
        // Ctrl+Shift+Insert pastes X11's PRIMARY selection, as in a line edit under KDE.
        const bool primary = event->key() == Qt::Key_Insert &&
                             event->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier);
        const QString pasted = QGuiApplication::clipboard()->text(primary ? QClipboard::Selection
                                                                          : QClipboard::Clipboard);
        if (fits(pasted))
            return QLineEdit::keyPressEvent(event);
        hold_with(pasted);
    } else {
        return QLineEdit::keyPressEvent(event);
    }
    event->accept();
}

// Pastes where the pointer is, or over a held text.
void QtEntryBox::paste_at(QPoint point, const QString& pasted) {
    if (!isHeld()) {
        const int at = cursorPositionAt(point);
        setSelection(at, 0);
    }
    replaceSelection(pasted);
}

// A middle click pastes another program's selection where it was made, however long.
void QtEntryBox::mouseReleaseEvent(QMouseEvent* event) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QString pasted = event->button() == Qt::MiddleButton && clipboard->supportsSelection()
                               ? clipboard->text(QClipboard::Selection)
                               : QString();
    if (!isHeld() && text().size() + pasted.size() <= line_edit_limit)
        QLineEdit::mouseReleaseEvent(event);
    else if (!pasted.isEmpty())
        paste_at(event->position().toPoint(), pasted);
}

// Qt's own menu for a line edit, but whether there is text to paste is asked of the
// clipboard's formats, without fetching a text that may be megabytes long.
void QtEntryBox::contextMenuEvent(QContextMenuEvent* event) {
    const bool selected = hasSelectedText();
    const QMimeData* offered = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("qt_edit_menu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The box settles after an item's action, at its next event, when the menu gives back focus.
    const auto add = [&](const char* name, QKeySequence::StandardKey key, bool enabled, auto act) {
        QString label = QLineEdit::tr(name);
        if (key != QKeySequence::UnknownKey &&
            QGuiApplication::styleHints()->showShortcutsInContextMenus())
            label += QLatin1Char('\t') + QKeySequence(key).toString(QKeySequence::NativeText);
        menu->addAction(label, this, act)->setEnabled(enabled);
    };
    add("&Undo", QKeySequence::Undo, isUndoAvailable(), [this] { step_history(true); });
    add("&Redo", QKeySequence::Redo, isRedoAvailable(), [this] { step_history(false); });
    menu->addSeparator();
    add("Cu&t", QKeySequence::Cut, selected, [this] {
        copySelection();
        del();
    });
    add("&Copy", QKeySequence::Copy, selected, [this] { copySelection(); });
    add("&Paste", QKeySequence::Paste, offered != nullptr && offered->hasText(),
        [this] { replaceSelection(QGuiApplication::clipboard()->text(QClipboard::Clipboard)); });
    add("Delete", QKeySequence::UnknownKey, selected, [this] { del(); });
    menu->addSeparator();
    add("Select All", QKeySequence::SelectAll,
        !text().isEmpty() && selectedText().size() < text().size(), [this] { selectAll(); });
    menu->popup(event->globalPos());
}

// An input method's commit that would not fit is held whole.
void QtEntryBox::inputMethodEvent(QInputMethodEvent* event) {
    if (fits(event->commitString()))
        return QLineEdit::inputMethodEvent(event);
    hold_with(event->commitString());
    event->accept();
}

// A drop that would not fit is held whole, with the text around the drop point.
void QtEntryBox::dropEvent(QDropEvent* event) {
    const QString dropped = event->mimeData()->text();
    if (!isHeld() && text().size() + dropped.size() <= line_edit_limit)
        return QLineEdit::dropEvent(event);
    paste_at(event->position().toPoint(), dropped);
    event->acceptProposedAction();
}

} // namespace zandor::platform
