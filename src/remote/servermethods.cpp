#include "servermethods.h"

#include "errors.h"

#include <QBuffer>
#include <QJsonDocument>

namespace tarvik {

void Command::release()
{
    object.reset();
    reader.reset();
    stream.reset();
    jsonArray.reset();
}

Call::Call(Command &command)
    : command_(command)
{
    request_.method = &command.method;
    request_.params.reserve(command.method.params.size());
}

void Call::in(std::shared_ptr<RemoteCallback> callback)
{
    if (!callback) {
        request_.params.emplace_back(std::monostate());
        return;
    }
    const QString id = callback->name();
    request_.params.emplace_back(CallbackValue{id, std::move(callback)});
}

void Call::run(Connection &connection)
{
    // What the previous execution of this command left is freed now.
    command_.release();
    result_ = connection.execute(std::move(request_));
    for (const Out &o : outs_) {
        Value &v = result_.values.at(static_cast<std::size_t>(o.ordinal));
        std::visit(
            [&](auto *target) {
                using T = std::remove_pointer_t<decltype(target)>;
                if (auto *got = std::get_if<T>(&v))
                    *target = std::move(*got);
                else
                    throw ConversionError(QStringLiteral("%1: the out value at ordinal %2 has the wrong kind")
                                              .arg(QLatin1String(command_.method.command.data(), command_.method.command.size()))
                                              .arg(o.ordinal));
            },
            o.target);
    }
}

Value &Call::resultValue()
{
    return result_.values.at(static_cast<std::size_t>(command_.method.resultOrdinal()));
}

QString Call::finishString()
{
    return std::move(std::get<QString>(resultValue()));
}

std::int32_t Call::finishInteger()
{
    return std::get<std::int32_t>(resultValue());
}

bool Call::finishBoolean()
{
    return std::get<bool>(resultValue());
}

TableReader *Call::finishTableReader()
{
    Value &v = resultValue();
    if (auto *t = std::get_if<DataTable>(&v))
        command_.reader = std::make_unique<TableReader>(std::move(*t));
    return command_.reader.get();
}

DataTable Call::finishDataPacket()
{
    Value &v = resultValue();
    if (auto *t = std::get_if<DataTable>(&v))
        return std::move(*t);
    return {};
}

QIODevice *Call::finishStream()
{
    Value &v = resultValue();
    if (auto *s = std::get_if<StreamValue>(&v)) {
        auto buffer = std::make_unique<QBuffer>();
        buffer->setData(std::move(s->bytes));
        buffer->open(QIODevice::ReadOnly);
        command_.stream = std::move(buffer);
    }
    return command_.stream.get();
}

const QJsonArray *Call::finishJsonArray()
{
    Value &v = resultValue();
    if (auto *j = std::get_if<JsonText>(&v))
        command_.jsonArray = QJsonDocument::fromJson(QByteArray::fromStdString(j->text)).array();
    return command_.jsonArray ? &*command_.jsonArray : nullptr;
}

} // namespace tarvik

TServerMethods1Client::TServerMethods1Client(tarvik::Connection *connection)
    : connection_(connection)
{
    if (!connection_ || !connection_->isOpen())
        throw tarvik::ConnectionError(QStringLiteral("Connection cannot be nil.  Make sure the connection has been opened."));
}

TServerMethods1Client::~TServerMethods1Client() = default;

tarvik::Command &TServerMethods1Client::command(tarvik::MethodId id)
{
    auto &slot = commands_[static_cast<std::size_t>(id)];
    if (!slot) {
        slot = std::make_unique<tarvik::Command>(tarvik::methodInfo(id));
        ++prepared_;
    }
    return *slot;
}

#define TARVIK_BIND(p) TARVIK_BIND_ p
#define TARVIK_BIND_(dir, kind, name) TARVIK_BIND_##dir(name)
#define TARVIK_BIND_In(name) call_.in(std::move(name));
#define TARVIK_BIND_Out(name) call_.out(name);

#define TARVIK_FINISH_None finishNone()
#define TARVIK_FINISH_String finishString()
#define TARVIK_FINISH_Integer finishInteger()
#define TARVIK_FINISH_Boolean finishBoolean()
#define TARVIK_FINISH_TableReader finishTableReader()
#define TARVIK_FINISH_DataPacket finishDataPacket()
#define TARVIK_FINISH_Stream finishStream()
#define TARVIK_FINISH_JsonArray finishJsonArray()
#define TARVIK_FINISH_Obj_TSonucBilgisi finishObject<TSonucBilgisi>()
#define TARVIK_FINISH_Obj_TSiparisDipAyrinti finishObject<TSiparisDipAyrinti>()
#define TARVIK_FINISH_Obj_TTusSonuclari finishObject<TTusSonuclari>()
#define TARVIK_FINISH_Obj_TMobilStok finishObject<TMobilStok>()
#define TARVIK_FINISH_Obj_TMobilStoklar finishObject<TMobilStoklar>()
#define TARVIK_FINISH_Obj_TMobilSepetler finishObject<TMobilSepetler>()
#define TARVIK_FINISH_Obj_TMobilCariBilgisi finishObject<TMobilCariBilgisi>()
#define TARVIK_FINISH_Obj_TAcilisEkran finishObject<TAcilisEkran>()
#define TARVIK_FINISH_Obj_TAcilisEkranlar finishObject<TAcilisEkranlar>()
#define TARVIK_FINISH_Obj_TAcilisEkranlariki finishObject<TAcilisEkranlariki>()

// Every method: take (or prepare) its command, bind the arguments by ordinal, execute, read the outs,
// hand back the result.
#define TARVIK_METHOD(name, res, ...)                                                                      \
    TARVIK_RT_##res TServerMethods1Client::name(TARVIK_FOR_EACH_COMMA(TARVIK_PARAM_DECL, __VA_ARGS__))     \
    {                                                                                                      \
        tarvik::Call call_(command(tarvik::MethodId::name));                                              \
        TARVIK_FOR_EACH(TARVIK_BIND, __VA_ARGS__)                                                          \
        call_.run(*connection_);                                                                           \
        return call_.TARVIK_FINISH_##res;                                                                  \
    }
#include "methods.def"
#undef TARVIK_METHOD
