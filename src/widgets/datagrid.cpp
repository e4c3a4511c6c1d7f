#include "datagrid.h"

#include "gridlogic.h"
#include "memtable.h"
#include "memtable_model.h"

#include <QApplication>
#include <QCache>
#include <QDrag>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace tarvik {

namespace {

const QString columnMime = QStringLiteral("application/x-tarvik-grid-column");

} // namespace

// ---------------------------------------------------------------------------------------------------
// GridRow

QVariant GridRow::value(const QString &field) const
{
    return grid_ ? grid_->sourceValue(row_, field) : QVariant();
}

QString GridRow::text(const QString &field) const
{
    return grid_ ? grid_->sourceText(row_, field) : QString();
}

// ---------------------------------------------------------------------------------------------------
// The tree view: incremental search, the row indicator, the row menu and the double click.

class GridView : public QTreeView
{
public:
    explicit GridView(DataGrid *grid) : QTreeView(grid), grid_(grid) {}

    void keyboardSearch(const QString &search) override
    {
        if (!grid_->search_ || search.isEmpty())
            return;
        if (!typed_.isValid() || typed_.elapsed() > QApplication::keyboardInputInterval())
            text_.clear();
        typed_.start();
        text_ += search;
        if (!grid_->incrementalSearch(text_))
            text_.chop(search.size());
    }

    int rowIndexAt(const QModelIndex &index) const
    {
        const int h = grid_->rowHeight();
        if (h <= 0)
            return index.row();
        return (visualRect(index).top() + verticalOffset()) / h;
    }

    void setStrip(QWidget *strip) { strip_ = strip; }
    QWidget *strip() const { return strip_; }
    using QTreeView::verticalOffset;

protected:
    void scrollContentsBy(int dx, int dy) override
    {
        QTreeView::scrollContentsBy(dx, dy);
        if (strip_)
            strip_->update();
    }

    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override
    {
        QTreeView::currentChanged(current, previous);
        if (strip_)
            strip_->update();
    }

    void contextMenuEvent(QContextMenuEvent *event) override
    {
        const QModelIndex idx = indexAt(event->pos()); // viewport coordinates
        if (idx.isValid())
            setCurrentIndex(idx);
        grid_->showRowMenu(event->globalPos());
    }

    // A group row is one band across the columns: its branch where the tree's column starts, then its
    // text to the end of the last column.
    void drawRow(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (grid_->model_->rowKind(index) != GridModel::RowKind::Group) {
            QTreeView::drawRow(p, option, index);
            return;
        }
        const GridLook &look = grid_->look_;
        const bool selected = selectionModel()->isSelected(index);
        int left = 0, right = 0;
        for (int c : grid_->visibleColumns()) {
            const int x = header()->sectionViewportPosition(c);
            if (right == 0)
                left = x;
            right = std::max(right, x + header()->sectionSize(c));
        }
        const QRect band(left, option.rect.top(), right - left, option.rect.height());
        p->save();
        p->fillRect(band, selected ? look.selection : look.groupRow);
        int depth = 0;
        for (QModelIndex i = index.parent(); i.isValid(); i = i.parent())
            ++depth;
        const int branch = left + depth * indentation();
        QTreeView::drawBranches(p, QRect(branch, band.top(), indentation(), band.height()), index);
        QFont f = option.font;
        f.setBold(true);
        p->setFont(f);
        p->setPen(selected ? look.selectionText : look.groupText);
        const QRect text = band.adjusted(branch - left + indentation() + 4, 0, -4, 0);
        p->drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                    QFontMetrics(f).elidedText(index.data().toString(), Qt::ElideRight, text.width()));
        p->setPen(look.gridLine);
        p->drawLine(band.bottomLeft(), band.bottomRight());
        p->restore();
    }

    void drawBranches(QPainter *p, const QRect &rect, const QModelIndex &index) const override
    {
        // Data and footer rows get their indentation in the row's colours, without tree lines.
        if (grid_->model_->rowKind(index) == GridModel::RowKind::Group) {
            QTreeView::drawBranches(p, rect, index);
            return;
        }
        const GridLook &look = grid_->look_;
        p->fillRect(rect, grid_->model_->rowKind(index) == GridModel::RowKind::Footer ? look.groupRow : look.even);
    }

    void mouseDoubleClickEvent(QMouseEvent *event) override
    {
        QTreeView::mouseDoubleClickEvent(event);
        const QModelIndex idx = indexAt(event->position().toPoint());
        if (idx.isValid() && grid_->model_->rowKind(idx) == GridModel::RowKind::Data)
            Q_EMIT grid_->doubleClicked(grid_->focusedColumnCaption());
    }

private:
    DataGrid *grid_;
    QWidget *strip_ = nullptr;
    QElapsedTimer typed_;
    QString text_;
};

// ---------------------------------------------------------------------------------------------------
// The row indicator: a narrow band left of the rows, marking the focused row.

class IndicatorStrip : public QWidget
{
public:
    IndicatorStrip(DataGrid *grid, QTreeView *view) : QWidget(grid), grid_(grid), view_(view)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const GridLook &look = grid_->look_;
        const QRect vp = view_->viewport()->geometry().translated(view_->geometry().topLeft() - geometry().topLeft());
        const QRect band(0, vp.top(), width(), vp.height());
        p.fillRect(rect(), look.footer);
        p.fillRect(band, look.indicator);
        if (!view_->isHeaderHidden()) {
            const QRect corner(0, vp.top() - view_->header()->height(), width(), view_->header()->height());
            QLinearGradient g(corner.topLeft(), corner.bottomLeft());
            g.setColorAt(0, look.headerTop);
            g.setColorAt(1, look.headerBottom);
            p.fillRect(corner, g);
            p.setPen(look.headerBorder);
            p.drawLine(corner.bottomLeft(), corner.bottomRight());
        }
        const QModelIndex cur = view_->currentIndex();
        if (!cur.isValid())
            return;
        const std::vector<int> visible = grid_->visibleColumns();
        const QRect r = view_->visualRect(visible.empty() ? cur : cur.siblingAtColumn(visible.front()));
        if (r.isEmpty() || r.bottom() < 0 || r.top() > vp.height())
            return;
        const QRect row(0, vp.top() + r.top(), width(), r.height());
        p.setClipRect(band);
        if (width() >= 9) {
            p.setRenderHint(QPainter::Antialiasing);
            p.setBrush(look.indicator.lightness() < 128 ? QColor(Qt::white) : QColor(40, 40, 40));
            p.setPen(Qt::NoPen);
            const qreal cx = row.center().x() + 0.5, cy = row.center().y() + 0.5;
            const QPointF tri[3] = {QPointF(cx - 2.5, cy - 4.5), QPointF(cx + 3, cy), QPointF(cx - 2.5, cy + 4.5)};
            p.drawPolygon(tri, 3);
        } else {
            p.fillRect(row, look.selection);
        }
    }

