// The information tabs of the main window: new stocks, campaign stocks, announcements, previous orders and
// the account statement. Each tab reloads its list whenever it is shown (runTabLoad): the worker fills a
// SekmeYuku of its own and the main thread swaps the result into the tab's table before the grid is
// re-attached, so two loads of the same tab never fill one table at the same time and the last load to
// end leaves its rows on screen.

#include "form1.h"

#include "controls.h"
#include "datagrid.h"
#include "errors.h"
#include "hexcoz.h"
#include "icons.h"
#include "look.h"
#include "money.h"
#include "servermethods.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTabBar>
#include <QTabWidget>

using tarvik::CellKind;
using tarvik::DataGrid;
using tarvik::Show;
using tarvik::SummaryKind;
using tarvik::ValueImage;

namespace {

const QString kYeniStoklar = QStringLiteral("=Yeni Stoklar");
const QString kKampanyali = QStringLiteral("=Kampanyalı");

QFont yazi(const QString &family, int pixels)
{
    QFont f(family);
    f.setPixelSize(pixels);
    f.setBold(false);
    return f;
}

// What the five grids share: read-only (always), typing searches, filter buttons and the column menu in
// the headers, no group box, headers 40 px high.
void ortakGorunum(DataGrid *grid, const QString &name)
{
    grid->setAccessibleName(name);
    grid->setIncrementalSearch(true);
    grid->setFilterButtons(true);
    grid->setGroupBoxVisible(false);
    grid->setHeaderHeight(40);
}

// The columns the new-stocks and campaign lists share up to the prices, in their order; the campaign
// list (`kampanya`) adds its picture flag after STOK_STOKNO and breaks its texts at word boundaries.
void stokKolonlari(DataGrid *g, bool kampanya)
{
    auto add = [g, kampanya](const char16_t *field, const char16_t *caption, Show show, int weight) {
        g->addColumn({.field = QString::fromUtf16(field), .caption = caption ? QString::fromUtf16(caption) : QString(), .show = show,
                      .weight = weight, .wordWrap = kampanya});
    };
    add(u"OEM1", u"Oem1", Show::No, 2);
    add(u"OEM2", u"Oem2", Show::No, 2);
    add(u"OEM3", u"Oem3", Show::No, 2);
    add(u"BARKOD", u"Barkod", Show::Yes, 2);
    add(u"ADI", u"Açıklama", Show::Yes, 3);
    add(u"OEM4", u"Oem4", Show::No, 2);
    add(u"STOK_STOKNO", nullptr, Show::Hidden, 1);
    if (kampanya)
        g->addColumn({.field = QStringLiteral("RESIM"), .caption = QStringLiteral("Resim"), .weight = 1, .kind = CellKind::Icons,
                      .icons = tarvik::resimListesi(), .alignment = Qt::AlignCenter});
    add(u"FINISHKOD", u"Finish Kod", Show::Yes, 2);
    add(u"URETICIKODU", u"Üretici Kod", Show::No, 2);
    add(u"BARKOD_BARKODNO", nullptr, Show::Hidden, 1);
    add(u"DIGERADI", u"Diğer Adı", Show::No, 3);
    add(u"DPKOD", nullptr, Show::Hidden, 2);
    add(u"OEMNO", u"Oem No", Show::No, 2);
    add(u"BIRIM", u"Birim", Show::Yes, 1);
    add(u"MARKA", u"Marka", Show::Yes, 2);
    add(u"MODEL", u"Model", Show::Yes, 2);
    add(u"ANAGRUP", u"Ana Grup", Show::No, 2);
    add(u"OZELKOD", u"Özel Kod", Show::No, 2);
    add(u"KALAN", nullptr, Show::Hidden, 1); // shown for user types 1 and 2
    add(u"PKOD", nullptr, Show::Hidden, 1);
    add(u"KDV", nullptr, Show::No, 1);
    add(u"ALINANSIPARIS", nullptr, Show::Hidden, 1); // shown for user types 1 and 2
    add(u"VERILENSIPARIS", nullptr, Show::Hidden, 1);
}

QString satirMetni(const tarvik::GridRow &row, const QString &field)
{
    return row.value(field).toString();
}

} // namespace

