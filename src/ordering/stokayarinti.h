#pragma once
// The stock dialog "Sepete Ekle" and the add-to-basket flow around it.
//
// The main window opens the dialog from a row of the stock list (`stok`), the new stocks (`YENILER`), the
// campaign stocks (`kampstok`) or a basket line (`sepet`):
//
//   SiparisOrtami o{this, &bagc, sbilgi, [this] { SepetYenile(); }};
//   StokSec(o, StokKaynagi::StokListesi, stok, stokno, sepet);   // double-click on a list row
//   SepetSatirDegistir(o, sepet, sirano);                          // "Satır Değiştir" on the basket
//
// A stock that already has a basket line always opens the dialog on that line and changes it. The row's
// values are read once, before the dialog opens, so a list reloaded while the dialog is open does not
// change what is sent.

#include "memtable.h"
#include "remote_connection.h"
#include "transfer_objects.h"

#include <QDialog>
#include <QImage>
#include <QString>

#include <atomic>
#include <functional>

class QLabel;
class QPushButton;

namespace tarvik {
class CurrencyBox;
class SpinBox;
} // namespace tarvik

// What an action of the ordering windows needs from the main window.
struct SiparisOrtami
{
    QWidget *owner = nullptr;                  // the opener; dialogs are centred on it
    tarvik::RemoteConnection *bagc = nullptr; // the template connection
    TSonucBilgisi sbilgi;                      // a copy of the identity record, taken when the action starts
    std::function<void()> SepetYenile;         // reloads the basket (the basket tab's reload)
};

// Where the dialog's row comes from.
enum class StokKaynagi { StokListesi, Yeniler, Kampanyali, Sepet };

// The values of one source row that the dialog shows and the send uses.
struct StokSatiri
{
    StokKaynagi kaynak = StokKaynagi::StokListesi;
    std::int32_t stokno = 0; // STOK_STOKNO; for a basket line its STOKNO
    std::int32_t sirano = 0; // basket line number SIRANO (basket lines only)
    QString barkod, adi, marka, finishkod, model, indirimyazi;
    double kdv = 0, fiyat = 0, ind1 = 0, ind2 = 0, ind3 = 0, ind4 = 0;
    std::int32_t k = 0;      // campaign flag of the lists: 0 normal price, above 0 campaign price
    double miktar = 1;       // MIKTAR of a basket line
};

// Reads the current row of a list or of the basket. Raises DatabaseError when a column is missing.
StokSatiri StokSatiriOku(const tarvik::MemTable &tablo, StokKaynagi kaynak);

// The quantity box's text as a quantity: a whole number from 1 to 10000. False for anything else.
bool AdetOku(const QString &metin, double &miktar);

// The picture area of the dialog: the picture centred and scaled to fit, keeping its proportions; a drawn
// placeholder until a picture is set.
class ResimAlani : public QWidget
{
public:
    explicit ResimAlani(QWidget *parent = nullptr);
    void setResim(const QImage &resim);
    bool hasPicture() const { return !resim_.isNull(); }
    const QImage &resim() const { return resim_; }

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QImage resim_;
};

class Tstokayarinti : public QDialog
{
    Q_OBJECT
public:
    explicit Tstokayarinti(QWidget *owner = nullptr);
    ~Tstokayarinti() override;

    // Set by the opener (Doldur sets them from the row).
    double kdvoran = 0;
    double ind1 = 0, ind2 = 0, ind3 = 0, ind4 = 0;
    std::int32_t _stokno = 0; // the picture request's stock number; 0 when the opener does not set it

    QLabel *barkod, *adi, *finishkod, *marka, *model;
    ResimAlani *Image1;
    tarvik::SpinBox *adet;
    QLabel *Label2;
    tarvik::CurrencyBox *birimfiyat;
    QLabel *indirimoran;
    tarvik::CurrencyBox *indtutar, *kdvdahiltutar, *geneltutar;
    QPushButton *ParcaliTus1; // "Sipariş ekle"
    QPushButton *ParcaliTus2; // "Vazgeç"

    // Fills labels, rates, price and quantity from a row, after its source; the price box is editable for
    // the representative types 1 and 2 except on campaign rows.
    void Doldur(const StokSatiri &satir, std::int32_t musteriTipi);

    // Recomputes the discount, the VAT-inclusive unit price and the line total.
    void TutarlariHesapla();
    // Starts the picture download of `_stokno` on a pool thread; the last one to finish wins.
    void ResimGoster();
    // The download itself (runs on a pool thread): the body of a GET, empty on any failure.
    static QByteArray GosterYeni(const QString &adres);

    // "Sipariş ekle" and Enter in the quantity box: closes with OK when the quantity is a whole number
    // from 1 to 10000, otherwise says so and stays open.
    void ParcaliTus1Click();
    // The quantity of an OK close.
    double miktar() const { return miktar_; }
    // The quantity box's text as the user left it (a box cleared by the user stays empty here even when
    // the box puts its last value back on leaving).
    QString adetMetni() const { return adetMetni_; }

    // Picture downloads started and not yet finished, in every dialog (for tests).
    static int suranIndirmeler() { return indirmeler_.load(); }

protected:
    bool event(QEvent *e) override;
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    double miktar_ = 0;
    QString adetMetni_ = QStringLiteral("1");
    static std::atomic<int> indirmeler_;
};

// --- The flow of the main window.

// A double-click on a row of the stock list, the new stocks or the campaign stocks, for stock `stokno`:
// positions `liste` on the stock, loads the basket when it is not loaded yet, and opens the change of the
// stock's basket line when it has one, else the add from the list.
void StokSec(const SiparisOrtami &o, StokKaynagi kaynak, tarvik::MemTable &liste, std::int32_t stokno, tarvik::MemTable &sepet);

// The dialog on the current row of a list, then SepeteEkle on OK.
void StokListesindenEkle(const SiparisOrtami &o, tarvik::MemTable &stok, std::int32_t stokno);
void YenilerdenEkle(const SiparisOrtami &o, tarvik::MemTable &yeniler, std::int32_t stokno);
void KampanyalidanEkle(const SiparisOrtami &o, tarvik::MemTable &kampstok, std::int32_t stokno);

// The dialog on basket line `sirano`, then SatirGuncelle on OK.
void SepetSatirDegistir(const SiparisOrtami &o, tarvik::MemTable &sepet, std::int32_t sirano);

// Sends a new line built from a list row (its price and rates, never a price typed in the dialog); reloads
// the basket when the server answers 1. Returns the server's answer, or -1 when no connection was made.
std::int32_t SepeteEkle(const SiparisOrtami &o, const StokSatiri &satir, double miktar);

// Sends the change of a basket line with the dialog's quantity and price, then reloads the basket.
// Returns the server's answer, or -1 when no connection was made.
std::int32_t SatirGuncelle(const SiparisOrtami &o, const StokSatiri &satir, double miktar, double fiyat);

// Loads the stock picture from ResimVer5 into `hedef`: only a JPEG whose byte count is the reported one.
// True when a picture was put in.
bool ResimYukle(tarvik::RemoteConnection &bagc, std::int32_t stokno, ResimAlani *hedef);
