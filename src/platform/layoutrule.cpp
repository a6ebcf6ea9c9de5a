#include "platform/layoutrule.h"

#include "platform/printing.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>

#include <algorithm>
#include <cmath>

namespace kivo {

namespace {
constexpr int kTwipsPerPixel = 15;

QRect toPixels(const QRect &twips)
{
    return QRect(twipsToPixels(twips.x()), twipsToPixels(twips.y()), twipsToPixels(twips.width()),
                 twipsToPixels(twips.height()));
}
} // namespace

int twipsToPixels(int twips)
{
    return int(std::lround(double(twips) / kTwipsPerPixel));
}

int pixelsToTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

TextWindowLayout textWindowLayout(QSize client)
{
    const int w = client.width();
    const int h = client.height();
    TextWindowLayout l;
    const int textWidth = std::max(0, w - 200);
    l.text = QRect(100, 100, textWidth, std::max(0, h - 1000));
    l.wrapWidth = std::max(0, textWidth - 400);
    const int buttonTop = std::max(0, h - 700);
    l.imprimir = QPoint(4560, buttonTop);
    l.cerrar = QPoint(5880, buttonTop);
    return l;
}

QSize textWindowButtonSize()
{
    return QSize(twipsToPixels(1215), twipsToPixels(375));
}

void applyTextWindowLayout(QWidget *window, QTextEdit *text, QPushButton *imprimir, QPushButton *cerrar)
{
    const QSize client(pixelsToTwips(window->width()), pixelsToTwips(window->height()));
    const TextWindowLayout l = textWindowLayout(client);
    text->setGeometry(toPixels(l.text));
    text->setLineWrapMode(QTextEdit::FixedPixelWidth);
    // Qt refuses a wrap width of zero; one pixel is as good as none for a hidden text.
    text->setLineWrapColumnOrWidth(std::max(1, twipsToPixels(l.wrapWidth)));
    const QSize button = textWindowButtonSize();
    if (imprimir)
        imprimir->setGeometry(
            QRect(QPoint(twipsToPixels(l.imprimir.x()), twipsToPixels(l.imprimir.y())), button));
    cerrar->setGeometry(QRect(QPoint(twipsToPixels(l.cerrar.x()), twipsToPixels(l.cerrar.y())), button));
}

void maximizeTextWindow(QWidget *window, QWidget *parent)
{
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen)
        window->setGeometry(screen->availableGeometry());
    else
        window->resize(twipsToPixels(7500), twipsToPixels(6060));
    window->setWindowState(Qt::WindowMaximized);
}

QTextEdit *createTextArea(QWidget *window)
{
    auto *text = new QTextEdit(window);
    text->setObjectName(QStringLiteral("RTUltima"));
    text->setFont(courierNew());
    text->setAcceptRichText(false);
    text->setReadOnly(true);
    return text;
}

} // namespace kivo
