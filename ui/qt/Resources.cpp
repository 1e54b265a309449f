#include "ui/qt/Resources.h"

#include <QDir>
#include <QImage>

// The resource file is compiled into this static library; without an explicit
// reference the linker would drop its registration.
static void RegisterResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(vorn);
        return true;
    }();
    (void)registered;
}

// Through QImage, so every caller gets a bitmap of its own rather than one
// shared through the pixmap cache, which a caller's mask would then alter.
QPixmap LoadResourceBitmap(int id)
{
    RegisterResources();
    return QPixmap::fromImage(QImage(QStringLiteral(":/bitmap/%1").arg(id)));
}

// Each size of an icon is a file in the icon's own folder.
QIcon LoadResourceIcon(int id)
{
    RegisterResources();
    const QDir folder(QStringLiteral(":/icon/%1").arg(id));
    QIcon icon;
    for (const QString& name : folder.entryList(QDir::Files))
        icon.addFile(folder.filePath(name));
    return icon;
}