private:
    DataGrid *grid_;
    QTreeView *view_;
};

// ---------------------------------------------------------------------------------------------------
// The header: painted by the skin, with filter buttons, the header menu and dragging to the group box.

class GridHeader : public QHeaderView
{
public:
    explicit GridHeader(DataGrid *grid) : QHeaderView(Qt::Horizontal, grid), grid_(grid)
    {
        setSectionsClickable(true);
        setHighlightSections(false);
        setContextMenuPolicy(Qt::CustomContextMenu);
        setDefaultAlignment(Qt::AlignCenter);
        setTextElideMode(Qt::ElideRight);
    }

    QSize sizeHint() const override
    {
        QSize s = QHeaderView::sizeHint();
        if (grid_->headerHeight_ > 0)
            s.setHeight(grid_->headerHeight_);
        return s;
    }

    QRect filterButtonRect(const QRect &section) const
    {
        return QRect(section.right() - 15, section.center().y() - 6, 12, 12);
    }

    bool filterable(int column) const
    {
        if (!grid_->filterButtons_ || column < 0 || column >= grid_->columnCount())
            return false;
        const GridColumn &c = grid_->column(column);
        return !c.field.isEmpty() && c.kind != CellKind::Picture && c.kind != CellKind::Custom;
    }

    // A section too narrow for its caption and a button keeps only the caption; its filter list is
    // still in the header menu.
    bool showsButton(int column) const { return filterable(column) && sectionSize(column) >= 44; }

protected:
    void paintSection(QPainter *p, const QRect &rect, int logical) const override
    {
        const GridLook &look = grid_->look_;
        p->save();
        QLinearGradient g(rect.topLeft(), rect.bottomLeft());
        g.setColorAt(0, look.headerTop);
        g.setColorAt(1, look.headerBottom);
        p->fillRect(rect, g);
        p->setPen(look.headerBorder);
        p->drawLine(rect.topRight(), rect.bottomRight());
        p->drawLine(rect.bottomLeft(), rect.bottomRight());
        QRect text = rect.adjusted(4, 2, -4, -2);
        if (showsButton(logical))
            text.setRight(text.right() - 14);
        if (isSortIndicatorShown() && sortIndicatorSection() == logical)
            text.setRight(text.right() - 10);
        p->setPen(look.headerText);
        p->setFont(font());
        p->drawText(text, Qt::AlignCenter | Qt::TextWordWrap, grid_->caption(logical));
        if (isSortIndicatorShown() && sortIndicatorSection() == logical) {
            const int x = text.right() + 5, y = rect.center().y();
            p->setRenderHint(QPainter::Antialiasing);
            p->setBrush(look.headerText);
            p->setPen(Qt::NoPen);
            const bool up = sortIndicatorOrder() == Qt::AscendingOrder;
            const QPointF tri[3] = {QPointF(x - 4, up ? y + 2 : y - 2), QPointF(x + 4, up ? y + 2 : y - 2),
                                    QPointF(x, up ? y - 3 : y + 3)};
            p->drawPolygon(tri, 3);
        }
        if (showsButton(logical)) {
            const QRect b = filterButtonRect(rect);
            const bool active = grid_->model_->filter(logical).isActive();
            p->setRenderHint(QPainter::Antialiasing);
            p->setPen(QPen(look.headerBorder.darker(120)));
            p->setBrush(active ? look.filterActive : look.headerTop.lighter(104));
            p->drawRoundedRect(QRectF(b).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
            p->setPen(Qt::NoPen);
            p->setBrush(active ? QColor(Qt::white) : look.headerText);
            const QPointF c = QRectF(b).center();
            const QPointF tri[3] = {c + QPointF(-3.5, -1.5), c + QPointF(3.5, -1.5), c + QPointF(0, 2.5)};
            p->drawPolygon(tri, 3);
        }
        p->restore();
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        const int logical = logicalIndexAt(event->position().toPoint());
        if (event->button() == Qt::LeftButton && showsButton(logical)) {
            const QRect section(sectionViewportPosition(logical), 0, sectionSize(logical), height());
            if (filterButtonRect(section).contains(event->position().toPoint())) {
                QMenu *menu = grid_->createFilterMenu(logical, this);
                menu->setAttribute(Qt::WA_DeleteOnClose);
                menu->popup(mapToGlobal(QPoint(section.left(), height())));
                return;
            }
        }
        pressed_ = event->button() == Qt::LeftButton ? logical : -1;
        pressPos_ = event->position().toPoint();
        QHeaderView::mousePressEvent(event);
    }

    void mouseMoveEvent(QMouseEvent *event) override
    {
        // Dragging a header up, out of the header, towards the group box groups by its column.
        if (pressed_ >= 0 && (event->buttons() & Qt::LeftButton) && grid_->isGroupBoxVisible()
            && event->position().y() < -QApplication::startDragDistance()) {
            const int column = pressed_;
            pressed_ = -1;
            QMouseEvent release(QEvent::MouseButtonRelease, pressPos_, mapToGlobal(pressPos_), Qt::LeftButton,
                                Qt::NoButton, Qt::NoModifier);
            QHeaderView::mouseReleaseEvent(&release);
            auto *mime = new QMimeData;
            mime->setData(columnMime, QByteArray::number(column));
            auto *drag = new QDrag(this);
            drag->setMimeData(mime);
            drag->exec(Qt::MoveAction);
            return;
        }
        QHeaderView::mouseMoveEvent(event);
    }

    void mouseReleaseEvent(QMouseEvent *event) override
    {
        pressed_ = -1;
        QHeaderView::mouseReleaseEvent(event);
    }

private:
    DataGrid *grid_;
    int pressed_ = -1;
    QPoint pressPos_;
};

// ---------------------------------------------------------------------------------------------------
// Cells: background by row, kind by column, grid lines.

class GridDelegate : public QStyledItemDelegate
{
public:
    explicit GridDelegate(DataGrid *grid) : QStyledItemDelegate(grid), grid_(grid) { pictures_.setMaxCost(64); }

