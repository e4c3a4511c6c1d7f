#include "documents.h"

#include "artwork.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <array>
#include <functional>
#include <memory>

namespace tarvik::server {

namespace {

const QColor kRule(0xC9, 0xD2, 0xDC);
const QColor kStripe(0xF3, 0xF6, 0xF9);
const QColor kGroupFill(0xFD, 0xF0, 0xE2);
const QColor kTotalFill(0xE3, 0xEA, 0xF3);
const QColor kGreen(0x2E, 0x8B, 0x57);

constexpr int kResolution = 600; // device units per inch of the PDF painter
constexpr qreal kPageWidth = 210, kPageHeight = 297, kMargin = 15;

QString dateText(const QDate &d) { return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : QString(); }
QString dateTimeText(const QDateTime &d) { return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy HH:mm")) : QString(); }

QFont docFont(qreal points, QFont::Weight weight = QFont::Normal)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setWeight(weight);
    return f;
}

void requireText(const char *what)
{
    if (!canDrawText())
        throw DocumentError(QString::fromLatin1(what)
                            + QStringLiteral(": PDF yazmak için QGuiApplication gerekir (sunucu ve testler"
                                             " \"offscreen\" platformuyla çalışır)"));
}

// A PDF being written into memory, with millimetre helpers for the painter.
class Pdf
{
public:
    explicit Pdf(const QString &title) : buffer_(&bytes_)
    {
        buffer_.open(QIODevice::WriteOnly);
        writer_ = std::make_unique<QPdfWriter>(&buffer_);
        writer_->setResolution(kResolution);
        writer_->setPageSize(QPageSize(QPageSize::A4));
        writer_->setPageOrientation(QPageLayout::Portrait);
        writer_->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        writer_->setTitle(title);
        writer_->setCreator(QStringLiteral("tarvik-server"));
        if (!painter.begin(writer_.get()))
            throw DocumentError(QStringLiteral("PDF başlatılamadı: %1").arg(title));
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
    }

    QByteArray finish()
    {
        painter.end();
        writer_.reset();
        buffer_.close();
        return bytes_;
    }

    void newPage() { writer_->newPage(); }

    static qreal mm(qreal v) { return v * kResolution / 25.4; }
    static QRectF mm(qreal x, qreal y, qreal w, qreal h) { return QRectF(mm(x), mm(y), mm(w), mm(h)); }
    static QPointF mmPoint(qreal x, qreal y) { return QPointF(mm(x), mm(y)); }

    QFontMetricsF metrics(const QFont &f) const { return QFontMetricsF(f, writer_.get()); }

    void text(qreal x, qreal y, qreal w, qreal h, const QString &s, const QFont &f, const QColor &c, int align,
              bool elide = true, qreal minScale = 0.8)
    {
        const QRectF r = mm(x, y, w, h);
        QFont font = f;
        if (elide) {
            // A text a little too long is set smaller (down to minScale of its size) before it is cut.
            const qreal smallest = f.pointSizeF() * minScale;
            while (font.pointSizeF() - 0.25 >= smallest && metrics(font).horizontalAdvance(s) > r.width())
                font.setPointSizeF(font.pointSizeF() - 0.25);
        }
        painter.setFont(font);
        painter.setPen(c);
        painter.drawText(r, align, elide ? metrics(font).elidedText(s, Qt::ElideRight, r.width()) : s);
    }
    void fill(qreal x, qreal y, qreal w, qreal h, const QColor &c) { painter.fillRect(mm(x, y, w, h), c); }
    void line(qreal x1, qreal y1, qreal x2, qreal y2, const QColor &c, qreal widthMm)
    {
        painter.setPen(QPen(c, mm(widthMm)));
        painter.drawLine(mmPoint(x1, y1), mmPoint(x2, y2));
    }
    void roundedBox(qreal x, qreal y, qreal w, qreal h, qreal radius, const QColor &border, const QBrush &fillBrush,
                    qreal borderMm = 0.3)
    {
        painter.setPen(border.isValid() ? QPen(border, mm(borderMm)) : QPen(Qt::NoPen));
        painter.setBrush(fillBrush);
        painter.drawRoundedRect(mm(x, y, w, h), mm(radius), mm(radius));
        painter.setBrush(Qt::NoBrush);
    }

