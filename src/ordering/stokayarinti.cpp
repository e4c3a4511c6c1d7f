#include "stokayarinti.h"

#include "await.h"
#include "controls.h"
#include "errors.h"
#include "localenv.h"
#include "messages.h"
#include "servermethods.h"
#include "tutarlar.h"

#include <QApplication>
#include <QEventLoop>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include <cmath>
#include <memory>

std::atomic<int> Tstokayarinti::indirmeler_{0};

namespace {

// A body shorter than this is no picture (the handler's "no picture" answers are short).
constexpr qsizetype kEnAzResimBoyu = 1200;
// A picture larger than this is not taken into memory.
constexpr qint64 kEnCokResimBoyu = 20 * 1024 * 1024;
constexpr int kIndirmeSuresiMs = 20000;

const QString kUyariAdet = QStringLiteral("Adet geçerli bir sayı değil.\r\nLütfen 1 ile 10000 arasında bir tam sayı giriniz !");

QString metin(const tarvik::MemTable &t, QStringView alan)
{
    return t.fieldDisplayText(alan);
}

void hataGoster()
{
    tarvik::showApplicationError(tarvik::errorText(std::current_exception()));
}

bool temsilci(std::int32_t musteriTipi)
{
    return musteriTipi == 1 || musteriTipi == 2;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// Reading rows

StokSatiri StokSatiriOku(const tarvik::MemTable &t, StokKaynagi kaynak)
{
    StokSatiri s;
    s.kaynak = kaynak;
    s.barkod = metin(t, u"BARKOD");
    s.marka = metin(t, u"MARKA");
    s.finishkod = metin(t, u"FINISHKOD");
    s.model = metin(t, u"MODEL");
    s.indirimyazi = metin(t, u"INDIRIMYAZI");
    s.kdv = t.fieldDouble(u"KDV");
    if (kaynak == StokKaynagi::Sepet) {
        s.stokno = t.fieldInt(u"STOKNO");
        s.sirano = t.fieldInt(u"SIRANO");
        s.adi = metin(t, u"STOKADI");
        s.fiyat = t.fieldDouble(u"BIRIMFIYAT");
        s.ind1 = t.fieldDouble(u"INDIRIMORANI1");
        s.ind2 = t.fieldDouble(u"INDIRIMORANI2");
        s.ind3 = t.fieldDouble(u"INDIRIMORANI3");
        s.ind4 = t.fieldDouble(u"INDIRIMORANI4");
        s.miktar = t.fieldDouble(u"MIKTAR");
    } else {
        s.stokno = t.fieldInt(u"STOK_STOKNO");
        s.adi = metin(t, u"ADI");
        s.fiyat = t.fieldDouble(u"FIYAT");
        s.ind1 = t.fieldDouble(u"IND1");
        s.ind2 = t.fieldDouble(u"IND2");
        s.ind3 = t.fieldDouble(u"IND3");
        s.ind4 = t.fieldDouble(u"IND4");
        s.k = t.fieldInt(u"K");
    }
    return s;
}

bool AdetOku(const QString &text, double &miktar)
{
    bool ok = false;
    const QString t = text.trimmed();
    const int n = t.toInt(&ok);
    if (!ok || n < 1 || n > 10000)
        return false;
    miktar = n;
    return true;
}

// ---------------------------------------------------------------------------------------------------
// ResimAlani

ResimAlani::ResimAlani(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(200, 160);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAccessibleName(QStringLiteral("Stok Resmi"));
}

void ResimAlani::setResim(const QImage &resim)
{
    resim_ = resim;
    setAccessibleDescription(resim_.isNull() ? QString() : QStringLiteral("%1 × %2").arg(resim_.width()).arg(resim_.height()));
    update();
}

void ResimAlani::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect r = rect().adjusted(4, 4, -4, -4);
    if (!resim_.isNull()) {
        QSize s = resim_.size();
        s.scale(r.size(), Qt::KeepAspectRatio);
        if (resim_.width() <= r.width() && resim_.height() <= r.height())
            s = resim_.size(); // a small picture is centred at its own size, not blown up
        const QRect hedef(r.x() + (r.width() - s.width()) / 2, r.y() + (r.height() - s.height()) / 2, s.width(), s.height());
        p.drawImage(hedef, resim_);
        return;
    }
    // Placeholder: a framed part outline with the note that there is no picture.
    p.setPen(QPen(QColor(190, 198, 208), 1, Qt::DashLine));
    p.drawRoundedRect(r, 6, 6);
    const int side = std::min(r.width(), r.height()) / 3;
    const QPoint c = r.center() - QPoint(0, 14);
    p.setPen(QPen(QColor(160, 170, 182), 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, side / 2, side / 2);
    p.drawEllipse(c, side / 6, side / 6);
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(c);
        p.rotate(i * 45.0);
        p.drawLine(0, -side / 2, 0, -side / 2 - side / 8);
        p.restore();
    }
    QFont f = font();
    f.setPixelSize(14);
    p.setFont(f);
    p.setPen(QColor(120, 130, 142));
    p.drawText(QRect(r.left(), c.y() + side / 2 + side / 8 + 6, r.width(), 24), Qt::AlignCenter, QStringLiteral("Resim Yok"));
}

// ---------------------------------------------------------------------------------------------------
// Tstokayarinti

Tstokayarinti::Tstokayarinti(QWidget *owner) : QDialog(owner)
{
    setWindowTitle(QStringLiteral("Sepete Ekle"));
    setObjectName(QStringLiteral("stokayarinti"));
    resize(550, 631);

    // Identity panel.
    auto *kimlik = new QFrame(this);
    kimlik->setFrameShape(QFrame::StyledPanel);
    kimlik->setObjectName(QStringLiteral("Panel1"));
    auto *kg = new QGridLayout(kimlik);
    kg->setHorizontalSpacing(10);
    kg->setVerticalSpacing(4);
    QLabel **degerler[] = {&barkod, &adi, &finishkod, &marka, &model};
    const char16_t *basliklar[] = {u"Barkod:", u"Açıklama:", u"Finish Kod:", u"Marka:", u"Model:"};
    QFont kalin = font();
    kalin.setBold(true);
    for (int i = 0; i < 5; ++i) {
        auto *baslik = new QLabel(QString::fromUtf16(basliklar[i]), kimlik);
        baslik->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        *degerler[i] = new QLabel(kimlik);
        (*degerler[i])->setFont(kalin);
        (*degerler[i])->setTextInteractionFlags(Qt::TextSelectableByMouse);
        (*degerler[i])->setWordWrap(true);
        (*degerler[i])->setAccessibleName(QString::fromUtf16(basliklar[i]));
        kg->addWidget(baslik, i, 0);
        kg->addWidget(*degerler[i], i, 1);
    }
    kg->setColumnStretch(1, 1);

    Image1 = new ResimAlani(this);

    // Quantity and amounts.
    auto *tutarlar = new QGridLayout;
    tutarlar->setHorizontalSpacing(10);
    tutarlar->setVerticalSpacing(6);
    auto *adetBaslik = new QLabel(QStringLiteral("Adet:"), this);
    adet = new tarvik::SpinBox(this);
    adet->setRange(1, 10000);
    adet->setValue(1);
    adet->setAlignment(Qt::AlignRight);
    adetBaslik->setBuddy(adet);
    Label2 = new QLabel(QStringLiteral("Fiyat:"), this);
    birimfiyat = new tarvik::CurrencyBox(this);
    birimfiyat->setReadOnly(true);
    Label2->setBuddy(birimfiyat);
    indirimoran = new QLabel(QStringLiteral("İndirim:"), this);
    indtutar = new tarvik::CurrencyBox(this);
    indirimoran->setBuddy(indtutar);
    auto *kdvBaslik = new QLabel(QStringLiteral("KDV Dahil:"), this);
    kdvdahiltutar = new tarvik::CurrencyBox(this);
    kdvBaslik->setBuddy(kdvdahiltutar);
    auto *tutarBaslik = new QLabel(QStringLiteral("Tutar:"), this);
    geneltutar = new tarvik::CurrencyBox(this);
    tutarBaslik->setBuddy(geneltutar);
    for (tarvik::CurrencyBox *k : {indtutar, kdvdahiltutar, geneltutar})
        k->setReadOnly(true);
    QLabel *basliklar2[] = {adetBaslik, Label2, indirimoran, kdvBaslik, tutarBaslik};
    QWidget *kutular[] = {adet, birimfiyat, indtutar, kdvdahiltutar, geneltutar};
    for (int i = 0; i < 5; ++i) {
        basliklar2[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        kutular[i]->setMinimumHeight(28);
        kutular[i]->setFixedWidth(170);
        tutarlar->addWidget(basliklar2[i], i, 0);
        tutarlar->addWidget(kutular[i], i, 1);
    }
    tutarlar->setColumnStretch(0, 1);

    ParcaliTus1 = new QPushButton(QStringLiteral("Sipariş ekle"), this);
    ParcaliTus2 = new QPushButton(QStringLiteral("Vazgeç"), this);
    for (QPushButton *b : {ParcaliTus1, ParcaliTus2}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        b->setMinimumSize(130, 36);
    }
    connect(ParcaliTus1, &QPushButton::clicked, this, &Tstokayarinti::ParcaliTus1Click);
    connect(ParcaliTus2, &QPushButton::clicked, this, &QDialog::reject);
    auto *tuslar = new QHBoxLayout;
    tuslar->addStretch();
    tuslar->addWidget(ParcaliTus1);
    tuslar->addWidget(ParcaliTus2);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(kimlik);
    layout->addWidget(Image1, 1);
    layout->addLayout(tutarlar);
    layout->addLayout(tuslar);

    // Recomputation: quantity changes, key releases in the money boxes.
    connect(adet, &QSpinBox::valueChanged, this, [this] {
        adetMetni_ = adet->cleanText();
        TutarlariHesapla();
    });
    connect(adet->findChild<QLineEdit *>(), &QLineEdit::textEdited, this, [this](const QString &t) { adetMetni_ = t; });
    for (tarvik::CurrencyBox *k : {birimfiyat, indtutar, kdvdahiltutar, geneltutar})
        k->installEventFilter(this);
    adet->installEventFilter(this);
    if (QLineEdit *e = adet->findChild<QLineEdit *>())
        e->installEventFilter(this);
    adet->setFocus();
}

Tstokayarinti::~Tstokayarinti() = default;

void Tstokayarinti::Doldur(const StokSatiri &s, std::int32_t musteriTipi)
{
    barkod->setText(s.barkod);
    adi->setText(s.adi);
    marka->setText(s.marka);
    finishkod->setText(s.finishkod);
    model->setText(s.model);
    kdvoran = s.kdv;
    bool fiyatDegisir = temsilci(musteriTipi);
    double fiyat = 0;
    switch (s.kaynak) {
    case StokKaynagi::StokListesi:
        _stokno = s.stokno;
        if (s.k >= 0) {
            fiyat = s.fiyat;
            ind1 = s.ind1;
            ind2 = s.ind2;
            ind3 = s.ind3;
            ind4 = s.ind4;
        }
        if (s.k == 0) {
            indirimoran->setText(QString(u"İndirim: %" + s.indirimyazi));
        } else if (s.k > 0) {
            indirimoran->setText(QString(u"Kampanyalı " + s.indirimyazi));
            Label2->setText(QStringLiteral("Kampanyalı Fiyat:"));
        }
        break;
    case StokKaynagi::Yeniler:
        fiyat = s.fiyat;
        if (s.k > 0) {
            indirimoran->setText(QString(u"Kampanyalı " + s.indirimyazi));
            Label2->setText(QStringLiteral("Kampanyalı Fiyat:"));
        } else {
            indirimoran->setText(QString(u"İndirim:  % " + s.indirimyazi));
        }
        break;
    case StokKaynagi::Kampanyali:
        fiyat = s.fiyat;
        fiyatDegisir = false;
        indirimoran->setText(QString(u"Kampanyalı " + s.indirimyazi));
        Label2->setText(QStringLiteral("Kampanyalı Fiyat:"));
        break;
    case StokKaynagi::Sepet:
        _stokno = s.stokno;
        fiyat = s.fiyat;
        ind1 = s.ind1;
        ind2 = s.ind2;
        ind3 = s.ind3;
        ind4 = s.ind4;
        indirimoran->setText(QString(u"İndirim: %" + s.indirimyazi));
        {
            const double m = std::round(s.miktar);
            adet->setValue(std::isfinite(m) ? static_cast<int>(std::clamp(m, 1.0, 10000.0)) : 1);
        }
        break;
    }
    birimfiyat->setValue(fiyat);
    birimfiyat->setReadOnly(!fiyatDegisir);
    birimfiyat->setFocusPolicy(fiyatDegisir ? Qt::StrongFocus : Qt::ClickFocus);
    adetMetni_ = adet->cleanText();
    TutarlariHesapla();
}

void Tstokayarinti::TutarlariHesapla()
{
    const SatirTutarlari t = SatirTutarlariHesapla(birimfiyat->value(), adet->value(), kdvoran, ind1, ind2, ind3, ind4);
    indtutar->setValue(t.indtutar);
    kdvdahiltutar->setValue(t.kdvdahiltutar);
    geneltutar->setValue(t.geneltutar);
}

void Tstokayarinti::ParcaliTus1Click()
{
    double m = 0;
    if (!AdetOku(adetMetni_, m)) {
        MesajGoster(kUyariAdet, MesajTuru::Uyari, MesajDugmesi::Tamam, MesajDugmesi::Tamam);
        adet->setFocus();
        adet->selectAll();
        return;
    }
    miktar_ = m;
    accept();
}

QByteArray Tstokayarinti::GosterYeni(const QString &adres)
{
    QNetworkAccessManager nam;
    QNetworkRequest istek{QUrl(adres)};
    istek.setTransferTimeout(kIndirmeSuresiMs);
    std::unique_ptr<QNetworkReply> cevap(nam.get(istek));
    QEventLoop dongu;
    QObject::connect(cevap.get(), &QNetworkReply::finished, &dongu, &QEventLoop::quit);
    QObject::connect(cevap.get(), &QNetworkReply::downloadProgress, &dongu, [&cevap](qint64 alinan, qint64) {
        if (alinan > kEnCokResimBoyu)
            cevap->abort();
    });
    if (!cevap->isFinished())
        dongu.exec();
    // The status is not looked at: only a body that decodes as a picture is used.
    if (cevap->error() != QNetworkReply::NoError && cevap->error() < QNetworkReply::ContentAccessDenied)
        return {};
    return cevap->readAll();
}

void Tstokayarinti::ResimGoster()
{
    // The address is read here, on the main thread; the task gets its own copy.
    const QString adres = ResimAdresi + QString::number(_stokno);
    auto govde = std::make_shared<QByteArray>();
    QPointer<Tstokayarinti> self(this);
    indirmeler_.fetch_add(1);
    Baslat([adres, govde] {
        try {
            *govde = GosterYeni(adres);
        } catch (...) {
            govde->clear(); // any failure: no picture
        }
    })->Await([self, govde] {
        indirmeler_.fetch_sub(1);
        if (!self || govde->size() < kEnAzResimBoyu)
            return; // the dialog is gone, or no picture came
        const QImage resim = QImage::fromData(*govde);
        if (!resim.isNull())
            self->Image1->setResim(resim);
    });
}

bool Tstokayarinti::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate) {
        TutarlariHesapla();
        ResimGoster();
        adet->selectAll();
    }
    return QDialog::event(e);
}