    void clearPictures() { pictures_.clear(); }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(grid_->rowHeight());
        return s;
    }

    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const GridLook &look = grid_->look_;
        const GridModel::RowKind kind = grid_->model_->rowKind(index);
        const GridColumn &col = grid_->column(index.column());
        const bool selected = option.state & QStyle::State_Selected;
        const int rowIndex = static_cast<GridView *>(grid_->view_)->rowIndexAt(index);
        const QRect r = option.rect;
        p->save();
        QColor back = selected ? look.selection : (rowIndex % 2 == 0 ? look.even : look.odd);
        QColor fore = selected ? look.selectionText : look.text;
        if (kind == GridModel::RowKind::Group) {
            back = selected ? look.selection : look.groupRow;
            fore = selected ? look.selectionText : look.groupText;
        } else if (kind == GridModel::RowKind::Footer) {
            back = look.footer;
            fore = look.footerText;
        }
        p->fillRect(r, back);

        bool done = false;
        if (kind == GridModel::RowKind::Data && col.kind == CellKind::Custom && col.draw) {
            CellPaint cell;
            cell.rect = r;
            cell.rowIndex = rowIndex;
            cell.selected = selected;
            cell.row = GridRow(grid_, grid_->model_->sourceRow(index));
            cell.font = &option.font;
            p->setFont(option.font);
            p->setPen(fore);
            done = col.draw(*p, cell);
        }
        if (!done) {
            if (kind == GridModel::RowKind::Data && col.kind == CellKind::Icons)
                paintIcon(p, r, col, index);
            else if (kind == GridModel::RowKind::Data && col.kind == CellKind::CheckBox)
                paintCheck(p, option, r, col, index);
            else if (kind == GridModel::RowKind::Data && col.kind == CellKind::Picture)
                paintPicture(p, r, index);
            else
                paintText(p, option, r, col, index, kind, fore);
        }
        p->setPen(look.gridLine);
        p->drawLine(r.topRight(), r.bottomRight());
        p->drawLine(r.bottomLeft(), r.bottomRight());
        if (grid_->focusRect_ && index == grid_->view_->currentIndex() && grid_->view_->hasFocus()) {
            QStyleOptionFocusRect fr;
            fr.rect = r.adjusted(1, 1, -1, -1);
            fr.backgroundColor = back;
            grid_->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &fr, p, grid_->view_);
        }
        p->restore();
    }

private:
    void paintText(QPainter *p, const QStyleOptionViewItem &option, const QRect &r, const GridColumn &col,
                   const QModelIndex &index, GridModel::RowKind kind, const QColor &fore) const
    {
        QString text = index.data(Qt::DisplayRole).toString();
        int flags = index.data(Qt::TextAlignmentRole).toInt();
        QFont font = option.font;
        if (kind == GridModel::RowKind::Group) {
            font.setBold(true);
            flags = Qt::AlignLeft | Qt::AlignVCenter;
        } else if (kind == GridModel::RowKind::Data) {
            if (col.wordWrap)
                flags |= Qt::TextWordWrap;
            if (!col.multiLine && !col.wordWrap)
                text.replace(u'\n', u' ');
        }
        p->setFont(font);
        p->setPen(fore);
        const QRect tr = r.adjusted(4, 2, -4, -2);
        if (!(flags & Qt::TextWordWrap) && !text.contains(u'\n'))
            text = QFontMetrics(font).elidedText(text, Qt::ElideRight, tr.width());
        p->drawText(tr, flags, text);
    }

    void paintIcon(QPainter *p, const QRect &r, const GridColumn &col, const QModelIndex &index) const
    {
        const QVariant v = index.data(GridModel::RawValueRole);
        for (const ValueImage &vi : col.icons) {
            if (!sameValue(vi.value, v))
                continue;
            if (vi.image.isNull())
                return;
            QSize s = vi.image.size();
            if (s.height() > r.height() - 4 || s.width() > r.width() - 4)
                s.scale(r.size() - QSize(4, 4), Qt::KeepAspectRatio);
            const Qt::Alignment h = col.alignment & Qt::AlignHorizontal_Mask ? col.alignment & Qt::AlignHorizontal_Mask
                                                                             : Qt::AlignHCenter;
            const QRect target = QStyle::alignedRect(Qt::LeftToRight, h | Qt::AlignVCenter, s, r.adjusted(2, 2, -2, -2));
            p->setRenderHint(QPainter::SmoothPixmapTransform);
            p->drawImage(target, vi.image);
            return;
        }
    }

    void paintCheck(QPainter *p, const QStyleOptionViewItem &option, const QRect &r, const GridColumn &col,
                    const QModelIndex &index) const
    {
        QStyleOptionButton box;
        const int size = grid_->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, grid_->view_);
        const Qt::Alignment h = col.alignment & Qt::AlignHorizontal_Mask ? col.alignment & Qt::AlignHorizontal_Mask
                                                                         : Qt::AlignHCenter;
        box.rect = QStyle::alignedRect(Qt::LeftToRight, h | Qt::AlignVCenter, QSize(size, size), r);
        box.state = QStyle::State_Enabled
                    | (index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? QStyle::State_On : QStyle::State_Off);
        box.palette = option.palette;
        grid_->style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, p, grid_->view_);
    }

    void paintPicture(QPainter *p, const QRect &r, const QModelIndex &index) const
    {
        const int src = grid_->model_->sourceRow(index);
        const qint64 key = (static_cast<qint64>(src) << 16) | index.column();
        QImage *img = pictures_.object(key);
        if (!img) {
            const QVariant v = index.data(GridModel::RawValueRole);
            QImage decoded;
            if (v.typeId() == QMetaType::QByteArray)
                decoded = QImage::fromData(v.toByteArray()); // format recognised from the bytes
            img = new QImage(decoded);
            pictures_.insert(key, img, 1);
        }
        if (img->isNull())
            return; // no picture or bytes that are none: the cell stays empty
        QSize s = img->size();
        s.scale(r.size() - QSize(4, 4), Qt::KeepAspectRatio);
        if (s.width() > img->width() && s.height() > img->height())
            s = img->size();
        const QRect target = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, s, r);
        p->setRenderHint(QPainter::SmoothPixmapTransform);
        p->drawImage(target, *img);
    }

    DataGrid *grid_;
    mutable QCache<qint64, QImage> pictures_;
};

