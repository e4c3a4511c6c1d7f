#include "controls.h"

#include "memtable.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QImageReader>
#include <QKeyEvent>
#include <QLocale>
#include <QMovie>
#include <QPainter>
#include <QTextDocument>

#include <cmath>

namespace tarvik {

// ---------------------------------------------------------------------------------------------------
// TGifResim

TGifResim::TGifResim(QWidget *parent) : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
}

TGifResim::~TGifResim()
{
    clearPicture();
}

void TGifResim::clearPicture()
{
    if (movie_) {
        movie_->stop();
        setMovie(nullptr);
        delete movie_;
        movie_ = nullptr;
    }
    delete buffer_;
    buffer_ = nullptr;
    bytes_.clear();
    QLabel::clear();
}

bool TGifResim::loadPicture(const QByteArray &bytes)
{
    const bool wasAnimating = animate_;
    clearPicture();
    bytes_ = bytes;
    buffer_ = new QBuffer(&bytes_);
    buffer_->open(QIODevice::ReadOnly);
    const QByteArray format = QImageReader::imageFormat(buffer_);
    buffer_->seek(0);
    if (format == "gif") {
        movie_ = new QMovie(buffer_, QByteArray(), this);
        if (movie_->isValid() && movie_->jumpToFrame(0) && !movie_->currentImage().isNull()) {
            setMovie(movie_);
            if (wasAnimating) {
                setAutoFillBackground(false);
                movie_->start();
            }
            return true;
        }
        delete movie_;
        movie_ = nullptr;
    }
    const QImage image = QImage::fromData(bytes_);
    delete buffer_;
    buffer_ = nullptr;
    if (image.isNull()) {
        bytes_.clear();
        return false; // no picture: the control stays empty
    }
    setPixmap(QPixmap::fromImage(image));
    return true;
}

bool TGifResim::hasPicture() const
{
    return movie_ || !pixmap().isNull();
}

bool TGifResim::isGif() const
{
    return movie_ != nullptr;
}

QSize TGifResim::pictureSize() const
{
    if (movie_)
        return movie_->currentImage().size();
    return pixmap().size();
}

void TGifResim::setAnimate(bool on)
{
    if (on == animate_)
        return;
    animate_ = on;
    if (!movie_ || movie_->frameCount() == 0)
        return;
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground, true);
    if (on)
        movie_->start();
    else
        movie_->setPaused(true);
}

bool TGifResim::isAnimating() const
{
    return movie_ && movie_->state() == QMovie::Running;
}

void TGifResim::GosterAnim()
{
    setAnimate(true);
    setVisible(true);
}

void TGifResim::GizleDurdur()
{
    setVisible(false);
    setAnimate(false);
}

// ---------------------------------------------------------------------------------------------------
// BusyIndicator

BusyIndicator::BusyIndicator(QWidget *parent) : QWidget(parent)
{
    setAccessibleName(QStringLiteral("Yükleniyor"));
    timer_.setInterval(80);
    connect(&timer_, &QTimer::timeout, this, &BusyIndicator::advance);
}

void BusyIndicator::advance()
{
    step_ = (step_ + 1) % 12;
    update();
}

void BusyIndicator::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(width(), height());
    p.translate(width() / 2.0, height() / 2.0);
    const QColor c = palette().color(QPalette::Highlight);
    for (int i = 0; i < 12; ++i) {
        QColor dot = c;
        dot.setAlphaF(0.15 + 0.85 * ((i + 12 - step_) % 12) / 11.0);
        p.setBrush(dot);
        p.setPen(Qt::NoPen);
        p.save();
        p.rotate(i * 30.0);
        p.drawRoundedRect(QRectF(-side * 0.06, -side * 0.46, side * 0.12, side * 0.22), side * 0.05, side * 0.05);
        p.restore();
    }
}

void BusyIndicator::showEvent(QShowEvent *)
{
    timer_.start();
}

void BusyIndicator::hideEvent(QHideEvent *)
{
    timer_.stop();
}

// ---------------------------------------------------------------------------------------------------
// Marquee

Marquee::Marquee(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    timer_.setInterval(30);
    connect(&timer_, &QTimer::timeout, this, [this] { advance(speed_); });
    updateAccessibleName();
}

void Marquee::measure(Item &item) const
{
    if (item.draw)
        return;
    if (item.style == Style::Html) {
        QTextDocument doc;
        doc.setDefaultFont(font());
        doc.setDocumentMargin(0);
        doc.setHtml(item.text);
        item.width = static_cast<int>(std::ceil(doc.idealWidth()));
    } else {
        item.width = fontMetrics().horizontalAdvance(item.text);
    }
}

void Marquee::addText(const QString &text, Style style)
{
    Item item;
    item.text = text;
    item.style = style;
    measure(item);
    items_.push_back(std::move(item));
    updateAccessibleName();
    update();
}

