#pragma once

#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace tarvik {

class TransferObject;
struct ClassInfo;

// A dynamic array of object references inside a transfer object (only TAcilisEkranlariki has one), seen
// through an element-type-neutral interface by the marshaller.
class ObjectArrayField
{
public:
    virtual ~ObjectArrayField() = default;
    virtual const ClassInfo &elementClass() const = 0;
    virtual std::size_t size() const = 0;
    virtual const TransferObject *at(std::size_t i) const = 0;
    virtual std::shared_ptr<TransferObject> shared(std::size_t i) const = 0;
    virtual void clear() = 0;
    virtual void append(std::shared_ptr<TransferObject> item) = 0; // item is of elementClass() or null
};

// Visits every field of an object, in declaration order, with the field's name as it appears on the wire.
class FieldVisitor
{
public:
    virtual ~FieldVisitor() = default;
    virtual void field(std::string_view name, QString &v) = 0;
    virtual void field(std::string_view name, std::int32_t &v) = 0;
    virtual void field(std::string_view name, double &v) = 0;
    virtual void field(std::string_view name, bool &v) = 0;
    virtual void field(std::string_view name, ObjectArrayField &v) = 0;
};

// Base of every class that crosses the wire. Carries no data; the classes describe themselves through
// classInfo() and visitFields().
class TransferObject
{
public:
    TransferObject() noexcept { live_.fetch_add(1, std::memory_order_relaxed); }
    TransferObject(const TransferObject &) noexcept { live_.fetch_add(1, std::memory_order_relaxed); }
    TransferObject &operator=(const TransferObject &) noexcept = default;
    virtual ~TransferObject() { live_.fetch_sub(1, std::memory_order_relaxed); }

    virtual const ClassInfo &classInfo() const = 0;
    // The marshaller only reads through the visitor when it is given a const object.
    virtual void visitFields(FieldVisitor &visitor) = 0;

    // Number of transfer objects alive in the process: lets tests see that the proxy frees what it owns.
    static long liveCount() noexcept { return live_.load(std::memory_order_relaxed); }

private:
    static inline std::atomic<long> live_{0};
};

// Owning list of transfer objects (the generic object list of the toolkit). Items are held by shared
// pointers only because a marshalled value may name the same object twice ("ref"); the list is the owner.
class TransferListBase : public TransferObject
{
public:
    virtual const ClassInfo &itemClass() const = 0;
    virtual std::size_t Count() const = 0;
    virtual const TransferObject *itemAt(std::size_t i) const = 0;
    virtual std::shared_ptr<TransferObject> sharedAt(std::size_t i) const = 0;
    virtual void appendShared(std::shared_ptr<TransferObject> item) = 0; // of itemClass() or null
    virtual void Clear() = 0;

    bool OwnsObjects() const { return FOwnsObjects; }
    void setOwnsObjects(bool v) { FOwnsObjects = v; }

    void visitFields(FieldVisitor &) override {}

private:
    bool FOwnsObjects = true;
};

// How a class is found by its qualified name and made through its parameterless constructor.
struct ClassInfo
{
    std::string_view unit;          // "baglantiu"
    std::string_view name;          // "TSonucBilgisi"
    std::string_view qualifiedName; // "baglantiu.TSonucBilgisi"
    std::unique_ptr<TransferObject> (*create)();
    bool isList = false;
};

// Every class that can cross the wire, by qualified name; nullptr for an unknown one.
const ClassInfo *findClass(std::string_view qualifiedName);
const std::vector<const ClassInfo *> &allClasses();

} // namespace tarvik
