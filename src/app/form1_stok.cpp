// The main window's stock search and stock list: the search bar, the search on a worker thread, the
// stock grid with its columns, its layout for narrow and wide windows, the price summary cell and the
// row menu.

#include "form1.h"

#include "await.h"
#include "controls.h"
#include "datagrid.h"
#include "icons.h"
#include "look.h"
#include "messages.h"
#include "remote_connection.h"
#include "servermethods.h"

#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

using tarvik::CellKind;
using tarvik::DataGrid;
using tarvik::Show;

namespace {

const QString kStokListesi = QStringLiteral("Stok Listesi");
const QString kFiyatBilgisi = QStringLiteral("Fiyat Bilgisi");
// The price columns the wide layout shows and the narrow one sums up in "Fiyat Bilgisi".
const QString kPriceColumns[] = {QStringLiteral("KDVDAHIL"), QStringLiteral("NETFIYAT"), QStringLiteral("KAMPFIYAT"),
                                 QStringLiteral("LISTEFIYAT1")};

// Events of the search box: Enter searches.
class SearchKeys : public QObject
{
public:
    SearchKeys(TForm1 *form) : QObject(form), form_(form) {}
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        form_->StokAramasiBaslat();
        return true;
    }

private:
    TForm1 *form_;
};

} // namespace

QString TForm1::AramaMetniSuz(const QString &typed)
{
    static const std::pair<char16_t, char16_t> letters[] = {{u'ğ', u'g'}, {u'ü', u'u'}, {u'ş', u's'}, {u'ö', u'o'},
                                                            {u'ç', u'c'}, {u'Ğ', u'G'}, {u'Ü', u'U'}, {u'Ş', u'S'},
                                                            {u'İ', u'I'}, {u'Ö', u'O'}, {u'Ç', u'C'}, {u'ı', u'I'}};
    QString out = typed;
    for (QChar &c : out) {
        for (const auto &[from, to] : letters) {
            if (c == QChar(from)) {
                c = QChar(to);
                break;
            }
        }
    }
    return out.toUpper();
}

void TForm1::declareStockColumns()
{
    DataGrid *g = cxGrid1DBTableView1;
    auto text = [g](const char16_t *field, const char16_t *caption, Show show, int weight) {
        g->addColumn({.field = QString::fromUtf16(field), .caption = caption ? QString::fromUtf16(caption) : QString(), .show = show,
                      .weight = weight, .wordWrap = true});
    };
    g->addColumn({.field = QStringLiteral("DURUM"), .caption = QStringLiteral("Durum"), .kind = CellKind::Icons, .icons = tarvik::durumListesi(),
                  .alignment = Qt::AlignHCenter});
    text(u"OEM1", u"Oem1", Show::No, 2);
    text(u"OEM2", u"Oem2", Show::No, 2);
    text(u"OEM3", u"Oem3", Show::No, 2);
    text(u"BARKOD", u"Barkod", Show::Yes, 2);
    text(u"ADI", u"Açıklama", Show::Yes, 3);
    text(u"OEM4", u"Oem4", Show::No, 2);
    text(u"STOK_STOKNO", nullptr, Show::Hidden, 1);
    text(u"FINISHKOD", u"Finish Kod", Show::No, 2);
    text(u"URETICIKODU", u"Üretici Kod", Show::No, 2);
    g->addColumn({.field = QStringLiteral("RESIM"), .caption = QStringLiteral("Resim"), .weight = 1, .kind = CellKind::Icons,
                  .icons = tarvik::resimListesi(),
                  .alignment = Qt::AlignHCenter});
    text(u"BARKOD_BARKODNO", nullptr, Show::Hidden, 1);
    text(u"DIGERADI", u"Diğer Adı", Show::No, 3);
    text(u"DPKOD", nullptr, Show::Hidden, 2);
    text(u"OEMNO", u"Oem No", Show::No, 2);
    text(u"BIRIM", u"Birim", Show::No, 1);
    text(u"MARKA", u"Marka", Show::Yes, 2);
    text(u"MODEL", u"Model", Show::Yes, 2);
    text(u"ANAGRUP", u"Ana Grup", Show::No, 2);
    text(u"OZELKOD", u"Özel Kod", Show::Yes, 2);
    text(u"KALAN", nullptr, Show::Hidden, 1);
    text(u"PKOD", nullptr, Show::Hidden, 1);
    text(u"KDV", nullptr, Show::No, 1);
    text(u"ALINANSIPARIS", nullptr, Show::Hidden, 1);
    text(u"VERILENSIPARIS", nullptr, Show::Hidden, 1);
    text(u"LISTEFIYAT1", u"Liste Fiyatı", Show::Yes, 2);
    text(u"KAMPFIYAT", u"Kampanyalı Fiyat", Show::Yes, 2);
    text(u"FIYAT", u"Liste Fiyatı", Show::No, 2);
    g->addColumn({.field = QStringLiteral("Y"), .caption = QStringLiteral("Yeni"), .kind = CellKind::Icons, .icons = tarvik::bayrakListesi(),
                  .alignment = Qt::AlignHCenter});
    g->addColumn({.field = QStringLiteral("K"), .caption = QStringLiteral("Kampanyalı"), .kind = CellKind::Icons, .icons = tarvik::bayrakListesi(),
                  .alignment = Qt::AlignHCenter});
    g->addColumn({.field = QStringLiteral("INDIRIMYAZI"), .caption = QStringLiteral("İndirim Oran"), .weight = 2,
                  .alignment = Qt::AlignHCenter, .wordWrap = true});
    text(u"NETFIYAT", u"Net Fiyatı", Show::Yes, 2);
    text(u"KDVDAHIL", u"KDV Dahil Fiyat", Show::Yes, 3);
    g->addColumn({.field = kFiyatBilgisi, .caption = kFiyatBilgisi, .show = Show::No, .weight = 2, .kind = CellKind::Custom,
                  .draw = [](QPainter &p, const tarvik::CellPaint &cell) {
                      const QString summary = FiyatBilgisiMetni(cell.row.value(QStringLiteral("LISTEFIYAT1")), cell.row.value(QStringLiteral("KAMPFIYAT")),
                                                             cell.row.value(QStringLiteral("NETFIYAT")), cell.row.value(QStringLiteral("KDVDAHIL")));
                      const QColor fill = cell.selected ? QColor(210, 240, 249) : cell.rowIndex % 2 == 0 ? QColor(241, 241, 241) : QColor(Qt::white);
                      p.fillRect(cell.rect, fill);
                      if (cell.font)
                          p.setFont(*cell.font);
                      p.setPen(Qt::black);
                      p.setClipRect(cell.rect);
                      p.drawText(cell.rect.adjusted(10, 0, -10, 0), Qt::AlignRight | Qt::AlignVCenter,
                                 QString(summary).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).trimmed());
                      return true;
                  }});
    g->setHeaderHeight(40);
    g->setRowHeight(60);
    g->setIndicatorWidth(5);
    g->setGridLineColor(QColor(192, 192, 192));
    g->setGroupBoxVisible(false);
    g->setFooterVisible(true);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(13);
    f.setBold(false);
    g->setFont(f);
}

