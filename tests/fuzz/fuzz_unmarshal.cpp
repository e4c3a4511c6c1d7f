// Transfer objects: the input is JSON text read as a marshalled value, once for any class and once for
// each known class. What is read is marshalled, read back and marshalled again; both texts must be the
// same. The input is also assigned field by field (applyFields) onto a fresh object of each class.

#include "fuzz_common.h"

#include "errors.h"
#include "marshal.h"
#include "transfer_object.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

using namespace tarvik;
using tarvik::fuzz::check;
using tarvik::fuzz::fail;

namespace {

// Marshals `object`, reads the text back as `expected` and marshals that again: the two texts must match.
QByteArray roundTrip(const TransferObject *object, const ClassInfo *expected)
{
    QByteArray first;
    try {
        first = marshal(object);
    } catch (const RemoteError &e) {
        fail("marshal() refuses an object that unmarshal() made", e.what());
    }
    std::unique_ptr<TransferObject> back;
    try {
        back = unmarshal(fuzz::view(first), expected);
    } catch (const RemoteError &e) {
        fail("marshal() wrote text that unmarshal() refuses", fuzz::view(first), e.what());
    }
    check((back == nullptr) == (object == nullptr), "null-ness lost in the round trip", fuzz::view(first));
    if (back)
        check(&back->classInfo() == &object->classInfo(), "class changed in the round trip", fuzz::view(first));
    QByteArray second;
    try {
        second = marshal(back.get());
    } catch (const RemoteError &e) {
        fail("marshal() refuses an object read from its own text", fuzz::view(first), e.what());
    }
    check(first == second, "marshal text differs after a round trip", fuzz::view(first), fuzz::view(second));
    return first;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);

    // Any class.
    bool anyOk = false;
    bool anyNull = false;
    const ClassInfo *anyClass = nullptr;
    QByteArray anyText;
    try {
        std::unique_ptr<TransferObject> object = unmarshal(text, nullptr);
        anyOk = true;
        anyNull = object == nullptr;
        anyClass = object ? &object->classInfo() : nullptr;
        anyText = roundTrip(object.get(), nullptr);
    } catch (const RemoteError &e) {
        // Text that is no JSON at all fails the same way for every class below; spare the exceptions.
        if (e.message().startsWith(QLatin1String("malformed JSON")) || e.message().startsWith(QLatin1String("JSON nested")))
            return 0;
    }

    // Each class: the value reads as class C exactly when it reads as any class and is a C (or null),
    // and then gives the same object.
    for (const ClassInfo *cls : allClasses()) {
        try {
            std::unique_ptr<TransferObject> object = unmarshal(text, cls);
            check(!object || &object->classInfo() == cls, "unmarshal() gave another class than expected");
            const QByteArray t = roundTrip(object.get(), cls);
            check(anyOk && (anyNull || anyClass == cls), "read as a class but not as any class", text);
            check(t == anyText, "reading as a class and as any class differ", fuzz::view(t), fuzz::view(anyText));
        } catch (const RemoteError &) {
            check(!(anyOk && (anyNull || anyClass == cls)), "read as any class but not as its own class", text);
        }
    }

    // Field assignment onto a fresh object of each class.
    for (const ClassInfo *cls : allClasses()) {
        std::unique_ptr<TransferObject> object = cls->create();
        try {
            applyFields(*object, text);
        } catch (const RemoteError &) {
            continue;
        }
        roundTrip(object.get(), cls);
    }
    return 0;
}
