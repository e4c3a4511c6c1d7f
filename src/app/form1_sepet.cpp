// The basket tab: the account's basket on the server as a list, the selection of lines, the totals of
// the selected lines, the overdue warning, deleting lines, the Excel copy and "Gönder".

#include "form1.h"

#include "await.h"
#include "callback_channel.h"
#include "controls.h"
#include "errors.h"
#include "datagrid.h"
#include "gridexport.h"
#include "icons.h"
#include "look.h"
#include "messages.h"
#include "money.h"
#include "onaysip.h"
#include "stokayarinti.h"
#include "remote_connection.h"
#include "servermethods.h"

#include <QAction>
#include <QStyle>
#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QThread>
#include <QVBoxLayout>

using tarvik::CellKind;
using tarvik::DataGrid;
using tarvik::Show;

namespace {

const QString kSec = QStringLiteral("Seç");

QString money(double v)
{
    return tarvik::formatFloat(v, u"#,###,##0.00");
}

} // namespace

void TForm1::declareBasketColumns()
{
    DataGrid *g = cxGridDBTableView1;
    auto col = [g](const char16_t *field, const char16_t *caption, Show show, int weight) {
        g->addColumn({.field = QString::fromUtf16(field), .caption = caption ? QString::fromUtf16(caption) : QString(), .show = show,
                      .weight = weight});
    };
    g->addColumn({.field = QStringLiteral("SEC"), .caption = kSec, .fixed = true, .weight = 1, .kind = CellKind::CheckBox, .checkedValue = 1,
                  .alignment = Qt::AlignHCenter});
    col(u"VERILISTARIHI", u"Sipariş Tarihi", Show::Yes, 1);
    col(u"SIRANO", nullptr, Show::Hidden, 0);
    col(u"SIPARISNO", u"Sipariş No", Show::No, 0);
    col(u"CARINO", nullptr, Show::Hidden, 0);
    col(u"TARIH", u"Tarih", Show::No, 1);
    col(u"AKTAR", nullptr, Show::Hidden, 0);
    col(u"STOKNO", nullptr, Show::Hidden, 0);
    col(u"BARKOD", u"Barkod", Show::Yes, 2);
    col(u"FINISHKOD", u"FinishKod", Show::Yes, 2);
    col(u"OEMNO", u"OEMNo", Show::Yes, 2);
    g->addColumn({.field = QStringLiteral("STOKADI"), .caption = QStringLiteral("Stok Açıklama"), .weight = 3, .wordWrap = true});
    col(u"MIKTAR", u"Miktar", Show::Yes, 1);
    col(u"BIRIMFIYAT", u"Birim Fiyat", Show::Yes, 1);
    col(u"TUTAR", u"Tutar", Show::Yes, 1);
    g->addColumn({.field = QStringLiteral("INDIRIMYAZI"), .caption = QStringLiteral("İndirim Oran"), .weight = 2, .alignment = Qt::AlignHCenter});
    col(u"INDIRIMORANI1", u"İndirim Oranı %", Show::Hidden, 1);
    col(u"INDIRIMORANI2", nullptr, Show::Hidden, 1);
    col(u"INDIRIMORANI3", nullptr, Show::Hidden, 1);
    col(u"INDIRIMTUTAR", u"İndirim Tutar", Show::Hidden, 1);
    col(u"NETBIRIMFIYAT", u"Net Fiyat", Show::Yes, 1);
    col(u"KDV", nullptr, Show::No, 1);
    col(u"VERGITUTARI", u"Vergi Tutarı", Show::No, 1);
    col(u"NETTUTAR", u"Net Tutar", Show::Yes, 1);
    col(u"KUR", u"Kur", Show::No, 1);
    col(u"KURTL", nullptr, Show::Hidden, 1);
    col(u"VERENIDNO", nullptr, Show::Hidden, 1);
    col(u"SAAT", u"Saat", Show::No, 1);
    col(u"TESLIMID", nullptr, Show::Hidden, 1);
    col(u"KARGOID", nullptr, Show::Hidden, 1);
    col(u"ACIKLAMA", u"Açıklama", Show::No, 1);
    col(u"IDNO", nullptr, Show::Hidden, 1);
    col(u"VERENSIRANO", nullptr, Show::Hidden, 1);
    col(u"VEREN", u"Veren", Show::Yes, 1);
    col(u"CARIKOD", u"Cari Kod", Show::Hidden, 1);
    col(u"CARIADI", u"Cari Adı", Show::Hidden, 1);
    for (const char16_t *f : {u"OEM1", u"OEM2", u"OEM3", u"OEM4"})
        col(f, nullptr, Show::No, 1);
    col(u"STOK_STOKNO", nullptr, Show::Hidden, 1);
    col(u"URETICIKODU", nullptr, Show::Hidden, 1);
    col(u"DIGERADI", nullptr, Show::No, 1);
    col(u"DPKOD", nullptr, Show::No, 1);
    col(u"MARKA", u"Marka", Show::No, 1);
    col(u"MODEL", u"Model", Show::No, 1);
    col(u"ANAGRUP", u"Ana Grup", Show::No, 1);
    col(u"OZELKOD", u"Özel Kod", Show::No, 1);
    col(u"PKOD", nullptr, Show::No, 1);
    g->addColumn({.field = QStringLiteral("DURUM"), .caption = QStringLiteral("Durum"), .weight = 1, .kind = CellKind::Icons,
                  .icons = tarvik::durumListesi(), .alignment = Qt::AlignHCenter});
    col(u"KALAN", u"Kalan", Show::Hidden, 1);
    col(u"INDIRIMORANI4", nullptr, Show::No, 0);
    g->setGroupBoxVisible(false);
    g->setFooterVisible(true);
    g->setFooterSummaries({{tarvik::SummaryKind::Count, QStringLiteral("STOKADI")},
                           {tarvik::SummaryKind::Count, QStringLiteral("VERILISTARIHI")},
                           {tarvik::SummaryKind::Sum, QStringLiteral("MIKTAR")},
                           {tarvik::SummaryKind::Sum, QStringLiteral("NETTUTAR")}});
}

