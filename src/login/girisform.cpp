#include "girisform.h"

#include "await.h"
#include "controls.h"
#include "errors.h"
#include "formistekyeni.h"
#include "gecici_pencereler.h"
#include "inifile.h"
#include "localenv.h"
#include "messages.h"
#include "process_end.h"
#include "remote_connection.h"
#include "servermethods.h"
#include "transfer_objects.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsDropShadowEffect>
#include <QScreen>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

namespace {

const QString kSection = QStringLiteral("kullanici");

// Upper case as the user types: the cursor stays where it was.
void typeUpperCase(QLineEdit *edit)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString &text) {
        const QString upper = text.toUpper();
        if (upper == text)
            return;
        const int cursor = edit->cursorPosition();
        edit->setText(upper);
        edit->setCursorPosition(cursor);
    });
}

QLabel *captionLabel(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, QColor(160, 212, 222));
    p.setColor(QPalette::WindowText, Qt::black);
    l->setPalette(p);
    l->setMinimumHeight(24);
    return l;
}

} // namespace

// What the worker hands to the evaluation.
struct Tgirisform::Fetch
{
    bool ok = false;
    QString error;
    TSonucBilgisi record;
};

Tgirisform::Tgirisform(QWidget *owner) : QDialog(owner)
{
    // A window of its own in the taskbar, with a tool-window border.
    setWindowFlags(Qt::Window | Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    setWindowTitle(QStringLiteral("Giriş"));
    setFixedSize(349, 550);
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(13);
    f.setBold(true);
    setFont(f);

    Label1 = captionLabel(QStringLiteral(" Kullanıcı Adı:"), this);
    Label2 = captionLabel(QStringLiteral(" Şifre:"), this);
    adi = new QLineEdit(this);
    sifre = new QLineEdit(this);
    sifre->setEchoMode(QLineEdit::Password);
    sifre->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // shown as "*"
    Label1->setBuddy(adi);
    Label2->setBuddy(sifre);
    adi->setAccessibleName(QStringLiteral("Kullanıcı Adı:"));
    sifre->setAccessibleName(QStringLiteral("Şifre:"));
    adi->setMaxLength(50);
    sifre->setMaxLength(50);
    typeUpperCase(adi);
    typeUpperCase(sifre);
    for (QLineEdit *e : {adi, sifre}) {
        e->setMinimumHeight(28);
        e->installEventFilter(this);
    }

    benihatirla = new QCheckBox(QStringLiteral("Beni hatırla"), this);
    benihatirla->setChecked(true);
    benihatirla->setStyleSheet(QStringLiteral("QCheckBox { color: white; font-weight: bold; }"));

    Button1 = new QPushButton(QStringLiteral("Giriş"), this);
    Button2 = new QPushButton(QStringLiteral("Vazgeç"), this);
    for (QPushButton *b : {Button1, Button2}) {
        b->setMinimumSize(110, 34);
        b->setAutoDefault(false);
    }
    RxGIFAnimator1 = new tarvik::BusyIndicator(this);
    RxGIFAnimator1->setFixedSize(32, 32);
    RxGIFAnimator1->hide();
    connect(Button1, &QPushButton::clicked, this, &Tgirisform::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Tgirisform::Button2Click);

    RxLabel1 = new QLabel(this);
    RxLabel1->setAlignment(Qt::AlignCenter);
    RxLabel1->setText(QStringLiteral("TARVİK OTOMOTİV A.Ş.\nOstim OSB 1234. Cadde No: 56\nYenimahalle / ANKARA\n"
                                     "Tel: 0 (312) 555 12 34\nsiparis@tarvik.example"));
    QFont af(QStringLiteral("Arial"));
    af.setPixelSize(16);
    af.setBold(true);
    RxLabel1->setFont(af);
    RxLabel1->setStyleSheet(QStringLiteral("color: black;"));
    auto *shadow = new QGraphicsDropShadowEffect(RxLabel1);
    shadow->setColor(Qt::white);
    shadow->setOffset(-1, 1);
    shadow->setBlurRadius(0);
    RxLabel1->setGraphicsEffect(shadow);
    RxLabel1->setAccessibleName(QStringLiteral("Adres"));

    auto *form = new QGridLayout;
    form->setHorizontalSpacing(0);
    form->setVerticalSpacing(8);
    form->addWidget(Label1, 0, 0);
    form->addWidget(adi, 1, 0);
    form->addWidget(Label2, 2, 0);
    form->addWidget(sifre, 3, 0);
    form->addWidget(benihatirla, 4, 0);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addStretch();
    buttons->addWidget(RxGIFAnimator1);
    buttons->addStretch();
    buttons->addWidget(Button2);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 170, 28, 16);
    layout->addLayout(form);
    layout->addSpacing(10);
    layout->addLayout(buttons);
    layout->addStretch();
    layout->addWidget(RxLabel1);

    idsi = BilgisayarIdAl();
    AyarOku();
    adi->setFocus();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

Tgirisform::~Tgirisform() = default;

QString Tgirisform::ayarDosyasi()
{
    return AyarKlasoruAl() + QStringLiteral("/ayar.ini");
}

void Tgirisform::AyarOku()
{
    IniFile ini(ayarDosyasi());
    if (!ini.load())
        return; // first start, or a file we cannot read: empty boxes, the box ticked
    benihatirla->setChecked(ini.readBool(kSection, QStringLiteral("hatırla"), true));
    if (benihatirla->isChecked()) {
        adi->setText(ini.readString(kSection, QStringLiteral("isim")).toUpper());
        sifre->setText(ini.readString(kSection, QStringLiteral("sifre")).toUpper());
    }
}

void Tgirisform::AyarYaz()
{
    IniFile ini(ayarDosyasi());
    QDir().mkpath(QFileInfo(ini.path()).absolutePath()); // a first start on a fresh account has no folder yet
    ini.load(); // keep whatever else the file holds
    ini.writeString(kSection, QStringLiteral("isim"), adi->text());
    ini.writeString(kSection, QStringLiteral("sifre"), sifre->text());
    ini.writeBool(kSection, QStringLiteral("hatırla"), benihatirla->isChecked());
    if (!ini.save())
        MesajGoster(QStringLiteral("Giriş bilgileri kaydedilemedi:\r\n%1\r\n%2").arg(ini.path(), ini.errorString()), MesajTuru::Uyari,
                    MesajDugmesi::Tamam, MesajDugmesi::Tamam);
}

bool Tgirisform::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || (watched != adi && watched != sifre))
        return QDialog::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    auto *box = static_cast<QLineEdit *>(watched);
    if (box->text().trimmed().isEmpty()) {
        QApplication::beep();
        MesajGoster(box == adi ? QStringLiteral("Lütfen kullanıcı adını giriniz !") : QStringLiteral("Lütfen kullanıcı şifresini giriniz !"),
                    MesajTuru::Uyari, MesajDugmesi::Tamam, MesajDugmesi::Tamam);
        box->selectAll();
        box->setFocus();
        return true;
    }
    if (box == adi) {
        sifre->selectAll();
        sifre->setFocus();
    } else if (Button1->isEnabled()) {
        Button1Click();
    }
    return true;
}

