#include "marshal.h"

#include "marshal_dom.h"

#include <unordered_map>
#include <unordered_set>

namespace tarvik {

namespace {

// ---- writing ---------------------------------------------------------------------------------------------

class Marshaller final : public FieldVisitor
{
public:
    explicit Marshaller(JsonWriter &w) : w_(w) {}

    void write(const TransferObject *object)
    {
        if (!object) {
            w_.null();
            return;
        }
        const ClassInfo &ci = object->classInfo();
        if (auto it = ids_.find(object); it != ids_.end()) {
            w_.beginObject();
            w_.key("type");
            w_.value(ci.qualifiedName);
            w_.key("ref");
            w_.value(it->second);
            w_.endObject();
            return;
        }
        const int id = nextId_++;
        ids_.emplace(object, id);
        w_.beginObject();
        w_.key("type");
        w_.value(ci.qualifiedName);
        w_.key("id");
        w_.value(id);
        w_.key("fields");
        w_.beginObject();
        if (ci.isList) {
            const auto &list = static_cast<const TransferListBase &>(*object);
            w_.key("FOwnsObjects");
            w_.value(list.OwnsObjects());
            w_.key("FItems");
            w_.beginArray();
            for (std::size_t i = 0; i < list.Count(); ++i)
                write(list.itemAt(i));
            w_.endArray();
            w_.key("FCount");
            w_.value(static_cast<std::int64_t>(list.Count()));
        } else {
            // The visitor only reads here.
            const_cast<TransferObject *>(object)->visitFields(*this);
        }
        w_.endObject();
        w_.endObject();
    }

    void field(std::string_view name, QString &v) override { w_.key(name); w_.value(v); }
    void field(std::string_view name, std::int32_t &v) override { w_.key(name); w_.value(v); }
    void field(std::string_view name, double &v) override { w_.key(name); w_.value(v); }
    void field(std::string_view name, bool &v) override { w_.key(name); w_.value(v); }
    void field(std::string_view name, ObjectArrayField &v) override
    {
        w_.key(name);
        w_.beginArray();
        for (std::size_t i = 0; i < v.size(); ++i)
            write(v.at(i));
        w_.endArray();
    }

private:
    JsonWriter &w_;
    std::unordered_map<const TransferObject *, int> ids_;
    int nextId_ = 1;
};

// ---- reading ---------------------------------------------------------------------------------------------

QString qs(std::string_view s)
{
    return json::toQString(s);
}

class Unmarshaller final : public FieldVisitor
{
public:
    std::unique_ptr<TransferObject> readTop(json::Element e, const ClassInfo *expected, std::string_view what)
    {
        if (e.is_null())
            return nullptr;
        Header h = header(e, expected, what);
        if (h.isRef)
            throw ConversionError(QStringLiteral("%1: \"ref\" %2 names no object read before").arg(qs(what)).arg(h.id));
        std::unique_ptr<TransferObject> object = h.cls->create();
        if (h.hasId)
            remember(h.id, Entry{nullptr, h.cls, false});
        fill(*object, h, what);
        return object;
    }

    void fillFields(TransferObject &object, json::Object fields, bool strictKeys)
    {
        Header h;
        h.cls = &object.classInfo();
        h.fields = fields;
        h.hasFields = true;
        if (strictKeys) {
            const auto names = fieldNames(object);
            std::unordered_set<std::string_view> known(names.begin(), names.end());
            if (h.cls->isList)
                known.insert({"FOwnsObjects", "FItems", "FCount", "FListHelper"});
            for (auto [key, value] : fields) {
                (void)value;
                if (!known.contains(key))
                    throw ConversionError(QStringLiteral("%1 has no field %2").arg(qs(h.cls->qualifiedName), qs(key)));
            }
        }
        fill(object, h, h.cls->qualifiedName);
    }

