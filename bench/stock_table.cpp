#include "stock_table.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

namespace tarvik::bench {

namespace {

// splitmix64: tiny, fast, and its sequence is fixed by its definition (unlike the std distributions,
// whose output differs between standard libraries).
class Rng
{
public:
    explicit Rng(std::uint64_t seed) : s_(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (s_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    bool percent(int p) { return below(100) < p; }
    template<class T, std::size_t N>
    const T &pick(const std::array<T, N> &a) { return a[static_cast<std::size_t>(below(static_cast<int>(N)))]; }

private:
    std::uint64_t s_;
};

template<class... Args>
std::string format(const char *fmt, Args... args)
{
    char buf[128];
    const int n = std::snprintf(buf, sizeof buf, fmt, args...);
    return std::string(buf, static_cast<std::size_t>(n < 0 ? 0 : std::min<int>(n, sizeof buf - 1)));
}

QString q(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string digits(Rng &r, int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += static_cast<char>('0' + r.below(10));
    return s;
}

// A 13-digit EAN with its check digit; `prefix` is the GS1 country/company prefix.
std::string ean13(Rng &r, std::string_view prefix)
{
    std::string s(prefix);
    s += digits(r, 12 - static_cast<int>(prefix.size()));
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += (s[static_cast<std::size_t>(i)] - '0') * (i % 2 ? 3 : 1);
    s += static_cast<char>('0' + (10 - sum % 10) % 10);
    return s;
}

std::string withoutSpaces(std::string_view s)
{
    std::string out;
    for (char c : s)
        if (c != ' ' && c != '-' && c != '/')
            out += c;
    return out;
}

double round2(double v)
{
    return std::round(v * 100.0) / 100.0;
}

struct Part
{
    const char *name;
    const char *group;
    bool sided;       // takes a position suffix (ÖN SOL, ARKA …)
    const char *unit;
};

constexpr std::array kParts = {
    Part{"FREN BALATASI", "FREN", true, "TAKIM"},
    Part{"FREN DİSKİ", "FREN", true, "ADET"},
    Part{"FREN KALİPERİ", "FREN", true, "ADET"},
    Part{"FREN HORTUMU", "FREN", true, "ADET"},
    Part{"YAĞ FİLTRESİ", "FİLTRE", false, "ADET"},
    Part{"HAVA FİLTRESİ", "FİLTRE", false, "ADET"},
    Part{"POLEN FİLTRESİ", "FİLTRE", false, "ADET"},
    Part{"YAKIT FİLTRESİ", "FİLTRE", false, "ADET"},
    Part{"DEBRİYAJ SETİ", "ŞANZIMAN", false, "TAKIM"},
    Part{"AMORTİSÖR", "SÜSPANSİYON", true, "ADET"},
    Part{"SALINCAK", "SÜSPANSİYON", true, "ADET"},
    Part{"DİNGİL BURCU", "SÜSPANSİYON", true, "ADET"},
    Part{"PORYA RULMANI", "SÜSPANSİYON", true, "ADET"},
    Part{"ROTİL", "DİREKSİYON", true, "ADET"},
    Part{"ROT BAŞI", "DİREKSİYON", true, "ADET"},
    Part{"SU POMPASI", "MOTOR", false, "ADET"},
    Part{"TRİGER SETİ", "MOTOR", false, "TAKIM"},
    Part{"GÜÇ KAYIŞI", "MOTOR", false, "ADET"},
    Part{"KRANK KEÇESİ", "MOTOR", false, "ADET"},
    Part{"EGZOZ MANİFOLD CONTASI", "MOTOR", false, "ADET"},
    Part{"TERMOSTAT", "SOĞUTMA", false, "ADET"},
    Part{"RADYATÖR", "SOĞUTMA", false, "ADET"},
    Part{"ATEŞLEME BOBİNİ", "ELEKTRİK", false, "ADET"},
    Part{"BUJİ", "ELEKTRİK", false, "ADET"},
    Part{"MARŞ MOTORU", "ELEKTRİK", false, "ADET"},
    Part{"ŞARJ DİNAMOSU", "ELEKTRİK", false, "ADET"},
    Part{"FAR AMPULÜ H7 12V 55W", "AYDINLATMA", false, "ADET"},
    Part{"SİS FARI", "AYDINLATMA", true, "ADET"},
    Part{"STOP LAMBASI", "AYDINLATMA", true, "ADET"},
    Part{"SİLECEK SÜPÜRGESİ 600MM", "AKSESUAR", false, "ADET"},
    Part{"KAPI KOLU", "KAPORTA", true, "ADET"},
    Part{"DİKİZ AYNASI CAMI", "KAPORTA", true, "ADET"},
    Part{"MOTOR YAĞI 5W-30", "YAĞ", false, "LT"},
    Part{"ANTİFRİZ KONSANTRE", "YAĞ", false, "LT"},
};

constexpr std::array kPositions = {"ÖN SOL", "ÖN SAĞ", "ARKA SOL", "ARKA SAĞ", "ÖN", "ARKA", "SOL", "SAĞ"};

constexpr std::array kBrands = {"BOSCH", "MANN", "VALEO", "SKF", "SACHS", "TRW", "FEBI", "LEMFÖRDER",
                                "NGK", "GATES", "MAHLE", "CONTINENTAL", "DELPHI", "BREMBO", "MEYLE"};

constexpr std::array kModels = {"PASSAT B7 1.6 TDI 2011-2014", "GOLF VII 1.4 TSI", "FOCUS III 1.6 TDCI",
                                "CLIO IV 1.5 DCI", "MEGANE III 1.5 DCI", "EGEA 1.3 MJET", "DOBLO 1.6 MJET",
                                "CORSA D 1.3 CDTI", "ASTRA J 1.6", "COROLLA 1.4 D-4D", "I20 1.4 CRDI",
                                "C-ELYSEE 1.6 HDI", "FIESTA 1.4 TDCI", "TRANSIT CONNECT 1.8 TDCI",
                                "SPRINTER 313 CDI", "CADDY III 2.0 SDI", "KANGOO 1.5 DCI", "LINEA 1.3 MJET",
                                "BMW 3 E90 320D", "C180 W204"};

constexpr std::array kOzelKod = {"", "", "", "A", "B", "KMP", "YENİ", "ÇOK SATAN"};
constexpr std::array kInd1 = {0, 0, 5, 10, 10, 15, 20, 25};
constexpr std::array kInd2 = {0, 0, 0, 5, 5, 10};
constexpr std::array kInd3 = {0, 0, 0, 0, 0, 3};

// The part number as its maker prints it.
std::string makerCode(Rng &r, std::string_view brand)
{
    if (brand == "BOSCH")
        return format("0 986 %03d %03d", 400 + r.below(200), r.below(1000));
    if (brand == "MANN") {
        static constexpr std::array prefixes = {"W", "C", "CU", "HU", "WK"};
        const char *p = r.pick(prefixes);
        return r.percent(50) ? format("%s %d/%d", p, 600 + r.below(400), 1 + r.below(99))
                             : format("%s %d %03d", p, 20 + r.below(20), r.below(1000));
    }
    if (brand == "VALEO")
        return format("%06d", 800000 + r.below(200000));
    if (brand == "SKF")
        return format("VKBA %04d", 3000 + r.below(7000));
    if (brand == "SACHS")
        return format("3000 %03d %03d", 800 + r.below(200), r.below(1000));
    if (brand == "TRW")
        return format("GDB%04d", 1000 + r.below(3000));
    if (brand == "FEBI")
        return format("%05d", 10000 + r.below(90000));
    if (brand == "LEMFÖRDER")
        return format("%05d %02d", 10000 + r.below(30000), 1 + r.below(3));
    if (brand == "NGK")
        return format("BKR%dE-%d", 5 + r.below(3), 11 + r.below(2));
    if (brand == "GATES")
        return format("K01%04dXS", r.below(10000));
    if (brand == "MAHLE")
        return format("OX %dD", 100 + r.below(900));
    if (brand == "CONTINENTAL")
        return format("CT%04dK%d", 1000 + r.below(200), 1 + r.below(3));
    if (brand == "BREMBO")
        return format("09.%04d.%02d", 5000 + r.below(5000), 10 + r.below(80));
    return format("%c%c %05d", 'A' + r.below(26), 'A' + r.below(26), r.below(100000));
}

// An OEM number in the format of one of the vehicle makers.
std::string oemCode(Rng &r)
{
    switch (r.below(8)) {
    case 0: return format("%dK%d %03d %03d %c", 1 + r.below(6), r.below(10), r.below(1000), r.below(1000), 'A' + r.below(26));
    case 1: return format("77 01 %03d %03d", r.below(1000), r.below(1000));
    case 2: return format("1 %03d %03d", r.below(1000), r.below(1000));
    case 3: return format("5%07d", r.below(10000000));
    case 4: return format("A %03d %03d %02d %02d", r.below(1000), r.below(1000), r.below(100), r.below(100));
    case 5: return format("04465-%05d", r.below(100000));
    case 6: return format("16 %02d %03d", r.below(100), r.below(1000));
    default: return format("58101-%d%c%c00", 1 + r.below(9), 'A' + r.below(26), 'A' + r.below(26));
    }
}

QVariant orNull(Rng &r, int nullPercent, const std::string &s)
{
    return r.percent(nullPercent) ? QVariant() : QVariant(q(s));
}

} // namespace

DataTable makeStockTable(int rows, std::uint64_t seed)
{
    DataTable t;
    const auto s = [&](const char *name, int size) { t.addColumn(QString::fromLatin1(name), DbxType::WideString, size); };
    const auto i = [&](const char *name) { t.addColumn(QString::fromLatin1(name), DbxType::Int32, 4); };
    const auto d = [&](const char *name) { t.addColumn(QString::fromLatin1(name), DbxType::Double, 8); };
    i("DURUM");
    s("OEM1", 40); s("OEM2", 40); s("OEM3", 40); s("BARKOD", 30); s("ADI", 100); s("OEM4", 40);
    i("STOK_STOKNO");
    s("FINISHKOD", 30); s("URETICIKODU", 40);
    i("RESIM");
    s("BARKOD_BARKODNO", 30); s("DIGERADI", 100); s("DPKOD", 30); s("OEMNO", 40); s("BIRIM", 10);
    s("MARKA", 40); s("MODEL", 60); s("ANAGRUP", 40); s("OZELKOD", 20);
    d("KALAN");
    s("PKOD", 40);
    d("KDV"); d("ALINANSIPARIS"); d("VERILENSIPARIS"); d("LISTEFIYAT1"); d("KAMPFIYAT"); d("FIYAT");
    i("Y"); i("K");
    s("INDIRIMYAZI", 40);
    d("NETFIYAT"); d("KDVDAHIL"); d("IND1"); d("IND2"); d("IND3"); d("IND4");

    Rng r(seed);
    t.reserveRows(rows);
    int stokno = 10000;
    for (int row = 0; row < rows; ++row) {
        const Part &part = r.pick(kParts);
        const std::string brand = r.pick(kBrands);
        std::string adi = part.name;
        if (part.sided) {
            adi += ' ';
            adi += r.pick(kPositions);
        }
        const std::string code = makerCode(r, brand);
        const std::string oem1 = oemCode(r);
        const std::string barkod = ean13(r, r.percent(50) ? "869" : "40");
        stokno += 1 + r.below(7);

        const bool litres = std::string_view(part.unit) == "LT";
        double kalan = r.percent(20) ? 0.0 : static_cast<double>(1 + r.below(250));
        if (litres && kalan > 0 && r.percent(30))
            kalan += 0.5;
        const double liste = round2(25.0 + r.below(1500000) / 100.0);
        const double fiyat = liste;
        const bool kampanya = r.percent(12);
        const int ind[4] = {r.pick(kInd1), r.pick(kInd2), r.pick(kInd3), r.percent(3) ? 2 : 0};
        std::string indirimYazi;
        double net = fiyat;
        for (int k = 0; k < 4; ++k) {
            if (!ind[k])
                continue;
            if (!indirimYazi.empty())
                indirimYazi += " + ";
            indirimYazi += format("%%%d", ind[k]);
            net *= 1.0 - ind[k] / 100.0;
        }
        net = round2(net);

        t.appendRow({
            r.below(6),                                                       // DURUM
            q(oem1),                                                          // OEM1
            orNull(r, 40, oemCode(r)),                                        // OEM2
            orNull(r, 75, oemCode(r)),                                        // OEM3
            q(barkod),                                                        // BARKOD
            q(adi),                                                           // ADI
            r.percent(90) ? QVariant() : QVariant(q(oemCode(r))),             // OEM4
            stokno,                                                           // STOK_STOKNO
            r.percent(70) ? QVariant(QString()) : QVariant(q(format("F%05d", r.below(100000)))), // FINISHKOD
            q(code),                                                          // URETICIKODU
            r.percent(70) ? 1 : 0,                                            // RESIM
            r.percent(70) ? q(barkod) : q(ean13(r, "869")),                   // BARKOD_BARKODNO
            r.percent(50) ? QString() : q(brand + ' ' + adi),                 // DIGERADI
            q(format("DP%06d", r.below(1000000))),                            // DPKOD
            q(withoutSpaces(oem1)),                                           // OEMNO
            q(part.unit),                                                     // BIRIM
            q(brand),                                                         // MARKA
            q(r.pick(kModels)),                                               // MODEL
            q(part.group),                                                    // ANAGRUP
            q(r.pick(kOzelKod)),                                              // OZELKOD
            kalan,                                                            // KALAN
            q(brand.substr(0, 3) + '-' + withoutSpaces(code)),                // PKOD
            20.0,                                                             // KDV
            r.percent(85) ? 0.0 : static_cast<double>(1 + r.below(20)),       // ALINANSIPARIS
            r.percent(90) ? 0.0 : static_cast<double>(1 + r.below(50)),       // VERILENSIPARIS
            liste,                                                            // LISTEFIYAT1
            kampanya ? QVariant(round2(fiyat * 0.85)) : QVariant(),           // KAMPFIYAT
            fiyat,                                                            // FIYAT
            r.percent(10) ? 1 : 0,                                            // Y
            kampanya ? 1 : 0,                                                 // K
            q(indirimYazi),                                                   // INDIRIMYAZI
            net,                                                              // NETFIYAT
            round2(net * 1.2),                                                // KDVDAHIL
            static_cast<double>(ind[0]),                                      // IND1
            static_cast<double>(ind[1]),                                      // IND2
            static_cast<double>(ind[2]),                                      // IND3
            static_cast<double>(ind[3]),                                      // IND4
        });
    }
    return t;
}

} // namespace tarvik::bench