void Marquee::addDrawnItem(int width, DrawItem draw)
{
    Item item;
    item.width = width;
    item.draw = std::move(draw);
    items_.push_back(std::move(item));
    update();
}

void Marquee::clear()
{
    items_.clear();
    offset_ = 0;
    updateAccessibleName();
    update();
}

void Marquee::setSpacing(int pixels)
{
    spacing_ = std::max(0, pixels);
    update();
}

void Marquee::setSpeed(int pixelsPerStep, int intervalMs)
{
    speed_ = std::max(1, pixelsPerStep);
    timer_.setInterval(std::max(1, intervalMs));
}

void Marquee::start()
{
    timer_.start();
}

void Marquee::stop()
{
    timer_.stop();
}

int Marquee::cycleWidth() const
{
    int w = 0;
    for (const Item &i : items_)
        w += i.width + spacing_;
    return w;
}

void Marquee::advance(int pixels)
{
    const int cycle = cycleWidth();
    if (cycle <= 0)
        return;
    offset_ = (offset_ + pixels) % cycle;
    update();
}

QString Marquee::plainText() const
{
    QStringList parts;
    for (const Item &i : items_) {
        if (i.draw)
            continue;
        if (i.style == Style::Html) {
            QTextDocument doc;
            doc.setHtml(i.text);
            parts.append(doc.toPlainText());
        } else {
            parts.append(i.text);
        }
    }
    return parts.join(u' ');
}

void Marquee::updateAccessibleName()
{
    const QString t = plainText();
    setAccessibleName(t.isEmpty() ? QStringLiteral("Kayan yazı") : t);
}

void Marquee::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int cycle = cycleWidth();
    if (cycle <= 0)
        return;
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    // The band starts at the right edge and moves left; repetitions follow each other until the
    // width is covered.
    int x = width() - offset_;
    while (x > 0)
        x -= cycle;
    for (; x < width(); ) {
        for (const Item &i : items_) {
            const QRect r(x, 0, i.width, height());
            if (r.right() >= 0 && r.left() < width()) {
                if (i.draw) {
                    p.save();
                    i.draw(p, r);
                    p.restore();
                } else if (i.style == Style::Html) {
                    QTextDocument doc;
                    doc.setDefaultFont(font());
                    doc.setDocumentMargin(0);
                    doc.setHtml(i.text);
                    p.save();
                    p.translate(x, (height() - doc.size().height()) / 2.0);
                    QAbstractTextDocumentLayout::PaintContext ctx;
                    ctx.palette.setColor(QPalette::Text, palette().color(QPalette::WindowText));
                    doc.documentLayout()->draw(&p, ctx);
                    p.restore();
                } else {
                    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, i.text);
                }
            }
            x += i.width + spacing_;
        }
    }
}

// ---------------------------------------------------------------------------------------------------
// CurrencyBox

namespace {

bool readNumber(const QString &text, double *out)
{
    QString t = text.trimmed();
    t.remove(QStringLiteral("TL"));
    t = t.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    const QLocale tr(QLocale::Turkish, QLocale::Turkey);
    double d = tr.toDouble(t, &ok);
    if (!ok)
        d = QLocale::c().toDouble(t, &ok);
    if (ok)
        *out = d;
    return ok;
}

} // namespace

CurrencyBox::CurrencyBox(QWidget *parent) : QLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(this, &QLineEdit::textEdited, this, [this](const QString &t) {
        double d = 0;
        value_ = readNumber(t, &d) ? d : 0;
        if (max_ > 0 && value_ > max_)
            value_ = max_;
        Q_EMIT valueEdited(value_);
    });
    showFormatted();
}

void CurrencyBox::setDisplayMask(const QString &mask)
{
    mask_ = mask;
    if (!hasFocus())
        showFormatted();
}

void CurrencyBox::setValue(double value)
{
    value_ = max_ > 0 ? std::min(value, max_) : value;
    if (hasFocus() && !isReadOnly())
        setText(plainFloatText(value_));
    else
        showFormatted();
}

double CurrencyBox::value() const
{
    return value_;
}

bool CurrencyBox::hasValidValue() const
{
    double d = 0;
    return readNumber(hasFocus() ? text() : plainFloatText(value_), &d);
}

void CurrencyBox::showFormatted()
{
    setText(formatFloat(value_, mask_));
}

void CurrencyBox::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (!isReadOnly()) {
        setText(plainFloatText(value_));
        selectAll();
    }
}

void CurrencyBox::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    showFormatted();
}

// ---------------------------------------------------------------------------------------------------
// SpinBox, DatePicker

SpinBox::SpinBox(QWidget *parent) : QSpinBox(parent)
{
}

void SpinBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        interpretText();
        Q_EMIT enterPressed();
        event->accept();
        return;
    }
    QSpinBox::keyPressEvent(event);
}

DatePicker::DatePicker(QWidget *parent) : QDateEdit(QDate::currentDate(), parent)
{
    setCalendarPopup(true);
    setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
}

} // namespace tarvik