    // FieldVisitor: called for each field of the object being filled, in declaration order.
    void field(std::string_view name, QString &v) override
    {
        json::Element e;
        if (lookup(name, e))
            v = json::asString(e, path(name));
    }
    void field(std::string_view name, std::int32_t &v) override
    {
        json::Element e;
        if (lookup(name, e))
            v = json::asInt32(e, path(name));
    }
    void field(std::string_view name, double &v) override
    {
        json::Element e;
        if (lookup(name, e))
            v = json::asDouble(e, path(name));
    }
    void field(std::string_view name, bool &v) override
    {
        json::Element e;
        if (lookup(name, e))
            v = json::asBool(e, path(name));
    }
    void field(std::string_view name, ObjectArrayField &v) override
    {
        json::Element e;
        if (!lookup(name, e))
            return;
        const std::string p = path(name);
        json::Array items = json::asArray(e, p);
        v.clear();
        for (json::Element item : items)
            v.append(readShared(item, &v.elementClass(), p));
    }

private:
    struct Header
    {
        const ClassInfo *cls = nullptr;
        bool isRef = false;
        bool hasId = false;
        std::int64_t id = 0;
        bool hasFields = false;
        json::Object fields;
    };

    struct Entry
    {
        std::shared_ptr<TransferObject> object; // null while the object is still being read
        const ClassInfo *cls = nullptr;
        bool done = false;
    };

    Header header(json::Element e, const ClassInfo *expected, std::string_view what)
    {
        json::Object o = json::asObject(e, what);
        Header h;
        json::Element typeValue;
        if (!json::find(o, "type", typeValue))
            throw ConversionError(QStringLiteral("%1: the object has no \"type\"").arg(qs(what)));
        std::string_view typeName;
        if (typeValue.get_string().get(typeName))
            throw ConversionError(QStringLiteral("%1: \"type\" must be a string").arg(qs(what)));
        h.cls = findClass(typeName);
        if (!h.cls)
            throw ConversionError(QStringLiteral("%1: unknown class %2").arg(qs(what), qs(typeName)));
        if (expected && h.cls != expected)
            throw ConversionError(QStringLiteral("%1: expected %2, got %3")
                                      .arg(qs(what), qs(expected->qualifiedName), qs(typeName)));
        json::Element v;
        if (json::find(o, "ref", v)) {
            h.isRef = true;
            h.id = json::asInt64(v, "\"ref\"");
            return h;
        }
        if (json::find(o, "id", v)) {
            h.hasId = true;
            h.id = json::asInt64(v, "\"id\"");
        }
        if (json::find(o, "fields", v)) {
            h.hasFields = true;
            h.fields = json::asObject(v, std::string(what) + " \"fields\"");
        }
        return h;
    }

    void remember(std::int64_t id, Entry entry)
    {
        if (!byId_.emplace(id, std::move(entry)).second)
            throw ConversionError(QStringLiteral("object id %1 is used twice").arg(id));
    }

    std::shared_ptr<TransferObject> readShared(json::Element e, const ClassInfo *expected, std::string_view what)
    {
        if (e.is_null())
            return nullptr;
        Header h = header(e, expected, what);
        if (h.isRef) {
            auto it = byId_.find(h.id);
            if (it == byId_.end())
                throw ConversionError(QStringLiteral("%1: \"ref\" %2 names no object read before").arg(qs(what)).arg(h.id));
            if (!it->second.done)
                throw ConversionError(QStringLiteral("%1: \"ref\" %2 names an object that contains it (a cycle)").arg(qs(what)).arg(h.id));
            if (it->second.cls != h.cls)
                throw ConversionError(QStringLiteral("%1: \"ref\" %2 names a %3, not a %4")
                                          .arg(qs(what)).arg(h.id).arg(qs(it->second.cls->qualifiedName), qs(h.cls->qualifiedName)));
            return it->second.object;
        }
        std::shared_ptr<TransferObject> object(h.cls->create());
        if (h.hasId)
            remember(h.id, Entry{nullptr, h.cls, false});
        fill(*object, h, what);
        if (h.hasId) {
            Entry &entry = byId_[h.id];
            entry.object = object;
            entry.done = true;
        }
        return object;
    }

