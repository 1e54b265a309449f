#include "ui/qt/UrlOpener.h"

#include "ui/core/Replaceable.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace {

// Whether a browser started is not checked: nothing is reported either way.
void OpenInBrowser(const std::string& address)
{
    QDesktopServices::openUrl(QUrl(QString::fromLocal8Bit(address.data(), qsizetype(address.size()))));
}

Replaceable<UrlOpener::Function>& Current()
{
    static Replaceable<UrlOpener::Function> opener{OpenInBrowser};
    return opener;
}

}  // namespace

void UrlOpener::Open(const std::string& address)
{
    Current()(address);
}

UrlOpener::Function UrlOpener::Replace(Function opener)
{
    return Current().Replace(std::move(opener));
}
