#pragma once
// Sending the basket as an order: the "Gönder" flow of the basket tab and the confirmation window
// "Sipariş Onay" (TONAYSIP), where the user chooses the delivery mode, the cargo type, the cargo company
// and writes a note.
//
// The basket tab's "Gönder" button calls
//
//   SiparisOrtami o{this, &bagc, sbilgi, [this] { SepetYenile(); }};
//   SepetGonder(o, sepet, lbluyarbakiye->text(), geneltoplaml->text(), Button1);
//
// The button is disabled until the flow has ended, so a double click sends one order.

#include "memtable.h"
#include "remote_connection.h"
#include "stokayarinti.h"
#include "transfer_objects.h"

#include <QDialog>
#include <QString>

#include <vector>

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// True when the basket is loaded and at least one of its lines is selected (SEC = 1).
bool SeciliVarmi(const tarvik::MemTable &sepet);

// The check of "Gönder" before anything opens: without a selected line the warning
// "Gönderilecek Parça Yok " is shown and false returned.
bool GonderilecekVarmi(const tarvik::MemTable &sepet);

class TONAYSIP : public QDialog
{
    Q_OBJECT
public:
    // Creates and fills the window (Ac): the summary, the warning, the delivery modes (the second one
    // preselected) and the cargo types. `_c` must outlive the window; the identity record is copied.
    TONAYSIP(QWidget *owner, tarvik::RemoteConnection &_c, const QString &mesaj, const TSonucBilgisi &_sbilgi, const QString &_toplam);
    ~TONAYSIP() override;

    tarvik::RemoteConnection &bagc;
    TSonucBilgisi sbilgi;
    QString toplam;
    std::int32_t td = 0; // delivery mode id
    std::int32_t kt = 0; // cargo type id
    std::int32_t KN = 0; // cargo company SIRANO
    tarvik::MemTable kargo{QStringLiteral("kargo")};

    QGroupBox *teslimbox;
    QGroupBox *boxkargo;
    QGroupBox *kargoGrubu;
    QComboBox *kargocombo;
    QLabel *uyarikargo;
    QGroupBox *mesajGrubu;
    QPlainTextEdit *aciklamagir;
    QLabel *Label2; // summary
    QLabel *Label3; // overdue-balance warning
    QLabel *Label1; // the question
    QPushButton *Button1; // "Evet"
    QPushButton *Button2; // "Hayır"

    // The radio items of the two groups, in server order, and the id each carries.
    const std::vector<QRadioButton *> &teslimSecenekleri() const { return teslim_; }
    const std::vector<QRadioButton *> &kargoTurleri() const { return turler_; }
    // Index of the checked item; -1 when none is.
    int teslimIndex() const;
    int kargoTuruIndex() const;

    // The note as sent: the memo's lines joined by CR LF.
    QString aciklama() const;

    void boxkargoClick();
    void kargocomboChange();
    void Button1Click();

    // The summary's three lines for a user, an account and a total.
    static QString Ozet(const QString &kullanici, const QString &cari, const QString &tutar);

private:
    void Ac(const QString &mesaj);
    void secenekEkle(QGroupBox *grup, QButtonGroup *dugmeler, std::vector<QRadioButton *> &liste, std::vector<std::int32_t> &idler,
                     std::int32_t id, const QString &metin);

    QButtonGroup *teslimDugmeleri_;
    QButtonGroup *turDugmeleri_;
    std::vector<QRadioButton *> teslim_, turler_;
    std::vector<std::int32_t> teslimId_, turId_;
};

// Sends the order: SiparisKaydet with the cargo company `KN`, the cargo type `kt`, the delivery `td` and
// the note. True when the server accepted it; false when it refused or no connection was made.
bool SiparisGonder(const SiparisOrtami &o, std::int32_t KN, std::int32_t kt, std::int32_t td, const QString &aciklama);

// "Gönder": the check, the confirmation window, the send, its message and the basket reload. `gonderTusu`
// (may be null) stays disabled until the flow has ended; a flow already running ignores a second call.
// True when an order was sent.
bool SepetGonder(const SiparisOrtami &o, const tarvik::MemTable &sepet, const QString &uyari, const QString &toplam,
                 QAbstractButton *gonderTusu = nullptr);
