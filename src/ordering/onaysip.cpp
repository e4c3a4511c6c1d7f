#include "onaysip.h"

#include "await.h"
#include "errors.h"
#include "messages.h"
#include "servermethods.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <memory>

namespace {

void hataGoster()
{
    tarvik::showApplicationError(tarvik::errorText(std::current_exception()));
}

void uyar(const QString &metin)
{
    MesajGoster(metin, MesajTuru::Uyari, MesajDugmesi::Tamam, MesajDugmesi::Tamam);
}

QFont sabitAralikli(int piksel)
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    f.setPixelSize(piksel);
    f.setBold(true);
    return f;
}

} // namespace

bool SeciliVarmi(const tarvik::MemTable &sepet)
{
    if (!sepet.isOpen() || sepet.recordCount() == 0)
        return false;
    const int sec = sepet.fieldIndex(u"SEC");
    if (sec < 0)
        return false;
    for (int r = 0; r < sepet.recordCount(); ++r) {
        bool ok = false;
        if (sepet.value(r, sec).toInt(&ok) == 1 && ok)
            return true;
    }
    return false;
}

bool GonderilecekVarmi(const tarvik::MemTable &sepet)
{
    if (SeciliVarmi(sepet))
        return true;
    MesajGoster(QStringLiteral("Gönderilecek Parça Yok "), MesajTuru::Uyari, MesajDugmesi::Tamam, MesajDugmesi::Tamam);
    return false;
}

// ---------------------------------------------------------------------------------------------------
// TONAYSIP

