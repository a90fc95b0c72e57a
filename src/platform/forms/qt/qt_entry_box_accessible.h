#pragma once

#include <QAccessible>

// The entry box as screen readers see it: an editable text with its caret and selection,
// answered as Qt's own line edit answers. A held text has its whole length, answered in
// bounded pieces, so that a text of any length answers at once.
namespace zandor::platform {

// The most a screen reader is handed at a time of a held text.
inline constexpr qsizetype accessible_piece_limit = 1024;

// For QAccessible::installFactory: our interface for an entry box, nothing for other objects.
QAccessibleInterface* entry_box_accessible(const QString& class_name, QObject* object);

} // namespace zandor::platform
