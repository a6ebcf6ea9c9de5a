#include "platform/waitcursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace kivo {

namespace {

bool hasGui()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
}

bool hourglassUp()
{
    const QCursor *cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

} // namespace

WaitCursor::WaitCursor()
    : m_active(hasGui())
{
    if (m_active)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor()
{
    if (m_active)
        QGuiApplication::restoreOverrideCursor();
}

WaitCursor::Pause::Pause()
    : m_active(hasGui() && hourglassUp())
{
    if (m_active)
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
}

WaitCursor::Pause::~Pause()
{
    if (m_active)
        QGuiApplication::restoreOverrideCursor();
}

} // namespace kivo
