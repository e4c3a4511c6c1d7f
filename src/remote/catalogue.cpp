#include "catalogue.h"

#include "pp.h"
#include "transfer_objects.h"

namespace tarvik {

namespace {

#define TV_KIND_String ValueKind::String, nullptr
#define TV_KIND_Integer ValueKind::Integer, nullptr
#define TV_KIND_Int64 ValueKind::Int64, nullptr
#define TV_KIND_Double ValueKind::Double, nullptr
#define TV_KIND_Boolean ValueKind::Boolean, nullptr
#define TV_KIND_Callback ValueKind::Callback, nullptr
#define TV_KIND_None ValueKind::None, nullptr
#define TV_KIND_TableReader ValueKind::TableReader, nullptr
#define TV_KIND_DataPacket ValueKind::DataPacket, nullptr
#define TV_KIND_Stream ValueKind::Stream, nullptr
#define TV_KIND_JsonArray ValueKind::JsonArray, nullptr
#define TV_KIND_Obj_TObject ValueKind::Object, nullptr
#define TV_KIND_Obj_TSonucBilgisi ValueKind::Object, &TSonucBilgisi::staticClassInfo()
#define TV_KIND_Obj_TSiparisDipAyrinti ValueKind::Object, &TSiparisDipAyrinti::staticClassInfo()
#define TV_KIND_Obj_TTusSonuclari ValueKind::Object, &TTusSonuclari::staticClassInfo()
#define TV_KIND_Obj_TMobilStok ValueKind::Object, &TMobilStok::staticClassInfo()
#define TV_KIND_Obj_TMobilStoklar ValueKind::Object, &TMobilStoklar::staticClassInfo()
#define TV_KIND_Obj_TMobilSepetler ValueKind::Object, &TMobilSepetler::staticClassInfo()
#define TV_KIND_Obj_TMobilCariBilgisi ValueKind::Object, &TMobilCariBilgisi::staticClassInfo()
#define TV_KIND_Obj_TAcilisEkran ValueKind::Object, &TAcilisEkran::staticClassInfo()
#define TV_KIND_Obj_TAcilisEkranlar ValueKind::Object, &TAcilisEkranlar::staticClassInfo()
#define TV_KIND_Obj_TAcilisEkranlariki ValueKind::Object, &TAcilisEkranlariki::staticClassInfo()

#define TV_IS_OUT_In false
#define TV_IS_OUT_Out true

#define TV_PARAM(p) TV_PARAM_ p
#define TV_PARAM_(dir, kind, name) ParamInfo{#name, TV_KIND_##kind, TV_IS_OUT_##dir}

struct ResultKind
{
    ValueKind kind;
    const ClassInfo *cls;
};

std::vector<MethodInfo> build()
{
    std::vector<MethodInfo> methods;
    methods.reserve(kMethodCount);
    int number = 0;
#define TARVIK_METHOD(name, res, ...)                                                                      \
    {                                                                                                      \
        const ResultKind r{TV_KIND_##res};                                                                 \
        methods.push_back(MethodInfo{MethodId::name, ++number, #name, "TServerMethods1." #name,           \
                                     {TARVIK_FOR_EACH_COMMA(TV_PARAM, __VA_ARGS__)}, r.kind, r.cls});      \
    }
#include "methods.def"
#undef TARVIK_METHOD
    return methods;
}

} // namespace

const char *kindName(ValueKind kind)
{
    switch (kind) {
    case ValueKind::None: return "nothing";
    case ValueKind::String: return "string";
    case ValueKind::Integer: return "Integer";
    case ValueKind::Int64: return "Int64";
    case ValueKind::Double: return "Double";
    case ValueKind::Boolean: return "Boolean";
    case ValueKind::Object: return "object";
    case ValueKind::Callback: return "callback";
    case ValueKind::TableReader: return "table reader";
    case ValueKind::DataPacket: return "data packet";
    case ValueKind::Stream: return "stream";
    case ValueKind::JsonArray: return "JSON array";
    }
    return "?";
}

int MethodInfo::inputCount() const
{
    int n = 0;
    for (const ParamInfo &p : params)
        n += p.out ? 0 : 1;
    return n;
}

ValueKind MethodInfo::kindAt(int ordinal) const
{
    if (ordinal >= 0 && ordinal < paramCount())
        return params[static_cast<std::size_t>(ordinal)].kind;
    return ordinal == resultOrdinal() ? result : ValueKind::None;
}

const ClassInfo *MethodInfo::classAt(int ordinal) const
{
    if (ordinal >= 0 && ordinal < paramCount())
        return params[static_cast<std::size_t>(ordinal)].cls;
    return ordinal == resultOrdinal() ? resultClass : nullptr;
}

const std::vector<MethodInfo> &catalogue()
{
    static const std::vector<MethodInfo> methods = build();
    return methods;
}

const MethodInfo &methodInfo(MethodId id)
{
    return catalogue()[static_cast<std::size_t>(id)];
}

const MethodInfo *findMethod(std::string_view nameOrCommand)
{
    if (nameOrCommand.starts_with(kCommandPrefix))
        nameOrCommand.remove_prefix(kCommandPrefix.size());
    for (const MethodInfo &m : catalogue())
        if (m.name == nameOrCommand)
            return &m;
    return nullptr;
}

} // namespace tarvik
