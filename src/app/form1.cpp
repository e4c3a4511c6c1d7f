#include "form1.h"

#include "await.h"
#include "callback_channel.h"
#include "controls.h"
#include "datagrid.h"
#include "girisform.h"
#include "icons.h"
#include "localenv.h"
#include "look.h"
#include "messages.h"
#include "process_end.h"
#include "gridexport.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QThread>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

using tarvik::CellKind;
using tarvik::DataGrid;
using tarvik::Show;

namespace {

const QString kBaslik = QStringLiteral("Tarvik Vidovevi B2B Programı");

QFont tahoma(int pixels, bool bold)
{
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QWidget *panel(QWidget *parent, int height)
{
    auto *w = new QWidget(parent);
    w->setFixedHeight(height);
    return w;
}

DataGrid *gridIn(QWidget *page, const QString &name, bool highlight)
{
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    auto *grid = new DataGrid(page);
    grid->setObjectName(name);
    grid->setSkin(tarvik::GridSkin::Whiteprint);
    grid->setIndicatorColor(QColor(66, 66, 66));
    if (highlight)
        grid->setSelectionColors(QColor(210, 240, 249), Qt::black);
    layout->addWidget(grid);
    return grid;
}

// Runs `step` on the main thread and waits for it when called from another thread.
void onMainThread(QObject *guard, const std::function<void()> &step)
{
    if (QThread::currentThread() == qApp->thread()) {
        step();
        return;
    }
    QPointer<QObject> alive(guard);
    QMetaObject::invokeMethod(
        qApp,
        [alive, &step] {
            if (alive)
                step();
        },
        Qt::BlockingQueuedConnection);
}

} // namespace

void runTabLoad(QObject *guard, TabLoad tab)
{
    struct Context
    {
        bool hata = false;
    };
    auto context = std::make_shared<Context>();
    if (tab.indicator)
        tab.indicator->show();
    tab.grid->setEnabled(false);
    tab.grid->detach();
    tab.grid->beginUpdate();
    QPointer<QObject> alive(guard);
    QPointer<DataGrid> grid(tab.grid);
    QPointer<tarvik::BusyIndicator> indicator(tab.indicator);
    auto load = tab.load;
    auto extra = tab.extra;
    auto after = tab.after;
    Baslat([context, load] { context->hata = load(); })->Await([context, alive, grid, indicator, extra, after] {
        if (!alive || !grid)
            return;
        if (extra)
            extra();
        grid->attach();
        grid->endUpdate();
        grid->setEnabled(true);
        if (after)
            after();
        if (indicator)
            indicator->hide();
        if (context->hata)
            MesajGoster(kBaglantiKurulamiyor, MesajTuru::Hata, MesajDugmesi::Tamam, MesajDugmesi::Tamam);
    });
}

QString TForm1::webSitesi()
{
    return QUrl(WebAdresi).authority();
}

TForm1::TForm1(bool withLogin, QWidget *parent) : QMainWindow(parent)
{
    QCoreApplication::setApplicationName(QStringLiteral("Tarvik Vidovevi B2B"));
    setWindowTitle(kBaslik);
    QFont boxFont = QApplication::font();
    boxFont.setPointSize(15);
    QApplication::setFont(boxFont, "QMessageBox");
    setFont(tahoma(13, true));

    sbilgi.setBilgiSayarAdi(BilgisayarAdiAl());
    sbilgi.setBilgisayarKullanici(KullaniciAdiAl());
    sbilgi.setIcip(YerelIpAl());
    sbilgi.setBILGISAYARID(BilgisayarIdAl());
    tarvik::SunucuAyarla(bagc);

    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    QWidget *Panel1 = panel(central, 100);
    buildHeader(Panel1);
    QWidget *Panel2 = panel(central, 35);
    buildSearchBar(Panel2);
    RxGIFAnimator2 = new tarvik::TGifResim(central);
    RxGIFAnimator2->setAccessibleName(QStringLiteral("Kampanya şeridi"));
    RxGIFAnimator2->setFixedHeight(0);
    buildTabs();
    Panel3 = panel(central, 27);
    buildLegend(Panel3);
    QWidget *Panel5 = panel(central, 40);
    auto *bottom = new QVBoxLayout(Panel5);
    bottom->setContentsMargins(0, 0, 0, 0);
    kayanyazi = new tarvik::Marquee(Panel5);
    QFont band(QStringLiteral("Arial"));
    band.setPixelSize(24);
    kayanyazi->setFont(band);
    QPalette bp = kayanyazi->palette();
    bp.setColor(QPalette::Window, QColor(61, 65, 74));
    bp.setColor(QPalette::WindowText, QColor(255, 112, 49));
    kayanyazi->setPalette(bp);
    kayanyazi->setAutoFillBackground(true);
    kayanyazi->setSpacing(5);
    kayanyazi->setFixedHeight(40);
    bottom->addWidget(kayanyazi);
    column->addWidget(Panel1);
    column->addWidget(Panel2);
    column->addWidget(RxGIFAnimator2);
    column->addWidget(sPageControl1, 1);
    column->addWidget(Panel3);
    column->addWidget(Panel5);
    setCentralWidget(central);
    declareColumns();
    buildStockSearch();
    buildBasketTab();
    baglaSekmeler();
    araedit->setFocus();

    if (!withLogin)
        return;
    GirisYap();
    if (sbilgi.Disip().trimmed().isEmpty())
        return; // the program has ended
    BaslangicYuklemeleri();
    BildirimKaydet();
}

TForm1::~TForm1()
{
    // The channel's thread calls into this window: stop it before anything else goes.
    channel_.reset();
}

void TForm1::buildHeader(QWidget *header)
{
    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(6, 0, 6, 0);
    Image1 = new QLabel(header);
    Image1->setPixmap(tarvik::firmLogo(92));
    Image1->setFixedSize(100, 100);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setAccessibleName(QStringLiteral("Tarvik"));
    auto *grid = new QWidget(header);
    auto *GridPanel1 = new QGridLayout(grid);
    GridPanel1->setContentsMargins(8, 6, 8, 6);
    GridPanel1->setColumnStretch(0, 1827);
    GridPanel1->setColumnStretch(1, 8173);
    const QString captions[] = {QStringLiteral("Kullanıcı: "), QStringLiteral("Firma: "), QStringLiteral("Temsilci: ")};
    QLabel **values[] = {&kullanicilbl, &cariadilbl, &saticilbl};
    for (int r = 0; r < 3; ++r) {
        auto *caption = new QLabel(captions[r], grid);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        *values[r] = new QLabel(grid);
        (*values[r])->setWordWrap(true);
        (*values[r])->setAccessibleName(captions[r].trimmed());
        for (QLabel *l : {caption, *values[r]}) {
            l->setFont(tahoma(13, true));
            l->setStyleSheet(QStringLiteral("color: black;"));
        }
        GridPanel1->addWidget(caption, r, 0);
        GridPanel1->addWidget(*values[r], r, 1);
    }
    GifResim1 = new tarvik::TGifResim(header);
    GifResim1->setFixedSize(409, 100);
    GifResim1->setAccessibleName(QStringLiteral("Kampanya"));
    Genelmenu = new QMenu(this);
    M1 = Genelmenu->addAction(QStringLiteral("Mail Gönder"));
    Genelmenu->addSeparator();
    N4 = Genelmenu->addAction(QStringLiteral("Şifre Değiştirme İsteği"));
    Genelmenu->addSeparator();
    httpwwwvesparcom1 = Genelmenu->addAction(webSitesi());
    Genelmenu->addSeparator();
    G1 = Genelmenu->addAction(QStringLiteral("Çıkış"));
    Genelmenu->addSeparator();
    R1 = Genelmenu->addAction(QStringLiteral("Raporlar"));
    R1->setVisible(false);
    connect(G1, &QAction::triggered, this, &TForm1::G1Click);
    connect(httpwwwvesparcom1, &QAction::triggered, this, &TForm1::httpwwwvesparcom1Click);
    Button3 = new QToolButton(header);
    Button3->setFixedSize(84, 94);
    Button3->setIcon(tarvik::menuIcon(48));
    Button3->setIconSize(QSize(48, 48));
    Button3->setMenu(Genelmenu);
    Button3->setPopupMode(QToolButton::MenuButtonPopup);
    Button3->setAccessibleName(QStringLiteral("Menü"));
    Button3->setToolTip(QStringLiteral("Menü"));
    row->addWidget(Image1);
    row->addWidget(grid, 1);
    row->addWidget(GifResim1);
    row->addWidget(Button3);
}

void TForm1::buildSearchBar(QWidget *bar)
{
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 2, 6, 2);
    row->setSpacing(4);
    Image2 = new QLabel(bar);
    Image2->setPixmap(tarvik::searchPicture(26));
    araedit = new QLineEdit(bar);
    araedit->setPlaceholderText(QStringLiteral("Stok kodu, OEM no, barkod veya stok adı"));
    araedit->setAccessibleName(QStringLiteral("Stok Ara"));
    araedit->setMinimumWidth(320);
    araedit->setMaximumWidth(520);
    SpeedButton2 = new QToolButton(bar);
    SpeedButton2->setText(QStringLiteral("Ara"));
    SpeedButton2->setToolTip(QStringLiteral("Ara"));
    SpeedButton1 = new QToolButton(bar);
    SpeedButton1->setText(QStringLiteral("Temizle"));
    SpeedButton1->setToolTip(QStringLiteral("Temizle"));
    musteritus = new QPushButton(QStringLiteral("Başka Cari Seç"), bar);
    musteritus->setVisible(false);
    row->addWidget(Image2);
    row->addWidget(araedit, 1);
    row->addWidget(SpeedButton2);
    row->addWidget(SpeedButton1);
    row->addWidget(musteritus);
    tarvik::BusyIndicator **indicators[] = {&gifstokara, &gifyeniler, &gifkampanyali, &gifduyuru, &gifoncekiler, &gifekstre, &gifsepet};
    for (tarvik::BusyIndicator **i : indicators) {
        *i = new tarvik::BusyIndicator(bar);
        (*i)->setFixedSize(32, 33);
        (*i)->hide();
        row->addWidget(*i);
    }
    row->addStretch();
}

