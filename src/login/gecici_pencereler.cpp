#include "gecici_pencereler.h"

#include "datatable.h"
#include "messages.h"
#include "process_end.h"
#include "remote_connection.h"
#include "servermethods.h"
#include "transfer_objects.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

int geciciCariSecimi(QWidget *owner, tarvik::RemoteConnection &bag, TSonucBilgisi &bilgi)
{
    tarvik::DataTable accounts;
    const bool opened = tarvik::callOnMainThread(bag, [&](tarvik::TcpConnection &c) {
        TServerMethods1Client proxy(&c);
        auto copy = std::make_unique<TSonucBilgisi>();
        copy->Kopyala(bilgi);
        accounts = proxy.CariAra(std::move(copy), QString())->table();
    });
    if (!opened)
        return 0;

    QDialog d(owner);
    d.setWindowTitle(QStringLiteral("Cari Seçimi"));
    d.resize(640, 480);
    auto *note = new QLabel(QStringLiteral("Geçici cari seçimi: çalışacağınız cariyi seçiniz."), &d);
    auto *list = new QTableWidget(accounts.rowCount(), 3, &d);
    list->setAccessibleName(QStringLiteral("Cariler"));
    list->setHorizontalHeaderLabels({QStringLiteral("Cari Kod"), QStringLiteral("Cari Adı"), QStringLiteral("Satıcısı")});
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->verticalHeader()->hide();
    list->horizontalHeader()->setStretchLastSection(true);
    for (int r = 0; r < accounts.rowCount(); ++r) {
        list->setItem(r, 0, new QTableWidgetItem(accounts.value(r, u"CARIKOD").toString()));
        list->setItem(r, 1, new QTableWidgetItem(accounts.value(r, u"CARIADI").toString()));
        list->setItem(r, 2, new QTableWidgetItem(accounts.value(r, u"SATICISI").toString()));
    }
    list->resizeColumnsToContents();
    if (accounts.rowCount() > 0)
        list->selectRow(0);
    auto *buttons = new QDialogButtonBox(&d);
    buttons->addButton(QStringLiteral("Seç"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Vazgeç"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    QObject::connect(list, &QTableWidget::cellDoubleClicked, &d, &QDialog::accept);
    auto *layout = new QVBoxLayout(&d);
    layout->addWidget(note);
    layout->addWidget(list, 1);
    layout->addWidget(buttons);
    if (d.exec() != QDialog::Accepted || list->currentRow() < 0)
        return 0;
    const int r = list->currentRow();
    const int carino = accounts.value(r, u"CARINO").toInt();
    if (carino <= 0)
        return 0;
    bilgi.setCARINO(carino);
    bilgi.setcarikod(accounts.value(r, u"CARIKOD").toString());
    bilgi.setCariAdi(accounts.value(r, u"CARIADI").toString());
    return 1;
}

void geciciGuncelleme(QWidget *, int version)
{
    MesajGoster(QStringLiteral("Programın yeni sürümü (%1) yayınlandı. Lütfen yeni sürümü kurunuz.").arg(version), MesajTuru::Bilgi,
                MesajDugmesi::Tamam, MesajDugmesi::Tamam);
    tarvik::endProcess(0);
}