HareketBelgesi HareketBelgesiSec(const QString &turadi)
{
    if (turadi == QStringLiteral("Tahsilat") || turadi == QStringLiteral("Tediye"))
        return HareketBelgesi::Tahsilat;
    if (turadi.contains(QStringLiteral("Fatura")))
        return HareketBelgesi::Fatura;
    return HareketBelgesi::Yok;
}

// ---- layout and wiring ------------------------------------------------------------------------------

void TForm1::baglaSekmeler()
{
    // New stocks.
    DataGrid *yeni = cxGridDBTableView5;
    ortakGorunum(yeni, QStringLiteral("Yeni Stoklar"));
    yeni->setFont(yazi(QStringLiteral("Tahoma"), 13));
    yeni->setRowSelect(true);
    yeni->setRowHeight(40);
    stokKolonlari(yeni, false);
    yeni->addColumn({.field = QStringLiteral("FIYAT"), .caption = QStringLiteral("Liste Fiyatı2"), .show = Show::No, .weight = 2});
    yeni->addColumn({.field = QStringLiteral("K"), .caption = QStringLiteral("Kampanyalı"), .weight = 1, .kind = CellKind::Icons,
                     .icons = tarvik::bayrakListesi(), .alignment = Qt::AlignCenter});
    yeni->addColumn({.field = QStringLiteral("LISTEFIYAT1"), .caption = QStringLiteral("Liste Fiyatı"), .weight = 2});
    yeni->addColumn({.field = QStringLiteral("KAMPFIYAT"), .caption = QStringLiteral("Kampanyalı Fiyatı"), .weight = 2});
    yeni->addColumn({.field = QStringLiteral("INDIRIMYAZI"), .caption = QStringLiteral("Indirim Oran"), .weight = 2, .alignment = Qt::AlignCenter});
    yeni->addColumn({.field = QStringLiteral("INDIRIM"), .caption = QStringLiteral("İndirim Oran"), .show = Show::Hidden, .weight = 1});
    yeni->addColumn({.field = QStringLiteral("NETFIYAT"), .caption = QStringLiteral("Net Fiyatı"), .weight = 2});
    yeni->addColumn({.field = QStringLiteral("KDVDAHIL"), .caption = QStringLiteral("KDV Dahil Fiyat"), .weight = 2});
    yeni->setFooterVisible(true);
    yeni->setFooterSummaries({{SummaryKind::Count, QStringLiteral("OEM1")}});
    connect(yeni, &DataGrid::resized, this, [yeni] { KolonGenislikAyarla(yeni); });
    connect(yeni, &DataGrid::doubleClicked, this, &TForm1::cxGridDBTableView5DblClick);

    // Campaign stocks: the list price is ESKIFIYAT, the campaign price FIYAT.
    DataGrid *kamp = cxGridDBTableViewkampanyali;
    ortakGorunum(kamp, QStringLiteral("Kampanyalı Stoklar"));
    kamp->setFont(yazi(QStringLiteral("Arial"), 11));
    kamp->setRowSelect(true);
    kamp->setRowHeight(40);
    stokKolonlari(kamp, true);
    kamp->addColumn({.field = QStringLiteral("ESKIFIYAT"), .caption = QStringLiteral("Liste Fiyatı"), .weight = 2, .wordWrap = true});
    kamp->addColumn({.field = QStringLiteral("FIYAT"), .caption = QStringLiteral("Kampanyalı Fiyatı"), .weight = 2, .wordWrap = true});
    kamp->addColumn({.field = QStringLiteral("Y"), .caption = QStringLiteral("Yeni"), .weight = 1, .kind = CellKind::Icons,
                     .icons = tarvik::bayrakListesi(), .alignment = Qt::AlignCenter});
    kamp->addColumn({.field = QStringLiteral("K"), .caption = QStringLiteral("Kampanyalı"), .weight = 1, .kind = CellKind::Icons,
                     .icons = tarvik::bayrakListesi(), .alignment = Qt::AlignCenter});
    kamp->addColumn({.field = QStringLiteral("INDIRIM"), .caption = QStringLiteral("İndirim Oran"), .show = Show::Hidden, .weight = 1});
    kamp->addColumn({.field = QStringLiteral("INDIRIMYAZI"), .caption = QStringLiteral("İndirim Oran"), .weight = 2,
                     .alignment = Qt::AlignCenter, .wordWrap = true});
    kamp->addColumn({.field = QStringLiteral("NETFIYAT"), .caption = QStringLiteral("Net Fiyatı"), .weight = 2, .wordWrap = true});
    kamp->addColumn({.field = QStringLiteral("KDVDAHIL"), .caption = QStringLiteral("KDV Dahil Fiyat"), .weight = 2, .wordWrap = true});
    kamp->addColumn({.field = QStringLiteral("DURUM"), .caption = QStringLiteral("Durum"), .weight = 1, .kind = CellKind::Icons,
                     .icons = tarvik::durumListesi(), .alignment = Qt::AlignCenter});
    kamp->setFooterVisible(true);
    kamp->setFooterSummaries({{SummaryKind::Count, QStringLiteral("OEM1")}});
    connect(kamp, &DataGrid::resized, this, [kamp] {
        if (kamp->isEnabled())
            KolonGenislikAyarla(kamp);
    });
    connect(kamp, &DataGrid::doubleClicked, this, &TForm1::cxGridDBTableViewkampanyaliDblClick);

    // Announcements: one large picture per row, nothing for the user to rearrange.
    DataGrid *duyuru = cxGridduyuruBandedDuyuru;
    ortakGorunum(duyuru, QStringLiteral("Duyurular"));
    duyuru->setHeaderVisible(false);
    duyuru->setIndicatorWidth(0);
    duyuru->setRowHeight(405);
    duyuru->setPixelScrolling(true);
    duyuru->setSortingEnabled(false);
    duyuru->setFilterButtons(false);
    duyuru->setIncrementalSearch(false);
    duyuru->setColumnsMovable(false);
    duyuru->setColumnsSizable(false);
    duyuru->setFocusRectVisible(false);
    duyuru->addColumn({.field = QStringLiteral("RESIM"), .caption = QStringLiteral("Duyuru"), .fixed = true, .kind = CellKind::Picture,
                       .width = 605});
    duyuru->addColumn({.field = QStringLiteral("BASLIK"), .caption = QStringLiteral("Başlık"), .show = Show::Hidden});
    duyuru->addColumn({.field = QStringLiteral("ARAMA"), .caption = QStringLiteral("Arama"), .show = Show::Hidden});
    duyuru->setColumnWidth(QStringLiteral("RESIM"), 605);
    connect(duyuru, &DataGrid::doubleClicked, this, &TForm1::cxGridduyuruBandedDuyuruDblClick);

    // Previous orders: widths fitted after each load.
    DataGrid *onceki = cxGridDBTableView2;
    ortakGorunum(onceki, QStringLiteral("Önceki Siparişler"));
    onceki->setFont(yazi(QStringLiteral("Tahoma"), 13));
    onceki->setRowHeight(40);
    onceki->setFocusRectVisible(false);
    {
        const struct
        {
            const char16_t *field, *caption;
            Show show;
        } kolonlar[] = {
            {u"CARINO", nullptr, Show::Hidden},   {u"IDNO", u"Sipariş No", Show::Yes},  {u"TARIH", u"Tarih", Show::Yes},
            {u"KUR", u"Kur", Show::Hidden},       {u"KURTL", u"Kur TL", Show::Hidden},  {u"VERENIDNO", nullptr, Show::Hidden},
            {u"KARGO", u"Kargo Türü", Show::Yes}, {u"TESLIM", u"Teslim", Show::Yes},    {u"VEREN", u"Veren", Show::Yes},
            {u"CARIKOD", u"Cari Kod", Show::No},  {u"CARIADI", u"Cari Adı", Show::No},  {u"VERGI", u"Vergi Tutarı", Show::Yes},
            {u"NETTUTAR", u"Net Tutar", Show::Yes}, {u"TUTAR", u"Tutar", Show::Yes},    {u"DURUM", u"Durum", Show::Yes},
            {u"KARGOADI", u"Kargo Adı", Show::Yes},
        };
        for (const auto &k : kolonlar)
            onceki->addColumn({.field = QString::fromUtf16(k.field), .caption = k.caption ? QString::fromUtf16(k.caption) : QString(),
                               .show = k.show});
        onceki->addColumn({.field = QStringLiteral("VERENINNOTU"), .caption = QStringLiteral("Verenin Notu"), .multiLine = true});
        onceki->addColumn({.field = QStringLiteral("ALANNOTU"), .caption = QStringLiteral("Alanın Notu"), .multiLine = true});
    }
    poponceki = new QMenu(this);
    poponceki->setObjectName(QStringLiteral("poponceki"));
    poponceki->setAccessibleName(QStringLiteral("Önceki Siparişler Menüsü"));
    S1 = poponceki->addAction(QStringLiteral("Siparişi İncele"));
    poponceki->addSeparator();
    SipariBakiyeleriniz1 = poponceki->addAction(QStringLiteral("Sipariş Bakiyeleriniz"));
    poponceki->addSeparator();
    T1 = poponceki->addAction(QStringLiteral("Tüm Siparişler"));
    connect(S1, &QAction::triggered, this, &TForm1::S1Click);
    connect(SipariBakiyeleriniz1, &QAction::triggered, this, &TForm1::SipariBakiyeleriniz1Click);
    connect(T1, &QAction::triggered, this, &TForm1::T1Click);
    onceki->setRowMenu(poponceki);
    connect(onceki, &DataGrid::doubleClicked, this, &TForm1::cxGridDBTableView2DblClick);

    // Account statement: the server's row order is kept (the running balance depends on it).
    DataGrid *ekstre = cxGridDBTableView4;
    ortakGorunum(ekstre, QStringLiteral("Cari Ekstre"));
    ekstre->setFont(yazi(QStringLiteral("Tahoma"), 15));
    ekstre->setRowHeight(40);
    ekstre->setFocusRectVisible(false);
    ekstre->setSortingEnabled(false);
    {
        const Qt::Alignment sol = Qt::AlignLeft, sag = Qt::AlignRight;
        const struct
        {
            const char16_t *field, *caption;
            Show show;
            Qt::Alignment alignment;
        } kolonlar[] = {
            {u"CARINO", nullptr, Show::Hidden, sol}, {u"TARIH", u"Tarih", Show::Yes, sol},
            {u"TURADI", u"Tür Adı", Show::Yes, sol}, {u"EVRAK", u"Evrak No", Show::Yes, sol},
            {u"BORC", u"Borç", Show::Yes, sag},      {u"ALACAK", u"Alacak", Show::Yes, sag},
            {u"KUR", u"Kur", Show::Yes, sol},        {u"BAKIYE", u"Bakiye", Show::Yes, sag},
            {u"D", nullptr, Show::Yes, Qt::AlignCenter}, {u"IDNO", nullptr, Show::Hidden, sol},
            {u"ACIKLAMA", u"Açıklama", Show::Yes, sol},
        };
        for (const auto &k : kolonlar)
            ekstre->addColumn({.field = QString::fromUtf16(k.field), .caption = k.caption ? QString::fromUtf16(k.caption) : QString(),
                               .show = k.show, .alignment = k.alignment});
    }
    ekstre->setFooterVisible(true);
    ekstre->setFooterSummaries({{SummaryKind::Sum, QStringLiteral("BORC")}, {SummaryKind::Sum, QStringLiteral("ALACAK")}});
    popekstre = new QMenu(this);
    popekstre->setObjectName(QStringLiteral("popekstre"));
    popekstre->setAccessibleName(QStringLiteral("Cari Ekstre Menüsü"));
    H1 = popekstre->addAction(QStringLiteral("Hareket İncele"));
    connect(H1, &QAction::triggered, this, &TForm1::H1Click);
    ekstre->setRowMenu(popekstre);
    connect(ekstre, &DataGrid::doubleClicked, this, &TForm1::cxGridDBTableView4DblClick);

    connect(sPageControl1, &QTabWidget::currentChanged, this, &TForm1::sekmeDegisti);
}

