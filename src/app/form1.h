#pragma once
// The main window: the program. It owns the connection template `bagc`, the identity record `sbilgi`,
// the in-memory tables of the lists and the tabs that show them; it runs the login, adapts itself to
// the user type, starts the start-up loads and refreshes what the server publishes when it is notified.

#include "datatable.h"
#include "memtable.h"
#include "remote_connection.h"
#include "transfer_objects.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QGridLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QTabWidget;
class QToolButton;
class QPushButton;

namespace tarvik {
class BusyIndicator;
class CallbackChannelManager;
class DataGrid;
class Marquee;
class TGifResim;
} // namespace tarvik

// What one load of an information tab works on and hands over: a clone of the connection and the identity
// values taken when the tab was shown, and the result of the worker thread, which the main thread swaps
// into the tab's table (or view). Every load has its own, so overlapping loads never share a table.
struct SekmeYuku
{
    std::unique_ptr<tarvik::RemoteConnection> baglanti;
    std::int32_t carino = 0;
    std::int32_t musteriTipi = 0;
    bool geldi = false; // the result below is complete
    tarvik::DataTable tablo;
    struct Duyuru
    {
        QByteArray resim;
        QString baslik, arama;
    };
    std::vector<Duyuru> duyurular;
};

// The document a statement movement opens, decided by its movement type: "Tahsilat" or "Tediye" (exactly)
// the collection, a type containing "Fatura" the invoice, anything else nothing.
enum class HareketBelgesi { Yok, Tahsilat, Fatura };
HareketBelgesi HareketBelgesiSec(const QString &turadi);