void TForm1::buildTabs()
{
    sPageControl1 = new QTabWidget(this);
    sPageControl1->setIconSize(QSize(32, 32));
    sPageControl1->setUsesScrollButtons(true);
    sPageControl1->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { height: 50px; min-width: 120px; }"));
    sPageControl1->setDocumentMode(false);
    const struct
    {
        QWidget **page;
        const char16_t *caption;
        tarvik::TabIcon icon;
    } tabs[] = {
        {&sstoklistesi, u"Stok Listesi", tarvik::TabIcon::Stok},
        {&ssepet, u"Sepet", tarvik::TabIcon::Sepet},
        {&sonceki, u"Önceki Siparişler", tarvik::TabIcon::Onceki},
        {&sccariekstre, u"Cari Ekstre", tarvik::TabIcon::Ekstre},
        {&syeniler, u"Yeni Stoklar", tarvik::TabIcon::Yeni},
        {&skampanyali, u"Kampanyalı Stoklar", tarvik::TabIcon::Kampanya},
        {&sTabSheetduyuru, u"Duyurular", tarvik::TabIcon::Duyuru},
        {&sTabbakiyeler, u"Bakiyeler", tarvik::TabIcon::Bakiye},
    };
    for (const auto &t : tabs) {
        *t.page = new QWidget(sPageControl1);
        const int i = sPageControl1->addTab(*t.page, tarvik::tabIcon(t.icon), QString());
        tarvik::setTabCaption(sPageControl1->tabBar(), i, QString::fromUtf16(t.caption));
    }
    cxGrid1DBTableView1 = gridIn(sstoklistesi, QStringLiteral("cxGrid1DBTableView1"), true);
    cxGridDBTableView1 = gridIn(ssepet, QStringLiteral("cxGridDBTableView1"), false);
    cxGridDBTableView2 = gridIn(sonceki, QStringLiteral("cxGridDBTableView2"), false);
    cxGridDBTableView4 = gridIn(sccariekstre, QStringLiteral("cxGridDBTableView4"), true);
    cxGridDBTableView5 = gridIn(syeniler, QStringLiteral("cxGridDBTableView5"), true);
    cxGridDBTableViewkampanyali = gridIn(skampanyali, QStringLiteral("cxGridDBTableViewkampanyali"), true);
    cxGridduyuruBandedDuyuru = gridIn(sTabSheetduyuru, QStringLiteral("cxGridduyuruBandedDuyuru"), false);
    cxGrid1DBTableView1->setTable(&stok);
    cxGridDBTableView1->setTable(&sepet);
    cxGridDBTableView2->setTable(&ONCEKILER);
    cxGridDBTableView4->setTable(&EKSTRE);
    cxGridDBTableView5->setTable(&YENILER);
    cxGridDBTableViewkampanyali->setTable(&kampstok);
    cxGridduyuruBandedDuyuru->useUnboundRows({QStringLiteral("RESIM"), QStringLiteral("BASLIK"), QStringLiteral("ARAMA")});
}