    QPainter painter;

private:
    QByteArray bytes_;
    QBuffer buffer_;
    std::unique_ptr<QPdfWriter> writer_;
};

// ---------------------------------------------------------------------------------------------------
// Reports: a title, an information block, summary figures and one table that flows over pages.

enum class RowStyle { Normal, Group, Subtotal, Total, Note };

struct Column
{
    QString title;
    qreal width; // mm
    int align;
};

struct Row
{
    RowStyle style = RowStyle::Normal;
    QStringList cells; // Group and Note rows: one text across the table
};

struct Figure
{
    QString label;
    QString value;
    QColor accent;
};

struct Report
{
    QString title;
    QString period;
    QList<std::pair<QString, QString>> info;
    QList<Figure> figures;
    QList<Column> columns;
    std::vector<Row> rows;
    QString footer;
};

qreal rowHeight(RowStyle s)
{
    switch (s) {
    case RowStyle::Normal: return 5.6;
    case RowStyle::Group: return 6.6;
    case RowStyle::Subtotal: return 6.0;
    case RowStyle::Total: return 7.0;
    case RowStyle::Note: return 8.0;
    }
    return 5.6;
}

constexpr qreal kHeaderBottom = 38;      // page header: company and title
constexpr qreal kFirstPageExtra = 40;    // information block and figures, first page only
constexpr qreal kTableHeader = 8.5;
constexpr qreal kFooterTop = kPageHeight - 14;

struct Page
{
    std::size_t first, last;     // rows [first, last)
    int continuedGroup = -1;     // a group that runs on from the page before: its title row, repeated
};

// Splits the rows over pages. A group title never ends a page; a page that starts inside a group
// repeats the group's title first ("(devam)").
std::vector<Page> paginate(const std::vector<Row> &rows)
{
    std::vector<Page> pages;
    std::size_t i = 0;
    int openGroup = -1;
    do {
        const qreal top = kHeaderBottom + (pages.empty() ? kFirstPageExtra : 4) + kTableHeader;
        const qreal room = kFooterTop - 3 - top;
        Page page{i, i, -1};
        qreal used = 0;
        if (openGroup >= 0 && i < rows.size() && rows[i].style != RowStyle::Group) {
            page.continuedGroup = openGroup;
            used += rowHeight(RowStyle::Group);
        }
        while (i < rows.size() && used + rowHeight(rows[i].style) <= room) {
            used += rowHeight(rows[i].style);
            ++i;
        }
        if (i < rows.size() && i > page.first + 1 && rows[i - 1].style == RowStyle::Group)
            --i;
        if (i == page.first && i < rows.size())
            ++i; // cannot happen with these heights; keeps the loop finite all the same
        page.last = i;
        for (std::size_t k = page.first; k < page.last; ++k) {
            if (rows[k].style == RowStyle::Group)
                openGroup = int(k);
            else if (rows[k].style == RowStyle::Subtotal || rows[k].style == RowStyle::Total)
                openGroup = -1;
        }
        pages.push_back(page);
    } while (i < rows.size());
    return pages;
}

void drawPageHeader(Pdf &pdf, const Report &r, const CompanyInfo &company)
{
    QPainter &p = pdf.painter;
    const qreal width = kPageWidth - 2 * kMargin;
    // The distributor: mark, name, address; the web address on the right.
    drawCompanyLogo(p, Pdf::mmPoint(kMargin + 7, 17), Pdf::mm(7));
    pdf.text(kMargin + 17, 9.5, 125, 6, company.name, docFont(10, QFont::Bold), kNavy, Qt::AlignLeft | Qt::AlignVCenter);
    pdf.text(kMargin + 17, 15.5, 125, 4.2, company.address, docFont(7), kGrey, Qt::AlignLeft | Qt::AlignVCenter);
    pdf.text(kMargin + 17, 19.7, 125, 4.2,
             QStringLiteral("Tel: %1 · V.D.: %2 %3").arg(company.phone, company.taxOffice, company.taxNo), docFont(7), kGrey,
             Qt::AlignLeft | Qt::AlignVCenter);
    pdf.text(kPageWidth - kMargin - 45, 9.5, 45, 6, company.web, docFont(7.5), kGrey, Qt::AlignRight | Qt::AlignVCenter);
    pdf.fill(kMargin, 26, width, 0.9, kOrange);
    pdf.fill(kMargin, 26.9, width, 0.3, kNavy);
    // The report: title on the left, the period on the right.
    pdf.text(kMargin, 28.5, width - 60, 8, r.title, docFont(13, QFont::Bold), kNavy, Qt::AlignLeft | Qt::AlignVCenter);
    pdf.text(kPageWidth - kMargin - 60, 28.5, 60, 8, r.period, docFont(9, QFont::Bold), kInk, Qt::AlignRight | Qt::AlignVCenter);
}

void drawFirstPageBlock(Pdf &pdf, const Report &r)
{
    const qreal top = kHeaderBottom + 1;
    const qreal width = kPageWidth - 2 * kMargin;
    // Information: label / value pairs in two columns.
    pdf.roundedBox(kMargin, top, width, 14, 1.5, kRule, QBrush(Qt::white));
    for (qsizetype i = 0; i < r.info.size(); ++i) {
        const qreal x = kMargin + 3 + (i % 2) * (width / 2);
        const qreal y = top + 2 + (i / 2) * 4.8;
        pdf.text(x, y, 24, 4.6, r.info[i].first, docFont(7.5, QFont::Bold), kGrey, Qt::AlignLeft | Qt::AlignVCenter);
        pdf.text(x + 24, y, width / 2 - 30, 4.6, r.info[i].second, docFont(8), kInk, Qt::AlignLeft | Qt::AlignVCenter);
    }
    // Figures: small cards side by side.
    const qsizetype n = std::max<qsizetype>(1, r.figures.size());
    const qreal gap = 3;
    const qreal cardW = (width - gap * qreal(n - 1)) / qreal(n);
    for (qsizetype i = 0; i < r.figures.size(); ++i) {
        const qreal x = kMargin + qreal(i) * (cardW + gap);
        const qreal y = top + 17;
        pdf.roundedBox(x, y, cardW, 16, 1.5, kRule, QBrush(QColor(0xFA, 0xFB, 0xFD)));
        pdf.fill(x, y + 1.5, 1.1, 13, r.figures[i].accent);
        pdf.text(x + 4, y + 1.5, cardW - 6, 5, r.figures[i].label, docFont(7.5), kGrey, Qt::AlignLeft | Qt::AlignVCenter);
        pdf.text(x + 4, y + 7, cardW - 6, 7, r.figures[i].value, docFont(12, QFont::Bold), kInk, Qt::AlignLeft | Qt::AlignVCenter);
    }
}

void drawTableHeader(Pdf &pdf, const Report &r, qreal y)
{
    const qreal width = kPageWidth - 2 * kMargin;
    pdf.fill(kMargin, y, width, kTableHeader, kNavy);
    qreal x = kMargin;
    for (const Column &c : r.columns) {
        pdf.text(x + 1.2, y, c.width - 2.4, kTableHeader, c.title, docFont(7.2, QFont::Bold), Qt::white,
                 c.align | Qt::AlignVCenter | Qt::TextWordWrap, false);
        x += c.width;
    }
}

void drawRow(Pdf &pdf, const Report &r, const Row &row, qreal y, bool stripe)
{
    const qreal width = kPageWidth - 2 * kMargin;
    const qreal h = rowHeight(row.style);
    QFont font = docFont(7.5);
    QColor ink = kInk;
    switch (row.style) {
    case RowStyle::Normal:
        if (stripe)
            pdf.fill(kMargin, y, width, h, kStripe);
        break;
    case RowStyle::Group:
        pdf.fill(kMargin, y + 0.8, width, h - 0.8, kGroupFill);
        pdf.fill(kMargin, y + 0.8, 1.2, h - 0.8, kOrange);
        pdf.text(kMargin + 3, y + 0.8, width - 6, h - 0.8, row.cells.value(0), docFont(8, QFont::Bold), kNavy,
                 Qt::AlignLeft | Qt::AlignVCenter);
        return;
    case RowStyle::Note:
        pdf.text(kMargin, y, width, h, row.cells.value(0), docFont(8.5), kGrey, Qt::AlignCenter);
        return;
    case RowStyle::Subtotal:
        pdf.line(kMargin, y + 0.3, kMargin + width, y + 0.3, kRule, 0.3);
        font = docFont(7.5, QFont::Bold);
        break;
    case RowStyle::Total:
        pdf.fill(kMargin, y + 0.5, width, h - 0.5, kTotalFill);
        pdf.line(kMargin, y + 0.5, kMargin + width, y + 0.5, kNavy, 0.4);
        font = docFont(8, QFont::Bold);
        ink = kNavy;
        break;
    }
    qreal x = kMargin;
    for (qsizetype i = 0; i < r.columns.size(); ++i) {
        const Column &c = r.columns[i];
        // Amounts (right-aligned) are never cut: they shrink instead.
        pdf.text(x + 1.2, y, c.width - 2.4, h, row.cells.value(i), font, ink, c.align | Qt::AlignVCenter, true,
                 c.align & Qt::AlignRight ? 0.55 : 0.92);
        x += c.width;
    }
}

void drawFooter(Pdf &pdf, const Report &r, int page, int pages)
{
    pdf.line(kMargin, kFooterTop, kPageWidth - kMargin, kFooterTop, kRule, 0.3);
    pdf.text(kMargin, kFooterTop + 1, 140, 5, r.footer, docFont(7), kGrey, Qt::AlignLeft | Qt::AlignVCenter);
    pdf.text(kPageWidth - kMargin - 40, kFooterTop + 1, 40, 5, QStringLiteral("Sayfa %1 / %2").arg(page).arg(pages),
             docFont(7.5, QFont::Bold), kNavy, Qt::AlignRight | Qt::AlignVCenter);
}

QByteArray renderReport(const Report &r, const CompanyInfo &company)
{
    requireText("accountReportPdf");
    QMutexLocker locker(&textRenderingLock());
    Pdf pdf(r.title);
    const auto pages = paginate(r.rows);
    for (std::size_t pg = 0; pg < pages.size(); ++pg) {
        if (pg > 0)
            pdf.newPage();
        drawPageHeader(pdf, r, company);
        qreal y = kHeaderBottom + 4;
        if (pg == 0) {
            drawFirstPageBlock(pdf, r);
            y = kHeaderBottom + kFirstPageExtra;
        }
        drawTableHeader(pdf, r, y);
        y += kTableHeader;
        bool stripe = false;
        if (pages[pg].continuedGroup >= 0) {
            Row again = r.rows[std::size_t(pages[pg].continuedGroup)];
            again.cells[0] += QStringLiteral(" (devam)");
            drawRow(pdf, r, again, y, false);
            y += rowHeight(RowStyle::Group);
        }
        for (std::size_t i = pages[pg].first; i < pages[pg].last; ++i) {
            const Row &row = r.rows[i];
            if (row.style != RowStyle::Normal)
                stripe = false;
            drawRow(pdf, r, row, y, stripe);
            if (row.style == RowStyle::Normal)
                stripe = !stripe;
            y += rowHeight(row.style);
        }
        drawFooter(pdf, r, int(pg + 1), int(pages.size()));
    }
    return pdf.finish();
}

QString blankIfZero(double v) { return std::abs(v) < 0.005 ? QString() : turkishAmount(v); }

QString period(const AccountReportData &d)
{
    QDate from = d.dateFrom, to = d.dateTo;
    if (from.isValid() && to.isValid() && from > to)
        std::swap(from, to);
    if (!from.isValid() && !to.isValid())
        return QString();
    if (!from.isValid() || !to.isValid() || from == to)
        return QStringLiteral("%1 tarihi itibarıyla").arg(dateText(from.isValid() ? from : to));
    return QStringLiteral("%1 – %2").arg(dateText(from), dateText(to));
}

QString representativeText(const QString &name)
{
    const QString t = name.trimmed();
    return t.isEmpty() || t == QStringLiteral(".") ? QStringLiteral("Tümü") : t;
}

QString footerText(int reportNo, const AccountReportData &d)
{
    QString s = QStringLiteral("Rapor %1").arg(reportNo);
    if (d.userNo > 0)
        s += QStringLiteral(" · Kullanıcı %1").arg(d.userNo);
    if (d.printedAt.isValid())
        s += QStringLiteral(" · Hazırlanma: %1").arg(dateTimeText(d.printedAt));
    return s;
}

// Balance as shown on statements: the amount without its sign, and B (the account owes) or A.
QString balanceSide(double v) { return v > 0.005 ? QStringLiteral("B") : v < -0.005 ? QStringLiteral("A") : QString(); }

Report statementReport(const AccountReportData &d)
{
    Report r;
    r.title = QStringLiteral("CARİ ÖZETİ");
    r.period = period(d);
    r.info = {{QStringLiteral("Cari Kodu"), d.accountCode},
              {QStringLiteral("Satıcı"), representativeText(d.representative)},
              {QStringLiteral("Cari Adı"), d.accountName},
              {QStringLiteral("Dönem"), r.period}};
    constexpr int R = Qt::AlignRight, L = Qt::AlignLeft, C = Qt::AlignHCenter;
    r.columns = {{QStringLiteral("Tarih"), 18, L},     {QStringLiteral("Tür"), 26, L},
                 {QStringLiteral("Evrak No"), 22, L},  {QStringLiteral("Açıklama"), 41, L},
                 {QStringLiteral("Borç"), 21.5, R},    {QStringLiteral("Alacak"), 21.5, R},
                 {QStringLiteral("Bakiye"), 22, R},    {QStringLiteral("B/A"), 8, C}};
    double balance = d.openingBalance, debit = 0, credit = 0;
    if (std::abs(d.openingBalance) >= 0.005)
        r.rows.push_back({RowStyle::Normal,
                          {dateText(d.dateFrom != d.dateTo ? d.dateFrom : QDate()), QStringLiteral("Devir"), QString(),
                           QStringLiteral("Önceki dönemden devreden"), QString(), QString(), turkishAmount(std::abs(balance)),
                           balanceSide(balance)}});
    for (const StatementLine &m : d.movements) {
        balance += m.debit - m.credit;
        debit += m.debit;
        credit += m.credit;
        r.rows.push_back({RowStyle::Normal,
                          {dateText(m.date), m.kind, m.document, m.description, blankIfZero(m.debit), blankIfZero(m.credit),
                           turkishAmount(std::abs(balance)), balanceSide(balance)}});
    }
    if (d.movements.empty())
        r.rows.push_back({RowStyle::Note, {QStringLiteral("Bu dönemde cari hareket yok.")}});
    r.rows.push_back({RowStyle::Total,
                      {QString(), QStringLiteral("Toplam"), QString(), QStringLiteral("%1 hareket").arg(d.movements.size()),
                       turkishAmount(debit), turkishAmount(credit), turkishAmount(std::abs(balance)), balanceSide(balance)}});
    const QString side = balanceSide(balance);
    r.figures = {{QStringLiteral("Devreden"), turkishAmount(std::abs(d.openingBalance)) + QStringLiteral(" ") + balanceSide(d.openingBalance), kGrey},
                 {QStringLiteral("Toplam Borç"), turkishAmount(debit), kBlue},
                 {QStringLiteral("Toplam Alacak"), turkishAmount(credit), kGreen},
                 {side.isEmpty() ? QStringLiteral("Bakiye")
                  : side == QStringLiteral("A") ? QStringLiteral("Bakiye (Alacaklı)") : QStringLiteral("Bakiye (Borçlu)"),
                  turkishAmount(std::abs(balance)) + QStringLiteral(" TL"), kOrange}};
    r.footer = footerText(6, d);
    return r;
}

// Keeps the representatives in the order they first appear.
template<typename Line>
std::vector<std::pair<QString, std::vector<const Line *>>> byRepresentative(const std::vector<Line> &lines)
{
    std::vector<std::pair<QString, std::vector<const Line *>>> groups;
    QHash<QString, std::size_t> where;
    for (const Line &l : lines) {
        const QString name = l.representative.trimmed().isEmpty() ? QStringLiteral("Satıcı belirtilmemiş") : l.representative.trimmed();
        auto it = where.find(name);
        if (it == where.end()) {
            it = where.insert(name, groups.size());
            groups.push_back({name, {}});
        }
        groups[*it].second.push_back(&l);
    }
    return groups;
}

Report receivablesReport(const AccountReportData &d)
{
    Report r;
    r.title = QStringLiteral("CARİ TOPLU ALACAK VADELERİ");
    r.period = period(d);
    constexpr int R = Qt::AlignRight, L = Qt::AlignLeft;
    r.columns = {{QStringLiteral("Cari Kodu"), 20, L},   {QStringLiteral("Cari Adı"), 40, L},
                 {QStringLiteral("Vadesi Gelmemiş"), 20, R}, {QStringLiteral("1-30 Gün"), 20, R},
                 {QStringLiteral("31-60 Gün"), 20, R},   {QStringLiteral("61-90 Gün"), 20, R},
                 {QStringLiteral("90+ Gün"), 20, R},     {QStringLiteral("Toplam"), 20, R}};
    std::array<double, 6> grand{};
    for (const auto &[name, lines] : byRepresentative(d.receivables)) {
        r.rows.push_back({RowStyle::Group, {QStringLiteral("Satıcı: %1").arg(name)}});
        std::array<double, 6> sub{};
        for (const ReceivableLine *l : lines) {
            const std::array<double, 6> v{l->notDue, l->days1to30, l->days31to60, l->days61to90, l->over90,
                                          l->notDue + l->days1to30 + l->days31to60 + l->days61to90 + l->over90};
            for (std::size_t k = 0; k < v.size(); ++k)
                sub[k] += v[k];
            r.rows.push_back({RowStyle::Normal,
                              {l->accountCode, l->accountName, blankIfZero(v[0]), blankIfZero(v[1]), blankIfZero(v[2]),
                               blankIfZero(v[3]), blankIfZero(v[4]), turkishAmount(v[5])}});
        }
        for (std::size_t k = 0; k < sub.size(); ++k)
            grand[k] += sub[k];
        r.rows.push_back({RowStyle::Subtotal,
                          {QString(), QStringLiteral("Ara Toplam (%1 cari)").arg(lines.size()), turkishAmount(sub[0]),
                           turkishAmount(sub[1]), turkishAmount(sub[2]), turkishAmount(sub[3]), turkishAmount(sub[4]),
                           turkishAmount(sub[5])}});
    }
    if (d.receivables.empty())
        r.rows.push_back({RowStyle::Note, {QStringLiteral("Açık alacak yok.")}});
    r.rows.push_back({RowStyle::Total,
                      {QString(), QStringLiteral("Genel Toplam (%1 cari)").arg(d.receivables.size()), turkishAmount(grand[0]),
                       turkishAmount(grand[1]), turkishAmount(grand[2]), turkishAmount(grand[3]), turkishAmount(grand[4]),
                       turkishAmount(grand[5])}});
    const double overdue = grand[1] + grand[2] + grand[3] + grand[4];
    r.info = {{QStringLiteral("Tarih"), r.period},
              {QStringLiteral("Satıcı"), representativeText(d.representative)},
              {QStringLiteral("Cari Sayısı"), QString::number(d.receivables.size())},
              {QStringLiteral("Vade Dilimi"), QStringLiteral("vade tarihinden bu yana geçen gün")}};
    r.figures = {{QStringLiteral("Toplam Alacak"), turkishAmount(grand[5]) + QStringLiteral(" TL"), kNavy},
                 {QStringLiteral("Vadesi Gelmemiş"), turkishAmount(grand[0]), kGreen},
                 {QStringLiteral("Vadesi Geçmiş"), turkishAmount(overdue), kOrange},
                 {QStringLiteral("90 Günü Aşan"), turkishAmount(grand[4]), QColor(0xC0, 0x39, 0x2B)}};
    r.footer = footerText(6, d);
    return r;
}

Report tradeReport(const AccountReportData &d)
{
    Report r;
    r.title = QStringLiteral("CARİ ALIŞ SATIŞ TABLOSU (SATICILI)");
    r.period = period(d);
    constexpr int R = Qt::AlignRight, L = Qt::AlignLeft;
    r.columns = {{QStringLiteral("Tarih"), 19, L},    {QStringLiteral("Tür"), 28, L},  {QStringLiteral("Evrak No"), 24, L},
                 {QStringLiteral("Açıklama"), 61, L}, {QStringLiteral("Satış"), 24, R}, {QStringLiteral("Alış"), 24, R}};
    double sales = 0, purchases = 0;
    for (const auto &[name, lines] : byRepresentative(d.trades)) {
        r.rows.push_back({RowStyle::Group, {QStringLiteral("Satıcı: %1").arg(name)}});
        double s = 0, pu = 0;
        for (const TradeLine *l : lines) {
            s += l->sale;
            pu += l->purchase;
            r.rows.push_back({RowStyle::Normal,
                              {dateText(l->date), l->kind, l->document, l->description, blankIfZero(l->sale), blankIfZero(l->purchase)}});
        }
        sales += s;
        purchases += pu;
        r.rows.push_back({RowStyle::Subtotal,
                          {QString(), QStringLiteral("Ara Toplam"), QString(),
                           QStringLiteral("%1 belge · net %2").arg(lines.size()).arg(turkishAmount(s - pu)), turkishAmount(s),
                           turkishAmount(pu)}});
    }
    if (d.trades.empty())
        r.rows.push_back({RowStyle::Note, {QStringLiteral("Bu dönemde alış ya da satış belgesi yok.")}});
    r.rows.push_back({RowStyle::Total,
                      {QString(), QStringLiteral("Genel Toplam"), QString(),
                       QStringLiteral("%1 belge · net %2").arg(d.trades.size()).arg(turkishAmount(sales - purchases)),
                       turkishAmount(sales), turkishAmount(purchases)}});
    r.info = {{QStringLiteral("Cari Kodu"), d.accountCode},
              {QStringLiteral("Satıcı"), representativeText(d.representative)},
              {QStringLiteral("Cari Adı"), d.accountName},
              {QStringLiteral("Dönem"), r.period}};
    r.figures = {{QStringLiteral("Toplam Satış"), turkishAmount(sales), kBlue},
                 {QStringLiteral("Toplam Alış"), turkishAmount(purchases), kGreen},
                 {QStringLiteral("Net (Satış − Alış)"), turkishAmount(sales - purchases) + QStringLiteral(" TL"), kOrange},
                 {QStringLiteral("Belge Sayısı"), QString::number(d.trades.size()), kGrey}};
    r.footer = footerText(7, d);
    return r;
}

// ---- Numbers in words ----

QString belowThousand(int n)
{
    static const char16_t *const ones[] = {u"", u"bir", u"iki", u"üç", u"dört", u"beş", u"altı", u"yedi", u"sekiz", u"dokuz"};
    static const char16_t *const tens[] = {u"", u"on", u"yirmi", u"otuz", u"kırk", u"elli", u"altmış", u"yetmiş", u"seksen", u"doksan"};
    QStringList words;
    const int h = n / 100, t = n / 10 % 10, o = n % 10;
    if (h > 1)
        words << QString::fromUtf16(ones[h]);
    if (h > 0)
        words << QStringLiteral("yüz");
    if (t > 0)
        words << QString::fromUtf16(tens[t]);
    if (o > 0)
        words << QString::fromUtf16(ones[o]);
    return words.join(QLatin1Char(' '));
}

QString integerInWords(qint64 n)
{
    if (n == 0)
        return QStringLiteral("sıfır");
    static const char16_t *const scales[] = {u"", u"bin", u"milyon", u"milyar", u"trilyon"};
    QStringList parts;
    for (int scale = 0; n > 0 && scale < 5; ++scale, n /= 1000) {
        const int group = int(n % 1000);
        if (group == 0)
            continue;
        QString words = (scale == 1 && group == 1) ? QString() : belowThousand(group); // "bin", never "bir bin"
        if (scale > 0)
            words += (words.isEmpty() ? QString() : QStringLiteral(" ")) + QString::fromUtf16(scales[scale]);
        parts.prepend(words);
    }
    return parts.join(QLatin1Char(' '));
}

} // namespace

QString turkishAmount(double value)
{
    if (std::abs(value) < 0.005)
        value = 0;
    return QLocale(QLocale::Turkish, QLocale::Turkey).toString(value, 'f', 2);
}

QString maskCardNumber(const QString &cardNumber)
{
    QString digits;
    for (const QChar c : cardNumber)
        if (c.isDigit())
            digits += c;
    return QStringLiteral("**** **** **** ") + digits.right(4).rightJustified(4, QLatin1Char('*'));
}

QString amountInWords(double amount)
{
    const qint64 cents = std::llround(std::abs(amount) * 100);
    QString s = integerInWords(cents / 100) + QStringLiteral(" Türk lirası");
    if (cents % 100)
        s += QStringLiteral(" ") + integerInWords(cents % 100) + QStringLiteral(" kuruş");
    return s;
}

QByteArray accountReportPdf(int reportNo, const AccountReportData &data)
{
    if (reportNo == 6)
        return renderReport(data.accountNo == 0 ? receivablesReport(data) : statementReport(data), data.company);
    if (reportNo == 7)
        return renderReport(tradeReport(data), data.company);
    throw DocumentError(QStringLiteral("%1 numaralı rapor tanımlı değil; hazırlanabilen raporlar: 6 (Cari Özeti,"
                                       " cari 0 ile Cari Toplu Alacak Vadeleri) ve 7 (Cari Alış Satış Tablosu)")
                            .arg(reportNo));
}

QByteArray cardPaymentReceiptPdf(const ReceiptData &d)
{
    requireText("cardPaymentReceiptPdf");
    QMutexLocker locker(&textRenderingLock());
    Pdf pdf(QStringLiteral("Tahsilat Makbuzu %1").arg(d.receiptNo));
    QPainter &p = pdf.painter;
    const qreal width = kPageWidth - 2 * kMargin;
    const CompanyInfo &c = d.company;

    // Header band.
    pdf.fill(0, 0, kPageWidth, 42, kNavy);
    pdf.fill(0, 42, kPageWidth, 1.6, kOrange);
    drawCompanyLogo(p, Pdf::mmPoint(kMargin + 11, 21), Pdf::mm(11));
    pdf.text(kMargin + 27, 9, 110, 9, QStringLiteral("TAHSİLAT MAKBUZU"), docFont(20, QFont::Bold), Qt::white,
             Qt::AlignLeft | Qt::AlignVCenter);
    pdf.text(kMargin + 27, 19, 110, 6, QStringLiteral("Sanal POS Dekontu · Kredi Kartı ile Tahsilat"), docFont(10), kOrange,
             Qt::AlignLeft | Qt::AlignVCenter);
    pdf.text(kMargin + 27, 27, 110, 5, c.name, docFont(7.5), QColor(0xC8, 0xD3, 0xE0), Qt::AlignLeft | Qt::AlignVCenter);
    pdf.text(kPageWidth - kMargin - 50, 9, 50, 5, QStringLiteral("Makbuz No"), docFont(8), QColor(0xC8, 0xD3, 0xE0),
             Qt::AlignRight | Qt::AlignVCenter);
    pdf.text(kPageWidth - kMargin - 50, 14, 50, 8, QString::number(d.receiptNo), docFont(16, QFont::Bold), Qt::white,
             Qt::AlignRight | Qt::AlignVCenter);
    pdf.text(kPageWidth - kMargin - 50, 23, 50, 5, QStringLiteral("İşlem Tarihi"), docFont(8), QColor(0xC8, 0xD3, 0xE0),
             Qt::AlignRight | Qt::AlignVCenter);
    pdf.text(kPageWidth - kMargin - 50, 28, 50, 6, dateTimeText(d.date), docFont(10, QFont::Bold), Qt::white,
             Qt::AlignRight | Qt::AlignVCenter);

    // Issuer and payer.
    qreal y = 52;
    auto block = [&](qreal x, qreal w, const QString &caption, const QStringList &lines) {
        pdf.text(x, y, w, 5, caption, docFont(8, QFont::Bold), kOrange, Qt::AlignLeft | Qt::AlignVCenter);
        pdf.line(x, y + 5.5, x + w, y + 5.5, kRule, 0.3);
        for (qsizetype i = 0; i < lines.size(); ++i)
            pdf.text(x, y + 7 + qreal(i) * 4.8, w, 4.8, lines[i], docFont(i == 0 ? 9 : 8, i == 0 ? QFont::Bold : QFont::Normal),
                     kInk, Qt::AlignLeft | Qt::AlignVCenter);
    };
    block(kMargin, width / 2 - 5, QStringLiteral("TAHSİL EDEN"),
          {c.name, c.address, QStringLiteral("Tel: %1").arg(c.phone),
           QStringLiteral("V.D.: %1 · V.No: %2").arg(c.taxOffice, c.taxNo)});
    block(kMargin + width / 2 + 5, width / 2 - 5, QStringLiteral("ÖDEYEN CARİ"),
          {d.accountName, QStringLiteral("Cari Kodu: %1").arg(d.accountCode),
           QStringLiteral("Kart Sahibi: %1").arg(d.cardHolder)});

    // The amount.
    y = 88;
    pdf.roundedBox(kMargin, y, width, 30, 2.5, kOrange, QBrush(QColor(0xFE, 0xF6, 0xEC)), 0.6);
    pdf.text(kMargin + 6, y + 3, 80, 6, QStringLiteral("Tahsil Edilen Tutar"), docFont(9), kGrey, Qt::AlignLeft | Qt::AlignVCenter);
    pdf.text(kMargin + 6, y + 9, width - 12, 12, turkishAmount(d.amount) + QStringLiteral(" ") + d.currency,
             docFont(22, QFont::Bold), kNavy, Qt::AlignLeft | Qt::AlignVCenter);
    const QString words = d.currency.trimmed() == QStringLiteral("TL")
                              ? QStringLiteral("Yalnız: %1").arg(amountInWords(d.amount))
                              : QString();
    pdf.text(kMargin + 6, y + 22, width - 12, 5.5, words, docFont(8.5), kInk, Qt::AlignLeft | Qt::AlignVCenter);
    // "Onaylandı" stamp.
    p.save();
    p.translate(Pdf::mmPoint(kPageWidth - kMargin - 28, y + 13));
    p.rotate(-8);
    p.setPen(QPen(kGreen, Pdf::mm(0.7)));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(-Pdf::mm(21), -Pdf::mm(6), Pdf::mm(42), Pdf::mm(12)), Pdf::mm(2), Pdf::mm(2));
    p.setFont(docFont(13, QFont::Bold));
    p.drawText(QRectF(-Pdf::mm(21), -Pdf::mm(6), Pdf::mm(42), Pdf::mm(12)), Qt::AlignCenter, QStringLiteral("ONAYLANDI"));
    p.restore();

