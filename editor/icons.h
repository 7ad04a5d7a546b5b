#pragma once
#include <QIcon>

namespace kivo::editor {

/// The pictures of the toolbar and of the picture buttons.
enum class ToolImage { New, Open, Save, Cut, Copy, Paste, Cascade, TileHorizontal, TileVertical, Execute, RunHere, Stop,
                       Clear, Help };

/// A 16 by 16 picture, drawn rather than loaded so the program needs no image files; Qt
/// derives the greyed picture of a disabled action from it.
QIcon toolIcon(ToolImage image);

}  // namespace kivo::editor