void TForm1::buildBasketTab()
{
    auto *page = static_cast<QVBoxLayout *>(ssepet->layout());
    QWidget *tab = ssepet;

    auto *strip = new QHBoxLayout;
    Button4 = new QPushButton(QStringLiteral("Hepsini Seç"), tab);
    Button5 = new QPushButton(QStringLiteral("Seçimleri Kaldır"), tab);
    lbluyarbakiye = new QLabel(tab);
    QFont warn(QStringLiteral("Tahoma"));
    warn.setPixelSize(16);
    warn.setBold(true);
    lbluyarbakiye->setFont(warn);
    lbluyarbakiye->setStyleSheet(QStringLiteral("QLabel { color: rgb(246, 211, 56); padding: 2px 8px; }"
                                                "QLabel[uyari=\"1\"] { background: rgb(61, 65, 74); }"));
    lbluyarbakiye->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lbluyarbakiye->setAccessibleName(QStringLiteral("Vade uyarısı"));
    strip->addWidget(Button4);
    strip->addWidget(Button5);
    strip->addWidget(lbluyarbakiye, 1);

    auto *bottom = new QHBoxLayout;
    auto *bilgi = new QGroupBox(QStringLiteral("Bilgi"), tab);
    auto *rows = new QGridLayout(bilgi);
    const char16_t *captions[] = {u"Toplam:", u"İndirim Toplam:", u"Ara Toplam:", u"Vergi:", u"Genel Toplam:"};
    QLabel **values[] = {&aratoplaml, &indiriml, &nettutarl, &vergil, &geneltoplaml};
    for (int r = 0; r < 5; ++r) {
        auto *caption = new QLabel(QString::fromUtf16(captions[r]), bilgi);
        *values[r] = new QLabel(money(0), bilgi);
        (*values[r])->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        (*values[r])->setMinimumWidth(140);
        (*values[r])->setAccessibleName(caption->text());
        rows->addWidget(caption, r, 0);
        rows->addWidget(*values[r], r, 1);
        if (r == 1)
            indirimCaption = caption;
        if (r == 3)
            vergiCaption = caption;
    }
    QFont bold = geneltoplaml->font();
    bold.setBold(true);
    bold.setPixelSize(16);
    geneltoplaml->setFont(bold);
    Button1 = new QPushButton(QStringLiteral("Gönder"), tab);
    Button2 = new QPushButton(QStringLiteral("Excel Kaydet"), tab);
    for (QPushButton *b : {Button1, Button2})
        b->setMinimumSize(130, 40);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addStretch();
    bottom->addStretch();
    bottom->addWidget(bilgi);
    bottom->addLayout(buttons);
    page->addLayout(strip);
    page->addLayout(bottom);
    page->setStretch(0, 1); // the list takes the room

    PopupMenu1 = new QMenu(this);
    Deitir1 = PopupMenu1->addAction(QStringLiteral("Satır Değiştir"));
    PopupMenu1->addSeparator();
    SatrSil1 = PopupMenu1->addAction(QStringLiteral("Satır Sil"));
    PopupMenu1->addSeparator();
    HepsiniSil1 = PopupMenu1->addAction(QStringLiteral("Hepsini Sil"));
    cxGridDBTableView1->setRowMenu(PopupMenu1);

    connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(Deitir1, &QAction::triggered, this, &TForm1::Deitir1Click);
    connect(SatrSil1, &QAction::triggered, this, &TForm1::SatrSil1Click);
    connect(HepsiniSil1, &QAction::triggered, this, &TForm1::HepsiniSil1Click);
    connect(cxGridDBTableView1, &DataGrid::doubleClicked, this, &TForm1::cxGridDBTableView1DblClick);
    connect(cxGridDBTableView1, &DataGrid::resized, this, [this] {
        if (cxGridDBTableView1->isEnabled())
            KolonGenislikAyarla(cxGridDBTableView1);
    });
    SepetToplamHesapla();
}