// ---------------------------------------------------------------------------------------------------
// Footer: the summaries under their columns.

class GridFooter : public QWidget
{
public:
    explicit GridFooter(DataGrid *grid) : QWidget(grid), grid_(grid) { setAttribute(Qt::WA_OpaquePaintEvent); }

    QSize sizeHint() const override
    {
        int lines = 1;
        for (int c = 0; c < grid_->columnCount(); ++c)
            lines = std::max(lines, static_cast<int>(grid_->model_->footerText(c).count(u'\n')) + 1);
        return QSize(100, lines * fontMetrics().height() + 10);
    }

    void refresh()
    {
        updateGeometry();
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const GridLook &look = grid_->look_;
        p.fillRect(rect(), look.footer);
        p.setPen(look.headerBorder);
        p.drawLine(rect().topLeft(), rect().topRight());
        QHeaderView *h = grid_->header_;
        const int x0 = grid_->view_->geometry().left() + grid_->view_->viewport()->geometry().left();
        for (int c = 0; c < grid_->columnCount(); ++c) {
            if (h->isSectionHidden(c))
                continue;
            const QString text = grid_->model_->footerText(c);
            if (text.isEmpty())
                continue;
            const QRect cell(x0 + h->sectionViewportPosition(c), 3, h->sectionSize(c), height() - 6);
            p.setPen(look.headerBorder);
            p.setBrush(look.even);
            p.drawRect(cell.adjusted(1, 0, -2, -1));
            p.setPen(look.footerText);
            p.drawText(cell.adjusted(4, 0, -6, 0), Qt::AlignRight | Qt::AlignVCenter, text);
        }
    }

private:
    DataGrid *grid_;
};

// ---------------------------------------------------------------------------------------------------
// Group box: takes dragged headers; one button per grouped column, which removes that grouping.

class GroupBox : public QWidget
{
public:
    explicit GroupBox(DataGrid *grid) : QWidget(grid), grid_(grid), layout_(new QHBoxLayout(this))
    {
        setAcceptDrops(true);
        setAutoFillBackground(true);
        setAccessibleName(QStringLiteral("Grup kutusu"));
        layout_->setContentsMargins(6, 4, 6, 4);
        layout_->setSpacing(4);
        refresh();
    }

    void refresh()
    {
        while (QLayoutItem *item = layout_->takeAt(0)) {
            delete item->widget();
            delete item;
        }
        QPalette pal = palette();
        pal.setColor(QPalette::Window, grid_->look_.groupBox);
        pal.setColor(QPalette::WindowText, grid_->look_.groupBoxText);
        setPalette(pal);
        const QStringList fields = grid_->groupedFields();
        if (fields.isEmpty()) {
            auto *hint = new QLabel(QStringLiteral("Gruplamak için bir sütun başlığını buraya sürükleyin"), this);
            hint->setForegroundRole(QPalette::WindowText);
            layout_->addWidget(hint);
        }
        for (const QString &f : fields) {
            auto *chip = new QToolButton(this);
            const QString caption = grid_->caption(grid_->columnIndex(f));
            chip->setText(QString(caption + u"  ✕"));
            chip->setAccessibleName(caption);
            chip->setToolTip(QStringLiteral("Bu sütuna göre gruplamayı kaldır"));
            chip->setAutoRaise(false);
            QObject::connect(chip, &QToolButton::clicked, grid_, [g = grid_, f] {
                QStringList now = g->groupedFields();
                now.removeAll(f);
                g->groupBy(now);
            });
            layout_->addWidget(chip);
        }
        layout_->addStretch(1);
    }

protected:
    void dragEnterEvent(QDragEnterEvent *event) override
    {
        if (event->mimeData()->hasFormat(columnMime))
            event->acceptProposedAction();
    }

    void dropEvent(QDropEvent *event) override
    {
        const int column = event->mimeData()->data(columnMime).toInt();
        if (column < 0 || column >= grid_->columnCount())
            return;
        QStringList fields = grid_->groupedFields();
        const QString f = grid_->column(column).field;
        if (!f.isEmpty() && !fields.contains(f)) {
            fields.append(f);
            grid_->groupBy(fields);
        }
        event->acceptProposedAction();
    }

private:
    DataGrid *grid_;
    QHBoxLayout *layout_;
};

// ---------------------------------------------------------------------------------------------------
// DataGrid

DataGrid::DataGrid(QWidget *parent) : QWidget(parent), look_(gridLook(GridSkin::Standard))
{
    model_ = new GridModel(this);
    model_->setColumns(&columns_);
    model_->setMaskLookup([this](int sourceColumn) {
        return table_ && unbound_ == nullptr && sourceColumn < table_->columnCount() ? table_->displayMask(sourceColumn)
                                                                                     : QString();
    });
    tableModel_ = new MemTableModel(nullptr, this);

    view_ = new GridView(this);
    header_ = new GridHeader(this);
    view_->setHeader(header_);
    delegate_ = new GridDelegate(this);
    view_->setItemDelegate(delegate_);
    view_->setModel(model_);
    view_->setUniformRowHeights(true);
    view_->setRootIsDecorated(false);
    view_->setIndentation(0);
    view_->setAllColumnsShowFocus(true);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    view_->setExpandsOnDoubleClick(true);
    view_->setSortingEnabled(false);
    strip_ = new IndicatorStrip(this, view_);
    strip_->setFixedWidth(indicatorWidth_);
    view_->setStrip(strip_);
    connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, strip_, qOverload<>(&QWidget::update));
    header_->setSortIndicatorShown(false);
    header_->setStretchLastSection(false);
    header_->setSectionsMovable(true);

    groupBox_ = new GroupBox(this);
    groupBox_->setVisible(false);
    footer_ = new GridFooter(this);
    footer_->setVisible(false);

    filterBar_ = new QWidget(this);
    auto *fl = new QHBoxLayout(filterBar_);
    fl->setContentsMargins(4, 2, 4, 2);
    auto *clear = new QToolButton(filterBar_);
    clear->setText(QStringLiteral("Filtreyi Temizle"));
    clear->setAccessibleName(clear->text());
    connect(clear, &QToolButton::clicked, this, &DataGrid::clearFilters);
    filterText_ = new QLabel(filterBar_);
    fl->addWidget(clear);
    fl->addWidget(filterText_, 1);
    filterBar_->setVisible(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(groupBox_);
    auto *middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    middle->addWidget(strip_);
    middle->addWidget(view_, 1);
    layout->addLayout(middle, 1);
    layout->addWidget(footer_);
    layout->addWidget(filterBar_);

    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, &DataGrid::saveViewState);
    connect(model_, &QAbstractItemModel::modelReset, this, &DataGrid::restoreViewState);
    connect(model_, &GridModel::summariesChanged, this, [this] { footer_->refresh(); });
    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this, &DataGrid::currentChanged);
    connect(header_, &QHeaderView::sectionClicked, this, &DataGrid::headerClicked);
    connect(header_, &QHeaderView::sectionResized, footer_, qOverload<>(&QWidget::update));
    connect(header_, &QHeaderView::sectionMoved, footer_, qOverload<>(&QWidget::update));
    connect(view_->horizontalScrollBar(), &QScrollBar::valueChanged, footer_, qOverload<>(&QWidget::update));
    connect(header_, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        QMenu *menu = createHeaderMenu(header_->logicalIndexAt(pos), this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(header_->mapToGlobal(pos));
    });
    applyLook();
}

