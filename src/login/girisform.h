#pragma once
// The login window: asks for the user name and password, fetches the identity record the server keeps
// for this computer (BuyukGetir) on a worker thread and compares them with it. Result 1 (Accepted)
// when the login is confirmed; the decisions that end the program (Vazgeç, an unknown machine, a
// customer selection closed without a choice) end it on the spot.

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TSonucBilgisi;

namespace tarvik {
class BusyIndicator;
class RemoteConnection;
} // namespace tarvik

// This program's version: a server that announces another one gets the update.
inline constexpr int kProgramVersion = 4;

class Tgirisform : public QDialog
{
    Q_OBJECT
public:
    explicit Tgirisform(QWidget *owner = nullptr);
    ~Tgirisform() override;

    // Set by the main window before showing: its template connection and its identity record (the
    // record itself: the login writes into it).
    tarvik::RemoteConnection *bagim = nullptr;
    TSonucBilgisi *Bilgim = nullptr;

    // The machine identity of this computer.
    QString idsi;

    QLabel *Label1;
    QLabel *Label2;
    QLineEdit *adi;
    QLineEdit *sifre;
    QCheckBox *benihatirla;
    QPushButton *Button1;
    QPushButton *Button2;
    tarvik::BusyIndicator *RxGIFAnimator1;
    QLabel *RxLabel1;

    void AyarOku();
    void AyarYaz();
    void Button1Click();
    void Button2Click();
    void Devamet(const QString &adres);

    // The path of ayar.ini.
    static QString ayarDosyasi();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    struct Fetch;
    void degerlendir(const Fetch &fetch);
    void GuncellemeAc();
    // Opens the customer selection; false when it closed without a choice (the program has ended).
    bool CariSecimiAc();
    void IstekFormuAc(const QString &webAdresi);
    void adiSec();
};