void TForm1::setBasketCaption()
{
    tarvik::setTabCaption(sPageControl1->tabBar(), sPageControl1->indexOf(ssepet),
                          QString::number(sepet.isOpen() ? sepet.recordCount() : 0) + QStringLiteral("=Sepet"));
}

void TForm1::SepetYenile()
{
    tarvik::DataTable packet;
    const int carino = sbilgi.CARINO();
    std::unique_ptr<tarvik::RemoteConnection> clone = bagc.clone();
    if (!BaglantiKontrol(*clone, 1))
        return;
    try {
        packet = TServerMethods1Client(clone->DBXConnection()).SepetVer2(carino);
    } catch (const tarvik::RemoteError &e) {
        tarvik::showApplicationError(e.message()); // the basket keeps what it showed
        return;
    }
    clone->close();
    cxGridDBTableView1->beginUpdate();
    sepet.assignDataPacket(std::move(packet));
    SayiBicimiAyarla(sepet);
    cxGridDBTableView1->endUpdate();
    setBasketCaption();
    SepetToplamHesapla();
}

void TForm1::ssepetShow()
{
    lbluyarbakiye->clear();
    CariBakiyeUyariBak();

    struct Load
    {
        std::unique_ptr<tarvik::RemoteConnection> clone;
        int carino = 0;
        bool geldi = false;
        tarvik::DataTable packet;
    };
    auto load = std::make_shared<Load>();
    load->clone = bagc.clone();
    load->carino = sbilgi.CARINO();
    // The basket comes into a table of its own and replaces `sepet` on the main thread, so that two
    // shows in a row never fill it at the same time.
    runTabLoad(this, {gifsepet, cxGridDBTableView1,
                      [load] {
                          if (!BaglantiKontrol(*load->clone, 0))
                              return true;
                          TServerMethods1Client proxy(load->clone->DBXConnection());
                          load->packet = proxy.SepetVer2(load->carino);
                          load->clone->close();
                          load->geldi = true;
                          return false;
                      },
                      [this, load] {
                          if (load->geldi) {
                              sepet.assignDataPacket(std::move(load->packet));
                              SayiBicimiAyarla(sepet);
                              setBasketCaption();
                          }
                          SepetToplamHesapla();
                      }});
}