void TForm1::sekmeDegisti(int index)
{
    QWidget *page = sPageControl1->widget(index);
    if (page == syeniler)
        syenilerShow();
    else if (page == skampanyali)
        skampanyaliShow();
    else if (page == sTabSheetduyuru)
        sTabSheetduyuruShow();
    else if (page == sonceki)
        soncekiShow();
    else if (page == sccariekstre)
        sccariekstreShow();
    else if (page == ssepet)
        ssepetShow();
}

// ---- the loads ------------------------------------------------------------------------------------

namespace {

// A load's own clone of the connection and the identity values as they are now.
std::shared_ptr<SekmeYuku> yeniYuk(const TForm1 &w)
{
    auto yuk = std::make_shared<SekmeYuku>();
    yuk->baglanti = w.bagc.clone();
    yuk->carino = w.sbilgi.CARINO();
    yuk->musteriTipi = w.sbilgi.MusteriTipi();
    return yuk;
}

void sayiBasligi(QTabWidget *tabs, QWidget *page, int count, const QString &title)
{
    const int i = tabs->indexOf(page);
    if (i >= 0)
        tarvik::setTabCaption(tabs->tabBar(), i, QString::number(count) + title);
}

} // namespace

void TForm1::syenilerShow()
{
    auto yuk = yeniYuk(*this);
    runTabLoad(this, {gifyeniler, cxGridDBTableView5, [yuk] { return YenileriGetir(*yuk); },
                      [this, yuk] {
                          if (!yuk->geldi)
                              return;
                          YENILER.assignDataPacket(std::move(yuk->tablo));
                          SayiBicimiAyarla(YENILER);
                          sayiBasligi(sPageControl1, syeniler, YENILER.recordCount(), kYeniStoklar);
                      },
                      [this] {
                          KolonGenislikAyarla(cxGridDBTableView5);
                          ++bitenSekmeYuklemeleri_;
                      }});
}