QString TForm1::FiyatBilgisiMetni(const QVariant &liste, const QVariant &kampanya, const QVariant &net, const QVariant &kdvDahil)
{
    // An empty price shows as an empty value after its caption.
    auto money = [](const QVariant &v) {
        bool ok = false;
        const double d = v.toDouble(&ok);
        return v.isValid() && !v.isNull() && ok ? tarvik::formatFloat(d, u"#,###,##0.00") : QString();
    };
    QString text = QStringLiteral("Liste Fiyatı: ") + money(liste) + QStringLiteral("\r\n");
    if (kampanya.toDouble() > 0)
        text += QStringLiteral("Kampanyalı Fiyat: ") + money(kampanya) + QStringLiteral("\r\n");
    text += QStringLiteral("NetFiyat: ") + money(net) + QStringLiteral("\r\n");
    text += QStringLiteral("KDV li Fiyat: ") + money(kdvDahil) + QStringLiteral("\r\n");
    return text;
}

void TForm1::buildStockSearch()
{
    QFont big(QStringLiteral("Tahoma"));
    big.setPixelSize(20);
    araedit->setFont(big);
    araedit->setFixedWidth(340);
    araedit->installEventFilter(new SearchKeys(this));
    connect(araedit, &QLineEdit::textEdited, this, [this](const QString &typed) {
        const QString clean = AramaMetniSuz(typed);
        if (clean == typed)
            return;
        const int cursor = araedit->cursorPosition();
        araedit->setText(clean);
        araedit->setCursorPosition(cursor);
    });
    connect(SpeedButton2, &QToolButton::clicked, this, &TForm1::SpeedButton2Click);
    connect(SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);
    SpeedButton2->setIcon(QIcon(tarvik::searchPicture(22)));
    SpeedButton2->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    popstok = new QMenu(this);
    S2 = popstok->addAction(QStringLiteral("Sepete Ekle"));
    popstok->addSeparator();
    B1 = popstok->addAction(QStringLiteral("Sipariş Bakiyeleriniz"));
    popstok->addSeparator();
    S3 = popstok->addAction(QStringLiteral("Siparişleri Göster"));
    connect(S2, &QAction::triggered, this, &TForm1::S2Click);
    connect(S3, &QAction::triggered, this, &TForm1::S3Click);
    connect(B1, &QAction::triggered, this, &TForm1::B1Click);
    cxGrid1DBTableView1->setRowMenu(popstok);
    connect(cxGrid1DBTableView1, &DataGrid::doubleClicked, this, [this](const QString &) { cxGrid1DBTableView1DblClick(); });
    connect(cxGrid1DBTableView1, &DataGrid::resized, this, [this] { StokKolonDuzenle(); });
}

void TForm1::SpeedButton2Click()
{
    if (araedit->isEnabled())
        StokAramasiBaslat();
}

void TForm1::StokAramasiYap(const QString &text)
{
    if (!araedit->isEnabled())
        return;
    araedit->setText(AramaMetniSuz(text));
    StokAramasiBaslat();
}