TForm1::SepetToplami TForm1::SepetToplamiHesapla(tarvik::MemTable &table)
{
    SepetToplami t;
    if (!table.isOpen())
        return t;
    const int sec = table.fieldIndex(u"SEC"), tutar = table.fieldIndex(u"TUTAR"), indirim = table.fieldIndex(u"INDIRIMTUTAR"),
              vergi = table.fieldIndex(u"VERGITUTARI");
    if (sec < 0 || tutar < 0 || indirim < 0 || vergi < 0)
        return t;
    for (int r = 0; r < table.recordCount(); ++r) {
        if (table.value(r, sec).toInt() != 1)
            continue;
        // Missing amounts count as nothing.
        t.toplam = IkiHaneYuvarla(t.toplam + table.value(r, tutar).toDouble());
        t.indirim = IkiHaneYuvarla(t.indirim + table.value(r, indirim).toDouble());
        t.vergi = IkiHaneYuvarla(t.vergi + table.value(r, vergi).toDouble());
    }
    t.ara = IkiHaneYuvarla(t.toplam - t.indirim);
    t.genel = IkiHaneYuvarla(t.ara + t.vergi);
    return t;
}

void TForm1::SepetToplamHesapla()
{
    const SepetToplami t = SepetToplamiHesapla(sepet);
    aratoplaml->setText(money(t.toplam));
    indiriml->setText(money(t.indirim));
    vergil->setText(money(t.vergi));
    nettutarl->setText(money(t.ara));
    geneltoplaml->setText(money(t.genel));
    // Totals of 1.00 or less hide their row.
    vergiCaption->setVisible(t.vergi > 1);
    vergil->setVisible(t.vergi > 1);
    indirimCaption->setVisible(t.indirim > 1);
    indiriml->setVisible(t.indirim > 1);
}

bool TForm1::SecimKaydet(int sirano, int secim)
{
    std::unique_ptr<tarvik::RemoteConnection> clone = bagc.clone();
    if (!BaglantiKontrol(*clone, 1))
        return false;
    try {
        TServerMethods1Client(clone->DBXConnection()).SepetSecimGuncelle(sirano, secim);
    } catch (const tarvik::RemoteError &) {
        return false; // the line keeps its new value here
    }
    clone->close();
    return true;
}

