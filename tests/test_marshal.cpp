// The JSON marshal form of the transfer objects: exact output, defaults on input, refs, lists, and
// hostile input.

#include "errors.h"
#include "marshal.h"
#include "test_support.h"
#include "transfer_objects.h"

#include <gtest/gtest.h>

using namespace tarvik;

namespace {

// Sets every field to a value different from its default, derived from the field's position.
class Filler final : public FieldVisitor
{
public:
    int n = 0;
    void field(std::string_view name, QString &v) override { v = QStringLiteral("değer-%1-İĞÜŞÖÇ\"\\\n").arg(QLatin1String(name.data(), name.size())); ++n; }
    void field(std::string_view, std::int32_t &v) override { v = -1000 + ++n; }
    void field(std::string_view, double &v) override { v = ++n + 0.1; }
    void field(std::string_view, bool &v) override { v = true; ++n; }
    void field(std::string_view, ObjectArrayField &v) override
    {
        for (int i = 0; i < 2; ++i) {
            auto item = std::shared_ptr<TransferObject>(v.elementClass().create());
            Filler f;
            item->visitFields(f);
            v.append(item);
        }
    }
};

std::unique_ptr<TransferObject> filled(const ClassInfo &ci)
{
    auto o = ci.create();
    if (ci.isList) {
        auto &list = static_cast<TransferListBase &>(*o);
        for (int i = 0; i < 3; ++i) {
            std::shared_ptr<TransferObject> item(list.itemClass().create());
            Filler f;
            item->visitFields(f);
            list.appendShared(item);
        }
    } else {
        Filler f;
        o->visitFields(f);
    }
    return o;
}

} // namespace

TEST(Marshal, DefaultIdentityRecordIsTwentyPairsInDeclarationOrder)
{
    TSonucBilgisi b;
    EXPECT_EQ(str(marshal(&b)), str(readTestData("tsonucbilgisi_default.json")));
}

TEST(Marshal, NullIsNoObjectBothWays)
{
    EXPECT_EQ(str(marshal(nullptr)), "null");
    EXPECT_EQ(unmarshal("null", &TSonucBilgisi::staticClassInfo()), nullptr);
}

TEST(Marshal, MissingKeysKeepConstructorDefaults)
{
    auto s = unmarshalAs<TMobilStok>(R"({"type":"mobilstokunit.TMobilStok","id":1,"fields":{"FStokNo":7,"FAdi":"BUJİ","FKampanyaliFiyat":12.5}})");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->StokNo(), 7);
    EXPECT_EQ(s->Adi(), QStringLiteral("BUJİ"));
    EXPECT_DOUBLE_EQ(s->KampanyaliFiyat(), 12.5);
    EXPECT_EQ(s->Birim(), QStringLiteral("ADET"));
    EXPECT_DOUBLE_EQ(s->KDV(), 18);
}

TEST(Marshal, ScreensOfTheWrapperAreNumberedDepthFirst)
{
    TAcilisEkranlariki w;
    TAcilisEkranlariki::Array screens;
    const struct { int no; const char *pic, *title, *search; } rows[] = {
        {1, "FFD8FF", "Kampanya", "#KAMPANYA#"}, {2, "", "Yeni ürünler", "#YENİ#"}, {3, "89504E47", "Fren balatası", "BALATA"}};
    for (const auto &r : rows) {
        auto e = std::make_shared<TAcilisEkran>();
        e->setSiraNo(r.no);
        e->setResim(QString::fromUtf8(r.pic));
        e->setBaslik(QString::fromUtf8(r.title));
        e->setArama(QString::fromUtf8(r.search));
        screens.push_back(e);
    }
    w.setEkranlar(screens);
    const QByteArray json = marshal(&w);
    EXPECT_EQ(str(json), str(readTestData("acilisekranlariki_three.json")));

    auto back = unmarshalAs<TAcilisEkranlariki>(view(json));
    ASSERT_EQ(back->Ekranlar().size(), 3u);
    EXPECT_EQ(back->Ekranlar()[1]->Arama(), QStringLiteral("#YENİ#"));
}

TEST(Marshal, AnObjectMetAgainIsWrittenAsRefAndReadBackShared)
{
    auto e = std::make_shared<TAcilisEkran>();
    e->setBaslik(QStringLiteral("Aynı"));
    TAcilisEkranlariki w;
    w.setEkranlar({e, e});
    const QByteArray json = marshal(&w);
    EXPECT_NE(json.indexOf(R"({"type":"mobilstokunit.TAcilisEkran","ref":2})"), -1) << json.constData();

    auto back = unmarshalAs<TAcilisEkranlariki>(view(json));
    ASSERT_EQ(back->Ekranlar().size(), 2u);
    EXPECT_EQ(back->Ekranlar()[0], back->Ekranlar()[1]);
}

