#pragma once

// How a grid column is described: the field it shows, its caption, whether it is shown and offered in
// the column menu, its width weight, alignment and the kind of cell it draws. A window lists its
// columns as designated initialisers:
//
//   grid->addColumn({.field = u"BARKOD"_s, .caption = u"Barkod"_s, .weight = 2});
//   grid->addColumn({.field = u"OEM1"_s, .caption = u"Oem1"_s, .show = Show::No, .weight = 2});
//   grid->addColumn({.field = u"DURUM"_s, .caption = u"Durum"_s, .kind = CellKind::Icons,
//                    .icons = durumIcons(), .alignment = Qt::AlignCenter});

#include <QImage>
#include <QRect>
#include <QString>
#include <QVariant>

#include <functional>
#include <vector>

class QPainter;
class QFont;

namespace tarvik {

class DataGrid;

// shown at start / hidden but offered in the column menu / hidden and not offered.
// Yes columns are offered too unless `fixed` is set.
enum class Show { Yes, No, Hidden };

enum class CellKind {
    Text,     // the display text (the table's display mask applies)
    Icons,    // an image from the value list, chosen by the cell's value (compared by value)
    CheckBox, // checked when the value equals `checkedValue`; never edited by the user
    Picture,  // the cell's bytes decoded as a picture (JPEG, PNG, GIF, BMP recognised from content)
    Custom,   // drawn by `draw`
};

// One entry of a value list: the value, its name (read by assistive technology, exported, offered in
// the filter list) and its image (a null image draws nothing).
struct ValueImage
{
    QVariant value{};
    QString name{};
    QImage image{};
};

// A row of a grid as a window reads it: values by field name, straight from the data source.
class GridRow
{
public:
    GridRow() = default;
    GridRow(const DataGrid *grid, int sourceRow) : grid_(grid), row_(sourceRow) {}
    bool isValid() const { return grid_ && row_ >= 0; }
    int sourceRow() const { return row_; }
    // The raw value (invalid for null or an unknown field); the text as the grid shows it (display mask
    // applied; the value list name for icon columns).
    QVariant value(const QString &field) const;
    QString text(const QString &field) const;

private:
    const DataGrid *grid_ = nullptr;
    int row_ = -1;
};

// What a custom-drawn cell is given. `rowIndex` is the row's index among the rows on screen, from 0.
struct CellPaint
{
    QRect rect;
    int rowIndex = 0;
    bool selected = false;
    GridRow row;
    const QFont *font = nullptr;
};
// Draws a cell; returns true when it drew it (the grid then draws nothing more), false to let the grid
// draw its own text.
using CustomDraw = std::function<bool(QPainter &, const CellPaint &)>;

struct GridColumn
{
    QString field{};   // data field (bound) or value name (unbound); may be empty for a custom column
    QString caption{}; // header text; the field name when empty
    Show show = Show::Yes;
    bool fixed = false; // shown but not listed in the column menu (the user cannot hide it)
    int weight = 1;     // relative width for the weight rule
    CellKind kind = CellKind::Text;
    std::vector<ValueImage> icons{}; // Icons: the value list
    QVariant checkedValue = 1;     // CheckBox
    CustomDraw draw{};               // Custom
    Qt::Alignment alignment = {};  // horizontal; none: numbers right, the rest left
    bool vcenter = true;           // vertically centred (else top)
    bool wordWrap = false;         // text broken at word boundaries to fit the width
    bool multiLine = false;        // line breaks in the text kept
    int width = 100;
};

} // namespace tarvik
