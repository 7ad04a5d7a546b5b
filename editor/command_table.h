#pragma once
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <span>

namespace kivo::editor {

/// One item of the "&KIVO Command" menu.
struct CommandItem {
    const char* caption;       ///< menu caption; "&&" shows one "&"
    const char* name;          ///< object name of the item's action (the handler without "Click")
    const char* keyword;       ///< text that begins the inserted line
    int fieldCount;            ///< 0 for a direct item, else 1..6 dialog fields
    std::array<const char*, 6> fieldLabels;  ///< the first fieldCount are used
    const char* groupCaption;  ///< caption of the dialog's group box
    bool separatorBefore = false;
};

/// One submenu of the "&KIVO Command" menu with its items in menu order.
struct CommandMenu {
    const char* caption;
    std::span<const CommandItem> items;
};

/// The eight submenus in menu order.
std::span<const CommandMenu> commandMenus();

/// The help anchor of a dialog item: its keyword, except "label" for the label item.
QString helpAnchor(const CommandItem& item);

/// Words that F1 in a document recognises, in table order.
const QStringList& helpKeywords();

/// The anchor F1 opens for a selection: the selection itself (without trailing code-26
/// characters) when its ASCII-lowered form equals a keyword; nothing otherwise.
std::optional<QString> helpAnchorForSelection(const QString& selection);

}  // namespace kivo::editor