TEST(Marshal, EveryClassRoundTrips)
{
    for (const ClassInfo *ci : allClasses()) {
        SCOPED_TRACE(std::string(ci->qualifiedName));
        auto original = filled(*ci);
        const QByteArray first = marshal(original.get());
        auto back = unmarshal(view(first), ci);
        ASSERT_TRUE(back);
        EXPECT_EQ(&back->classInfo(), ci);
        EXPECT_EQ(str(marshal(back.get())), str(first));
        EXPECT_NE(str(first), str(marshal(ci->create().get()))) << "the filler changed nothing";
    }
}

TEST(Marshal, ListsAreWrittenInTheGenericListForm)
{
    TMobilStoklar list;
    auto s = std::make_unique<TMobilStok>();
    s->setKod(QStringLiteral("W 712/95"));
    list.Add(std::move(s));
    const std::string json = str(marshal(&list));
    EXPECT_EQ(json.rfind(R"({"type":"mobilstokunit.TMobilStoklar","id":1,"fields":{"FOwnsObjects":true,"FItems":[{"type":"mobilstokunit.TMobilStok","id":2,)", 0), 0u) << json;
    EXPECT_TRUE(json.ends_with(R"(}],"FCount":1}})")) << json;
}

TEST(Marshal, ListsAreReadInBothForms)
{
    const char *item = R"({"type":"mobilstokunit.TMobilSepet","id":%1,"fields":{"FSIRANO":%1}})";
    auto it = [&](int id) { return QString::fromLatin1(item).arg(id).toStdString(); };
    const std::string generic = R"({"type":"mobilstokunit.TMobilSepetler","id":1,"fields":{"FOwnsObjects":true,"FItems":[)" + it(2) + "," + it(3) + R"(,null,null],"FCount":2,"FArrayManager":{}}})";
    const std::string helper = R"({"type":"mobilstokunit.TMobilSepetler","id":1,"fields":{"FOwnsObjects":true,"FListHelper":{"FCount":2,"FTypeInfo":{}},"FItems":[)" + it(2) + "," + it(3) + R"(,null]}})";
    for (const std::string &json : {generic, helper}) {
        auto list = unmarshalAs<TMobilSepetler>(json);
        ASSERT_EQ(list->Count(), 2u) << json;
        EXPECT_EQ(list->Items(1)->SIRANO(), 3);
    }
}

TEST(Marshal, KopyalaOverwritesEveryFieldAndLeavesTheSource)
{
    TSonucBilgisi target;
    target.setADI(QStringLiteral("ESKİ"));
    target.setCARINO(5);
    target.setVarmi(true);
    TSonucBilgisi source; // empty strings, zero numbers
    source.setMusteriTipi(3);
    target.Kopyala(source);
    EXPECT_EQ(str(marshal(&target)), str(marshal(&source)));
    EXPECT_TRUE(target.ADI().isEmpty());
    EXPECT_EQ(source.MusteriTipi(), 3);

    TMobilSepet a, b;
    Filler f;
    a.visitFields(f);
    b.Kopyala(a);
    EXPECT_EQ(str(marshal(&a)), str(marshal(&b)));
}

TEST(Marshal, FieldsTypedByAPersonAreAppliedStrictly)
{
    TSonucBilgisi b;
    applyFields(b, R"({"FADI":"ALI","FCARINO":120})");
    EXPECT_EQ(b.ADI(), QStringLiteral("ALI"));
    EXPECT_EQ(b.CARINO(), 120);
    EXPECT_EQ(b.MusteriTipi(), 1);
    EXPECT_THROW(applyFields(b, R"({"FADII":"ALI"})"), ConversionError);
    EXPECT_THROW(applyFields(b, R"({"FCARINO":"120"})"), ConversionError);
}

