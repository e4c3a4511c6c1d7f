// The toolkit's gallery: one window in the Zircon look with count-captioned tabs, a stock grid with
// every cell kind and a footer, a grouped report grid with group footers, and the scrolling band.
// With TARVIK_GALLERY_PNG set, its screenshot is written there (docs/toolkit-gallery.png comes from it).

#include "controls.h"
#include "datagrid.h"
#include "grid_test_support.h"
#include "look.h"
#include "memtable.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace tarvik;
using namespace Qt::Literals::StringLiterals;

namespace {

QImage flagIcon(bool set)
{
    QImage img(22, 22, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(set ? QColor(3, 147, 208) : QColor(180, 184, 190), 2));
    p.setBrush(set ? QColor(3, 147, 208, 60) : Qt::NoBrush);
    p.drawRoundedRect(QRectF(3, 3, 16, 16), 3, 3);
    if (set) {
        p.setPen(QPen(QColor(3, 120, 180), 2.5));
        p.drawPolyline(QPolygonF({QPointF(6.5, 11), QPointF(10, 14.5), QPointF(16, 7)}));
    }
    return img;
}

QImage cameraIcon()
{
    QImage img(22, 22, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(61, 65, 74));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(2, 6, 18, 12), 2, 2);
    p.drawRect(QRectF(7, 4, 6, 3));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(11, 12), 3.5, 3.5);
    return img;
}

QByteArray partPicture(const QColor &c, const QString &label)
{
    QImage img(120, 80, QImage::Format_RGB32);
    img.fill(c.lighter(170));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(c);
    p.setPen(c.darker(150));
    p.drawEllipse(QRectF(30, 10, 60, 60));
    p.setBrush(c.lighter(150));
    p.drawEllipse(QRectF(48, 28, 24, 24));
    p.setPen(Qt::black);
    p.drawText(QRect(0, 62, 120, 18), Qt::AlignCenter, label);
    p.end();
    return gridtest::pictureBytes(img, "PNG");
}

struct Gallery
{
    QWidget window;
    MemTable stok{u"stok"_s};
    MemTable siparis{u"siparis"_s};
    QTabWidget *tabs = nullptr;
    DataGrid *stockGrid = nullptr;
    DataGrid *reportGrid = nullptr;
    Marquee *band = nullptr;