DataGrid::~DataGrid()
{
    // The models go before the columns they point at.
    view_->setModel(nullptr);
    model_->setColumns(nullptr);
    // The header, footer and group box ask the grid for its settings while they are hidden or closed;
    // they go now, while the grid is still whole (QWidget's destructor would hide them when this part
    // of the object is already gone).
    const QList<QWidget *> children = findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    qDeleteAll(children);
}

void DataGrid::setTable(MemTable *table)
{
    table_ = table;
    if (unbound_) {
        delete unbound_;
        unbound_ = nullptr;
    }
    tableModel_->setTable(attached_ ? table : nullptr);
    model_->setSource(tableModel_);
}

UnboundRows *DataGrid::useUnboundRows(const QStringList &fields)
{
    table_ = nullptr;
    tableModel_->setTable(nullptr);
    if (!unbound_)
        unbound_ = new UnboundRows(fields, this);
    else
        unbound_->setFields(fields);
    model_->setSource(unbound_);
    return unbound_;
}

void DataGrid::detach()
{
    attached_ = false;
    if (!unbound_)
        tableModel_->setTable(nullptr);
}

void DataGrid::attach()
{
    attached_ = true;
    if (!unbound_)
        tableModel_->setTable(table_);
}

bool DataGrid::isAttached() const
{
    return attached_;
}

int DataGrid::addColumn(GridColumn column)
{
    const int index = static_cast<int>(columns_.size());
    ColumnState st;
    st.visible = column.show == Show::Yes;
    st.offered = column.show == Show::No || (column.show == Show::Yes && !column.fixed);
    columns_.push_back(std::move(column));
    state_.push_back(st);
    model_->columnsChanged();
    header_->resizeSection(index, columns_.back().width);
    applyVisibility(index);
    return index;
}

int DataGrid::columnIndex(const QString &field) const
{
    return model_->columnOf(field);
}

QString DataGrid::caption(int column) const
{
    if (column < 0 || column >= columnCount())
        return {};
    const GridColumn &c = columns_[static_cast<std::size_t>(column)];
    return c.caption.isEmpty() ? c.field : c.caption;
}

void DataGrid::applyVisibility(int column)
{
    view_->setColumnHidden(column, !state_[static_cast<std::size_t>(column)].visible);
    updateBranches();
    footer_->update();
    if (stretch_)
        stretchNow();
}

void DataGrid::setColumnVisible(const QString &field, bool visible)
{
    const int c = columnIndex(field);
    if (c < 0)
        return;
    state_[static_cast<std::size_t>(c)].visible = visible;
    applyVisibility(c);
}

bool DataGrid::isColumnVisible(const QString &field) const
{
    const int c = columnIndex(field);
    return c >= 0 && state_[static_cast<std::size_t>(c)].visible;
}

void DataGrid::setColumnOffered(const QString &field, bool offered)
{
    const int c = columnIndex(field);
    if (c >= 0)
        state_[static_cast<std::size_t>(c)].offered = offered;
}

bool DataGrid::isColumnOffered(const QString &field) const
{
    const int c = columnIndex(field);
    return c >= 0 && state_[static_cast<std::size_t>(c)].offered;
}

void DataGrid::setColumnWidth(const QString &field, int width)
{
    const int c = columnIndex(field);
    if (c >= 0)
        header_->resizeSection(c, width);
}

int DataGrid::columnWidth(const QString &field) const
{
    const int c = columnIndex(field);
    return c >= 0 ? header_->sectionSize(c) : 0;
}

std::vector<int> DataGrid::visibleColumns() const
{
    std::vector<int> out;
    for (int v = 0; v < header_->count(); ++v) {
        const int c = header_->logicalIndex(v);
        if (c >= 0 && c < columnCount() && state_[static_cast<std::size_t>(c)].visible)
            out.push_back(c);
    }
    return out;
}

void DataGrid::bestFit()
{
    const QFontMetrics fm(view_->font());
    const QFontMetrics hfm(header_->font());
    const std::vector<int> &rows = model_->orderedRows();
    const std::size_t sample = std::min<std::size_t>(rows.size(), 2000);
    for (int c : visibleColumns()) {
        const GridColumn &col = columns_[static_cast<std::size_t>(c)];
        int w = hfm.horizontalAdvance(caption(c)) + 16 + (header_->filterable(c) ? 16 : 0);
        switch (col.kind) {
        case CellKind::Icons:
            for (const ValueImage &vi : col.icons)
                w = std::max(w, vi.image.width() + 8);
            break;
        case CellKind::CheckBox: w = std::max(w, 28); break;
        case CellKind::Picture: w = std::max(w, 120); break;
        default:
            for (std::size_t i = 0; i < sample; ++i) {
                const QString t = model_->text(rows[i], c);
                int tw = 0;
                for (const QString &line : t.split(u'\n'))
                    tw = std::max(tw, fm.horizontalAdvance(line));
                w = std::max(w, tw + 12);
            }
        }
        header_->resizeSection(c, w);
    }
}

