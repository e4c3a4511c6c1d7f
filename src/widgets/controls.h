#pragma once

// Small controls the windows use: the animated picture TGifResim, a busy indicator, the scrolling
// marquee, the currency box, a whole-number spin box and a date picker.

#include <QDate>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QSpinBox>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

class QBuffer;
class QMovie;

namespace tarvik {

// A picture control that shows any picture format and animates GIFs. The picture is given as bytes;
// the format is recognised from them. Bytes that are no picture show nothing.
class TGifResim : public QLabel
{
    Q_OBJECT
public:
    explicit TGifResim(QWidget *parent = nullptr);
    ~TGifResim() override;

    // Loads a picture; false (and an empty control) when the bytes are no picture.
    bool loadPicture(const QByteArray &bytes);
    void clearPicture();
    bool hasPicture() const;
    bool isGif() const;
    QSize pictureSize() const;

    // Setting a different value stores it and, when the picture is a non-empty GIF, starts or stops
    // its animation (the control is then drawn without a background). The same value does nothing;
    // another format only stores the flag.
    void setAnimate(bool on);
    bool animate() const { return animate_; }
    bool isAnimating() const;
    // Animate, then show.
    void GosterAnim();
    // Hide, then stop.
    void GizleDurdur();

private:
    QByteArray bytes_;
    QBuffer *buffer_ = nullptr;
    QMovie *movie_ = nullptr;
    bool animate_ = false;
};

// A spinning ring shown while something loads; it animates only while visible.
class BusyIndicator : public QWidget
{
public:
    explicit BusyIndicator(QWidget *parent = nullptr);
    QSize sizeHint() const override { return {24, 24}; }
    int step() const { return step_; }
    void advance();

protected:
    void paintEvent(QPaintEvent *) override;
    void showEvent(QShowEvent *) override;
    void hideEvent(QHideEvent *) override;

private:
    QTimer timer_;
    int step_ = 0;
};

// A band that scrolls its items from right to left without end: text items (plain, or simple HTML)
// and owner-drawn picture items, each followed by `spacing` pixels before the next one and before the
// next repetition.
class Marquee : public QWidget
{
    Q_OBJECT
public:
    enum class Style { Plain, Html };
    // Draws an owner-drawn item into its rectangle.
    using DrawItem = std::function<void(QPainter &, const QRect &)>;

    explicit Marquee(QWidget *parent = nullptr);

    void addText(const QString &text, Style style = Style::Plain);
    // An owner-drawn item `width` pixels wide.
    void addDrawnItem(int width, DrawItem draw);
    void clear();
    int itemCount() const { return static_cast<int>(items_.size()); }
    void setSpacing(int pixels);
    int spacing() const { return spacing_; }
    // Pixels moved per step; steps come every `interval` ms while started.
    void setSpeed(int pixelsPerStep, int intervalMs = 30);
    void start();
    void stop();
    bool isActive() const { return timer_.isActive(); }
    // One repetition: the items and their spacing.
    int cycleWidth() const;
    int offset() const { return offset_; }
    void advance(int pixels);
    // The items' plain text, for assistive technology.
    QString plainText() const;

protected:
    void paintEvent(QPaintEvent *) override;

private:
    struct Item
    {
        QString text;
        Style style = Style::Plain;
        int width = 0;
        DrawItem draw;
    };
    void measure(Item &item) const;
    void updateAccessibleName();

    std::vector<Item> items_;
    QTimer timer_;
    int spacing_ = 5;
    int speed_ = 2;
    int offset_ = 0;
};

// A money box: shows its value with the display mask ("#,###,##0.00" by default; ",0.00 TL;-,0.00 TL"
// and other masks of the in-memory table's syntax too) under Turkish number settings; while it has the
// focus it shows the plain number for typing. Read-only mode shows the value and takes no typing.
class CurrencyBox : public QLineEdit
{
    Q_OBJECT
public:
    explicit CurrencyBox(QWidget *parent = nullptr);
    void setDisplayMask(const QString &mask);
    QString displayMask() const { return mask_; }
    void setValue(double value);
    // The value typed or set; 0 when the text reads as no number.
    double value() const;
    bool hasValidValue() const;
    void setMaximum(double max) { max_ = max; }

Q_SIGNALS:
    void valueEdited(double value);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void showFormatted();
    QString mask_ = QStringLiteral("#,###,##0.00");
    double value_ = 0;
    double max_ = 0;
};

// A whole-number spin box whose Enter key is reported to the window (and not passed on).
class SpinBox : public QSpinBox
{
    Q_OBJECT
public:
    explicit SpinBox(QWidget *parent = nullptr);
Q_SIGNALS:
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// A date picker with a calendar drop-down that yields whole days (dd.MM.yyyy).
class DatePicker : public QDateEdit
{
public:
    explicit DatePicker(QWidget *parent = nullptr);
    QDate day() const { return date(); }
};

} // namespace tarvik
