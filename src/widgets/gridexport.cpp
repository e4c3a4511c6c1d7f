#include "gridexport.h"

#include "datagrid.h"
#include "gridlogic.h"
#include "memtable.h"
#include "messages.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QTemporaryFile>
#include <QTreeView>
#include <QUrl>

#include <xlsxwriter.h>

#include <cstdio>
#include <map>

namespace tarvik {

namespace {

class Writer
{
public:
    Writer(const DataGrid &grid, lxw_workbook *wb) : grid_(grid), wb_(wb)
    {
        sheet_ = workbook_add_worksheet(wb_, "Sayfa1");
        bold_ = workbook_add_format(wb_);
        format_set_bold(bold_);
        header_ = workbook_add_format(wb_);
        format_set_bold(header_);
        format_set_bg_color(header_, 0xDDE3EA);
        format_set_bottom(header_, LXW_BORDER_THIN);
        date_ = workbook_add_format(wb_);
        format_set_num_format(date_, "dd.mm.yyyy");
        dateTime_ = workbook_add_format(wb_);
        format_set_num_format(dateTime_, "dd.mm.yyyy hh:mm:ss");
        for (int c : grid.visibleColumns())
            if (grid.column(c).kind != CellKind::Picture)
                columns_.push_back(c);
    }

    lxw_error write()
    {
        GridModel *m = grid_.model();
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            check(worksheet_write_string(sheet_, 0, col(i), utf8(grid_.caption(columns_[i])), header_));
            const int px = grid_.view()->header()->sectionSize(columns_[i]);
            worksheet_set_column(sheet_, col(i), col(i), std::clamp(px / 7.0, 6.0, 80.0), nullptr);
        }
        worksheet_freeze_panes(sheet_, 1, 0);
        row_ = 1;
        writeChildren(m, QModelIndex());
        // The footer: its texts under their columns.
        bool any = false;
        for (std::size_t i = 0; i < columns_.size(); ++i)
            any = any || !m->footerText(columns_[i]).isEmpty();
        if (any) {
            for (std::size_t i = 0; i < columns_.size(); ++i) {
                const QString t = m->footerText(columns_[i]);
                if (!t.isEmpty())
                    check(worksheet_write_string(sheet_, row_, col(i), utf8(t), bold_));
            }
            ++row_;
        }
        return error_;
    }

private:
    static lxw_col_t col(std::size_t i) { return static_cast<lxw_col_t>(i); }

    const char *utf8(const QString &s)
    {
        held_ = s.toUtf8();
        return held_.constData();
    }

    void check(lxw_error e)
    {
        if (e != LXW_NO_ERROR && error_ == LXW_NO_ERROR)
            error_ = e;
    }

    lxw_format *numberFormat(int column)
    {
        const GridModel *m = grid_.model();
        QString mask;
        const int sc = m->sourceColumnOf(grid_.column(column).field);
        if (grid_.table() && sc >= 0 && sc < grid_.table()->columnCount())
            mask = grid_.table()->displayMask(sc);
        const QString excel = excelNumberFormat(mask);
        if (excel.isEmpty())
            return nullptr;
        auto it = formats_.find(excel);
        if (it == formats_.end()) {
            lxw_format *f = workbook_add_format(wb_);
            format_set_num_format(f, utf8(excel));
            it = formats_.emplace(excel, f).first;
        }
        return it->second;
    }

    void writeCell(int sourceRow, std::size_t i)
    {
        const int c = columns_[i];
        const GridColumn &gc = grid_.column(c);
        const GridModel *m = grid_.model();
        if (gc.kind == CellKind::Icons || gc.kind == CellKind::Custom) {
            const QString t = m->text(sourceRow, c);
            if (!t.isEmpty())
                check(worksheet_write_string(sheet_, row_, col(i), utf8(t), nullptr));
            return;
        }
        const QVariant v = m->value(sourceRow, c);
        if (!v.isValid() || v.isNull())
            return;
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
        case QMetaType::Float: check(worksheet_write_number(sheet_, row_, col(i), v.toDouble(), numberFormat(c))); return;
        case QMetaType::Bool: check(worksheet_write_boolean(sheet_, row_, col(i), v.toBool() ? 1 : 0, nullptr)); return;
        case QMetaType::QDate:
        case QMetaType::QDateTime: {
            const QDateTime dt = v.toDateTime();
            lxw_datetime x{dt.date().year(), dt.date().month(), dt.date().day(), dt.time().hour(), dt.time().minute(),
                           dt.time().second() + dt.time().msec() / 1000.0};
            const bool midnight = dt.time() == QTime(0, 0);
            check(worksheet_write_datetime(sheet_, row_, col(i), &x, midnight ? date_ : dateTime_));
            return;
        }
        case QMetaType::QByteArray: return;
        default: {
            const QString t = m->text(sourceRow, c);
            if (!t.isEmpty())
                check(worksheet_write_string(sheet_, row_, col(i), utf8(t), nullptr));
        }
        }
    }

