#include "shellopen.h"

#include <QDesktopServices>

namespace tarvik {

namespace {

ShellOpener &installed()
{
    static ShellOpener opener;
    return opener;
}

} // namespace

ShellOpener setShellOpener(ShellOpener opener)
{
    std::swap(installed(), opener);
    return opener;
}

bool shellOpen(const QUrl &url)
{
    if (installed())
        return installed()(url);
    return QDesktopServices::openUrl(url);
}

} // namespace tarvik
