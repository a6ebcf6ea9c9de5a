#include "capture/icons.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kivo {

namespace {

// Every icon is drawn on a 16-unit grid and scaled, so larger sizes stay sharp.
using Drawing = void (*)(QPainter &);

const QColor kOutline(40, 40, 40);

void sheet(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(QColor(120, 120, 160), 0.8));
    for (qreal y = r.top() + 3; y < r.bottom() - 1; y += 2)
        p.drawLine(QPointF(r.left() + 1.5, y), QPointF(r.right() - 1.5, y));
}

void twoSheets(QPainter &p) // edit
{
    sheet(p, QRectF(1.5, 1.5, 9, 11));
    sheet(p, QRectF(5.5, 3.5, 9, 11));
}

void redCross(QPainter &p) // clear everything
{
    p.setPen(QPen(QColor(200, 20, 20), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3, 3), QPointF(13, 13));
    p.drawLine(QPointF(13, 3), QPointF(3, 13));
}

void diskette(QPainter &p, const QRectF &r)
{
    const qreal u = r.width() / 16;
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(QColor(40, 70, 160));
    QPainterPath body;
    body.moveTo(r.left(), r.top());
    body.lineTo(r.right() - 2 * u, r.top());
    body.lineTo(r.right(), r.top() + 2 * u);
    body.lineTo(r.right(), r.bottom());
    body.lineTo(r.left(), r.bottom());
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(QColor(210, 210, 210)); // shutter
    p.drawRect(QRectF(r.left() + 4 * u, r.top(), 7 * u, 5 * u));
    p.setBrush(Qt::white); // label
    p.drawRect(QRectF(r.left() + 2.5 * u, r.top() + 8 * u, 11 * u, 8 * u));
}

void disketteOnly(QPainter &p) // save
{
    diskette(p, QRectF(1.5, 0.5, 13, 14.5));
}

void disketteWithArrow(QPainter &p) // write the submission disk
{
    diskette(p, QRectF(0.5, 0.5, 11, 12));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 150, 40));
    QPainterPath arrow;
    arrow.moveTo(15.5, 12);
    arrow.lineTo(11, 7.5);
    arrow.lineTo(11, 10);
    arrow.lineTo(7, 10);
    arrow.lineTo(7, 14);
    arrow.lineTo(11, 14);
    arrow.lineTo(11, 16);
    arrow.closeSubpath();
    p.drawPath(arrow);
}

void printer(QPainter &p) // print
{
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 1.5, 7, 5)); // paper in
    p.setBrush(QColor(170, 170, 170));
    p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 10.5, 7, 4.5)); // paper out
    p.setPen(QPen(QColor(20, 150, 40), 1));
    p.drawPoint(QPointF(12.5, 8.5));
}

void questionMark(QPainter &p) // About
{
    p.setPen(QPen(QColor(20, 60, 170), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath hook;
    hook.moveTo(4.5, 5);
    hook.cubicTo(4.5, 0.8, 11.5, 0.8, 11.5, 5);
    hook.cubicTo(11.5, 7.5, 8, 7.5, 8, 10.5);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 60, 170));
    p.drawEllipse(QPointF(8, 14), 1.4, 1.4);
}

void helpBook(QPainter &p) // considerations
{
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(QColor(150, 30, 30));
    p.drawRect(QRectF(2.5, 1.5, 11, 13.5)); // cover
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 13, 10, 2)); // page edges
    p.setPen(QPen(QColor(240, 200, 60), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath hook;
    hook.moveTo(6.3, 5.3);
    hook.cubicTo(6.3, 3, 10.2, 3, 10.2, 5.3);
    hook.cubicTo(10.2, 6.8, 8.2, 6.8, 8.2, 8.6);
    p.drawPath(hook);
    p.drawPoint(QPointF(8.2, 10.8));
}

void openFolder(QPainter &p) // cancel changes
{
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(QColor(210, 170, 60));
    QPainterPath back;
    back.moveTo(1.5, 13.5);
    back.lineTo(1.5, 3.5);
    back.lineTo(5.5, 3.5);
    back.lineTo(6.5, 4.5);
    back.lineTo(12.5, 4.5);
    back.lineTo(12.5, 7);
    p.drawPath(back);
    p.setBrush(QColor(245, 210, 90));
    QPainterPath front;
    front.moveTo(1.5, 13.5);
    front.lineTo(4, 7);
    front.lineTo(15, 7);
    front.lineTo(12.5, 13.5);
    front.closeSubpath();
    p.drawPath(front);
}

void checklist(QPainter &p) // pending items: a list with one line ticked and two still open
{
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(QColor(255, 250, 220));
    p.drawRect(QRectF(1.5, 0.5, 13, 15));
    for (int i = 0; i < 3; ++i) {
        const qreal y = 4 + 4 * i;
        p.setPen(QPen(kOutline, 0.8));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, y - 1.5, 3, 3));
        p.setPen(QPen(QColor(120, 120, 160), 0.8));
        p.drawLine(QPointF(8, y), QPointF(12.5, y));
    }
    p.setPen(QPen(QColor(20, 150, 40), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(3.8, 3.8), QPointF(5, 5.2), QPointF(7, 2)}));
    p.setPen(QPen(QColor(200, 20, 20), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5, 6.9), QPointF(5, 8.1));
    p.drawLine(QPointF(5, 10.9), QPointF(5, 12.1));
}

