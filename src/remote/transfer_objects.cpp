#include "transfer_objects.h"

#include <algorithm>

namespace tarvik {

namespace {

template<class T>
std::unique_ptr<TransferObject> make()
{
    return std::make_unique<T>();
}

template<class T>
constexpr ClassInfo info(std::string_view unit, std::string_view name, std::string_view qualified,
                         bool isList = false)
{
    return ClassInfo{unit, name, qualified, &make<T>, isList};
}

} // namespace

} // namespace tarvik

#define TARVIK_CLASS_INFO(Class, unit)                                                                     \
    const tarvik::ClassInfo &Class::staticClassInfo()                                                      \
    {                                                                                                      \
        static const tarvik::ClassInfo ci = tarvik::info<Class>(#unit, #Class, #unit "." #Class);         \
        return ci;                                                                                         \
    }

TARVIK_CLASS_INFO(TSonucBilgisi, baglantiu)
TARVIK_CLASS_INFO(TSiparisDipAyrinti, baglantiu)
TARVIK_CLASS_INFO(TTusSonuclari, baglantiu)
TARVIK_CLASS_INFO(TMobilStok, mobilstokunit)
TARVIK_CLASS_INFO(TMobilSepet, mobilstokunit)
TARVIK_CLASS_INFO(TMobilCariBilgisi, mobilstokunit)
TARVIK_CLASS_INFO(TAcilisEkran, mobilstokunit)
TARVIK_CLASS_INFO(TAcilisEkranlariki, mobilstokunit)

#define TARVIK_LIST_INFO(Class, Item, unit)                                                                \
    template<>                                                                                             \
    const tarvik::ClassInfo &tarvik::TransferList<Item, Class>::staticClassInfo()                          \
    {                                                                                                      \
        static const tarvik::ClassInfo ci =                                                                \
            tarvik::info<Class>(#unit, #Class, #unit "." #Class, /*isList=*/true);                         \
        return ci;                                                                                         \
    }

TARVIK_LIST_INFO(TMobilStoklar, TMobilStok, mobilstokunit)
TARVIK_LIST_INFO(TMobilSepetler, TMobilSepet, mobilstokunit)
TARVIK_LIST_INFO(TAcilisEkranlar, TAcilisEkran, mobilstokunit)

namespace tarvik {

const std::vector<const ClassInfo *> &allClasses()
{
    static const std::vector<const ClassInfo *> classes = {
        &TSonucBilgisi::staticClassInfo(),     &TSiparisDipAyrinti::staticClassInfo(),
        &TTusSonuclari::staticClassInfo(),     &TMobilStok::staticClassInfo(),
        &TMobilStoklar::staticClassInfo(),     &TMobilSepet::staticClassInfo(),
        &TMobilSepetler::staticClassInfo(),    &TMobilCariBilgisi::staticClassInfo(),
        &TAcilisEkran::staticClassInfo(),      &TAcilisEkranlar::staticClassInfo(),
        &TAcilisEkranlariki::staticClassInfo(),
    };
    return classes;
}

const ClassInfo *findClass(std::string_view qualifiedName)
{
    const auto &classes = allClasses();
    auto it = std::find_if(classes.begin(), classes.end(),
                           [&](const ClassInfo *c) { return c->qualifiedName == qualifiedName; });
    return it == classes.end() ? nullptr : *it;
}

} // namespace tarvik
