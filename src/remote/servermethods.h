#pragma once

// TServerMethods1Client: the client proxy of every remote method of the server class TServerMethods1.
// The methods are generated from methods.def; their types say who owns what:
//   - object arguments are std::unique_ptr: the call consumes them (they are marshalled and freed);
//   - result objects, table readers, streams and JSON arrays are plain pointers owned by the proxy:
//     valid until the same method is called again on this proxy or the proxy is destroyed;
//   - data packets (DataTable) and scalars are returned by value and are the caller's.

#include "catalogue.h"
#include "connection.h"
#include "datatable.h"
#include "pp.h"
#include "protocol.h"
#include "transfer_objects.h"

#include <QIODevice>
#include <QJsonArray>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

namespace tarvik {

// Forward-only reader over a result table. Starts before the first row: call next() to move onto it.
class TableReader
{
public:
    explicit TableReader(DataTable table) : table_(std::move(table)) {}
    bool next() { return ++row_ < table_.rowCount(); }
    int row() const { return row_; }
    int columnCount() const { return table_.columnCount(); }
    QVariant value(int column) const { return table_.value(row_, column); }
    QVariant value(QStringView columnName) const { return table_.value(row_, columnName); }
    // The whole table, for copying into an in-memory table.
    const DataTable &table() const { return table_; }

private:
    DataTable table_;
    int row_ = -1;
};

// One method's prepared command and what its last execution left, owned until the next execution.
struct Command
{
    explicit Command(const MethodInfo &m) : method(m) {}
    void release();

    const MethodInfo &method;
    std::unique_ptr<TransferObject> object;
    std::unique_ptr<TableReader> reader;
    std::unique_ptr<QIODevice> stream;
    std::optional<QJsonArray> jsonArray;
};

// The arguments of one call on their way in, and where the out values go.
class Call
{
public:
    explicit Call(Command &command);

    void in(const QString &v) { request_.params.emplace_back(v); }
    void in(std::int32_t v) { request_.params.emplace_back(v); }
    void in(std::int64_t v) { request_.params.emplace_back(v); }
    void in(double v) { request_.params.emplace_back(v); }
    void in(bool v) { request_.params.emplace_back(v); }
    void in(std::shared_ptr<RemoteCallback> callback);
    template<class T>
    void in(std::unique_ptr<T> object)
    {
        request_.params.emplace_back(std::unique_ptr<TransferObject>(std::move(object)));
    }

    template<class T>
    void out(T &target)
    {
        outs_.push_back(Out{static_cast<int>(request_.params.size()), &target});
        request_.params.emplace_back(std::monostate());
    }

    void run(Connection &connection);

    void finishNone() {}
    QString finishString();
    std::int32_t finishInteger();
    bool finishBoolean();
    TableReader *finishTableReader();
    DataTable finishDataPacket();
    QIODevice *finishStream();
    const QJsonArray *finishJsonArray();
    template<class T>
    T *finishObject()
    {
        command_.object = std::move(std::get<std::unique_ptr<TransferObject>>(resultValue()));
        return static_cast<T *>(command_.object.get());
    }

private:
    struct Out
    {
        int ordinal;
        std::variant<QString *, std::int32_t *, std::int64_t *, double *, bool *> target;
    };
    Value &resultValue();

    Command &command_;
    ExecuteRequest request_;
    std::vector<Out> outs_;
    ExecuteResult result_;
};

} // namespace tarvik

#define TARVIK_PT_In_String const QString &
#define TARVIK_PT_In_Integer std::int32_t
#define TARVIK_PT_In_Int64 std::int64_t
#define TARVIK_PT_In_Double double
#define TARVIK_PT_In_Boolean bool
#define TARVIK_PT_In_Callback std::shared_ptr<tarvik::RemoteCallback>
#define TARVIK_PT_In_Obj_TObject std::unique_ptr<tarvik::TransferObject>
#define TARVIK_PT_In_Obj_TSonucBilgisi std::unique_ptr<TSonucBilgisi>
#define TARVIK_PT_Out_String QString &
#define TARVIK_PT_Out_Integer std::int32_t &
#define TARVIK_PT_Out_Int64 std::int64_t &
#define TARVIK_PT_Out_Double double &
#define TARVIK_PT_Out_Boolean bool &

#define TARVIK_RT_None void
#define TARVIK_RT_String QString
#define TARVIK_RT_Integer std::int32_t
#define TARVIK_RT_Boolean bool
#define TARVIK_RT_TableReader tarvik::TableReader *
#define TARVIK_RT_DataPacket tarvik::DataTable
#define TARVIK_RT_Stream QIODevice *
#define TARVIK_RT_JsonArray const QJsonArray *
#define TARVIK_RT_Obj_TSonucBilgisi TSonucBilgisi *
#define TARVIK_RT_Obj_TSiparisDipAyrinti TSiparisDipAyrinti *
#define TARVIK_RT_Obj_TTusSonuclari TTusSonuclari *
#define TARVIK_RT_Obj_TMobilStok TMobilStok *
#define TARVIK_RT_Obj_TMobilStoklar TMobilStoklar *
#define TARVIK_RT_Obj_TMobilSepetler TMobilSepetler *
#define TARVIK_RT_Obj_TMobilCariBilgisi TMobilCariBilgisi *
#define TARVIK_RT_Obj_TAcilisEkran TAcilisEkran *
#define TARVIK_RT_Obj_TAcilisEkranlar TAcilisEkranlar *
#define TARVIK_RT_Obj_TAcilisEkranlariki TAcilisEkranlariki *

#define TARVIK_PARAM_DECL(p) TARVIK_PARAM_DECL_ p
#define TARVIK_PARAM_DECL_(dir, kind, name) TARVIK_PT_##dir##_##kind name

class TServerMethods1Client
{
public:
    // Proxy on an open connection. Raises "Connection cannot be nil.  Make sure the connection has been
    // opened." when there is none.
    explicit TServerMethods1Client(tarvik::Connection *connection);
    ~TServerMethods1Client();
    TServerMethods1Client(const TServerMethods1Client &) = delete;
    TServerMethods1Client &operator=(const TServerMethods1Client &) = delete;

#define TARVIK_METHOD(name, res, ...) TARVIK_RT_##res name(TARVIK_FOR_EACH_COMMA(TARVIK_PARAM_DECL, __VA_ARGS__));
#include "methods.def"
#undef TARVIK_METHOD

    // How many commands this proxy has prepared so far (one per method called at least once).
    int preparedCommandCount() const { return prepared_; }

private:
    tarvik::Command &command(tarvik::MethodId id);

    tarvik::Connection *connection_;
    std::array<std::unique_ptr<tarvik::Command>, tarvik::kMethodCount> commands_;
    int prepared_ = 0;
};
