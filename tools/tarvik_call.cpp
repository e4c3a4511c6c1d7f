// tarvik-call: calls one remote method of TServerMethods1 from the command line and prints what went
// over the wire; also listens on the notification channel, checks the connection and tells this
// machine's identity.
//
//   tarvik-call [--server HOST:PORT] [--dry-run] [--save FILE] METHOD [ARG ...]
//   tarvik-call [--server HOST:PORT] --listen     registers like the client; one line per notification
//   tarvik-call [--server HOST:PORT] --check      the connection check; exit 0 when open, 3 when not
//   tarvik-call --whoami                          the machine fields the client sends, as JSON
//
// METHOD is the wire name (SepetEkle2) or the command text (TServerMethods1.SepetEkle2). Each ARG is one
// JSON value for the next input parameter; an object parameter takes a JSON object of field names to
// values, applied onto a new instance of its class, or null. --save writes a stream result (a picture, a
// PDF) to FILE; the file appears whole or not at all.
//
// Exit codes: 0 success, 2 usage error, 3 connection failure, 4 error raised by the server.

#include "callback_channel.h"
#include "catalogue.h"
#include "connection.h"
#include "errors.h"
#include "json_writer.h"
#include "localenv.h"
#include "marshal.h"
#include "protocol.h"
#include "remote_connection.h"
#include "table_json.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDate>
#include <QDateTime>
#include <QSaveFile>

#include <QThread>

#include <atomic>
#include <csignal>
#include <cstdio>

namespace {

using namespace tarvik;

constexpr int kUsage = 2;
constexpr int kConnection = 3;
constexpr int kServer = 4;

int fail(int code, const QString &text)
{
    std::fprintf(stderr, "tarvik-call: %s\n", qPrintable(text));
    return code;
}

void writeCell(JsonWriter &w, DbxType type, const QVariant &v);

void writeTableRows(JsonWriter &w, const DataTable &t)
{
    w.beginObject();
    w.key("columns");
    w.beginArray();
    for (const DataColumn &c : t.columns())
        w.value(c.name);
    w.endArray();
    w.key("rows");
    w.beginArray();
    for (int r = 0; r < t.rowCount(); ++r) {
        w.beginArray();
        for (int c = 0; c < t.columnCount(); ++c)
            writeCell(w, t.column(c).type, t.value(r, c));
        w.endArray();
    }
    w.endArray();
    w.endObject();
}

void writeCell(JsonWriter &w, DbxType type, const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return w.null();
    switch (type) {
    case DbxType::Int32:
    case DbxType::Int64: return w.value(static_cast<std::int64_t>(v.toLongLong()));
    case DbxType::Double: return w.value(v.toDouble());
    case DbxType::Boolean: return w.value(v.toBool());
    case DbxType::Date: return w.value(v.toDate().toString(Qt::ISODate));
    case DbxType::DateTime: return w.value(v.toDateTime().toString(Qt::ISODateWithMs));
    case DbxType::BinaryBlob: return w.value(QString::fromLatin1(v.toByteArray().toBase64()));
    case DbxType::JsonValue: {
        const QByteArray j = v.toByteArray();
        return w.raw(std::string_view(j.constData(), static_cast<std::size_t>(j.size())));
    }
    case DbxType::Table: return writeTableRows(w, v.value<DataTable>());
    default: return w.value(v.toString());
    }
}

void writeValue(JsonWriter &w, const Value &v)
{
    std::visit(
        [&](const auto &x) {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::monostate>)
                w.null();
            else if constexpr (std::is_same_v<T, QString> || std::is_same_v<T, double> || std::is_same_v<T, bool>)
                w.value(x);
            else if constexpr (std::is_same_v<T, std::int32_t> || std::is_same_v<T, std::int64_t>)
                w.value(static_cast<std::int64_t>(x));
            else if constexpr (std::is_same_v<T, std::unique_ptr<TransferObject>>)
                marshal(w, x.get());
            else if constexpr (std::is_same_v<T, DataTable>)
                writeTableRows(w, x);
            else if constexpr (std::is_same_v<T, StreamValue>) {
                w.beginObject();
                w.key("size");
                w.value(static_cast<std::int64_t>(x.bytes.size()));
                w.key("sha256");
                w.value(QString::fromLatin1(QCryptographicHash::hash(x.bytes, QCryptographicHash::Sha256).toHex()));
                w.endObject();
            } else if constexpr (std::is_same_v<T, JsonText>)
                w.raw(x.text);
            else if constexpr (std::is_same_v<T, CallbackValue>)
                w.value(x.id);
        },
        v);
}

