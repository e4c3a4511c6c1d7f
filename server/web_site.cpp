#include "web_site.h"

#include <QAbstractHttpServer>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QLocale>
#include <QTcpServer>
#include <QUrl>
#include <QtDebug>

#include <exception>
#include <limits>
#include <utility>
#include <vector>

namespace tarvik::server {

using namespace Qt::StringLiterals;

namespace {

using Status = QHttpServerResponder::StatusCode;
using Method = QHttpServerRequest::Method;

const QString kFirmName = u"Tarvik Vidovevi"_s;
const QString kFormTitle = u"Tarvik Vidovevi B2B İstek Formu"_s;

// ---------------------------------------------------------------------------------------------------
// Answers

struct Reply
{
    Status status = Status::Ok;
    QByteArray contentType;
    QByteArray body;
    std::vector<std::pair<QByteArray, QByteArray>> headers;
};

Reply textReply(Status status, const QString &text)
{
    return {status, "text/plain; charset=utf-8", text.toUtf8(), {}};
}

Reply htmlReply(Status status, const QString &html)
{
    // No script on any page; the form may only post back to this site.
    return {status,
            "text/html; charset=utf-8",
            html.toUtf8(),
            {{"Content-Security-Policy",
              "default-src 'none'; style-src 'unsafe-inline'; img-src 'self'; form-action 'self'"}}};
}

QByteArray httpDate(const QDateTime &time)
{
    return QLocale::c().toString(time.toUTC(), u"ddd, dd MMM yyyy hh:mm:ss 'GMT'"_s).toLatin1();
}

// A HEAD request gets the same headers (Content-Length included) without the body.
void send(QHttpServerResponder &responder, const Reply &reply, bool head)
{
    responder.writeStatusLine(reply.status);
    responder.writeHeader("Content-Type", reply.contentType);
    responder.writeHeader("Content-Length", QByteArray::number(reply.body.size()));
    responder.writeHeader("Cache-Control", "no-cache");
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    for (const auto &[name, value] : reply.headers)
        responder.writeHeader(name, value);
    responder.writeBody(reply.body.constData(), head ? 0 : reply.body.size());
}

// ---------------------------------------------------------------------------------------------------
// Query strings and form bodies

using FormFields = std::vector<std::pair<QString, QString>>;

// Splits "a=1&b=2" into decoded pairs. `plusIsSpace` for form bodies (application/x-www-form-urlencoded);
// in the address itself a "+" is kept, since the client puts the machine identity there as it is.
FormFields parseFields(const QByteArray &text, bool plusIsSpace)
{
    FormFields fields;
    for (QByteArray part : text.split('&')) {
        if (part.isEmpty())
            continue;
        if (plusIsSpace)
            part.replace('+', ' ');
        const qsizetype eq = part.indexOf('=');
        const QByteArray name = eq < 0 ? part : part.left(eq);
        const QByteArray value = eq < 0 ? QByteArray() : part.mid(eq + 1);
        fields.emplace_back(QString::fromUtf8(QByteArray::fromPercentEncoding(name)),
                            QString::fromUtf8(QByteArray::fromPercentEncoding(value)));
    }
    return fields;
}

// The first value of `name` (names compare without regard to case, as the old site did).
std::optional<QString> field(const FormFields &fields, QStringView name)
{
    for (const auto &[n, v] : fields) {
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return v;
    }
    return std::nullopt;
}

FormFields queryFields(const QHttpServerRequest &request)
{
    return parseFields(request.url().query(QUrl::FullyEncoded).toLatin1(), false);
}

// A stock number: decimal digits only, within the range of a stock key.
std::optional<int> stockNumber(const QString &text)
{
    if (text.isEmpty() || text.size() > 10)
        return std::nullopt;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    const qlonglong n = text.toLongLong();
    if (n > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(n);
}

QByteArray imageType(const QByteArray &bytes)
{
    if (bytes.startsWith("\x89PNG"))
        return "image/png";
    if (bytes.startsWith("GIF8"))
        return "image/gif";
    if (bytes.startsWith("BM"))
        return "image/bmp";
    return "image/jpeg";
}

QString remoteText(const QHttpServerRequest &request)
{
    QHostAddress a = request.remoteAddress();
    bool isV4 = false;
    const quint32 v4 = a.toIPv4Address(&isV4);
    if (isV4)
        a = QHostAddress(v4);
    return a.toString();
}

// ---------------------------------------------------------------------------------------------------
// Pages

QString esc(const QString &text)
{
    return text.toHtmlEscaped();
}

const char16_t kStyle[] = uR"(
*{box-sizing:border-box}
body{margin:0;font-family:"Segoe UI",Tahoma,Arial,sans-serif;font-size:14px;color:#1f2933;background:#eef2f6}
header{background:#12355b;color:#fff;padding:12px 20px}
header .logo{font-size:19px;font-weight:600;letter-spacing:.4px}
header .tag{font-size:12px;opacity:.85}
main{max-width:720px;margin:16px auto;padding:0 12px}
.card{background:#fff;border-radius:6px;box-shadow:0 1px 3px rgba(0,0,0,.15);padding:18px 22px;margin-bottom:14px}
h1{font-size:20px;margin:0 0 8px;color:#12355b}
h2{font-size:16px;margin:14px 0 6px;color:#12355b}
p{line-height:1.5;margin:6px 0}
ul{margin:6px 0;padding-left:22px;line-height:1.5}
.notice{border-left:4px solid #e0a100;background:#fff8e1;padding:10px 14px;margin:10px 0}
.error{border-left:4px solid #c62828;background:#fdecea;padding:10px 14px;margin:10px 0;color:#7f1d1d}
.ok{border-left:4px solid #2e7d32;background:#edf7ed;padding:10px 14px;margin:10px 0}
.fields{display:flex;flex-wrap:wrap;margin:0 -6px}
.field{flex:1 1 45%;min-width:220px;padding:0 6px;margin-bottom:10px}
.field.wide{flex-basis:100%}
label{display:block;font-weight:600;margin-bottom:3px}
input,textarea{width:100%;padding:6px 8px;border:1px solid #b8c2cc;border-radius:4px;font:inherit;color:inherit;background:#fff}
textarea{min-height:58px;resize:vertical}
input:focus,textarea:focus{outline:2px solid #7fb0e6;border-color:#4a90d9}
.invalid{border-color:#c62828;background:#fff6f6}
.req{color:#c62828}
.actions{display:flex;align-items:center;justify-content:space-between;flex-wrap:wrap;margin-top:6px}
button{background:#12355b;color:#fff;border:0;border-radius:4px;padding:9px 24px;font:inherit;font-weight:600;cursor:pointer}
button:hover{background:#1d4f85}
.muted{color:#6b7785;font-size:12px}
code{background:#f0f3f6;padding:1px 5px;border-radius:3px;font-family:Consolas,monospace}
a{color:#1d4f85}
footer{text-align:center;color:#6b7785;font-size:12px;padding:4px 0 18px}
)";

QString page(const QString &title, const QString &content)
{
    return u"<!DOCTYPE html>\n<html lang=\"tr\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta http-equiv=\"X-UA-Compatible\" content=\"IE=edge\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>"_s
        % esc(title) % u"</title>\n<style>"_s % QStringView(kStyle) % u"</style>\n</head>\n<body>\n"
        "<header><div class=\"logo\">"_s
        % kFirmName
        % u"</div><div class=\"tag\">Otomotiv yedek parça dağıtımı</div></header>\n<main>\n"_s
        % content
        % u"</main>\n<footer>© "_s % QString::number(QDate::currentDate().year()) % u" "_s % kFirmName
        % u" · Yedek parça toptan dağıtımı</footer>\n</body>\n</html>\n"_s;
}

QString notFoundPage()
{
    return page(u"Sayfa bulunamadı – "_s % kFirmName,
                u"<div class=\"card\"><h1>Sayfa bulunamadı</h1>"
                "<p>Aradığınız sayfa bu sitede yok.</p><p><a href=\"/\">Ana sayfaya dönün</a></p></div>\n"_s);
}

// The request form: one entry per field, in the order they appear on the page.
struct FormEntry
{
    const char16_t *name;     // the input's name and id
    QString RequestForm::*member;
    const char16_t *label;
    const char16_t *type;     // input type; nullptr for a multi-line box
    const char16_t *autocomplete;
    bool required;
    bool wide;
};

const FormEntry kEntries[] = {
    {u"firma", &RequestForm::companyName, u"Firma Adı", u"text", u"organization", true, true},
    {u"yetkili", &RequestForm::contactPerson, u"Yetkili Kişi", u"text", u"name", false, false},
    {u"telefon", &RequestForm::phone, u"Telefon", u"tel", u"tel", true, false},
    {u"eposta", &RequestForm::email, u"E-posta", u"email", u"email", false, false},
    {u"sehir", &RequestForm::city, u"İl / İlçe", u"text", u"address-level2", false, false},
    {u"adres", &RequestForm::address, u"Adres", nullptr, u"street-address", false, true},
    {u"vergidairesi", &RequestForm::taxOffice, u"Vergi Dairesi", u"text", u"off", false, false},
    {u"vergino", &RequestForm::taxNumber, u"Vergi No", u"text", u"off", false, false},
    {u"not", &RequestForm::note, u"Notunuz", nullptr, u"off", false, true},
};

struct FormProblems
{
    QStringList messages;
    QStringList fields; // names of the entries to mark
    bool any() const { return !messages.isEmpty(); }
};

QString missingMachineText()
{
    return u"Bilgisayar kimliği eksik. Bu form Tarvik B2B programının içinden açılmalıdır; "
           "lütfen programı yeniden başlatın."_s;
}

FormProblems check(const RequestForm &form)
{
    FormProblems p;
    if (form.machineId.isEmpty())
        p.messages << missingMachineText();
    else if (form.machineId.size() > WebSite::kMaxFieldLength)
        p.messages << u"Bilgisayar kimliği geçersiz."_s;
    for (const FormEntry &e : kEntries) {
        const QString &value = form.*e.member;
        const QString label = QString::fromUtf16(e.label);
        if (e.required && value.isEmpty()) {
            p.messages << u"«"_s % label % u"» boş bırakılamaz."_s;
            p.fields << QString::fromUtf16(e.name);
        } else if (value.size() > WebSite::kMaxFieldLength) {
            p.messages << u"«"_s % label % u"» en çok "_s % QString::number(WebSite::kMaxFieldLength)
                    % u" karakter olabilir (yazılan: "_s % QString::number(value.size()) % u")."_s;
            p.fields << QString::fromUtf16(e.name);
        }
    }
    return p;
}

QString formAction(const QString &machineId)
{
    return u"/formmailgonder.aspx?carino=0&kullanici=%20&id="_s
        % QString::fromLatin1(QUrl::toPercentEncoding(machineId));
}

QString formPage(const RequestForm &form, const QStringList &problems, const QStringList &badFields)
{
    QString content = u"<div class=\"card\">\n<h1>"_s % esc(kFormTitle) % u"</h1>\n"_s;
    if (!form.machineId.isEmpty()) {
        content += u"<div class=\"notice\">Bu bilgisayar henüz sistemimizde kayıtlı değil. "
                   "Tarvik B2B sipariş programını kullanabilmeniz için bilgisayarınızın tanımlanması "
                   "gerekiyor.</div>\n"
                   "<p>Lütfen aşağıdaki formu firmanızın bilgileriyle doldurup gönderin. Bilgileriniz "
                   "incelendikten sonra bilgisayarınız tanımlanır ve size bilgi verilir.</p>\n"_s;
    }
    if (!problems.isEmpty()) {
        content += u"<div class=\"error\" role=\"alert\"><strong>Form gönderilemedi:</strong>\n<ul>\n"_s;
        for (const QString &m : problems)
            content += u"<li>"_s % esc(m) % u"</li>\n"_s;
        content += u"</ul></div>\n"_s;
    }
    content += u"<form method=\"post\" action=\""_s % esc(formAction(form.machineId))
        % u"\" accept-charset=\"utf-8\">\n<input type=\"hidden\" name=\"id\" value=\""_s
        % esc(form.machineId) % u"\">\n<div class=\"fields\">\n"_s;
    for (const FormEntry &e : kEntries) {
        const QString name = QString::fromUtf16(e.name);
        const bool bad = badFields.contains(name);
        const QString common = u" id=\""_s % name % u"\" name=\""_s % name % u"\" maxlength=\""_s
            % QString::number(WebSite::kMaxFieldLength) % u"\" autocomplete=\""_s
            % QString::fromUtf16(e.autocomplete) % u"\""_s % (e.required ? u" required"_s : QString())
            % (bad ? u" class=\"invalid\" aria-invalid=\"true\""_s : QString());
        content += u"<div class=\"field"_s % (e.wide ? u" wide"_s : QString()) % u"\"><label for=\""_s
            % name % u"\">"_s % QString::fromUtf16(e.label)
            % (e.required ? u" <span class=\"req\" title=\"zorunlu\">*</span>"_s : QString())
            % u"</label>"_s;
        if (e.type)
            content += u"<input type=\""_s % QString::fromUtf16(e.type) % u"\""_s % common % u" value=\""_s
                % esc(form.*e.member) % u"\">"_s;
        else
            content += u"<textarea rows=\"2\""_s % common % u">"_s % esc(form.*e.member) % u"</textarea>"_s;
        content += u"</div>\n"_s;
    }
    content += u"</div>\n<div class=\"actions\"><span class=\"muted\"><span class=\"req\">*</span> "
               "işaretli alanların doldurulması zorunludur.</span>"
               "<button type=\"submit\">Formu Gönder</button></div>\n</form>\n"_s;
    if (!form.machineId.isEmpty())
        content += u"<p class=\"muted\">Bilgisayar kimliği: <code>"_s % esc(form.machineId) % u"</code></p>\n"_s;
    content += u"</div>\n"_s;
    return page(kFormTitle, content);
}

QString thanksPage(const RequestForm &form)
{
    return page(kFormTitle,
                u"<div class=\"card\">\n<h1>Teşekkür ederiz!</h1>\n<div class=\"ok\">İsteğiniz bize ulaştı.</div>\n"
                "<p><strong>"_s
                    % esc(form.companyName)
                    % u"</strong> adına gönderdiğiniz bilgiler kaydedildi. Bilgileriniz incelendikten "
                      "sonra bilgisayarınız tanımlanacak ve "_s
                    % esc(form.phone)
                    % u" numaralı telefon üzerinden sizinle iletişime geçilecektir.</p>\n"
                      "<p>Bilgisayarınız tanımlandığında Tarvik B2B programına kullanıcı adınız ve "
                      "şifrenizle giriş yapabilirsiniz.</p>\n"
                      "<p class=\"muted\">Bu pencereyi alttaki «Kapat» düğmesiyle kapatabilirsiniz.</p>\n</div>\n"_s);
}

QString failurePage(const RequestForm &form)
{
    return formPage(form,
                    {u"İsteğiniz şu anda kaydedilemedi. Lütfen birkaç dakika sonra formu yeniden "
                     "gönderin; sorun sürerse bizi telefonla arayın."_s},
                    {});
}

QString homePage(bool hasSetup)
{
    QString content = u"<div class=\"card\">\n<h1>"_s % kFirmName
        % u"</h1>\n<p>"_s % kFirmName
        % u", otomotiv yedek parçalarında bayilerine hizmet veren bir toptan dağıtım firmasıdır. "
          "Binek ve hafif ticari araçlar için motor, fren, süspansiyon, elektrik ve bakım parçalarını "
          "geniş stoktan, hızlı sevkiyatla sunarız.</p>\n"
          "<h2>Tarvik B2B ile sipariş</h2>\n"
          "<p>Bayilerimiz stok, fiyat ve kampanyaları Tarvik B2B sipariş programından izler, "
          "siparişlerini, bakiyelerini ve faturalarını aynı programdan takip eder.</p>\n<ul>\n"
          "<li>Güncel stok ve fiyat bilgisi, parça resimleri</li>\n"
          "<li>Kampanyalı ürünler ve yeni gelen parçalar</li>\n"
          "<li>Sepet, sipariş geçmişi ve cari hesap ekstresi</li>\n</ul>\n"
          "<h2>Bayimiz olun</h2>\n"
          "<p>Programı kurduktan sonra ilk açılışta çıkan <em>B2B İstek Formu</em>nu doldurmanız yeterlidir; "
          "bilgisayarınız tanımlandığında size haber veririz.</p>\n"_s;
    if (hasSetup)
        content += u"<p><a href=\"/exe/TarvikSetup.exe\">Tarvik B2B kurulum programını indirin</a></p>\n"_s;
    content += u"</div>\n"_s;
    return page(kFirmName % u" – Otomotiv Yedek Parça"_s, content);
}

} // namespace

// ---------------------------------------------------------------------------------------------------

class WebSite::Server : public QAbstractHttpServer
{
public:
    Server(PictureProvider picture, RequestStore storeRequest, QString setupFile)
        : picture_(std::move(picture)), storeRequest_(std::move(storeRequest)), setupFile_(std::move(setupFile))
    {
    }

    QTcpServer *tcp = nullptr;

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override
    {
        QHttpServerResponder responder = makeResponder(request, socket);
        const bool head = request.method() == Method::Head;
        Reply reply;
        try {
            reply = route(request);
        } catch (const std::exception &e) {
            qWarning("web site: %s %s failed: %s", qUtf8Printable(methodName(request)),
                     qUtf8Printable(request.url().path()), e.what());
            reply = textReply(Status::InternalServerError, u"Sunucu hatası."_s);
        } catch (...) {
            qWarning("web site: %s %s failed", qUtf8Printable(methodName(request)), qUtf8Printable(request.url().path()));
            reply = textReply(Status::InternalServerError, u"Sunucu hatası."_s);
        }
        send(responder, reply, head);
        return true;
    }

    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override
    {
        QHttpServerResponder responder = makeResponder(request, socket);
        send(responder, htmlReply(Status::NotFound, notFoundPage()), request.method() == Method::Head);
    }

private:
    static QString methodName(const QHttpServerRequest &request)
    {
        switch (request.method()) {
        case Method::Get: return u"GET"_s;
        case Method::Head: return u"HEAD"_s;
        case Method::Post: return u"POST"_s;
        default: return u"?"_s;
        }
    }

    static Reply notAllowed(QByteArray allow)
    {
        Reply r = textReply(Status::MethodNotAllowed, u"Bu yöntem desteklenmiyor."_s);
        r.headers.emplace_back("Allow", std::move(allow));
        return r;
    }

    Reply route(const QHttpServerRequest &request)
    {
        const QString path = request.url().path();
        const Method method = request.method();
        const bool read = method == Method::Get || method == Method::Head;
        auto is = [&path](QStringView p) { return path.compare(p, Qt::CaseInsensitive) == 0; };

        if (path.isEmpty() || path == u"/")
            return read ? htmlReply(Status::Ok, homePage(!setupFile_.isEmpty() && QFileInfo(setupFile_).isFile()))
                        : notAllowed("GET, HEAD");
        if (is(u"/resimgoster.ashx"))
            return read ? picture(request) : notAllowed("GET, HEAD");
        if (is(u"/formmailgonder.aspx")) {
            if (read)
                return showForm(request);
            if (method == Method::Post)
                return submitForm(request);
            return notAllowed("GET, HEAD, POST");
        }
        if (is(u"/exe/TarvikSetup.exe"))
            return read ? setup() : notAllowed("GET, HEAD");
        return htmlReply(Status::NotFound, notFoundPage());
    }

    Reply picture(const QHttpServerRequest &request)
    {
        const std::optional<int> stokNo = stockNumber(field(queryFields(request), u"id").value_or(QString()));
        if (!stokNo)
            return textReply(Status::NotFound, u"Resim bulunamadı."_s);
        std::optional<QByteArray> bytes;
        try {
            bytes = picture_ ? picture_(*stokNo) : std::nullopt;
        } catch (const std::exception &e) {
            qWarning("web site: picture of stock %d: %s", *stokNo, e.what());
            return textReply(Status::InternalServerError, u"Resim okunamadı."_s);
        }
        if (!bytes || bytes->isEmpty())
            return textReply(Status::NotFound, u"Resim bulunamadı."_s);
        return {Status::Ok, imageType(*bytes), std::move(*bytes), {}};
    }

    static QString machineIdFrom(const FormFields &query, const FormFields &body)
    {
        QString id = field(query, u"id").value_or(QString()).trimmed();
        if (id.isEmpty())
            id = field(body, u"id").value_or(QString()).trimmed();
        return id;
    }

    Reply showForm(const QHttpServerRequest &request)
    {
        RequestForm form;
        form.machineId = machineIdFrom(queryFields(request), {});
        QStringList problems;
        if (form.machineId.isEmpty()) {
            problems << missingMachineText();
        } else if (form.machineId.size() > kMaxFieldLength) {
            problems << u"Bilgisayar kimliği geçersiz."_s;
        }
        return htmlReply(Status::Ok, formPage(form, problems, {}));
    }

    Reply submitForm(const QHttpServerRequest &request)
    {
        const QByteArray body = request.body();
        if (body.size() > kMaxBodySize)
            return htmlReply(Status::PayloadTooLarge,
                             page(kFormTitle, u"<div class=\"card\"><h1>Form çok büyük</h1><p>Gönderilen bilgiler "
                                              "kabul edilebilecek boyutu aşıyor. Lütfen alanları kısaltıp yeniden "
                                              "deneyin.</p></div>\n"_s));
        const FormFields fields = parseFields(body, true);
        RequestForm form;
        form.machineId = machineIdFrom(queryFields(request), fields);
        for (const FormEntry &e : kEntries)
            form.*e.member = field(fields, e.name).value_or(QString()).trimmed();
        form.remoteAddress = remoteText(request);

        const FormProblems problems = check(form);
        if (problems.any())
            return htmlReply(Status::BadRequest, formPage(form, problems.messages, problems.fields));
        try {
            if (!storeRequest_)
                throw std::runtime_error("no outbox");
            storeRequest_(form);
        } catch (const std::exception &e) {
            qWarning("web site: request form of %s not stored: %s", qUtf8Printable(form.machineId), e.what());
            return htmlReply(Status::InternalServerError, failurePage(form));
        } catch (...) {
            qWarning("web site: request form of %s not stored", qUtf8Printable(form.machineId));
            return htmlReply(Status::InternalServerError, failurePage(form));
        }
        return htmlReply(Status::Ok, thanksPage(form));
    }

    Reply setup()
    {
        const Reply missing = textReply(Status::NotFound, u"Kurulum dosyası bulunamadı."_s);
        if (setupFile_.isEmpty())
            return missing;
        const QFileInfo info(setupFile_);
        if (!info.isFile())
            return missing;
        QFile file(setupFile_);
        if (!file.open(QIODevice::ReadOnly)) {
            qWarning("web site: cannot read %s: %s", qUtf8Printable(setupFile_), qUtf8Printable(file.errorString()));
            return missing;
        }
        Reply r{Status::Ok, "application/octet-stream", {}, {}};
        // Read whole: the setup program is a few MB, and a HEAD answer needs the same length.
        r.body = file.readAll();
        r.headers.emplace_back("Content-Disposition", "attachment; filename=\"TarvikSetup.exe\"");
        r.headers.emplace_back("Last-Modified", httpDate(info.lastModified()));
        return r;
    }

    PictureProvider picture_;
    RequestStore storeRequest_;
    QString setupFile_;
};

WebSite::WebSite(PictureProvider picture, RequestStore storeRequest, QString setupFile)
    : server_(std::make_unique<Server>(std::move(picture), std::move(storeRequest), std::move(setupFile)))
{
}

WebSite::~WebSite() = default;

bool WebSite::listen(const QHostAddress &address, quint16 port, QString *error)
{
    if (server_->tcp) {
        if (error)
            *error = u"already listening"_s;
        return false;
    }
    auto *tcp = new QTcpServer(server_.get());
    if (!tcp->listen(address, port)) {
        if (error)
            *error = tcp->errorString();
        delete tcp;
        return false;
    }
    server_->bind(tcp);
    server_->tcp = tcp;
    return true;
}

QHostAddress WebSite::address() const
{
    return server_->tcp ? server_->tcp->serverAddress() : QHostAddress();
}

quint16 WebSite::port() const
{
    return server_->tcp ? server_->tcp->serverPort() : 0;
}

} // namespace tarvik::server
