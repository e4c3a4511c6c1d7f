// tarvik: the ordering client. Applies the look, creates the main window (which runs the login) and
// runs the message loop.

#include "form1.h"
#include "girisform.h"
#include "look.h"
#include "messagebox.h"

#include <QApplication>
#include <QScreen>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%d\n", kProgramVersion);
            return 0;
        }
    }
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
