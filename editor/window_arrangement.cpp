#include "editor/window_arrangement.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace kivo::editor {

void tileDocuments(QMdiArea& area, Qt::Orientation direction) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : area.subWindowList())
        if (!window->isMinimized())
            windows << window;
    if (windows.isEmpty())
        return;
    const QRect space = area.viewport()->rect();
    const int n = static_cast<int>(windows.size());
    for (int i = 0; i < n; ++i) {
        windows[i]->showNormal();
        if (direction == Qt::Vertical)
            windows[i]->setGeometry(0, i * (space.height() / n), space.width(), space.height() / n);
        else
            windows[i]->setGeometry(i * (space.width() / n), 0, space.width() / n, space.height());
    }
}

void arrangeMinimised(QMdiArea& area) {
    const QRect space = area.viewport()->rect();
    int x = 0;
    int y = space.bottom();
    for (QMdiSubWindow* window : area.subWindowList()) {
        if (!window->isMinimized())
            continue;
        const QSize size = window->size();
        if (x > 0 && x + size.width() > space.width()) {
            x = 0;
            y -= size.height();
        }
        window->move(x, y - size.height() + 1);
        x += size.width();
    }
}

void minimiseAll(QMdiArea& area) {
    for (QMdiSubWindow* window : area.subWindowList())
        window->showMinimized();
    arrangeMinimised(area);
}

}  // namespace kivo::editor
