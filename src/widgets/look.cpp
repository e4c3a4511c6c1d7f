#include "look.h"

#include "gridlogic.h"
#include "messages.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTabBar>

namespace tarvik {

// ---------------------------------------------------------------------------------------------------
// Tab painter

TabPainterStyle::TabPainterStyle(QStyle *base) : QProxyStyle(base)
{
}

TabPainterStyle::TabPainterStyle(const QString &baseKey) : QProxyStyle(baseKey)
{
}

void TabPainterStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                                  const QWidget *widget) const
{
    const auto *tab = qstyleoption_cast<const QStyleOptionTab *>(option);
    if (element != CE_TabBarTabLabel || !tab) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const TabCaption caption = parseTabCaption(tab->text);
    QRect r = tab->rect;
    painter->save();
    if (!tab->icon.isNull()) {
        const QSize s = tab->iconSize.isValid() ? tab->iconSize : QSize(16, 16);
        const QRect icon(r.left() + 3, r.center().y() - s.height() / 2, s.width(), s.height());
        const QIcon::Mode mode = tab->state & State_Enabled ? QIcon::Normal : QIcon::Disabled;
        tab->icon.paint(painter, icon, Qt::AlignCenter, mode);
        r.setLeft(icon.right() + 3);
    }
    QRect text = r.adjusted(0, 5, 0, -5);
    const QPalette::ColorRole role = tab->state & State_Selected ? QPalette::WindowText : QPalette::ButtonText;
    painter->setPen(tab->palette.color(tab->state & State_Enabled ? QPalette::Active : QPalette::Disabled, role));
    painter->setFont(widget ? widget->font() : painter->font());
    painter->drawText(text, Qt::AlignCenter | Qt::TextWordWrap, caption.baslik);
    const QString badge = tabBadge(caption);
    if (!badge.isEmpty()) {
        const QRect b = r.adjusted(2, -3, -2, 3);
        painter->setPen(QColor::fromRgb(badgeColor));
        painter->drawText(b, Qt::AlignRight | Qt::AlignTop, badge);
    }
    painter->restore();
}

QSize TabPainterStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                                        const QWidget *widget) const
{
    QSize s = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type == CT_TabBarTab) {
        if (const auto *tab = qstyleoption_cast<const QStyleOptionTab *>(option)) {
            // Room for the title and the badge beside it, whatever the count caption's own width.
            const TabCaption c = parseTabCaption(tab->text);
            const QFontMetrics fm(widget ? widget->font() : QApplication::font());
            const int need = fm.horizontalAdvance(c.baslik) + 2 * fm.horizontalAdvance(tabBadge(c)) + 24
                             + (tab->icon.isNull() ? 0 : tab->iconSize.width() + 6);
            s.setWidth(std::max(s.width() - fm.horizontalAdvance(tab->text) + fm.horizontalAdvance(c.baslik), need));
        }
    }
    return s;
}

void setTabCaption(QTabBar *bar, int index, const QString &caption)
{
    bar->setTabText(index, caption);
    const TabCaption c = parseTabCaption(caption);
    const QString badge = tabBadge(c);
    bar->setAccessibleTabName(index, badge.isEmpty() ? c.baslik : QString(c.baslik + u' ' + badge));
}

// ---------------------------------------------------------------------------------------------------
// Zircon

namespace {

const QColor slate(61, 65, 74);      // chrome
const QColor slateLight(84, 90, 102);
const QColor accent(3, 147, 208);    // the badge's cyan
const QColor surface(236, 238, 241);
const QColor text(38, 42, 48);

} // namespace

ZirconStyle::ZirconStyle(QStyle *base) : TabPainterStyle(base)
{
    setObjectName(QStringLiteral("Zircon"));
}

QPalette ZirconStyle::zirconPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, surface);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::AlternateBase, QColor(241, 241, 241));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(222, 226, 231));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Light, Qt::white);
    p.setColor(QPalette::Midlight, QColor(228, 231, 235));
    p.setColor(QPalette::Mid, QColor(176, 182, 190));
    p.setColor(QPalette::Dark, slate);
    p.setColor(QPalette::Shadow, QColor(30, 32, 37));
    p.setColor(QPalette::Highlight, accent);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, accent);
    p.setColor(QPalette::ToolTipBase, slate);
    p.setColor(QPalette::ToolTipText, Qt::white);
    p.setColor(QPalette::PlaceholderText, QColor(130, 136, 145));
    for (QPalette::ColorRole r : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, r, QColor(150, 155, 162));
    return p;
}

QPalette ZirconStyle::standardPalette() const
{
    return zirconPalette();
}

void ZirconStyle::polish(QPalette &palette)
{
    palette = zirconPalette();
}

int ZirconStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    switch (metric) {
    case PM_TabBarTabVSpace: return 14;
    case PM_TabBarTabHSpace: return 26;
    default: return TabPainterStyle::pixelMetric(metric, option, widget);
    }
}

void ZirconStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                              const QWidget *widget) const
{
    if (element == CE_TabBarTabShape) {
        if (const auto *tab = qstyleoption_cast<const QStyleOptionTab *>(option)) {
            // Flat tabs on the slate strip: the selected one light with an accent line on top.
            const bool selected = tab->state & State_Selected;
            const bool hot = tab->state & State_MouseOver;
            QRect r = tab->rect.adjusted(0, selected ? 0 : 2, -1, 0);
            painter->save();
            painter->fillRect(r, selected ? surface : (hot ? slateLight.lighter(130) : QColor(205, 210, 217)));
            if (selected)
                painter->fillRect(QRect(r.left(), r.top(), r.width(), 3), accent);
            painter->setPen(QColor(176, 182, 190));
            painter->drawLine(r.topRight(), r.bottomRight());
            painter->restore();
            return;
        }
    }
    if (element == CE_HeaderSection) {
        painter->save();
        QLinearGradient g(option->rect.topLeft(), option->rect.bottomLeft());
        g.setColorAt(0, QColor(246, 247, 249));
        g.setColorAt(1, QColor(226, 229, 234));
        painter->fillRect(option->rect, g);
        painter->setPen(QColor(190, 195, 203));
        painter->drawLine(option->rect.topRight(), option->rect.bottomRight());
        painter->drawLine(option->rect.bottomLeft(), option->rect.bottomRight());
        painter->restore();
        return;
    }
    TabPainterStyle::drawControl(element, option, painter, widget);
}

void ZirconStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                const QWidget *widget) const
{
    if (element == PE_FrameTabWidget) {
        painter->save();
        painter->setPen(QColor(176, 182, 190));
        painter->setBrush(surface);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        painter->restore();
        return;
    }
    if (element == PE_PanelButtonCommand && !(option->state & State_Sunken)) {
        TabPainterStyle::drawPrimitive(element, option, painter, widget);
        if (option->state & State_HasFocus) {
            painter->save();
            painter->setPen(QPen(accent, 1));
            painter->setBrush(Qt::NoBrush);
            painter->drawRoundedRect(QRectF(option->rect).adjusted(1.5, 1.5, -1.5, -1.5), 2, 2);
            painter->restore();
        }
        return;
    }
    TabPainterStyle::drawPrimitive(element, option, painter, widget);
}

bool applyZirconLook(const QString &baseKey)
{
    QStyle *base = QStyleFactory::create(baseKey);
    if (!base) {
        MesajGoster(QStringLiteral("\"Zircon\" görünümü yüklenemedi; varsayılan görünüm kullanılıyor."), MesajTuru::Hata,
                    MesajDugmesi::Tamam, MesajDugmesi::Tamam);
        QApplication::setStyle(new TabPainterStyle(QApplication::style()->name()));
        return false;
    }
    auto *style = new ZirconStyle(base);
    QApplication::setStyle(style);
    QApplication::setPalette(ZirconStyle::zirconPalette());
    return true;
}

// ---------------------------------------------------------------------------------------------------
// Grid skins

GridLook gridLook(GridSkin skin)
{
    GridLook l;
    switch (skin) {
    case GridSkin::Whiteprint:
        l.headerTop = QColor(255, 255, 255);
        l.headerBottom = QColor(244, 245, 247);
        l.headerText = QColor(60, 64, 72);
        l.headerBorder = QColor(214, 217, 222);
        l.gridLine = QColor(226, 228, 231);
        l.even = QColor(255, 255, 255);
        l.odd = QColor(250, 250, 251);
        l.text = QColor(33, 33, 33);
        l.selection = QColor(210, 240, 249);
        l.selectionText = QColor(0, 0, 0);
        l.groupRow = QColor(243, 245, 248);
        l.groupText = QColor(50, 55, 64);
        l.footer = QColor(247, 248, 250);
        l.footerText = QColor(40, 44, 52);
        l.groupBox = QColor(236, 239, 243);
        l.groupBoxText = QColor(110, 116, 126);
        l.indicator = QColor(66, 66, 66);
        l.filterActive = QColor(3, 147, 208);
        break;
    case GridSkin::VS2010:
        l.headerTop = QColor(235, 240, 248);
        l.headerBottom = QColor(203, 213, 232);
        l.headerText = QColor(30, 40, 62);
        l.headerBorder = QColor(142, 155, 188);
        l.gridLine = QColor(208, 215, 229);
        l.even = QColor(255, 255, 255);
        l.odd = QColor(245, 247, 251);
        l.text = QColor(0, 0, 0);
        l.selection = QColor(255, 239, 187);
        l.selectionText = QColor(0, 0, 0);
        l.groupRow = QColor(220, 227, 240);
        l.groupText = QColor(30, 40, 62);
        l.footer = QColor(225, 231, 242);
        l.footerText = QColor(30, 40, 62);
        l.groupBox = QColor(41, 57, 85);
        l.groupBoxText = QColor(206, 212, 223);
        l.indicator = QColor(188, 199, 216);
        l.filterActive = QColor(229, 195, 101);
        break;
    case GridSkin::Standard: {
        const QPalette p = QApplication::palette();
        l.headerTop = p.color(QPalette::Button).lighter(108);
        l.headerBottom = p.color(QPalette::Button);
        l.headerText = p.color(QPalette::ButtonText);
        l.headerBorder = p.color(QPalette::Mid);
        l.gridLine = p.color(QPalette::Midlight);
        l.even = p.color(QPalette::Base);
        l.odd = p.color(QPalette::AlternateBase);
        l.text = p.color(QPalette::Text);
        l.selection = p.color(QPalette::Highlight);
        l.selectionText = p.color(QPalette::HighlightedText);
        l.groupRow = p.color(QPalette::Window);
        l.groupText = p.color(QPalette::WindowText);
        l.footer = p.color(QPalette::Window);
        l.footerText = p.color(QPalette::WindowText);
        l.groupBox = p.color(QPalette::Mid);
        l.groupBoxText = p.color(QPalette::BrightText);
        l.indicator = p.color(QPalette::Dark);
        l.filterActive = p.color(QPalette::Highlight);
        break;
    }
    }
    return l;
}

} // namespace tarvik