void Tstokayarinti::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (QWidget *p = parentWidget()) {
        const QRect g = p->window()->geometry();
        move(g.center() - QPoint(width() / 2, height() / 2));
    }
    TutarlariHesapla();
    adet->setFocus();
}

bool Tstokayarinti::eventFilter(QObject *watched, QEvent *e)
{
    const bool adetKutusu = watched == adet || watched == adet->findChild<QLineEdit *>();
    if (e->type() == QEvent::KeyPress) {
        const auto *k = static_cast<QKeyEvent *>(e);
        const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
        if (enter && adetKutusu) {
            ParcaliTus1Click();
            return true;
        }
        if (enter && watched == birimfiyat)
            return true; // Enter in the price box does nothing
    }
    if (e->type() == QEvent::KeyRelease && !adetKutusu)
        TutarlariHesapla();
    return QDialog::eventFilter(watched, e);
}

// ---------------------------------------------------------------------------------------------------
// The flow

namespace {

// Opens the dialog on a row and returns its quantity (and price) after an OK close; false for Cancel.
bool dialogAc(const SiparisOrtami &o, const StokSatiri &satir, double &miktar, double &fiyat)
{
    Tstokayarinti d(o.owner);
    d.Doldur(satir, o.sbilgi.MusteriTipi());
    if ((satir.kaynak == StokKaynagi::Yeniler || satir.kaynak == StokKaynagi::Kampanyali) && o.bagc)
        ResimYukle(*o.bagc, satir.stokno, d.Image1);
    if (d.exec() != QDialog::Accepted)
        return false;
    fiyat = d.birimfiyat->value();
    if (!AdetOku(d.adetMetni(), miktar)) {
        MesajGoster(kUyariAdet, MesajTuru::Uyari, MesajDugmesi::Tamam, MesajDugmesi::Tamam);
        return false;
    }
    return true;
}

void listedenEkle(const SiparisOrtami &o, StokKaynagi kaynak, tarvik::MemTable &liste, std::int32_t stokno)
{
    try {
        if (!liste.isOpen() || liste.recordCount() == 0)
            return;
        if (liste.fieldInt(u"STOK_STOKNO") != stokno && !liste.locate(u"STOK_STOKNO", stokno))
            return;
        const StokSatiri satir = StokSatiriOku(liste, kaynak);
        double miktar = 0, fiyat = 0;
        if (dialogAc(o, satir, miktar, fiyat))
            SepeteEkle(o, satir, miktar);
    } catch (...) {
        hataGoster();
    }
}

struct Kapatici
{
    tarvik::RemoteConnection &c;
    ~Kapatici() { c.close(); }
};

} // namespace