    // Walks the model, not the view: every group is written expanded.
    void writeChildren(GridModel *m, const QModelIndex &parent)
    {
        const int n = m->rowCount(parent);
        for (int r = 0; r < n && error_ == LXW_NO_ERROR; ++r) {
            const QModelIndex idx = m->index(r, 0, parent);
            switch (m->rowKind(idx)) {
            case GridModel::RowKind::Data: {
                const int src = m->sourceRow(idx);
                for (std::size_t i = 0; i < columns_.size(); ++i)
                    writeCell(src, i);
                ++row_;
                break;
            }
            case GridModel::RowKind::Group:
                if (!columns_.empty())
                    check(worksheet_write_string(sheet_, row_, 0, utf8(idx.data().toString()), bold_));
                ++row_;
                writeChildren(m, idx);
                break;
            case GridModel::RowKind::Footer:
                for (std::size_t i = 0; i < columns_.size(); ++i) {
                    const QString t = m->index(r, columns_[i], parent).data().toString();
                    if (!t.isEmpty())
                        check(worksheet_write_string(sheet_, row_, col(i), utf8(t), bold_));
                }
                ++row_;
                break;
            }
        }
    }

    const DataGrid &grid_;
    lxw_workbook *wb_;
    lxw_worksheet *sheet_ = nullptr;
    lxw_format *bold_ = nullptr;
    lxw_format *header_ = nullptr;
    lxw_format *date_ = nullptr;
    lxw_format *dateTime_ = nullptr;
    std::map<QString, lxw_format *> formats_;
    std::vector<int> columns_;
    lxw_row_t row_ = 0;
    lxw_error error_ = LXW_NO_ERROR;
    QByteArray held_;
};

SaveFileDialog &saveDialog()
{
    static SaveFileDialog d;
    return d;
}

ShellOpener &shellOpener()
{
    static ShellOpener o;
    return o;
}

} // namespace

bool exportGridToExcel(const DataGrid &grid, const QString &path, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const QFileInfo target(path);
    // The temporary file reserves a unique name beside the target; the workbook is written under it.
    QTemporaryFile tmp(QDir(target.absolutePath()).filePath(QString(u'.' + target.fileName() + u".XXXXXX")));
    if (!tmp.open())
        return fail(QString(u"Dosya yazılamıyor: " + target.absoluteFilePath() + u" (" + tmp.errorString() + u')'));
    const QByteArray tmpName = QFile::encodeName(tmp.fileName());
    tmp.close();
    lxw_workbook *wb = workbook_new(tmpName.constData());
    if (!wb)
        return fail(QString(u"Çalışma kitabı oluşturulamadı: " + target.absoluteFilePath()));
    Writer writer(grid, wb);
    const lxw_error written = writer.write();
    const lxw_error closed = workbook_close(wb); // frees the workbook in every case
    if (written != LXW_NO_ERROR || closed != LXW_NO_ERROR) {
        const lxw_error e = written != LXW_NO_ERROR ? written : closed;
        return fail(QString(u"Excel dosyası yazılamadı: " + QString::fromUtf8(lxw_strerror(e))));
    }
    // rename() replaces the target in one step; until here the target is untouched.
    if (std::rename(tmpName.constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0)
        return fail(QString(u"Dosya yazılamıyor: " + target.absoluteFilePath()));
    tmp.setAutoRemove(false);
    return true;
}

QString qtFileFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        out.append(QString(parts[i] + u" (" + QString(parts[i + 1]).replace(u';', u' ') + u')'));
    return out.join(QStringLiteral(";;"));
}

SaveFileDialog setSaveFileDialog(SaveFileDialog dialog)
{
    SaveFileDialog old = std::move(saveDialog());
    saveDialog() = std::move(dialog);
    return old;
}

QString askSaveFileName(QWidget *parent, const QString &title, const QString &filter)
{
    if (saveDialog())
        return saveDialog()(parent, title, filter);
    return QFileDialog::getSaveFileName(parent, title, QString(), qtFileFilter(filter));
}

bool excelKaydet(const DataGrid &grid, QWidget *parent)
{
    QString path = askSaveFileName(parent, QStringLiteral("Kaydet"), QStringLiteral("Excel|*.xls*"));
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".xlsx");
    QString error;
    if (!exportGridToExcel(grid, path, &error)) {
        MesajGoster(error, MesajTuru::Hata, MesajDugmesi::Tamam, MesajDugmesi::Tamam);
        return false;
    }
    return true;
}

ShellOpener setShellOpener(ShellOpener opener)
{
    ShellOpener old = std::move(shellOpener());
    shellOpener() = std::move(opener);
    return old;
}

bool shellOpen(const QString &target)
{
    if (shellOpener())
        return shellOpener()(target);
    const QUrl url = QFileInfo::exists(target) ? QUrl::fromLocalFile(target) : QUrl::fromUserInput(target);
    return QDesktopServices::openUrl(url);
}

} // namespace tarvik
