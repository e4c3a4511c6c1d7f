#pragma once
// The money of one basket line as the stock dialog shows it: the discount cascade and the line
// amounts. Plain arithmetic, no windows.

// What the discount cascade leaves of a gross amount.
struct IndirimSonucu
{
    double indirim = 0;       // gross minus what the rates left, not rounded
    double net = 0;           // what the rates left, rounded to two decimals
    double netBirimFiyat = 0; // the rounded net divided by the quantity, rounded; 0 when it cannot be divided
};

// The discount cascade on `brut` for `adet` pieces: each rate above 0 takes its percentage of what the
// previous ones left (10 and 5 make 14.5 percent, not 15); a rate of 0 or below is skipped.
IndirimSonucu IndirimHesapla(double brut, double ind1, double ind2, double ind3, double ind4, double adet);

// The three amounts of the dialog.
struct SatirTutarlari
{
    double indtutar = 0;      // discount of the line, not rounded
    double kdvdahiltutar = 0; // VAT-inclusive net unit price, rounded
    double geneltutar = 0;    // line total: the rounded VAT-inclusive unit price times the quantity, rounded
};

// Unit price `fiyat`, quantity `adet`, VAT rate `kdv` in percent, the four discount rates in percent.
// 100.00 × 3 with 10 and 5 percent and 18 percent VAT gives 43.50, 100.89 and 302.67.
SatirTutarlari SatirTutarlariHesapla(double fiyat, double adet, double kdv, double ind1, double ind2, double ind3, double ind4);