void StokSec(const SiparisOrtami &o, StokKaynagi kaynak, tarvik::MemTable &liste, std::int32_t stokno, tarvik::MemTable &sepet)
{
    try {
        if (!liste.isOpen() || !liste.locate(u"STOK_STOKNO", stokno))
            return;
        if (!sepet.isOpen() && o.SepetYenile)
            o.SepetYenile();
        if (sepet.isOpen() && sepet.recordCount() > 0 && sepet.locate(u"STOKNO", stokno)) {
            SepetSatirDegistir(o, sepet, sepet.fieldInt(u"SIRANO"));
            return;
        }
        switch (kaynak) {
        case StokKaynagi::StokListesi:
            StokListesindenEkle(o, liste, stokno);
            break;
        case StokKaynagi::Yeniler:
            YenilerdenEkle(o, liste, stokno);
            break;
        case StokKaynagi::Kampanyali:
            KampanyalidanEkle(o, liste, stokno);
            break;
        case StokKaynagi::Sepet:
            break;
        }
    } catch (...) {
        hataGoster();
    }
}

void StokListesindenEkle(const SiparisOrtami &o, tarvik::MemTable &stok, std::int32_t stokno)
{
    listedenEkle(o, StokKaynagi::StokListesi, stok, stokno);
}

void YenilerdenEkle(const SiparisOrtami &o, tarvik::MemTable &yeniler, std::int32_t stokno)
{
    listedenEkle(o, StokKaynagi::Yeniler, yeniler, stokno);
}