TONAYSIP::TONAYSIP(QWidget *owner, tarvik::RemoteConnection &_c, const QString &mesaj, const TSonucBilgisi &_sbilgi,
                   const QString &_toplam)
    : QDialog(owner), bagc(_c), toplam(_toplam)
{
    sbilgi.Kopyala(_sbilgi);
    setWindowFlags(Qt::Dialog | Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Sipariş Onay"));
    setObjectName(QStringLiteral("ONAYSIP"));
    resize(894, 526);

    teslimbox = new QGroupBox(QStringLiteral("Teslim Durumu"), this);
    new QHBoxLayout(teslimbox);
    teslimDugmeleri_ = new QButtonGroup(this);
    boxkargo = new QGroupBox(QStringLiteral("Kargo Türleri"), this);
    new QHBoxLayout(boxkargo);
    turDugmeleri_ = new QButtonGroup(this);
    connect(turDugmeleri_, &QButtonGroup::buttonClicked, this, [this] { boxkargoClick(); });

    kargoGrubu = new QGroupBox(QStringLiteral("Kargo"), this);
    kargocombo = new QComboBox(kargoGrubu);
    kargocombo->setAccessibleName(QStringLiteral("Kargo"));
    kargocombo->setMinimumHeight(28);
    uyarikargo = new QLabel(kargoGrubu);
    uyarikargo->setWordWrap(true);
    uyarikargo->setAccessibleName(QStringLiteral("Kargo Uyarısı"));
    uyarikargo->setStyleSheet(QStringLiteral("color: rgb(170, 60, 0); font-weight: bold;"));
    auto *kl = new QVBoxLayout(kargoGrubu);
    kl->addWidget(kargocombo);
    kl->addWidget(uyarikargo);
    connect(kargocombo, &QComboBox::currentIndexChanged, this, [this] { kargocomboChange(); });

    mesajGrubu = new QGroupBox(QStringLiteral("Mesaj"), this);
    aciklamagir = new QPlainTextEdit(mesajGrubu);
    aciklamagir->setAccessibleName(QStringLiteral("Mesaj"));
    aciklamagir->setTabChangesFocus(true);
    QFont kalin = aciklamagir->font();
    kalin.setBold(true);
    aciklamagir->setFont(kalin);
    auto *ml = new QVBoxLayout(mesajGrubu);
    ml->addWidget(aciklamagir);

    Label2 = new QLabel(this);
    Label2->setFont(sabitAralikli(16));
    Label2->setTextFormat(Qt::PlainText);
    Label2->setAccessibleName(QStringLiteral("Sipariş Özeti"));
    Label3 = new QLabel(this);
    Label3->setFont(sabitAralikli(16));
    Label3->setTextFormat(Qt::PlainText);
    Label3->setWordWrap(true);
    Label3->setStyleSheet(QStringLiteral("color: red;")); // keeps its colour whatever the style
    Label3->setAccessibleName(QStringLiteral("Bakiye Uyarısı"));
    Label1 = new QLabel(QStringLiteral("Yukarıda bilgileri verilen siparişi onaylıyor musunuz ?"), this);
    QFont soru = font();
    soru.setPixelSize(20);
    soru.setBold(true);
    Label1->setFont(soru);
    Label1->setAlignment(Qt::AlignCenter);

    Button1 = new QPushButton(QStringLiteral("Evet"), this);
    Button2 = new QPushButton(QStringLiteral("Hayır"), this);
    for (QPushButton *b : {Button1, Button2}) {
        b->setAutoDefault(false);
        b->setMinimumSize(140, 38);
    }
    connect(Button1, &QPushButton::clicked, this, &TONAYSIP::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    // Choices on the left, one above the other, as the order is made; the note fills the right.
    for (QGroupBox *g : {teslimbox, boxkargo, kargoGrubu})
        g->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    uyarikargo->setMinimumHeight(36);
    uyarikargo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto *secimler = new QGridLayout;
    secimler->setVerticalSpacing(8);
    secimler->addWidget(teslimbox, 0, 0);
    secimler->addWidget(boxkargo, 1, 0);
    secimler->addWidget(kargoGrubu, 2, 0);
    secimler->addWidget(mesajGrubu, 0, 1, 4, 1);
    secimler->setRowStretch(3, 1);
    secimler->setColumnStretch(0, 3);
    secimler->setColumnStretch(1, 2);
    auto *tuslar = new QHBoxLayout;
    tuslar->addWidget(Button1);
    tuslar->addStretch();
    tuslar->addWidget(Button2);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addLayout(secimler, 1);
    layout->addSpacing(6);
    layout->addWidget(Label2);
    layout->addWidget(Label3);
    layout->addStretch();
    layout->addWidget(Label1);
    layout->addSpacing(6);
    layout->addLayout(tuslar);

    Ac(mesaj);
}

TONAYSIP::~TONAYSIP() = default;

QString TONAYSIP::Ozet(const QString &kullanici, const QString &cari, const QString &tutar)
{
    return QString(u"Kullanıcı: " + kullanici + u"\r\n" + u"Cari     : " + cari + u"\r\n" + u"Tutar    : " + tutar);
}

void TONAYSIP::secenekEkle(QGroupBox *grup, QButtonGroup *dugmeler, std::vector<QRadioButton *> &liste, std::vector<std::int32_t> &idler,
                           std::int32_t id, const QString &metin)
{
    auto *r = new QRadioButton(metin, grup);
    dugmeler->addButton(r);
    grup->layout()->addWidget(r);
    liste.push_back(r);
    idler.push_back(id);
}

void TONAYSIP::Ac(const QString &mesaj)
{
    Label3->setText(mesaj);
    Label2->setText(Ozet(sbilgi.ADI(), sbilgi.CariAdi(), toplam));
    kargo.createTable({{QStringLiteral("ADI"), tarvik::DbxType::WideString},
                       {QStringLiteral("SIRANO"), tarvik::DbxType::Int32},
                       {QStringLiteral("UYARI"), tarvik::DbxType::WideString}});
    kargocombo->addItem(QStringLiteral(" "));

    std::unique_ptr<tarvik::RemoteConnection> klon = bagc.clone();
    if (!BaglantiKontrol(*klon, 1))
        return; // empty lists: the user can only say "Hayır"
    try {
        TServerMethods1Client proxy(klon->DBXConnection());
        if (tarvik::TableReader *r = proxy.TeslimVer()) {
            while (r->next())
                secenekEkle(teslimbox, teslimDugmeleri_, teslim_, teslimId_, r->value(0).toInt(), r->value(1).toString());
        }
        if (!teslim_.empty())
            teslim_[teslim_.size() > 1 ? 1 : 0]->setChecked(true);
        if (tarvik::TableReader *r = proxy.KargoVer()) {
            while (r->next())
                secenekEkle(boxkargo, turDugmeleri_, turler_, turId_, r->value(0).toInt(), r->value(1).toString());
        }
    } catch (...) {
        hataGoster();
    }
    klon->close();
}

int TONAYSIP::teslimIndex() const
{
    for (std::size_t i = 0; i < teslim_.size(); ++i)
        if (teslim_[i]->isChecked())
            return static_cast<int>(i);
    return -1;
}

int TONAYSIP::kargoTuruIndex() const
{
    for (std::size_t i = 0; i < turler_.size(); ++i)
        if (turler_[i]->isChecked())
            return static_cast<int>(i);
    return -1;
}

QString TONAYSIP::aciklama() const
{
    QString t = aciklamagir->toPlainText();
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\n', QStringLiteral("\r\n"));
    return t;
}

void TONAYSIP::boxkargoClick()
{
    uyarikargo->clear();
    const int i = kargoTuruIndex();
    if (i < 0)
        return;
    std::vector<std::vector<QVariant>> satirlar;
    try {
        const bool acildi = tarvik::callOnMainThread(bagc, [&](tarvik::TcpConnection &c) {
            TServerMethods1Client proxy(&c);
            tarvik::TableReader *r = proxy.KargolarVer(turId_[static_cast<std::size_t>(i)]);
            while (r && r->next())
                satirlar.push_back({r->value(u"ADI"), r->value(u"SIRANO"), r->value(u"UYARI")});
        });
        if (!acildi)
            return; // the list keeps what it had
        kargo.emptyTable();
        for (const std::vector<QVariant> &s : satirlar)
            kargo.appendRecord(s);
    } catch (...) {
        hataGoster();
        return;
    }
    {
        const QSignalBlocker sus(kargocombo);
        kargocombo->clear();
        kargocombo->addItem(QStringLiteral(" "));
        for (int r = 0; r < kargo.recordCount(); ++r)
            kargocombo->addItem(kargo.value(r, 0).toString());
        kargocombo->setCurrentIndex(0);
    }
    if (kargocombo->count() == 2)
        kargocombo->setCurrentIndex(1); // runs kargocomboChange
    else
        kargocomboChange();
}

void TONAYSIP::kargocomboChange()
{
    const QString secilen = kargocombo->currentText();
    for (int r = 0; r < kargo.recordCount(); ++r) {
        if (kargo.value(r, 0).toString() == secilen) {
            uyarikargo->setText(kargo.value(r, 2).toString());
            return;
        }
    }
    uyarikargo->clear();
}

void TONAYSIP::Button1Click()
{
    const int t = teslimIndex();
    if (t < 0) {
        uyar(QStringLiteral("Lütfen Teslim Durumu Seçiniz !"));
        return;
    }
    const int k = kargoTuruIndex();
    if (k < 0) {
        uyar(QStringLiteral("Lütfen Kargo Türünü Seçiniz !"));
        return;
    }
    int firma = -1;
    if (kargocombo->currentIndex() > 0) {
        const QString secilen = kargocombo->currentText();
        for (int r = 0; r < kargo.recordCount(); ++r) {
            if (kargo.value(r, 0).toString() == secilen) {
                firma = r;
                break;
            }
        }
    }
    if (firma < 0) {
        uyar(QStringLiteral("Lütfen Kargo  Seçiniz !"));
        kargocombo->setFocus();
        return;
    }
    KN = kargo.value(firma, 1).toInt();
    td = teslimId_[static_cast<std::size_t>(t)];
    kt = turId_[static_cast<std::size_t>(k)];
    Button1->setEnabled(false); // a second click of a double click finds it closed and disabled
    accept();
}

// ---------------------------------------------------------------------------------------------------
// Sending

bool SiparisGonder(const SiparisOrtami &o, std::int32_t KN, std::int32_t kt, std::int32_t td, const QString &aciklama)
{
    if (!o.bagc)
        return false;
    auto kopya = std::make_unique<TSonucBilgisi>();
    kopya->Kopyala(o.sbilgi);
    bool kabul = false;
    const bool acildi = tarvik::callOnMainThread(*o.bagc, [&](tarvik::TcpConnection &c) {
        TServerMethods1Client proxy(&c);
        kabul = proxy.SiparisKaydet(std::move(kopya), o.sbilgi.CARINO(), td, kt, aciklama, o.sbilgi.Sirano(), KN);
    });
    return acildi && kabul;
}

bool SepetGonder(const SiparisOrtami &o, const tarvik::MemTable &sepet, const QString &uyari, const QString &toplam,
                 QAbstractButton *gonderTusu)
{
    static bool suruyor = false;
    if (suruyor || !o.bagc)
        return false;
    suruyor = true;
    QPointer<QAbstractButton> tus(gonderTusu);
    const bool tusAcikti = tus && tus->isEnabled();
    if (tus)
        tus->setEnabled(false);
    struct Bitis
    {
        QPointer<QAbstractButton> &tus;
        bool acik;
        ~Bitis()
        {
            if (tus && acik)
                tus->setEnabled(true);
            suruyor = false;
        }
    } bitis{tus, tusAcikti};

    if (!GonderilecekVarmi(sepet))
        return false;
    try {
        std::int32_t KN = 0, kt = 0, td = 0;
        QString not_;
        {
            TONAYSIP onay(o.owner, *o.bagc, uyari, o.sbilgi, toplam);
            if (onay.exec() != QDialog::Accepted)
                return false;
            KN = onay.KN;
            kt = onay.kt;
            td = onay.td;
            not_ = onay.aciklama();
        }
        bool gonderildi = false;
        try {
            gonderildi = SiparisGonder(o, KN, kt, td, not_);
        } catch (...) {
            // Whether the order was made is unknown: show the basket as the server has it, then the error.
            if (o.SepetYenile)
                o.SepetYenile();
            throw;
        }
        if (gonderildi) {
            MesajGoster(QStringLiteral("Siparişiniz Gönderildi !"), MesajTuru::Bilgi, MesajDugmesi::Tamam, MesajDugmesi::Tamam);
            if (o.SepetYenile)
                o.SepetYenile();
        } else {
            MesajGoster(QStringLiteral("Sipariş Göndermede Hata"), MesajTuru::Hata, MesajDugmesi::Tamam, MesajDugmesi::Tamam);
        }
        return gonderildi;
    } catch (...) {
        hataGoster();
        return false;
    }
}
