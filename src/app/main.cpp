// tarvik: the ordering client. Applies the look, creates the main window (which runs the login) and
// runs the message loop.

#include "form1.h"
#include "look.h"
#include "messagebox.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char **argv)
{
    // The embedded browser of the request form shares its graphics context with the rest.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    tarvik::installMessageBoxPresenter();
    tarvik::applyZirconLook();
    TForm1 window;
    // Maximised; the geometry first, for desktops whose window manager does not maximise.
    if (const QScreen *screen = window.screen())
        window.setGeometry(screen->availableGeometry());
    window.showMaximized();
    return app.exec();
}