void DataGrid::setStretch(bool on)
{
    stretch_ = on;
    if (on)
        stretchNow();
}

void DataGrid::stretchNow()
{
    const std::vector<int> cols = visibleColumns();
    std::vector<int> widths;
    for (int c : cols)
        widths.push_back(header_->sectionSize(c));
    const std::vector<int> out = stretchedWidths(widths, view_->viewport()->width());
    for (std::size_t i = 0; i < cols.size(); ++i)
        header_->resizeSection(cols[i], out[i]);
}

bool DataGrid::applyWeights()
{
    return applyWeights(width());
}

bool DataGrid::applyWeights(int gridWidth)
{
    const std::vector<int> cols = visibleColumns();
    std::vector<int> weights;
    for (int c : cols)
        weights.push_back(columns_[static_cast<std::size_t>(c)].weight);
    const std::vector<int> widths = weightedWidths(weights, gridWidth);
    if (widths.empty())
        return false;
    beginUpdate();
    for (std::size_t i = 0; i < cols.size(); ++i)
        header_->resizeSection(cols[i], widths[i]);
    endUpdate();
    return true;
}

void DataGrid::setSortingEnabled(bool on)
{
    sorting_ = on;
    if (!on) {
        model_->setSort(-1, Qt::AscendingOrder);
        header_->setSortIndicatorShown(false);
    }
}

void DataGrid::headerClicked(int column)
{
    if (!sorting_ || column < 0)
        return;
    const Qt::SortOrder order = model_->sortColumn() == column && model_->sortOrder() == Qt::AscendingOrder
                                    ? Qt::DescendingOrder
                                    : Qt::AscendingOrder;
    sortBy(columns_[static_cast<std::size_t>(column)].field, order);
}

void DataGrid::sortBy(const QString &field, Qt::SortOrder order)
{
    const int c = field.isEmpty() ? -1 : columnIndex(field);
    model_->setSort(c, order);
    header_->setSortIndicatorShown(c >= 0);
    if (c >= 0)
        header_->setSortIndicator(c, order);
    header_->viewport()->update();
}

void DataGrid::setFilterButtons(bool on)
{
    filterButtons_ = on;
    header_->viewport()->update();
}

void DataGrid::setFilter(const QString &field, const ColumnFilter &filter)
{
    model_->setFilter(columnIndex(field), filter);
    updateFilterBar();
}

void DataGrid::clearFilters()
{
    model_->clearFilters();
    updateFilterBar();
}

void DataGrid::updateFilterBar()
{
    const bool on = model_->hasFilters();
    filterText_->setText(model_->filterDescription());
    filterBar_->setVisible(on);
    header_->viewport()->update();
}

void DataGrid::setIncrementalSearch(bool on)
{
    search_ = on;
}

bool DataGrid::incrementalSearch(const QString &text)
{
    const QModelIndex cur = view_->currentIndex();
    int column = cur.isValid() ? cur.column() : -1;
    if (column < 0 || view_->isColumnHidden(column)) {
        const std::vector<int> vis = visibleColumns();
        if (vis.empty())
            return false;
        column = vis.front();
    }
    int from = 0;
    const int src = model_->sourceRow(cur);
    if (src >= 0) {
        const auto &rows = model_->orderedRows();
        from = static_cast<int>(std::find(rows.begin(), rows.end(), src) - rows.begin());
    }
    const int pos = model_->findPrefix(column, text, from);
    if (pos < 0)
        return false;
    const QModelIndex idx = model_->indexOfSourceRow(model_->orderedRows()[static_cast<std::size_t>(pos)], column);
    for (QModelIndex p = idx.parent(); p.isValid(); p = p.parent())
        view_->expand(p);
    view_->setCurrentIndex(idx);
    view_->scrollTo(idx);
    return true;
}