class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    // Creates the window; with `withLogin` (the program) the login runs inside, as the program starts.
    explicit TForm1(bool withLogin = true, QWidget *parent = nullptr);
    ~TForm1() override;

    // ---- state
    tarvik::RemoteConnection bagc;
    TSonucBilgisi sbilgi;
    std::int32_t _acilisadet = 0;
    tarvik::MemTable stok, sepet, YENILER, kampstok, ONCEKILER, EKSTRE;

    // ---- header
    QLabel *Image1;
    QLabel *kullanicilbl, *cariadilbl, *saticilbl;
    tarvik::TGifResim *GifResim1;
    QToolButton *Button3;
    QMenu *Genelmenu;
    QAction *M1, *N4, *httpwwwvesparcom1, *G1, *R1;

    // ---- search bar
    QLabel *Image2;
    QLineEdit *araedit;
    QToolButton *SpeedButton2, *SpeedButton1;
    QPushButton *musteritus;
    tarvik::BusyIndicator *gifstokara, *gifyeniler, *gifkampanyali, *gifduyuru, *gifoncekiler, *gifekstre, *gifsepet;

    // ---- banner strip, tabs, legend, bottom band
    tarvik::TGifResim *RxGIFAnimator2;
    QTabWidget *sPageControl1;
    QWidget *sstoklistesi, *ssepet, *sonceki, *sccariekstre, *syeniler, *skampanyali, *sTabSheetduyuru, *sTabbakiyeler;
    tarvik::DataGrid *cxGrid1DBTableView1;        // stock list
    tarvik::DataGrid *cxGridDBTableView1;         // basket
    tarvik::DataGrid *cxGridDBTableView2;         // previous orders
    tarvik::DataGrid *cxGridDBTableView4;         // account statement
    tarvik::DataGrid *cxGridDBTableView5;         // new stocks
    tarvik::DataGrid *cxGridDBTableViewkampanyali; // campaign stocks
    tarvik::DataGrid *cxGridduyuruBandedDuyuru;    // announcements
    QWidget *Panel3;
    tarvik::Marquee *kayanyazi;

    // ---- operations
    void GirisYap();
    void KullaniciTipiniUygula();
    void AnaBilgiAl();
    void BaslangicYuklemeleri();
    void GeriBildirimAlQue();
    void BildirimKaydet();
    void G1Click();
    void httpwwwvesparcom1Click();
    // The width rule of a grid: each visible column gets its weight's share of the width on screens wider
    // than 1152 pixels, else every column fits its content.
    static void KolonGenislikAyarla(tarvik::DataGrid *grid);

    // ---- stock search and stock list
    QMenu *popstok;
    QAction *S2, *B1, *S3;
    // The search box's key filter: Turkish letters to their plain forms, then upper case.
    static QString AramaMetniSuz(const QString &typed);
    // Enter in the search box, or "Ara": searches the text of the box.
    void StokAramasiBaslat();
    void SpeedButton2Click();
    void SpeedButton1Click();
    // Puts `text` into the search box and searches it (announcements and adverts hand a text over).
    void StokAramasiYap(const QString &text);
    // The worker step, on a clone of the connection of its own: fetches the stock list of `text` into
    // `packet`; true when it failed.
    static bool StokBul(tarvik::RemoteConnection &clone, const QString &text, const TSonucBilgisi &bilgi, tarvik::DataTable &packet);
    // The stock list's layout for the window width: narrow (below 1153 pixels) or wide.
    void StokKolonDuzenle();
    static void StokKolonDuzenle(tarvik::DataGrid *grid, int windowWidth);
    // The text of the "Fiyat Bilgisi" cell: three or four lines, each ended by "\r\n".
    static QString FiyatBilgisiMetni(const QVariant &liste, const QVariant &kampanya, const QVariant &net, const QVariant &kdvDahil);
    void cxGrid1DBTableView1DblClick();
    void S2Click();
    void S3Click();
    void B1Click();
    // Hand-off to the stock dialog from the stock list.
    void SepeteEkleAc(int stokno);

    // ---- basket tab
    QLabel *aratoplaml, *indiriml, *nettutarl, *vergil, *geneltoplaml;
    QLabel *indirimCaption, *vergiCaption;
    QPushButton *Button1, *Button2, *Button4, *Button5;
    QLabel *lbluyarbakiye;
    QMenu *PopupMenu1;
    QAction *Deitir1, *SatrSil1, *HepsiniSil1;
    // The basket's totals over its selected lines, each sum rounded to two decimals after every line.
    struct SepetToplami
    {
        double toplam = 0, indirim = 0, ara = 0, vergi = 0, genel = 0;
    };
    static SepetToplami SepetToplamiHesapla(tarvik::MemTable &sepet);
    void ssepetShow();
    void SepetYenile();
    void SepetToplamHesapla();
    bool SecimKaydet(int sirano, int secim);
    void CariBakiyeUyariBak();
    void Button4Click();
    void Button5Click();
    void Deitir1Click();
    void cxGridDBTableView1DblClick(const QString &columnCaption);
    void SatrSil1Click();
    // The description a deleted line is sent with: barcode, "-", stock name.
    static QString SilmeAciklamasi(const QString &barkod, const QString &stokadi);
    void HepsiniSil1Click();
    void Button2Click();
    // "Gönder": the order confirmation for the selected lines.
    void Button1Click();
    // The stock dialog for a basket line.
    void SepetSatirDegistir(int sirano);
    // What the ordering windows get from this window: itself as owner, the connection, a copy of the
    // identity record as it is now and the basket reload.
    struct SiparisOrtami siparisOrtami();
    // How many warning fetches of the basket tab have ended.
    int bitenUyarilar() const { return bitenUyarilar_; }

    // The steps of the start-up sequence, filled in as their parts of the window come.
    void KayanYaziAl() {}
    void BannerREsimAl() {}
    void BannerREsimAlUst() {}
    void BannerREsimAlAlt() {}
    void AcilisReklamAdetAl() {}
    void BalonYaz() {}
    void AcilisReklamGoster() {}

    // How many times the start-up sequence has run to its end (once at start, once per notification).
    int startupRuns() const { return startupRuns_; }
    tarvik::CallbackChannelManager *channel() const { return channel_.get(); }

    // The host the web link opens (the firm's web site).
    static QString webSitesi();

    // ---- information tabs: new stocks, campaign stocks, announcements, previous orders, statement
    QMenu *poponceki = nullptr;
    QAction *S1 = nullptr, *SipariBakiyeleriniz1 = nullptr, *T1 = nullptr;
    QMenu *popekstre = nullptr;
    QAction *H1 = nullptr;
    // Each reloads its list through the tab load pattern; run whenever the tab is shown.
    void syenilerShow();
    void skampanyaliShow();
    void sTabSheetduyuruShow();
    void soncekiShow();
    void sccariekstreShow();
    // Load steps, on a worker thread: fill `yuk` and return true when the connection check (or, for the
    // previous orders and the statement, anything) failed.
    static bool YenileriGetir(SekmeYuku &yuk);
    static bool KampanyalilariGetir(SekmeYuku &yuk);
    static bool DuyurulariGetir(SekmeYuku &yuk);
    static bool OncekileriGetir(SekmeYuku &yuk);
    static bool EkstreGetir(SekmeYuku &yuk);
    // The statement's running balance into BAKIYE and D, in row order.
    void EkstreBakiyeHesapla();
    static void EkstreBakiyeHesapla(tarvik::MemTable &tablo);
    // Grid and menu handlers.
    void cxGridDBTableView5DblClick();
    void cxGridDBTableViewkampanyaliDblClick();
    void cxGridduyuruBandedDuyuruDblClick();
    void cxGridDBTableView2DblClick();
    void cxGridDBTableView4DblClick();
    void S1Click();
    void SipariBakiyeleriniz1Click();
    void T1Click();
    void H1Click();
    // Hand-offs to the windows that open from these tabs.
    void SepeteEkleSekmeden(int stokno, bool kampanyali);
    void SiparisAyrintisiAc(int idno);
    void SiparisBakiyeleriAc();
    void TumSiparislerAc(int stokno);
    void HareketIncele(int idno, const QString &turadi, int carino);
    // How many loads of the information tabs have ended (their grid restored).
    int bitenSekmeYuklemeleri() const { return bitenSekmeYuklemeleri_; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildHeader(QWidget *header);
    void buildSearchBar(QWidget *bar);
    void buildTabs();
    void buildLegend(QWidget *legend);
    void declareColumns();
    void declareStockColumns();
    void declareBasketColumns();
    void buildBasketTab();
    void setBasketCaption();
    void buildStockSearch();
    int focusedStockNo() const;
    void baglaSekmeler();
    void sekmeDegisti(int index);
    void startupSequence(bool foreground);

    std::unique_ptr<tarvik::CallbackChannelManager> channel_;
    int startupRuns_ = 0;
    int bitenUyarilar_ = 0;
    int bitenSekmeYuklemeleri_ = 0;
};

// The tab load pattern: on the main thread the tab's indicator shows and its grid is disabled, detached
// and frozen; `load` runs on a worker thread and returns true when it failed; then on the main thread
// `extra` runs, the grid is re-attached, thawed and enabled, `after` runs, the indicator hides, and a
// failure shows the connection error box once.
struct TabLoad
{
    tarvik::BusyIndicator *indicator = nullptr;
    tarvik::DataGrid *grid = nullptr;
    std::function<bool()> load;
    std::function<void()> extra;
    std::function<void()> after; // steps that need the re-attached, thawed grid (widths fitted to content)
};
void runTabLoad(QObject *guard, TabLoad tab);