void TForm1::StokAramasiBaslat()
{
    if (!araedit->isEnabled())
        return;
    if (sPageControl1->currentWidget() != sstoklistesi)
        sPageControl1->setCurrentWidget(sstoklistesi);
    if (araedit->text().trimmed().size() < 3) {
        MesajGoster(QStringLiteral("Lütfen en az 3 harf giriniz !"), MesajTuru::Uyari, MesajDugmesi::Tamam, MesajDugmesi::Tamam);
        return;
    }
    const QString text = araedit->text();
    araedit->setEnabled(false);
    gifstokara->show();
    cxGrid1DBTableView1->detach();
    cxGrid1DBTableView1->beginUpdate();
    cxGrid1DBTableView1->clearFilters();

    struct Search
    {
        bool hata = true;
        tarvik::DataTable packet;
    };
    auto search = std::make_shared<Search>();
    auto bilgi = std::make_shared<TSonucBilgisi>();
    bilgi->Kopyala(sbilgi);
    auto clone = std::shared_ptr<tarvik::RemoteConnection>(bagc.clone());
    QPointer<TForm1> self(this);
    Baslat([search, bilgi, clone, text] { search->hata = StokBul(*clone, text, *bilgi, search->packet);     })->Await([self, search] {
        if (!self)
            return;
        TForm1 &w = *self;
        bool hata = search->hata;
        if (!hata) {
            w.stok.assignDataPacket(std::move(search->packet));
            if (!w.stok.hasField(u"IND1"))
                hata = true;
            else
                SayiBicimiAyarla(w.stok);
        }
        w.araedit->setEnabled(true);
        w.cxGrid1DBTableView1->attach();
        w.cxGrid1DBTableView1->endUpdate();
        w.StokKolonDuzenle();
        w.araedit->selectAll();
        w.araedit->setFocus();
        w.gifstokara->hide();
        if (hata) {
            if (w.stok.isOpen())
                w.stok.emptyTable();
            MesajGoster(kBaglantiKurulamiyor, MesajTuru::Hata, MesajDugmesi::Tamam, MesajDugmesi::Tamam);
            tarvik::setTabCaption(w.sPageControl1->tabBar(), w.sPageControl1->indexOf(w.sstoklistesi), kStokListesi);
        }
    });
}

bool TForm1::StokBul(tarvik::RemoteConnection &clone, const QString &text, const TSonucBilgisi &bilgi, tarvik::DataTable &packet)
{
    if (!BaglantiKontrol(clone, 0))
        return true;
    try {
        TServerMethods1Client proxy(clone.DBXConnection());
        auto copy = std::make_unique<TSonucBilgisi>();
        copy->Kopyala(bilgi);
        packet = proxy.StokAraGetir(text, std::move(copy));
    } catch (...) {
        clone.close();
        return true;
    }
    clone.close();
    return false;
}

void TForm1::SpeedButton1Click()
{
    if (!araedit->isEnabled())
        return;
    if (stok.isOpen()) {
        stok.emptyTable();
        tarvik::setTabCaption(sPageControl1->tabBar(), sPageControl1->indexOf(sstoklistesi), kStokListesi);
    }
    if (sPageControl1->currentWidget() != sstoklistesi)
        sPageControl1->setCurrentWidget(sstoklistesi);
    cxGrid1DBTableView1->clearFilters();
    araedit->clear();
    araedit->selectAll();
    araedit->setFocus();
}

void TForm1::StokKolonDuzenle()
{
    if (!araedit->isEnabled())
        return; // not while a search runs
    StokKolonDuzenle(cxGrid1DBTableView1, width());
}

void TForm1::StokKolonDuzenle(DataGrid *g, int windowWidth)
{
    const bool narrow = windowWidth < 1153;
    g->beginUpdate();
    for (const QString &c : kPriceColumns)
        g->setColumnVisible(c, !narrow);
    g->setColumnVisible(kFiyatBilgisi, narrow);
    g->setRowHeight(narrow ? 100 : 60);
    g->applyWeights();
    if (narrow) {
        for (const char *c : {"OEM1", "OEM2", "OEM3"})
            g->setColumnWidth(QString::fromLatin1(c), 80);
        g->setColumnWidth(kFiyatBilgisi, 150);
    }
    g->endUpdate();
}

int TForm1::focusedStockNo() const
{
    const tarvik::GridRow row = cxGrid1DBTableView1->focusedRecord();
    if (!row.isValid())
        return 0;
    return row.value(QStringLiteral("STOK_STOKNO")).toInt();
}

void TForm1::cxGrid1DBTableView1DblClick()
{
    if (const int stokno = focusedStockNo())
        SepeteEkleAc(stokno);
}

void TForm1::S2Click()
{
    cxGrid1DBTableView1DblClick();
}

void TForm1::S3Click()
{
    if (const int stokno = focusedStockNo())
        TumSiparislerAc(stokno);
}

// "Sipariş Bakiyeleriniz" here does what the entry of the same name does on the previous orders: it shows
// the account's open balances.
void TForm1::B1Click()
{
    if (focusedStockNo())
        SiparisBakiyeleriAc();
}