void KampanyalidanEkle(const SiparisOrtami &o, tarvik::MemTable &kampstok, std::int32_t stokno)
{
    listedenEkle(o, StokKaynagi::Kampanyali, kampstok, stokno);
}

void SepetSatirDegistir(const SiparisOrtami &o, tarvik::MemTable &sepet, std::int32_t sirano)
{
    try {
        if (!sepet.isOpen() || !sepet.locate(u"SIRANO", sirano))
            return;
        const StokSatiri satir = StokSatiriOku(sepet, StokKaynagi::Sepet);
        double miktar = 0, fiyat = 0;
        if (dialogAc(o, satir, miktar, fiyat))
            SatirGuncelle(o, satir, miktar, fiyat);
    } catch (...) {
        hataGoster();
    }
}

std::int32_t SepeteEkle(const SiparisOrtami &o, const StokSatiri &s, double miktar)
{
    if (!o.bagc)
        return -1;
    auto kopya = std::make_unique<TSonucBilgisi>();
    kopya->Kopyala(o.sbilgi);
    if (!BaglantiKontrol(*o.bagc, 1))
        return -1;
    std::int32_t sonuc = 0;
    {
        Kapatici kapat{*o.bagc};
        TServerMethods1Client proxy(o.bagc->DBXConnection());
        sonuc = proxy.SepetEkle2(std::move(kopya), o.sbilgi.CARINO(), s.stokno, s.barkod, s.adi, miktar, std::round(s.kdv), s.fiyat,
                                 s.ind1, o.sbilgi.Sirano(), s.k, s.ind2, s.ind3, s.ind4);
    }
    if (sonuc == 1 && o.SepetYenile)
        o.SepetYenile();
    return sonuc;
}