void DataGrid::setRowSelect(bool on)
{
    view_->setSelectionBehavior(on ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
}

void DataGrid::setHeaderVisible(bool on)
{
    view_->setHeaderHidden(!on);
}

void DataGrid::setHeaderHeight(int pixels)
{
    headerHeight_ = pixels;
    header_->setFixedHeight(pixels);
}

void DataGrid::setRowHeight(int pixels)
{
    rowHeight_ = pixels;
    view_->doItemsLayout();
    view_->viewport()->update();
}

int DataGrid::rowHeight() const
{
    return rowHeight_ > 0 ? rowHeight_ : view_->fontMetrics().height() + 10;
}

void DataGrid::setIndicatorWidth(int pixels)
{
    indicatorWidth_ = pixels;
    strip_->setFixedWidth(std::max(0, pixels));
    strip_->setVisible(pixels > 0);
}

void DataGrid::setFocusRectVisible(bool on)
{
    focusRect_ = on;
}

void DataGrid::setPixelScrolling(bool on)
{
    view_->setVerticalScrollMode(on ? QAbstractItemView::ScrollPerPixel : QAbstractItemView::ScrollPerItem);
}

void DataGrid::setColumnsMovable(bool on)
{
    header_->setSectionsMovable(on);
}

void DataGrid::setColumnsSizable(bool on)
{
    header_->setSectionResizeMode(on ? QHeaderView::Interactive : QHeaderView::Fixed);
}

void DataGrid::setSkin(GridSkin skin)
{
    look_ = gridLook(skin);
    applyLook();
}

void DataGrid::setIndicatorColor(const QColor &c)
{
    look_.indicator = c;
    applyLook();
}

void DataGrid::setGridLineColor(const QColor &c)
{
    look_.gridLine = c;
    applyLook();
}

void DataGrid::setSelectionColors(const QColor &back, const QColor &text)
{
    look_.selection = back;
    look_.selectionText = text;
    applyLook();
}

void DataGrid::setRowColors(const QColor &even, const QColor &odd)
{
    look_.even = even;
    look_.odd = odd;
    applyLook();
}

void DataGrid::applyLook()
{
    QPalette pal = view_->palette();
    pal.setColor(QPalette::Base, look_.even);
    pal.setColor(QPalette::AlternateBase, look_.odd);
    pal.setColor(QPalette::Text, look_.text);
    pal.setColor(QPalette::Highlight, look_.selection);
    pal.setColor(QPalette::HighlightedText, look_.selectionText);
    view_->setPalette(pal);
    groupBox_->refresh();
    view_->viewport()->update();
    header_->viewport()->update();
    footer_->update();
    if (view_->strip())
        view_->strip()->update();
}

void DataGrid::setFooterVisible(bool on)
{
    footer_->setVisible(on);
}

void DataGrid::setFooterSummaries(std::vector<GridSummary> summaries)
{
    model_->setFooterSummaries(std::move(summaries));
    footer_->setVisible(true);
}

QString DataGrid::footerText(const QString &field) const
{
    return model_->footerText(columnIndex(field));
}

void DataGrid::setGroupBoxVisible(bool on)
{
    groupBox_->setVisible(on);
}

bool DataGrid::isGroupBoxVisible() const
{
    return !groupBox_->isHidden();
}

void DataGrid::groupBy(const QStringList &fields)
{
    std::vector<int> cols;
    for (const QString &f : fields) {
        const int c = columnIndex(f);
        if (c >= 0 && std::find(cols.begin(), cols.end(), c) == cols.end())
            cols.push_back(c);
    }
    toggledGroups_.clear();
    updateBranches();
    model_->setGrouping(cols);
    groupBox_->refresh();
}

QStringList DataGrid::groupedFields() const
{
    QStringList out;
    for (int c : model_->grouping())
        out.append(columns_[static_cast<std::size_t>(c)].field);
    return out;
}

void DataGrid::setGroupSummaries(std::vector<GridSummary> summaries)
{
    model_->setGroupSummaries(std::move(summaries));
}

void DataGrid::updateBranches()
{
    const bool grouped = !model_->grouping().empty();
    view_->setRootIsDecorated(grouped);
    view_->setIndentation(grouped ? 18 : 0);
    // The tree's branches (and the group rows spanned from them) go in the first column on screen; a
    // grid grouped by a hidden first column would otherwise draw its group rows empty.
    const std::vector<int> visible = visibleColumns();
    view_->setTreePosition(visible.empty() ? 0 : visible.front());
}

namespace {

template<class F>
void forEachGroup(QAbstractItemModel *m, const QModelIndex &parent, F &&f)
{
    const int n = m->rowCount(parent);
    for (int r = 0; r < n; ++r) {
        const QModelIndex i = m->index(r, 0, parent);
        if (i.data(GridModel::RowKindRole).toInt() == static_cast<int>(GridModel::RowKind::Group)) {
            f(i);
            forEachGroup(m, i, f);
        }
    }
}

} // namespace

void DataGrid::collapseAll()
{
    groupsExpanded_ = false;
    toggledGroups_.clear();
    view_->collapseAll();
}

void DataGrid::expandAll()
{
    groupsExpanded_ = true;
    toggledGroups_.clear();
    view_->expandAll();
}

QMenu *DataGrid::createColumnMenu(QWidget *parent)
{
    auto *menu = new QMenu(QStringLiteral("Sütunlar"), parent);
    for (int c = 0; c < columnCount(); ++c) {
        if (!state_[static_cast<std::size_t>(c)].offered)
            continue;
        QAction *a = menu->addAction(caption(c));
        a->setCheckable(true);
        a->setChecked(state_[static_cast<std::size_t>(c)].visible);
        const QString field = columns_[static_cast<std::size_t>(c)].field;
        connect(a, &QAction::toggled, this, [this, c](bool on) {
            state_[static_cast<std::size_t>(c)].visible = on;
            applyVisibility(c);
        });
    }
    return menu;
}

QMenu *DataGrid::createHeaderMenu(int column, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    const bool valid = column >= 0 && column < columnCount();
    if (valid && sorting_) {
        const QString f = columns_[static_cast<std::size_t>(column)].field;
        connect(menu->addAction(QStringLiteral("Artan Sırala")), &QAction::triggered, this,
                [this, f] { sortBy(f, Qt::AscendingOrder); });
        connect(menu->addAction(QStringLiteral("Azalan Sırala")), &QAction::triggered, this,
                [this, f] { sortBy(f, Qt::DescendingOrder); });
        if (model_->sortColumn() >= 0)
            connect(menu->addAction(QStringLiteral("Sıralamayı Kaldır")), &QAction::triggered, this,
                    [this] { sortBy(QString()); });
        menu->addSeparator();
    }
    if (valid && isGroupBoxVisible() && !columns_[static_cast<std::size_t>(column)].field.isEmpty()) {
        const QString f = columns_[static_cast<std::size_t>(column)].field;
        QStringList now = groupedFields();
        if (now.contains(f)) {
            now.removeAll(f);
            connect(menu->addAction(QStringLiteral("Gruplamadan Çıkar")), &QAction::triggered, this,
                    [this, now] { groupBy(now); });
        } else {
            now.append(f);
            connect(menu->addAction(QStringLiteral("Bu Sütuna Göre Grupla")), &QAction::triggered, this,
                    [this, now] { groupBy(now); });
        }
        if (!model_->grouping().empty()) {
            connect(menu->addAction(QStringLiteral("Tümünü Genişlet")), &QAction::triggered, this, &DataGrid::expandAll);
            connect(menu->addAction(QStringLiteral("Tümünü Daralt")), &QAction::triggered, this, &DataGrid::collapseAll);
        }
        menu->addSeparator();
    }
    if (valid && header_->filterable(column)) {
        QMenu *filter = createFilterMenu(column, menu);
        filter->setTitle(QStringLiteral("Filtre"));
        menu->addMenu(filter);
    }
    connect(menu->addAction(QStringLiteral("En Uygun Genişlik")), &QAction::triggered, this, &DataGrid::bestFit);
    if (model_->hasFilters())
        connect(menu->addAction(QStringLiteral("Filtreyi Temizle")), &QAction::triggered, this, &DataGrid::clearFilters);
    menu->addSeparator();
    QMenu *columns = createColumnMenu(menu);
    menu->addMenu(columns);
    columns->setEnabled(!columns->isEmpty());
    return menu;
}

QMenu *DataGrid::createFilterMenu(int column, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    if (column < 0 || column >= columnCount())
        return menu;
    const QString field = columns_[static_cast<std::size_t>(column)].field;
    const ColumnFilter now = model_->filter(column);
    auto add = [&](const QString &text, ColumnFilter f) {
        QAction *a = menu->addAction(text);
        a->setCheckable(true);
        a->setChecked(now.kind == f.kind && now.text == f.text);
        connect(a, &QAction::triggered, this, [this, field, f] { setFilter(field, f); });
    };
    add(QStringLiteral("(Tümü)"), ColumnFilter());
    add(QStringLiteral("(Boş)"), ColumnFilter{ColumnFilter::Blanks, {}});
    add(QStringLiteral("(Boş Değil)"), ColumnFilter{ColumnFilter::NonBlanks, {}});
    menu->addSeparator();
    const QStringList values = model_->filterValues(column);
    for (const QString &v : values)
        add(v, ColumnFilter{ColumnFilter::Equals, v});
    return menu;
}

void DataGrid::beginUpdate()
{
    if (updates_++ == 0) {
        model_->suspend();
        view_->setUpdatesEnabled(false);
    }
}

void DataGrid::endUpdate()
{
    if (updates_ == 0)
        return;
    if (--updates_ == 0) {
        model_->resume();
        view_->setUpdatesEnabled(true);
        footer_->refresh();
    }
}

int DataGrid::visualRowIndex(const QModelIndex &index) const
{
    if (!index.isValid())
        return -1;
    if (model_->grouping().empty())
        return index.row();
    int n = 0;
    for (QModelIndex i = view_->indexAbove(index.siblingAtColumn(0)); i.isValid(); i = view_->indexAbove(i))
        ++n;
    return n;
}

int DataGrid::focusedRowIndex() const
{
    return visualRowIndex(view_->currentIndex());
}

GridRow DataGrid::focusedRecord() const
{
    const int src = model_->sourceRow(view_->currentIndex());
    return src >= 0 ? GridRow(this, src) : GridRow();
}

bool DataGrid::focusSourceRow(int sourceRow)
{
    const int col = std::max(0, view_->currentIndex().column());
    const QModelIndex idx = model_->indexOfSourceRow(sourceRow, col);
    if (!idx.isValid())
        return false;
    for (QModelIndex p = idx.parent(); p.isValid(); p = p.parent())
        view_->expand(p);
    view_->setCurrentIndex(idx);
    view_->scrollTo(idx);
    return true;
}

bool DataGrid::focusRowIndex(int rowIndex)
{
    if (rowIndex < 0)
        return false;
    QModelIndex i = model_->index(0, 0);
    for (int n = 0; n < rowIndex && i.isValid(); ++n)
        i = view_->indexBelow(i);
    if (!i.isValid())
        return false;
    view_->setCurrentIndex(i.siblingAtColumn(std::max(0, view_->currentIndex().column())));
    return true;
}

QString DataGrid::focusedColumnCaption() const
{
    const QModelIndex cur = view_->currentIndex();
    return cur.isValid() ? caption(cur.column()) : QString();
}

void DataGrid::setFocusedColumn(const QString &field)
{
    const int c = columnIndex(field);
    const QModelIndex cur = view_->currentIndex();
    if (c >= 0 && cur.isValid())
        view_->setCurrentIndex(cur.siblingAtColumn(c));
}

const std::vector<int> &DataGrid::rowsInOrder() const
{
    return model_->orderedRows();
}

QTreeView *DataGrid::view() const
{
    return view_;
}

QWidget *DataGrid::footerWidget() const
{
    return footer_;
}

QWidget *DataGrid::groupBoxWidget() const
{
    return groupBox_;
}

QVariant DataGrid::sourceValue(int sourceRow, const QString &field) const
{
    return model_->fieldValue(sourceRow, field);
}

QString DataGrid::sourceText(int sourceRow, const QString &field) const
{
    return model_->fieldText(sourceRow, field);
}

void DataGrid::saveViewState()
{
    const QModelIndex cur = view_->currentIndex();
    savedSourceRow_ = model_->sourceRow(cur);
    savedColumn_ = cur.isValid() ? cur.column() : savedColumn_;
    // Remember groups whose state differs from the default, by their values.
    if (!model_->grouping().empty()) {
        toggledGroups_.clear();
        forEachGroup(model_, QModelIndex(), [this](const QModelIndex &i) {
            if (view_->isExpanded(i) != groupsExpanded_)
                toggledGroups_.insert(model_->groupPath(i));
        });
    }
    delegate_->clearPictures();
}

void DataGrid::restoreViewState()
{
    updateBranches();
    if (!model_->grouping().empty()) {
        forEachGroup(model_, QModelIndex(), [this](const QModelIndex &i) {
            const bool toggled = toggledGroups_.count(model_->groupPath(i)) > 0;
            view_->setExpanded(i, groupsExpanded_ != toggled);
        });
    }
    // Focus the same record when it is still shown, else the first row (as a freshly opened table),
    // in a column on screen.
    if (savedColumn_ < columnCount() && !state_[static_cast<std::size_t>(savedColumn_)].visible) {
        const std::vector<int> visible = visibleColumns();
        savedColumn_ = visible.empty() ? 0 : visible.front();
    }
    QModelIndex idx = model_->indexOfSourceRow(savedSourceRow_, savedColumn_);
    if (idx.isValid()) {
        for (QModelIndex p = idx.parent(); p.isValid(); p = p.parent())
            view_->expand(p);
    } else {
        idx = model_->index(0, std::min(savedColumn_, std::max(0, columnCount() - 1)));
    }
    if (idx.isValid())
        view_->setCurrentIndex(idx);
    currentChanged();
    updateFilterBar();
    footer_->refresh();
    if (view_->strip())
        view_->strip()->update();
}

void DataGrid::currentChanged()
{
    const int src = model_->sourceRow(view_->currentIndex());
    if (src == lastEmitted_)
        return;
    lastEmitted_ = src;
    Q_EMIT focusedRecordChanged(src);
}

void DataGrid::showRowMenu(const QPoint &pos)
{
    if (rowMenu_)
        rowMenu_->popup(pos);
}

void DataGrid::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (stretch_)
        stretchNow();
    Q_EMIT resized();
}

void KolonGenislikAyarla(DataGrid &grid, int screenWidth)
{
    if (screenWidth < 0) {
        const QScreen *s = QGuiApplication::primaryScreen();
        screenWidth = s ? s->geometry().width() : 0;
    }
    if (screenWidth > 1152)
        grid.applyWeights();
    else
        grid.bestFit();
}

} // namespace tarvik
