#include "formistekyeni.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineView>

Tformistekyeni::Tformistekyeni(QWidget *owner) : QDialog(owner)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(780, 555);
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(11);
    setFont(f);
    sitem = new QWebEngineView(this);
    sitem->setAccessibleName(QStringLiteral("İstek formu"));
    Button1 = new QPushButton(QStringLiteral("Kapat"), this);
    Button1->setFixedWidth(131);
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    auto *panel = new QWidget(this);
    panel->setFixedHeight(41);
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(8, 4, 8, 4);
    row->addWidget(Button1);
    row->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(sitem, 1);
    layout->addWidget(panel);
}

void Tformistekyeni::Git(const QString &address)
{
    // The address carries a blank after "kullanici="; the browser sends it encoded.
    sitem->setUrl(QUrl(address, QUrl::TolerantMode));
}