void TForm1::CariBakiyeUyariBak()
{
    // On a thread of its own, with a clone of its own; the text goes to the label on the main thread.
    std::shared_ptr<tarvik::RemoteConnection> clone(bagc.clone());
    const int carino = sbilgi.CARINO();
    QPointer<TForm1> self(this);
    QThread *thread = QThread::create([clone, carino, self] {
        QString text;
        if (BaglantiKontrol(*clone, 0)) {
            try {
                text = TServerMethods1Client(clone->DBXConnection()).CariVadeGunGecmismiBul(carino);
            } catch (const tarvik::RemoteError &) {
                text.clear();
            }
            clone->close();
        }
        tarvik::queueTo(qApp, [self, text] {
            if (!self)
                return;
            self->lbluyarbakiye->setText(text);
            // The dark strip behind the yellow text only while there is a warning.
            self->lbluyarbakiye->setProperty("uyari", text.isEmpty() ? 0 : 1);
            self->lbluyarbakiye->style()->unpolish(self->lbluyarbakiye);
            self->lbluyarbakiye->style()->polish(self->lbluyarbakiye);
            ++self->bitenUyarilar_;
        });
    });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

namespace {

// Sets SEC of every row to `value` and stores each on the server.
void selectAll(TForm1 &w, int value)
{
    if (!w.sepet.isOpen())
        return;
    for (int r = 0; r < w.sepet.recordCount(); ++r) {
        w.sepet.setRecNo(r);
        w.sepet.edit();
        w.sepet.setField(u"SEC", value);
        w.sepet.post();
        w.SecimKaydet(w.sepet.fieldInt(u"SIRANO"), value);
    }
    w.SepetToplamHesapla();
    if (w.araedit->isEnabled()) {
        w.araedit->selectAll();
        w.araedit->setFocus();
    }
}

} // namespace

void TForm1::Button4Click()
{
    selectAll(*this, 1);
}

void TForm1::Button5Click()
{
    selectAll(*this, 0);
}

void TForm1::cxGridDBTableView1DblClick(const QString &columnCaption)
{
    const tarvik::GridRow row = cxGridDBTableView1->focusedRecord();
    if (!row.isValid())
        return;
    const int sirano = row.value(QStringLiteral("SIRANO")).toInt();
    if (!sepet.locate(u"SIRANO", sirano))
        return;
    if (columnCaption != kSec) {
        SepetSatirDegistir(sirano);
        return;
    }
    const int secim = sepet.fieldInt(u"SEC") == 0 ? 1 : 0;
    sepet.edit();
    sepet.setField(u"SEC", secim);
    sepet.post();
    SecimKaydet(sirano, secim);
    SepetToplamHesapla();
}

void TForm1::Deitir1Click()
{
    cxGridDBTableView1DblClick(cxGridDBTableView1->focusedColumnCaption());
}

QString TForm1::SilmeAciklamasi(const QString &barkod, const QString &stokadi)
{
    return barkod + u'-' + stokadi;
}

void TForm1::SatrSil1Click()
{
    const tarvik::GridRow row = cxGridDBTableView1->focusedRecord();
    if (!row.isValid())
        return;
    const int sirano = row.value(QStringLiteral("SIRANO")).toInt();
    if (!sepet.locate(u"SIRANO", sirano))
        return;
    if (MesajGoster(QStringLiteral("Satırı silmek istiyor musunuz "), MesajTuru::Soru, MesajDugmesi::Evet | MesajDugmesi::Hayir,
                    MesajDugmesi::Hayir)
        != mrYes)
        return;
    const QString aciklama = SilmeAciklamasi(sepet.fieldText(u"BARKOD"), sepet.fieldText(u"STOKADI"));
    auto bilgi = std::make_unique<TSonucBilgisi>();
    bilgi->Kopyala(sbilgi);
    try {
        if (!tarvik::callOnMainThread(bagc, [&](tarvik::TcpConnection &c) { TServerMethods1Client(&c).SepetSatirSil(std::move(bilgi), sirano, aciklama); }))
            return;
    } catch (const tarvik::RemoteError &e) {
        tarvik::showApplicationError(e.message());
        return;
    }
    SepetYenile();
    MesajGoster(QStringLiteral("Satır silindi !"), MesajTuru::Bilgi, MesajDugmesi::Tamam, MesajDugmesi::Tamam);
}

void TForm1::HepsiniSil1Click()
{
    if (!sepet.isOpen() || sepet.recordCount() == 0)
        return;
    if (MesajGoster(QStringLiteral("Tüm Sepeti Silmek İstiyor musunuz "), MesajTuru::Soru, MesajDugmesi::Evet | MesajDugmesi::Hayir,
                    MesajDugmesi::Hayir)
        != mrYes)
        return;
    auto bilgi = std::make_unique<TSonucBilgisi>();
    bilgi->Kopyala(sbilgi);
    try {
        if (!tarvik::callOnMainThread(bagc, [&](tarvik::TcpConnection &c) { TServerMethods1Client(&c).SepetHepsiniSil(std::move(bilgi)); }))
            return;
    } catch (const tarvik::RemoteError &e) {
        tarvik::showApplicationError(e.message());
        return;
    }
    MesajGoster(QStringLiteral("Sepet Silindi !"), MesajTuru::Bilgi, MesajDugmesi::Tamam, MesajDugmesi::Tamam);
    SepetYenile();
}

void TForm1::Button2Click()
{
    tarvik::excelKaydet(*cxGridDBTableView1, this);
}

// ---- the ordering windows ----

SiparisOrtami TForm1::siparisOrtami()
{
    return SiparisOrtami{this, &bagc, sbilgi, [this] { SepetYenile(); }};
}

void TForm1::Button1Click()
{
    SepetGonder(siparisOrtami(), sepet, lbluyarbakiye->text(), geneltoplaml->text(), Button1);
}

void TForm1::SepetSatirDegistir(int sirano)
{
    ::SepetSatirDegistir(siparisOrtami(), sepet, sirano);
}

void TForm1::SepeteEkleAc(int stokno)
{
    StokSec(siparisOrtami(), StokKaynagi::StokListesi, stok, stokno, sepet);
}

void TForm1::SepeteEkleSekmeden(int stokno, bool kampanyali)
{
    if (kampanyali)
        StokSec(siparisOrtami(), StokKaynagi::Kampanyali, kampstok, stokno, sepet);
    else
        StokSec(siparisOrtami(), StokKaynagi::Yeniler, YENILER, stokno, sepet);
}