// Answers the server's calls of a callback argument with true, and tells on stderr what it received.
class PrintingCallback final : public RemoteCallback
{
public:
    using RemoteCallback::RemoteCallback;
    QByteArray Execute(std::string_view arg) override
    {
        std::fprintf(stderr, "callback %s: %.*s\n", qPrintable(name()), int(arg.size()), arg.data());
        return "true";
    }
};

std::atomic<bool> interrupted{false};

// Prints each notification on a line of its own and answers true, as the client does.
class PrintingNotification final : public RemoteCallback
{
public:
    using RemoteCallback::RemoteCallback;
    QByteArray Execute(std::string_view arg) override
    {
        std::printf("notification: %.*s\n", int(arg.size()), arg.data());
        std::fflush(stdout);
        return "true";
    }
};

int listen(const QString &host, quint16 port)
{
    CallbackChannelManager manager;
    manager.DSHostname = host;
    manager.DSPort = QString::number(port);
    manager.RegisterCallback(std::make_shared<PrintingNotification>(manager.ChannelName));
    std::signal(SIGINT, [](int) { interrupted = true; });
    std::signal(SIGTERM, [](int) { interrupted = true; });
    int announced = 0;
    while (!interrupted) {
        if (manager.registrations() != announced) {
            announced = manager.registrations();
            std::fprintf(stderr, "registered on channel %s at %s:%u\n", qPrintable(manager.ChannelName), qPrintable(host), unsigned(port));
        }
        QThread::msleep(50);
    }
    manager.stop();
    return 0;
}

// The machine fields the client puts into its identity record, and its settings folder.
int whoami()
{
    JsonWriter w;
    w.beginObject();
    w.key("BILGISAYARID"); w.value(BilgisayarIdAl());
    w.key("BilgiSayarAdi"); w.value(BilgisayarAdiAl());
    w.key("BilgisayarKullanici"); w.value(KullaniciAdiAl());
    w.key("Icip"); w.value(YerelIpAl());
    w.key("AyarKlasoru"); w.value(AyarKlasoruAl());
    w.endObject();
    std::printf("%s\n", w.data().constData());
    return 0;
}