void TForm1::skampanyaliShow()
{
    auto yuk = yeniYuk(*this);
    runTabLoad(this, {gifkampanyali, cxGridDBTableViewkampanyali, [yuk] { return KampanyalilariGetir(*yuk); },
                      [this, yuk] {
                          if (!yuk->geldi)
                              return;
                          kampstok.assignDataPacket(std::move(yuk->tablo));
                          sayiBasligi(sPageControl1, skampanyali, kampstok.recordCount(), kKampanyali);
                          SayiBicimiAyarla(kampstok);
                      },
                      [this] {
                          KolonGenislikAyarla(cxGridDBTableViewkampanyali);
                          ++bitenSekmeYuklemeleri_;
                      }});
}

void TForm1::sTabSheetduyuruShow()
{
    auto yuk = yeniYuk(*this);
    runTabLoad(this, {gifduyuru, cxGridduyuruBandedDuyuru, [yuk] { return DuyurulariGetir(*yuk); },
                      [this, yuk] {
                          if (!yuk->geldi)
                              return;
                          tarvik::UnboundRows *rows = cxGridduyuruBandedDuyuru->unboundRows();
                          rows->clear();
                          for (const SekmeYuku::Duyuru &d : yuk->duyurular) {
                              const int r = rows->appendRow();
                              if (!d.resim.isEmpty())
                                  rows->setValue(r, QStringLiteral("RESIM"), d.resim);
                              rows->setValue(r, QStringLiteral("ARAMA"), d.arama);
                              rows->setValue(r, QStringLiteral("BASLIK"), d.baslik);
                          }
                      },
                      [this] { ++bitenSekmeYuklemeleri_; }});
}

