#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QPushButton;
class QTextEdit;
class QWidget;

namespace kivo {

// Window coordinates of the design are twips: 15 to a logical pixel.
int twipsToPixels(int twips);
int pixelsToTwips(int pixels);

// Where the text and the buttons of the print and considerations windows go, in twips, for a
// client area of `client` twips. Sizes and positions never go below zero, so a tiny window
// only hides its content.
struct TextWindowLayout
{
    QRect text;        // RTUltima
    int wrapWidth = 0; // where its lines wrap
    QPoint imprimir;   // Command1 ("&Imprimir")
    QPoint cerrar;     // Command2 ("&Cerrar")
};

TextWindowLayout textWindowLayout(QSize client);

// The text area of the print and considerations windows (RTUltima), in the fixed-pitch font
// the text is laid out for. Read-only: nothing typed there would be kept or printed.
QTextEdit *createTextArea(QWidget *window);

// Applies the layout to `window`'s controls; `imprimir` may be null.
void applyTextWindowLayout(QWidget *window, QTextEdit *text, QPushButton *imprimir, QPushButton *cerrar);

// The design size of the two buttons, 1215 x 375 twips.
QSize textWindowButtonSize();

// Opens the print and considerations windows maximized; without a window manager nothing
// maximizes them, so they take the screen of `parent` by themselves then.
void maximizeTextWindow(QWidget *window, QWidget *parent);

} // namespace kivo