    Gallery()
    {
        applyZirconLook();
        window.setWindowTitle(u"Araç galerisi"_s);
        auto *layout = new QVBoxLayout(&window);
        layout->setContentsMargins(6, 6, 6, 6);
        tabs = new QTabWidget(&window);
        const QStringList captions = {u"0=Stok Listesi"_s, u"3=Sepet"_s, u"12=Yeni Stoklar"_s, u"2,5=Bakiyeler"_s,
                                      u"Duyurular"_s};
        auto *split = new QSplitter(Qt::Vertical);
        tabs->addTab(split, QString());
        for (int i = 1; i < captions.size(); ++i)
            tabs->addTab(new QWidget, QString());
        for (int i = 0; i < captions.size(); ++i)
            setTabCaption(tabs->tabBar(), i, captions[i]);
        layout->addWidget(tabs, 1);

        fillStock();
        stockGrid = new DataGrid;
        stockGrid->setSkin(GridSkin::Whiteprint);
        stockGrid->setSelectionColors(QColor(210, 240, 249), Qt::black);
        stockGrid->setGridLineColor(QColor(192, 192, 192));
        stockGrid->setIndicatorColor(QColor(66, 66, 66));
        stockGrid->setIndicatorWidth(12);
        stockGrid->setHeaderHeight(40);
        stockGrid->setRowHeight(84);
        stockGrid->setFont(QFont(u"DejaVu Sans"_s, 9));
        stockGrid->setTable(&stok);
        const std::vector<ValueImage> flags = {{0, u"Hayır"_s, flagIcon(false)}, {1, u"Evet"_s, flagIcon(true)}};
        stockGrid->addColumn({.field = u"DURUM"_s, .caption = u"Durum"_s, .kind = CellKind::Icons,
                              .icons = gridtest::statusIcons(), .alignment = Qt::AlignCenter, .width = 60});
        stockGrid->addColumn({.field = u"RESIMVERI"_s, .caption = u"Resim"_s, .kind = CellKind::Picture, .width = 110});
        stockGrid->addColumn({.field = u"BARKOD"_s, .caption = u"Barkod"_s, .width = 110});
        stockGrid->addColumn({.field = u"ADI"_s, .caption = u"Açıklama"_s, .weight = 3, .wordWrap = true, .width = 170});
        stockGrid->addColumn({.field = u"MARKA"_s, .caption = u"Marka"_s, .width = 80});
        stockGrid->addColumn({.field = u"RESIM"_s, .caption = u"Var"_s, .kind = CellKind::Icons,
                              .icons = {{1, u"Var"_s, cameraIcon()}, {0, u"Yok"_s, QImage()}}, .width = 44});
        stockGrid->addColumn({.field = u"Y"_s, .caption = u"Yeni"_s, .kind = CellKind::Icons, .icons = flags, .width = 48});
        stockGrid->addColumn({.field = u"SEC"_s, .caption = u"Seç"_s, .fixed = true, .kind = CellKind::CheckBox,
                              .width = 40});
        stockGrid->addColumn({.field = u"INDIRIMYAZI"_s, .caption = u"İndirim Oran"_s, .alignment = Qt::AlignCenter,
                              .width = 96});
        stockGrid->addColumn({.field = u"LISTEFIYAT1"_s, .caption = u"Liste Fiyatı"_s, .width = 90});
        stockGrid->addColumn({.caption = u"Fiyat Bilgisi"_s, .kind = CellKind::Custom,
                              .draw = [](QPainter &p, const CellPaint &cell) {
                                  const QColor back = cell.selected ? QColor(210, 240, 249)
                                                      : cell.rowIndex % 2 == 0 ? QColor(241, 241, 241)
                                                                               : QColor(Qt::white);
                                  p.fillRect(cell.rect, back);
                                  QString text = u"Liste Fiyatı: "_s + cell.row.text(u"LISTEFIYAT1"_s) + u"\n"_s;
                                  if (cell.row.value(u"KAMPFIYAT"_s).toDouble() > 0)
                                      text += u"Kampanyalı Fiyat: "_s + cell.row.text(u"KAMPFIYAT"_s) + u"\n"_s;
                                  text += u"NetFiyat: "_s + cell.row.text(u"NETFIYAT"_s);
                                  p.setPen(Qt::black);
                                  p.drawText(cell.rect.adjusted(10, 0, -10, 0), Qt::AlignRight | Qt::AlignVCenter, text);
                                  return true;
                              },
                              .width = 190});
        stockGrid->setFooterSummaries({{SummaryKind::Count, u"BARKOD"_s}, {SummaryKind::Sum, u"LISTEFIYAT1"_s}});
        split->addWidget(stockGrid);

        gridtest::fillOrders(siparis);
        reportGrid = new DataGrid;
        reportGrid->setSkin(GridSkin::VS2010);
        reportGrid->setTable(&siparis);
        reportGrid->setGroupBoxVisible(true);
        reportGrid->setRowHeight(24);
        reportGrid->addColumn({.field = u"SATICIADI"_s, .show = Show::No});
        reportGrid->addColumn({.field = u"TARIH"_s, .width = 120});
        reportGrid->addColumn({.field = u"ADI"_s, .width = 200});
        reportGrid->addColumn({.field = u"MARKA"_s, .width = 90});
        reportGrid->addColumn({.field = u"MIKTAR"_s, .width = 80});
        reportGrid->addColumn({.field = u"TUTAR"_s, .width = 110});
        reportGrid->setGroupSummaries({{SummaryKind::Sum, u"TUTAR"_s}, {SummaryKind::Count, {}, u"TARIH"_s}});
        reportGrid->setFooterSummaries({{SummaryKind::Sum, u"TUTAR"_s}, {SummaryKind::Count, {}, u"TARIH"_s}});
        reportGrid->groupBy({u"SATICIADI"_s});
        reportGrid->sortBy(u"TUTAR"_s, Qt::DescendingOrder);
        split->addWidget(reportGrid);

        auto *bottom = new QHBoxLayout;
        band = new Marquee;
        band->setFixedHeight(40);
        QFont f(u"DejaVu Sans"_s);
        f.setPixelSize(24);
        band->setFont(f);
        QPalette pal = band->palette();
        pal.setColor(QPalette::Window, QColor(61, 65, 74));
        pal.setColor(QPalette::WindowText, QColor(255, 112, 49));
        band->setPalette(pal);
        band->addText(u"<b>Kampanya:</b> Fren balatalarında %15 indirim — yeni stoklar geldi"_s, Marquee::Style::Html);
        band->setSpacing(5);
        band->advance(700);
        auto *busy = new BusyIndicator;
        bottom->addWidget(band, 1);
        bottom->addWidget(busy);
        layout->addLayout(bottom);
        window.resize(1180, 760);
        split->setSizes({430, 270});
    }