void TForm1::soncekiShow()
{
    auto yuk = yeniYuk(*this);
    runTabLoad(this, {gifoncekiler, cxGridDBTableView2, [yuk] { return OncekileriGetir(*yuk); },
                      [this, yuk] {
                          if (!yuk->geldi)
                              return;
                          ONCEKILER.assignDataPacket(std::move(yuk->tablo));
                          SayiBicimiAyarla(ONCEKILER);
                      },
                      [this] {
                          cxGridDBTableView2->bestFit();
                          cxGridDBTableView2->setColumnWidth(QStringLiteral("VERENINNOTU"), 200);
                          cxGridDBTableView2->setColumnWidth(QStringLiteral("ALANNOTU"), 200);
                          ++bitenSekmeYuklemeleri_;
                      }});
}

void TForm1::sccariekstreShow()
{
    auto yuk = yeniYuk(*this);
    runTabLoad(this, {gifekstre, cxGridDBTableView4, [yuk] { return EkstreGetir(*yuk); },
                      [this, yuk] {
                          if (!yuk->geldi)
                              return;
                          EKSTRE.assignDataPacket(std::move(yuk->tablo));
                          EkstreBakiyeHesapla();
                          SayiBicimiAyarla(EKSTRE);
                      },
                      [this] {
                          cxGridDBTableView4->bestFit();
                          ++bitenSekmeYuklemeleri_;
                      }});
}

