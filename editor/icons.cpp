#include "editor/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kivo::editor {
namespace {

void page(QPainter& p, QRectF r) {
    p.setBrush(Qt::white);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(r);
}

void window(QPainter& p, QRectF r) {
    page(p, r);
    p.fillRect(QRectF(r.left() + 0.5, r.top() + 0.5, r.width(), 3), QColor(0, 0, 128));
}

// The green "run" triangle, drawn smooth unlike the square shapes around it.
void runArrow(QPainter& p, QPointF tip1, QPointF point, QPointF tip2) {
    QPainterPath arrow;
    arrow.moveTo(tip1);
    arrow.lineTo(point);
    arrow.lineTo(tip2);
    arrow.closeSubpath();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QColor(0, 90, 0));
    p.setBrush(QColor(0, 170, 0));
    p.drawPath(arrow);
}

}  // namespace

QIcon toolIcon(ToolImage image) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    switch (image) {
    case ToolImage::New:
        page(p, {3.5, 1.5, 9, 13});
        break;
    case ToolImage::Open:
        p.setPen(Qt::black);
        p.setBrush(QColor(230, 200, 80));
        p.drawRect(QRectF(1.5, 5.5, 12, 8));
        p.drawRect(QRectF(1.5, 3.5, 5, 2));
        break;
    case ToolImage::Save:
        p.setPen(Qt::black);
        p.setBrush(QColor(40, 60, 160));
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.fillRect(QRectF(4, 2, 8, 5), Qt::white);
        p.fillRect(QRectF(5, 10, 6, 4), Qt::lightGray);
        break;
    case ToolImage::Cut:
        p.setPen(QPen(Qt::black, 1.5));
        p.drawLine(QPointF(4, 1), QPointF(10, 10));
        p.drawLine(QPointF(12, 1), QPointF(6, 10));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(2, 10, 4, 4));
        p.drawEllipse(QRectF(10, 10, 4, 4));
        break;
    case ToolImage::Copy:
        page(p, {1.5, 1.5, 8, 10});
        page(p, {6.5, 4.5, 8, 10});
        break;
    case ToolImage::Paste:
        p.setPen(Qt::black);
        p.setBrush(QColor(150, 100, 50));
        p.drawRect(QRectF(1.5, 2.5, 10, 12));
        page(p, {6.5, 6.5, 8, 8});
        break;
    case ToolImage::Cascade:
        window(p, {1.5, 1.5, 9, 8});
        window(p, {5.5, 6.5, 9, 8});
        break;
    case ToolImage::TileHorizontal:
        window(p, {1.5, 1.5, 13, 6});
        window(p, {1.5, 8.5, 13, 6});
        break;
    case ToolImage::TileVertical:
        window(p, {1.5, 1.5, 6, 13});
        window(p, {8.5, 1.5, 6, 13});
        break;
    case ToolImage::Execute:
        runArrow(p, {4, 2}, {13, 8}, {4, 14});
        break;
    case ToolImage::RunHere: {
        // The run arrow over a pane: the run stays inside the editor.
        p.setPen(QColor(60, 60, 60));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(0.5, 9.5, 15, 6));
        runArrow(p, {5, 0}, {12, 4.5}, {5, 9});
        break;
    }
    case ToolImage::Stop:
        p.setPen(QColor(120, 0, 0));
        p.setBrush(QColor(200, 0, 0));
        p.drawRect(QRectF(3.5, 3.5, 9, 9));
        break;
    case ToolImage::Clear:
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(QColor(180, 0, 0), 2));
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
        break;
    case ToolImage::Help: {
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 80, 200));
        p.drawEllipse(QRectF(1, 1, 14, 14));
        QFont font = p.font();
        font.setPixelSize(12);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    }
    p.end();
    return QIcon(pixmap);
}

}  // namespace kivo::editor
