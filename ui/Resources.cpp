#include "ui/Resources.h"

#include <QDir>

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

QPixmap LoadResourceBitmap(int id)
{
    RegisterResources();
    return QPixmap(QStringLiteral(":/bitmap/%1").arg(id));
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