void Tgirisform::Button1Click()
{
    Button1->setText(QStringLiteral("Bağlanıyor..."));
    Button1->setEnabled(false);
    RxGIFAnimator1->show();
    auto adres = std::make_shared<QString>();
    const QString host = bagim ? bagim->HostName() : QString();
    QPointer<Tgirisform> self(this);
    Baslat([adres, host] { *adres = host; })->Await([self, adres] {
        if (!self)
            return;
        self->Button1->setText(QStringLiteral("Giriş!"));
        self->RxGIFAnimator1->hide();
        self->Devamet(*adres);
    });
}

void Tgirisform::Devamet(const QString &adres)
{
    if (adres.trimmed().isEmpty() || !bagim || !Bilgim) {
        MesajGoster(QStringLiteral("Bağlantı Kurulamıyor Lütfen Tekrar Deneyiniz !"), MesajTuru::Hata, MesajDugmesi::Tamam, MesajDugmesi::Tamam);
        Button1->setEnabled(true);
        return;
    }
    Bilgim->setDisip(adres);
    AdresleriAyarla();
    bagim->setHostName(adres);
    RxGIFAnimator1->show();

    // The worker fetches with a clone of its own; the evaluation runs on the main thread afterwards.
    auto fetch = std::make_shared<Fetch>();
    auto clone = std::shared_ptr<tarvik::RemoteConnection>(bagim->clone());
    const QString machine = idsi;
    QPointer<Tgirisform> self(this);
    Baslat([fetch, clone, machine] {
        if (!BaglantiKontrol(*clone, 0))
            return;
        try {
            TServerMethods1Client proxy(clone->DBXConnection());
            const TSonucBilgisi *record = proxy.BuyukGetir(machine);
            if (record) {
                fetch->record.Kopyala(*record);
                fetch->ok = true;
            }
        } catch (const tarvik::RemoteError &e) {
            fetch->error = e.message();
        } catch (const std::exception &e) {
            fetch->error = QString::fromLocal8Bit(e.what());
        }
        clone->close();
        if (!fetch->ok)
            return;
        fetch->record.setBilgiSayarAdi(BilgisayarAdiAl());
        fetch->record.setBilgisayarKullanici(KullaniciAdiAl());
        fetch->record.setIcip(YerelIpAl());
        fetch->record.setBILGISAYARID(BilgisayarIdAl());
        fetch->record.setDisip(QStringLiteral("127.0.0.1"));
    })->Await([self, fetch] {
        if (self)
            self->degerlendir(*fetch);
    });
}