int check(const QString &host, quint16 port)
{
    RemoteConnection connection;
    connection.setHostName(host);
    connection.setPort(QString::number(port));
    if (BaglantiKontrol(connection, 0))
        return 0;
    return fail(kConnection, QStringLiteral("%1 (%2:%3)").arg(kBaglantiKurulamiyor, host).arg(port));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();

    QString host;
    quint16 port = 0;
    defaultServer(&host, &port);
    bool dryRun = false;
    QString mode, saveTo;
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString opt = args.takeFirst();
        if (opt == QLatin1String("--dry-run")) {
            dryRun = true;
        } else if (opt == QLatin1String("--listen") || opt == QLatin1String("--check") || opt == QLatin1String("--whoami")) {
            mode = opt;
        } else if (opt == QLatin1String("--save") && !args.isEmpty()) {
            saveTo = args.takeFirst();
        } else if (opt == QLatin1String("--server") && !args.isEmpty()) {
            if (!parseHostPort(args.takeFirst(), &host, &port))
                return fail(kUsage, QStringLiteral("--server needs HOST:PORT"));
        } else {
            return fail(kUsage, QStringLiteral("unknown option %1\nusage: tarvik-call [--server HOST:PORT] [--dry-run] [--save FILE] METHOD [ARG ...]").arg(opt));
        }
    }
    if (!mode.isEmpty() && !args.isEmpty())
        return fail(kUsage, QStringLiteral("%1 takes no method").arg(mode));
    if (mode == QLatin1String("--listen"))
        return listen(host, port);
    if (mode == QLatin1String("--check"))
        return check(host, port);
    if (mode == QLatin1String("--whoami"))
        return whoami();
    if (args.isEmpty())
        return fail(kUsage, QStringLiteral("usage: tarvik-call [--server HOST:PORT] [--dry-run] [--save FILE] METHOD [ARG ...]"));

    const QByteArray methodName = args.takeFirst().toUtf8();
    const MethodInfo *method = findMethod(std::string_view(methodName.constData(), static_cast<std::size_t>(methodName.size())));
    if (!method)
        return fail(kUsage, QStringLiteral("unknown method %1").arg(QString::fromUtf8(methodName)));
    if (args.size() != method->inputCount())
        return fail(kUsage, QStringLiteral("%1 takes %2 input arguments, %3 given")
                                .arg(QLatin1String(method->command.data(), method->command.size()))
                                .arg(method->inputCount())
                                .arg(args.size()));

    ExecuteRequest request;
    request.id = 1;
    request.method = method;
    try {
        qsizetype next = 0;
        for (const ParamInfo &p : method->params) {
            if (p.out) {
                request.params.emplace_back(std::monostate());
                continue;
            }
            const QByteArray text = args[next++].toUtf8();
            const std::string_view json(text.constData(), static_cast<std::size_t>(text.size()));
            const std::string what = std::string(method->name) + "." + std::string(p.name);
            if (p.kind == ValueKind::Object) {
                if (text.trimmed() == "null") {
                    request.params.emplace_back(std::monostate());
                    continue;
                }
                if (!p.cls)
                    throw ConversionError(QStringLiteral("%1 takes any object; pass null").arg(QString::fromStdString(what)));
                std::unique_ptr<TransferObject> object = p.cls->create();
                applyFields(*object, json);
                request.params.emplace_back(std::move(object));
            } else if (p.kind == ValueKind::Callback) {
                const Value id = parseValue(json, ValueKind::String, nullptr, what);
                auto cb = std::make_shared<PrintingCallback>(std::get<QString>(id));
                request.params.emplace_back(CallbackValue{cb->name(), cb});
            } else {
                request.params.push_back(parseValue(json, p.kind, p.cls, what));
            }
        }
    } catch (const RemoteError &e) {
        return fail(kUsage, e.message());
    }

    JsonWriter out(4096);
    out.beginObject();
    out.key("command");
    out.value(method->command);
    if (dryRun) {
        QByteArray sent;
        try {
            sent = encodeExecute(request);
        } catch (const RemoteError &e) {
            return fail(kUsage, e.message());
        }
        out.key("request");
        out.raw(std::string_view(sent.constData(), static_cast<std::size_t>(sent.size())));
        out.endObject();
        std::printf("%s\n", out.data().constData());
        return 0;
    }

    TcpConnection connection(host, port);
    try {
        connection.open();
    } catch (const RemoteError &e) {
        return fail(kConnection, e.message());
    }
    ExecuteResult result;
    try {
        result = connection.execute(std::move(request));
    } catch (const ServerError &e) {
        return fail(kServer, e.className() + QStringLiteral(": ") + e.message());
    } catch (const ConversionError &e) {
        return fail(kServer, QStringLiteral("the answer does not fit: ") + e.message());
    } catch (const RemoteError &e) {
        return fail(kConnection, e.message());
    }
    const QByteArray &sent = connection.lastRequest();
    out.key("request");
    out.raw(std::string_view(sent.constData(), static_cast<std::size_t>(sent.size())));
    out.key("response");
    out.beginObject();
    for (int i = 0; i < method->paramCount(); ++i) {
        const ParamInfo &p = method->params[static_cast<std::size_t>(i)];
        if (!p.out)
            continue;
        out.key(p.name);
        writeValue(out, result.values[static_cast<std::size_t>(i)]);
    }
    if (method->resultOrdinal() >= 0) {
        out.key("result");
        writeValue(out, result.values[static_cast<std::size_t>(method->resultOrdinal())]);
    }
    out.endObject();
    out.endObject();
    if (!saveTo.isEmpty()) {
        const auto *stream = method->resultOrdinal() >= 0
                                 ? std::get_if<StreamValue>(&result.values[static_cast<std::size_t>(method->resultOrdinal())])
                                 : nullptr;
        if (!stream)
            return fail(kUsage, QStringLiteral("--save: %1 returns no stream").arg(QLatin1String(method->command.data(), method->command.size())));
        QSaveFile file(saveTo);
        if (!file.open(QIODevice::WriteOnly) || file.write(stream->bytes) != stream->bytes.size() || !file.commit())
            return fail(kUsage, QStringLiteral("cannot write %1: %2").arg(saveTo, file.errorString()));
    }
    std::fwrite(out.data().constData(), 1, static_cast<std::size_t>(out.data().size()), stdout);
    std::fputc('\n', stdout);
    return 0;
}