void TForm1::buildLegend(QWidget *legend)
{
    auto *row = new QHBoxLayout(legend);
    row->setContentsMargins(8, 0, 8, 0);
    row->setSpacing(2);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(11);
    f.setBold(true);
    auto label = [&](const QString &text) {
        auto *l = new QLabel(text, legend);
        l->setFont(f);
        l->setStyleSheet(QStringLiteral("color: rgb(67, 76, 88);"));
        row->addWidget(l);
        return l;
    };
    label(QStringLiteral("Durum Açıklaması:    "));
    const std::pair<int, const char16_t *> pairs[] = {{1, u" Stok mevcut  "}, {2, u" Telefon Açınız  "}, {3, u" Yolda  "},
                                                      {5, u" Tedarik Sürecinde "}, {4, u" Özel Sipariş  "}, {0, u" Yok  "}};
    for (const auto &[durum, caption] : pairs) {
        auto *icon = new QLabel(legend);
        icon->setPixmap(QPixmap::fromImage(tarvik::durumIcon(durum, 24)));
        icon->setFixedSize(24, 24);
        icon->setAccessibleName(QString::fromUtf16(caption).trimmed());
        row->addWidget(icon);
        label(QString::fromUtf16(caption));
    }
    row->addStretch();
}

// The columns the user-type rules act on; their lists declare the rest of their columns.
void TForm1::declareColumns()
{
    // The stock list here; the new-stocks and campaign lists with the information tabs (baglaSekmeler).
    declareStockColumns();
    declareBasketColumns();
}

