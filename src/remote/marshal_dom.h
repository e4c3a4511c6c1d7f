#pragma once

// Element-level entry points of the unmarshaller, for the protocol decoder that has already parsed a frame.

#include "json_dom.h"
#include "transfer_object.h"

#include <memory>

namespace tarvik::json {

std::unique_ptr<TransferObject> unmarshal(Element value, const ClassInfo *expected, std::string_view what);
void applyFields(TransferObject &object, Object fields, bool strictKeys);

} // namespace tarvik::json
