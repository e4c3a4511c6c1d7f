#pragma once
// The request form window: the server's web page in which a dealer whose computer the server does not
// know asks for access, in an embedded browser, with "Kapat" below it.

#include <QDialog>

class QPushButton;
class QWebEngineView;

class Tformistekyeni : public QDialog
{
    Q_OBJECT
public:
    explicit Tformistekyeni(QWidget *owner = nullptr);

    // Opens an address in the browser.
    void Git(const QString &address);

    QWebEngineView *sitem;
    QPushButton *Button1;
};
