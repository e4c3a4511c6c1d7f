#pragma once

// Runtime description of the remote methods, generated from methods.def: names, command texts,
// parameters with their kinds and ordinals, result kinds. The client proxy, the server dispatch and
// tarvik-call all read this one table.

#include "transfer_object.h"

#include <string_view>
#include <vector>

namespace tarvik {

enum class ValueKind {
    None,
    String,
    Integer,
    Int64,
    Double,
    Boolean,
    Object,
    Callback,
    TableReader,
    DataPacket,
    Stream,
    JsonArray,
};

const char *kindName(ValueKind kind);

struct ParamInfo
{
    std::string_view name;
    ValueKind kind = ValueKind::None;
    const ClassInfo *cls = nullptr; // for objects: the class required; nullptr means any transfer object
    bool out = false;
};

enum class MethodId : int {
#define TARVIK_METHOD(name, ...) name,
#include "methods.def"
#undef TARVIK_METHOD
    Count
};

inline constexpr int kMethodCount = static_cast<int>(MethodId::Count);
inline constexpr std::string_view kCommandPrefix = "TServerMethods1.";

struct MethodInfo
{
    MethodId id;
    int number;                   // 1-based position in the catalogue
    std::string_view name;        // "SepetEkle2"
    std::string_view command;     // "TServerMethods1.SepetEkle2"
    std::vector<ParamInfo> params;
    ValueKind result = ValueKind::None;
    const ClassInfo *resultClass = nullptr;

    int paramCount() const { return static_cast<int>(params.size()); }
    int inputCount() const;
    // Ordinal of the result: the one after the last parameter; -1 when the method returns nothing.
    int resultOrdinal() const { return result == ValueKind::None ? -1 : paramCount(); }
    // Ordinals in the answer: every parameter plus the result.
    int ordinalCount() const { return paramCount() + (result == ValueKind::None ? 0 : 1); }
    ValueKind kindAt(int ordinal) const;
    const ClassInfo *classAt(int ordinal) const;
};

const std::vector<MethodInfo> &catalogue();
const MethodInfo &methodInfo(MethodId id);
// By wire name ("SepetEkle2") or by command text ("TServerMethods1.SepetEkle2"); nullptr when unknown.
const MethodInfo *findMethod(std::string_view nameOrCommand);

} // namespace tarvik
