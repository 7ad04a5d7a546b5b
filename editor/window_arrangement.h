#pragma once
#include <Qt>

class QMdiArea;

namespace kivo::editor {

/// The windows that are not minimised share the workspace: stacked one above the other
/// (Qt::Vertical, each as wide as the workspace) or side by side (each as high as it).
void tileDocuments(QMdiArea& area, Qt::Orientation direction);

/// Minimised windows line up along the bottom edge of the workspace, left to right.
void arrangeMinimised(QMdiArea& area);

/// Minimises every window and lines them up.
void minimiseAll(QMdiArea& area);

}  // namespace kivo::editor
