#pragma once
// Opening a document or a web page with the desktop's program for it (the browser, the PDF viewer).
// Goes through one place so that tests record what would have been opened instead of opening it.

#include <QUrl>

#include <functional>

namespace tarvik {

using ShellOpener = std::function<bool(const QUrl &)>;

// Installs the opener; returns the one it replaces. The default is QDesktopServices::openUrl.
ShellOpener setShellOpener(ShellOpener opener);

bool shellOpen(const QUrl &url);

} // namespace tarvik
