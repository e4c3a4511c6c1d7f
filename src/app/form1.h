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
    // Hand-offs to the windows that take a stock further (the stock dialog, the orders of a stock, the
    // order balances).
    void SepeteEkleAc(int stokno);
    void SiparisleriGosterAc(int stokno);
    void BakiyelerPenceresiAc();

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

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildHeader(QWidget *header);
    void buildSearchBar(QWidget *bar);
    void buildTabs();
    void buildLegend(QWidget *legend);
    void declareColumns();
    void declareStockColumns();
    void buildStockSearch();
    int focusedStockNo() const;
    void startupSequence(bool foreground);

    std::unique_ptr<tarvik::CallbackChannelManager> channel_;
    int startupRuns_ = 0;
};

// The tab load pattern: on the main thread the tab's indicator shows and its grid is disabled, detached
// and frozen; `load` runs on a worker thread and returns true when it failed; then on the main thread
// `extra` runs, the grid is re-attached, thawed and enabled, the indicator hides, and a failure shows the
// connection error box once.
struct TabLoad
{
    tarvik::BusyIndicator *indicator = nullptr;
    tarvik::DataGrid *grid = nullptr;
    std::function<bool()> load;
    std::function<void()> extra;
};
void runTabLoad(QObject *guard, TabLoad tab);
