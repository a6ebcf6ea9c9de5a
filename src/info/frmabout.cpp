#include "info/frmabout.h"

#include "info/textos.h"
#include "platform/layoutrule.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace kivo {

namespace {

QRect twips(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

// The boxes are those of the design; a wider system font is made smaller until the lines
// fit, instead of being wrapped or cut.
void fitFont(QLabel *label, qreal points)
{
    QFont font = label->font();
    const QStringList lines = label->text().split(QLatin1Char('\n'));
    for (; points > 6; points -= 0.5) {
        font.setPointSizeF(points);
        const QFontMetrics metrics(font);
        int widest = 0;
        for (const QString &line : lines)
            widest = std::max(widest, metrics.horizontalAdvance(line));
        if (widest <= label->width() && metrics.height() * lines.size() <= label->height())
            break;
    }
    label->setFont(font);
}

QLabel *label(QWidget *parent, const char *name, const QRect &geometry, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(geometry);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    fitFont(l, l->font().pointSizeF());
    return l;
}

// One of the two lines of the etched separator.
void separatorLine(QWidget *parent, const QString &colour, int top)
{
    auto *line = new QFrame(parent);
    line->setObjectName(QStringLiteral("Line1"));
    line->setGeometry(twipsToPixels(270), top, twipsToPixels(5700 - 270), 1);
    line->setStyleSheet(QStringLiteral("background-color: %1; border: none;").arg(colour));
    line->setProperty("color", colour);
}

QString version()
{
    return textos::kAcercaVersion
        + QStringLiteral("%1.%2.%3").arg(KIVO_VERSION_MAJOR).arg(KIVO_VERSION_MINOR).arg(KIVO_VERSION_PATCH);
}

} // namespace

FrmAbout::FrmAbout(QWidget *parent)
    : QDialog(parent,
              Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                  | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(textos::kAcercaTitulo);
    // Modal and opened with exec() on the caller's stack: the caller owns it, so no
    // delete-on-close here.
    setModal(true);
    setFixedSize(twipsToPixels(5865), twipsToPixels(3630));

    auto *title = label(this, "lblTitle", twips(1050, 225, 4095, 480), textos::kAcercaPrograma);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    fitFont(title, bold.pointSizeF() * 1.4);
    label(this, "lblVersion", twips(1050, 810, 4095, 225), version());
    label(this, "lblDescription", twips(1050, 1125, 4095, 990), textos::kAcercaDescripcion);
    label(this, "lblDisclaimer", twips(225, 2340, 3870, 1140), textos::kAcercaContacto);

    separatorLine(this, QStringLiteral("#808080"), twipsToPixels(2250));
    separatorLine(this, QStringLiteral("#ffffff"), twipsToPixels(2250) + 1);

    auto *ok = new QPushButton(textos::kAceptar, this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setGeometry(twips(4275, 2385, 1467, 345));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    if (parent) {
        const QRect frame = parent->window()->frameGeometry();
        move(frame.center() - rect().center());
    }
}

} // namespace kivo
