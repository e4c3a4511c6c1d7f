// The small controls and the look: TGifResim's animation flag, the marquee's cycle, the currency box,
// the Zircon style with its fallback, and the tab painter on screen.

#include "controls.h"
#include "grid_test_support.h"
#include "look.h"
#include "test_support_qt.h"

#include <QApplication>
#include <QStyleFactory>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace tarvik;
using namespace Qt::Literals::StringLiterals;

TEST(GifResim, AnimateFlagFollowsTheRules)
{
    TGifResim gif;
    ASSERT_TRUE(gif.loadPicture(gridtest::twoFrameGif()));
    EXPECT_TRUE(gif.isGif());
    EXPECT_EQ(gif.pictureSize(), QSize(2, 2));
    EXPECT_FALSE(gif.isAnimating());
    gif.GosterAnim();
    EXPECT_TRUE(gif.isVisible());
    EXPECT_TRUE(gif.animate());
    EXPECT_TRUE(gif.isAnimating());
    gif.setAnimate(true); // the same value: nothing changes
    EXPECT_TRUE(gif.isAnimating());
    gif.GizleDurdur();
    EXPECT_FALSE(gif.isVisible());
    EXPECT_FALSE(gif.animate());
    EXPECT_FALSE(gif.isAnimating());

    // Another format only stores the flag.
    QImage img(8, 4, QImage::Format_RGB32);
    img.fill(Qt::red);
    ASSERT_TRUE(gif.loadPicture(gridtest::pictureBytes(img, "PNG")));
    EXPECT_FALSE(gif.isGif());
    gif.setAnimate(true);
    EXPECT_TRUE(gif.animate());
    EXPECT_FALSE(gif.isAnimating());
    EXPECT_EQ(gif.pictureSize(), QSize(8, 4));

    // Bytes that are no picture leave the control empty; so do truncated ones.
    EXPECT_FALSE(gif.loadPicture(QByteArray("GIF89a but nothing after")));
    EXPECT_FALSE(gif.hasPicture());
    EXPECT_FALSE(gif.loadPicture(gridtest::pictureBytes(img, "JPG").left(40)));
    EXPECT_FALSE(gif.hasPicture());
    gif.show();
    EXPECT_FALSE(gif.grab().isNull());
}

TEST(GifResim, AnimatedGifChangesFrames)
{
    TGifResim gif;
    gif.resize(20, 20);
    gif.setScaledContents(true);
    ASSERT_TRUE(gif.loadPicture(gridtest::twoFrameGif()));
    gif.GosterAnim();
    const QColor first = gif.grab().toImage().pixelColor(10, 10);
    EXPECT_TRUE(waitUntil([&] { return gif.grab().toImage().pixelColor(10, 10) != first; }));
}

TEST(Marquee, ScrollsCyclicallyWithSpacing)
{
    Marquee m;
    m.resize(300, 40);
    EXPECT_EQ(m.cycleWidth(), 0);
    m.advance(10); // an empty band scrolls nothing
    EXPECT_EQ(m.offset(), 0);
    m.setSpacing(5);
    m.addText(u"Kampanya başladı"_s);
    m.addText(u"<b>Yeni</b> stoklar"_s, Marquee::Style::Html);
    m.addDrawnItem(40, [](QPainter &p, const QRect &r) { p.fillRect(r, Qt::green); });
    const int textWidth = m.fontMetrics().horizontalAdvance(u"Kampanya başladı"_s);
    EXPECT_GE(m.cycleWidth(), textWidth + 5 + 5 + 40 + 5);
    const int cycle = m.cycleWidth();
    m.advance(cycle - 3);
    m.advance(10);
    EXPECT_EQ(m.offset(), 7);
    EXPECT_EQ(m.plainText(), u"Kampanya başladı Yeni stoklar"_s);
    EXPECT_EQ(m.accessibleName(), m.plainText());
    m.start();
    EXPECT_TRUE(m.isActive());
    EXPECT_TRUE(waitUntil([&] { return m.offset() != 7; }));
    m.stop();
    m.show();
    EXPECT_FALSE(m.grab().isNull());
    m.clear();
    EXPECT_EQ(m.itemCount(), 0);
}