void TForm1::GirisYap()
{
    int result = 0;
    {
        Tgirisform giris(this);
        giris.bagim = &bagc;
        giris.Bilgim = &sbilgi;
        result = giris.exec();
    }
    if (result != QDialog::Accepted || sbilgi.Disip().trimmed().isEmpty()) {
        sbilgi.setDisip(QString());
        tarvik::endProcess(0);
        return;
    }
    KullaniciTipiniUygula();
}

void TForm1::KullaniciTipiniUygula()
{
    auto showAndOffer = [](DataGrid *g, const QString &field) {
        g->setColumnOffered(field, true);
        g->setColumnVisible(field, true);
    };
    auto hideAndWithdraw = [](DataGrid *g, const QString &field) {
        g->setColumnVisible(field, false);
        g->setColumnOffered(field, false);
    };
    const QString kalan = QStringLiteral("KALAN");
    switch (sbilgi.MusteriTipi()) {
    case 1:
    case 2:
        musteritus->setVisible(true);
        for (DataGrid *g : {cxGrid1DBTableView1, cxGridDBTableViewkampanyali, cxGridDBTableView1, cxGridDBTableView5})
            showAndOffer(g, kalan);
        for (DataGrid *g : {cxGrid1DBTableView1, cxGridDBTableView5, cxGridDBTableViewkampanyali}) {
            showAndOffer(g, QStringLiteral("ALINANSIPARIS"));
            showAndOffer(g, QStringLiteral("VERILENSIPARIS"));
        }
        R1->setVisible(true);
        break;
    case 3:
        hideAndWithdraw(cxGridDBTableView1, QStringLiteral("DURUM"));
        R1->setVisible(false);
        break;
    case 4:
        if (const int i = sPageControl1->indexOf(skampanyali); i >= 0)
            sPageControl1->removeTab(i);
        for (DataGrid *g : {cxGrid1DBTableView1, cxGridDBTableView5}) {
            hideAndWithdraw(g, QStringLiteral("KAMPFIYAT"));
            hideAndWithdraw(g, QStringLiteral("K"));
        }
        R1->setVisible(false);
        break;
    default:
        break;
    }
}