    // Details of the card payment.
    y = 126;
    pdf.text(kMargin, y, width, 6, QStringLiteral("İŞLEM BİLGİLERİ"), docFont(8, QFont::Bold), kOrange, Qt::AlignLeft | Qt::AlignVCenter);
    y += 7;
    const QString installments = d.installments <= 1 ? QStringLiteral("Tek çekim")
                                                     : QStringLiteral("%1 taksit").arg(d.installments);
    const QList<std::pair<QString, QString>> rows{
        {QStringLiteral("Makbuz (Sanal POS) No"), QString::number(d.receiptNo)},
        {QStringLiteral("İşlem Tarihi"), dateTimeText(d.date)},
        {QStringLiteral("Cari Kodu"), d.accountCode},
        {QStringLiteral("Cari Adı"), d.accountName},
        {QStringLiteral("Kart Sahibi"), d.cardHolder},
        {QStringLiteral("Kart Numarası"), maskCardNumber(d.maskedCardNumber)},
        {QStringLiteral("Taksit"), installments},
        {QStringLiteral("Onay (Provizyon) Kodu"), d.authorisationCode},
        {QStringLiteral("Tutar"), turkishAmount(d.amount) + QStringLiteral(" ") + d.currency},
    };
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (i % 2 == 0)
            pdf.fill(kMargin, y, width, 7, kStripe);
        pdf.text(kMargin + 3, y, 55, 7, rows[i].first, docFont(8.5), kGrey, Qt::AlignLeft | Qt::AlignVCenter);
        pdf.text(kMargin + 60, y, width - 63, 7, rows[i].second, docFont(9, QFont::Bold), kInk, Qt::AlignLeft | Qt::AlignVCenter);
        y += 7;
    }
    // Description: may run over several lines.
    y += 4;
    pdf.text(kMargin, y, width, 6, QStringLiteral("AÇIKLAMA"), docFont(8, QFont::Bold), kOrange, Qt::AlignLeft | Qt::AlignVCenter);
    y += 7;
    pdf.roundedBox(kMargin, y, width, 22, 1.5, kRule, QBrush(Qt::white));
    {
        const QString text = d.description.trimmed().isEmpty() ? QStringLiteral("—") : d.description.trimmed();
        const QFont f = docFont(9);
        const QRectF box = Pdf::mm(kMargin + 3, y + 2, width - 6, 18);
        // Fit the description into its box; what does not fit is cut at the last whole line.
        p.save();
        p.setClipRect(box);
        p.setFont(f);
        p.setPen(kInk);
        p.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
        p.restore();
    }
    y += 30;

    // Signatures.
    const qreal sigW = 60;
    for (int i = 0; i < 2; ++i) {
        const qreal x = i == 0 ? kMargin + 5 : kPageWidth - kMargin - 5 - sigW;
        pdf.line(x, y + 18, x + sigW, y + 18, kInk, 0.3);
        pdf.text(x, y + 19, sigW, 5, i == 0 ? QStringLiteral("Tahsil Eden") : QStringLiteral("Kaşe / İmza"), docFont(8), kGrey,
                 Qt::AlignHCenter | Qt::AlignVCenter);
    }

    // Notes at the foot of the page.
    const qreal foot = kPageHeight - 34;
    pdf.line(kMargin, foot, kPageWidth - kMargin, foot, kRule, 0.3);
    const QString note = QStringLiteral(
        "Bu makbuz, sanal POS üzerinden kredi kartı ile yapılan ödemenin tahsilat belgesidir. Tutar, cari hesabınıza "
        "alacak olarak işlenmiştir. Kart numarasının yalnızca son dört hanesi gösterilir; kart bilgileri saklanmaz. "
        "Taksitli işlemlerde taksit tutarları kartınızın ekstresine bankanızca yansıtılır.");
    p.setFont(docFont(7.5));
    p.setPen(kGrey);
    p.drawText(Pdf::mm(kMargin, foot + 2, width, 16), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, note);
    pdf.text(kMargin, kPageHeight - 14, width, 5,
             c.name + QStringLiteral(" · ") + c.phone + QStringLiteral(" · ") + c.web, docFont(7), kNavy,
             Qt::AlignHCenter | Qt::AlignVCenter);
    return pdf.finish();
}

} // namespace tarvik::server