    void fillStock()
    {
        stok.createTable({
            DataColumn{u"DURUM"_s, DbxType::Int32, 0},
            DataColumn{u"RESIMVERI"_s, DbxType::BinaryBlob, 0},
            DataColumn{u"BARKOD"_s, DbxType::WideString, 50},
            DataColumn{u"ADI"_s, DbxType::WideString, 100},
            DataColumn{u"MARKA"_s, DbxType::WideString, 50},
            DataColumn{u"RESIM"_s, DbxType::Int32, 0},
            DataColumn{u"Y"_s, DbxType::Int32, 0},
            DataColumn{u"SEC"_s, DbxType::Int32, 0},
            DataColumn{u"INDIRIMYAZI"_s, DbxType::WideString, 50},
            DataColumn{u"LISTEFIYAT1"_s, DbxType::Double, 0},
            DataColumn{u"KAMPFIYAT"_s, DbxType::Double, 0},
            DataColumn{u"NETFIYAT"_s, DbxType::Double, 0},
        });
        stok.appendRecord({1, partPicture(QColor(200, 60, 50), u"balata"_s), u"8690001000012"_s,
                           u"FREN BALATASI ÖN SOL TAKIM"_s, u"BOSCH"_s, 1, 1, 1, u"%10 + %5"_s, 1250.0, 0.0, 1068.75});
        stok.appendRecord({3, partPicture(QColor(50, 110, 200), u"filtre"_s), u"8690002000019"_s,
                           u"YAĞ FİLTRESİ"_s, u"MANN"_s, 1, 0, 0, u"%10"_s, 98.5, 89.9, 80.91});
        stok.appendRecord({2, QByteArray("not a picture"), u"8690003000016"_s, u"ŞARJ DİNAMOSU 14V 90A"_s,
                           u"VALEO"_s, 0, 1, 1, u""_s, 4200.0, 0.0, 4200.0});
        stok.appendRecord({0, QVariant(), u"8690004000013"_s, u"AMORTİSÖR ARKA GAZLI"_s, u"SACHS"_s, 0, 0, 0,
                           u"%5"_s, 3100.4, 2990.0, 2840.5});
        SayiBicimiAyarla(stok);
    }
};

} // namespace

TEST(Gallery, ShowsEveryPartInTheZirconLook)
{
    Gallery g;
    g.window.show();
    g.stockGrid->focusRowIndex(1);
    EXPECT_EQ(g.stockGrid->footerText(u"BARKOD"_s), u"4"_s);
    EXPECT_EQ(g.stockGrid->footerText(u"LISTEFIYAT1"_s), u"8.648,90"_s);
    EXPECT_EQ(g.reportGrid->model()->rowCount(), 6); // three groups with their footers
    const QImage shot = g.window.grab().toImage();
    ASSERT_FALSE(shot.isNull());
    const QString out = qEnvironmentVariable("TARVIK_GALLERY_PNG");
    if (!out.isEmpty()) {
        EXPECT_TRUE(shot.save(out));
    }
}
