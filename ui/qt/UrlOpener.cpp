#include "ui/qt/UrlOpener.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace {

// Whether a browser started is not checked: nothing is reported either way.
void OpenInBrowser(const std::string& address)
{
    QDesktopServices::openUrl(QUrl(QString::fromLocal8Bit(address.data(), qsizetype(address.size()))));
}

UrlOpener::Function& Current()
{
    static UrlOpener::Function opener = OpenInBrowser;
    return opener;
}

}  // namespace

void UrlOpener::Open(const std::string& address)
{
    Current()(address);
}

UrlOpener::Function UrlOpener::Replace(Function opener)
{
    Function previous = std::move(Current());
    Current() = opener ? std::move(opener) : Function(OpenInBrowser);
    return previous;
}