    void fill(TransferObject &object, const Header &h, std::string_view what)
    {
        if (!h.hasFields)
            return;
        const json::Object savedFields = fields_;
        const std::string_view savedClass = class_;
        fields_ = h.fields;
        class_ = h.cls->qualifiedName;
        if (h.cls->isList)
            fillList(static_cast<TransferListBase &>(object), what);
        else
            object.visitFields(*this);
        fields_ = savedFields;
        class_ = savedClass;
    }

    void fillList(TransferListBase &list, std::string_view what)
    {
        json::Element v;
        if (json::find(fields_, "FOwnsObjects", v))
            list.setOwnsObjects(json::asBool(v, path("FOwnsObjects")));
        std::int64_t count = -1;
        if (json::find(fields_, "FCount", v))
            count = json::asInt64(v, path("FCount"));
        else if (json::find(fields_, "FListHelper", v)) {
            json::Element c;
            if (v.type() == json::Type::OBJECT && json::find(json::asObject(v, "FListHelper"), "FCount", c))
                count = json::asInt64(c, path("FListHelper.FCount"));
            else if (v.type() == json::Type::ARRAY && json::asArray(v, "FListHelper").size() > 0)
                count = json::asInt64(json::asArray(v, "FListHelper").at(0).value_unsafe(), path("FListHelper[0]"));
        }
        list.Clear();
        if (!json::find(fields_, "FItems", v)) {
            if (count > 0)
                throw ConversionError(QStringLiteral("%1: FCount is %2 but there is no FItems").arg(qs(what)).arg(count));
            return;
        }
        const std::string itemsPath = path("FItems");
        json::Array items = json::asArray(v, itemsPath);
        const auto available = static_cast<std::int64_t>(items.size());
        if (count < 0)
            count = available;
        if (count > available)
            throw ConversionError(QStringLiteral("%1: FCount is %2 but FItems holds %3").arg(qs(what)).arg(count).arg(available));
        std::int64_t i = 0;
        for (json::Element item : items) {
            if (i++ == count)
                break; // capacity slots past the count
            list.appendShared(readShared(item, &list.itemClass(), itemsPath));
        }
    }

    bool lookup(std::string_view name, json::Element &out) { return json::find(fields_, name, out); }

    std::string path(std::string_view field) const
    {
        std::string p(class_);
        p += '.';
        p += field;
        return p;
    }

    std::unordered_map<std::int64_t, Entry> byId_;
    json::Object fields_;
    std::string_view class_;
};

class NameCollector final : public FieldVisitor
{
public:
    std::vector<std::string_view> names;
    void field(std::string_view n, QString &) override { names.push_back(n); }
    void field(std::string_view n, std::int32_t &) override { names.push_back(n); }
    void field(std::string_view n, double &) override { names.push_back(n); }
    void field(std::string_view n, bool &) override { names.push_back(n); }
    void field(std::string_view n, ObjectArrayField &) override { names.push_back(n); }
};

} // namespace

void marshal(JsonWriter &writer, const TransferObject *object)
{
    Marshaller(writer).write(object);
}

QByteArray marshal(const TransferObject *object)
{
    JsonWriter w(512);
    marshal(w, object);
    return w.take();
}

std::unique_ptr<TransferObject> unmarshal(std::string_view text, const ClassInfo *expected)
{
    json::Parser parser;
    return json::unmarshal(parser.parse(text), expected, expected ? expected->qualifiedName : "object");
}

void applyFields(TransferObject &object, std::string_view fieldsJson)
{
    json::Parser parser;
    json::Element e = parser.parse(fieldsJson);
    json::applyFields(object, json::asObject(e, object.classInfo().qualifiedName), /*strictKeys=*/true);
}

std::vector<std::string_view> fieldNames(TransferObject &object)
{
    NameCollector c;
    object.visitFields(c);
    return std::move(c.names);
}

namespace json {

std::unique_ptr<TransferObject> unmarshal(Element value, const ClassInfo *expected, std::string_view what)
{
    return Unmarshaller().readTop(value, expected, what);
}

void applyFields(TransferObject &object, Object fields, bool strictKeys)
{
    Unmarshaller().fillFields(object, fields, strictKeys);
}

} // namespace json

} // namespace tarvik