// Input that does not fit the form is a ConversionError, never a crash or a half-read object.
TEST(Marshal, HostileInputIsAConversionError)
{
    const std::string deep = std::string(5000, '[') + std::string(5000, ']');
    std::string deepObjects;
    for (int i = 0; i < 200; ++i)
        deepObjects += R"({"type":"mobilstokunit.TAcilisEkranlariki","id":1,"fields":{"FEkranlar":[)";
    for (int i = 0; i < 200; ++i)
        deepObjects += "]}}";
    const struct
    {
        const char *name;
        std::string json;
        const ClassInfo *expected;
        const char *message; // a part of the error text
    } cases[] = {
        {"class without unit", R"({"type":"TSonucBilgisi","id":1,"fields":{}})", nullptr, "unknown class TSonucBilgisi"},
        {"unknown class", R"({"type":"baglantiu.TYok","id":1,"fields":{}})", nullptr, "unknown class"},
        {"missing type", R"({"id":1,"fields":{}})", nullptr, "no \"type\""},
        {"type not a string", R"({"type":5,"id":1})", nullptr, "must be a string"},
        {"other class than expected", R"({"type":"baglantiu.TTusSonuclari","id":1,"fields":{}})", &TSonucBilgisi::staticClassInfo(), "expected baglantiu.TSonucBilgisi"},
        {"string for Integer", R"({"type":"baglantiu.TSonucBilgisi","id":1,"fields":{"FCARINO":"5"}})", nullptr, "FCARINO: expected an integer"},
        {"fraction for Integer", R"({"type":"baglantiu.TSonucBilgisi","id":1,"fields":{"FCARINO":5.5}})", nullptr, "FCARINO"},
        {"Integer out of range", R"({"type":"baglantiu.TSonucBilgisi","id":1,"fields":{"FCARINO":2147483648}})", nullptr, "does not fit a 32-bit"},
        {"huge integer", R"({"type":"baglantiu.TSonucBilgisi","id":1,"fields":{"FCARINO":123456789012345678901234567890}})", nullptr, ""},
        {"huge double", R"({"type":"mobilstokunit.TMobilStok","id":1,"fields":{"FFiyat":1e400}})", nullptr, ""},
        {"number for Boolean", R"({"type":"baglantiu.TSonucBilgisi","id":1,"fields":{"FVarmi":1}})", nullptr, "FVarmi"},
        {"null for string", R"({"type":"baglantiu.TSonucBilgisi","id":1,"fields":{"FADI":null}})", nullptr, "FADI"},
        {"fields not an object", R"({"type":"baglantiu.TSonucBilgisi","id":1,"fields":[]})", nullptr, "fields"},
        {"array for object array", R"({"type":"mobilstokunit.TAcilisEkranlariki","id":1,"fields":{"FEkranlar":{}}})", nullptr, "FEkranlar"},
        {"dangling ref", R"({"type":"mobilstokunit.TAcilisEkranlariki","id":1,"fields":{"FEkranlar":[{"type":"mobilstokunit.TAcilisEkran","ref":7}]}})", nullptr, "names no object"},
        {"ref at the top", R"({"type":"baglantiu.TSonucBilgisi","ref":1})", nullptr, "names no object"},
        {"ref to an enclosing object", R"({"type":"mobilstokunit.TAcilisEkranlariki","id":1,"fields":{"FEkranlar":[{"type":"mobilstokunit.TAcilisEkranlariki","ref":1}]}})", nullptr, ""},
        {"ref to itself", R"({"type":"mobilstokunit.TAcilisEkranlariki","id":1,"fields":{"FEkranlar":[{"type":"mobilstokunit.TAcilisEkran","id":2,"fields":{}},{"type":"mobilstokunit.TAcilisEkran","ref":1}]}})", nullptr, ""},
        {"id used twice", R"({"type":"mobilstokunit.TAcilisEkranlariki","id":1,"fields":{"FEkranlar":[{"type":"mobilstokunit.TAcilisEkran","id":1,"fields":{}}]}})", nullptr, "used twice"},
        {"list item of another class", R"({"type":"mobilstokunit.TMobilStoklar","id":1,"fields":{"FItems":[{"type":"mobilstokunit.TMobilSepet","id":2,"fields":{}}]}})", nullptr, "expected mobilstokunit.TMobilStok"},
        {"count larger than items", R"({"type":"mobilstokunit.TMobilStoklar","id":1,"fields":{"FItems":[],"FCount":3}})", nullptr, "FCount is 3"},
        {"deep arrays", deep, nullptr, "deeper than the limit"},
        {"deep objects", deepObjects, nullptr, "deeper than the limit"},
        {"truncated", R"({"type":"baglantiu.TSonucBilgisi","id":1,"fields":{"FADI":"AL)", nullptr, "malformed JSON"},
        {"not JSON", "merhaba", nullptr, "malformed JSON"},
        {"not an object", "[1,2]", nullptr, "expected an object"},
        {"invalid UTF-8", "{\"type\":\"baglantiu.TSonucBilgisi\",\"id\":1,\"fields\":{\"FADI\":\"\xC3\x28\"}}", nullptr, "malformed JSON"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        try {
            unmarshal(c.json, c.expected);
            ADD_FAILURE() << "accepted";
        } catch (const ConversionError &e) {
            EXPECT_NE(e.message().indexOf(QString::fromUtf8(c.message)), -1) << e.message().toStdString();
        }
    }
}

TEST(Marshal, UnknownFieldKeysFromTheServerAreIgnored)
{
    auto b = unmarshalAs<TSonucBilgisi>(R"({"type":"baglantiu.TSonucBilgisi","id":1,"fields":{"FYeniAlan":[1,2],"FADI":"VELİ"}})");
    EXPECT_EQ(b->ADI(), QStringLiteral("VELİ"));
}

TEST(Marshal, NumbersUseAFullStopAndReadBackExactly)
{
    TMobilSepet s;
    s.setMIKTAR(1234567.891);
    s.setTARIH(46000.75);
    s.setKDV(0.1 + 0.2);
    const QByteArray json = marshal(&s);
    EXPECT_NE(json.indexOf("\"FMIKTAR\":1234567.891"), -1);
    EXPECT_NE(json.indexOf("\"FTARIH\":46000.75"), -1);
    auto back = unmarshalAs<TMobilSepet>(view(json));
    EXPECT_EQ(back->KDV(), 0.1 + 0.2);
}