TEST(CurrencyBox, ShowsTheMaskAndReadsTypedNumbers)
{
    struct Case
    {
        QString mask;
        double value;
        QString shown;
    };
    const Case cases[] = {
        {u"#,###,##0.00"_s, 1234567.891, u"1.234.567,89"_s},
        {u"#,###,##0.00"_s, 0, u"0,00"_s},
        {u",0.00 TL;-,0.00 TL"_s, 200, u"200,00 TL"_s},
        {u",0.00 TL;-,0.00 TL"_s, -1500.5, u"-1.500,50 TL"_s},
    };
    CurrencyBox box;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.mask.toStdString());
        box.setDisplayMask(c.mask);
        box.setValue(c.value);
        EXPECT_EQ(box.text(), c.shown);
    }
    box.setDisplayMask(u"#,###,##0.00"_s);
    box.show();
    box.setFocus();
    box.selectAll();
    QTest::keyClicks(&box, u"180,5"_s);
    EXPECT_DOUBLE_EQ(box.value(), 180.5);
    QTest::keyClicks(&box, u"x"_s);
    EXPECT_DOUBLE_EQ(box.value(), 0); // unreadable counts as 0
    box.setReadOnly(true);
    box.setValue(5);
    box.clearFocus();
    EXPECT_EQ(box.text(), u"5,00"_s);
}

TEST(SpinAndDate, EnterIsReportedAndDaysAreWhole)
{
    SpinBox spin;
    spin.setRange(1, 1000);
    int enters = 0;
    QObject::connect(&spin, &SpinBox::enterPressed, &spin, [&] { ++enters; });
    spin.show();
    QTest::keyClick(&spin, Qt::Key_Return);
    EXPECT_EQ(enters, 1);
    DatePicker date;
    EXPECT_EQ(date.day(), QDate::currentDate());
    EXPECT_EQ(date.displayFormat(), u"dd.MM.yyyy"_s);
}

TEST(Look, ZirconAppliesAndFallsBackWithAMessage)
{
    RecordedBoxes boxes;
    QStyle *before = QApplication::style();
    Q_UNUSED(before);
    EXPECT_FALSE(applyZirconLook(u"NoSuchStyle"_s));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, MesajTuru::Hata);
    EXPECT_NE(dynamic_cast<TabPainterStyle *>(QApplication::style()), nullptr); // tabs still painted
    EXPECT_TRUE(applyZirconLook());
    EXPECT_NE(dynamic_cast<ZirconStyle *>(QApplication::style()), nullptr);
    EXPECT_EQ(QApplication::palette().color(QPalette::Highlight), QColor(3, 147, 208));
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST(TabPainter, BadgeDrawnOnlyForCountsAboveZero)
{
    applyZirconLook();
    QTabWidget tabs;
    const QStringList captions = {u"3=Sepet"_s, u"0=Stok Listesi"_s, u"2,5=Bakiyeler"_s, u"Duyurular"_s};
    for (qsizetype i = 0; i < captions.size(); ++i)
        tabs.addTab(new QWidget, QString());
    for (int i = 0; i < captions.size(); ++i)
        setTabCaption(tabs.tabBar(), i, captions[i]);
    tabs.resize(700, 120);
    tabs.setCurrentIndex(3); // the selected tab carries an accent line of the badge's colour
    tabs.show();
    const QImage shot = tabs.grab().toImage();
    auto hasBadge = [&](int tab) {
        const QRect r = tabs.tabBar()->tabRect(tab).translated(tabs.tabBar()->mapTo(&tabs, QPoint(0, 0)));
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                if (std::abs(c.red() - 3) < 40 && std::abs(c.green() - 147) < 40 && std::abs(c.blue() - 208) < 40)
                    return true;
            }
        return false;
    };
    EXPECT_TRUE(hasBadge(0));
    EXPECT_FALSE(hasBadge(1));
    EXPECT_FALSE(hasBadge(2));
    EXPECT_EQ(tabs.tabBar()->accessibleTabName(0), u"Sepet (3)"_s);
    EXPECT_EQ(tabs.tabBar()->accessibleTabName(2), u"Bakiyeler"_s);
}