// The load steps run on a worker thread and touch nothing but their SekmeYuku. Errors of the new-stocks,
// campaign and announcement calls are not caught: they reach the application's error display after the
// grid has been restored, and the tab keeps what it showed.

bool TForm1::YenileriGetir(SekmeYuku &yuk)
{
    if (!BaglantiKontrol(*yuk.baglanti, 0))
        return true;
    {
        TServerMethods1Client proxy(yuk.baglanti->DBXConnection());
        yuk.tablo = proxy.YenilerVer2(yuk.carino);
        yuk.geldi = true;
    }
    yuk.baglanti->close();
    return false;
}

bool TForm1::KampanyalilariGetir(SekmeYuku &yuk)
{
    if (!BaglantiKontrol(*yuk.baglanti, 0))
        return true;
    {
        TServerMethods1Client proxy(yuk.baglanti->DBXConnection());
        yuk.tablo = proxy.KampanyaliVer2(yuk.carino, yuk.musteriTipi);
        yuk.geldi = true;
    }
    yuk.baglanti->close();
    return false;
}

bool TForm1::DuyurulariGetir(SekmeYuku &yuk)
{
    if (!BaglantiKontrol(*yuk.baglanti, 0))
        return true;
    {
        TServerMethods1Client proxy(yuk.baglanti->DBXConnection());
        const TAcilisEkranlariki *ekranlar = proxy.AcilisEkranlarVer2();
        std::vector<SekmeYuku::Duyuru> duyurular;
        if (ekranlar) {
            for (const std::shared_ptr<TAcilisEkran> &e : ekranlar->Ekranlar()) {
                if (!e)
                    continue;
                // A picture that is no hexadecimal text fails the whole load (ConversionError).
                duyurular.push_back({e->Resim().isEmpty() ? QByteArray() : HexCoz(e->Resim()), e->Baslik(), e->Arama()});
            }
        }
        yuk.duyurular = std::move(duyurular);
        yuk.geldi = true;
    }
    yuk.baglanti->close();
    return false;
}

bool TForm1::OncekileriGetir(SekmeYuku &yuk)
{
    if (!BaglantiKontrol(*yuk.baglanti, 0))
        return true;
    try {
        TServerMethods1Client proxy(yuk.baglanti->DBXConnection());
        const tarvik::TableReader *reader = proxy.OncekiSiparisler(yuk.carino);
        if (!reader)
            return true;
        yuk.tablo = reader->table();
        yuk.geldi = true;
    } catch (...) {
        return true;
    }
    yuk.baglanti->close();
    return false;
}

bool TForm1::EkstreGetir(SekmeYuku &yuk)
{
    if (!BaglantiKontrol(*yuk.baglanti, 0))
        return true;
    try {
        TServerMethods1Client proxy(yuk.baglanti->DBXConnection());
        const tarvik::TableReader *reader = proxy.CariEkstreVer(yuk.carino);
        if (!reader)
            return true;
        // The running balance needs the movements' amounts and a number column and a text column to
        // write into; a statement without them is a failed load.
        const tarvik::DataTable &t = reader->table();
        const auto numeric = [&t](const char16_t *name) {
            const int c = t.indexOf(QStringView(name));
            if (c < 0)
                return false;
            const tarvik::DbxType type = t.column(c).type;
            return type == tarvik::DbxType::Double || type == tarvik::DbxType::Int32 || type == tarvik::DbxType::Int64;
        };
        const int d = t.indexOf(u"D");
        const int bakiye = t.indexOf(u"BAKIYE");
        if (!numeric(u"BORC") || !numeric(u"ALACAK") || bakiye < 0 || t.column(bakiye).type != tarvik::DbxType::Double || d < 0
            || t.column(d).type != tarvik::DbxType::WideString)
            return true;
        yuk.tablo = t;
        yuk.geldi = true;
    } catch (...) {
        return true;
    }
    yuk.baglanti->close();
    return false;
}