void Tgirisform::adiSec()
{
    adi->selectAll();
    adi->setFocus();
}

void Tgirisform::degerlendir(const Fetch &fetch)
{
    RxGIFAnimator1->hide();
    if (!fetch.error.isEmpty())
        MesajGoster(fetch.error, MesajTuru::Bilgi, MesajDugmesi::Tamam, MesajDugmesi::Tamam);
    if (!fetch.ok) {
        MesajGoster(QStringLiteral("Bağlantı Kurulamadı !"), MesajTuru::Hata, MesajDugmesi::Tamam, MesajDugmesi::Tamam);
        Button1->setEnabled(true);
        adiSec();
        return;
    }
    Bilgim->Kopyala(fetch.record);
    if (Bilgim->Version() != kProgramVersion) {
        GuncellemeAc();
        return; // the update window ends the program
    }
    if (!Bilgim->Varmi()) {
        IstekFormuAc(WebAdresi);
        tarvik::endProcess(0);
        return;
    }
    if (adi->text() == Bilgim->ADI() && sifre->text() == Bilgim->SIFRE()) {
        AyarYaz();
        if (Bilgim->AKTIF() == 1) {
            if ((Bilgim->MusteriTipi() == 1 || Bilgim->MusteriTipi() == 2) && !CariSecimiAc())
                return; // the program has ended
            done(QDialog::Accepted);
            return;
        }
    }
    MesajGoster(QStringLiteral("Kullanıcı Adı ve Şifre Hatalı Lütfen Tekrar Deneyiniz !"), MesajTuru::Uyari, MesajDugmesi::Tamam,
                MesajDugmesi::Tamam);
    Button1->setEnabled(true);
    adiSec();
}

void Tgirisform::GuncellemeAc()
{
    geciciGuncelleme(this, Bilgim->Version());
}

bool Tgirisform::CariSecimiAc()
{
    if (geciciCariSecimi(this, *bagim, *Bilgim) == 1)
        return true;
    tarvik::endProcess(0);
    return false;
}

void Tgirisform::IstekFormuAc(const QString &webAdresi)
{
    const QString machine = BilgisayarIdAl();
    Tformistekyeni form(this);
    form.setWindowTitle(QStringLiteral("Tarvik Vidovevi B2B İstek Formu"));
    form.Git(webAdresi + QStringLiteral("formmailgonder.aspx?carino=0&kullanici= &id=") + machine);
    form.exec();
}

void Tgirisform::Button2Click()
{
    tarvik::endProcess(0);
}

void Tgirisform::paintEvent(QPaintEvent *)
{
    // The background: a deep blue sky over a road, with the firm's mark.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0.0, QColor(18, 44, 84));
    sky.setColorAt(0.55, QColor(40, 110, 150));
    sky.setColorAt(1.0, QColor(196, 226, 232));
    p.fillRect(rect(), sky);
    const QPointF centre(width() / 2.0, 80);
    const qreal r = 52;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(243, 146, 0));
    QPainterPath cog;
    for (int i = 0; i < 12; ++i) {
        p.save();
        p.translate(centre);
        p.rotate(i * 30.0);
        p.drawRoundedRect(QRectF(-7, -r - 8, 14, 16), 3, 3);
        p.restore();
    }
    p.drawEllipse(centre, r, r);
    p.setBrush(QColor(18, 44, 84));
    p.drawEllipse(centre, r * 0.72, r * 0.72);
    QFont tf(QStringLiteral("Arial"));
    tf.setPixelSize(int(r));
    tf.setBold(true);
    p.setFont(tf);
    p.setPen(Qt::white);
    p.drawText(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), Qt::AlignCenter, QStringLiteral("T"));
    QFont nf(QStringLiteral("Arial"));
    nf.setPixelSize(15);
    nf.setBold(true);
    p.setFont(nf);
    p.drawText(QRectF(0, centre.y() + r + 8, width(), 22), Qt::AlignCenter, QStringLiteral("TARVİK VİDOVEVİ B2B"));
}
