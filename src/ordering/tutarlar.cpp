#include "tutarlar.h"

#include "money.h"

#include <cmath>
#include <initializer_list>

IndirimSonucu IndirimHesapla(double brut, double ind1, double ind2, double ind3, double ind4, double adet)
{
    double kalan = brut;
    for (const double oran : {ind1, ind2, ind3, ind4}) {
        if (oran > 0)
            kalan = kalan - kalan * oran / 100;
    }
    IndirimSonucu s;
    s.indirim = brut - kalan;
    s.net = IkiHaneYuvarla(kalan);
    const double birim = adet != 0 ? s.net / adet : 0;
    s.netBirimFiyat = std::isfinite(birim) ? IkiHaneYuvarla(birim) : 0;
    return s;
}

SatirTutarlari SatirTutarlariHesapla(double fiyat, double adet, double kdv, double ind1, double ind2, double ind3, double ind4)
{
    const IndirimSonucu i = IndirimHesapla(fiyat * adet, ind1, ind2, ind3, ind4, adet);
    SatirTutarlari t;
    t.indtutar = i.indirim;
    t.kdvdahiltutar = IkiHaneYuvarla(i.netBirimFiyat * (kdv / 100 + 1));
    t.geneltutar = IkiHaneYuvarla(t.kdvdahiltutar * adet);
    return t;
}