void TForm1::EkstreBakiyeHesapla()
{
    EkstreBakiyeHesapla(EKSTRE);
}

// BAKIYE := the balance after the row, Σ(BORC − ALACAK) from the first row in table order; D := "B" while
// the account owes, "A" while it is owed, a blank at 0. An empty amount counts as 0. The sum is kept at
// whole cents, as every money total of the program, so that a balance that is 0,00 on screen is 0 here.
void TForm1::EkstreBakiyeHesapla(tarvik::MemTable &tablo)
{
    if (!tablo.isOpen())
        return;
    const int borc = tablo.fieldIndex(u"BORC"), alacak = tablo.fieldIndex(u"ALACAK");
    const int bakiye = tablo.fieldIndex(u"BAKIYE"), d = tablo.fieldIndex(u"D");
    if (borc < 0 || alacak < 0 || bakiye < 0 || d < 0)
        return;
    tablo.disableControls();
    double r = 0;
    tablo.first();
    while (!tablo.eof()) {
        r = IkiHaneYuvarla(r + (tablo.field(borc).toDouble() - tablo.field(alacak).toDouble()));
        tablo.edit();
        tablo.setField(bakiye, r);
        tablo.setField(d, r > 0 ? QStringLiteral("B") : r < 0 ? QStringLiteral("A") : QStringLiteral(" "));
        tablo.post();
        tablo.next();
    }
    tablo.first();
    tablo.enableControls();
}

// ---- row actions ------------------------------------------------------------------------------------

void TForm1::cxGridDBTableView5DblClick()
{
    const tarvik::GridRow row = cxGridDBTableView5->focusedRecord();
    if (row.isValid())
        SepeteEkleSekmeden(row.value(QStringLiteral("STOK_STOKNO")).toInt(), false);
}

void TForm1::cxGridDBTableViewkampanyaliDblClick()
{
    const tarvik::GridRow row = cxGridDBTableViewkampanyali->focusedRecord();
    if (row.isValid())
        SepeteEkleSekmeden(row.value(QStringLiteral("STOK_STOKNO")).toInt(), true);
}

void TForm1::cxGridduyuruBandedDuyuruDblClick()
{
    const tarvik::GridRow row = cxGridduyuruBandedDuyuru->focusedRecord();
    if (!row.isValid())
        return;
    const QString arama = satirMetni(row, QStringLiteral("ARAMA"));
    if (arama.trimmed().isEmpty())
        return;
    if (arama == QStringLiteral("#KAMPANYA#"))
        sPageControl1->setCurrentWidget(skampanyali);
    else if (arama == QStringLiteral("#YENİ#"))
        sPageControl1->setCurrentWidget(syeniler);
    else
        StokAramasiYap(arama);
}

void TForm1::cxGridDBTableView2DblClick()
{
    S1Click();
}

void TForm1::S1Click()
{
    const tarvik::GridRow row = cxGridDBTableView2->focusedRecord();
    if (row.isValid())
        SiparisAyrintisiAc(row.value(QStringLiteral("IDNO")).toInt());
}

void TForm1::SipariBakiyeleriniz1Click()
{
    SiparisBakiyeleriAc();
}

void TForm1::T1Click()
{
    TumSiparislerAc(0);
}

void TForm1::cxGridDBTableView4DblClick()
{
    H1Click();
}

void TForm1::H1Click()
{
    const tarvik::GridRow row = cxGridDBTableView4->focusedRecord();
    if (row.isValid())
        HareketIncele(row.value(QStringLiteral("IDNO")).toInt(), satirMetni(row, QStringLiteral("TURADI")),
                      row.value(QStringLiteral("CARINO")).toInt());
}

// ---- hand-offs --------------------------------------------------------------------------------------
// The windows these open come with the basket and the order and document windows; until
// then they do nothing.


void TForm1::SiparisAyrintisiAc(int) {}

void TForm1::SiparisBakiyeleriAc() {}

void TForm1::TumSiparislerAc(int) {}

void TForm1::HareketIncele(int, const QString &turadi, int)
{
    switch (HareketBelgesiSec(turadi)) {
    case HareketBelgesi::Tahsilat: // the collection window
    case HareketBelgesi::Fatura:   // the invoice window
    case HareketBelgesi::Yok:
        break;
    }
}