void TForm1::AnaBilgiAl()
{
    onMainThread(this, [this] {
        kullanicilbl->setText(sbilgi.ADI());
        cariadilbl->setText(sbilgi.CariAdi());
        saticilbl->setText(sbilgi.SaticiAdi() + QStringLiteral(" Telefonu: ") + sbilgi.SaticiTelefon() + QStringLiteral(" email: ")
                           + sbilgi.SaticiMail());
    });
}

void TForm1::startupSequence(bool)
{
    AnaBilgiAl();
    KayanYaziAl();
    BannerREsimAl();
    BannerREsimAlUst();
    BannerREsimAlAlt();
    AcilisReklamAdetAl();
    BalonYaz();
}

void TForm1::BaslangicYuklemeleri()
{
    QPointer<TForm1> self(this);
    Baslat([self] {
        if (self)
            self->startupSequence(false);
    })->Await([self] {
        if (!self)
            return;
        if (self->isMinimized()) {
            self->showMaximized();
            self->activateWindow();
        }
        self->AcilisReklamGoster();
        ++self->startupRuns_;
    });
}

void TForm1::GeriBildirimAlQue()
{
    QPointer<TForm1> self(this);
    tarvik::queueTo(this, [self] {
        if (!self)
            return;
        try {
            self->startupSequence(true);
            self->AcilisReklamGoster();
        } catch (...) {
            tarvik::showApplicationError(tarvik::errorText(std::current_exception()));
        }
        ++self->startupRuns_;
    });
}

void TForm1::BildirimKaydet()
{
    channel_ = std::make_unique<tarvik::CallbackChannelManager>();
    channel_->DSHostname = bagc.HostName();
    channel_->DSPort = bagc.Port();
    QPointer<TForm1> self(this);
    channel_->RegisterCallback(std::make_shared<TGeriBildirim>(channel_->ChannelName, [this] { GeriBildirimAlQue(); }));
}

void TForm1::KolonGenislikAyarla(DataGrid *grid)
{
    tarvik::KolonGenislikAyarla(*grid);
}

void TForm1::G1Click()
{
    close();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    event->ignore();
    if (MesajGoster(QStringLiteral("Programdan Çıkmak İstiyor musunuz ?"), MesajTuru::Soru, MesajDugmesi::Evet | MesajDugmesi::Hayir,
                    MesajDugmesi::Evet)
        == mrYes)
        tarvik::endProcess(0);
}

void TForm1::httpwwwvesparcom1Click()
{
    tarvik::shellOpen(QStringLiteral("http://") + httpwwwvesparcom1->text() + u'/');
    araedit->selectAll();
    araedit->setFocus();
}
