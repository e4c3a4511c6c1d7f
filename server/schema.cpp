// The server's schema, step by step. A step is never changed once released: later changes are new steps.

#include "database.h"

namespace tarvik::server {

std::vector<Migration> Database::standardMigrations()
{
    return {
        {1, "server information",
         {"CREATE TABLE server_info (key TEXT PRIMARY KEY, value TEXT NOT NULL)",
          "INSERT INTO server_info (key, value) VALUES ('created', strftime('%Y-%m-%dT%H:%M:%fZ', 'now'))"}},
        {2, "representatives, accounts, users, machines and the stock catalogue",
         {
             R"(CREATE TABLE temsilci (
                  no INTEGER PRIMARY KEY,
                  adi TEXT NOT NULL,
                  telefon TEXT NOT NULL DEFAULT '',
                  mail TEXT NOT NULL DEFAULT ''))",
             // Customer accounts with their discount rates (applied one after another) and payment term.
             R"(CREATE TABLE cari (
                  no INTEGER PRIMARY KEY,
                  kod TEXT NOT NULL UNIQUE,
                  adi TEXT NOT NULL,
                  temsilci INTEGER REFERENCES temsilci(no),
                  yetkili TEXT NOT NULL DEFAULT '',
                  adres1 TEXT NOT NULL DEFAULT '', adres2 TEXT NOT NULL DEFAULT '',
                  ilce TEXT NOT NULL DEFAULT '', sehir TEXT NOT NULL DEFAULT '', ulke TEXT NOT NULL DEFAULT 'TÜRKİYE',
                  tel1 TEXT NOT NULL DEFAULT '', tel2 TEXT NOT NULL DEFAULT '', gsm TEXT NOT NULL DEFAULT '',
                  fax1 TEXT NOT NULL DEFAULT '', fax2 TEXT NOT NULL DEFAULT '', email TEXT NOT NULL DEFAULT '',
                  vergi_dairesi TEXT NOT NULL DEFAULT '', vergi_no TEXT NOT NULL DEFAULT '',
                  ana_grup TEXT NOT NULL DEFAULT '', alt_grup TEXT NOT NULL DEFAULT '', ozel_kod TEXT NOT NULL DEFAULT '',
                  vade_gun INTEGER NOT NULL DEFAULT 30,
                  isk1 REAL NOT NULL DEFAULT 0 CHECK (isk1 BETWEEN 0 AND 100),
                  isk2 REAL NOT NULL DEFAULT 0 CHECK (isk2 BETWEEN 0 AND 100),
                  isk3 REAL NOT NULL DEFAULT 0 CHECK (isk3 BETWEEN 0 AND 100),
                  isk4 REAL NOT NULL DEFAULT 0 CHECK (isk4 BETWEEN 0 AND 100)))",
             // Users: dealers (type 0, or the reduced types 3 and 4) belong to an account; representatives
             // (types 1 and 2) to a representative and choose the account at login.
             R"(CREATE TABLE kullanici (
                  sirano INTEGER PRIMARY KEY,
                  adi TEXT NOT NULL UNIQUE,
                  sifre TEXT NOT NULL,
                  aktif INTEGER NOT NULL DEFAULT 1,
                  tip INTEGER NOT NULL CHECK (tip BETWEEN 0 AND 5),
                  cari INTEGER REFERENCES cari(no),
                  temsilci INTEGER REFERENCES temsilci(no),
                  mail TEXT NOT NULL DEFAULT ''))",
             R"(CREATE TABLE makine (
                  kimlik TEXT PRIMARY KEY,
                  kullanici INTEGER NOT NULL REFERENCES kullanici(sirano) ON DELETE CASCADE,
                  kayit TEXT NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%S', 'now'))))",
             R"(CREATE TABLE stok (
                  no INTEGER PRIMARY KEY,
                  kod TEXT NOT NULL,
                  adi TEXT NOT NULL,
                  diger_adi TEXT NOT NULL DEFAULT '',
                  marka TEXT NOT NULL DEFAULT '',
                  model TEXT NOT NULL DEFAULT '',
                  ana_grup TEXT NOT NULL DEFAULT '',
                  alt_grup TEXT NOT NULL DEFAULT '',
                  ozel_kod TEXT NOT NULL DEFAULT '',
                  finish_kod TEXT NOT NULL DEFAULT '',
                  uretici_kodu TEXT NOT NULL DEFAULT '',
                  oem1 TEXT NOT NULL DEFAULT '', oem2 TEXT NOT NULL DEFAULT '',
                  oem3 TEXT NOT NULL DEFAULT '', oem4 TEXT NOT NULL DEFAULT '',
                  oem_no TEXT NOT NULL DEFAULT '',
                  barkod TEXT NOT NULL DEFAULT '',
                  barkod_no INTEGER NOT NULL DEFAULT 0,
                  birim TEXT NOT NULL DEFAULT 'ADET',
                  kdv REAL NOT NULL DEFAULT 20 CHECK (kdv >= 0),
                  liste_fiyat REAL NOT NULL CHECK (liste_fiyat >= 0),
                  kamp_fiyat REAL NOT NULL DEFAULT 0 CHECK (kamp_fiyat >= 0),
                  durum INTEGER NOT NULL DEFAULT 1 CHECK (durum BETWEEN 0 AND 5),
                  kalan REAL NOT NULL DEFAULT 0,
                  alinan_siparis REAL NOT NULL DEFAULT 0,
                  verilen_siparis REAL NOT NULL DEFAULT 0,
                  resim INTEGER NOT NULL DEFAULT 0,
                  yeni INTEGER NOT NULL DEFAULT 0,
                  pkod TEXT NOT NULL DEFAULT '',
                  dpkod TEXT NOT NULL DEFAULT ''))",
             "CREATE INDEX stok_kamp ON stok(kamp_fiyat) WHERE kamp_fiyat > 0",
             "CREATE INDEX stok_yeni ON stok(yeni) WHERE yeni = 1",
             // The search index: every code of a stock without blanks and punctuation, and its names,
             // folded to upper case without Turkish letters; trigrams find any part of them.
             R"(CREATE VIRTUAL TABLE stok_ara USING fts5(kodlar, adlar, tokenize = 'trigram'))",
         }},
        {3, "baskets",
         {
             // One basket per account on the server. Amounts are not stored: they follow from quantity,
             // unit price, the discount rates (one after another) and VAT, as the stock dialog computes them.
             R"(CREATE TABLE sepet (
                  sirano INTEGER PRIMARY KEY,
                  cari INTEGER NOT NULL REFERENCES cari(no),
                  stok INTEGER NOT NULL REFERENCES stok(no),
                  miktar REAL NOT NULL CHECK (miktar >= 1 AND miktar <= 10000),
                  birim_fiyat REAL NOT NULL CHECK (birim_fiyat >= 0),
                  kdv REAL NOT NULL CHECK (kdv BETWEEN 0 AND 100),
                  isk1 REAL NOT NULL DEFAULT 0 CHECK (isk1 BETWEEN 0 AND 100),
                  isk2 REAL NOT NULL DEFAULT 0 CHECK (isk2 BETWEEN 0 AND 100),
                  isk3 REAL NOT NULL DEFAULT 0 CHECK (isk3 BETWEEN 0 AND 100),
                  isk4 REAL NOT NULL DEFAULT 0 CHECK (isk4 BETWEEN 0 AND 100),
                  kampanya INTEGER NOT NULL DEFAULT 0,
                  sec INTEGER NOT NULL DEFAULT 1 CHECK (sec IN (0, 1)),
                  veren INTEGER REFERENCES kullanici(sirano),
                  tarih TEXT NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%S', 'now', 'localtime'))))",
             "CREATE INDEX sepet_cari ON sepet(cari, stok)",
         }},
        {4, "delivery modes, cargo, orders and their lines",
         {
             "CREATE TABLE teslim_sekli (no INTEGER PRIMARY KEY, adi TEXT NOT NULL, sira INTEGER NOT NULL)",
             "CREATE TABLE kargo_turu (no INTEGER PRIMARY KEY, adi TEXT NOT NULL, sira INTEGER NOT NULL)",
             R"(CREATE TABLE kargo_firma (
                  no INTEGER PRIMARY KEY,
                  tur INTEGER NOT NULL REFERENCES kargo_turu(no),
                  adi TEXT NOT NULL CHECK (trim(adi) <> ''),
                  uyari TEXT NOT NULL DEFAULT '',
                  UNIQUE (tur, adi)))",
             // State: 0 Alındı, 1 Görüldü, 2 Onaylandı, 3 Hazırlandı, 4 Parçalı Hazırlandı, 5 Sevk Edildi.
             R"(CREATE TABLE siparis (
                  idno INTEGER PRIMARY KEY,
                  cari INTEGER NOT NULL REFERENCES cari(no),
                  tarih TEXT NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%S', 'now', 'localtime')),
                  teslim INTEGER NOT NULL REFERENCES teslim_sekli(no),
                  kargo_turu INTEGER NOT NULL REFERENCES kargo_turu(no),
                  kargo_firma INTEGER NOT NULL REFERENCES kargo_firma(no),
                  veren INTEGER REFERENCES kullanici(sirano),
                  verenin_notu TEXT NOT NULL DEFAULT '',
                  alanin_notu TEXT NOT NULL DEFAULT '',
                  satici_notu TEXT NOT NULL DEFAULT '',
                  durum INTEGER NOT NULL DEFAULT 0 CHECK (durum BETWEEN 0 AND 5)))",
             R"(CREATE TABLE siparis_satir (
                  sirano INTEGER PRIMARY KEY,
                  siparis INTEGER NOT NULL REFERENCES siparis(idno) ON DELETE CASCADE,
                  stok INTEGER NOT NULL REFERENCES stok(no),
                  miktar REAL NOT NULL CHECK (miktar > 0),
                  teslim_edilen REAL NOT NULL DEFAULT 0 CHECK (teslim_edilen >= 0 AND teslim_edilen <= miktar),
                  birim_fiyat REAL NOT NULL CHECK (birim_fiyat >= 0),
                  kdv REAL NOT NULL,
                  isk1 REAL NOT NULL DEFAULT 0, isk2 REAL NOT NULL DEFAULT 0,
                  isk3 REAL NOT NULL DEFAULT 0, isk4 REAL NOT NULL DEFAULT 0,
                  kampanya INTEGER NOT NULL DEFAULT 0,
                  veren INTEGER REFERENCES kullanici(sirano),
                  tarih TEXT NOT NULL))",
             "CREATE INDEX siparis_cari ON siparis(cari, idno)",
             "CREATE INDEX satir_siparis ON siparis_satir(siparis)",
             "CREATE INDEX satir_stok ON siparis_satir(stok)",
             // The usual delivery comes second: the confirmation window preselects the second mode.
             "INSERT INTO teslim_sekli (no, adi, sira) VALUES (1, 'Müşteri Teslim Alacak', 1), (2, 'Kargo ile Gönderilsin', 2),"
             " (3, 'Servis ile Teslim', 3)",
             "INSERT INTO kargo_turu (no, adi, sira) VALUES (1, 'Alıcı Ödemeli', 1), (2, 'Gönderici Ödemeli', 2), (3, 'Ambar', 3)",
             "INSERT INTO kargo_firma (no, tur, adi, uyari) VALUES"
             " (1, 1, 'YOLDAŞ KARGO', ''),"
             " (2, 1, 'ANADOLU HIZLI TAŞIMA', 'Cumartesi günleri teslimat yapılmamaktadır.'),"
             " (3, 2, 'YOLDAŞ KARGO', 'Gönderici ödemeli gönderilerde 5.000 TL altı siparişlere kargo ücreti yansıtılır.'),"
             " (4, 3, 'MAVİ AMBAR', 'Ambar teslimleri ertesi iş günü yola çıkar.')",
         }},
        {5, "outbox",
         {
             // What is to be sent to the distributor's people: request forms, mails, password changes.
             R"(CREATE TABLE giden (
                  no INTEGER PRIMARY KEY,
                  tur TEXT NOT NULL,
                  kimlik TEXT NOT NULL DEFAULT '',
                  icerik TEXT NOT NULL,
                  zaman TEXT NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%S', 'now', 'localtime'))))",
         }},
        {6, "open balances, the account statement, invoices, collections, card payments, published content",
         {
             // Where an order line came from and what is still to deliver. A line's open balance is
             // `kalan` once someone has set it, otherwise the ordered quantity less what was delivered;
             // `ilk_fiyat` keeps the first unit price when the price was changed afterwards.
             "ALTER TABLE siparis_satir ADD COLUMN sepet_sirano INTEGER",
             "ALTER TABLE siparis_satir ADD COLUMN kalan REAL CHECK (kalan IS NULL OR kalan >= 0)",
             "ALTER TABLE siparis_satir ADD COLUMN ilk_fiyat REAL",
             // The account statement: one movement per invoice, collection or payment.
             R"(CREATE TABLE hareket (
                  idno INTEGER PRIMARY KEY,
                  cari INTEGER NOT NULL REFERENCES cari(no),
                  tarih TEXT NOT NULL,
                  tur TEXT NOT NULL,
                  evrak TEXT NOT NULL,
                  borc REAL NOT NULL DEFAULT 0 CHECK (borc >= 0),
                  alacak REAL NOT NULL DEFAULT 0 CHECK (alacak >= 0),
                  aciklama TEXT NOT NULL DEFAULT '',
                  vade_gun INTEGER NOT NULL DEFAULT 0,
                  temsilci INTEGER REFERENCES temsilci(no),
                  siparis INTEGER REFERENCES siparis(idno)))",
             "CREATE INDEX hareket_cari ON hareket(cari, tarih, idno)",
             R"(CREATE TABLE fatura_satir (
                  sirano INTEGER PRIMARY KEY,
                  fatura INTEGER NOT NULL REFERENCES hareket(idno) ON DELETE CASCADE,
                  stok INTEGER NOT NULL REFERENCES stok(no),
                  siparis_satir INTEGER REFERENCES siparis_satir(sirano),
                  miktar REAL NOT NULL CHECK (miktar > 0),
                  birim_fiyat REAL NOT NULL CHECK (birim_fiyat >= 0),
                  kdv REAL NOT NULL,
                  isk1 REAL NOT NULL DEFAULT 0, isk2 REAL NOT NULL DEFAULT 0,
                  isk3 REAL NOT NULL DEFAULT 0, isk4 REAL NOT NULL DEFAULT 0,
                  irsaliye TEXT NOT NULL DEFAULT ''))",
             "CREATE INDEX fatura_satir_fatura ON fatura_satir(fatura)",
             // The lines of a collection (or a payment to the account): cash, card, cheque, transfer.
             R"(CREATE TABLE tahsilat_satir (
                  sirano INTEGER PRIMARY KEY,
                  hareket INTEGER NOT NULL REFERENCES hareket(idno) ON DELETE CASCADE,
                  turu TEXT NOT NULL,
                  cins TEXT NOT NULL DEFAULT '',
                  evrak TEXT NOT NULL DEFAULT '',
                  vade TEXT NOT NULL,
                  tutar REAL NOT NULL CHECK (tutar > 0),
                  aciklama TEXT NOT NULL DEFAULT '',
                  ref TEXT NOT NULL DEFAULT '',
                  saat TEXT NOT NULL DEFAULT ''))",
             "CREATE INDEX tahsilat_satir_hareket ON tahsilat_satir(hareket)",
             // Card payments taken through the virtual point of sale; their receipt is drawn from this row.
             R"(CREATE TABLE sanalpos (
                  sirano INTEGER PRIMARY KEY,
                  hareket INTEGER NOT NULL UNIQUE REFERENCES hareket(idno) ON DELETE CASCADE,
                  zaman TEXT NOT NULL,
                  kart_sahibi TEXT NOT NULL,
                  kart_no TEXT NOT NULL,
                  taksit INTEGER NOT NULL DEFAULT 1 CHECK (taksit >= 1),
                  onay_kodu TEXT NOT NULL,
                  tutar REAL NOT NULL CHECK (tutar > 0)))",
             // Opening screens: shown as adverts at start-up and as the announcements tab, in `sira` order.
             R"(CREATE TABLE ekran (
                  sira INTEGER PRIMARY KEY,
                  tur TEXT NOT NULL CHECK (tur IN ('reklam', 'duyuru')),
                  baslik TEXT NOT NULL DEFAULT '',
                  arama TEXT NOT NULL DEFAULT '',
                  resim BLOB))",
             // What the main window publishes: the news text ('kayan_yazi') and the three banners
             // ('banner1' GIF, 'banner2' GIF, 'banner3' BMP). A missing row publishes nothing.
             R"(CREATE TABLE yayin (
                  anahtar TEXT PRIMARY KEY,
                  metin TEXT NOT NULL DEFAULT '',
                  resim BLOB))",
         }},
    };
}

} // namespace tarvik::server