std::int32_t SatirGuncelle(const SiparisOrtami &o, const StokSatiri &s, double miktar, double fiyat)
{
    if (!o.bagc)
        return -1;
    auto kopya = std::make_unique<TSonucBilgisi>();
    kopya->Kopyala(o.sbilgi);
    if (!BaglantiKontrol(*o.bagc, 1))
        return -1;
    std::int32_t sonuc = 0;
    try {
        Kapatici kapat{*o.bagc};
        TServerMethods1Client proxy(o.bagc->DBXConnection());
        sonuc = proxy.SepetGuncelle2(std::move(kopya), o.sbilgi.CARINO(), 0, s.barkod, s.adi, miktar, std::round(s.kdv), fiyat, s.ind1,
                                     o.sbilgi.Sirano(), s.sirano, s.ind2, s.ind3, s.ind4);
    } catch (...) {
        // Whether the change arrived is unknown: the basket is reloaded all the same, then the error shown.
        if (o.SepetYenile)
            o.SepetYenile();
        throw;
    }
    if (o.SepetYenile)
        o.SepetYenile();
    return sonuc;
}

bool ResimYukle(tarvik::RemoteConnection &bagc, std::int32_t stokno, ResimAlani *hedef)
{
    if (!BaglantiKontrol(bagc, 1))
        return false;
    Kapatici kapat{bagc};
    QByteArray bayt;
    std::int64_t boy = 0;
    try {
        TServerMethods1Client proxy(bagc.DBXConnection());
        QIODevice *akis = proxy.ResimVer5(stokno, boy);
        if (boy <= 0 || !akis)
            return false;
        if (boy > kEnCokResimBoyu)
            return false;
        char parca[1024];
        for (;;) {
            const qint64 okunan = akis->read(parca, sizeof parca);
            if (okunan > 0)
                bayt.append(parca, okunan);
            if (okunan < static_cast<qint64>(sizeof parca) || bayt.size() > boy)
                break;
        }
    } catch (const tarvik::RemoteError &e) {
        MesajGoster(QString(e.className() + u": " + e.message()), MesajTuru::Hata, MesajDugmesi::Tamam, MesajDugmesi::Tamam);
        return false;
    } catch (const std::exception &e) {
        MesajGoster(QString(u"Exception: " + QString::fromLocal8Bit(e.what())), MesajTuru::Hata, MesajDugmesi::Tamam, MesajDugmesi::Tamam);
        return false;
    }
    if (bayt.size() != boy)
        return false;
    const QImage resim = QImage::fromData(bayt, "JPEG");
    if (resim.isNull() || !hedef)
        return false;
    hedef->setResim(resim);
    return true;
}