void program(QPainter &p) // the program itself: a filled-in form with a tick
{
    p.setPen(QPen(kOutline, 0.6));
    p.setBrush(QColor(30, 90, 170));
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 2.5, 2.5);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(3, 2.5, 10, 11));
    p.setPen(QPen(QColor(120, 120, 160), 0.8));
    for (qreal y = 5; y < 12; y += 2)
        p.drawLine(QPointF(4.5, y), QPointF(8, y));
    p.setPen(QPen(QColor(20, 150, 40), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(8.5, 9), QPointF(10, 11), QPointF(12.5, 6)}));
}

Drawing drawingFor(int index)
{
    switch (index) {
    case -1:
        return program;
    case 0:
        return redCross;
    case 1:
        return disketteOnly;
    case 2:
        return disketteWithArrow;
    case 4:
        return helpBook;
    case 5:
        return openFolder;
    case 6:
        return twoSheets;
    case 7:
        return printer;
    case 9:
        return questionMark;
    case 10:
        return checklist;
    default:
        return nullptr;
    }
}

QPixmap render(Drawing draw, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    draw(p);
    return pixmap;
}

int area(const QSize &s)
{
    return s.width() * s.height();
}

// Offers the icon in a fixed set of sizes but draws a size only when it is first asked for.
// A request is answered by the size a fully drawn set would have given (the smallest at
// least as large, else the largest), held in a plain icon that does the rest (disabled
// and selected looks, scaling down, Qt's pixmap cache) exactly as for a fully drawn set.
class DrawnIconEngine : public QIconEngine
{
public:
    DrawnIconEngine(Drawing draw, QList<int> sizes)
        : m_draw(draw),
          m_sizes(std::move(sizes))
    {
    }

    QIconEngine *clone() const override { return new DrawnIconEngine(*this); }
    QString key() const override { return QStringLiteral("kivo.drawn"); }
    bool isNull() override { return false; }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        QList<QSize> sizes;
        if (mode == QIcon::Normal && state == QIcon::Off)
            for (int s : std::as_const(m_sizes))
                sizes.append(QSize(s, s));
        return sizes;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        QSize actual(bestFor(size), bestFor(size));
        if (actual.width() > size.width() || actual.height() > size.height())
            actual.scale(size, Qt::KeepAspectRatio);
        return actual;
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        drawSize(bestFor(size));
        return m_drawn.pixmap(size, 1.0, mode, state);
    }

    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        if (scale <= 1.0)
            return pixmap(size, mode, state);
        // Scaled choices weigh more than the size alone: draw the whole set.
        for (int s : std::as_const(m_sizes))
            drawSize(s);
        const QSize logical(qRound(size.width() / scale), qRound(size.height() / scale));
        return m_drawn.pixmap(logical, scale, mode, state);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const QPaintDevice *device = painter->device();
        const qreal dpr = device ? device->devicePixelRatio() : qApp->devicePixelRatio();
        painter->drawPixmap(rect, scaledPixmap(rect.size() * dpr, mode, state, dpr));
    }

private:
    int bestFor(const QSize &request) const
    {
        const int wanted = area(request);
        int best = 0;
        for (int s : m_sizes) {
            const bool fits = s * s >= wanted;
            const bool bestFits = best * best >= wanted;
            if (best == 0 || (fits && (!bestFits || s < best)) || (!fits && !bestFits && s > best))
                best = s;
        }
        return best;
    }

    void drawSize(int size)
    {
        if (m_drawnSizes.contains(size))
            return;
        m_drawnSizes.append(size);
        m_drawn.addPixmap(render(m_draw, size));
    }

    Drawing m_draw;
    QList<int> m_sizes;
    QList<int> m_drawnSizes;
    QIcon m_drawn;
};

} // namespace

QIcon buttonIcon(int index)
{
    const Drawing draw = drawingFor(index);
    if (!draw)
        return {};
    return QIcon(new DrawnIconEngine(
        draw, index == -1 ? QList<int>{16, 24, 32, 48, 64, 128} : QList<int>{16, 24, 32, 48}));
}

} // namespace kivo
