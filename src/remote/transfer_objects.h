#pragma once

// The transfer objects exchanged with the application server. Each class lists its fields once, in
// declaration order (which is also the order of the pairs on the wire); the list generates the private
// `F` fields, the same-named properties, the field visitor and `Kopyala`.

#include "transfer_object.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

#define TARVIK_FIELD_MEMBER(type, name, def) type F##name = def;
#define TARVIK_FIELD_PROPERTY(type, name, def)                                                             \
    const type &name() const { return F##name; }                                                           \
    void set##name(const type &value) { F##name = value; }
#define TARVIK_FIELD_VISIT(type, name, def) visitor.field(std::string_view("F" #name), F##name);
#define TARVIK_FIELD_COPY(type, name, def) F##name = source.F##name;

#define TARVIK_TRANSFER_CLASS(Class, FIELDS)                                                               \
public:                                                                                                    \
    static const ::tarvik::ClassInfo &staticClassInfo();                                                   \
    const ::tarvik::ClassInfo &classInfo() const override { return staticClassInfo(); }                   \
    void visitFields(::tarvik::FieldVisitor &visitor) override { FIELDS(TARVIK_FIELD_VISIT) }              \
    /* Copies every field of `source` into this instance; the source is left as it is. */                \
    void Kopyala(const Class &source) { FIELDS(TARVIK_FIELD_COPY) }                                        \
    FIELDS(TARVIK_FIELD_PROPERTY)                                                                          \
private:                                                                                                   \
    FIELDS(TARVIK_FIELD_MEMBER)                                                                            \
public:

using Integer = std::int32_t;

// ---- unit baglantiu ------------------------------------------------------------------------------------

// The identity record: the logged-in user, the customer account and this machine.
#define TARVIK_TSONUCBILGISI_FIELDS(X)                                                                      \
    X(QString, BILGISAYARID, {})                                                                           \
    X(QString, SaticiMail, {})                                                                             \
    X(Integer, Sirano, 0)                                                                                  \
    X(QString, CariAdi, {})                                                                                \
    X(QString, SIFRE, {})                                                                                  \
    X(Integer, SaticiNo, 0)                                                                                \
    X(Integer, CARINO, 0)                                                                                  \
    X(Integer, AKTIF, 0)                                                                                   \
    X(QString, Kullanicimail, {})                                                                          \
    X(QString, ADI, {})                                                                                    \
    X(QString, SaticiTelefon, {})                                                                          \
    X(QString, carikod, {})                                                                                \
    X(bool, Varmi, false)                                                                                  \
    X(QString, SaticiAdi, {})                                                                              \
    X(QString, BilgiSayarAdi, {})                                                                          \
    X(QString, Disip, {})                                                                                  \
    X(QString, Icip, {})                                                                                   \
    X(QString, BilgisayarKullanici, {})                                                                    \
    X(Integer, MusteriTipi, 1)                                                                             \
    X(Integer, Version, 1)

class TSonucBilgisi final : public tarvik::TransferObject
{
    TARVIK_TRANSFER_CLASS(TSonucBilgisi, TARVIK_TSONUCBILGISI_FIELDS)
};

// Order footer texts.
#define TARVIK_TSIPARISDIPAYRINTI_FIELDS(X)                                                                 \
    X(QString, SizinMesaj, {})                                                                             \
    X(QString, Durumu, {})                                                                                 \
    X(QString, Veren, {})                                                                                  \
    X(QString, Kargo, {})                                                                                  \
    X(QString, BizimMesaj, {})                                                                             \
    X(QString, TeslimCinsi, {})                                                                            \
    X(QString, KargoCinsi, {})                                                                             \
    X(QString, SaticiNotu, {})

class TSiparisDipAyrinti final : public tarvik::TransferObject
{
    TARVIK_TRANSFER_CLASS(TSiparisDipAyrinti, TARVIK_TSIPARISDIPAYRINTI_FIELDS)
};

// Order-state counters.
#define TARVIK_TTUSSONUCLARI_FIELDS(X)                                                                      \
    X(Integer, Alindi, 0)                                                                                  \
    X(Integer, Onaylandi, 0)                                                                               \
    X(Integer, ParcaliHazirlandi, 0)                                                                       \
    X(Integer, SevkEdildi, 0)                                                                              \
    X(Integer, Hazirlandi, 0)                                                                              \
    X(Integer, Goruldu, 0)

class TTusSonuclari final : public tarvik::TransferObject
{
    TARVIK_TRANSFER_CLASS(TTusSonuclari, TARVIK_TTUSSONUCLARI_FIELDS)
};

// ---- unit mobilstokunit --------------------------------------------------------------------------------

// A stock item.
#define TARVIK_TMOBILSTOK_FIELDS(X)                                                                         \
    X(Integer, StokNo, 0)                                                                                  \
    X(Integer, ResimVar, 0)                                                                                \
    X(QString, Resim, {})                                                                                  \
    X(Integer, Yeni, 0)                                                                                    \
    X(QString, Departman, {})                                                                              \
    X(double, VerilenSiparis, 0)                                                                           \
    X(QString, AltGrup, {})                                                                                \
    X(Integer, Durum, 0)                                                                                   \
    X(QString, Renk, {})                                                                                   \
    X(QString, Birim, QStringLiteral("ADET"))                                                              \
    X(double, KDV, 18)                                                                                     \
    X(double, AlinanSiparis, 0)                                                                            \
    X(double, Isk2, 0)                                                                                     \
    X(QString, AnaGrup, {})                                                                                \
    X(QString, Kod, {})                                                                                    \
    X(double, Isk3, 0)                                                                                     \
    X(double, ListeFiyati, 0)                                                                              \
    X(QString, Beden, {})                                                                                  \
    X(double, NetFiyat, 0)                                                                                 \
    X(double, Isk1, 0)                                                                                     \
    X(double, KDVliFiyat, 0)                                                                               \
    X(double, Isk4, 0)                                                                                     \
    X(QString, OzelKod, {})                                                                                \
    X(Integer, Kampnayali, 0)                                                                              \
    X(QString, Barkod, {})                                                                                 \
    X(double, IndirimOran, 0)                                                                              \
    X(double, Kalan, 0)                                                                                    \
    X(QString, UreticiKod, {})                                                                             \
    X(double, KampanyaliFiyat, 0)                                                                          \
    X(QString, OemNo, {})                                                                                  \
    X(Integer, BarkodNo, 0)                                                                                \
    X(QString, PKod, {})                                                                                   \
    X(QString, DpKod, {})                                                                                  \
    X(QString, Adi, {})                                                                                    \
    X(double, Fiyat, 0)

class TMobilStok final : public tarvik::TransferObject
{
    TARVIK_TRANSFER_CLASS(TMobilStok, TARVIK_TMOBILSTOK_FIELDS)
};

// A basket line. TDate fields are days since 30 December 1899, as a double.
#define TARVIK_TMOBILSEPET_FIELDS(X)                                                                        \
    X(Integer, KARGOID, 0)                                                                                 \
    X(Integer, StokNo, 0)                                                                                  \
    X(double, TARIH, 0)                                                                                    \
    X(Integer, SIRANO, 0)                                                                                  \
    X(QString, CARIADI, {})                                                                                \
    X(double, VERILISTARIHI, 0)                                                                            \
    X(Integer, Durum, 0)                                                                                   \
    X(double, MIKTAR, 0)                                                                                   \
    X(Integer, VERENIDNO, 0)                                                                               \
    X(double, NETTUTAR, 0)                                                                                 \
    X(double, KDVLITUTAR, 0)                                                                               \
    X(double, KDV, 0)                                                                                      \
    X(Integer, AKTAR, 0)                                                                                   \
    X(QString, SAAT, {})                                                                                   \
    X(double, VERGITUTARI, 0)                                                                              \
    X(QString, PKod, {})                                                                                   \
    X(QString, MODEL, {})                                                                                  \
    X(double, INDIRIMTUTAR, 0)                                                                             \
    X(Integer, STOK_STOKNO, 0)                                                                             \
    X(double, BIRIMFIYAT, 0)                                                                               \
    X(Integer, SEC, 0)                                                                                     \
    X(QString, OEM2, {})                                                                                   \
    X(QString, OEM3, {})                                                                                   \
    X(QString, AnaGrup, {})                                                                                \
    X(QString, MARKA, {})                                                                                  \
    X(QString, VEREN, {})                                                                                  \
    X(QString, STOKADI, {})                                                                                \
    X(QString, OEM1, {})                                                                                   \
    X(Integer, CARINO, 0)                                                                                  \
    X(Integer, VERENSIRANO, 0)                                                                             \
    X(Integer, ACIKLAMA, 0)                                                                                \
    X(double, INDIRIMORANI2, 0)                                                                            \
    X(QString, OEM4, {})                                                                                   \
    X(QString, KUR, {})                                                                                    \
    X(double, INDIRIMORANI3, 0)                                                                            \
    X(Integer, SIPARISNO, 0)                                                                               \
    X(double, IDNO, 0)                                                                                     \
    X(QString, OzelKod, {})                                                                                \
    X(QString, DpKod, {})                                                                                  \
    X(double, KURTL, 0)                                                                                    \
    X(double, INDIRIMORANI1, 0)                                                                            \
    X(QString, DIGERADI, {})                                                                               \
    X(QString, Barkod, {})                                                                                 \
    X(double, TUTAR, 0)                                                                                    \
    X(QString, URETICIKODU, {})                                                                            \
    X(double, Kalan, 0)                                                                                    \
    X(QString, FINISHKOD, {})                                                                              \
    X(QString, CARIKOD, {})                                                                                \
    X(double, NETBIRIMFIYAT, 0)                                                                            \
    X(QString, OemNo, {})                                                                                  \
    X(Integer, TESLIMID, 0)                                                                                \
    X(Integer, ResimVar, 0)                                                                                \
    X(QString, Resim, {})

class TMobilSepet final : public tarvik::TransferObject
{
    TARVIK_TRANSFER_CLASS(TMobilSepet, TARVIK_TMOBILSEPET_FIELDS)
};

// Customer account information.
#define TARVIK_TMOBILCARIBILGISI_FIELDS(X)                                                                  \
    X(QString, BILGISAYARID, {})                                                                           \
    X(QString, SEHIR, {})                                                                                  \
    X(QString, FAX1, {})                                                                                   \
    X(QString, SATICIMAIL, {})                                                                             \
    X(QString, SATICIADI, {})                                                                              \
    X(QString, CARIADI, {})                                                                                \
    X(QString, EMAIL, {})                                                                                  \
    X(QString, VERGIDAIRESI, {})                                                                           \
    X(QString, YETKILI, {})                                                                                \
    X(QString, AltGrup, {})                                                                                \
    X(QString, TEL2, {})                                                                                   \
    X(QString, SIFRE, {})                                                                                  \
    X(QString, GSM, {})                                                                                    \
    X(QString, TEL1, {})                                                                                   \
    X(QString, ADRES2, {})                                                                                 \
    X(double, TLBORC, 0)                                                                                   \
    X(double, TLALACAK, 0)                                                                                 \
    X(QString, ADRES1, {})                                                                                 \
    X(QString, ULKE, {})                                                                                   \
    X(QString, AnaGrup, {})                                                                                \
    X(Integer, CARINO, 0)                                                                                  \
    X(double, TLBAKIYE, 0)                                                                                 \
    X(QString, VERGINO, {})                                                                                \
    X(QString, MAIL, {})                                                                                   \
    X(QString, OzelKod, {})                                                                                \
    X(QString, KULLANICIADI, {})                                                                           \
    X(QString, SATICITELEFON, {})                                                                          \
    X(QString, CARIKOD, {})                                                                                \
    X(QString, FAX2, {})                                                                                   \
    X(QString, ILCE, {})

class TMobilCariBilgisi final : public tarvik::TransferObject
{
    TARVIK_TRANSFER_CLASS(TMobilCariBilgisi, TARVIK_TMOBILCARIBILGISI_FIELDS)
};

// An opening screen (advert or announcement); FResim is the picture file as hexadecimal text.
#define TARVIK_TACILISEKRAN_FIELDS(X)                                                                       \
    X(Integer, SiraNo, 0)                                                                                  \
    X(QString, Resim, {})                                                                                  \
    X(QString, Baslik, {})                                                                                 \
    X(QString, Arama, {})

class TAcilisEkran final : public tarvik::TransferObject
{
    TARVIK_TRANSFER_CLASS(TAcilisEkran, TARVIK_TACILISEKRAN_FIELDS)
};

namespace tarvik {

template<class T>
class TypedObjectArray final : public ObjectArrayField
{
public:
    explicit TypedObjectArray(std::vector<std::shared_ptr<T>> &items) : items_(items) {}
    const ClassInfo &elementClass() const override { return T::staticClassInfo(); }
    std::size_t size() const override { return items_.size(); }
    const TransferObject *at(std::size_t i) const override { return items_[i].get(); }
    std::shared_ptr<TransferObject> shared(std::size_t i) const override { return items_[i]; }
    void clear() override { items_.clear(); }
    void append(std::shared_ptr<TransferObject> item) override
    {
        items_.push_back(std::static_pointer_cast<T>(std::move(item)));
    }

private:
    std::vector<std::shared_ptr<T>> &items_;
};

// Owning object list of T. Indexed from 0; Clear and destruction free the items.
template<class T, class Self>
class TransferList : public TransferListBase
{
public:
    static const ClassInfo &staticClassInfo();
    const ClassInfo &classInfo() const override { return staticClassInfo(); }
    const ClassInfo &itemClass() const override { return T::staticClassInfo(); }

    std::size_t Count() const override { return items_.size(); }
    T *Items(std::size_t i) const { return items_.at(i).get(); }
    void Add(std::unique_ptr<T> item) { items_.push_back(std::shared_ptr<T>(std::move(item))); }
    void Clear() override { items_.clear(); }

    const TransferObject *itemAt(std::size_t i) const override { return items_.at(i).get(); }
    std::shared_ptr<TransferObject> sharedAt(std::size_t i) const override { return items_.at(i); }
    void appendShared(std::shared_ptr<TransferObject> item) override
    {
        items_.push_back(std::static_pointer_cast<T>(std::move(item)));
    }

private:
    std::vector<std::shared_ptr<T>> items_;
};

} // namespace tarvik

class TMobilStoklar final : public tarvik::TransferList<TMobilStok, TMobilStoklar>
{
};

class TMobilSepetler final : public tarvik::TransferList<TMobilSepet, TMobilSepetler>
{
};

class TAcilisEkranlar final : public tarvik::TransferList<TAcilisEkran, TAcilisEkranlar>
{
};

template<>
const tarvik::ClassInfo &tarvik::TransferList<TMobilStok, TMobilStoklar>::staticClassInfo();
template<>
const tarvik::ClassInfo &tarvik::TransferList<TMobilSepet, TMobilSepetler>::staticClassInfo();
template<>
const tarvik::ClassInfo &tarvik::TransferList<TAcilisEkran, TAcilisEkranlar>::staticClassInfo();

// Wrapper of opening screens: a dynamic array of references. Assigning Ekranlar replaces the array.
class TAcilisEkranlariki final : public tarvik::TransferObject
{
public:
    using Array = std::vector<std::shared_ptr<TAcilisEkran>>;

    static const tarvik::ClassInfo &staticClassInfo();
    const tarvik::ClassInfo &classInfo() const override { return staticClassInfo(); }
    void visitFields(tarvik::FieldVisitor &visitor) override
    {
        tarvik::TypedObjectArray<TAcilisEkran> array(FEkranlar);
        visitor.field(std::string_view("FEkranlar"), array);
    }

    const Array &Ekranlar() const { return FEkranlar; }
    void setEkranlar(Array value) { FEkranlar = std::move(value); }

private:
    Array FEkranlar;
};
