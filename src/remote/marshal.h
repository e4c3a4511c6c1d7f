#pragma once

// The JSON marshal form of transfer objects:
//   {"type":"<unit>.<class>","id":N,"fields":{"F…":…, …}}
// ids count from 1 within one marshalled value, depth first in field order; an object met again is
// written as {"type":"…","ref":N}; null means no object. Owning lists are written in the generic list
// form {"FOwnsObjects":true,"FItems":[…],"FCount":N}; the reader also takes the count from "FListHelper".

#include "json_writer.h"
#include "transfer_object.h"

#include <QByteArray>

#include <memory>
#include <string_view>

namespace tarvik {

void marshal(JsonWriter &writer, const TransferObject *object);
QByteArray marshal(const TransferObject *object);

// Reads one value of the marshal form. `expected` is the class the value must have (nullptr: any class
// this program knows). JSON null gives nullptr. Anything that does not fit raises ConversionError.
std::unique_ptr<TransferObject> unmarshal(std::string_view json, const ClassInfo *expected = nullptr);

template<class T>
std::unique_ptr<T> unmarshalAs(std::string_view json)
{
    auto object = unmarshal(json, &T::staticClassInfo());
    return std::unique_ptr<T>(static_cast<T *>(object.release()));
}

// Assigns a JSON object of field names to values ({"FADI":"ALI","FCARINO":120}) onto `object`. Keys that
// are not fields of the class are refused (this reads what a person typed, not what a server sent).
void applyFields(TransferObject &object, std::string_view fieldsJson);

// Names of the fields of `object`'s class, in declaration order, with their `F`.
std::vector<std::string_view> fieldNames(TransferObject &object);

} // namespace tarvik
