#pragma once

// The program's look: the visual style "Zircon" (our own proxy style and palette over Fusion), the tab
// painter that every tab bar of the program is drawn with, and the named grid skins.

#include <QColor>
#include <QProxyStyle>
#include <QString>

class QTabBar;

namespace tarvik {

// Draws each tab of a tab bar from its count caption: "3=Sepet" as the title "Sepet" with the badge
// "(3)" in RGB(3, 147, 208) at the top right; "0=Stok Listesi" as "Stok Listesi" without a badge; a
// caption without "=" as it is. The tab's icon sits 3 px from its left edge. Everything else of the tab
// bar is the base style's.
class TabPainterStyle : public QProxyStyle
{
public:
    explicit TabPainterStyle(QStyle *base = nullptr);
    explicit TabPainterStyle(const QString &baseKey);

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget = nullptr) const override;
};

inline constexpr QRgb badgeColor = 0xff0393d0; // RGB(3, 147, 208)

// Sets a tab's caption and, for assistive technology, the same text as the painter shows it
// ("Sepet (3)" for "3=Sepet").
void setTabCaption(QTabBar *bar, int index, const QString &caption);

// "Zircon": light surfaces, dark slate chrome, cyan accent. A proxy over Fusion.
class ZirconStyle : public TabPainterStyle
{
public:
    explicit ZirconStyle(QStyle *base);

    void polish(QPalette &palette) override;
    using QProxyStyle::polish;
    QPalette standardPalette() const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;

    static QPalette zirconPalette();
};

// Applies the style "Zircon" to the application (built on the base style `baseKey`). When that style
// cannot be made, an error box says so and the program goes on with its default look, still with the
// tab painter. Returns true when Zircon is on. Call once, after the QApplication exists.
bool applyZirconLook(const QString &baseKey = QStringLiteral("Fusion"));

// The grid skins the windows name: the light "Whiteprint" of the main window's grids and "VS2010"
// of the document, report and account grids; Standard follows the application palette.
enum class GridSkin { Standard, Whiteprint, VS2010 };

struct GridLook
{
    QColor headerTop, headerBottom, headerText, headerBorder;
    QColor gridLine;
    QColor even, odd, text;
    QColor selection, selectionText;
    QColor groupRow, groupText, footer, footerText;
    QColor groupBox, groupBoxText;
    QColor indicator;
    QColor filterActive;
};
GridLook gridLook(GridSkin skin);

} // namespace tarvik
